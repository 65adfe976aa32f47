// The picker's dialog template bytes, its command handling and its owner-drawn geometry, as both
// the Win32 and the Qt dialog use them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "print/print_result.h"
#include "print/printer_picker_model.h"
#include "print/printer_picker_template.h"

namespace {

using namespace Printing;

class TemplateReader {
  public:
    explicit TemplateReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    std::uint16_t Word() {
        EXPECT_LE(at_ + 2, bytes_.size());
        if (at_ + 2 > bytes_.size()) return 0;
        const auto value = static_cast<std::uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
        at_ += 2;
        return value;
    }
    std::uint32_t Dword() {
        const std::uint32_t low = Word();
        return low | (static_cast<std::uint32_t>(Word()) << 16);
    }
    std::int16_t Short() { return static_cast<std::int16_t>(Word()); }
    std::u16string String() {
        std::u16string text;
        for (std::uint16_t unit = Word(); unit != 0 && at_ < bytes_.size(); unit = Word()) {
            text.push_back(static_cast<char16_t>(unit));
        }
        return text;
    }
    void Align() {
        while (at_ % 4 != 0) {
            EXPECT_EQ(bytes_[at_], 0) << "alignment padding at " << at_;
            ++at_;
        }
    }
    std::size_t at() const { return at_; }

  private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t at_ = 0;
};

struct ExpectedItem {
    std::uint16_t id;
    std::uint16_t atom;
    std::uint32_t style;
    std::int16_t x, y, cx, cy;
    std::u16string text;
};

TEST(PrinterPickerTemplateTests, HeaderAndItemsAreExactlyTheClassicLayout) {
    const std::vector<std::uint8_t> bytes = BuildPrinterPickerTemplate();
    TemplateReader in(bytes);
    EXPECT_EQ(in.Dword(), 0x80C808C0u);
    EXPECT_EQ(in.Dword(), 0u);
    EXPECT_EQ(in.Word(), 5);
    EXPECT_EQ(in.Short(), 0);
    EXPECT_EQ(in.Short(), 0);
    EXPECT_EQ(in.Short(), 280);
    EXPECT_EQ(in.Short(), 210);
    EXPECT_EQ(in.Word(), 0) << "menu";
    EXPECT_EQ(in.Word(), 0) << "class";
    EXPECT_EQ(in.String(), u"Select Printer");
    EXPECT_EQ(in.Word(), 10);
    EXPECT_EQ(in.String(), u"Segoe UI");

    const std::vector<ExpectedItem> expected{
        {1004, 0x0082, 0x50000000, 12, 10, 256, 16, u"Select a physical printer:"},
        {1001, 0x0083, 0x50210051, 12, 30, 256, 135, u""},
        {1005, 0x0082, 0x40000001, 12, 60, 256, 40,
         u"No physical printers found.\nPlease connect a printer."},
        {1002, 0x0080, 0x5001000B, 124, 174, 70, 24, u"Print"},
        {1003, 0x0080, 0x5001000B, 198, 174, 70, 24, u"Cancel"},
    };
    for (const ExpectedItem& item : expected) {
        SCOPED_TRACE(item.id);
        in.Align();
        EXPECT_EQ(in.at() % 4, 0u);
        EXPECT_EQ(in.Dword(), item.style);
        EXPECT_EQ(in.Dword(), 0u);
        EXPECT_EQ(in.Short(), item.x);
        EXPECT_EQ(in.Short(), item.y);
        EXPECT_EQ(in.Short(), item.cx);
        EXPECT_EQ(in.Short(), item.cy);
        EXPECT_EQ(in.Word(), item.id);
        EXPECT_EQ(in.Word(), 0xFFFF);
        EXPECT_EQ(in.Word(), item.atom);
        EXPECT_EQ(in.String(), item.text);
        EXPECT_EQ(in.Word(), 0) << "creation data";
    }
    EXPECT_EQ(in.at(), bytes.size()) << "nothing after the last item";
}

std::vector<PrinterEntry> TwoPrinters() {
    return {{u"Office", u"USB001", u"", true}, {u"Lab", u"IP_10.0.0.9", u"", false}};
}

TEST(PrinterPickerModelTests, PrintTakesTheSelectedEntry) {
    PrinterPickerModel model(TwoPrinters());
    EXPECT_TRUE(model.ShowsList());
    EXPECT_EQ(model.InitialSelection(), 0);
    const PickerReaction first = model.OnCommand(PickerControl::kPrint, 0, 0);
    EXPECT_TRUE(first.handled);
    EXPECT_EQ(first.endWith, kPickerConfirmed);
    EXPECT_EQ(model.chosenName(), u"Office");
    EXPECT_EQ(model.OnCommand(PickerControl::kPrint, 0, 1).endWith, kPickerConfirmed);
    EXPECT_EQ(model.chosenName(), u"Lab");
}

TEST(PrinterPickerModelTests, PrintWithoutAValidSelectionKeepsTheDialogOpen) {
    PrinterPickerModel model(TwoPrinters());
    for (int selection : {-1, 2, 99}) {
        const PickerReaction reaction = model.OnCommand(PickerControl::kPrint, 0, selection);
        EXPECT_TRUE(reaction.handled);
        EXPECT_EQ(reaction.endWith, 0);
    }
    EXPECT_TRUE(model.chosenName().empty());
}

TEST(PrinterPickerModelTests, DoubleClickPrintsOtherListNoticesAreIgnored) {
    PrinterPickerModel model(TwoPrinters());
    const PickerReaction doubleClick = model.OnCommand(PickerControl::kList, kListDoubleClick, 1);
    EXPECT_TRUE(doubleClick.sendPrint);
    EXPECT_EQ(doubleClick.endWith, 0);
    const PickerReaction selectionChange = model.OnCommand(PickerControl::kList, 1, 1);
    EXPECT_FALSE(selectionChange.handled);
    EXPECT_FALSE(selectionChange.sendPrint);
}

TEST(PrinterPickerModelTests, CancelEscapeAndCloseClearTheChoice) {
    PrinterPickerModel model(TwoPrinters());
    model.OnCommand(PickerControl::kPrint, 0, 0);
    for (int command : {PickerControl::kCancel, PickerControl::kCancelCommand}) {
        const PickerReaction reaction = model.OnCommand(command, 0, 0);
        EXPECT_EQ(reaction.endWith, kPickerCancelled);
        EXPECT_TRUE(model.chosenName().empty());
    }
    // Enter arrives as IDOK, which nothing handles.
    EXPECT_FALSE(model.OnCommand(1, 0, 0).handled);
}

TEST(PrinterPickerModelTests, AnEmptyListOffersOnlyCancel) {
    PrinterPickerModel model({});
    EXPECT_FALSE(model.ShowsList());
    EXPECT_EQ(model.InitialSelection(), -1);
    EXPECT_EQ(model.OnCommand(PickerControl::kPrint, 0, 0).endWith, 0);
    EXPECT_EQ(model.OnCommand(PickerControl::kCancel, 0, -1).endWith, kPickerCancelled);
}

TEST(PrinterPickerLookTests, CardNameAndBadgeRectangles) {
    const PixelRect item{0, 44, 400, 88};
    const PixelRect card = PickerLook::CardRect(item);
    EXPECT_EQ(card, (PixelRect{4, 47, 396, 85}));
    EXPECT_EQ(PickerLook::NameRect(card, false), (PixelRect{16, 47, 386, 85}));
    EXPECT_EQ(PickerLook::NameRect(card, true), (PixelRect{16, 47, 321, 85}));
    // 38 pixels high: the badge sits 9 pixels below the card's top.
    EXPECT_EQ(PickerLook::BadgeRect(card), (PixelRect{326, 56, 386, 76}));
}

TEST(PrintResultTests, EveryOutcomeHasItsExactMessage) {
    EXPECT_EQ(PrintResultMessage(PrintResult::Cancelled),
              u"{\"type\":\"printResult\",\"status\":\"cancelled\"}");
    EXPECT_EQ(PrintResultMessage(PrintResult::ApiUnavailable),
              u"{\"type\":\"printResult\",\"status\":\"error\",\"message\":\"Print API not "
              u"available\"}");
    EXPECT_EQ(PrintResultMessage(PrintResult::Succeeded),
              u"{\"type\":\"printResult\",\"status\":\"success\",\"message\":\"Print job sent "
              u"successfully.\"}");
    EXPECT_EQ(PrintResultMessage(PrintResultOfCompletion(true, 0)),
              u"{\"type\":\"printResult\",\"status\":\"error\",\"message\":\"Print failed. Please "
              u"check your printer.\"}");
    EXPECT_EQ(PrintResultMessage(PrintResultOfCompletion(false, 1)),
              u"{\"type\":\"printResult\",\"status\":\"error\",\"message\":\"The selected printer "
              u"is unavailable.\"}");
    EXPECT_EQ(PrintResultOfCompletion(false, 0), PrintResult::Succeeded);
    EXPECT_EQ(PrintResultMessage(PrintResultOfCompletion(false, 2)),
              u"{\"type\":\"printResult\",\"status\":\"error\",\"message\":\"Print failed with "
              u"unknown error.\"}");
}

}  // namespace
