// The CUPS side without a server: printing must fail as a value the page can be told about,
// quickly, never hang or crash. (The e2e suite prints through a real private server.)
#include <cups/cups.h>
#include <gtest/gtest.h>

#include <chrono>

#include "print/print_job_cups.h"
#include "print/printer_filter.h"

namespace {

class NoCupsServerTest : public ::testing::Test {
  protected:
    // The discard port: nothing listens there.
    void SetUp() override { cupsSetServer("127.0.0.1:9"); }
    void TearDown() override { cupsSetServer(nullptr); }
};

TEST_F(NoCupsServerTest, NoServerMeansNoPrinterAndAnUnavailableQueue) {
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(Printing::EnumeratePhysicalPrinters().empty());
    EXPECT_TRUE(Printing::BuildPortMonitorMap().empty());
    EXPECT_EQ(Printing::SubmitPdfPrintJob(u"Office", "%PDF-1.4\n%%EOF\n", u"Handout"),
              Printing::PrintResult::PrinterUnavailable);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST_F(NoCupsServerTest, NothingToPrintIsAFailureNotAJob) {
    EXPECT_EQ(Printing::SubmitPdfPrintJob(u"Office", "", u"Handout"),
              Printing::PrintResult::CompletedWithError);
    EXPECT_EQ(Printing::SubmitPdfPrintJob(u"", "%PDF-1.4", u"Handout"),
              Printing::PrintResult::CompletedWithError);
}

}  // namespace
