#include "service/envelope.h"

#include <array>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "common/text.h"

namespace Envelope {
namespace {

constexpr int kNotInAlphabet = -1;

constexpr std::array<int, 256> MakeBase64Table() {
    std::array<int, 256> table{};
    for (auto& entry : table)
        entry = kNotInAlphabet;
    constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < alphabet.size(); ++i) {
        table[static_cast<unsigned char>(alphabet[i])] = static_cast<int>(i);
    }
    return table;
}

constexpr std::array<int, 256> kBase64Table = MakeBase64Table();

// A working copy of the key that does not outlive the call with its bytes intact.
class KeyCopy {
  public:
    explicit KeyCopy(std::string_view key) : bytes_(key.begin(), key.end()) {}
    ~KeyCopy() { SecureZero(bytes_.data(), bytes_.size()); }
    KeyCopy(const KeyCopy&) = delete;
    KeyCopy& operator=(const KeyCopy&) = delete;
    const Bytes& bytes() const { return bytes_; }

  private:
    Bytes bytes_;
};

// The tag arrives from outside, so the comparison must not reveal through its running time how
// many leading digits were right: every character is visited and the differences are folded
// together. Case is ignored, as the platform may write the digest in either case.
bool TagMatches(const std::string& expectedLowerHex, std::string_view tag) {
    unsigned difference = expectedLowerHex.size() == tag.size() ? 0U : 1U;
    for (std::size_t i = 0; i < tag.size(); ++i) {
        const char expected = i < expectedLowerHex.size() ? expectedLowerHex[i] : '\0';
        difference |= static_cast<unsigned char>(expected) ^
                      static_cast<unsigned char>(Text::ToLowerAscii(tag[i]));
    }
    return difference == 0U;
}

}  // namespace

Bytes Base64Decode(std::string_view text) {
    Bytes out;
    out.reserve(text.size() / 4 * 3 + 2);
    std::uint32_t group = 0;
    int count = 0;
    for (const char c : text) {
        const int value = kBase64Table[static_cast<unsigned char>(c)];
        if (value == kNotInAlphabet) break;  // "=" is not in the alphabet either
        group = (group << 6) | static_cast<std::uint32_t>(value);
        if (++count == 4) {
            out.push_back(static_cast<std::uint8_t>(group >> 16));
            out.push_back(static_cast<std::uint8_t>(group >> 8));
            out.push_back(static_cast<std::uint8_t>(group));
            group = 0;
            count = 0;
        }
    }
    if (count >= 2) {
        group <<= 6 * (4 - count);
        out.push_back(static_cast<std::uint8_t>(group >> 16));
        if (count == 3) out.push_back(static_cast<std::uint8_t>(group >> 8));
    }
    return out;
}

std::string HexEncode(const Bytes& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const std::uint8_t b : bytes) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0x0F]);
    }
    return out;
}

void SecureZero(void* data, std::size_t size) {
    // Volatile stores are observable behaviour, so they survive even when the buffer dies next.
    auto* p = static_cast<volatile unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
        p[i] = 0;
}

std::string DecryptEnvelope(std::string_view text, std::string_view key, TagRule rule) {
    const Bytes decoded = Base64Decode(text);
    // Not const: keyed access on a missing member must read as null (and on a non-object must
    // raise the library's type error), which only the mutable accessor does without undefined
    // behaviour.
    nlohmann::json envelope = nlohmann::json::parse(decoded.begin(), decoded.end(), nullptr, false);
    if (envelope.is_discarded()) throw std::runtime_error(Failure::kParseJson);

    const auto ivText = envelope["iv"].get<std::string>();
    const auto valueText = envelope["value"].get<std::string>();
    std::string tag;
    if (envelope.is_object() && envelope.contains("mac")) tag = envelope["mac"].get<std::string>();

    const KeyCopy keyCopy(key);
    // A forger who cannot compute the tag simply leaves it out. When tags are required, an empty
    // tag goes through the same comparison as any other and fails it like a wrong one.
    if (!tag.empty() || rule == TagRule::Required) {
        const Bytes digest = HmacSha256(ivText + valueText, key);
        if (!TagMatches(HexEncode(digest), tag)) {
            throw std::runtime_error(Failure::kMacMismatch);
        }
    }

    const Bytes plain =
        AesCbcDecrypt(Base64Decode(valueText), keyCopy.bytes(), Base64Decode(ivText));
    return {plain.begin(), plain.end()};
}

}  // namespace Envelope
