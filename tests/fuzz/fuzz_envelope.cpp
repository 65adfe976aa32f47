// Envelope opening fed with arbitrary bytes. An envelope comes from a link anyone can write, so
// any input may only end in a std::exception (the expected failures); a crash, a sanitizer
// report or any other escape is a bug. The first input byte picks how the rest is used.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

#include "service/envelope.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

const std::string& Key() {
    static const std::string key = [] {
        std::string bytes;
        for (int i = 0; i < 32; ++i)
            bytes.push_back(static_cast<char>(0xA5 ^ (i * 7)));
        return bytes;
    }();
    return key;
}

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Decoding written the slow way, bit by bit: n alphabet characters carry 6n bits, of which the
// whole bytes are kept. Must agree with the real decoder on every input.
Envelope::Bytes ReferenceDecode(std::string_view text) {
    Envelope::Bytes out;
    unsigned bits = 0;
    int count = 0;
    for (const char c : text) {
        const std::size_t index = kAlphabet.find(c);
        if (index == std::string_view::npos) break;
        bits = (bits << 6) | static_cast<unsigned>(index);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<std::uint8_t>(bits >> count));
            bits &= (1U << count) - 1U;
        }
    }
    return out;
}

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned group = (static_cast<unsigned char>(bytes[i]) << 16) |
                               (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                               static_cast<unsigned char>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6)
            out.push_back(kAlphabet[(group >> shift) & 63]);
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out.push_back(kAlphabet[(group >> 18) & 63]);
        out.push_back(kAlphabet[(group >> 12) & 63]);
        out.push_back(rest == 2 ? kAlphabet[(group >> 6) & 63] : '=');
        out.push_back('=');
    }
    return out;
}

struct Opening {
    std::string failure;  // empty on success
    std::string plain;
};

Opening Open(const std::string& envelope, Envelope::TagRule rule) {
    Opening opening;
    try {
        opening.plain = Envelope::DecryptEnvelope(envelope, Key(), rule);
    } catch (const std::exception& e) {
        const std::string text = e.what();
        opening.failure = text.empty() ? std::string("<empty>") : text;
    }
    return opening;
}

// Opens the envelope under both tag rules. Requiring the tag may only ever refuse more: whatever
// opens with it must open the same way without it.
void OpenUnderBothRules(const std::string& envelope) {
    const Opening required = Open(envelope, Envelope::TagRule::Required);
    const Opening optional = Open(envelope, Envelope::TagRule::Optional);
    if (required.failure.empty()) {
        Check(optional.failure.empty());
        Check(optional.plain == required.plain);
    }
}

// Opens the envelope; returns the failure text, or empty on success.
std::string OpenFailure(const std::string& envelope) {
    return Open(envelope, Envelope::TagRule::Required).failure;
}

// The input as iv || ciphertext, sealed with a correct tag: the decrypt itself gets fuzzed, and
// the tag check must never refuse what was tagged correctly.
void FuzzSealed(std::string_view input) {
    const std::size_t ivSize = input.size() < 16 ? input.size() : 16;
    const std::string ivText = Base64Encode(input.substr(0, ivSize));
    const std::string valueText = Base64Encode(input.substr(ivSize));
    const std::string tag = Envelope::HexEncode(Envelope::HmacSha256(ivText + valueText, Key()));
    const std::string json =
        R"({"iv":")" + ivText + R"(","value":")" + valueText + R"(","mac":")" + tag + R"("})";
    const std::string failure = OpenFailure(Base64Encode(json));
    Check(failure.find("MAC verification failed") == std::string::npos);
    Check(failure != "Failed to parse AES envelope JSON");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
        case 0:  // the envelope text as it would stand in a link
            Check(Envelope::Base64Decode(input) == ReferenceDecode(input));
            OpenUnderBothRules(std::string(input));
            break;
        case 1:  // the JSON inside the envelope
            OpenUnderBothRules(Base64Encode(input));
            break;
        default:
            FuzzSealed(input);
            break;
    }
    return 0;
}
