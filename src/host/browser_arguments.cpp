#include "host/browser_arguments.h"

#include <string_view>

#include "common/text.h"
#include "tenant_profile.h"

namespace BrowserArguments {
namespace {

struct Switch {
    std::u16string_view name;
    std::u16string_view value;
};

constexpr Switch kSwitches[] = {
    {u"disable-web-security", u""},
    {u"disable-site-isolation-trials", u""},
    {u"autoplay-policy", u"no-user-gesture-required"},
    {u"no-proxy-server", u""},
};

}  // namespace

std::vector<std::u16string> Switches() {
    std::vector<std::u16string> switches;
    for (const Switch& entry : kSwitches) {
        std::u16string text = u"--";
        text += entry.name;
        if (!entry.value.empty()) {
            text += u'=';
            text += entry.value;
        }
        switches.push_back(std::move(text));
    }
    return switches;
}

std::u16string CommandLineText() {
    std::u16string text = Text::Utf8ToUtf16(Tenant::BrowserArgumentsLead());
    for (const std::u16string& entry : Switches()) {
        text += u' ';
        text += entry;
    }
    return text;
}

}  // namespace BrowserArguments
