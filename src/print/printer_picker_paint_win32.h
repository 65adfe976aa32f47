#pragma once
// GDI ownership and the painting of the printer picker's owner-drawn list cards and buttons.
// Colours, fonts and rectangles come from PickerLook; this only turns them into GDI calls.
#include <windows.h>

#include <utility>

#include "print/printer_picker_model.h"

namespace Printing {

// A font, brush or pen created by us and deleted when dropped.
template <typename Handle>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    ~GdiObject() { Reset(); }

    Handle get() const { return handle_; }
    void Reset() {
        if (handle_ != nullptr) DeleteObject(handle_);
        handle_ = nullptr;
    }

  private:
    Handle handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;

// Selects an object into a device context and puts the previous one back when dropped. Declare it
// after the object it selects, so the object outlives its selection.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

constexpr COLORREF ToColorRef(Rgb colour) {
    return static_cast<COLORREF>(colour.r) | (static_cast<COLORREF>(colour.g) << 8) |
           (static_cast<COLORREF>(colour.b) << 16);
}

Font CreatePickerFont(FontStyle style);

// The four fonts of the picker, owned by the dialog's state record.
struct PickerFonts {
    Font title;
    Font item;
    Font selectedItem;
    Font badge;

    void Create();
    void Reset();
    // The handle made for one of PickerLook's font styles.
    HFONT For(FontStyle style) const;
};

void PaintPrinterCard(const DRAWITEMSTRUCT& item, const PrinterEntry& printer,
                      const PickerFonts& fonts);
void PaintPickerButton(const DRAWITEMSTRUCT& item, const PickerFonts& fonts);

}  // namespace Printing
