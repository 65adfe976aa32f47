#include "host/window_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "common/text.h"
#include "content/content_page.h"
#include "support/fake_browser_host.h"
#include "tenant_profile.h"

namespace {

using AppWindows::ScreenFallback;
using AppWindows::WindowController;
using Journal = TestSupport::Journal;
using FakeHost = TestSupport::FakeBrowserHost;

using TestSupport::Utf8;

class FakeWindow final : public AppWindows::WindowOperations {
  public:
    explicit FakeWindow(Journal& journal) : journal_(journal) {}
    bool minimized = false;
    bool screenAvailable = true;
    // Set by Close: the platform answers a close with the closed event.
    WindowController* controller = nullptr;

    void ShowAndRaise() override { journal_.push_back("showAndRaise"); }
    void Show() override { journal_.push_back("show"); }
    bool IsMinimized() const override { return minimized; }
    void SavePlacement() override { journal_.push_back("savePlacement"); }
    bool CoverScreen(ScreenFallback fallback) override {
        journal_.push_back(fallback == ScreenFallback::Primary ? "cover primary" : "cover nearest");
        return screenAvailable;
    }
    void RestorePlacement() override { journal_.push_back("restorePlacement"); }
    void RestoreAtSize(int width, int height) override {
        journal_.push_back("restoreAt " + std::to_string(width) + "x" + std::to_string(height));
    }
    void Close() override {
        journal_.push_back("close");
        if (controller != nullptr) controller->WindowClosed();
    }

  private:
    Journal& journal_;
};

// Writes each report the way the other journal lines read: "command home",
// "playerFullscreen on", "baseUrl https://...", "contentShown".
class RecordingObserver final : public AppObservers::AppObserver {
  public:
    explicit RecordingObserver(Journal& journal) : journal_(journal) {}
    void Report(std::string_view event,
                std::initializer_list<AppObservers::Field> fields) override {
        const auto text = [&](std::string_view name) {
            for (const auto& field : fields) {
                if (field.name == name) return std::get<std::string>(field.value);
            }
            return std::string();
        };
        const auto fullscreen = [&]() -> const bool* {
            for (const auto& field : fields) {
                if (field.name == "fullscreen") return &std::get<bool>(field.value);
            }
            return nullptr;
        };
        if (event == "command" && fullscreen() != nullptr) {
            journal_.push_back(text("name") + (*fullscreen() ? " on" : " off"));
        } else if (event == "command") {
            journal_.push_back("command " + text("name"));
        } else if (event == "baseUrl") {
            journal_.push_back("baseUrl " + text("value"));
        } else {
            journal_.push_back(std::string(event));
        }
    }

  private:
    Journal& journal_;
};

class WindowControllerTest : public ::testing::Test {
  protected:
    WindowControllerTest() {
        record.baseUrl = u"https://orbis.example.edu";
        record.contentKind = u"url_direct";
        record.contentUrl = u"https://orbis.example.edu/lesson/1";
        shell.closeSplash = [this] { journal.push_back("closeSplash"); };
        shell.showMessage = [this](const MessageBoxRequest& request) {
            journal.push_back("message");
            boxes.push_back(request);
            return MessageBoxResult::Ok;
        };
        shell.endRun = [this](int code) { journal.push_back("endRun " + std::to_string(code)); };
    }

    WindowController& Make(RunMode mode) {
        controller.emplace(mode, record, host, window, shell, attached);
        window.controller = &*controller;
        return *controller;
    }

    // Starts and forgets what the start wrote, for tests about what comes after.
    WindowController& Started(RunMode mode) {
        WindowController& started = Make(mode);
        EXPECT_TRUE(started.Start(u"/data/base"));
        journal.clear();
        return started;
    }

    void Message(std::u16string_view text) { host.events.webMessage(std::u16string(text)); }

    Journal journal;
    AppRecord record;
    FakeHost host{journal};
    FakeWindow window{journal};
    RecordingObserver observer{journal};
    // The product attaches none.
    AppObservers::AppObserver* attached = &observer;
    AppWindows::ShellOperations shell;
    std::vector<MessageBoxRequest> boxes;
    std::optional<WindowController> controller;
};

// --- Ready sequences ---------------------------------------------------------------------------

TEST_F(WindowControllerTest, PlayerShowsItsContentThenClosesTheSplashAndRaisesItself) {
    WindowController& player = Make(RunMode::Player);
    EXPECT_TRUE(player.Start(u"/data/base"));
    const Journal expected = {"initialize /data/base 1",
                              "viewSettings",
                              "script",
                              "script",
                              "navigate https://orbis.example.edu/lesson/1",
                              "closeSplash",
                              "showAndRaise",
                              "contentShown"};
    const DisplayPlan plan = PlanContentDisplay(record);
    ASSERT_EQ(plan.scripts.size(), 2u) << "the expected journal assumes the direct-link plan";
    EXPECT_EQ(journal, expected);
    EXPECT_TRUE(player.IsShown());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WindowControllerTest, InitPlansThePortalAndShowsItselfOnEveryFinishedLoad) {
    WindowController& init = Make(RunMode::Init);
    EXPECT_TRUE(init.Start(u"/data/base"));
    const DisplayPlan plan = PlanInitDisplay();
    Journal expected = {"initialize /data/base 1", "viewSettings"};
    expected.insert(expected.end(), plan.scripts.size(), "script");
    expected.push_back("navigate " + Utf8(plan.target));
    EXPECT_EQ(journal, expected) << "nothing is shown before a page has loaded";

    journal.clear();
    host.events.navigationCompleted(true, 0);
    host.events.navigationCompleted(false, 3);
    EXPECT_EQ(journal, (Journal{"closeSplash", "showAndRaise", "closeSplash", "showAndRaise"}));
}

TEST_F(WindowControllerTest, PlayerIgnoresFinishedLoads) {
    Started(RunMode::Player);
    EXPECT_FALSE(host.events.navigationCompleted);
}

TEST_F(WindowControllerTest, FailedStartClosesTheSplashBeforeItsBox) {
    host.reportAtOnce = false;
    for (RunMode mode : {RunMode::Player, RunMode::Init}) {
        journal.clear();
        boxes.clear();
        WindowController& started = Make(mode);
        EXPECT_FALSE(started.Start(u"/data/base"));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, u"Failed to initialize WebView2.\n\n" + host.status);
        EXPECT_EQ(boxes[0].caption, u"WebView2 Error");
        EXPECT_EQ(journal.back(), "message");
        EXPECT_EQ(journal[journal.size() - 2], "closeSplash");
        for (const char* never : {"viewSettings", "showAndRaise", "close", "contentShown"}) {
            EXPECT_EQ(std::count(journal.begin(), journal.end(), never), 0) << never;
        }
        EXPECT_FALSE(started.IsShown());
    }
}

TEST_F(WindowControllerTest, StartThatCompletesLaterRunsTheReadySequenceThen) {
    host.reportAtOnce.reset();
    WindowController& player = Make(RunMode::Player);
    EXPECT_TRUE(player.Start(u"/data/base"));
    EXPECT_EQ(journal, (Journal{"initialize /data/base 1"}));
    host.Complete(true);
    EXPECT_EQ(journal.back(), "contentShown");
    EXPECT_TRUE(player.IsShown());
    // A second report of the same start changes nothing.
    journal.clear();
    host.Complete(true);
    host.Complete(false);
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WindowControllerTest, LateFailureReportsItselfAndEndsTheRunWithOne) {
    host.reportAtOnce.reset();
    WindowController& player = Make(RunMode::Player);
    EXPECT_TRUE(player.Start(u"/data/base"));
    journal.clear();
    host.Complete(false);
    EXPECT_EQ(journal, (Journal{"closeSplash", "message", "close", "shutdown 5000", "endRun 1"}));
    EXPECT_EQ(boxes.size(), 1u);
}

// --- Prepared ahead of the window --------------------------------------------------------------

TEST_F(WindowControllerTest, PreparedBrowserStaysHiddenAndSilentUntilStart) {
    WindowController& player = Make(RunMode::Player);
    player.Prepare(u"/data/early");
    player.Prepare(u"/data/again");  // one engine per window
    EXPECT_EQ(journal, (Journal{"initialize /data/early 1", "hidden"}));
    // The link decoded meanwhile: the ready sequence plans what the record says at Start.
    record.contentUrl = u"https://orbis.example.edu/lesson/2";
    journal.clear();
    EXPECT_TRUE(player.Start(u"/data/unused"));
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.front(), "visible");
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "initialize /data/unused 1"), 0);
    EXPECT_EQ(
        std::count(journal.begin(), journal.end(), "navigate https://orbis.example.edu/lesson/2"),
        1);
    EXPECT_EQ(journal.back(), "contentShown");
    EXPECT_TRUE(player.IsShown());
}

TEST_F(WindowControllerTest, PreparedFailureIsToldOnlyWhenTheWindowStarts) {
    host.reportAtOnce = false;
    for (RunMode mode : {RunMode::Player, RunMode::Init}) {
        journal.clear();
        boxes.clear();
        WindowController& started = Make(mode);
        started.Prepare(u"/data/base");
        EXPECT_EQ(journal, (Journal{"initialize /data/base 1"}));
        EXPECT_TRUE(boxes.empty());
        EXPECT_FALSE(started.Start(u"/data/base"));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(journal.back(), "message");
        EXPECT_EQ(journal[journal.size() - 2], "closeSplash");
        EXPECT_EQ(std::count(journal.begin(), journal.end(), "close"), 0);
    }
}

TEST_F(WindowControllerTest, PreparedStartStillPendingCompletesAsAnUnpreparedOne) {
    host.reportAtOnce.reset();
    WindowController& player = Make(RunMode::Player);
    player.Prepare(u"/data/base");
    EXPECT_TRUE(player.Start(u"/data/base"));
    EXPECT_EQ(journal, (Journal{"initialize /data/base 1"}));
    host.Complete(true);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "hidden"), 0);
    EXPECT_EQ(journal.back(), "contentShown");
    journal.clear();
    host.Complete(false);  // a second report changes nothing
    EXPECT_TRUE(journal.empty());
}

// --- Message dispatch --------------------------------------------------------------------------

TEST_F(WindowControllerTest, InitRunsTheBarCommandsAndPrints) {
    Started(RunMode::Init);
    for (const char16_t* text :
         {u"btn_back", u"btn_reload", u"requestPrint", u"\"btn_back\"", u"toggleFullscreen",
          u"pageLoaded", u"btn_Back", u"requestPrint "}) {
        Message(text);
    }
    EXPECT_EQ(journal, (Journal{"command back", "back", "command reload", "reload", "command print",
                                "print"}));
}

TEST_F(WindowControllerTest, PlayerIgnoresTheBarAndPrintsObjectMessages) {
    Started(RunMode::Player);
    for (const char16_t* text : {u"btn_home", u"btn_back", u"btn_reload", u"btn_fullscreen",
                                 u"{\"kind\":\"job\",\"action\":\"requestPrint\"}"}) {
        Message(text);
    }
    EXPECT_EQ(journal, (Journal{"command print", "print"}));
    EXPECT_EQ(record.baseUrl, u"https://orbis.example.edu");
}

TEST_F(WindowControllerTest, HomeMovesTheBaseBeforeNavigating) {
    Started(RunMode::Init);
    Message(u"btn_home");
    const std::string homeBase = Tenant::HomeBase();
    EXPECT_EQ(journal,
              (Journal{"command home", "baseUrl " + homeBase, "navigate " + Tenant::HomeUrl()}));
    EXPECT_EQ(Utf8(record.baseUrl), homeBase);
}

TEST_F(WindowControllerTest, WithoutAnObserverTheSameSequencesRunUnreported) {
    attached = nullptr;
    WindowController& init = Started(RunMode::Init);
    Message(u"btn_home");
    Message(u"btn_fullscreen");
    host.events.navigationCompleted(true, 0);
    EXPECT_TRUE(init.IsFullscreen());
    EXPECT_EQ(journal, (Journal{"navigate " + Tenant::HomeUrl(), "savePlacement", "cover primary",
                                "closeSplash", "showAndRaise"}));
}

TEST_F(WindowControllerTest, ShowOnceOnlyWhileNotShownAlready) {
    host.reportAtOnce.reset();
    WindowController& player = Make(RunMode::Player);
    player.Start(u"/data/base");
    journal.clear();
    Message(u"\"pageLoaded\"");
    Message(u"pageLoaded");
    EXPECT_EQ(journal, (Journal{"show", "command showOnce"}));
    EXPECT_TRUE(player.IsShown());

    // Once the content display has shown the window, the page's notice does nothing.
    host.reportAtOnce = true;
    Started(RunMode::Player);
    Message(u"pageLoaded");
    EXPECT_TRUE(journal.empty());
}

// --- Fullscreen --------------------------------------------------------------------------------

TEST_F(WindowControllerTest, InitFullscreenReturnsToTheSavedPlacement) {
    WindowController& init = Started(RunMode::Init);
    Message(u"btn_fullscreen");
    EXPECT_TRUE(init.IsFullscreen());
    Message(u"btn_fullscreen");
    EXPECT_FALSE(init.IsFullscreen());
    EXPECT_EQ(journal, (Journal{"savePlacement", "cover primary", "initFullscreen on",
                                "restorePlacement", "initFullscreen off"}));
}

TEST_F(WindowControllerTest, InitFullscreenWithoutAScreenChangesNothing) {
    WindowController& init = Started(RunMode::Init);
    window.screenAvailable = false;
    Message(u"btn_fullscreen");
    EXPECT_FALSE(init.IsFullscreen());
    window.screenAvailable = true;
    Message(u"btn_fullscreen");
    EXPECT_TRUE(init.IsFullscreen()) << "the next toggle enters again";
    EXPECT_EQ(journal, (Journal{"savePlacement", "cover primary", "savePlacement", "cover primary",
                                "initFullscreen on"}));
}

TEST_F(WindowControllerTest, PlayerFullscreenComesBackAtTheCreationSize) {
    WindowController& player = Started(RunMode::Player);
    window.screenAvailable = false;  // the player's flag follows the request, not the screen
    Message(u"toggleFullscreen");
    EXPECT_TRUE(player.IsFullscreen());
    Message(u"\"toggleFullscreen\"");
    EXPECT_FALSE(player.IsFullscreen());
    EXPECT_EQ(journal, (Journal{"cover nearest", "playerFullscreen on", "restoreAt 1280x720",
                                "playerFullscreen off"}));
}

// --- Navigation --------------------------------------------------------------------------------

TEST_F(WindowControllerTest, InitTracksTheTenantAndNeverCancels) {
    Started(RunMode::Init);
    bool cancel = false;
    host.events.navigationStarting(u"https://www.wikipedia.org/wiki/Moon", cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(record.baseUrl, u"https://www.wikipedia.org");
    EXPECT_EQ(journal, (Journal{"baseUrl https://www.wikipedia.org"}));
}

TEST_F(WindowControllerTest, PlayerCancelsForeignNavigationsAndKeepsTheBase) {
    Started(RunMode::Player);
    bool cancel = false;
    host.events.navigationStarting(u"https://evil.example.org/phish", cancel);
    EXPECT_TRUE(cancel);
    cancel = false;
    host.events.navigationStarting(u"about:blank", cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(record.baseUrl, u"https://orbis.example.edu");
    EXPECT_TRUE(journal.empty());
}

// --- Window events -----------------------------------------------------------------------------

TEST_F(WindowControllerTest, MinimisedViewStaysHiddenUntilRestored) {
    WindowController& player = Started(RunMode::Player);
    window.minimized = true;
    player.WindowMinimized();
    player.WindowActivated();
    player.SystemResumed();
    EXPECT_EQ(journal, (Journal{"hidden"}));
    window.minimized = false;
    player.WindowRestored();
    player.WindowResized(800, 600);
    player.WindowMoved();
    player.SystemSuspending();
    player.WindowActivated();
    EXPECT_EQ(journal, (Journal{"hidden", "restoreVisibility", "resize 800x600",
                                "restoreVisibility", "moved", "hidden", "restoreVisibility"}));
}

TEST_F(WindowControllerTest, ClosingShutsTheBrowserDownAndEndsWithZero) {
    Started(RunMode::Init).WindowClosed();
    EXPECT_EQ(journal, (Journal{"shutdown 5000", "endRun 0"}));
}

}  // namespace
