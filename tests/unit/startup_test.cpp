#include "app/startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
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

// Platform operations that record the order of calls and answer from their fields. The network
// steps may run on a thread of their own: every record is taken under one lock.
struct FakePlatform {
    std::mutex lock_;
    std::condition_variable changed;
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

    // With `ahead`, the network steps run ahead on their own thread and the UI thread waits for
    // them through the wait operation, as the platforms with an event loop do.
    bool ahead = false;
    std::vector<RunMode> preparedModes;
    // Gates that hold a network step until the UI thread reaches a call of the given name.
    std::string parseWaitsFor;
    std::string uiCallWaitsForNetworkEnd;  // this UI call waits until every network step ran
    bool sessionEndsDuringWait = false;
    int wakes = 0;
    int waits = 0;

    void Record(const std::string& name) {
        {
            std::lock_guard guard(lock_);
            calls.push_back(name);
        }
        changed.notify_all();
    }
    // Blocks until `name` has been recorded.
    void AwaitCall(const std::string& name) {
        std::unique_lock guard(lock_);
        changed.wait(guard,
                     [&] { return std::find(calls.begin(), calls.end(), name) != calls.end(); });
    }
    // Three outcomes and the end of the steps, each published with a wake-up.
    void AwaitNetworkEnd() {
        std::unique_lock guard(lock_);
        changed.wait(guard, [&] { return wakes >= 4; });
    }

    StartupOperations Operations() {
        StartupOperations ops;
        ops.showMessage = [this](const MessageBoxRequest& request) {
            Record("message");
            messages.push_back(request);
            return MessageBoxResult::Ok;
        };
        ops.acquireInstanceLock = [this](const std::u16string& name) {
            Record("lock");
            lockNames.push_back(name);
            return lock;
        };
        ops.showSplash = Answer("splash");
        ops.classifyOsVersion = Answer("os", os);
        ops.ensureRuntime = Answer("runtime", runtime);
        ops.checkForUpdate = [this](double version, std::u16string_view base,
                                    std::u16string_view trustBase) {
            Record("check");
            UpdateCheckResult result;
            {
                std::lock_guard guard(lock_);
                // The request is judged against the platform it goes to.
                if (!base.empty()) {
                    EXPECT_EQ(base, trustBase);
                }
                checks.emplace_back(version, std::u16string(base));
                if (checks.size() <= updates.size()) result = updates[checks.size() - 1];
            }
            return result;
        };
        ops.promptForUpdate = [this](bool required, std::u16string_view address, const AppRecord&) {
            Record("prompt");
            prompts.emplace_back(required, std::u16string(address));
            return promptEndsProcess;
        };
        ops.registerScheme = Answer("register");
        ops.openLoadingWindow = Answer("loading");
        ops.parseSchemeArgs = [this](const std::u16string& link, std::string& error,
                                     AppRecord& record) {
            if (!parseWaitsFor.empty()) AwaitCall(parseWaitsFor);
            Record("parse");
            {
                std::lock_guard guard(lock_);
                parsedLinks.push_back(link);
            }
            if (parseOk) record.baseUrl = linkBase;
            error = parseError;
            return parseOk;
        };
        ops.createPlayerWindow = Answer("player", playerOk);
        ops.createInitScreen = [this](bool& hostCreated) {
            Record("init");
            hostCreated = initHostCreated;
            return initOk;
        };
        ops.runMessageLoop = Answer("loop", loopCode);
        ops.shutdown = Answer("shutdown");
        if (ahead) {
            ops.prepareBrowser = [this](RunMode mode) {
                Record("prepare");
                preparedModes.push_back(mode);
            };
            ops.wakeUiThread = [this] {
                {
                    std::lock_guard guard(lock_);
                    ++wakes;
                }
                changed.notify_all();
            };
            ops.waitWhileEventsRun = [this](const std::function<bool()>& done) {
                std::unique_lock guard(lock_);
                ++waits;
                if (sessionEndsDuringWait) return false;
                changed.wait(guard, done);
                return true;
            };
        }
        return ops;
    }

    // Records the call and answers with the field's value at the time of the call.
    template <typename T>
    std::function<T()> Answer(const char* name, const T& field) {
        return [this, name, &field] {
            Record(name);
            return field;
        };
    }
    std::function<void()> Answer(const char* name) {
        return [this, name] {
            if (uiCallWaitsForNetworkEnd == name) AwaitNetworkEnd();
            Record(name);
        };
    }

    int Run(std::vector<std::u16string> arguments, std::u16string_view raw = {}) {
        AppRecord record = MakeDefaultAppRecord();
        return Run(record, std::move(arguments), raw);
    }
    int Run(AppRecord& record, std::vector<std::u16string> arguments,
            std::u16string_view raw = {}) {
        const StartupOperations ops = Operations();
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

// ---- network steps ahead of the sequence ------------------------------------------------------

// The calls in `calls` that the network steps made, in order.
Calls NetworkCalls(const Calls& calls) {
    Calls network;
    for (const std::string& call : calls) {
        if (call == "check" || call == "parse") network.push_back(call);
    }
    return network;
}

Calls WithoutNetworkCalls(const Calls& calls) {
    Calls rest;
    for (const std::string& call : calls) {
        if (call != "check" && call != "parse") rest.push_back(call);
    }
    return rest;
}

TEST(RunStartupAhead, LinkDecodedBeforeItIsNeededGoesStraightToThePlayerWindow) {
    FakePlatform fake;
    fake.ahead = true;
    fake.uiCallWaitsForNetworkEnd = "register";
    AppRecord record = MakeDefaultAppRecord();
    EXPECT_EQ(fake.Run(record, {kProgram, kLink}), 0);
    EXPECT_EQ(NetworkCalls(fake.calls), (Calls{"check", "parse", "check"}));
    // The engine starts before the first wait; no loading text stands between splash and content.
    EXPECT_EQ(WithoutNetworkCalls(fake.calls), (Calls{"lock", "splash", "os", "runtime", "prepare",
                                                      "register", "player", "loop", "shutdown"}));
    EXPECT_EQ(fake.preparedModes, std::vector<RunMode>{RunMode::Player});
    ASSERT_EQ(fake.checks.size(), 2u);
    EXPECT_EQ(fake.checks[0].second, u"");
    EXPECT_EQ(fake.checks[1].second, u"https://linked.example");
    EXPECT_EQ(record.baseUrl, u"https://linked.example") << "the decoded record is taken over";
}

TEST(RunStartupAhead, LinkStillDecodingShowsTheLoadingWindowMeanwhile) {
    FakePlatform fake;
    fake.ahead = true;
    fake.parseWaitsFor = "loading";
    EXPECT_EQ(fake.Run({kProgram, kLink}), 0);
    EXPECT_EQ(NetworkCalls(fake.calls), (Calls{"check", "parse", "check"}));
    const Calls ui = WithoutNetworkCalls(fake.calls);
    EXPECT_EQ(ui, (Calls{"lock", "splash", "os", "runtime", "prepare", "register", "loading",
                         "player", "loop", "shutdown"}));
    EXPECT_GE(fake.waits, 1);
}

TEST(RunStartupAhead, InitModeAsksOnceAndPreparesTheInitWindow) {
    FakePlatform fake;
    fake.ahead = true;
    EXPECT_EQ(fake.Run({kProgram}), 0);
    EXPECT_EQ(WithoutNetworkCalls(fake.calls), (Calls{"lock", "splash", "os", "runtime", "prepare",
                                                      "register", "init", "loop", "shutdown"}));
    EXPECT_EQ(NetworkCalls(fake.calls), Calls{"check"});
    EXPECT_EQ(fake.preparedModes, std::vector<RunMode>{RunMode::Init});
}

TEST(RunStartupAhead, OfferedUpdateIsPutBeforeTheLinkIsEverSent) {
    FakePlatform accepted;
    accepted.ahead = true;
    accepted.updates = {{true, true, u"https://download.example/new.exe"}};
    accepted.promptEndsProcess = true;
    EXPECT_EQ(accepted.Run({kProgram, kLink}), 0);
    EXPECT_TRUE(accepted.parsedLinks.empty());
    EXPECT_EQ(WithoutNetworkCalls(accepted.calls),
              (Calls{"lock", "splash", "os", "runtime", "prepare", "prompt", "shutdown"}));

    // Declined: the link goes out only after the answer, and start-up carries on as before.
    FakePlatform declined;
    declined.ahead = true;
    declined.updates = {{true, false, u""}};
    EXPECT_EQ(declined.Run({kProgram, kLink}), 0);
    const auto prompt = std::find(declined.calls.begin(), declined.calls.end(), "prompt");
    const auto parse = std::find(declined.calls.begin(), declined.calls.end(), "parse");
    ASSERT_NE(prompt, declined.calls.end());
    ASSERT_NE(parse, declined.calls.end());
    EXPECT_LT(prompt - declined.calls.begin(), parse - declined.calls.begin());
    EXPECT_EQ(NetworkCalls(declined.calls), (Calls{"check", "parse", "check"}));
    EXPECT_EQ(declined.calls[declined.calls.size() - 3], "player");
}

TEST(RunStartupAhead, FailuresAfterTheLinkStillShowTheLoadingWindowFirst) {
    FakePlatform broken;
    broken.ahead = true;
    broken.parseOk = false;
    broken.parseError = "split_failed_parts_2";
    EXPECT_EQ(broken.Run({kProgram, kLink}), 0);
    EXPECT_EQ(NetworkCalls(broken.calls), (Calls{"check", "parse"}));
    Calls ui = WithoutNetworkCalls(broken.calls);
    EXPECT_EQ(ui, (Calls{"lock", "splash", "os", "runtime", "prepare", "register", "loading",
                         "message", "shutdown"}));

    FakePlatform update;
    update.ahead = true;
    update.uiCallWaitsForNetworkEnd = "register";
    update.updates = {{}, {true, true, u"https://linked.example/new.exe"}};
    update.promptEndsProcess = true;
    EXPECT_EQ(update.Run({kProgram, kLink}), 0);
    EXPECT_EQ(WithoutNetworkCalls(update.calls),
              (Calls{"lock", "splash", "os", "runtime", "prepare", "register", "loading", "prompt",
                     "shutdown"}));
}

TEST(RunStartupAhead, SessionEndDuringTheWaitEndsWithZeroAndNoWindow) {
    FakePlatform fake;
    fake.ahead = true;
    fake.parseWaitsFor = "never";  // the link's call is held: start-up has to wait for it
    fake.sessionEndsDuringWait = true;
    std::thread release([&fake] {
        // The held call ends after the session did, as a platform answer arriving late would.
        fake.AwaitCall("shutdown");
        fake.Record("never");
    });
    EXPECT_EQ(fake.Run({kProgram, kLink}), 0);
    release.join();
    for (const char* never : {"player", "loop", "message"}) {
        EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), never), 0) << never;
    }
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
