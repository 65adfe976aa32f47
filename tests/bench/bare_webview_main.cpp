// The smallest program that shows one web page with Qt WebEngine: an application, one view, one
// load. It is the yardstick the start-up benchmarks hold the desktop client against, so it does
// nothing the client would not also have to do (no switches, no scripts).
//
//   bare_webview_main URL --log FILE --probe EXPR [--size WxH] [--storage DIR] [--linger-ms N]
//                     [--timeout-ms N]
//
// The window is WxH (default 1024x768): give it the size of the window it is compared with, as
// the memory the browser holds for a page grows with the surface it paints.
// Without --storage the page uses Qt's default profile, which keeps nothing on disk. With it, the
// page gets a profile of its own kept in DIR the way the client keeps its own (storage and cache
// folders, persistent cookies): a browser that remembers a signed-in user pays for that disk
// profile at every start, and this is the yardstick with the same bill.
// After the first finished load, EXPR (a script expression giving a number, 0 while its answer
// is not there yet) is evaluated in the page until it is non-zero or the time runs out. The
// caller hands the client the same expression, so both sides measure alike. FILE receives JSON
// lines, flushed one by one, in the client's test-log format:
//   {"event":"loadFinished","ok":true,"url":"..."}
//   {"event":"probe","name":"fcp","result":<the expression's answer>}
//   {"event":"exit","code":N}
// The program quits N ms after the probe report (so a reader can sample the process meanwhile),
// or with code 2 when the time limit passes first.
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSize>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kProbePollMs = 10;

struct Options {
    QString url;
    QString logPath;
    QString probe;
    QString storage;
    QSize size{1024, 768};
    int lingerMs = 150;
    int timeoutMs = 20000;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--log" && hasValue) {
            options.logPath = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--probe" && hasValue) {
            options.probe = QString::fromUtf8(argv[++i]);
        } else if (arg == "--size" && hasValue) {
            const QStringList parts = QString::fromLatin1(argv[++i]).split(QLatin1Char('x'));
            if (parts.size() != 2) return false;
            options.size = QSize(parts[0].toInt(), parts[1].toInt());
            if (options.size.isEmpty()) return false;
        } else if (arg == "--storage" && hasValue) {
            options.storage = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--linger-ms" && hasValue) {
            options.lingerMs = std::atoi(argv[++i]);
        } else if (arg == "--timeout-ms" && hasValue) {
            options.timeoutMs = std::atoi(argv[++i]);
        } else if (options.url.isEmpty() && arg.rfind("--", 0) != 0) {
            options.url = QString::fromLocal8Bit(argv[i]);
        } else {
            return false;
        }
    }
    return !options.url.isEmpty() && !options.logPath.isEmpty() && !options.probe.isEmpty();
}

class EventLog {
  public:
    explicit EventLog(const QString& path) : file_(path) {
        file_.open(QIODevice::WriteOnly | QIODevice::Append);
    }
    void Write(const char* event, QJsonObject fields = {}) {
        fields.insert(QStringLiteral("event"), QString::fromUtf8(event));
        file_.write(QJsonDocument(fields).toJson(QJsonDocument::Compact));
        file_.write("\n");
        file_.flush();
    }

  private:
    QFile file_;
};

// Asks the page until it has an answer (a page that finished loading may not have painted yet),
// then reports it once.
void ReportProbe(QWebEnginePage* page, const QString& probe, EventLog* log, int lingerMs,
                 int remainingMs) {
    page->runJavaScript(probe, [=](const QVariant& value) {
        const double answer = value.toDouble();
        if (answer == 0 && remainingMs > 0) {
            QTimer::singleShot(kProbePollMs, page, [=] {
                ReportProbe(page, probe, log, lingerMs, remainingMs - kProbePollMs);
            });
            return;
        }
        log->Write("probe", {{"name", "fcp"}, {"result", answer}});
        QTimer::singleShot(lingerMs, [] { QCoreApplication::exit(0); });
    });
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(
            stderr,
            "usage: %s URL --log FILE --probe EXPR [--size WxH] [--storage DIR] [--linger-ms N] "
            "[--timeout-ms N]\n",
            argc > 0 ? argv[0] : "bare_webview_main");
        return 64;
    }
    // The same concession the client makes: Chromium's sandbox refuses to run as root.
    if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);

    // Only the program name reaches Qt, so none of our options can be read as a Qt or Chromium
    // switch.
    int qtArgc = 1;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(qtArgc, argv);
    EventLog log(options.logPath);

    // Outlives the view, whose page it serves.
    QWebEngineProfile* profile = nullptr;
    if (!options.storage.isEmpty()) {
        profile = new QWebEngineProfile(QStringLiteral("bare"), &application);
        profile->setPersistentStoragePath(options.storage + QStringLiteral("/storage"));
        profile->setCachePath(options.storage + QStringLiteral("/cache"));
        profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    }
    QWebEngineView view;
    if (profile != nullptr) view.setPage(new QWebEnginePage(profile, &view));
    view.resize(options.size);
    bool reported = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, &view, [&](bool ok) {
        log.Write("loadFinished", {{"ok", ok}, {"url", view.url().toString()}});
        if (!reported) {
            reported = true;
            ReportProbe(view.page(), options.probe, &log, options.lingerMs, options.timeoutMs);
        }
    });
    QTimer::singleShot(options.timeoutMs, [&log] {
        log.Write("timeout");
        QCoreApplication::exit(2);
    });
    view.load(QUrl(options.url));
    view.show();

    const int code = QApplication::exec();
    log.Write("exit", {{"code", code}});
    return code;
}
