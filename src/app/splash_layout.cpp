#include "app/splash_layout.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

// Single-precision arithmetic with truncation toward zero throughout: the splash must land on
// exactly the same pixels as it always has, so the float steps are kept as they are.
constexpr float kScreenShare = 0.7f;

// Truncation toward zero; values outside int (only reachable with absurd limits) saturate
// instead of being undefined.
int TruncateToInt(float value) {
    constexpr float kUpper = 2147483648.0f;  // 2^31, the first float above INT_MAX
    if (!(value < kUpper)) return std::numeric_limits<int>::max();
    if (value < -kUpper) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

int LimitFor(int requested, int fallback, int screen) {
    int limit = requested == 0 ? fallback : requested;
    if (screen > 0) {
        const int share = TruncateToInt(static_cast<float>(screen) * kScreenShare);
        if (share != 0 && share < limit) limit = share;
    }
    return limit;
}

int ScaledSide(int side, float scale) {
    return std::max(1, TruncateToInt(static_cast<float>(side) * scale + 0.5f));
}

int Centre(int screen, int side) {
    return static_cast<int>((static_cast<std::int64_t>(screen) - side) / 2);
}

}  // namespace

SplashLayout ComputeSplashLayout(int imageWidth, int imageHeight, int maxWidth, int maxHeight,
                                 int screenWidth, int screenHeight) {
    SplashLayout layout;
    if (imageWidth <= 0 || imageHeight <= 0) return layout;
    const int limitWidth = LimitFor(maxWidth, kSplashDefaultMaxWidth, screenWidth);
    const int limitHeight = LimitFor(maxHeight, kSplashDefaultMaxHeight, screenHeight);

    layout.width = imageWidth;
    layout.height = imageHeight;
    if (imageWidth > limitWidth || imageHeight > limitHeight) {
        const float scale =
            std::min(static_cast<float>(limitWidth) / static_cast<float>(imageWidth),
                     static_cast<float>(limitHeight) / static_cast<float>(imageHeight));
        layout.width = ScaledSide(imageWidth, scale);
        layout.height = ScaledSide(imageHeight, scale);
    }
    layout.scaled = layout.width != imageWidth || layout.height != imageHeight;
    // Centred on the full screen, not on the 70 % box.
    layout.x = Centre(screenWidth, layout.width);
    layout.y = Centre(screenHeight, layout.height);
    return layout;
}

void PremultiplyBgraPixels(std::uint8_t* pixels, std::size_t pixelCount) {
    for (std::size_t i = 0; i < pixelCount; ++i) {
        std::uint8_t* pixel = pixels + i * 4;
        const unsigned alpha = pixel[3];
        for (int channel = 0; channel < 3; ++channel) {
            pixel[channel] = static_cast<std::uint8_t>(pixel[channel] * alpha / 255u);
        }
    }
}
