#include "print/printer_picker_paint_win32.h"

#include <array>
#include <optional>
#include <string>

#include "print/printer_picker_template.h"

namespace Printing {

namespace {

// GDI wants the face name zero-terminated.
const std::u16string& FontFace() {
    static const std::u16string face(PickerLook::kFontFace);
    return face;
}

bool SameStyle(FontStyle a, FontStyle b) {
    return a.height == b.height && a.weight == b.weight;
}

RECT ToRect(const PixelRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

PixelRect ToPixelRect(const RECT& rect) {
    return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
}

// A rounded box, with a one-pixel border or without any.
void DrawRoundedBox(HDC dc, const PixelRect& rect, int corner, Rgb fill,
                    std::optional<Rgb> border) {
    const Brush brush(CreateSolidBrush(ToColorRef(fill)));
    const Pen pen(border ? CreatePen(PS_SOLID, 1, ToColorRef(*border)) : nullptr);
    const SelectedObject brushSelection(dc, brush.get());
    const SelectedObject penSelection(
        dc, border ? static_cast<HGDIOBJ>(pen.get()) : GetStockObject(NULL_PEN));
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, corner, corner);
}

// Text drawn on one line into a rectangle, with the colours and background mode put back after.
void DrawLine(HDC dc, std::u16string_view text, const PixelRect& rect, HFONT font, Rgb colour,
              UINT alignment) {
    const SelectedObject fontSelection(dc, font);
    const COLORREF previousColour = SetTextColor(dc, ToColorRef(colour));
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    RECT box = ToRect(rect);
    // DT_NOPREFIX: a printer name shows an ampersand as it is.
    DrawTextW(dc, reinterpret_cast<LPCWSTR>(text.data()), static_cast<int>(text.size()), &box,
              alignment | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetBkMode(dc, previousMode);
    SetTextColor(dc, previousColour);
}

}  // namespace

Font CreatePickerFont(FontStyle style) {
    return Font(CreateFontW(style.height, 0, 0, 0, style.weight, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            CLEARTYPE_QUALITY, DEFAULT_PITCH,
                            reinterpret_cast<LPCWSTR>(FontFace().c_str())));
}

void PickerFonts::Create() {
    title = CreatePickerFont(PickerLook::kTitleFont);
    item = CreatePickerFont(PickerLook::kItemFont);
    selectedItem = CreatePickerFont(PickerLook::kSelectedItemFont);
    badge = CreatePickerFont(PickerLook::kBadgeFont);
}

void PickerFonts::Reset() {
    title.Reset();
    item.Reset();
    selectedItem.Reset();
    badge.Reset();
}

HFONT PickerFonts::For(FontStyle style) const {
    const std::array<std::pair<FontStyle, HFONT>, 4> fonts{{
        {PickerLook::kTitleFont, title.get()},
        {PickerLook::kItemFont, item.get()},
        {PickerLook::kSelectedItemFont, selectedItem.get()},
        {PickerLook::kBadgeFont, badge.get()},
    }};
    for (const auto& [fontStyle, handle] : fonts) {
        if (SameStyle(fontStyle, style)) return handle;
    }
    return item.get();
}

void PaintPrinterCard(const DRAWITEMSTRUCT& item, const PrinterEntry& printer,
                      const PickerFonts& fonts) {
    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    {
        const Brush background(CreateSolidBrush(ToColorRef(PickerLook::kListBackground)));
        FillRect(dc, &item.rcItem, background.get());
    }
    const PixelRect card = PickerLook::CardRect(ToPixelRect(item.rcItem));
    const PickerLook::Colours cardColours = PickerLook::Card(selected);
    DrawRoundedBox(dc, card, PickerLook::kCardCorner, cardColours.fill, cardColours.border);
    DrawLine(dc, printer.name, PickerLook::NameRect(card, printer.isDefault),
             fonts.For(PickerLook::CardFont(selected)), cardColours.text,
             DT_LEFT | DT_END_ELLIPSIS);
    if (!printer.isDefault) return;
    const PixelRect badge = PickerLook::BadgeRect(card);
    const PickerLook::Colours badgeColours = PickerLook::Badge(selected);
    DrawRoundedBox(dc, badge, PickerLook::kBadgeCorner, badgeColours.fill, std::nullopt);
    DrawLine(dc, PickerLook::kDefaultBadge, badge, fonts.badge.get(), badgeColours.text, DT_CENTER);
}

void PaintPickerButton(const DRAWITEMSTRUCT& item, const PickerFonts& fonts) {
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const PickerLook::Colours colours = static_cast<int>(item.CtlID) == PickerControl::kPrint
                                            ? PickerLook::PrintButton(pressed)
                                            : PickerLook::CancelButton(pressed);
    const PixelRect rect = ToPixelRect(item.rcItem);
    DrawRoundedBox(item.hDC, rect, PickerLook::kButtonCorner, colours.fill, colours.border);
    std::array<wchar_t, 64> text{};
    const int length = GetWindowTextW(item.hwndItem, text.data(), static_cast<int>(text.size()));
    DrawLine(item.hDC,
             std::u16string_view(reinterpret_cast<const char16_t*>(text.data()),
                                 static_cast<std::size_t>(length > 0 ? length : 0)),
             rect, fonts.selectedItem.get(), colours.text, DT_CENTER);
}

}  // namespace Printing
