#include "service/crypto_library_openssl.h"

CryptoLibrary LoadCryptoLibrary(std::string_view name) {
    return LoadSharedLibrary<CryptoFunctions>(name, [](auto& library, CryptoFunctions& functions) {
        library.Bind(functions.aes_128_cbc, "EVP_aes_128_cbc");
        library.Bind(functions.aes_192_cbc, "EVP_aes_192_cbc");
        library.Bind(functions.aes_256_cbc, "EVP_aes_256_cbc");
        library.Bind(functions.cipher_ctx_new, "EVP_CIPHER_CTX_new");
        library.Bind(functions.cipher_ctx_free, "EVP_CIPHER_CTX_free");
        library.Bind(functions.decrypt_init_ex, "EVP_DecryptInit_ex");
        library.Bind(functions.decrypt_update, "EVP_DecryptUpdate");
        library.Bind(functions.decrypt_final_ex, "EVP_DecryptFinal_ex");
        library.Bind(functions.mac_fetch, "EVP_MAC_fetch");
        library.Bind(functions.mac_free, "EVP_MAC_free");
        library.Bind(functions.mac_ctx_new, "EVP_MAC_CTX_new");
        library.Bind(functions.mac_ctx_free, "EVP_MAC_CTX_free");
        library.Bind(functions.mac_init, "EVP_MAC_init");
        library.Bind(functions.mac_update, "EVP_MAC_update");
        library.Bind(functions.mac_final, "EVP_MAC_final");
        library.Bind(functions.param_construct_utf8_string, "OSSL_PARAM_construct_utf8_string");
        library.Bind(functions.param_construct_end, "OSSL_PARAM_construct_end");
    });
}

const CryptoLibrary& ProgramCryptoLibrary() {
    static const CryptoLibrary library = LoadCryptoLibrary(ORBIS_LIBCRYPTO_SONAME);
    return library;
}
