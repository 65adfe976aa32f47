#include "print/cups_device_port.h"

#include <array>

#include "common/text.h"

namespace Printing {

namespace {

// How a CUPS device URI is presented to the physical-port rule. The names follow what the
// Windows spooler reports for the same kind of connection, so the rule's port prefixes and
// monitor names decide exactly as they do there:
//
//   device URI                              port name         monitor name           listed
//   usb://Maker/Model?serial=…              USB:<rest>        USB Monitor            yes (port)
//   parallel:/dev/lp0                       LPT:<rest>        Local Port             yes (port)
//   serial:/dev/ttyS0?baud=…                COM:<rest>        Local Port             yes (port)
//   socket://host:9100 (JetDirect, raw)     IP_<host>         Standard TCP/IP Port   yes (port)
//   lpd://host/queue                        IP_<host>         LPR Port               yes (port)
//   ipp|ipps|http|https://<network host>/…  IP_<host>         Standard TCP/IP Port   yes (port)
//   ipp|ipps|http|https://<this machine>/…  LOCAL:<scheme>    Local Port             no
//   dnssd://Name._ipp._tcp.local/…, mdns:…  WSD:<rest>        WSD Port               yes (port)
//   beh:/1/3/5/<uri>                        as <uri>          as <uri>
//   file:…                                  FILE:             Local Port             no
//   cups-pdf:/, cups-brf:/, anything else   LOCAL:<scheme>    Local Port             no
//   no URI                                  (empty)           (empty)                no
//
// IPP to this machine is another print service here, often a writer of files, so it is not a
// device. A raw socket is always a device, whatever host it names.
struct SchemeRule {
    std::string_view scheme;
    std::u16string_view portPrefix;
    std::u16string_view monitor;
    bool byHost;  // the port names the URI's host instead of carrying the whole remainder
};

constexpr std::array<SchemeRule, 10> kPhysicalSchemes{{
    {"usb", u"USB:", u"USB Monitor", false},
    {"parallel", u"LPT:", u"Local Port", false},
    {"serial", u"COM:", u"Local Port", false},
    {"socket", u"IP_", u"Standard TCP/IP Port", true},
    {"lpd", u"IP_", u"LPR Port", true},
    {"ipp", u"IP_", u"Standard TCP/IP Port", true},
    {"ipps", u"IP_", u"Standard TCP/IP Port", true},
    {"http", u"IP_", u"Standard TCP/IP Port", true},
    {"https", u"IP_", u"Standard TCP/IP Port", true},
    {"dnssd", u"WSD:", u"WSD Port", false},
}};

constexpr std::u16string_view kLocalMonitor = u"Local Port";

std::string_view StripSlashes(std::string_view text) {
    while (!text.empty() && text.front() == '/')
        text.remove_prefix(1);
    return text;
}

// The host of "//user@host:port/path", without brackets around an IPv6 address.
std::string_view HostOf(std::string_view afterScheme) {
    std::string_view authority = StripSlashes(afterScheme);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        return close == std::string_view::npos ? authority.substr(1)
                                               : authority.substr(1, close - 1);
    }
    return authority.substr(0, authority.find(':'));
}

bool IsThisMachine(std::string_view host) {
    const std::string lower = Text::ToLowerAscii(host);
    const std::string_view name(lower);
    if (name.empty() || name == "localhost" || name == "::1") return true;
    if (name.size() > 10 && name.substr(name.size() - 10) == ".localhost") return true;
    // Loopback addresses, and "%2F…": a domain socket path written into the host part.
    return name.rfind("127.", 0) == 0 || name.rfind("%2f", 0) == 0;
}

bool IsNetworkScheme(std::string_view scheme) {
    return scheme == "ipp" || scheme == "ipps" || scheme == "http" || scheme == "https";
}

}  // namespace

DevicePort DevicePortFromDeviceUri(std::string_view deviceUri) {
    const auto colon = deviceUri.find(':');
    if (colon == std::string_view::npos || colon == 0) return {};
    const std::string scheme = Text::ToLowerAscii(deviceUri.substr(0, colon));
    const std::string_view rest = deviceUri.substr(colon + 1);

    // The error-policy wrapper "beh:/<retry>/<delay>/<tries>/<uri>" names the real device last.
    if (scheme == "beh") {
        std::string_view inner = StripSlashes(rest);
        for (int field = 0; field < 3; ++field) {
            const auto slash = inner.find('/');
            if (slash == std::string_view::npos) return {};
            inner.remove_prefix(slash + 1);
        }
        return DevicePortFromDeviceUri(inner);
    }
    if (scheme == "mdns") return DevicePortFromDeviceUri(std::string("dnssd:").append(rest));
    if (scheme == "file") return {u"FILE:", std::u16string(kLocalMonitor)};

    for (const SchemeRule& rule : kPhysicalSchemes) {
        if (rule.scheme != scheme) continue;
        if (!rule.byHost) {
            return {std::u16string(rule.portPrefix) + Text::Widen(StripSlashes(rest)),
                    std::u16string(rule.monitor)};
        }
        const std::string_view host = HostOf(rest);
        if (host.empty() || (IsNetworkScheme(scheme) && IsThisMachine(host))) break;
        return {std::u16string(rule.portPrefix) + Text::Widen(host), std::u16string(rule.monitor)};
    }
    return {u"LOCAL:" + Text::Widen(scheme), std::u16string(kLocalMonitor)};
}

}  // namespace Printing
