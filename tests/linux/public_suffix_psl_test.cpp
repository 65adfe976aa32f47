// The built-in registrable domain against libpsl over the same list: hosts at, below and beside
// every rule of the list (plain, wildcard, exception, international), and names under no rule.
#include <gtest/gtest.h>
#include <libpsl.h>

#include <cstddef>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/text.h"
#include "content/url_rules.h"
#include "public_suffix_table.h"

namespace {

struct PslFree {
    void operator()(psl_ctx_t* context) const { psl_free(context); }
};

std::vector<std::string> HostsAround(const std::string& name, std::uint8_t kinds) {
    std::vector<std::string> hosts = {name, "a." + name, "b.a." + name};
    if (kinds & PublicSuffixTable::kWildcard) hosts.push_back("c.b.a." + name);
    return hosts;
}

// Every name of the list file (ASCII rules only: the table turns the others into "xn--" form,
// which the file does not have), so that a rule the table lost shows up too.
std::vector<std::string> AsciiRulesOfTheFile() {
    std::ifstream file(ORBIS_PUBLIC_SUFFIX_LIST);
    std::vector<std::string> names;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line.starts_with("//")) continue;
        std::string name = line.substr(0, line.find_first_of(" \t\r"));
        if (name.starts_with("!")) name.erase(0, 1);
        if (name.starts_with("*.")) name.erase(0, 2);
        bool ascii = !name.empty();
        for (const char c : name)
            ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        if (ascii) names.push_back(name);
    }
    return names;
}

TEST(PublicSuffixAgainstLibpsl, RegistrableDomainsAgree) {
    const std::unique_ptr<psl_ctx_t, PslFree> psl(psl_load_file(ORBIS_PUBLIC_SUFFIX_LIST));
    ASSERT_TRUE(psl) << "libpsl could not load " << ORBIS_PUBLIC_SUFFIX_LIST;

    std::vector<std::string> hosts;
    for (const auto& entry : PublicSuffixTable::kEntries) {
        for (std::string& host : HostsAround(std::string(entry.name), entry.kinds))
            hosts.push_back(std::move(host));
    }
    const std::vector<std::string> fileRules = AsciiRulesOfTheFile();
    ASSERT_GT(fileRules.size(), 5000u);
    for (const std::string& name : fileRules)
        hosts.push_back("x." + name);
    for (const char* extra : {"example.com", "www.example.co.uk", "co.uk", "uk", "school-a.ac.uk",
                              "a.b.c.d.e.f.example", "localhost", "portal.zelvan.unlisted",
                              "zelvan.cloud", "orbis.zelvan.cloud"}) {
        hosts.emplace_back(extra);
    }
    ASSERT_GT(hosts.size(), 3000u);

    std::size_t disagreements = 0;
    for (const std::string& host : hosts) {
        const char* expected = psl_registrable_domain(psl.get(), host.c_str());
        const std::u16string ours = UrlRules::RegistrableDomain(Text::Widen(host));
        const std::string oursUtf8 = Text::Utf16ToUtf8(ours);
        if (oursUtf8 != (expected ? expected : "")) {
            if (++disagreements <= 20) {
                ADD_FAILURE() << host << ": built-in \"" << oursUtf8 << "\", libpsl \""
                              << (expected ? expected : "(none)") << "\"";
            }
        }
    }
    EXPECT_EQ(disagreements, 0u) << "of " << hosts.size() << " hosts";
}

}  // namespace
