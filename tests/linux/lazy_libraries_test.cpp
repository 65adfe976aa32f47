// libcurl, libcups and libcrypto are opened when first used. A library that is missing, or that
// lacks one of the functions, must fail the operation the way its callers already handle, never
// abort.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "print/print_job_cups.h"
#include "print/printer_enumeration_cups.h"
#include "service/crypto_library_openssl.h"
#include "service/curl_library_curl.h"
#include "service/envelope_crypto_openssl.h"
#include "service/http_client_curl.h"
#include "service/http_request_rules.h"

namespace {

constexpr const char* kAbsentCurl = "libcurl-absent-for-test.so.4";
constexpr const char* kAbsentCups = "libcups-absent-for-test.so.2";
constexpr const char* kAbsentCrypto = "libcrypto-absent-for-test.so.3";
// Opens (it is already loaded) but has none of the functions asked for.
constexpr const char* kLacksTheFunctions = "libc.so.6";

// The envelope primitives report a failure as the exception their callers already handle.
std::string FailureOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "no failure";
}

TEST(LazyLibraryLoadTest, TheProgramsOwnLibrariesLoadWithEveryFunction) {
    const CurlLibrary& curl = ProgramCurlLibrary();
    EXPECT_TRUE(curl.functions.has_value()) << curl.error;
    EXPECT_EQ(curl.error, "");
    const Printing::CupsLibrary& cups = Printing::ProgramCupsLibrary();
    EXPECT_TRUE(cups.functions.has_value()) << cups.error;
    EXPECT_EQ(cups.error, "");
    const CryptoLibrary& crypto = ProgramCryptoLibrary();
    EXPECT_TRUE(crypto.functions.has_value()) << crypto.error;
    EXPECT_EQ(crypto.error, "");
    // Loaded once: every caller shares the one table.
    EXPECT_EQ(&ProgramCurlLibrary(), &curl);
    EXPECT_EQ(&Printing::ProgramCupsLibrary(), &cups);
    EXPECT_EQ(&ProgramCryptoLibrary(), &crypto);
}

// A library that is not there, and one that opens but lacks the functions (the first missing one
// is named).
TEST(LazyLibraryLoadTest, AFailedLoadNamesTheLibraryOrItsFirstMissingFunction) {
    const struct {
        const char* curl;
        const char* cups;
        const char* crypto;
        const char* curlError;
        const char* cupsError;
        const char* cryptoError;
    } cases[] = {
        {kAbsentCurl, kAbsentCups, kAbsentCrypto, "Loading libcurl-absent-for-test.so.4 failed",
         "Loading libcups-absent-for-test.so.2 failed",
         "Loading libcrypto-absent-for-test.so.3 failed"},
        {kLacksTheFunctions, kLacksTheFunctions, kLacksTheFunctions,
         "Loading libc.so.6 failed: curl_global_init", "Loading libc.so.6 failed: cupsGetDests2",
         "Loading libc.so.6 failed: EVP_aes_128_cbc"},
    };
    for (const auto& c : cases) {
        const CurlLibrary curl = LoadCurlLibrary(c.curl);
        EXPECT_FALSE(curl.functions.has_value()) << c.curl;
        EXPECT_EQ(curl.error, c.curlError);
        const Printing::CupsLibrary cups = Printing::LoadCupsLibrary(c.cups);
        EXPECT_FALSE(cups.functions.has_value()) << c.cups;
        EXPECT_EQ(cups.error, c.cupsError);
        const CryptoLibrary crypto = LoadCryptoLibrary(c.crypto);
        EXPECT_FALSE(crypto.functions.has_value()) << c.crypto;
        EXPECT_EQ(crypto.error, c.cryptoError);
    }
}

// dlopen would read an empty name as the program itself, whose symbols are not the library's.
TEST(LazyLibraryLoadTest, AnEmptyNameLoadsNothing) {
    const CurlLibrary curl = LoadCurlLibrary("");
    EXPECT_FALSE(curl.functions.has_value());
    EXPECT_EQ(curl.error, "Loading  failed");
}

TEST(LazyLibraryHttpsTest, RequestsOverAMissingLibcurlFailWithNoResponse) {
    const CurlLibrary curl = LoadCurlLibrary(kAbsentCurl);
    for (const std::u16string_view method : {u"GET", u"PUT"}) {
        const HttpResponse response =
            SendOverCurl(curl, "agent", method, u"https://127.0.0.1:9/api", "a=1",
                         u"application/x-www-form-urlencoded", u"");
        EXPECT_EQ(response.status, 0);
        EXPECT_EQ(response.body, "");
        EXPECT_FALSE(response.ok);
        EXPECT_EQ(response.error, "Loading libcurl-absent-for-test.so.4 failed");
    }
}

// The checks that need no network come first, so a refused address reads the same whether or
// not libcurl is there.
TEST(LazyLibraryHttpsTest, ARefusedAddressKeepsItsOwnError) {
    const CurlLibrary curl = LoadCurlLibrary(kAbsentCurl);
    const HttpResponse response =
        SendOverCurl(curl, "agent", u"GET", u"http://example.org/", "", u"", u"");
    EXPECT_EQ(response.status, 0);
    EXPECT_EQ(response.error, HttpRules::kHttpsRequired);
}

// Without libcrypto an envelope fails where CNG fails to open the algorithm, whatever the input:
// the texts the user may see stay the ones a broken provider gives on Windows.
TEST(LazyLibraryEnvelopeTest, AMissingLibcryptoFailsAtOpeningTheAlgorithm) {
    const Envelope::Bytes block(16, 0x41);
    const Envelope::Bytes key(32, 0x01);
    for (const char* name : {kAbsentCrypto, kLacksTheFunctions}) {
        const CryptoLibrary crypto = LoadCryptoLibrary(name);
        EXPECT_EQ(FailureOf([&] { Envelope::AesCbcDecrypt(crypto, block, key, block); }),
                  Envelope::Failure::kOpenAes)
            << name;
        // A key of no AES size would fail later, at the key, with the library there.
        EXPECT_EQ(FailureOf([&] { Envelope::AesCbcDecrypt(crypto, block, {0x01}, {}); }),
                  Envelope::Failure::kOpenAes)
            << name;
        EXPECT_EQ(FailureOf([&] { Envelope::HmacSha256(crypto, "data", "key"); }),
                  Envelope::Failure::kOpenHmac)
            << name;
    }
}

// A library loaded by name serves the primitives as the program's own does.
TEST(LazyLibraryEnvelopeTest, ALoadedLibcryptoComputesTheTag) {
    const CryptoLibrary crypto = LoadCryptoLibrary("libcrypto.so.3");
    ASSERT_TRUE(crypto.functions.has_value()) << crypto.error;
    // RFC 4231, test case 2.
    EXPECT_EQ(
        Envelope::HexEncode(Envelope::HmacSha256(crypto, "what do ya want for nothing?", "Jefe")),
        "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
}

TEST(LazyLibraryPrintingTest, AMissingLibcupsListsNoPrinterAndCannotPrint) {
    const Printing::CupsLibrary cups = Printing::LoadCupsLibrary(kAbsentCups);
    EXPECT_TRUE(Printing::EnumeratePhysicalPrinters(cups).empty());
    EXPECT_TRUE(Printing::BuildPortMonitorMap(cups).empty());
    EXPECT_EQ(Printing::SubmitPdfPrintJob(cups, u"Office", "%PDF-1.4\n%%EOF\n", u"Handout"),
              Printing::PrintResult::ApiUnavailable);
    // Nothing to print stays the caller's mistake, library or not.
    EXPECT_EQ(Printing::SubmitPdfPrintJob(cups, u"Office", "", u"Handout"),
              Printing::PrintResult::CompletedWithError);
}

}  // namespace
