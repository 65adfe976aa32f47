#pragma once
// The printer picker's behaviour and look, shared by the Win32 and the Qt dialog: what each
// command does, which controls show, and the colours, fonts and rectangles of the owner-drawn
// parts. The dialogs only translate their toolkit's events and paint.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "print/printer_filter.h"

namespace Printing {

// Dialog results.
constexpr int kPickerConfirmed = 1;
constexpr int kPickerCancelled = 2;
// The list's double-click notification.
constexpr int kListDoubleClick = 2;

struct PickerReaction {
    bool handled = false;
    int endWith = 0;         // a dialog result to end with, or 0 to stay open
    bool sendPrint = false;  // act as if the Print button had been pressed
};

class PrinterPickerModel {
  public:
    explicit PrinterPickerModel(std::vector<PrinterEntry> printers);

    const std::vector<PrinterEntry>& printers() const { return printers_; }
    // With no printer the list and the Print button hide and the message shows instead.
    bool ShowsList() const { return !printers_.empty(); }
    // The entry selected when the dialog opens: the first, the default printer when listed.
    int InitialSelection() const { return printers_.empty() ? -1 : 0; }

    // A command by control id and notification code; `selection` is the list's current
    // selection (-1 for none). Enter is no command at all: it never closes the dialog.
    PickerReaction OnCommand(int controlId, int notification, int selection);

    const std::u16string& chosenName() const { return chosenName_; }

  private:
    std::vector<PrinterEntry> printers_;
    std::u16string chosenName_;
};

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct FontStyle {
    int height = 0;  // negative: character height in pixels
    int weight = 0;
};

namespace PickerLook {
constexpr std::u16string_view kFontFace = u"Segoe UI";
constexpr std::u16string_view kDefaultBadge = u"DEFAULT";
constexpr FontStyle kTitleFont{-15, 700};
constexpr FontStyle kItemFont{-13, 400};
constexpr FontStyle kSelectedItemFont{-13, 600};
constexpr FontStyle kBadgeFont{-10, 700};

constexpr int kItemHeight = 44;
constexpr int kCardCorner = 8;
constexpr int kBadgeCorner = 10;
constexpr int kButtonCorner = 8;

constexpr Rgb kDialogBackground{20, 21, 25};
constexpr Rgb kListBackground{28, 30, 36};
constexpr Rgb kListText{230, 235, 240};
constexpr Rgb kStaticText{240, 242, 245};

struct Colours {
    Rgb fill;
    Rgb border;
    Rgb text;
};
Colours Card(bool selected);
Colours Badge(bool selected);  // no border is drawn
Colours PrintButton(bool pressed);
Colours CancelButton(bool pressed);
// The selected card's name is drawn in the selected-item font.
FontStyle CardFont(bool selected);

PixelRect CardRect(const PixelRect& item);
PixelRect NameRect(const PixelRect& card, bool isDefault);
PixelRect BadgeRect(const PixelRect& card);
}  // namespace PickerLook

}  // namespace Printing
