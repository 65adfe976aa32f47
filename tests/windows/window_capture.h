#pragma once
// What a window shows, for tests that judge it by looking: its client area with its child
// windows as top-down 32-bit pixels (0x00RRGGBB), read from the window's own surface so that
// other tests' windows on the shared display cannot cover it. Each capture is also written as a
// bitmap beside the tests (screenshots/<name>.bmp) for a person to look at.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace WindowCapture {

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

Capture CaptureClientArea(HWND window, const wchar_t* name);

inline bool IsWhite(std::uint32_t pixel) {
    return (pixel & 0xFFFFFFu) == 0xFFFFFFu;
}

inline bool IsDark(std::uint32_t pixel) {
    return (pixel & 0xFFu) < 0x60 && ((pixel >> 8) & 0xFFu) < 0x60 &&
           ((pixel >> 16) & 0xFFu) < 0x60;
}

}  // namespace WindowCapture
