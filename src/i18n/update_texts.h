#pragma once
// The update texts, English and Arabic together, with optional override by the language files
// "en.json" and "ar.json" under resources/lang/ (beside the executable, then the current folder).
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct BilingualText {
    std::u16string english;
    std::u16string arabic;
};

struct UpdateTexts {
    BilingualText requiredTitle;
    BilingualText requiredMessage;
    BilingualText availableTitle;
    BilingualText availableMessage;
    BilingualText inProgressTitle;
    BilingualText downloadingStatus;
    BilingualText retryingStatus;
    BilingualText installingStatus;
    BilingualText failedMessage;
};

enum class TextLanguage { English, Arabic };

UpdateTexts BuiltInUpdateTexts();

// Applies one language file's text to `texts`. Returns false when a key held a non-string value,
// which ends all further loading (texts applied before it stay).
bool ApplyLanguageFile(UpdateTexts& texts, std::string_view fileContent, TextLanguage language);

// Built-in texts overridden by the files in `directories`, in order ("ar.json" then "en.json" in
// each directory).
UpdateTexts LoadUpdateTextsFrom(const std::vector<std::filesystem::path>& directories);

// The directories the running program looks in: <executable folder>/resources/lang, then
// resources/lang relative to the current folder.
std::vector<std::filesystem::path> LanguageDirectories();

UpdateTexts LoadUpdateTexts();

// Display forms: title "English / Arabic", message "English\nArabic".
std::u16string JoinTitle(const BilingualText& text);
std::u16string JoinMessage(const BilingualText& text);
