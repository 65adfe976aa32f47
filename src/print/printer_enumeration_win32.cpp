#include <windows.h>
// winspool.h needs the types of windows.h first.
#include <winspool.h>

#include <string_view>
#include <vector>

#include "print/printer_filter.h"

namespace Printing {

namespace {

constexpr DWORD kPortLevel = 2;
constexpr DWORD kPrinterLevel = 2;
constexpr DWORD kLocalAndConnections = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
static_assert(kLocalAndConnections == 6);
constexpr DWORD kDefaultNameCapacity = 256;

std::u16string_view View(const wchar_t* text) {
    return text == nullptr ? std::u16string_view() : reinterpret_cast<const char16_t*>(text);
}

// The spooler's two-call enumeration: the size first, then the records. The records point into
// the returned buffer. Empty when there is nothing or either call fails.
template <typename Enumerate>
std::vector<BYTE> EnumerateRecords(Enumerate enumerate, DWORD& count) {
    count = 0;
    DWORD needed = 0;
    DWORD returned = 0;
    enumerate(nullptr, 0, &needed, &returned);
    if (needed == 0) return {};
    std::vector<BYTE> buffer(needed);
    if (!enumerate(buffer.data(), needed, &needed, &returned)) return {};
    count = returned;
    return buffer;
}

std::u16string DefaultPrinterName() {
    wchar_t name[kDefaultNameCapacity] = {};
    DWORD capacity = kDefaultNameCapacity;
    // Without a default printer the buffer stays empty.
    if (!GetDefaultPrinterW(name, &capacity)) return {};
    name[kDefaultNameCapacity - 1] = L'\0';
    return std::u16string(View(name));
}

}  // namespace

PortMonitorMap BuildPortMonitorMap() {
    PortMonitorMap ports;
    DWORD count = 0;
    const std::vector<BYTE> buffer = EnumerateRecords(
        [](BYTE* data, DWORD size, DWORD* needed, DWORD* returned) {
            return EnumPortsW(nullptr, kPortLevel, data, size, needed, returned) != FALSE;
        },
        count);
    const auto* records = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        AddPortRecord(ports, View(records[i].pPortName), View(records[i].pMonitorName));
    }
    return ports;
}

std::vector<PrinterEntry> EnumeratePhysicalPrinters() {
    const PortMonitorMap ports = BuildPortMonitorMap();
    const std::u16string defaultName = DefaultPrinterName();
    DWORD count = 0;
    const std::vector<BYTE> buffer = EnumerateRecords(
        [](BYTE* data, DWORD size, DWORD* needed, DWORD* returned) {
            return EnumPrintersW(kLocalAndConnections, nullptr, kPrinterLevel, data, size, needed,
                                 returned) != FALSE;
        },
        count);
    const auto* records = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    std::vector<SpoolerPrinter> printers;
    printers.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        printers.push_back(SpoolerPrinter{std::u16string(View(records[i].pPrinterName)),
                                          std::u16string(View(records[i].pPortName)),
                                          std::u16string(View(records[i].pDriverName))});
    }
    return SelectPhysicalPrinters(printers, ports, defaultName);
}

}  // namespace Printing
