// Language files are user-replaceable: any content must load without crashing, and a file that
// stops the loading must not have touched the other language.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "i18n/update_texts.h"

namespace {

bool SameLanguage(const UpdateTexts& a, const UpdateTexts& b, TextLanguage language) {
    const auto pick = [language](const BilingualText& t) -> const std::u16string& {
        return language == TextLanguage::English ? t.english : t.arabic;
    };
    return pick(a.requiredTitle) == pick(b.requiredTitle) &&
           pick(a.requiredMessage) == pick(b.requiredMessage) &&
           pick(a.availableTitle) == pick(b.availableTitle) &&
           pick(a.availableMessage) == pick(b.availableMessage) &&
           pick(a.inProgressTitle) == pick(b.inProgressTitle) &&
           pick(a.downloadingStatus) == pick(b.downloadingStatus) &&
           pick(a.retryingStatus) == pick(b.retryingStatus) &&
           pick(a.installingStatus) == pick(b.installingStatus) &&
           pick(a.failedMessage) == pick(b.failedMessage);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const UpdateTexts builtIn = BuiltInUpdateTexts();
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    for (const auto language : {TextLanguage::English, TextLanguage::Arabic}) {
        UpdateTexts texts = builtIn;
        ApplyLanguageFile(texts, content, language);
        const auto other =
            language == TextLanguage::English ? TextLanguage::Arabic : TextLanguage::English;
        if (!SameLanguage(texts, builtIn, other)) std::abort();
    }
    return 0;
}
