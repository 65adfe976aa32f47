// Entry point of the Linux application: prepares Chromium's environment, creates the Qt
// application and runs the shared start-up sequence over the Qt implementations of its steps.
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QSocketNotifier>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/desktop_attachment_qt.h"
#include "app/desktop_ui.h"
#include "app/instance_lock.h"
#include "app/splash.h"
#include "app/splash_layout.h"
#include "app/startup.h"
#include "app/url_protocol.h"
#include "common/app_record.h"
#include "common/platform_paths.h"
#include "common/text.h"
#include "host/app_windows_qt.h"
#include "host/browser_arguments.h"
#include "service/scheme_link.h"
#include "update/update_check.h"

namespace {

// Chromium reads its switches once, when the first web engine object appears; they go on the
// command line after --webEngineArgs. QTWEBENGINE_CHROMIUM_FLAGS is cleared because, when it is
// set at all, Qt ignores those command-line switches.
std::vector<std::string> ChromiumArguments(const char* program,
                                           const std::vector<std::string>& attached) {
    if (geteuid() == 0) {
        // Chromium's sandbox refuses to run as root.
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    }
    unsetenv("QTWEBENGINE_REMOTE_DEBUGGING");
    unsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    std::vector<std::string> arguments{program, "--webEngineArgs"};
    for (const std::u16string& entry : BrowserArguments::Switches()) {
        arguments.push_back(Text::Utf16ToUtf8(entry));
    }
    arguments.insert(arguments.end(), attached.begin(), attached.end());
    return arguments;
}

int terminationPipe[2] = {-1, -1};
// A session end that arrives while start-up still waits on the network ends start-up there: a
// quit asked of an event loop that is not running yet would be lost.
bool terminationRequested = false;

void OnTerminationSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here; the event loop does the rest.
    [[maybe_unused]] const ssize_t written = write(terminationPipe[1], &byte, 1);
}

// A session that ends (logout, shutdown) sends SIGTERM: the windows then close the normal way,
// so the browser profile is flushed and the exit code is that of a normal end.
void CloseWindowsOnTermination(QApplication& application, AppWindows::DesktopWindows& windows) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, terminationPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, &application);
    QObject::connect(notifier, &QSocketNotifier::activated, &application, [notifier, &windows] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(terminationPipe[0], &byte, 1);
        notifier->setEnabled(false);
        windows.DestroyHosts();
        terminationRequested = true;
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// Handles events, user input aside (it stays queued as it did while start-up blocked), until
// `done` holds; false when the session ended meanwhile.
bool WaitWhileEventsRun(const std::function<bool()>& done) {
    while (!done()) {
        if (terminationRequested) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        QEventLoop::ExcludeUserInputEvents);
    }
    return !terminationRequested;
}

UpdatePromptOperations UpdatePromptOnDesktop(const DesktopAttachment& attached) {
    UpdatePromptOperations operations;
    operations.showMessage = attached.showMessage ? attached.showMessage : ShowMessageBox;
    // No updater exists for this platform yet: the prompt falls back to the browser.
    operations.startUpdater = [](const std::u16string&) { return false; };
    if (attached.openInBrowser) {
        operations.openInBrowser = attached.openInBrowser;
    } else {
        operations.openInBrowser = OpenInDesktopBrowser;
    }
    return operations;
}

}  // namespace

int main(int argc, char** argv) {
    DesktopAttachment attached = AttachToDesktopApplication();
    AppObservers::AttachQt(attached.observer.get());
    const auto showMessage = attached.showMessage ? attached.showMessage : ShowMessageBox;
    std::vector<std::u16string> arguments;
    std::u16string rawCommandLine;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(Text::Utf8ToUtf16(argv[i]));
        if (i > 0) {
            rawCommandLine += (i > 1 ? u" " : u"") + arguments.back();
        }
    }

    std::vector<std::string> chromium =
        ChromiumArguments(argc > 0 ? argv[0] : "orbis-campus", attached.chromiumArguments);
    std::vector<char*> qtArgv;
    for (std::string& entry : chromium) {
        qtArgv.push_back(entry.data());
    }
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(chromium.size());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(qtArgc, qtArgv.data());
    application.setQuitOnLastWindowClosed(false);
    application.setApplicationName(QString::fromStdU16String(App().displayName));
    // Windows and browser hosts live from here until just before the application object goes.
    AppWindows::ShellOperations shell;
    shell.closeSplash = CloseSplash;
    shell.showMessage = showMessage;
    shell.endRun = [](int exitCode) { QCoreApplication::exit(exitCode); };
    auto windows = std::make_unique<AppWindows::DesktopWindows>(App(), std::move(shell));
    CloseWindowsOnTermination(application, *windows);

    StartupOperations operations;
    operations.showMessage = showMessage;
    operations.acquireInstanceLock = AcquireInstanceLock;
    operations.showSplash = [] { ShowSplash(kSplashDefaultMaxWidth, kSplashDefaultMaxHeight); };
    // Every Linux release the Qt build supports is current enough; there is no version gate.
    operations.classifyOsVersion = [] { return 10; };
    // Qt WebEngine is a package dependency, so there is no runtime to install.
    operations.ensureRuntime = [] { return true; };
    operations.prepareBrowser = [&windows](RunMode mode) { windows->PrepareBrowser(mode); };
    QAbstractEventDispatcher* const uiEvents = QAbstractEventDispatcher::instance();
    operations.wakeUiThread = [uiEvents] { uiEvents->wakeUp(); };
    operations.waitWhileEventsRun = WaitWhileEventsRun;
    operations.checkForUpdate = CheckForUpdate;
    operations.promptForUpdate = [&attached](bool required, std::u16string_view address,
                                             const AppRecord& record) {
        return PromptForUpdate(required, address, record, UpdatePromptOnDesktop(attached));
    };
    operations.registerScheme = [] {
        RegisterUrlProtocol(App().tenantId, StartupTexts::kSchemeDescription,
                            PlatformPaths::ExecutablePath().u16string(), App().displayName);
    };
    operations.openLoadingWindow = [&windows] {
        windows->OpenLoadingWindow();
        // The splash stays in front of the loading text while the link is decoded.
        RaiseSplash();
    };
    operations.parseSchemeArgs = ParseSchemeArgs;
    // After a session end the hosts are gone for good: no browser starts again, and the run
    // ends the way the session asked.
    operations.createPlayerWindow = [&windows] {
        return terminationRequested || windows->CreatePlayerWindow();
    };
    operations.createInitScreen = [&windows](bool& hostCreated) {
        return terminationRequested || windows->CreateInitScreen(hostCreated);
    };
    operations.runMessageLoop = [] { return terminationRequested ? 0 : QApplication::exec(); };
    operations.shutdown = [&windows] {
        windows->DestroyHosts();
        CloseSplash();
    };

    if (auto* observer = attached.observer.get()) {
        // The sequence makes the same choice again; this copy only tells the observer.
        const bool player =
            ChooseLink(arguments, rawCommandLine, App().tenantId).mode == RunMode::Player;
        observer->Report("start", {{"mode", player ? "player" : "init"}});
    }
    const int exitCode = RunStartup(arguments, rawCommandLine, App(), operations);
    if (auto* observer = attached.observer.get()) observer->Report("exit", {{"code", exitCode}});
    // The browser objects are released by deferred deletion, which must run while Qt exists.
    windows.reset();
    AppObservers::AttachQt(nullptr);
    return exitCode;
}
