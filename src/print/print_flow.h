#pragma once
// A page's print request from start to answer: the physical-printer picker, a silent print of
// the current page to the chosen printer, and exactly one "printResult" message back to the
// page. The platform supplies the steps; the order and the answers are decided here.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "print/print_result.h"
#include "print/printer_filter.h"

namespace Printing {

struct PrintOperations {
    // Whether the view and its page exist; without them a request is dropped unanswered.
    std::function<bool()> pageExists;
    // The physical printers to offer, in the picker's order.
    std::function<std::vector<PrinterEntry>()> enumeratePrinters;
    // Modal. The chosen printer's name; empty when the user cancelled or none could be chosen.
    std::function<std::u16string(std::vector<PrinterEntry> printers)> showPicker;
    // Told the picker's answer (optional).
    std::function<void(const std::u16string& printer)> printerChosen;
    // Prints the current page to the named printer without further questions. `done` runs once
    // with the outcome, or never when the page goes first.
    std::function<void(const std::u16string& printer, std::function<void(PrintResult)> done)>
        printPage;
    // Hands a result message to the page.
    std::function<void(std::u16string_view json)> postMessage;
};

// Owned by the browser host whose page prints: destroying it (the host going while the picker
// is open, or before the print completes) silences every answer still due.
class PrintFlow {
  public:
    explicit PrintFlow(PrintOperations operations);
    PrintFlow(const PrintFlow&) = delete;
    PrintFlow& operator=(const PrintFlow&) = delete;

    // One request. There is no in-progress flag: while the picker is open its owner takes no
    // input, and a request after it closed is a print of its own with its own answer.
    void Run();

  private:
    void Answer(PrintResult result) const;

    PrintOperations operations_;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace Printing
