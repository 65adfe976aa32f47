#include "common/number_parse.h"

#include <cctype>
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
    // "0x" followed by a hexadecimal digit starts a hexadecimal number, as in strtod; a bare "0x"
    // reads as the "0" before it.
    const bool hexadecimal = text.size() - i > 2 && text[i] == '0' &&
                             (text[i + 1] == 'x' || text[i + 1] == 'X') &&
                             std::isxdigit(static_cast<unsigned char>(text[i + 2])) != 0;
    const char* first = text.data() + i + (hexadecimal ? 2 : 0);
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(first, text.data() + text.size(), value,
                        hexadecimal ? std::chars_format::hex : std::chars_format::general);
    if (error != std::errc{} || end == first) return std::nullopt;
    if (!std::isfinite(value) && !std::isinf(value)) return std::nullopt;  // "nan" is no version
    return negative ? -value : value;
}

}  // namespace NumberParse
