#pragma once
// The printer picker's layout, once for both platforms: the Windows dialog is built from the
// in-memory template below, the Qt dialog places the same controls at the same dialog units.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace Printing {

namespace PickerControl {
constexpr int kList = 1001;
constexpr int kPrint = 1002;
constexpr int kCancel = 1003;
constexpr int kTitle = 1004;
constexpr int kEmptyMessage = 1005;
// What Escape and the title bar's close button send.
constexpr int kCancelCommand = 2;
}  // namespace PickerControl

// The window-class atoms of a classic template.
namespace DialogClass {
constexpr std::uint16_t kButton = 0x0080;
constexpr std::uint16_t kStatic = 0x0082;
constexpr std::uint16_t kListBox = 0x0083;
}  // namespace DialogClass

struct DialogUnitRect {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;
};

struct DialogItem {
    int id = 0;
    std::uint16_t classAtom = 0;
    std::uint32_t style = 0;
    DialogUnitRect rect;
    std::u16string_view text;
};

struct DialogLayout {
    std::uint32_t style = 0;
    DialogUnitRect rect;
    std::u16string_view title;
    std::uint16_t pointSize = 0;
    std::u16string_view fontFace;
    std::array<DialogItem, 5> items;
};

const DialogLayout& PrinterPickerLayout();
const DialogItem& PrinterPickerItem(int controlId);

// A classic (non-extended) dialog template, little-endian, every item on a 4-byte boundary.
std::vector<std::uint8_t> BuildPrinterPickerTemplate();

}  // namespace Printing
