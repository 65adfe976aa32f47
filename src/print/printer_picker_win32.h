#pragma once
// The printer picker on Windows: a modal, dark, owner-drawn dialog built from an in-memory
// template, listing only physical printers.
#include <windows.h>

#include <string>
#include <vector>

#include "print/printer_filter.h"

namespace Printing {

// Enumerates the physical printers and lets the user pick one. Empty when the user cancels, no
// physical printer exists or the dialog cannot be shown.
std::u16string ShowPrinterPicker(HWND owner);

// The same dialog over a given list, already filtered and sorted (default printer first).
std::u16string ShowPrinterPickerFor(HWND owner, std::vector<PrinterEntry> printers);

// The dialog procedure; the initialisation parameter is the picker's state record.
INT_PTR CALLBACK PrinterPickerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace Printing
