#include "host/app_windows_qt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QScreen>
#include <QStandardPaths>
#include <QWebEngineView>
#include <QWindow>
#include <filesystem>
#include <memory>

#include "app/desktop_ui.h"
#include "app/splash.h"
#include "common/app_record.h"
#include "common/message_box.h"
#include "common/run_mode.h"
#include "content/content_page.h"
#include "content/navigation_policy.h"
#include "content/request_filter.h"
#include "host/e2e_hooks_qt.h"
#include "host/web_messages.h"
#include "host/webview_host_qt.h"
#include "host/webview_status.h"

namespace AppWindows {
namespace {

constexpr int kInitWidth = 1024;
constexpr int kInitHeight = 768;
constexpr int kPlayerWidth = 1280;
constexpr int kPlayerHeight = 720;

std::unique_ptr<WebView::WebViewHost>& PlayerHostSlot() {
    static std::unique_ptr<WebView::WebViewHost> host;
    return host;
}
std::unique_ptr<WebView::WebViewHost>& InitHostSlot() {
    static std::unique_ptr<WebView::WebViewHost> host;
    return host;
}

// The main window of either mode: paints the loading text until the view covers it, hides the
// view while minimised and ends the process when closed.
class MainWindow : public QWidget {
  public:
    explicit MainWindow(RunMode mode) : mode_(mode) {
        setAttribute(Qt::WA_DeleteOnClose, false);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::black);
        setPalette(palette);
        setAutoFillBackground(true);
        setWindowTitle(QString::fromStdU16String(App().displayName + u" V " + App().version));
        setWindowIcon(QIcon(QStringLiteral(":/orbis/orbis-campus.png")));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.setPen(QColor(200, 200, 200));
        QFont font(QStringLiteral("Segoe UI"));
        font.setPixelSize(24);
        font.setWeight(QFont::Normal);
        painter.setFont(font);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("جاري التحميل... Loading..."));
    }

    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange) {
            if (WebView::WebViewHost* host = Host()) {
                if (isMinimized()) {
                    host->SetVisible(false);
                } else {
                    host->RestoreVisibility();
                }
            }
        } else if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
                   !isMinimized()) {
            if (WebView::WebViewHost* host = Host()) {
                host->RestoreVisibility();
            }
        }
        QWidget::changeEvent(event);
    }

    void closeEvent(QCloseEvent* event) override {
        event->accept();
        DestroyHosts();
        QCoreApplication::exit(0);
    }

  private:
    WebView::WebViewHost* Host() const {
        return mode_ == RunMode::Player ? PlayerHost() : InitHost();
    }
    RunMode mode_;
};

// Per-user browser data of one run mode: Chromium locks a profile folder to one process, so the
// init and player processes cannot share one as the Windows build does.
std::u16string DataFolderBase(RunMode mode) {
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const std::filesystem::path appFolder =
        std::filesystem::path(dataHome.toStdU16String()) / App().displayName;
    std::error_code ignored;
    std::filesystem::create_directories(appFolder, ignored);
    const char16_t* name =
        mode == RunMode::Player ? u"WebEngineData-player" : u"WebEngineData-init";
    return (appFolder / name).u16string();
}

void LogBaseUrl() {
    E2eHooks::LogEvent("baseUrl", {{"value", QString::fromStdU16String(App().baseUrl)}});
}

// Brings a window above all others once without leaving it on top.
void ShowAndRaise(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    window->update();
}

// Unowned like every other box of the application; topmost, so it comes up above the window.
void ReportBrowserFailure(const WebView::WebViewHost& host) {
    CloseSplash();
    ShowMessageBox({WebViewStatus::InitFailureBoxText(host.statusText),
                    std::u16string(WebViewStatus::kInitFailedCaption),
                    MessageBoxFlags::kIconError | MessageBoxFlags::kSetForeground |
                        MessageBoxFlags::kTopmost});
}

void ApplyPlan(WebView::WebViewHost& host, const DisplayPlan& plan) {
    for (const std::u16string& script : plan.scripts) {
        host.AddScriptOnDocumentCreated(script);
    }
    if (plan.action == DisplayPlan::Action::NavigateToString) {
        host.NavigateToString(plan.target);
    } else {
        host.Navigate(plan.target);
    }
}

// Fullscreen is asked of the window manager, and the window is also given the screen's whole
// area itself: without a window manager (or with one that ignores the request) it must still
// cover the screen.
void CoverScreen(QWidget* window, QScreen* screen) {
    window->setGeometry(screen->geometry());
    window->showFullScreen();
}

// Init fullscreen keeps the window's own placement to come back to.
struct InitFullscreenState {
    bool active = false;
    QByteArray savedGeometry;
};
InitFullscreenState& InitFullscreen() {
    static InitFullscreenState state;
    return state;
}

void ToggleInitFullscreen(QWidget* window) {
    InitFullscreenState& state = InitFullscreen();
    if (state.active) {
        window->showNormal();
        window->restoreGeometry(state.savedGeometry);
        state.active = false;
    } else {
        QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
        if (screen == nullptr) {
            return;
        }
        state.savedGeometry = window->saveGeometry();
        CoverScreen(window, screen);
        state.active = true;
    }
    E2eHooks::LogEvent("command", {{"name", "initFullscreen"}, {"fullscreen", state.active}});
}

// The player toggle covers the nearest screen and comes back at the creation size, not at the
// earlier placement.
void TogglePlayerFullscreen() {
    PlayerWindowState& state = PlayerState();
    QWidget* window = state.window;
    const bool entering = !state.isFullscreen;
    state.isFullscreen = entering;
    if (entering) {
        QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            CoverScreen(window, screen);
        }
    } else {
        window->showNormal();
        window->resize(kPlayerWidth, kPlayerHeight);
    }
    E2eHooks::LogEvent("command", {{"name", "playerFullscreen"}, {"fullscreen", entering}});
}

// Either window prints through its own host; without one the request goes unanswered.
void RequestPrint(WebView::WebViewHost* host) {
    E2eHooks::LogEvent("command", {{"name", "print"}});
    if (host != nullptr) host->ShowSystemPrintDialog();
}

void HandleInitWebMessage(QWidget* window, const std::u16string& text) {
    WebView::WebViewHost* host = InitHost();
    switch (ClassifyWebMessage(text, RunMode::Init)) {
        case WebCommand::Print:
            RequestPrint(host);
            break;
        case WebCommand::Home:
            if (host != nullptr) {
                E2eHooks::LogEvent("command", {{"name", "home"}});
                const std::u16string home = ApplyHomeCommand(App());
                LogBaseUrl();
                host->Navigate(home);
            }
            break;
        case WebCommand::Back:
            if (host != nullptr) {
                E2eHooks::LogEvent("command", {{"name", "back"}});
                host->GoBack();
            }
            break;
        case WebCommand::Reload:
            if (host != nullptr) {
                E2eHooks::LogEvent("command", {{"name", "reload"}});
                host->Reload();
            }
            break;
        case WebCommand::InitFullscreen:
            ToggleInitFullscreen(window);
            break;
        default:
            break;
    }
}

void ShowPlayerOnce() {
    PlayerWindowState& state = PlayerState();
    if (!state.isShown && state.window) {
        state.isShown = true;
        state.window->show();
        state.window->update();
        E2eHooks::LogEvent("command", {{"name", "showOnce"}});
    }
}

void HandlePlayerWebMessage(const std::u16string& text) {
    switch (ClassifyWebMessage(text, RunMode::Player)) {
        case WebCommand::Print:
            RequestPrint(PlayerHost());
            break;
        case WebCommand::PlayerFullscreen:
            if (PlayerState().window) TogglePlayerFullscreen();
            break;
        case WebCommand::ShowOnce:
            ShowPlayerOnce();
            break;
        default:
            break;
    }
}

void InstallCommonHandlers(WebView::WebViewHost& host, RunMode mode) {
    host.onResourceRequested = [mode](const std::u16string& uri) {
        return DecideRequest(uri, mode, App().baseUrl);
    };
}

}  // namespace

PlayerWindowState& PlayerState() {
    static PlayerWindowState state;
    return state;
}

WebView::WebViewHost* PlayerHost() {
    return PlayerHostSlot().get();
}
WebView::WebViewHost* InitHost() {
    return InitHostSlot().get();
}

QWidget* CreateLoadingWindow() {
    auto* window = new MainWindow(RunMode::Player);
    window->resize(kPlayerWidth, kPlayerHeight);
    window->show();
    QCoreApplication::processEvents();
    return window;
}

bool CreatePlayerWindow(QWidget* window) {
    if (window == nullptr) {
        return false;
    }
    PlayerWindowState& state = PlayerState();
    state.window = window;
    state.isShown = false;
    PlayerHostSlot() = std::make_unique<WebView::WebViewHost>();
    WebView::WebViewHost& host = *PlayerHostSlot();
    InstallCommonHandlers(host, RunMode::Player);
    host.onWebMessage = HandlePlayerWebMessage;
    host.onNavigationStarting = [](const std::u16string& uri, bool& cancel) {
        if (!IsPlayerNavigationAllowed(uri, App())) {
            cancel = true;
        }
    };
    host.onInitialized = [&host, window](bool succeeded, std::int32_t) {
        if (!succeeded) {
            return;
        }
        host.ApplyViewSettings();
        ApplyPlan(host, PlanContentDisplay(App()));
        PlayerState().isShown = true;
        CloseSplash();
        ShowAndRaise(window);
        E2eHooks::LogEvent("contentShown");
    };
    if (!host.Initialize(window, DataFolderBase(RunMode::Player), 1)) {
        ReportBrowserFailure(host);
        return false;
    }
    E2eHooks::AttachMainWindow(window, host.view());
    return true;
}

bool CreateInitScreen(bool& hostCreated) {
    hostCreated = false;
    auto* window = new MainWindow(RunMode::Init);
    window->resize(kInitWidth, kInitHeight);
    window->show();
    InitHostSlot() = std::make_unique<WebView::WebViewHost>();
    hostCreated = true;
    WebView::WebViewHost& host = *InitHostSlot();
    host.isInitScreen = true;
    InstallCommonHandlers(host, RunMode::Init);
    host.onWebMessage = [window](const std::u16string& text) {
        HandleInitWebMessage(window, text);
    };
    host.onNavigationStarting = [](const std::u16string& uri, bool&) {
        if (TrackTenant(uri, App())) {
            LogBaseUrl();
        }
    };
    host.onNavigationCompleted = [window](bool, int) {
        CloseSplash();
        ShowAndRaise(window);
    };
    host.onInitialized = [&host](bool succeeded, std::int32_t) {
        if (!succeeded) {
            CloseSplash();
            return;
        }
        host.ApplyViewSettings();
        ApplyPlan(host, PlanInitDisplay());
    };
    if (!host.Initialize(window, DataFolderBase(RunMode::Init), 1)) {
        ReportBrowserFailure(host);
        return false;
    }
    E2eHooks::AttachMainWindow(window, host.view());
    return true;
}

void DestroyHosts() {
    for (auto* slot : {&PlayerHostSlot(), &InitHostSlot()}) {
        if (std::unique_ptr<WebView::WebViewHost> host = std::move(*slot)) {
            host->Shutdown(5000);
        }
    }
}

}  // namespace AppWindows
