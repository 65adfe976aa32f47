// Decoding a three-envelope link (a direct link, so neither the platform call nor the page
// script runs) against a baseline that only does the unavoidable cryptography on the same three
// envelopes with bare OpenSSL: one HMAC-SHA256 and one AES-256-CBC decrypt each. The ratio
// shows what the link decoding costs on top of the cryptography.
#include <benchmark/benchmark.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <array>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "../unit/scheme_link_vectors.h"
#include "common/app_record.h"
#include "common/text.h"
#include "service/envelope.h"
#include "service/scheme_link.h"
#include "tenant_profile.h"

namespace {

std::vector<std::string> LinkEnvelopes(const LinkVectors::Parts& parts) {
    return {parts.token, parts.directHttps, parts.domain};
}

std::u16string DirectLink(const LinkVectors::Parts& parts) {
    std::u16string link = u"orbiscampus://";
    for (const auto& envelope : LinkEnvelopes(parts)) {
        if (link.back() != u'/') link += u':';
        link += Text::Widen(envelope);
    }
    return link;
}

// The bytes the baseline works on, unpacked before timing starts.
struct OpenedEnvelope {
    std::string macInput;  // "iv" text followed by "value" text
    Envelope::Bytes mac;
    Envelope::Bytes iv;
    Envelope::Bytes ciphertext;
};

Envelope::Bytes FromHex(const std::string& hex) {
    Envelope::Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return out;
}

OpenedEnvelope Unpack(const std::string& envelope) {
    const Envelope::Bytes json = Envelope::Base64Decode(envelope);
    const auto object = nlohmann::json::parse(json.begin(), json.end());
    const auto iv = object.at("iv").get<std::string>();
    const auto value = object.at("value").get<std::string>();
    return {iv + value, FromHex(object.at("mac").get<std::string>()), Envelope::Base64Decode(iv),
            Envelope::Base64Decode(value)};
}

std::array<unsigned char, 32> BuildKey() {
    const auto& constant = Tenant::kEnvelopeKeyConstant;
    std::array<unsigned char, 32> key{};
    for (std::size_t i = 0; i < key.size(); ++i) {
        key[i] = static_cast<unsigned char>(constant[i + 1] ^ constant[0] ^ i);
    }
    return key;
}

void BM_LinkDecode(benchmark::State& state) {
    const LinkVectors::Parts* parts = LinkVectors::ForThisBuild();
    if (parts == nullptr) {
        state.SkipWithError("no minted link for this tenant profile");
        return;
    }
    const std::u16string link = DirectLink(*parts);
    AppRecord record = MakeDefaultAppRecord();
    std::string error;
    for (auto _ : state) {
        const bool ok = ParseSchemeArgs(link, error, record);
        if (!ok) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(record.contentUrl.data());
    }
}

struct CipherContextFree {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

void BM_Baseline_BareOpenSslCrypto(benchmark::State& state) {
    const LinkVectors::Parts* parts = LinkVectors::ForThisBuild();
    if (parts == nullptr) {
        state.SkipWithError("no minted link for this tenant profile");
        return;
    }
    std::vector<OpenedEnvelope> envelopes;
    for (const auto& envelope : LinkEnvelopes(*parts))
        envelopes.push_back(Unpack(envelope));
    const auto key = BuildKey();
    const std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> context(EVP_CIPHER_CTX_new());
    std::vector<unsigned char> plain(256);

    for (auto _ : state) {
        for (const auto& envelope : envelopes) {
            std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
            unsigned int digestLength = 0;
            HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
                 reinterpret_cast<const unsigned char*>(envelope.macInput.data()),
                 envelope.macInput.size(), digest.data(), &digestLength);
            if (CRYPTO_memcmp(digest.data(), envelope.mac.data(), envelope.mac.size()) != 0) {
                state.SkipWithError("tag mismatch");
            }
            int written = 0;
            int tail = 0;
            EVP_DecryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, key.data(),
                               envelope.iv.data());
            EVP_DecryptUpdate(context.get(), plain.data(), &written, envelope.ciphertext.data(),
                              static_cast<int>(envelope.ciphertext.size()));
            if (EVP_DecryptFinal_ex(context.get(), plain.data() + written, &tail) != 1) {
                state.SkipWithError("bad padding");
            }
            benchmark::DoNotOptimize(plain.data());
        }
    }
}

}  // namespace

BENCHMARK(BM_Baseline_BareOpenSslCrypto);
BENCHMARK(BM_LinkDecode);
