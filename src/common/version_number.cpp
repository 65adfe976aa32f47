#include "common/version_number.h"

#include "common/number_parse.h"
#include "common/text.h"

double ParseVersionNumber(std::u16string_view version) {
    return NumberParse::LeadingDouble(Text::Utf16ToUtf8(version)).value_or(3.0);
}
