// Which printers the picker lists, in which order, and how CUPS devices are judged by the same
// rule as Windows ports.
#include <gtest/gtest.h>

#include "common/text.h"
#include "print/cups_device_port.h"
#include "print/printer_filter.h"

namespace {

using Printing::IsPhysicalPrinterPort;

TEST(PrinterNoCaseTests, ComparisonsFoldAsciiOnlyAndRespectLengths) {
    using namespace Printing;
    EXPECT_TRUE(StartsWithNoCase(u"usb002", u"USB"));
    EXPECT_FALSE(StartsWithNoCase(u"US", u"USB"));
    EXPECT_TRUE(StartsWithNoCase(u"anything", u""));
    EXPECT_TRUE(ContainsNoCase(u"Standard tcp/ip Port", u"TCP/IP"));
    EXPECT_FALSE(ContainsNoCase(u"anything", u""));
    EXPECT_FALSE(ContainsNoCase(u"HP", u"HP "));
    EXPECT_TRUE(ContainsNoCase(u"HP ", u"hp "));
    EXPECT_TRUE(EqualsNoCase(u"Office Laser", u"office LASER"));
    EXPECT_FALSE(EqualsNoCase(u"Office", u"Office "));
    // Only 'A' to 'Z' fold: other letters must match exactly.
    EXPECT_FALSE(EqualsNoCase(u"\u00C9cole", u"\u00E9cole"));
}

TEST(PhysicalPortTests, PortPrefixesAndAddressesAreDevices) {
    EXPECT_TRUE(IsPhysicalPrinterPort(u"USB001", u"Local Port"));
    EXPECT_TRUE(IsPhysicalPrinterPort(u"usb002", u""));
    EXPECT_TRUE(IsPhysicalPrinterPort(u"ip_10.0.0.5", u""));
    EXPECT_TRUE(IsPhysicalPrinterPort(u"LPT1:", u"Local Port"));
    EXPECT_TRUE(IsPhysicalPrinterPort(u"COM3:", u"Local Port"));
    EXPECT_TRUE(IsPhysicalPrinterPort(u"WSD-6f1c", u""));
    EXPECT_TRUE(IsPhysicalPrinterPort(u"10.0.0.20", u""));
    // Digit first but no full stop: only the monitor can make it a device.
    EXPECT_FALSE(IsPhysicalPrinterPort(u"1stFloor", u"Local Port"));
    EXPECT_TRUE(IsPhysicalPrinterPort(u"1stFloor", u"Standard TCP/IP Port"));
}

TEST(PhysicalPortTests, VirtualPortsOnTheLocalMonitorAreNot) {
    for (const char16_t* port : {u"PORTPROMPT:", u"FILE:", u"nul:", u"XPSPort:", u"SHRFAX:"}) {
        EXPECT_FALSE(IsPhysicalPrinterPort(port, u"Local Port")) << Text::Utf16ToUtf8(port);
    }
    EXPECT_FALSE(IsPhysicalPrinterPort(u"", u""));
}

TEST(PhysicalPortTests, MonitorNamesDecideForOtherPorts) {
    EXPECT_TRUE(IsPhysicalPrinterPort(u"Office", u"usbmon"));
    EXPECT_TRUE(IsPhysicalPrinterPort(u"Office", u"TCPIPMON"));
    EXPECT_TRUE(IsPhysicalPrinterPort(u"Office", u"WSD Port"));
    EXPECT_TRUE(IsPhysicalPrinterPort(u"Office", u"Hewlett-Packard Network Port"));
    EXPECT_TRUE(IsPhysicalPrinterPort(u"Office", u"hp Standard Port"));
    EXPECT_FALSE(IsPhysicalPrinterPort(u"Office", u"HPLocal"));
}

Printing::PortMonitorMap SamplePorts() {
    Printing::PortMonitorMap ports;
    Printing::AddPortRecord(ports, u"USB001", u"Dynamic Print Monitor");
    Printing::AddPortRecord(ports, u"FILE:", u"Local Port");
    Printing::AddPortRecord(ports, u"Office", u"Local Port");
    Printing::AddPortRecord(ports, u"Office", u"Standard TCP/IP Port");  // a later record wins
    Printing::AddPortRecord(ports, u"", u"Standard TCP/IP Port");        // nameless: skipped
    return ports;
}

TEST(PortMonitorMapTests, LaterRecordsWinAndNamelessPortsAreSkipped) {
    const Printing::PortMonitorMap ports = SamplePorts();
    EXPECT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports.at(u"Office"), u"Standard TCP/IP Port");
    EXPECT_EQ(ports.count(u""), 0u);
}

std::vector<std::u16string> Names(const std::vector<Printing::PrinterEntry>& entries) {
    std::vector<std::u16string> names;
    for (const auto& entry : entries)
        names.push_back(entry.name);
    return names;
}

TEST(SelectPhysicalPrintersTests, FiltersMarksTheDefaultAndSortsOrdinally) {
    const std::vector<Printing::SpoolerPrinter> spooler{
        {u"brother", u"USB001", u"Brother"},
        {u"Microsoft Print to PDF", u"PORTPROMPT:", u"PDF"},
        {u"Zebra", u"Office", u"ZDesigner"},
        {u"Writer", u"FILE:", u"Generic"},
        {u"Archive", u"office", u"Generic"},  // the map lookup is case-sensitive: no monitor
        {u"Accounts", u"192.168.1.7", u"Generic"},
    };
    const auto listed = Printing::SelectPhysicalPrinters(spooler, SamplePorts(), u"");
    // Capitals sort before small letters: Zebra before brother.
    EXPECT_EQ(Names(listed), (std::vector<std::u16string>{u"Accounts", u"Zebra", u"brother"}));
    for (const auto& entry : listed)
        EXPECT_FALSE(entry.isDefault);
    EXPECT_EQ(listed[1].portName, u"Office");
    EXPECT_EQ(listed[1].driverName, u"ZDesigner");

    const auto withDefault = Printing::SelectPhysicalPrinters(spooler, SamplePorts(), u"BROTHER");
    EXPECT_EQ(Names(withDefault), (std::vector<std::u16string>{u"brother", u"Accounts", u"Zebra"}));
    EXPECT_TRUE(withDefault[0].isDefault);
    EXPECT_FALSE(withDefault[1].isDefault);
}

TEST(SelectPhysicalPrintersTests, ADefaultVirtualPrinterIsStillLeftOut) {
    const std::vector<Printing::SpoolerPrinter> spooler{{u"PDF", u"PORTPROMPT:", u""}};
    EXPECT_TRUE(Printing::SelectPhysicalPrinters(spooler, SamplePorts(), u"PDF").empty());
}

bool Listed(std::string_view deviceUri) {
    const Printing::DevicePort port = Printing::DevicePortFromDeviceUri(deviceUri);
    return IsPhysicalPrinterPort(port.portName, port.monitorName);
}

TEST(CupsDevicePortTests, LocalAndNetworkDevicesAreListed) {
    EXPECT_TRUE(Listed("usb://Brother/HL-L2350DW?serial=E78123"));
    EXPECT_TRUE(Listed("parallel:/dev/lp0"));
    EXPECT_TRUE(Listed("serial:/dev/ttyS0?baud=9600"));
    EXPECT_TRUE(Listed("socket://192.168.1.40:9100"));
    EXPECT_TRUE(Listed("socket://127.0.0.1:9100"));  // a raw socket is a device wherever it is
    EXPECT_TRUE(Listed("lpd://printserver/queue1"));
    EXPECT_TRUE(Listed("ipp://printer.office.example/ipp/print"));
    EXPECT_TRUE(Listed("IPPS://user@[fe80::1]:631/ipp/print"));
    EXPECT_TRUE(Listed("dnssd://Office%20Laser._ipp._tcp.local/?uuid=1234"));
    EXPECT_TRUE(Listed("mdns://Office%20Laser._pdl-datastream._tcp.local"));
    EXPECT_TRUE(Listed("beh:/1/3/5/socket://192.168.1.40:9100"));
}

TEST(CupsDevicePortTests, WritersAndServicesOnThisMachineAreNot) {
    EXPECT_FALSE(Listed("file:///dev/null"));
    EXPECT_FALSE(Listed("cups-pdf:/"));
    EXPECT_FALSE(Listed("cups-brf:/"));
    EXPECT_FALSE(Listed("ipp://localhost:631/printers/pdf"));
    EXPECT_FALSE(Listed("ipp://127.0.0.1/printers/pdf"));
    EXPECT_FALSE(Listed("http://[::1]:631/printers/pdf"));
    EXPECT_FALSE(Listed("ipp://%2Frun%2Fcups%2Fcups.sock/printers/pdf"));
    EXPECT_FALSE(Listed("socket://"));
    EXPECT_FALSE(Listed("beh:/1/3"));
    EXPECT_FALSE(Listed(""));
    EXPECT_FALSE(Listed("no scheme"));
    // A scheme that merely begins like a device prefix is not one.
    EXPECT_FALSE(Listed("usbredirect://x"));
}

TEST(CupsDevicePortTests, PortsNameTheDeviceAsWindowsWould) {
    const auto socket = Printing::DevicePortFromDeviceUri("socket://10.1.2.3:9100");
    EXPECT_EQ(socket.portName, u"IP_10.1.2.3");
    EXPECT_EQ(socket.monitorName, u"Standard TCP/IP Port");
    const auto file = Printing::DevicePortFromDeviceUri("file:///tmp/out.prn");
    EXPECT_EQ(file.portName, u"FILE:");
    EXPECT_EQ(file.monitorName, u"Local Port");
}

}  // namespace
