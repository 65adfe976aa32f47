#pragma once
// Decoding side of the scrambled tenant constants (see tools/scripts/gen_tenant_header.py).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace Scrambled {

template <std::size_t N>
std::string Decode(const std::array<std::uint8_t, N>& data, std::uint8_t seed) {
    std::string plain(N, '\0');
    for (std::size_t i = 0; i < N; ++i) {
        const auto mask = static_cast<std::uint8_t>(((seed + 0x3B * i) & 0xFF) ^ 0xC5);
        plain[i] = static_cast<char>(data[i] ^ mask);
    }
    return plain;
}

}  // namespace Scrambled
