#include "app/startup.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/instance_name.h"
#include "common/text.h"
#include "common/version_number.h"
#include "tenant_profile.h"

namespace {

using Calls = std::vector<std::string>;

const std::u16string kProgram = u"C:\\Program Files\\Orbis Campus\\orbiscampus.exe";
const std::u16string kLink = u"orbiscampus://aaa:bbb:ccc";

// Platform operations that record the order of calls and answer from their fields.
struct FakePlatform {
    Calls calls;
    std::vector<MessageBoxRequest> messages;
    std::vector<std::u16string> lockNames;
    std::vector<std::pair<double, std::u16string>> checks;
    std::vector<std::pair<bool, std::u16string>> prompts;
    std::vector<std::u16string> parsedLinks;

    InstanceLockResult lock = InstanceLockResult::Acquired;
    int os = 10;
    bool runtime = true;
    std::vector<UpdateCheckResult> updates;  // one per check; missing ones mean "no update"
    bool promptEndsProcess = false;
    bool parseOk = true;
    std::string parseError;
    std::u16string linkBase = u"https://linked.example";
    bool playerOk = true;
    bool initOk = true;
    bool initHostCreated = false;
    int loopCode = 0;

    StartupOperations Operations(AppRecord& record) {
        StartupOperations ops;
        ops.showMessage = [this](const MessageBoxRequest& request) {
            calls.push_back("message");
            messages.push_back(request);
            return MessageBoxResult::Ok;
        };
        ops.acquireInstanceLock = [this](const std::u16string& name) {
            calls.push_back("lock");
            lockNames.push_back(name);
            return lock;
        };
        ops.showSplash = Answer("splash");
        ops.classifyOsVersion = Answer("os", os);
        ops.ensureRuntime = Answer("runtime", runtime);
        ops.checkForUpdate = [this](double version, std::u16string_view base) {
            calls.push_back("check");
            checks.emplace_back(version, std::u16string(base));
            return checks.size() <= updates.size() ? updates[checks.size() - 1]
                                                   : UpdateCheckResult{};
        };
        ops.promptForUpdate = [this](bool required, std::u16string_view address, const AppRecord&) {
            calls.push_back("prompt");
            prompts.emplace_back(required, std::u16string(address));
            return promptEndsProcess;
        };
        ops.registerScheme = Answer("register");
        ops.openLoadingWindow = Answer("loading");
        ops.parseSchemeArgs = [this, &record](const std::u16string& link, std::string& error) {
            calls.push_back("parse");
            parsedLinks.push_back(link);
            if (parseOk) record.baseUrl = linkBase;
            error = parseError;
            return parseOk;
        };
        ops.createPlayerWindow = Answer("player", playerOk);
        ops.createInitScreen = [this](bool& hostCreated) {
            calls.push_back("init");
            hostCreated = initHostCreated;
            return initOk;
        };
        ops.runMessageLoop = Answer("loop", loopCode);
        ops.shutdown = Answer("shutdown");
        return ops;
    }

    // Records the call and answers with the field's value at the time of the call.
    template <typename T>
    std::function<T()> Answer(const char* name, const T& field) {
        return [this, name, &field] {
            calls.push_back(name);
            return field;
        };
    }
    std::function<void()> Answer(const char* name) {
        return [this, name] { calls.push_back(name); };
    }

    int Run(std::vector<std::u16string> arguments, std::u16string_view raw = {}) {
        AppRecord record = MakeDefaultAppRecord();
        return Run(record, std::move(arguments), raw);
    }
    int Run(AppRecord& record, std::vector<std::u16string> arguments,
            std::u16string_view raw = {}) {
        const StartupOperations ops = Operations(record);
        return RunStartup(arguments, raw, record, ops);
    }
};

// ---- order of the steps ---------------------------------------------------------------------

TEST(RunStartup, InitModeRunsEveryStepInOrderAndReturnsTheLoopCode) {
    FakePlatform fake;
    fake.loopCode = 42;
    EXPECT_EQ(fake.Run({kProgram}), 42);
    EXPECT_EQ(fake.calls, (Calls{"lock", "splash", "os", "runtime", "check", "register", "init",
                                 "loop", "shutdown"}));
    ASSERT_EQ(fake.checks.size(), 1u);
    EXPECT_DOUBLE_EQ(fake.checks[0].first, 4.18);
    EXPECT_EQ(fake.checks[0].second, u"");
    EXPECT_TRUE(fake.messages.empty());
}

TEST(RunStartup, PlayerModeDecodesTheLinkThenChecksAgainstTheLinksDomain) {
    FakePlatform fake;
    EXPECT_EQ(fake.Run({kProgram, kLink}), 0);
    EXPECT_EQ(fake.calls, (Calls{"lock", "splash", "os", "runtime", "check", "register", "loading",
                                 "parse", "check", "player", "loop", "shutdown"}));
    EXPECT_EQ(fake.parsedLinks, std::vector<std::u16string>{kLink});
    ASSERT_EQ(fake.checks.size(), 2u);
    EXPECT_EQ(fake.checks[0].second, u"");
    EXPECT_EQ(fake.checks[1].second, u"https://linked.example");
    EXPECT_DOUBLE_EQ(fake.checks[1].first, 4.18);
}

TEST(RunStartup, LinkChoiceFollowsTheCommandLine) {
    FakePlatform later;  // a switch first: the link argument still wins
    later.Run({kProgram, u"--switch", u"  ORBISCAMPUS:x:y:z"});
    EXPECT_EQ(later.parsedLinks, std::vector<std::u16string>{u"  ORBISCAMPUS:x:y:z"});

    FakePlatform raw;  // nothing split: the raw text is the link
    raw.Run({kProgram}, u"orbiscampus:raw:link:text");
    EXPECT_EQ(raw.parsedLinks, std::vector<std::u16string>{u"orbiscampus:raw:link:text"});

    for (const std::u16string argument : {u"orbiscampus:", u"orbiscampus://\\/", u"hello"}) {
        FakePlatform init;
        init.Run({kProgram, argument});
        EXPECT_TRUE(init.parsedLinks.empty()) << Text::Utf16ToUtf8(argument);
        EXPECT_EQ(init.calls[6], "init") << Text::Utf16ToUtf8(argument);
    }
}

TEST(RunStartup, LockIsNamedByDisplayNameAndRunMode) {
    FakePlatform init, player;
    init.Run({kProgram});
    player.Run({kProgram, kLink});
    EXPECT_EQ(init.lockNames, std::vector<std::u16string>{BuildInstanceMutexName(
                                  InstanceKey(u"Orbis Campus", RunMode::Init))});
    EXPECT_EQ(player.lockNames, std::vector<std::u16string>{BuildInstanceMutexName(
                                    InstanceKey(u"Orbis Campus", RunMode::Player))});
    EXPECT_NE(init.lockNames, player.lockNames);

    FakePlatform other;
    AppRecord record = MakeDefaultAppRecord();
    record.displayName = u"Other Product";
    other.Run(record, {kProgram});
    EXPECT_NE(other.lockNames, init.lockNames);
}

// ---- exit paths before the mode's window ------------------------------------------------------

TEST(RunStartup, LockFailureEndsSilentlyWithoutShutdown) {
    FakePlatform fake;
    fake.lock = InstanceLockResult::Failed;
    EXPECT_EQ(fake.Run({kProgram, kLink}), 1);
    EXPECT_EQ(fake.calls, Calls{"lock"});
}

TEST(RunStartup, SecondInstanceIsToldAndEndsWithZero) {
    FakePlatform fake;
    fake.lock = InstanceLockResult::AlreadyRunning;
    AppRecord record = MakeDefaultAppRecord();
    record.displayName = u"Custom Title";
    EXPECT_EQ(fake.Run(record, {kProgram, kLink}), 0);
    EXPECT_EQ(fake.calls, (Calls{"lock", "message"}));  // the link is not decoded or passed on
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text,
              u"The application is already running.\n\nالبرنامج يعمل بالفعل.");
    EXPECT_EQ(fake.messages[0].caption, u"Custom Title");
    EXPECT_EQ(fake.messages[0].flags, 0x40u | 0x10000u | 0x40000u);
}

TEST(RunStartup, WindowsBefore10IsRefused) {
    for (const int os : {8, 7, -1, 0, 9}) {
        FakePlatform fake;
        fake.os = os;
        EXPECT_EQ(fake.Run({kProgram}), 1) << os;
        EXPECT_EQ(fake.calls, (Calls{"lock", "splash", "os", "message", "shutdown"})) << os;
        ASSERT_EQ(fake.messages.size(), 1u);
        EXPECT_EQ(fake.messages[0].text,
                  u"This application requires Windows 10 or later.\nهذا التطبيق يتطلب ويندوز 10 "
                  u"أو أحدث.");
        EXPECT_EQ(fake.messages[0].caption, u"Unsupported OS");
        EXPECT_EQ(fake.messages[0].flags, 0x10u | 0x10000u | 0x40000u);
    }
    for (const int os : {10, 11}) {
        FakePlatform fake;
        fake.os = os;
        EXPECT_EQ(fake.Run({kProgram}), 0) << os;
        EXPECT_TRUE(fake.messages.empty());
    }
}

TEST(RunStartup, MissingRuntimeEndsWithOneAndNoMessageOfItsOwn) {
    FakePlatform fake;
    fake.runtime = false;
    EXPECT_EQ(fake.Run({kProgram, kLink}), 1);
    EXPECT_EQ(fake.calls, (Calls{"lock", "splash", "os", "runtime", "shutdown"}));
}

// ---- update checks ----------------------------------------------------------------------------

TEST(RunStartup, AcceptedUpdateEndsBeforeTheSchemeIsRegistered) {
    FakePlatform fake;
    fake.updates = {{true, true, u"https://download.example/new.exe"}};
    fake.promptEndsProcess = true;
    EXPECT_EQ(fake.Run({kProgram, kLink}), 0);
    EXPECT_EQ(fake.calls,
              (Calls{"lock", "splash", "os", "runtime", "check", "prompt", "shutdown"}));
    ASSERT_EQ(fake.prompts.size(), 1u);
    EXPECT_TRUE(fake.prompts[0].first);
    EXPECT_EQ(fake.prompts[0].second, u"https://download.example/new.exe");
}

TEST(RunStartup, UpdateWithoutLinkUsesTheBuiltInInstallerAddress) {
    FakePlatform fake;
    fake.updates = {{true, false, u""}};
    EXPECT_EQ(fake.Run({kProgram}), 0);  // prompt declined: start-up goes on
    ASSERT_EQ(fake.prompts.size(), 1u);
    EXPECT_FALSE(fake.prompts[0].first);
    EXPECT_EQ(fake.prompts[0].second, Text::Widen(Tenant::DefaultInstallerUrl()));
    EXPECT_EQ(fake.calls.back(), "shutdown");
    EXPECT_EQ(fake.calls[6], "register");
}

TEST(RunStartup, NoUpdateMeansNoPrompt) {
    FakePlatform fake;
    fake.updates = {{false, true, u"https://ignored.example"}};
    fake.Run({kProgram});
    EXPECT_TRUE(fake.prompts.empty());
}

TEST(RunStartup, SecondUpdateCheckCanEndThePlayerBeforeItsWindow) {
    FakePlatform fake;
    fake.updates = {{}, {true, false, u"https://linked.example/new.exe"}};
    fake.promptEndsProcess = true;
    EXPECT_EQ(fake.Run({kProgram, kLink}), 0);
    EXPECT_EQ(fake.calls, (Calls{"lock", "splash", "os", "runtime", "check", "register", "loading",
                                 "parse", "check", "prompt", "shutdown"}));
}

TEST(RunStartup, VersionThatIsNotANumberChecksAs3) {
    FakePlatform fake;
    AppRecord record = MakeDefaultAppRecord();
    record.version = u"beta";
    fake.Run(record, {kProgram, kLink});
    ASSERT_EQ(fake.checks.size(), 2u);
    EXPECT_DOUBLE_EQ(fake.checks[0].first, 3.0);
    EXPECT_DOUBLE_EQ(fake.checks[1].first, 3.0);
}

// ---- link failures ---------------------------------------------------------------------------

TEST(RunStartup, PlatformRefusalShowsTheServersTextRightToLeft) {
    FakePlatform fake;
    fake.parseOk = false;
    fake.parseError = "server:\xD8\xA7\xD9\x84\xD8\xB1\xD8\xA7\xD8\xA8\xD8\xB7 expired";
    EXPECT_EQ(fake.Run({kProgram, kLink}), 1);
    EXPECT_EQ(fake.calls, (Calls{"lock", "splash", "os", "runtime", "check", "register", "loading",
                                 "parse", "message", "shutdown"}));
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, u"الرابط expired");
    EXPECT_EQ(fake.messages[0].caption, u"Orbis Campus - خطأ");
    EXPECT_EQ(fake.messages[0].flags, 0x30u | 0x10000u | 0x40000u | 0x80000u | 0x100000u);
}

TEST(RunStartup, PlatformRefusalWithoutTextShowsAnEmptyBox) {
    FakePlatform fake;
    fake.parseOk = false;
    fake.parseError = "server:";
    EXPECT_EQ(fake.Run({kProgram, kLink}), 1);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, u"");
    EXPECT_EQ(fake.messages[0].caption, u"Orbis Campus - خطأ");
}

TEST(RunStartup, UndecodableLinkIsReportedWithItsDiagnosticCodeAndEndsWithZero) {
    for (const std::string error :
         {"split_failed_parts_2", "Server:upper-case is not a refusal", "server", ""}) {
        FakePlatform fake;
        fake.parseOk = false;
        fake.parseError = error;
        EXPECT_EQ(fake.Run({kProgram, kLink}), 0) << error;
        ASSERT_EQ(fake.messages.size(), 1u);
        EXPECT_EQ(fake.messages[0].caption, u"Link Error - خطأ في الرابط");
        EXPECT_EQ(fake.messages[0].flags, 0x10u | 0x10000u | 0x40000u);
        EXPECT_EQ(fake.messages[0].text, BuildLinkErrorText(error));
        EXPECT_EQ(fake.calls.back(), "shutdown");
        EXPECT_EQ(fake.checks.size(), 1u);  // no second check for a broken link
    }
}

TEST(BuildLinkErrorText, BilingualTextThenTheCode) {
    EXPECT_EQ(BuildLinkErrorText("exception_bad base64"),
              u"Failed to process the content link.\nIf the problem persists, send the diagnostic "
              u"code below to support.\n\nفشل في معالجة رابط المحتوى.\nإذا استمرت المشكلة، يرجى "
              u"إرسال الكود التشخيصي أدناه للدعم الفني.\n\nDiagnostic Code:\nexception_bad base64");
}

// ---- window failures -------------------------------------------------------------------------

TEST(RunStartup, PlayerWindowFailureEndsWithOneAndLeavesTheReportToTheWindow) {
    FakePlatform fake;
    fake.playerOk = false;
    EXPECT_EQ(fake.Run({kProgram, kLink}), 1);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(fake.calls.back(), "shutdown");
    EXPECT_EQ(fake.calls[fake.calls.size() - 2], "player");
}

TEST(RunStartup, InitWindowFailureIsReportedOnlyWhenNoHostExists) {
    FakePlatform noWindow;
    noWindow.initOk = false;
    EXPECT_EQ(noWindow.Run({kProgram}), 1);
    ASSERT_EQ(noWindow.messages.size(), 1u);
    EXPECT_EQ(noWindow.messages[0].text, u"Failed to create the application window.");
    EXPECT_EQ(noWindow.messages[0].caption, u"Orbis Campus - Startup Error");
    EXPECT_EQ(noWindow.messages[0].flags, 0x10u | 0x10000u | 0x40000u);
    EXPECT_EQ(noWindow.calls.back(), "shutdown");

    FakePlatform browserFailed;
    browserFailed.initOk = false;
    browserFailed.initHostCreated = true;
    EXPECT_EQ(browserFailed.Run({kProgram}), 1);
    EXPECT_TRUE(browserFailed.messages.empty());
}

// ---- missing operations ------------------------------------------------------------------------

TEST(RunStartup, MissingOperationsCountAsFailed) {
    AppRecord record = MakeDefaultAppRecord();
    EXPECT_EQ(RunStartup({kProgram}, {}, record, StartupOperations{}), 1);  // no lock

    int shutdowns = 0;
    StartupOperations ops;
    ops.acquireInstanceLock = [](const std::u16string&) { return InstanceLockResult::Acquired; };
    ops.shutdown = [&shutdowns] { ++shutdowns; };
    EXPECT_EQ(RunStartup({kProgram}, {}, record, ops), 1);  // no OS answer: refused
    ops.classifyOsVersion = [] { return 10; };
    EXPECT_EQ(RunStartup({kProgram}, {}, record, ops), 1);  // no runtime
    ops.ensureRuntime = [] { return true; };
    EXPECT_EQ(RunStartup({kProgram}, {}, record, ops), 1);         // no init window
    EXPECT_EQ(RunStartup({kProgram, kLink}, {}, record, ops), 0);  // no decoder: link error
    ops.createInitScreen = [](bool&) { return true; };
    EXPECT_EQ(RunStartup({kProgram}, {}, record, ops), 0);  // no loop: ends at once
    EXPECT_EQ(shutdowns, 5);
}

}  // namespace
