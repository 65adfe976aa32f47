// The envelope primitives on OpenSSL 3. The failure texts are those of the Windows build, raised
// at the point where CNG would fail for the same input, so callers and tests see one behaviour.
#include "service/envelope_crypto_openssl.h"

#include <openssl/core_names.h>

#include <array>
#include <climits>
#include <memory>
#include <stdexcept>

namespace Envelope {
namespace {

constexpr std::size_t kBlockSize = 16;

// Each freed by the library that made it.
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(CryptoFunctions::cipher_ctx_free)>;
using Mac = std::unique_ptr<EVP_MAC, decltype(CryptoFunctions::mac_free)>;
using MacContext = std::unique_ptr<EVP_MAC_CTX, decltype(CryptoFunctions::mac_ctx_free)>;

[[noreturn]] void Fail(const char* text) {
    throw std::runtime_error(text);
}

// CNG takes the AES variant from the key length and refuses any other length.
const EVP_CIPHER* CbcCipherForKey(const CryptoFunctions& crypto, std::size_t keySize) {
    switch (keySize) {
        case 16:
            return crypto.aes_128_cbc();
        case 24:
            return crypto.aes_192_cbc();
        case 32:
            return crypto.aes_256_cbc();
        default:
            return nullptr;
    }
}

const unsigned char* BytesOf(std::string_view text) {
    // OpenSSL treats a null key as "keep the previous key", so an empty key still needs an
    // address.
    static constexpr unsigned char kNothing = 0;
    return text.empty() ? &kNothing : reinterpret_cast<const unsigned char*>(text.data());
}

}  // namespace

Bytes AesCbcDecrypt(const Bytes& ciphertext, const Bytes& key, const Bytes& iv) {
    return AesCbcDecrypt(ProgramCryptoLibrary(), ciphertext, key, iv);
}

Bytes HmacSha256(std::string_view data, std::string_view key) {
    return HmacSha256(ProgramCryptoLibrary(), data, key);
}

Bytes AesCbcDecrypt(const CryptoLibrary& library, const Bytes& ciphertext, const Bytes& key,
                    const Bytes& iv) {
    if (!library.functions) Fail(Failure::kOpenAes);
    const CryptoFunctions& crypto = *library.functions;
    const EVP_CIPHER* cipher = CbcCipherForKey(crypto, key.size());
    if (cipher == nullptr) Fail(Failure::kGenerateKey);
    // CNG's size query already refuses an empty or partial-block input when padding is asked
    // for.
    if (ciphertext.empty() || ciphertext.size() % kBlockSize != 0 ||
        ciphertext.size() > static_cast<std::size_t>(INT_MAX) - kBlockSize) {
        Fail(Failure::kDecryptSizeQuery);
    }
    // CNG checks the IV only when it decrypts: one whole block, or none (then zeros).
    if (!iv.empty() && iv.size() != kBlockSize) Fail(Failure::kDecrypt);
    std::array<unsigned char, kBlockSize> ivBlock{};
    for (std::size_t i = 0; i < iv.size(); ++i)
        ivBlock[i] = iv[i];

    const CipherContext context(crypto.cipher_ctx_new(), crypto.cipher_ctx_free);
    if (!context) Fail(Failure::kOpenAes);
    if (crypto.decrypt_init_ex(context.get(), cipher, nullptr, key.data(), ivBlock.data()) != 1) {
        Fail(Failure::kGenerateKey);
    }
    Bytes plain(ciphertext.size() + kBlockSize);
    int written = 0;
    if (crypto.decrypt_update(context.get(), plain.data(), &written, ciphertext.data(),
                              static_cast<int>(ciphertext.size())) != 1) {
        Fail(Failure::kDecrypt);
    }
    int tail = 0;
    if (crypto.decrypt_final_ex(context.get(), plain.data() + written, &tail) != 1) {
        Fail(Failure::kDecrypt);
    }
    plain.resize(static_cast<std::size_t>(written) + static_cast<std::size_t>(tail));
    return plain;
}

Bytes HmacSha256(const CryptoLibrary& library, std::string_view data, std::string_view key) {
    if (!library.functions) Fail(Failure::kOpenHmac);
    const CryptoFunctions& crypto = *library.functions;
    const Mac mac(crypto.mac_fetch(nullptr, OSSL_MAC_NAME_HMAC, nullptr), crypto.mac_free);
    if (!mac) Fail(Failure::kOpenHmac);
    const MacContext context(crypto.mac_ctx_new(mac.get()), crypto.mac_ctx_free);
    if (!context) Fail(Failure::kCreateHash);

    char digestName[] = "SHA256";
    const std::array<OSSL_PARAM, 2> params{
        crypto.param_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digestName, 0),
        crypto.param_construct_end()};
    if (crypto.mac_init(context.get(), BytesOf(key), key.size(), params.data()) != 1) {
        Fail(Failure::kCreateHash);
    }
    if (crypto.mac_update(context.get(), BytesOf(data), data.size()) != 1) {
        Fail(Failure::kHashData);
    }
    Bytes digest(EVP_MAX_MD_SIZE);
    std::size_t length = 0;
    if (crypto.mac_final(context.get(), digest.data(), &length, digest.size()) != 1) {
        Fail(Failure::kFinishHash);
    }
    digest.resize(length);
    return digest;
}

}  // namespace Envelope
