// libcurl and libcups are opened when first used. A library that is missing, or that lacks one of
// the functions, must fail the operation the way its callers already handle, never abort.
#include <gtest/gtest.h>

#include "print/print_job_cups.h"
#include "print/printer_enumeration_cups.h"
#include "service/curl_library_curl.h"
#include "service/http_client_curl.h"
#include "service/http_request_rules.h"

namespace {

constexpr const char* kAbsentCurl = "libcurl-absent-for-test.so.4";
constexpr const char* kAbsentCups = "libcups-absent-for-test.so.2";
// Opens (it is already loaded) but has none of the functions asked for.
constexpr const char* kNotCurlOrCups = "libc.so.6";

TEST(LazyLibraryLoadTest, TheProgramsOwnLibrariesLoadWithEveryFunction) {
    const CurlLibrary& curl = ProgramCurlLibrary();
    EXPECT_TRUE(curl.functions.has_value()) << curl.error;
    EXPECT_EQ(curl.error, "");
    const Printing::CupsLibrary& cups = Printing::ProgramCupsLibrary();
    EXPECT_TRUE(cups.functions.has_value()) << cups.error;
    EXPECT_EQ(cups.error, "");
    // Loaded once: every caller shares the one table.
    EXPECT_EQ(&ProgramCurlLibrary(), &curl);
    EXPECT_EQ(&Printing::ProgramCupsLibrary(), &cups);
}

// A library that is not there, and one that opens but lacks the functions (the first missing one
// is named).
TEST(LazyLibraryLoadTest, AFailedLoadNamesTheLibraryOrItsFirstMissingFunction) {
    const struct {
        const char* curl;
        const char* cups;
        const char* curlError;
        const char* cupsError;
    } cases[] = {
        {kAbsentCurl, kAbsentCups, "Loading libcurl-absent-for-test.so.4 failed",
         "Loading libcups-absent-for-test.so.2 failed"},
        {kNotCurlOrCups, kNotCurlOrCups, "Loading libc.so.6 failed: curl_global_init",
         "Loading libc.so.6 failed: cupsGetDests2"},
    };
    for (const auto& c : cases) {
        const CurlLibrary curl = LoadCurlLibrary(c.curl);
        EXPECT_FALSE(curl.functions.has_value()) << c.curl;
        EXPECT_EQ(curl.error, c.curlError);
        const Printing::CupsLibrary cups = Printing::LoadCupsLibrary(c.cups);
        EXPECT_FALSE(cups.functions.has_value()) << c.cups;
        EXPECT_EQ(cups.error, c.cupsError);
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
