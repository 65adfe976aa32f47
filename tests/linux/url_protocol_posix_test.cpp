#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/url_protocol.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

using TestSupport::ScopedEnvironment;

class RegisterUrlProtocolTest : public ::testing::Test {
  protected:
    static void WriteFile(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    const TestSupport::TempFolder folder_;
    const fs::path& root_ = folder_.path();
};

TEST_F(RegisterUrlProtocolTest, WritesTheEntryAndTheDefaultHandler) {
    const ScopedEnvironment data("XDG_DATA_HOME", (root_ / "data").string());
    const ScopedEnvironment config("XDG_CONFIG_HOME", (root_ / "config").string());
    WriteFile(root_ / "config" / "mimeapps.list",
              "[Default Applications]\ntext/html=browser.desktop\n\n[Added Associations]\n"
              "image/png=viewer.desktop\n");

    ASSERT_TRUE(RegisterUrlProtocol(u"orbiscampus", u"Zelvan Desktop Player",
                                    u"/opt/Orbis Campus/bin/orbis-campus", u"Orbis Campus"));
    const std::string entry =
        TestSupport::ReadFile((root_ / "data/applications/orbiscampus-handler.desktop").string());
    EXPECT_EQ(entry, BuildDesktopEntry(u"/opt/Orbis Campus/bin/orbis-campus",
                                       u"/opt/Orbis Campus/bin/resources/orbis-campus.png",
                                       u"orbiscampus", u"Zelvan Desktop Player", u"Orbis Campus"));
    EXPECT_EQ(TestSupport::ReadFile((root_ / "config/mimeapps.list").string()),
              "[Default Applications]\ntext/html=browser.desktop\n"
              "x-scheme-handler/orbiscampus=orbiscampus-handler.desktop\n\n"
              "[Added Associations]\nimage/png=viewer.desktop\n");
    // Nothing temporary is left behind.
    int files = 0;
    for (const auto& item : fs::recursive_directory_iterator(root_)) {
        if (item.is_regular_file()) ++files;
    }
    EXPECT_EQ(files, 2);
}

TEST_F(RegisterUrlProtocolTest, MovedExecutableRepointsTheEntry) {
    const ScopedEnvironment data("XDG_DATA_HOME", (root_ / "data").string());
    const ScopedEnvironment config("XDG_CONFIG_HOME", (root_ / "config").string());
    ASSERT_TRUE(
        RegisterUrlProtocol(u"orbiscampus", u"d", u"/old/place/orbis-campus", u"Orbis Campus"));
    ASSERT_TRUE(RegisterUrlProtocol(u"orbiscampus", u"d", u"/new/$place 100%/orbis-campus",
                                    u"Orbis Campus"));
    const std::string entry =
        TestSupport::ReadFile((root_ / "data/applications/orbiscampus-handler.desktop").string());
    EXPECT_EQ(entry.find("/old/"), std::string::npos);
    EXPECT_NE(entry.find("Exec=\"/new/\\\\$place 100%%/orbis-campus\" %u\n"), std::string::npos)
        << entry;
    EXPECT_NE(entry.find("Icon=/new/$place 100%/resources/orbis-campus.png\n"), std::string::npos)
        << entry;
    const std::string list = TestSupport::ReadFile((root_ / "config/mimeapps.list").string());
    EXPECT_EQ(list,
              "[Default Applications]\nx-scheme-handler/orbiscampus=orbiscampus-handler.desktop\n");
}

TEST_F(RegisterUrlProtocolTest, DefaultsToTheHomeFolders) {
    const ScopedEnvironment home("HOME", root_.string());
    const ScopedEnvironment data("XDG_DATA_HOME", std::nullopt);
    const ScopedEnvironment config("XDG_CONFIG_HOME", "relative/is/ignored");
    ASSERT_TRUE(RegisterUrlProtocol(u"orbiscampus", u"d", u"/opt/app", u"Orbis Campus"));
    EXPECT_TRUE(
        fs::is_regular_file(root_ / ".local/share/applications/orbiscampus-handler.desktop"));
    EXPECT_TRUE(fs::is_regular_file(root_ / ".config/mimeapps.list"));
}

TEST_F(RegisterUrlProtocolTest, SymlinkedListStaysALink) {
    const ScopedEnvironment data("XDG_DATA_HOME", (root_ / "data").string());
    const ScopedEnvironment config("XDG_CONFIG_HOME", (root_ / "config").string());
    WriteFile(root_ / "dotfiles" / "mimeapps.list", "[Default Applications]\na/b=c.desktop\n");
    fs::create_directories(root_ / "config");
    fs::create_symlink(root_ / "dotfiles" / "mimeapps.list", root_ / "config" / "mimeapps.list");
    ASSERT_TRUE(RegisterUrlProtocol(u"orbiscampus", u"d", u"/opt/app", u"Orbis Campus"));
    EXPECT_TRUE(fs::is_symlink(root_ / "config" / "mimeapps.list"));
    EXPECT_EQ(TestSupport::ReadFile((root_ / "dotfiles/mimeapps.list").string()),
              "[Default Applications]\na/b=c.desktop\n"
              "x-scheme-handler/orbiscampus=orbiscampus-handler.desktop\n");
}

TEST_F(RegisterUrlProtocolTest, UnwritableLocationsReturnFalse) {
    // A plain file where a folder must be: fails even for root, which ignores permissions.
    WriteFile(root_ / "blocker", "x");
    {
        const ScopedEnvironment data("XDG_DATA_HOME", (root_ / "blocker" / "data").string());
        const ScopedEnvironment config("XDG_CONFIG_HOME", (root_ / "config").string());
        EXPECT_FALSE(RegisterUrlProtocol(u"orbiscampus", u"d", u"/opt/app", u"Orbis Campus"));
        EXPECT_FALSE(fs::exists(root_ / "config" / "mimeapps.list"));  // nothing half-done
    }
    {
        const ScopedEnvironment data("XDG_DATA_HOME", (root_ / "data").string());
        const ScopedEnvironment config("XDG_CONFIG_HOME", (root_ / "blocker").string());
        EXPECT_FALSE(RegisterUrlProtocol(u"orbiscampus", u"d", u"/opt/app", u"Orbis Campus"));
    }
    {
        // An unreadable list (a folder by that name) is not replaced by a fresh one.
        fs::create_directories(root_ / "config2" / "mimeapps.list");
        const ScopedEnvironment data("XDG_DATA_HOME", (root_ / "data").string());
        const ScopedEnvironment config("XDG_CONFIG_HOME", (root_ / "config2").string());
        EXPECT_FALSE(RegisterUrlProtocol(u"orbiscampus", u"d", u"/opt/app", u"Orbis Campus"));
        EXPECT_TRUE(fs::is_directory(root_ / "config2" / "mimeapps.list"));
    }
    {
        const ScopedEnvironment home("HOME", std::nullopt);
        const ScopedEnvironment data("XDG_DATA_HOME", std::nullopt);
        const ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_FALSE(RegisterUrlProtocol(u"orbiscampus", u"d", u"/opt/app", u"Orbis Campus"));
    }
}

}  // namespace
