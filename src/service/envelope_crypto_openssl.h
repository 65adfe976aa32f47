#pragma once
// The envelope primitives over a given libcrypto. Those of service/envelope.h are these over the
// program's own library; a test hands them one that failed to load.
#include <string_view>

#include "service/crypto_library_openssl.h"
#include "service/envelope.h"

namespace Envelope {

// A library that did not load fails as CNG does when it cannot open the algorithm
// (Failure::kOpenAes, Failure::kOpenHmac), before any input is looked at.
Bytes AesCbcDecrypt(const CryptoLibrary& library, const Bytes& ciphertext, const Bytes& key,
                    const Bytes& iv);
Bytes HmacSha256(const CryptoLibrary& library, std::string_view data, std::string_view key);

}  // namespace Envelope
