#include "print/printer_filter.h"

#include <algorithm>
#include <array>

#include "common/text.h"

namespace Printing {

namespace {

bool IsDecimalDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           Text::EqualsFolded(text.substr(0, prefix.size()), prefix);
}

bool ContainsNoCase(std::u16string_view text, std::u16string_view part) {
    if (part.empty() || text.size() < part.size()) return false;
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
        if (Text::EqualsFolded(text.substr(at, part.size()), part)) return true;
    }
    return false;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    return Text::EqualsFolded(a, b);
}

bool IsPhysicalPrinterPort(std::u16string_view portName, std::u16string_view monitorName) {
    static constexpr std::array<std::u16string_view, 5> kPhysicalPortPrefixes{
        u"USB", u"LPT", u"COM", u"WSD", u"IP_"};
    for (std::u16string_view prefix : kPhysicalPortPrefixes) {
        if (StartsWithNoCase(portName, prefix)) return true;
    }
    // A port named by its IP address.
    if (!portName.empty() && IsDecimalDigit(portName.front()) &&
        portName.find(u'.') != std::u16string_view::npos) {
        return true;
    }
    static constexpr std::array<std::u16string_view, 6> kPhysicalMonitorParts{
        u"USB", u"TCP/IP", u"TCPIP", u"WSD", u"Hewlett", u"HP "};
    return std::any_of(kPhysicalMonitorParts.begin(), kPhysicalMonitorParts.end(),
                       [&](std::u16string_view part) { return ContainsNoCase(monitorName, part); });
}

void AddPortRecord(PortMonitorMap& ports, std::u16string_view portName,
                   std::u16string_view monitorName) {
    if (portName.empty()) return;
    ports.insert_or_assign(std::u16string(portName), std::u16string(monitorName));
}

std::vector<PrinterEntry> SelectPhysicalPrinters(const std::vector<SpoolerPrinter>& printers,
                                                 const PortMonitorMap& ports,
                                                 std::u16string_view defaultPrinterName) {
    std::vector<PrinterEntry> listed;
    for (const SpoolerPrinter& printer : printers) {
        const auto port = ports.find(printer.portName);
        const std::u16string_view monitor =
            port == ports.end() ? std::u16string_view() : std::u16string_view(port->second);
        if (!IsPhysicalPrinterPort(printer.portName, monitor)) continue;
        listed.push_back(PrinterEntry{printer.name, printer.portName, printer.driverName,
                                      EqualsNoCase(printer.name, defaultPrinterName)});
    }
    // std::u16string compares by code unit value: the ordinal order the list promises.
    std::stable_sort(listed.begin(), listed.end(),
                     [](const PrinterEntry& a, const PrinterEntry& b) {
                         if (a.isDefault != b.isDefault) return a.isDefault;
                         return a.name < b.name;
                     });
    return listed;
}

}  // namespace Printing
