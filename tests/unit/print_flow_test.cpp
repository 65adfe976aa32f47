#include "print/print_flow.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Printing::PrintFlow;
using Printing::PrintResult;

// A page and its platform as the flow sees them: printers to offer, a scripted picker and a
// print whose completion the test delivers when it wants.
struct FakePlatform {
    bool pageExists = true;
    std::vector<Printing::PrinterEntry> printers = {{u"Office", u"usb://1", u"drv", true},
                                                    {u"Lab", u"socket://2", u"drv", false}};
    // What the picker answers; it may also act while "open" (destroy the flow, drop the page).
    std::function<std::u16string()> pick = [] { return u"Office"; };
    std::vector<std::u16string> offered;
    std::vector<std::u16string> chosen;
    std::vector<std::u16string> printedTo;
    std::vector<std::function<void(PrintResult)>> pendingPrints;
    std::vector<std::u16string> posted;

    Printing::PrintOperations Operations() {
        Printing::PrintOperations operations;
        operations.pageExists = [this] { return pageExists; };
        operations.enumeratePrinters = [this] { return printers; };
        operations.showPicker = [this](std::vector<Printing::PrinterEntry> list) {
            for (const auto& entry : list)
                offered.push_back(entry.name);
            return pick();
        };
        operations.printerChosen = [this](const std::u16string& name) { chosen.push_back(name); };
        operations.printPage = [this](const std::u16string& name,
                                      std::function<void(PrintResult)> done) {
            printedTo.push_back(name);
            pendingPrints.push_back(std::move(done));
        };
        operations.postMessage = [this](std::u16string_view json) { posted.emplace_back(json); };
        return operations;
    }
};

std::u16string Message(PrintResult result) {
    return std::u16string(Printing::PrintResultMessage(result));
}

TEST(PrintFlow, CancelledPickerAnswersCancelledAndPrintsNothing) {
    FakePlatform platform;
    platform.pick = [] { return u""; };
    PrintFlow flow(platform.Operations());
    flow.Run();
    EXPECT_EQ(platform.posted, std::vector<std::u16string>{Message(PrintResult::Cancelled)});
    EXPECT_TRUE(platform.printedTo.empty());
    EXPECT_EQ(platform.chosen, std::vector<std::u16string>{u""});
}

TEST(PrintFlow, NoPhysicalPrinterStillAsksAndAnswersCancelled) {
    FakePlatform platform;
    platform.printers.clear();
    platform.pick = [] { return u""; };
    PrintFlow flow(platform.Operations());
    flow.Run();
    EXPECT_TRUE(platform.offered.empty());
    EXPECT_EQ(platform.posted, std::vector<std::u16string>{Message(PrintResult::Cancelled)});
}

TEST(PrintFlow, ChosenPrinterGetsThePageAndTheCompletionIsTheOneAnswer) {
    FakePlatform platform;
    PrintFlow flow(platform.Operations());
    flow.Run();
    EXPECT_EQ(platform.offered, (std::vector<std::u16string>{u"Office", u"Lab"}));
    EXPECT_EQ(platform.printedTo, std::vector<std::u16string>{u"Office"});
    EXPECT_TRUE(platform.posted.empty()) << "nothing is said before the print completes";
    ASSERT_EQ(platform.pendingPrints.size(), 1u);
    platform.pendingPrints[0](PrintResult::Succeeded);
    EXPECT_EQ(platform.posted, std::vector<std::u16string>{Message(PrintResult::Succeeded)});
}

TEST(PrintFlow, APrintThatReportsTwiceIsAnsweredOnce) {
    FakePlatform platform;
    PrintFlow flow(platform.Operations());
    flow.Run();
    platform.pendingPrints[0](PrintResult::PrinterUnavailable);
    platform.pendingPrints[0](PrintResult::Succeeded);
    EXPECT_EQ(platform.posted,
              std::vector<std::u16string>{Message(PrintResult::PrinterUnavailable)});
}

TEST(PrintFlow, FailingPrinterAnswersWithTheCompletionsMessage) {
    // The browser's completion report turns into the answer through one mapping.
    for (const auto& [errorCodeFailed, status, expected] :
         {std::tuple{true, 0, PrintResult::CompletedWithError},
          std::tuple{false, 1, PrintResult::PrinterUnavailable},
          std::tuple{false, 7, PrintResult::UnknownFailure}}) {
        FakePlatform platform;
        PrintFlow flow(platform.Operations());
        flow.Run();
        platform.pendingPrints[0](Printing::PrintResultOfCompletion(errorCodeFailed, status));
        EXPECT_EQ(platform.posted, std::vector<std::u16string>{Message(expected)}) << status;
    }
}

TEST(PrintFlow, HostDestroyedWhileThePickerIsOpenAnswersNothing) {
    FakePlatform platform;
    auto flow = std::make_unique<PrintFlow>(platform.Operations());
    platform.pick = [&flow] {
        flow.reset();  // the window closed during the modal loop
        return std::u16string(u"Office");
    };
    flow->Run();
    EXPECT_EQ(flow, nullptr);
    EXPECT_TRUE(platform.posted.empty());
    EXPECT_TRUE(platform.printedTo.empty());
    EXPECT_TRUE(platform.chosen.empty());
}

TEST(PrintFlow, HostDestroyedBeforeThePrintCompletesAnswersNothing) {
    FakePlatform platform;
    auto flow = std::make_unique<PrintFlow>(platform.Operations());
    flow->Run();
    flow.reset();
    platform.pendingPrints[0](PrintResult::Succeeded);
    EXPECT_TRUE(platform.posted.empty());
}

TEST(PrintFlow, WithoutAPageNothingHappens) {
    FakePlatform platform;
    platform.pageExists = false;
    PrintFlow flow(platform.Operations());
    flow.Run();
    EXPECT_TRUE(platform.offered.empty());
    EXPECT_TRUE(platform.posted.empty());

    // The page going while the picker is open ends the request the same quiet way.
    FakePlatform closing;
    closing.pick = [&closing] {
        closing.pageExists = false;
        return std::u16string(u"Office");
    };
    PrintFlow closingFlow(closing.Operations());
    closingFlow.Run();
    EXPECT_FALSE(closing.offered.empty());
    EXPECT_TRUE(closing.posted.empty());
    EXPECT_TRUE(closing.printedTo.empty());
}

TEST(PrintFlow, EachRequestGetsItsOwnAnswerInCompletionOrder) {
    FakePlatform platform;
    PrintFlow flow(platform.Operations());
    flow.Run();
    platform.pick = [] { return u"Lab"; };
    flow.Run();
    ASSERT_EQ(platform.pendingPrints.size(), 2u);
    platform.pendingPrints[1](PrintResult::PrinterUnavailable);
    platform.pendingPrints[0](PrintResult::Succeeded);
    EXPECT_EQ(platform.printedTo, (std::vector<std::u16string>{u"Office", u"Lab"}));
    EXPECT_EQ(platform.posted,
              (std::vector<std::u16string>{Message(PrintResult::PrinterUnavailable),
                                           Message(PrintResult::Succeeded)}));
}

TEST(PrintFlow, APlatformWithoutAPrintCallSaysSo) {
    FakePlatform platform;
    Printing::PrintOperations operations = platform.Operations();
    operations.printPage = nullptr;
    PrintFlow flow(std::move(operations));
    flow.Run();
    EXPECT_EQ(platform.posted, std::vector<std::u16string>{Message(PrintResult::ApiUnavailable)});
}

}  // namespace
