#include "host/webview_host_qt.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEngineCertificateError>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QWidget>
#include <cerrno>
#include <filesystem>

#include "common/app_observer.h"
#include "common/text.h"
#include "content/navigation_policy.h"
#include "content/page_scripts.h"
#include "host/webview_bridge_script.h"
#include "host/webview_page_qt.h"
#include "host/webview_status.h"
#include "print/page_print_qt.h"
#include "print/printer_filter.h"
#include "print/printer_picker_qt.h"

namespace WebView {
namespace {

namespace Status = WebViewStatus;

// errno values are reported the way system errors are on Windows, HRESULT_FROM_WIN32 style.
Status::Result FromErrno(int error) {
    return Status::FromSystemError(static_cast<std::uint32_t>(error < 0 ? 0 : error));
}

// Chromium's zoom and browser shortcuts stay with the host: zoom keys and Ctrl+wheel never reach
// the page's zoom.
class ViewKeyFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel) {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            if (wheel->modifiers() & Qt::ControlModifier) {
                return true;
            }
        }
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool control = key->modifiers() & Qt::ControlModifier;
            const int code = key->key();
            if (control && (code == Qt::Key_Plus || code == Qt::Key_Minus ||
                            code == Qt::Key_Equal || code == Qt::Key_0)) {
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// The profile's own folders: Chromium keeps its storage and cache there and, when it cannot
// write them, fails silently page by page. Checked here so that the start fails instead.
constexpr std::u16string_view kStageCreateProfileStorage = u"CreateProfileStorage";
constexpr const char* kStorageFolder = "/storage";
constexpr const char* kCacheFolder = "/cache";

enum class ExistingEntry { Accepted, MustBeWritableFolder };

Status::Result MakeFolder(const std::string& path, ExistingEntry existing) {
    if (mkdir(path.c_str(), 0700) == 0) return Status::kOk;
    if (errno != EEXIST) return FromErrno(errno);
    if (existing == ExistingEntry::Accepted) return Status::kOk;
    struct stat entry = {};
    if (stat(path.c_str(), &entry) != 0) return FromErrno(errno);
    if (!S_ISDIR(entry.st_mode)) return FromErrno(ENOTDIR);
    return access(path.c_str(), W_OK | X_OK) == 0 ? Status::kOk : FromErrno(errno);
}

Status::Result WriteTest(const std::string& folder) {
    const std::string probe = folder + "/.zelvan_write_test";
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return FromErrno(errno);
    close(fd);
    unlink(probe.c_str());
    return Status::kOk;
}

Status::Result CreateProfileStorage(const std::string& folder) {
    for (const char* name : {kStorageFolder, kCacheFolder}) {
        const Status::Result result =
            MakeFolder(folder + name, ExistingEntry::MustBeWritableFolder);
        if (result < 0) return result;
    }
    return Status::kOk;
}

QString BridgeScriptText() {
    QFile library(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    QString text;
    if (library.open(QIODevice::ReadOnly)) {
        text = QString::fromUtf8(library.readAll());
    }
    return QString::fromStdU16String(WebViewBridge::BuildBridgeScript(text.toStdU16String()));
}

}  // namespace

WebViewHost::WebViewHost(QWidget* window, const std::u16string& baseUrl)
    : parentWindow_(window), baseUrl_(baseUrl), printFlow_(PrintOperations()) {}

WebViewHost::~WebViewHost() {
    Shutdown(kShutdownWait);
}

void WebViewHost::Initialize(const std::u16string& dataFolderBase, int attempts) {
    shutDown_ = false;
    statusText_.clear();
    BrowserStartup::StartupPlatform platform;
    platform.runtime = {Status::kRuntimeQtWebEngine,
                        QString::fromLatin1(qVersion()).toStdU16String(),
                        Status::kQtWebEngineFolderSuffix};
    platform.windowExists = !parentWindow_.isNull();
    platform.processId = static_cast<std::uint64_t>(getpid());
    platform.ticks = static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch());
    platform.createFolder = [](const std::u16string& folder) {
        return MakeFolder(Text::Utf16ToUtf8(folder), ExistingEntry::Accepted);
    };
    platform.writeTest = [](const std::u16string& folder) {
        return WriteTest(Text::Utf16ToUtf8(folder));
    };
    platform.steps.push_back({kStageCreateProfileStorage, [](const std::u16string& folder) {
                                  return CreateProfileStorage(Text::Utf16ToUtf8(folder));
                              }});
    // Qt makes its profile and view at once; what could stop them, the folders, has been
    // checked by the steps before.
    platform.createBrowser = [this](const std::u16string& folder,
                                    const BrowserStartup::AttemptFinished& finished) {
        CreateBrowser(folder);
        finished(Status::kOk, Status::kStageComplete);
    };
    startup_.Run(dataFolderBase, attempts, std::move(platform),
                 [this](const BrowserStartup::StartupReport& report) {
                     statusText_ = report.statusText;
                     if (events.initialized) events.initialized(report.succeeded, report.result);
                 });
}

void WebViewHost::CreateBrowser(const std::u16string& folder) {
    const QString path = QString::fromStdU16String(folder);
    const QString storageName = QString::fromStdU16String(
        std::filesystem::path(Text::Utf16ToUtf8(folder)).filename().u16string());
    profile_ = new QWebEngineProfile(storageName);
    profile_->setPersistentStoragePath(path + QString::fromLatin1(kStorageFolder));
    profile_->setCachePath(path + QString::fromLatin1(kCacheFolder));
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    interceptor_ = new RequestInterceptor(profile_);
    interceptor_->decide = [this](const std::u16string& uri) {
        return events.resourceRequested ? events.resourceRequested(uri) : RequestDecision{};
    };
    profile_->setUrlRequestInterceptor(interceptor_);

    view_ = new QWebEngineView(parentWindow_);
    page_ = new HostPage(profile_, view_);
    page_->setBackgroundColor(QColor(0x12, 0x12, 0x12));
    view_->setPage(page_);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    // Key and wheel events go to the view's inner render widget, created later: filter them
    // application-wide for as long as the view lives.
    qApp->installEventFilter(new ViewKeyFilter(view_));
    if (parentWindow_->layout() == nullptr) {
        auto* layout = new QVBoxLayout(parentWindow_);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    parentWindow_->layout()->addWidget(view_);
    view_->show();
    SetupEventHandlers();
}

void WebViewHost::SetupEventHandlers() {
    page_->onNavigationStarting = [this](const std::u16string& uri, bool& cancel) {
        if (events.navigationStarting) {
            events.navigationStarting(uri, cancel);
        }
    };
    QObject::connect(page_, &QWebEnginePage::loadFinished, page_, [this](bool ok) {
        if (auto* observer = AppObservers::Current()) {
            observer->Report("loadFinished",
                             {{"url", page_->url().toString().toStdString()}, {"ok", ok}});
        }
        if (events.navigationCompleted) {
            events.navigationCompleted(ok, ok ? 0 : 1);
        }
    });
    QObject::connect(page_, &QWebEnginePage::featurePermissionRequested, page_,
                     [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                         PermissionKind kind = PermissionKind::Other;
                         if (feature == QWebEnginePage::MediaAudioCapture) {
                             kind = PermissionKind::Microphone;
                         } else if (feature == QWebEnginePage::MediaVideoCapture ||
                                    feature == QWebEnginePage::MediaAudioVideoCapture) {
                             kind = PermissionKind::Camera;
                         }
                         const std::u16string uri = origin.toString().toStdU16String();
                         const PermissionDecision decision =
                             DecidePermission(kind, uri.empty() ? nullptr : &uri, baseUrl_);
                         // Other kinds keep the engine's own handling: no answer is given.
                         if (decision != PermissionDecision::Default) {
                             page_->setFeaturePermission(
                                 origin, feature,
                                 decision == PermissionDecision::Allow
                                     ? QWebEnginePage::PermissionGrantedByUser
                                     : QWebEnginePage::PermissionDeniedByUser);
                         }
                     });
    QObject::connect(page_, &QWebEnginePage::newWindowRequested, page_,
                     [this](QWebEngineNewWindowRequest& request) {
                         const std::u16string uri =
                             request.requestedUrl().toString().toStdU16String();
                         if (!uri.empty() && view_ != nullptr) {
                             Navigate(uri);
                         }
                     });
    QObject::connect(page_, &QWebEnginePage::certificateError, page_,
                     [](const QWebEngineCertificateError& error) {
                         QWebEngineCertificateError refused = error;
                         refused.rejectCertificate();
                         if (auto* observer = AppObservers::Current()) {
                             observer->Report("certificateError",
                                              {{"url", error.url().toString().toStdString()}});
                         }
                     });
    QObject::connect(page_, &QWebEnginePage::fullScreenRequested, page_,
                     [](QWebEngineFullScreenRequest request) { request.accept(); });
    QObject::connect(page_, &QWebEnginePage::printRequested, page_,
                     [this] { ShowSystemPrintDialog(); });

    bridge_ = new PageBridge(page_);
    bridge_->onMessage = [this](const std::u16string& text) {
        if (events.webMessage) {
            events.webMessage(text);
        }
    };
    channel_ = new QWebChannel(page_);
    channel_->registerObject(
        QString::fromStdU16String(std::u16string(WebViewBridge::kChannelObjectName)), bridge_);
    page_->setWebChannel(channel_, QWebEngineScript::MainWorld);
    AddScriptOnDocumentCreated(BridgeScriptText().toStdU16String());
    AddScriptOnDocumentCreated(PageScripts::ServiceWorkerBlockScript());
}

BrowserShutdown WebViewHost::Shutdown(std::chrono::milliseconds) {
    if (shutDown_) {
        return BrowserShutdown::NothingToWaitFor;
    }
    shutDown_ = true;
    // Shutdown may be reached from inside one of the page's own signals (a window closed while a
    // load finishes), so the objects go at the next turn of the event loop, page before view
    // before profile: the profile must outlive its pages. The entry point flushes these
    // deletions before the application object goes.
    if (view_ != nullptr) {
        view_->hide();
        view_->setPage(nullptr);
    }
    for (QObject* object : std::initializer_list<QObject*>{page_, view_, profile_}) {
        if (object != nullptr) {
            object->deleteLater();
        }
    }
    page_ = nullptr;
    bridge_ = nullptr;
    channel_ = nullptr;
    view_ = nullptr;
    profile_ = nullptr;
    interceptor_ = nullptr;
    return BrowserShutdown::NothingToWaitFor;
}

void WebViewHost::Resize(int width, int height) {
    if (view_ != nullptr && width > 0 && height > 0) {
        view_->resize(width, height);
    }
}

void WebViewHost::RestoreVisibility() {
    if (view_ != nullptr && parentWindow_ && !parentWindow_->isMinimized()) {
        view_->show();
    }
}

void WebViewHost::SetVisible(bool visible) {
    if (view_ != nullptr) {
        view_->setVisible(visible);
    }
}

void WebViewHost::Navigate(const std::u16string& url) {
    if (page_ != nullptr && MayNavigate(url, baseUrl_)) {
        page_->load(QUrl(QString::fromStdU16String(url)));
    }
}

void WebViewHost::NavigateToString(const std::u16string& html) {
    if (page_ != nullptr) {
        page_->expectingGeneratedPage = true;
        page_->setHtml(QString::fromStdU16String(html), QUrl(QStringLiteral("about:blank")));
    }
}

void WebViewHost::GoBack() {
    if (page_ != nullptr && page_->history()->canGoBack()) {
        page_->triggerAction(QWebEnginePage::Back);
    }
}

void WebViewHost::Reload() {
    if (page_ != nullptr) {
        page_->triggerAction(QWebEnginePage::Reload);
    }
}

void WebViewHost::AddScriptOnDocumentCreated(const std::u16string& script) {
    if (page_ == nullptr) {
        return;
    }
    QWebEngineScript entry;
    // Names keep registration order visible when inspecting the collection.
    entry.setName(QStringLiteral("orbis-%1").arg(scriptCount_++, 3, 10, QLatin1Char('0')));
    entry.setSourceCode(QString::fromStdU16String(script));
    entry.setInjectionPoint(QWebEngineScript::DocumentCreation);
    entry.setWorldId(QWebEngineScript::MainWorld);
    entry.setRunsOnSubFrames(true);
    page_->scripts().insert(entry);
}

void WebViewHost::ApplyViewSettings() {
    if (page_ == nullptr) {
        return;
    }
    QWebEngineSettings* settings = page_->settings();
    // The built-in PDF viewer needs plugins; without them a PDF turns into a download.
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    settings->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    settings->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    settings->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    view_->setAcceptDrops(false);
}

void WebViewHost::ShowSystemPrintDialog() {
    if (auto* observer = AppObservers::Current()) observer->Report("printDialog", {});
    if (page_ == nullptr) {
        return;
    }
    // The request arrives inside one of Chromium's tasks, which do not nest: a modal loop
    // started there would hold back every browser task (script results, the PDF) until the
    // picker closed. The picker therefore opens from the Qt event loop.
    const std::weak_ptr<int> alive = lifetime_;
    QMetaObject::invokeMethod(
        page_,
        [this, alive] {
            if (!alive.expired()) printFlow_.Run();
        },
        Qt::QueuedConnection);
}

Printing::PrintOperations WebViewHost::PrintOperations() {
    Printing::PrintOperations operations;
    operations.pageExists = [this] { return page_ != nullptr; };
    operations.enumeratePrinters = Printing::EnumeratePhysicalPrinters;
    // Holds nothing of the host: the host may be gone when the picker's modal loop returns.
    operations.showPicker = [owner = parentWindow_](std::vector<Printing::PrinterEntry> printers) {
        return Printing::ShowPrinterPickerFor(owner, std::move(printers));
    };
    operations.printerChosen = [](const std::u16string& printer) {
        if (auto* observer = AppObservers::Current())
            observer->Report("printerChosen", {{"printer", printer}});
    };
    operations.printPage = [this](const std::u16string& printer,
                                  std::function<void(Printing::PrintResult)> done) {
        Printing::PrintPageToPrinter(page_, printer, std::move(done));
    };
    operations.postMessage = [this](std::u16string_view json) {
        PostWebMessageAsJson(std::u16string(json));
    };
    return operations;
}

void WebViewHost::PostWebMessageAsJson(const std::u16string& json) {
    if (auto* observer = AppObservers::Current())
        observer->Report("postWebMessage", {{"json", json}});
    if (bridge_ != nullptr) {
        emit bridge_->messageToPage(QString::fromStdU16String(json));
    }
}

}  // namespace WebView
