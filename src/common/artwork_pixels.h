#pragma once
// Pictures built into the program as pixels ready for the screen: premultiplied 32-bit ARGB, row
// after row without padding. The build makes them from the PNGs in resources/.
#include <cstdint>

// A program that uses one links its table by name: a picture missing from the build is a link
// error, not a blank splash.
namespace SplashPixels {
extern const int kWidth;
extern const int kHeight;
extern const std::uint32_t kPixels[];
}  // namespace SplashPixels

namespace IconPixels {
extern const int kWidth;
extern const int kHeight;
extern const std::uint32_t kPixels[];
}  // namespace IconPixels
