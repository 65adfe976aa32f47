#include "i18n/update_texts.h"

#include <array>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>

#include "common/platform_paths.h"
#include "common/text.h"

namespace {

// One row per text, in the order the language files are applied: the file key, the record member
// and the built-in texts.
struct TextEntry {
    std::string_view key;
    BilingualText UpdateTexts::*member;
    std::u16string_view english;
    std::u16string_view arabic;
};

// clang-format off
constexpr std::array<TextEntry, 9> kTextTable{{
    {"update_required_title", &UpdateTexts::requiredTitle,
     u"Update Required",
     u"تحديث إجباري للتطبيق"},
    {"update_required_message", &UpdateTexts::requiredMessage,
     u"A mandatory update is available. You must download the new version to continue.",
     u"تحديث إجباري متاح. يجب عليك تحميل الإصدار الجديد للمتابعة."},
    {"update_available_title", &UpdateTexts::availableTitle,
     u"Update Available",
     u"تحديث متاح للتطبيق"},
    {"update_available_message", &UpdateTexts::availableMessage,
     u"A new version of the app is available. Would you like to update now?",
     u"يوجد تحديث جديد للتطبيق. هل ترغب في التحديث الآن؟"},
    {"update_in_progress_title", &UpdateTexts::inProgressTitle,
     u"Update in Progress",
     u"جاري تحديث التطبيق"},
    {"update_downloading_status", &UpdateTexts::downloadingStatus,
     u"Downloading latest version... Please wait.",
     u"جاري تحميل الإصدار الجديد... يرجى الانتڈار..."},
    {"update_retrying_status", &UpdateTexts::retryingStatus,
     u"Retrying download...",
     u"جاري إعادة محاولة التنزيل..."},
    {"update_installing_status", &UpdateTexts::installingStatus,
     u"Installing update and restarting...",
     u"جاري تثبيت التحديث وإعادة التشغيل..."},
    {"update_failed_message", &UpdateTexts::failedMessage,
     u"Update failed: download, signature verification, or installation could not be completed.",
     u"فشل التحديث: تعذر إكمال التنزيل أو التحقق من التوقيع أو التثبيت."},
}};
// clang-format on

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::u16string& LanguageSlot(BilingualText& text, TextLanguage language) {
    return language == TextLanguage::Arabic ? text.arabic : text.english;
}

// The whole file, or nothing when it cannot be opened or read. Binary mode: the bytes go to the
// JSON parser untouched, whatever the platform's line endings.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return content;
}

}  // namespace

UpdateTexts BuiltInUpdateTexts() {
    UpdateTexts texts;
    for (const auto& entry : kTextTable) {
        texts.*entry.member =
            BilingualText{std::u16string(entry.english), std::u16string(entry.arabic)};
    }
    return texts;
}

bool ApplyLanguageFile(UpdateTexts& texts, std::string_view fileContent, TextLanguage language) {
    if (fileContent.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        fileContent.remove_prefix(kUtf8Bom.size());
    const auto document = nlohmann::json::parse(fileContent, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded() || !document.is_object()) return true;
    for (const auto& entry : kTextTable) {
        const auto found = document.find(entry.key);
        if (found == document.end()) continue;
        // A value of another type (null included) is treated as a broken installation: stop
        // here and leave every remaining text as it is.
        if (!found->is_string()) return false;
        LanguageSlot(texts.*entry.member, language) =
            Text::Utf8ToUtf16(found->get_ref<const std::string&>());
    }
    return true;
}

UpdateTexts LoadUpdateTextsFrom(const std::vector<std::filesystem::path>& directories) {
    UpdateTexts texts = BuiltInUpdateTexts();
    static constexpr std::array<std::pair<const char*, TextLanguage>, 2> kFiles{{
        {"ar.json", TextLanguage::Arabic},
        {"en.json", TextLanguage::English},
    }};
    for (const auto& directory : directories) {
        for (const auto& [name, language] : kFiles) {
            const auto content = ReadWholeFile(directory / name);
            if (!content) continue;
            if (!ApplyLanguageFile(texts, *content, language)) return texts;
        }
    }
    return texts;
}

std::vector<std::filesystem::path> LanguageDirectories() {
    const std::filesystem::path relative = std::filesystem::path("resources") / "lang";
    return {PlatformPaths::ExecutablePath().parent_path() / relative, relative};
}

UpdateTexts LoadUpdateTexts() {
    return LoadUpdateTextsFrom(LanguageDirectories());
}

std::u16string JoinTitle(const BilingualText& text) {
    return text.english + u" / " + text.arabic;
}

std::u16string JoinMessage(const BilingualText& text) {
    return text.english + u"\n" + text.arabic;
}
