// Known-answer tests of the envelope. The vectors were minted once with Python's `cryptography`
// package, an implementation independent of both adapters; the same suite runs natively
// (OpenSSL) and under Wine (CNG), so passing it on both shows the adapters agree.
#include "service/envelope.h"

#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using Envelope::Base64Decode;
using Envelope::Bytes;
using Envelope::DecryptEnvelope;
using Envelope::TagRule;

Bytes FromHex(std::string_view hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(
            static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return out;
}

std::string AsText(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

// Key bytes 0x40 to 0x5f.
std::string TestKey() {
    std::string key;
    for (int i = 0x40; i < 0x60; ++i)
        key.push_back(static_cast<char>(i));
    return key;
}

const std::string kPlain = AsText(FromHex("4772c3bcc39f6520e28094206c696e6b2070617274203432"));
const Bytes kIv = FromHex("000102030405060708090a0b0c0d0e0f");
const Bytes kCipher256 =
    FromHex("9b6d7cb6d5f71e82df1ff343249aa3098405d51360ff67db4ca710953889bf11");

// Envelopes over kPlain with kIv and TestKey(), each varying one thing.
constexpr const char* kWithMac =
    "eyJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSIsInZhbHVlIjoibTIxOHR0WDNIb0xmSC9OREpKcWpDWVFGMVJOZy"
    "8yZmJUS2NRbFRpSnZ4RT0iLCJtYWMiOiJmZjA5YzUxM2NhMDI2ODVlMjhhYjMwOTZkMDE5MWRkZTYyNzg2ZTVhYmEzOWZj"
    "MWU1Y2U5Mzk2ZjdiZGNjZTZkIn0=";
constexpr const char* kNoMac =
    "eyJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSIsInZhbHVlIjoibTIxOHR0WDNIb0xmSC9OREpKcWpDWVFGMVJOZy"
    "8yZmJUS2NRbFRpSnZ4RT0ifQ==";
constexpr const char* kEmptyMac =
    "eyJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSIsInZhbHVlIjoibTIxOHR0WDNIb0xmSC9OREpKcWpDWVFGMVJOZy"
    "8yZmJUS2NRbFRpSnZ4RT0iLCJtYWMiOiIifQ==";
constexpr const char* kUpperMac =
    "eyJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSIsInZhbHVlIjoibTIxOHR0WDNIb0xmSC9OREpKcWpDWVFGMVJOZy"
    "8yZmJUS2NRbFRpSnZ4RT0iLCJtYWMiOiJGRjA5QzUxM0NBMDI2ODVFMjhBQjMwOTZEMDE5MURERTYyNzg2RTVBQkEzOUZD"
    "MUU1Q0U5Mzk2RjdCRENDRTZEIn0=";
constexpr const char* kExtraMembers =
    "eyJ0YWciOiIiLCJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSIsInZhbHVlIjoibTIxOHR0WDNIb0xmSC9OREpKcW"
    "pDWVFGMVJOZy8yZmJUS2NRbFRpSnZ4RT0iLCJtYWMiOiJmZjA5YzUxM2NhMDI2ODVlMjhhYjMwOTZkMDE5MWRkZTYyNzg2"
    "ZTVhYmEzOWZjMWU1Y2U5Mzk2ZjdiZGNjZTZkIiwibiI6WzEsMl19";
// One hex digit changed.
constexpr const char* kWrongMac =
    "eyJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSIsInZhbHVlIjoibTIxOHR0WDNIb0xmSC9OREpKcWpDWVFGMVJOZy"
    "8yZmJUS2NRbFRpSnZ4RT0iLCJtYWMiOiJmZjA5YzUxM2NhMTI2ODVlMjhhYjMwOTZkMDE5MWRkZTYyNzg2ZTVhYmEzOWZj"
    "MWU1Y2U5Mzk2ZjdiZGNjZTZkIn0=";
// The right tag without its last digit, and with one digit too many.
constexpr const char* kShortMac =
    "eyJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSIsInZhbHVlIjoibTIxOHR0WDNIb0xmSC9OREpKcWpDWVFGMVJOZy"
    "8yZmJUS2NRbFRpSnZ4RT0iLCJtYWMiOiJmZjA5YzUxM2NhMDI2ODVlMjhhYjMwOTZkMDE5MWRkZTYyNzg2ZTVhYmEzOWZj"
    "MWU1Y2U5Mzk2ZjdiZGNjZTYifQ==";
constexpr const char* kLongMac =
    "eyJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSIsInZhbHVlIjoibTIxOHR0WDNIb0xmSC9OREpKcWpDWVFGMVJOZy"
    "8yZmJUS2NRbFRpSnZ4RT0iLCJtYWMiOiJmZjA5YzUxM2NhMDI2ODVlMjhhYjMwOTZkMDE5MWRkZTYyNzg2ZTVhYmEzOWZj"
    "MWU1Y2U5Mzk2ZjdiZGNjZTZkMCJ9";
// A 15-byte ciphertext that can never decrypt: with the tag of the full one, and with its own.
constexpr const char* kWrongMacUndecryptable =
    "eyJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSIsInZhbHVlIjoibTIxOHR0WDNIb0xmSC9OREpKcWoiLCJtYWMiOi"
    "JmZjA5YzUxM2NhMDI2ODVlMjhhYjMwOTZkMDE5MWRkZTYyNzg2ZTVhYmEzOWZjMWU1Y2U5Mzk2ZjdiZGNjZTZkIn0=";
constexpr const char* kValidMacUndecryptable =
    "eyJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSIsInZhbHVlIjoibTIxOHR0WDNIb0xmSC9OREpKcWoiLCJtYWMiOi"
    "JjM2FjNDMzMWIyMWZiMWY1OTk5ZTlmYzFiODBiN2Y2YjhmZWY2ZTUyZTU3YmIzZTE3OWVkZDYxZWQwMDI1OTU3In0=";
// JSON written with "\/" escapes, as some server stacks do; plaintext "escaped-slash-0".
constexpr const char* kEscapedSlashes =
    "eyJpdiI6IlwvXC83OVwvUHY2K2ZqMzl2WDA4XC9MeDhBPT0iLCJ2YWx1ZSI6IlM5YlRuektWOXRTc29xNERtTzh4QUE9PS"
    "IsIm1hYyI6ImJhZGQ4NDMwOGI0NTZjNzlhNmIwOWY5NGE1N2E3OTE3YjAzYzU4MjQ5ODA1MmQ5YWMwNmI1M2IxNmY1YmIw"
    "Y2IifQ==";
constexpr const char* kEmptyPlaintext =
    "eyJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSIsInZhbHVlIjoiakZ0MzM2WlpOa25TWWdyWVBDUktpQT09IiwibW"
    "FjIjoiZTA1MzdhOWQ1ZDA2MTYyZTk5MmQ4MjQ1MzQwZWRjMDI2ZjliZWE3ZTEzZDA4YmE3ODU2NDg5MDQ4ZDZlMjEyMyJ"
    "9";
// Two blocks whose last decrypted byte is 0x20, which no padding can end with; correct tag.
constexpr const char* kBadPadding =
    "eyJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSIsInZhbHVlIjoicUU2RU5oRmt3OXQvZi9hZVRMMTFITzZGelNXc1"
    "NBOHpMaU9WblhWYTR0ST0iLCJtYWMiOiJlY2FkODRjMWM2YzNlZDYzYmQ3Mzk4ZWJiMGQyYTI5OGQ1OGI4NjZhNTZkMGIx"
    "MjMwNGEzOTEzYzhhYjdkNzJmIn0=";
constexpr const char* kArrayJson = "WyJpdiIsInZhbHVlIl0=";  // ["iv","value"]
constexpr const char* kStringJson = "Iml2Ig==";             // "iv"
constexpr const char* kNullJson = "bnVsbA==";               // null
constexpr const char* kMissingValue = "eyJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSJ9";
constexpr const char* kNumericIv =
    "eyJpdiI6NSwidmFsdWUiOiJtMjE4dHRYM0hvTGZIL05ESkpxakNZUUYxUk5nLzJmYlRLY1FsVGlKdnhFPSJ9";
constexpr const char* kNullMac =
    "eyJpdiI6IkFBRUNBd1FGQmdjSUNRb0xEQTBPRHc9PSIsInZhbHVlIjoibTIxOHR0WDNIb0xmSC9OREpKcWpDWVFGMVJOZy"
    "8yZmJUS2NRbFRpSnZ4RT0iLCJtYWMiOm51bGx9";
constexpr const char* kTruncatedJson = "eyJpdiI6IA==";  // {"iv":

constexpr const char* kMacFailure = "MAC verification failed — data may be tampered";
constexpr const char* kParseFailure = "Failed to parse AES envelope JSON";

// The text of the runtime error `action` throws, or a marker when it throws nothing.
std::string RuntimeErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "<no exception>";
}

std::string Open(std::string_view envelope, TagRule rule = TagRule::Required) {
    return DecryptEnvelope(envelope, TestKey(), rule);
}

std::string OpenError(std::string_view envelope, TagRule rule = TagRule::Required) {
    return RuntimeErrorOf([&] { Open(envelope, rule); });
}

std::string Base64Encode(const Bytes& bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        std::uint32_t group = static_cast<std::uint32_t>(bytes[i]) << 16;
        if (left > 1) group |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
        if (left > 2) group |= bytes[i + 2];
        for (std::size_t k = 0; k < 4; ++k) {
            out.push_back(k <= left ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=');
        }
    }
    return out;
}

// The envelope's JSON changed by `edit` and sealed again, as anyone can do without the key.
std::string Rewrite(std::string_view envelope, const std::function<void(nlohmann::json&)>& edit) {
    const Bytes decoded = Base64Decode(envelope);
    nlohmann::json object = nlohmann::json::parse(decoded.begin(), decoded.end());
    edit(object);
    const std::string text = object.dump();
    return Base64Encode(Bytes(text.begin(), text.end()));
}

// The attack the tag exists to stop: with CBC, XOR-ing the IV with (known plaintext XOR wanted
// text) makes the first block decrypt to the wanted text. Needs one envelope whose plaintext
// start is known, never the key.
std::string ForgeFirstBlock(std::string_view envelope, std::string_view known,
                            std::string_view wanted, bool keepTag) {
    return Rewrite(envelope, [&](nlohmann::json& object) {
        Bytes iv = Base64Decode(object["iv"].get<std::string>());
        for (std::size_t i = 0; i < iv.size() && i < known.size() && i < wanted.size(); ++i) {
            iv[i] ^= static_cast<std::uint8_t>(known[i] ^ wanted[i]);
        }
        object["iv"] = Base64Encode(iv);
        if (!keepTag) object.erase("mac");
    });
}

std::string DecryptError(const Bytes& ciphertext, const Bytes& key, const Bytes& iv) {
    return RuntimeErrorOf([&] { Envelope::AesCbcDecrypt(ciphertext, key, iv); });
}

Bytes KeyBytes(std::size_t size) {
    const std::string key = TestKey();
    return Bytes(key.begin(), key.begin() + static_cast<std::ptrdiff_t>(size));
}

bool RunningUnderWine() {
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

}  // namespace

TEST(EnvelopeBase64, DecodesWholeAndPartialGroups) {
    EXPECT_EQ(AsText(Base64Decode("TWFu")), "Man");
    EXPECT_EQ(AsText(Base64Decode("TWFuTWE")), "ManMa");  // three left: two bytes
    EXPECT_EQ(AsText(Base64Decode("TQ")), "M");           // two left: one byte
    EXPECT_EQ(AsText(Base64Decode("TWFuT")), "Man");      // one left: nothing
    EXPECT_TRUE(Base64Decode("T").empty());
    EXPECT_TRUE(Base64Decode("").empty());
}

TEST(EnvelopeBase64, StopsAtPaddingOrForeignCharacterWithoutError) {
    EXPECT_EQ(AsText(Base64Decode("TQ==TWFu")), "M");
    EXPECT_EQ(AsText(Base64Decode("TWE=")), "Ma");
    EXPECT_EQ(AsText(Base64Decode("TWFu TWFu")), "Man");
    EXPECT_EQ(AsText(Base64Decode("TWFu\r\nTWFu")), "Man");
    EXPECT_EQ(AsText(Base64Decode("TW%2BFu")), "M");
    EXPECT_EQ(AsText(Base64Decode("TWFu-_Fu")), "Man");  // the URL-safe alphabet is not accepted
    EXPECT_TRUE(Base64Decode("\xc3\xa9TWFu").empty());
    EXPECT_TRUE(Base64Decode("=TWFu").empty());
}

TEST(EnvelopeBase64, DecodesEveryByteValue) {
    const std::string all =
        "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKissLS4vMDEyMzQ1Njc4OTo7PD0+P0BBQk"
        "NERUZHSElKS0xNTk9QUVJTVFVWV1hZWltcXV5fYGFiY2RlZmdoaWprbG1ub3BxcnN0dXZ3eHl6e3x9fn+AgYKDhIWG"
        "h4iJiouMjY6PkJGSk5SVlpeYmZqbnJ2en6ChoqOkpaanqKmqq6ytrq+wsbKztLW2t7i5uru8vb6/wMHCw8TFxsfIyc"
        "rLzM3Oz9DR0tPU1dbX2Nna29zd3t/g4eLj5OXm5+jp6uvs7e7v8PHy8/T19vf4+fr7/P3+/w==";
    Bytes expected;
    for (int i = 0; i < 256; ++i)
        expected.push_back(static_cast<std::uint8_t>(i));
    EXPECT_EQ(Base64Decode(all), expected);
    EXPECT_EQ(Base64Decode(all.substr(0, all.size() - 2)), expected);  // unpadded
}

TEST(EnvelopeHex, LowerCaseTwoDigitsPerByte) {
    EXPECT_EQ(Envelope::HexEncode({0x00, 0x0f, 0xab, 0xff, 0x10}), "000fabff10");
    EXPECT_EQ(Envelope::HexEncode({}), "");
}

TEST(EnvelopeCrypto, HmacSha256KnownAnswers) {
    // RFC 4231, test case 2.
    EXPECT_EQ(Envelope::HexEncode(Envelope::HmacSha256("what do ya want for nothing?", "Jefe")),
              "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    EXPECT_EQ(Envelope::HexEncode(Envelope::HmacSha256("iv-textvalue-text", TestKey())),
              "a519cc2cae73f20cb5b863b8de2e89529eb9125429afc47e47835005e32b9a5f");
    EXPECT_EQ(Envelope::HexEncode(Envelope::HmacSha256("", TestKey())),
              "6656ed44406d8895497b1b8d854118fcd7790e181ce6ea7ca4eed793f0fcd594");
    EXPECT_EQ(Envelope::HexEncode(Envelope::HmacSha256("data", "")),
              "e528c4d99e6177f5841f712a143b90843299a4aa181a06501422d9ca862bd2a5");
}

TEST(EnvelopeCrypto, AesCbcDecryptKnownAnswers) {
    EXPECT_EQ(AsText(Envelope::AesCbcDecrypt(kCipher256, KeyBytes(32), kIv)), kPlain);
    // The AES size follows the key length, as CNG chooses it.
    const Bytes key128 = FromHex("2b7e151628aed2a6abf7158809cf4f3c");
    const Bytes cipher128 =
        FromHex("adb69c54005b93bb994bc7ac1de72890b039ebffd33484b8faee3800b3a988be");
    EXPECT_EQ(AsText(Envelope::AesCbcDecrypt(cipher128, key128, kIv)), "sixteen byte msg");
    // No IV at all means a zero IV: only the first block changes.
    const std::string zeroIv = AsText(Envelope::AesCbcDecrypt(kCipher256, KeyBytes(32), {}));
    ASSERT_EQ(zeroIv.size(), kPlain.size());
    EXPECT_NE(zeroIv.substr(0, 16), kPlain.substr(0, 16));
    EXPECT_EQ(zeroIv.substr(16), kPlain.substr(16));
}

TEST(EnvelopeCrypto, AesCbcFailuresCarryTheFixedTexts) {
    EXPECT_EQ(DecryptError(kCipher256, KeyBytes(20), kIv), "BCryptGenerateSymmetricKey failed");
    EXPECT_EQ(DecryptError(kCipher256, {}, kIv), "BCryptGenerateSymmetricKey failed");
    const Bytes partial(kCipher256.begin(), kCipher256.begin() + 15);
    EXPECT_EQ(DecryptError(partial, KeyBytes(32), kIv), "BCryptDecrypt (size query) failed");
    // An IV that is not one block long is refused by the decrypt call itself.
    for (const std::size_t length : {8U, 15U, 17U, 32U}) {
        Bytes iv = kIv;
        iv.resize(length, 0x01);
        EXPECT_EQ(DecryptError(kCipher256, KeyBytes(32), iv), "BCryptDecrypt failed") << length;
    }
    // A key of another AES size gets to the decrypt and fails on the padding.
    EXPECT_EQ(DecryptError(kCipher256, KeyBytes(16), kIv), "BCryptDecrypt failed");
}

TEST(EnvelopeCrypto, EmptyCiphertextFailsTheSizeQuery) {
    if (RunningUnderWine()) {
        GTEST_SKIP() << "Wine 8's bcrypt decrypts an empty input to nothing; Windows and the "
                        "OpenSSL adapter refuse it";
    }
    EXPECT_EQ(DecryptError({}, KeyBytes(32), kIv), "BCryptDecrypt (size query) failed");
}

TEST(DecryptEnvelope, TaggedEnvelopesOpenUnderEitherRule) {
    for (const TagRule rule : {TagRule::Required, TagRule::Optional}) {
        EXPECT_EQ(Open(kWithMac, rule), kPlain);
        EXPECT_EQ(Open(kUpperMac, rule), kPlain);
        EXPECT_EQ(Open(kExtraMembers, rule), kPlain);
    }
}

TEST(DecryptEnvelope, RequiredTagRefusesAMissingOrEmptyOneExactlyLikeAWrongOne) {
    EXPECT_EQ(OpenError(kWrongMac), kMacFailure);
    EXPECT_EQ(OpenError(kNoMac), kMacFailure);
    EXPECT_EQ(OpenError(kEmptyMac), kMacFailure);
    // The same type of exception, not only the same text: callers cannot tell them apart.
    EXPECT_THROW(Open(kNoMac), std::runtime_error);
    // Refused before decryption: this ciphertext would fail in the size query otherwise.
    const std::string untaggedUndecryptable =
        Rewrite(kValidMacUndecryptable, [](nlohmann::json& object) { object.erase("mac"); });
    EXPECT_EQ(OpenError(untaggedUndecryptable), kMacFailure);
    EXPECT_EQ(OpenError(untaggedUndecryptable, TagRule::Optional),
              "BCryptDecrypt (size query) failed");
}

TEST(DecryptEnvelope, OptionalTagOpensUntaggedEnvelopes) {
    EXPECT_EQ(Open(kNoMac, TagRule::Optional), kPlain);
    EXPECT_EQ(Open(kEmptyMac, TagRule::Optional), kPlain);
    EXPECT_EQ(OpenError(kWrongMac, TagRule::Optional), kMacFailure);
}

TEST(DecryptEnvelope, ForgedFirstBlockIsRefusedOnlyWhenTheTagIsRequired) {
    const std::string wanted = "https://evil.tst";
    ASSERT_EQ(wanted.size(), 16U);
    const std::string forged = ForgeFirstBlock(kWithMac, kPlain, wanted, false);
    // What an untagged platform accepts: the forger's text with the rest of the original.
    EXPECT_EQ(Open(forged, TagRule::Optional), wanted + kPlain.substr(16));
    EXPECT_EQ(OpenError(forged), kMacFailure);
    // Keeping the old tag does not help the forger under either rule.
    const std::string forgedTagged = ForgeFirstBlock(kWithMac, kPlain, wanted, true);
    EXPECT_EQ(OpenError(forgedTagged), kMacFailure);
    EXPECT_EQ(OpenError(forgedTagged, TagRule::Optional), kMacFailure);
}

TEST(DecryptEnvelope, TagCoversTheMemberTextsNotTheirJsonEscapes) {
    EXPECT_EQ(Open(kEscapedSlashes), "escaped-slash-0");
}

TEST(DecryptEnvelope, WrongTagFailsBeforeAnyDecryption) {
    EXPECT_EQ(OpenError(kWrongMac), kMacFailure);
    EXPECT_EQ(OpenError(kShortMac), kMacFailure);
    EXPECT_EQ(OpenError(kLongMac), kMacFailure);
    // Would fail in the size query if decryption were attempted first.
    EXPECT_EQ(OpenError(kWrongMacUndecryptable), kMacFailure);
    EXPECT_EQ(OpenError(kValidMacUndecryptable), "BCryptDecrypt (size query) failed");
    // A different key gives a different digest.
    std::string otherKey = TestKey();
    otherKey[31] = '\0';
    EXPECT_EQ(RuntimeErrorOf([&] { DecryptEnvelope(kWithMac, otherKey, TagRule::Required); }),
              kMacFailure);
}

TEST(DecryptEnvelope, StrayCharactersEndTheBase64Text) {
    const std::string envelope = kWithMac;
    EXPECT_EQ(Open(envelope + "\r\n"), kPlain);
    EXPECT_EQ(Open(envelope + " trailing"), kPlain);
    EXPECT_EQ(Open(envelope + "%3D"), kPlain);
    // Inside the text they cut the JSON short.
    EXPECT_EQ(OpenError(envelope.substr(0, 40) + " " + envelope.substr(40)), kParseFailure);
    EXPECT_EQ(OpenError(envelope.substr(0, 40) + "%2B" + envelope.substr(41)), kParseFailure);
}

TEST(DecryptEnvelope, UnpaddedBase64OpensAsPadded) {
    std::string envelope = kNoMac;
    ASSERT_EQ(envelope.substr(envelope.size() - 2), "==");
    envelope.resize(envelope.size() - 2);
    EXPECT_EQ(Open(envelope, TagRule::Optional), kPlain);
}

TEST(DecryptEnvelope, TextThatIsNotJsonFailsToParse) {
    EXPECT_EQ(OpenError(kTruncatedJson), kParseFailure);
    EXPECT_EQ(OpenError(""), kParseFailure);
    EXPECT_EQ(OpenError("!!!"), kParseFailure);
}

TEST(DecryptEnvelope, NonObjectOrMistypedMembersRaiseTheLibraryTypeError) {
    for (const char* envelope :
         {kArrayJson, kStringJson, kNullJson, kMissingValue, kNumericIv, kNullMac}) {
        EXPECT_THROW(Open(envelope), nlohmann::json::type_error) << envelope;
    }
}

TEST(DecryptEnvelope, BadPaddingFailsTheDecrypt) {
    EXPECT_EQ(OpenError(kBadPadding), "BCryptDecrypt failed");
}

TEST(DecryptEnvelope, EmptyPlaintextIsReturnedAsEmpty) {
    EXPECT_EQ(Open(kEmptyPlaintext), "");
}
