#include "print/printer_picker_template.h"

#include <algorithm>

namespace Printing {

namespace {

// WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME | DS_SETFONT
constexpr std::uint32_t kDialogStyle = 0x80C808C0;
// WS_CHILD | WS_VISIBLE, left-aligned text.
constexpr std::uint32_t kLabelStyle = 0x50000000;
// WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
// LBS_HASSTRINGS
constexpr std::uint32_t kListStyle = 0x50210051;
// WS_CHILD, centred text, hidden until the list turns out empty.
constexpr std::uint32_t kMessageStyle = 0x40000001;
// WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW: neither button is a default button, so
// Enter closes nothing.
constexpr std::uint32_t kButtonStyle = 0x5001000B;

constexpr DialogLayout kLayout{
    kDialogStyle,
    {0, 0, 280, 210},
    u"Select Printer",
    10,
    u"Segoe UI",
    {{
        {PickerControl::kTitle,
         DialogClass::kStatic,
         kLabelStyle,
         {12, 10, 256, 16},
         u"Select a physical printer:"},
        {PickerControl::kList, DialogClass::kListBox, kListStyle, {12, 30, 256, 135}, u""},
        {PickerControl::kEmptyMessage,
         DialogClass::kStatic,
         kMessageStyle,
         {12, 60, 256, 40},
         u"No physical printers found.\nPlease connect a printer."},
        {PickerControl::kPrint, DialogClass::kButton, kButtonStyle, {124, 174, 70, 24}, u"Print"},
        {PickerControl::kCancel, DialogClass::kButton, kButtonStyle, {198, 174, 70, 24}, u"Cancel"},
    }},
};

class TemplateWriter {
  public:
    void Word(std::uint16_t value) {
        bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
        bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void Dword(std::uint32_t value) {
        Word(static_cast<std::uint16_t>(value & 0xFFFF));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    void Short(std::int16_t value) { Word(static_cast<std::uint16_t>(value)); }
    void Rect(const DialogUnitRect& rect) {
        Short(rect.x);
        Short(rect.y);
        Short(rect.width);
        Short(rect.height);
    }
    void String(std::u16string_view text) {
        for (char16_t unit : text)
            Word(static_cast<std::uint16_t>(unit));
        Word(0);
    }
    void AlignToDword() {
        while (bytes_.size() % 4 != 0)
            bytes_.push_back(0);
    }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

  private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace

const DialogLayout& PrinterPickerLayout() {
    return kLayout;
}

const DialogItem& PrinterPickerItem(int controlId) {
    const auto found = std::find_if(kLayout.items.begin(), kLayout.items.end(),
                                    [&](const DialogItem& item) { return item.id == controlId; });
    return found == kLayout.items.end() ? kLayout.items.front() : *found;
}

std::vector<std::uint8_t> BuildPrinterPickerTemplate() {
    TemplateWriter out;
    out.Dword(kLayout.style);
    out.Dword(0);  // extended style
    out.Word(static_cast<std::uint16_t>(kLayout.items.size()));
    out.Rect(kLayout.rect);
    out.Word(0);  // no menu
    out.Word(0);  // the default dialog class
    out.String(kLayout.title);
    out.Word(kLayout.pointSize);
    out.String(kLayout.fontFace);
    for (const DialogItem& item : kLayout.items) {
        out.AlignToDword();
        out.Dword(item.style);
        out.Dword(0);  // extended style
        out.Rect(item.rect);
        out.Word(static_cast<std::uint16_t>(item.id));
        out.Word(0xFFFF);  // the class follows as an atom
        out.Word(item.classAtom);
        out.String(item.text);
        out.Word(0);  // no creation data
    }
    return out.Take();
}

}  // namespace Printing
