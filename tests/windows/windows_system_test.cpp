#include "app/windows_system.h"

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/os_version.h"
#include "common/text.h"

namespace {

TEST(WindowsSystem, SplitsTheProcessCommandLineWithTheProgramFirst) {
    const auto arguments = WindowsSystem::CommandLineArguments();
    ASSERT_FALSE(arguments.empty());
    EXPECT_TRUE(Text::EndsWith(Text::ToLowerAscii(arguments.front()), u".exe"));
    // Feeding the real argument list into the run-mode choice: the test runner passes no link.
    EXPECT_EQ(ChooseLink(arguments, u"", u"orbiscampus").mode, RunMode::Init);
}

TEST(WindowsSystem, ReportsTheTrueVersionThatTheStartUpCheckAccepts) {
    const OsVersion version = WindowsSystem::QueryOsVersion();
    EXPECT_GE(version.major, 6u);
    EXPECT_GT(version.build, 0u);
    // The test prefix is set to report Windows 10.
    EXPECT_GE(ClassifyWindowsVersion(version), 10);
}

}  // namespace
