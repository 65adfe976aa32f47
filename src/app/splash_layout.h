#pragma once
#include <cstddef>
#include <cstdint>

// Where the splash artwork goes and how large it is drawn: fitted into a box that never takes
// more than 70 % of the primary screen, centred on the whole screen.

struct SplashLayout {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool scaled = false;  // the image has to be redrawn at width x height
};

inline constexpr int kSplashDefaultMaxWidth = 700;
inline constexpr int kSplashDefaultMaxHeight = 450;

// A maximum of 0 takes the default. A screen dimension that is not positive leaves that limit
// alone. Image sizes must be positive; otherwise the layout is empty (width and height 0).
SplashLayout ComputeSplashLayout(int imageWidth, int imageHeight, int maxWidth, int maxHeight,
                                 int screenWidth, int screenHeight);

// Turns straight-alpha 32-bit pixels (B, G, R, A bytes, as Windows keeps them) into the
// premultiplied form a per-pixel-alpha layered window expects: each colour becomes
// colour * alpha / 255 (integer division), alpha stays.
void PremultiplyBgraPixels(std::uint8_t* pixels, std::size_t pixelCount);
