#include "common/number_parse.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace NumberParse {

std::optional<double> LeadingDouble(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // from_chars rejects a sign of its own, so the sign was taken above; a second one is no number.
    if (i >= text.size() || text[i] == '+' || text[i] == '-') return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                              std::chars_format::general);
    if (error != std::errc{} || end == text.data() + i) return std::nullopt;
    if (!std::isfinite(value) && !std::isinf(value)) return std::nullopt;  // "nan" is no version
    return negative ? -value : value;
}

}  // namespace NumberParse
