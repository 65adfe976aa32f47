#include "host/app_windows_qt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStandardPaths>
#include <QWebEngineView>
#include <filesystem>

#include "common/app_observer_qt.h"
#include "common/artwork_qt.h"
#include "host/webview_host_qt.h"
#include "host/window_controller.h"

namespace AppWindows {
namespace {

// The main window of either mode: paints the loading text until the view covers it and hands
// its events to the controller once there is one.
class MainWindow : public QWidget {
  public:
    explicit MainWindow(const AppRecord& record) {
        setAttribute(Qt::WA_DeleteOnClose, false);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::black);
        setPalette(palette);
        setAutoFillBackground(true);
        setWindowTitle(QString::fromStdU16String(record.displayName + u" V " + record.version));
        setWindowIcon(QIcon(QPixmap::fromImage(
            BuiltInArtwork(IconPixels::kWidth, IconPixels::kHeight, IconPixels::kPixels))));
    }

    void Attach(WindowController* controller) { controller_ = controller; }

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
        if (controller_ != nullptr) {
            if (event->type() == QEvent::WindowStateChange) {
                if (isMinimized()) {
                    controller_->WindowMinimized();
                } else {
                    controller_->WindowRestored();
                }
            } else if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
                controller_->WindowActivated();
            }
        }
        QWidget::changeEvent(event);
    }

    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (controller_ != nullptr && !isMinimized()) {
            controller_->WindowResized(width(), height());
        }
    }

    void moveEvent(QMoveEvent* event) override {
        QWidget::moveEvent(event);
        if (controller_ != nullptr) controller_->WindowMoved();
    }

    void closeEvent(QCloseEvent* event) override {
        event->accept();
        if (controller_ != nullptr) {
            controller_->WindowClosed();
        } else {
            QCoreApplication::exit(0);
        }
    }

  private:
    WindowController* controller_ = nullptr;
};

class QtWindowOperations final : public WindowOperations {
  public:
    explicit QtWindowOperations(QWidget* window) : window_(window) {}

    void ShowAndRaise() override {
        window_->show();
        window_->raise();
        window_->activateWindow();
        window_->update();
    }
    void Show() override {
        window_->show();
        window_->update();
    }
    bool IsMinimized() const override { return window_->isMinimized(); }
    void SavePlacement() override { savedGeometry_ = window_->saveGeometry(); }
    // Fullscreen is asked of the window manager, and the window also takes the screen's whole
    // area itself: without a window manager (or with one that ignores the request) it must
    // still cover the screen. Qt knows the window's screen; the fallback is the primary one.
    bool CoverScreen(ScreenFallback) override {
        QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
        if (screen == nullptr) return false;
        window_->setGeometry(screen->geometry());
        window_->showFullScreen();
        return true;
    }
    void RestorePlacement() override {
        window_->showNormal();
        window_->restoreGeometry(savedGeometry_);
    }
    void RestoreAtSize(int width, int height) override {
        window_->showNormal();
        window_->resize(width, height);
    }
    void Close() override { window_->close(); }

  private:
    QWidget* window_;
    QByteArray savedGeometry_;
};

// Per-user browser data of one run mode: Chromium locks a profile folder to one process, so the
// init and player processes cannot share one as the Windows build does.
std::u16string DataFolderBase(const AppRecord& record, RunMode mode) {
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const std::filesystem::path appFolder =
        std::filesystem::path(dataHome.toStdU16String()) / record.displayName;
    std::error_code ignored;
    std::filesystem::create_directories(appFolder, ignored);
    const char16_t* name =
        mode == RunMode::Player ? u"WebEngineData-player" : u"WebEngineData-init";
    return (appFolder / name).u16string();
}

}  // namespace

struct DesktopWindows::MainWindowParts {
    MainWindowParts(const AppRecord& record, RunMode windowMode)
        : mode(windowMode), window(record), operations(&window) {
        if (mode == RunMode::Player) {
            window.resize(kPlayerWidth, kPlayerHeight);
        } else {
            window.resize(kInitWidth, kInitHeight);
        }
    }
    RunMode mode;
    MainWindow window;
    QtWindowOperations operations;
    std::unique_ptr<WebView::WebViewHost> host;
    std::unique_ptr<WindowController> controller;

    void CreateBrowser(AppRecord& record, const ShellOperations& shell) {
        if (controller != nullptr) return;
        host = std::make_unique<WebView::WebViewHost>(&window, record.baseUrl);
        controller = std::make_unique<WindowController>(mode, record, *host, operations, shell,
                                                        AppObservers::Current());
    }

    bool Start(AppRecord& record, const ShellOperations& shell) {
        CreateBrowser(record, shell);
        window.Attach(controller.get());
        if (!controller->Start(DataFolderBase(record, mode))) return false;
        if (auto* observer = AppObservers::CurrentQt()) {
            observer->MainWindowReady(&window, host->view());
        }
        return true;
    }
};

DesktopWindows::DesktopWindows(AppRecord& record, ShellOperations shell)
    : record_(record), shell_(std::move(shell)) {}

DesktopWindows::~DesktopWindows() {
    DestroyHosts();
    // The browser objects go by deferred deletion, before the window that holds their view.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    main_.reset();
}

DesktopWindows::MainWindowParts& DesktopWindows::MainWindowFor(RunMode mode) {
    if (main_ == nullptr || main_->mode != mode) {
        main_ = std::make_unique<MainWindowParts>(record_, mode);
    }
    return *main_;
}

void DesktopWindows::PrepareBrowser(RunMode mode) {
    MainWindowParts& parts = MainWindowFor(mode);
    if (parts.controller != nullptr) return;
    parts.CreateBrowser(record_, shell_);
    parts.controller->Prepare(DataFolderBase(record_, mode));
}

void DesktopWindows::OpenLoadingWindow() {
    MainWindowFor(RunMode::Player).window.show();
    QCoreApplication::processEvents();
}

bool DesktopWindows::CreatePlayerWindow() {
    MainWindowParts& parts = MainWindowFor(RunMode::Player);
    return parts.Start(record_, shell_);
}

bool DesktopWindows::CreateInitScreen(bool& hostCreated) {
    MainWindowParts& parts = MainWindowFor(RunMode::Init);
    parts.window.show();
    hostCreated = true;
    return parts.Start(record_, shell_);
}

void DesktopWindows::DestroyHosts() {
    if (main_ == nullptr || main_->host == nullptr) return;
    main_->window.Attach(nullptr);
    main_->controller.reset();
    main_->host->Shutdown(WebView::kShutdownWait);
    main_->host.reset();
}

}  // namespace AppWindows
