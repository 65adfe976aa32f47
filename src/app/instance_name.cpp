#include "app/instance_name.h"

#include <cstdint>

#include "common/text.h"

std::u16string InstanceKey(std::u16string_view displayName, RunMode mode) {
    return std::u16string(displayName) + (mode == RunMode::Player ? u"|player" : u"|init");
}

std::u16string BuildInstanceMutexName(std::u16string_view key) {
    std::uint64_t hash = 0x14650fb0739d0383ULL;
    for (const char16_t c : key) {
        hash ^= Text::ToLowerAscii(c);
        hash *= 0x100000001b3ULL;
    }
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    std::u16string hex;
    do {
        hex.insert(hex.begin(), kDigits[hash & 0xF]);
        hash >>= 4;
    } while (hash != 0);
    return u"Local\\ZelvanPlayer.WebView2." + hex;
}
