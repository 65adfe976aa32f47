#pragma once
// The encrypted envelope of a link part: base64 of {"iv", "value", "mac"} with AES-256-CBC and
// an HMAC-SHA256 tag, which the tenant profile makes required or optional. The two primitives are
// supplied by the platform adapter (envelope_crypto_openssl.cpp, envelope_crypto_cng.cpp);
// everything else is portable.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Envelope {

using Bytes = std::vector<std::uint8_t>;

// Failure texts, the same on both platforms (they read as the Windows stages that fail).
namespace Failure {
inline constexpr const char* kParseJson = "Failed to parse AES envelope JSON";
inline constexpr const char* kMacMismatch = "MAC verification failed — data may be tampered";
inline constexpr const char* kOpenAes = "BCryptOpenAlgorithmProvider failed";
inline constexpr const char* kSetCbc = "BCryptSetProperty CBC failed";
inline constexpr const char* kGenerateKey = "BCryptGenerateSymmetricKey failed";
inline constexpr const char* kDecryptSizeQuery = "BCryptDecrypt (size query) failed";
inline constexpr const char* kDecrypt = "BCryptDecrypt failed";
inline constexpr const char* kOpenHmac = "BCryptOpenAlgorithmProvider HMAC failed";
inline constexpr const char* kCreateHash = "BCryptCreateHash failed";
inline constexpr const char* kHashData = "BCryptHashData failed";
inline constexpr const char* kFinishHash = "BCryptFinishHash failed";
}  // namespace Failure

// Stops at the first "=" or non-alphabet character; never fails.
Bytes Base64Decode(std::string_view text);
// Lower-case hex, two digits per byte.
std::string HexEncode(const Bytes& bytes);

// Platform primitives. They throw std::runtime_error with the fixed failure texts
// ("BCryptDecrypt failed", ...), identical on both platforms.
Bytes AesCbcDecrypt(const Bytes& ciphertext, const Bytes& key, const Bytes& iv);
Bytes HmacSha256(std::string_view data, std::string_view key);

// Overwrites key material with zeros in a way the optimiser may not drop as a dead store.
void SecureZero(void* data, std::size_t size);

// Whether an envelope without a tag (no "mac" member, or an empty one) may be opened. CBC lets
// anyone holding one envelope rewrite the first block of its plaintext by changing the IV, so
// only the tag stands between a forger and the plaintext of their choice: Optional exists for
// platforms that issue untagged envelopes and accepts that risk.
enum class TagRule { Required, Optional };

// Opens an envelope. Throws std::runtime_error ("Failed to parse AES envelope JSON",
// "MAC verification failed — data may be tampered", the primitives' texts) or the JSON
// library's type error for missing or mistyped members. Under TagRule::Required a missing or
// empty tag fails exactly as a wrong one does, before anything is decrypted.
std::string DecryptEnvelope(std::string_view text, std::string_view key, TagRule rule);

}  // namespace Envelope
