#pragma once
// The libcrypto functions the envelope primitives call, taken from the library when the first
// envelope is opened (see common/shared_library_posix.h for why it is not linked). Typed from
// OpenSSL's own declarations, so a call through the table is checked as a direct call would be.
#include <openssl/evp.h>
#include <openssl/params.h>

#include <string_view>

#include "common/shared_library_posix.h"

struct CryptoFunctions {
    decltype(&EVP_aes_128_cbc) aes_128_cbc = nullptr;
    decltype(&EVP_aes_192_cbc) aes_192_cbc = nullptr;
    decltype(&EVP_aes_256_cbc) aes_256_cbc = nullptr;
    decltype(&EVP_CIPHER_CTX_new) cipher_ctx_new = nullptr;
    decltype(&EVP_CIPHER_CTX_free) cipher_ctx_free = nullptr;
    decltype(&EVP_DecryptInit_ex) decrypt_init_ex = nullptr;
    decltype(&EVP_DecryptUpdate) decrypt_update = nullptr;
    decltype(&EVP_DecryptFinal_ex) decrypt_final_ex = nullptr;
    decltype(&EVP_MAC_fetch) mac_fetch = nullptr;
    decltype(&EVP_MAC_free) mac_free = nullptr;
    decltype(&EVP_MAC_CTX_new) mac_ctx_new = nullptr;
    decltype(&EVP_MAC_CTX_free) mac_ctx_free = nullptr;
    decltype(&EVP_MAC_init) mac_init = nullptr;
    decltype(&EVP_MAC_update) mac_update = nullptr;
    decltype(&EVP_MAC_final) mac_final = nullptr;
    decltype(&OSSL_PARAM_construct_utf8_string) param_construct_utf8_string = nullptr;
    decltype(&OSSL_PARAM_construct_end) param_construct_end = nullptr;
};

// Without it an envelope fails at the stage that would open the algorithm.
using CryptoLibrary = LoadedLibrary<CryptoFunctions>;

CryptoLibrary LoadCryptoLibrary(std::string_view name);

// The program's libcrypto (ORBIS_LIBCRYPTO_SONAME), loaded once by the first caller of any thread.
const CryptoLibrary& ProgramCryptoLibrary();
