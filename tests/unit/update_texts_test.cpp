#include "i18n/update_texts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/platform_paths.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

using TestSupport::TempFolder;

// Every text, in table order, English before Arabic, for whole-record comparisons.
std::vector<std::u16string> Members(const UpdateTexts& t) {
    std::vector<std::u16string> all;
    for (const auto* member : {&t.requiredTitle, &t.requiredMessage, &t.availableTitle,
                               &t.availableMessage, &t.inProgressTitle, &t.downloadingStatus,
                               &t.retryingStatus, &t.installingStatus, &t.failedMessage}) {
        all.push_back(member->english);
        all.push_back(member->arabic);
    }
    return all;
}

fs::path SourcePath(const char* relative) {
    std::string root = ORBIS_SOURCE_DIR;
#ifdef _WIN32
    // Under Wine the source tree is reached through the drive that maps the Linux root.
    if (!root.empty() && root.front() == '/') root = "Z:" + root;
#endif
    return fs::path(root) / relative;
}

TEST(BuiltInUpdateTexts, ShippedLanguageFilesHoldEveryTextUnchanged) {
    // Each shipped file alone fills every member, with exactly the built-in text.
    const fs::path lang = SourcePath("resources/lang");
    for (const auto language : {TextLanguage::English, TextLanguage::Arabic}) {
        std::ifstream in(lang / (language == TextLanguage::English ? "en.json" : "ar.json"),
                         std::ios::binary);
        ASSERT_TRUE(in) << lang;
        const std::string content{std::istreambuf_iterator<char>(in), {}};
        UpdateTexts blank;
        ASSERT_TRUE(ApplyLanguageFile(blank, content, language));
        const auto loaded = Members(blank);
        const auto builtIn = Members(BuiltInUpdateTexts());
        const std::size_t own = language == TextLanguage::English ? 0 : 1;
        for (std::size_t i = 0; i < loaded.size(); i += 2) {
            EXPECT_FALSE(builtIn[i + own].empty()) << i;
            EXPECT_EQ(loaded[i + own], builtIn[i + own]) << i;
            EXPECT_TRUE(loaded[i + 1 - own].empty()) << i;
        }
    }
    EXPECT_EQ(Members(LoadUpdateTextsFrom({lang})), Members(BuiltInUpdateTexts()));
}

TEST(JoinTexts, TitleOnOneLineMessageOnTwo) {
    const BilingualText text{u"Update", u"تحديث"};
    EXPECT_EQ(JoinTitle(text), u"Update / تحديث");
    EXPECT_EQ(JoinMessage(text), u"Update\nتحديث");
    EXPECT_EQ(JoinTitle({}), u" / ");
    EXPECT_EQ(JoinMessage({}), u"\n");
}

TEST(ApplyLanguageFile, OverridesOnlyThePresentKeysOfItsLanguage) {
    UpdateTexts t = BuiltInUpdateTexts();
    EXPECT_TRUE(ApplyLanguageFile(t, R"({"update_available_title": "New version"})",
                                  TextLanguage::English));
    UpdateTexts expected = BuiltInUpdateTexts();
    expected.availableTitle.english = u"New version";
    EXPECT_EQ(Members(t), Members(expected));

    EXPECT_TRUE(ApplyLanguageFile(t, "{\"update_failed_message\": \"\xD9\x81\xD8\xB4\xD9\x84\"}",
                                  TextLanguage::Arabic));
    expected.failedMessage.arabic = u"فشل";
    EXPECT_EQ(Members(t), Members(expected));
}

TEST(ApplyLanguageFile, AcceptsEmptyStringsAndAByteOrderMark) {
    UpdateTexts t = BuiltInUpdateTexts();
    EXPECT_TRUE(ApplyLanguageFile(t, "\xEF\xBB\xBF{\"update_retrying_status\": \"\"}",
                                  TextLanguage::English));
    EXPECT_EQ(t.retryingStatus.english, u"");
    EXPECT_EQ(t.retryingStatus.arabic, BuiltInUpdateTexts().retryingStatus.arabic);
}

TEST(ApplyLanguageFile, IgnoresBrokenAndNonObjectDocuments) {
    const auto builtIn = Members(BuiltInUpdateTexts());
    for (const char* content : {
             R"({"update_required_title": "X",})",            // trailing comma
             R"({"update_required_title": "X" /* note */})",  // comments are not JSON
             R"([{"update_required_title": "X"}])",           // array at the top level
             R"("update_required_title")",                    // string at the top level
             "",                                              // empty file
             "\xEF\xBB\xBF",                                  // only a byte-order mark
             "{\"update_required_title\": \"\xC3\"}",         // ill-formed UTF-8
             R"({"update_required_title": "X"} trailing)",    // garbage after the document
         }) {
        UpdateTexts t = BuiltInUpdateTexts();
        EXPECT_TRUE(ApplyLanguageFile(t, content, TextLanguage::English)) << content;
        EXPECT_EQ(Members(t), builtIn) << content;
    }
}

TEST(ApplyLanguageFile, IgnoresOtherMembersOfAnyTypeAndNestedObjects) {
    UpdateTexts t = BuiltInUpdateTexts();
    EXPECT_TRUE(ApplyLanguageFile(
        t,
        R"({"player_title": 5, "flags": [true], "update": {"update_required_title": "inner"},
            "Update_Required_Title": "wrong case", "update_required_title": "outer"})",
        TextLanguage::English));
    EXPECT_EQ(t.requiredTitle.english, u"outer");
}

TEST(ApplyLanguageFile, NonStringValueStopsInTableOrder) {
    // The keys are taken in the record's order, not the file's: "update_required_title" comes
    // first and is applied even though it stands after the numeric value in the file.
    UpdateTexts t = BuiltInUpdateTexts();
    EXPECT_FALSE(ApplyLanguageFile(t,
                                   R"({"update_installing_status": "late",
                                       "update_available_title": 7,
                                       "update_required_title": "early"})",
                                   TextLanguage::English));
    UpdateTexts expected = BuiltInUpdateTexts();
    expected.requiredTitle.english = u"early";
    EXPECT_EQ(Members(t), Members(expected));
}

TEST(ApplyLanguageFile, EveryNonStringTypeStops) {
    for (const char* value : {"1", "1.5", "true", "false", "null", "[]", "[\"x\"]", "{}"}) {
        UpdateTexts t = BuiltInUpdateTexts();
        const std::string content = std::string(R"({"update_required_message": )") + value +
                                    R"(, "update_failed_message": "x"})";
        EXPECT_FALSE(ApplyLanguageFile(t, content, TextLanguage::Arabic)) << value;
        EXPECT_EQ(Members(t), Members(BuiltInUpdateTexts())) << value;
    }
}

TEST(LoadUpdateTextsFrom, NoFilesGiveTheBuiltInTexts) {
    const TempFolder empty;
    EXPECT_EQ(Members(LoadUpdateTextsFrom({empty.path(), empty.path() / "missing"})),
              Members(BuiltInUpdateTexts()));
    EXPECT_EQ(Members(LoadUpdateTextsFrom({})), Members(BuiltInUpdateTexts()));
}

TEST(LoadUpdateTextsFrom, ReadsBothLanguagesAndSkipsBrokenFiles) {
    const TempFolder first;
    first.Write("ar.json", R"({"update_available_title": "عنوان",})");  // syntax error
    first.Write("en.json", R"({"update_available_title": "Title"})");
    const TempFolder second;
    second.Write("ar.json", R"(["update_available_title"])");
    second.Write("en.json", R"({"update_in_progress_title": "Updating"})");

    UpdateTexts expected = BuiltInUpdateTexts();
    expected.availableTitle.english = u"Title";
    expected.inProgressTitle.english = u"Updating";
    EXPECT_EQ(Members(LoadUpdateTextsFrom({first.path(), second.path()})), Members(expected));
}

TEST(LoadUpdateTextsFrom, LaterDirectoryTakesPrecedence) {
    const TempFolder besideExecutable;
    besideExecutable.Write("en.json",
                           R"({"update_required_title": "exe", "update_available_title": "exe"})");
    besideExecutable.Write("ar.json", R"({"update_required_title": "exe-ar"})");
    const TempFolder currentFolder;
    currentFolder.Write("en.json", R"({"update_required_title": "cwd"})");

    const UpdateTexts t = LoadUpdateTextsFrom({besideExecutable.path(), currentFolder.path()});
    EXPECT_EQ(t.requiredTitle.english, u"cwd");
    EXPECT_EQ(t.availableTitle.english, u"exe");
    EXPECT_EQ(t.requiredTitle.arabic, u"exe-ar");

    // The same folder twice simply reads its files twice.
    EXPECT_EQ(Members(LoadUpdateTextsFrom({currentFolder.path(), currentFolder.path()})),
              Members(LoadUpdateTextsFrom({currentFolder.path()})));
}

TEST(LoadUpdateTextsFrom, NonStringValueEndsAllLoading) {
    const TempFolder first;
    first.Write("ar.json",
                R"({"update_required_title": "أولاً", "update_required_message": 5,
                    "update_available_title": "لاحقاً"})");
    first.Write("en.json", R"({"update_required_title": "never"})");
    const TempFolder second;
    second.Write("ar.json", R"({"update_failed_message": "never"})");
    second.Write("en.json", R"({"update_failed_message": "never"})");

    UpdateTexts expected = BuiltInUpdateTexts();
    expected.requiredTitle.arabic = u"أولاً";
    EXPECT_EQ(Members(LoadUpdateTextsFrom({first.path(), second.path()})), Members(expected));

    // A numeric first key: not even that file's other keys are applied.
    const TempFolder numericFirst;
    numericFirst.Write("ar.json", R"({"update_required_title": 1, "update_failed_message": "x"})");
    numericFirst.Write("en.json", R"({"update_failed_message": "never"})");
    EXPECT_EQ(Members(LoadUpdateTextsFrom({numericFirst.path(), second.path()})),
              Members(BuiltInUpdateTexts()));
}

TEST(LoadUpdateTextsFrom, ReadsFilesWithByteOrderMarkUnderNonAsciiFolder) {
    const TempFolder folder(fs::path(u8"برنامج Zelvän") / "resources" / "lang");
    folder.Write("en.json", "\xEF\xBB\xBF{\"update_installing_status\": \"Installing\"}\r\n");
    folder.Write("ar.json", "\xEF\xBB\xBF{\"update_installing_status\": \"\"}");
    const UpdateTexts t = LoadUpdateTextsFrom({folder.path()});
    EXPECT_EQ(t.installingStatus.english, u"Installing");
    EXPECT_EQ(t.installingStatus.arabic, u"");
}

TEST(LanguageDirectories, ExecutableFolderFirstThenCurrentFolder) {
    const fs::path executable = PlatformPaths::ExecutablePath();
    ASSERT_FALSE(executable.empty());
    EXPECT_TRUE(executable.is_absolute());
    EXPECT_TRUE(fs::is_regular_file(executable));
    EXPECT_EQ(executable.stem().string().rfind("orbis_unit_tests", 0), 0u) << executable;

    const auto directories = LanguageDirectories();
    ASSERT_EQ(directories.size(), 2u);
    EXPECT_EQ(directories[0], executable.parent_path() / "resources" / "lang");
    EXPECT_EQ(directories[1], fs::path("resources") / "lang");
}

// Restores the process's current folder when the test ends.
class CurrentFolderGuard {
  public:
    CurrentFolderGuard() : saved_(fs::current_path()) {}
    ~CurrentFolderGuard() {
        std::error_code ignored;
        fs::current_path(saved_, ignored);
    }
    CurrentFolderGuard(const CurrentFolderGuard&) = delete;
    CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

  private:
    fs::path saved_;
};

TEST(LoadUpdateTexts, FindsFilesUnderTheCurrentFolder) {
    const TempFolder work(fs::path(u8"العمل") / "resources" / "lang");
    work.Write("ar.json", R"({"update_retrying_status": "إعادة"})");
    const CurrentFolderGuard guard;
    fs::current_path(work.path().parent_path().parent_path());
    const UpdateTexts t = LoadUpdateTexts();
    EXPECT_EQ(t.retryingStatus.arabic, u"إعادة");
    EXPECT_EQ(t.retryingStatus.english, BuiltInUpdateTexts().retryingStatus.english);
}

}  // namespace
