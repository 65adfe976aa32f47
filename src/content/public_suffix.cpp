#include "content/public_suffix.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "content/browser_url.h"
#include "public_suffix_table.h"

namespace PublicSuffix {
namespace {

// Byte order of the ASCII table; a unit outside ASCII sorts after every table name, so it never
// matches.
int Compare(std::u16string_view text, std::string_view name) {
    const std::size_t common = std::min(text.size(), name.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned a = text[i];
        const auto b = static_cast<unsigned char>(name[i]);
        if (a != b) return a < b ? -1 : 1;
    }
    if (text.size() == name.size()) return 0;
    return text.size() < name.size() ? -1 : 1;
}

std::uint8_t KindsOf(std::u16string_view suffix) {
    const auto* begin = std::begin(PublicSuffixTable::kEntries);
    const auto* end = std::end(PublicSuffixTable::kEntries);
    const auto* found = std::lower_bound(
        begin, end, suffix, [](const PublicSuffixTable::Entry& entry, std::u16string_view text) {
            return Compare(text, entry.name) > 0;
        });
    return found != end && Compare(suffix, found->name) == 0 ? found->kinds : 0;
}

}  // namespace

std::u16string_view RegistrableDomain(std::u16string_view host) {
    if (!host.empty() && host.back() == u'.') host.remove_suffix(1);
    if (host.empty() || host.front() == u'[' || BrowserUrl::EndsInNumber(host)) return {};

    // Where each label starts, left to right.
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < host.size(); ++i) {
        if (host[i] != u'.') continue;
        if (i + 1 == host.size() || i == starts.back()) return {};  // an empty label
        starts.push_back(i + 1);
    }
    const std::size_t labels = starts.size();
    const auto lastLabels = [&](std::size_t count) { return host.substr(starts[labels - count]); };

    // An exception names a registrable domain outright; otherwise the longest rule wins, and
    // with none the last label alone is the public suffix. The name above a wildcard counts as a
    // suffix of its own too ("compute.amazonaws.com" of "*.compute.amazonaws.com"), as libpsl
    // has it: no site is ever made of a hosting service's own name.
    std::size_t suffixLabels = 0;
    for (std::size_t count = labels; count >= 1 && suffixLabels == 0; --count) {
        if (KindsOf(lastLabels(count)) & PublicSuffixTable::kException) suffixLabels = count - 1;
    }
    for (std::size_t count = labels; count >= 1 && suffixLabels == 0; --count) {
        const bool rule =
            KindsOf(lastLabels(count)) & (PublicSuffixTable::kRule | PublicSuffixTable::kWildcard);
        const bool wildcard =
            count >= 2 && (KindsOf(lastLabels(count - 1)) & PublicSuffixTable::kWildcard);
        if (rule || wildcard) suffixLabels = count;
    }
    if (suffixLabels == 0) suffixLabels = 1;
    if (labels <= suffixLabels) return {};
    return lastLabels(suffixLabels + 1);
}

}  // namespace PublicSuffix
