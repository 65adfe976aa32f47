// The envelope primitives on Windows CNG. Every call opens and closes its own handles; the
// wrappers release them on every path, including the throwing ones.
#include <windows.h>

#include <bcrypt.h>

#include <stdexcept>

#include "service/envelope.h"

namespace Envelope {
namespace {

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

[[noreturn]] void Fail(const char* text) {
    throw std::runtime_error(text);
}

// One owner for the three CNG handle kinds; `Release` knows how to give each one back.
template <typename Handle, typename Release>
class CngHandle {
  public:
    CngHandle() = default;
    ~CngHandle() {
        if (handle_ != nullptr) Release{}(handle_);
    }
    CngHandle(const CngHandle&) = delete;
    CngHandle& operator=(const CngHandle&) = delete;
    Handle get() const { return handle_; }
    Handle* put() { return &handle_; }

  private:
    Handle handle_ = nullptr;
};

struct CloseProvider {
    void operator()(BCRYPT_ALG_HANDLE handle) const { BCryptCloseAlgorithmProvider(handle, 0); }
};
struct DestroyKey {
    void operator()(BCRYPT_KEY_HANDLE handle) const { BCryptDestroyKey(handle); }
};
struct DestroyHash {
    void operator()(BCRYPT_HASH_HANDLE handle) const { BCryptDestroyHash(handle); }
};

using AlgorithmProvider = CngHandle<BCRYPT_ALG_HANDLE, CloseProvider>;
using SymmetricKey = CngHandle<BCRYPT_KEY_HANDLE, DestroyKey>;
using Hash = CngHandle<BCRYPT_HASH_HANDLE, DestroyHash>;

// CNG takes non-const buffers even where it only reads them.
PUCHAR Writable(const void* data) {
    return const_cast<PUCHAR>(static_cast<const UCHAR*>(data));
}

ULONG SizeOf(std::size_t size) {
    return static_cast<ULONG>(size);
}

}  // namespace

Bytes AesCbcDecrypt(const Bytes& ciphertext, const Bytes& key, const Bytes& iv) {
    AlgorithmProvider provider;
    if (!Succeeded(BCryptOpenAlgorithmProvider(provider.put(), BCRYPT_AES_ALGORITHM, nullptr, 0))) {
        Fail(Failure::kOpenAes);
    }
    if (!Succeeded(BCryptSetProperty(provider.get(), BCRYPT_CHAINING_MODE,
                                     Writable(BCRYPT_CHAIN_MODE_CBC),
                                     SizeOf(sizeof(BCRYPT_CHAIN_MODE_CBC)), 0))) {
        Fail(Failure::kSetCbc);
    }
    SymmetricKey keyHandle;
    if (!Succeeded(BCryptGenerateSymmetricKey(provider.get(), keyHandle.put(), nullptr, 0,
                                              Writable(key.data()), SizeOf(key.size()), 0))) {
        Fail(Failure::kGenerateKey);
    }

    // CNG advances the IV buffer in place, so each call gets a fresh copy of the envelope's IV.
    Bytes ivWork = iv;
    ULONG needed = 0;
    if (!Succeeded(BCryptDecrypt(
            keyHandle.get(), Writable(ciphertext.data()), SizeOf(ciphertext.size()), nullptr,
            ivWork.data(), SizeOf(ivWork.size()), nullptr, 0, &needed, BCRYPT_BLOCK_PADDING))) {
        Fail(Failure::kDecryptSizeQuery);
    }

    Bytes plain(needed);
    ivWork = iv;
    ULONG written = 0;
    if (!Succeeded(BCryptDecrypt(keyHandle.get(), Writable(ciphertext.data()),
                                 SizeOf(ciphertext.size()), nullptr, ivWork.data(),
                                 SizeOf(ivWork.size()), plain.data(), SizeOf(plain.size()),
                                 &written, BCRYPT_BLOCK_PADDING))) {
        Fail(Failure::kDecrypt);
    }
    plain.resize(written);
    return plain;
}

Bytes HmacSha256(std::string_view data, std::string_view key) {
    AlgorithmProvider provider;
    if (!Succeeded(BCryptOpenAlgorithmProvider(provider.put(), BCRYPT_SHA256_ALGORITHM, nullptr,
                                               BCRYPT_ALG_HANDLE_HMAC_FLAG))) {
        Fail(Failure::kOpenHmac);
    }
    // Should the property read fail, the length stays 0 and finishing the hash reports it.
    DWORD digestLength = 0;
    ULONG propertySize = 0;
    BCryptGetProperty(provider.get(), BCRYPT_HASH_LENGTH, reinterpret_cast<PUCHAR>(&digestLength),
                      SizeOf(sizeof digestLength), &propertySize, 0);

    Hash hash;
    if (!Succeeded(BCryptCreateHash(provider.get(), hash.put(), nullptr, 0, Writable(key.data()),
                                    SizeOf(key.size()), 0))) {
        Fail(Failure::kCreateHash);
    }
    if (!Succeeded(BCryptHashData(hash.get(), Writable(data.data()), SizeOf(data.size()), 0))) {
        Fail(Failure::kHashData);
    }
    Bytes digest(digestLength);
    if (!Succeeded(BCryptFinishHash(hash.get(), digest.data(), SizeOf(digest.size()), 0))) {
        Fail(Failure::kFinishHash);
    }
    return digest;
}

}  // namespace Envelope
