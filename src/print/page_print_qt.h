#pragma once
// The print step of the print flow on Linux: the current page as vector PDF, handed to a CUPS
// queue.
#include <functional>
#include <string>

#include "print/print_result.h"

class QWebEnginePage;

namespace Printing {

// `report` runs once on the UI thread with the outcome, unless the page is destroyed first.
void PrintPageToPrinter(QWebEnginePage* page, const std::u16string& printer,
                        std::function<void(PrintResult)> report);

}  // namespace Printing
