#pragma once
// Pictures built into the program as pixels ready for the screen: premultiplied 32-bit ARGB, row
// after row without padding. The build makes them from the PNGs in resources/.
#include <cstdint>

namespace SplashPixels {
extern const int kWidth;
extern const int kHeight;
extern const std::uint32_t kPixels[];
}  // namespace SplashPixels
