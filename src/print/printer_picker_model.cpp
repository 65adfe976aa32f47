#include "print/printer_picker_model.h"

#include "print/printer_picker_template.h"

namespace Printing {

PrinterPickerModel::PrinterPickerModel(std::vector<PrinterEntry> printers)
    : printers_(std::move(printers)) {}

PickerReaction PrinterPickerModel::OnCommand(int controlId, int notification, int selection) {
    switch (controlId) {
        case PickerControl::kCancelCommand:
        case PickerControl::kCancel:
            chosenName_.clear();
            return {true, kPickerCancelled, false};
        case PickerControl::kList:
            if (notification == kListDoubleClick) return {true, 0, true};
            return {};
        case PickerControl::kPrint:
            if (selection >= 0 && static_cast<std::size_t>(selection) < printers_.size()) {
                chosenName_ = printers_[static_cast<std::size_t>(selection)].name;
                return {true, kPickerConfirmed, false};
            }
            return {true, 0, false};
        default:
            return {};
    }
}

namespace PickerLook {

Colours Card(bool selected) {
    return selected ? Colours{{37, 99, 235}, {59, 130, 246}, {255, 255, 255}}
                    : Colours{{34, 37, 45}, {46, 50, 62}, {225, 230, 240}};
}

Colours Badge(bool selected) {
    return selected ? Colours{{255, 255, 255}, {255, 255, 255}, {37, 99, 235}}
                    : Colours{{59, 130, 246}, {59, 130, 246}, {255, 255, 255}};
}

Colours PrintButton(bool pressed) {
    return pressed ? Colours{{29, 78, 216}, {29, 78, 216}, {255, 255, 255}}
                   : Colours{{37, 99, 235}, {59, 130, 246}, {255, 255, 255}};
}

Colours CancelButton(bool pressed) {
    return pressed ? Colours{{35, 37, 45}, {45, 48, 58}, {210, 215, 225}}
                   : Colours{{45, 48, 58}, {60, 64, 76}, {210, 215, 225}};
}

FontStyle CardFont(bool selected) {
    return selected ? kSelectedItemFont : kItemFont;
}

PixelRect CardRect(const PixelRect& item) {
    return {item.left + 4, item.top + 3, item.right - 4, item.bottom - 3};
}

PixelRect NameRect(const PixelRect& card, bool isDefault) {
    // The default printer's name leaves room for the badge.
    return {card.left + 12, card.top, card.right - (isDefault ? 75 : 10), card.bottom};
}

PixelRect BadgeRect(const PixelRect& card) {
    constexpr int kBadgeHeight = 20;
    const int top = card.top + (card.Height() - kBadgeHeight) / 2;
    return {card.right - 70, top, card.right - 10, top + kBadgeHeight};
}

}  // namespace PickerLook

}  // namespace Printing
