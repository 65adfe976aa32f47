#pragma once
// The printer picker on Qt: the same controls, colours and behaviour as the Win32 dialog, as a
// modal QDialog owned by the given window.
#include <string>
#include <vector>

#include "print/printer_filter.h"

class QWidget;

namespace Printing {

// Item data of the picker's list: whether the entry is the default printer.
constexpr int kPrinterIsDefaultRole = 0x0100 + 1;  // Qt::UserRole + 1

// The chosen printer's name, or empty when the user cancels or no physical printer exists.
std::u16string ShowPrinterPickerFor(QWidget* owner, std::vector<PrinterEntry> printers);

}  // namespace Printing
