#include "print/print_flow.h"

#include <utility>

namespace Printing {

PrintFlow::PrintFlow(PrintOperations operations) : operations_(std::move(operations)) {}

void PrintFlow::Run() {
    if (!operations_.pageExists || !operations_.pageExists()) return;
    // The picker runs a modal loop in which this flow's owner may be destroyed: nothing of the
    // flow is touched after it unless the flow is known to live, and the picker call itself
    // runs from a copy on this frame.
    const std::weak_ptr<const bool> alive = alive_;
    const auto showPicker = operations_.showPicker;
    std::vector<PrinterEntry> printers;
    if (operations_.enumeratePrinters) printers = operations_.enumeratePrinters();
    const std::u16string printer = showPicker ? showPicker(std::move(printers)) : u"";
    if (alive.expired() || !operations_.pageExists()) return;
    if (operations_.printerChosen) operations_.printerChosen(printer);
    if (printer.empty()) {
        Answer(PrintResult::Cancelled);
        return;
    }
    if (!operations_.printPage) {
        Answer(PrintResult::ApiUnavailable);
        return;
    }
    auto answered = std::make_shared<bool>(false);
    operations_.printPage(printer, [this, alive, answered](PrintResult result) {
        if (alive.expired() || *answered) return;
        *answered = true;
        Answer(result);
    });
}

void PrintFlow::Answer(PrintResult result) const {
    if (operations_.postMessage) operations_.postMessage(PrintResultMessage(result));
}

}  // namespace Printing
