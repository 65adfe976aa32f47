#include "e2e_log.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

namespace E2e {
namespace {

QString Env(const char* name) {
    return qEnvironmentVariable(name);
}

// Milliseconds since the hooks were first used (the "launch" event, at the top of main).
QElapsedTimer& ProcessClock() {
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock;
}

QFile& LogFile() {
    static QFile file(Env("ORBIS_E2E_LOG"));
    if (!file.isOpen() && !file.fileName().isEmpty()) {
        file.open(QIODevice::Append | QIODevice::WriteOnly);
    }
    return file;
}

QJsonObject WindowState(QWidget* window) {
    QJsonObject state;
    state.insert("title", window->windowTitle());
    state.insert("width", window->width());
    state.insert("height", window->height());
    state.insert("x", window->x());
    state.insert("y", window->y());
    state.insert("visible", window->isVisible());
    state.insert("fullscreen", window->isFullScreen());
    state.insert("minimized", window->isMinimized());
    // The icon comes from the built-in artwork: a null picture means the resource is missing.
    state.insert("icon", !window->windowIcon().pixmap(32).isNull());
    const auto* view = window->findChild<QWebEngineView*>();
    state.insert("viewVisible", view != nullptr && view->isVisible());
    return state;
}

constexpr int kStatePollMs = 20;

// Runs the steps of ORBIS_E2E_STEPS one after another; asynchronous steps continue from their
// completion callbacks.
class StepRunner {
  public:
    StepRunner(QWidget* window, QWebEngineView* view, QJsonArray steps)
        : window_(window), view_(view), steps_(std::move(steps)) {}

    void Next() {
        if (!window_ || !view_ || index_ >= steps_.size()) {
            return;
        }
        const QJsonObject step = steps_.at(index_++).toObject();
        if (step.contains("wait")) {
            QTimer::singleShot(step.value("wait").toInt(), [this] { Next(); });
        } else if (step.contains("js")) {
            const QString name = step.value("name").toString();
            view_->page()->runJavaScript(step.value("js").toString(),
                                         [this, name](const QVariant& v) {
                                             Probe(name, QJsonValue::fromVariant(v));
                                             Next();
                                         });
        } else if (step.contains("waitFor")) {
            Poll(step.value("waitFor").toString(), step.value("name").toString(),
                 step.value("timeout").toInt(5000));
        } else if (step.contains("key")) {
            SendKey(QKeySequence(step.value("key").toString()));
            QTimer::singleShot(0, [this] { Next(); });
        } else if (step.contains("screenshot")) {
            const QString dir = Env("ORBIS_E2E_SCREENSHOT_DIR");
            QDir().mkpath(dir);
            const QString path = QDir(dir).filePath(step.value("screenshot").toString());
            window_->grab().save(path);
            LogEvent("screenshot", {{"path", path}});
            QTimer::singleShot(0, [this] { Next(); });
        } else if (step.contains("minimize")) {
            window_->showMinimized();
            QTimer::singleShot(0, [this] { Next(); });
        } else if (step.contains("restore")) {
            window_->showNormal();
            QTimer::singleShot(0, [this] { Next(); });
        } else if (step.contains("waitWindow")) {
            WaitForWindow(step.value("waitWindow").toObject(), step.value("name").toString(),
                          step.value("timeout").toInt(5000));
        } else if (step.contains("waitForFile")) {
            WaitForFile(step.value("waitForFile").toString(), step.value("name").toString(),
                        step.value("timeout").toInt(15000));
        } else if (step.contains("windowState")) {
            LogEvent("window", WindowState(window_));
            QTimer::singleShot(0, [this] { Next(); });
        } else if (step.contains("picker")) {
            RunPickerStep(step, [this] { Next(); });
        } else if (step.contains("quit")) {
            QTimer::singleShot(0, window_, [window = window_] {
                if (window) window->close();
            });
        } else {
            Next();
        }
    }

  private:
    void Probe(const QString& name, const QJsonValue& result) {
        LogEvent("probe", {{"name", name}, {"result", result}});
    }

    void Poll(const QString& expression, const QString& name, int remainingMs) {
        view_->page()->runJavaScript(expression, [=, this](const QVariant& v) {
            if (v.toBool()) {
                Probe(name, true);
                Next();
            } else if (remainingMs <= 0) {
                Probe(name, false);
                Next();
            } else {
                QTimer::singleShot(100, [=, this] { Poll(expression, name, remainingMs - 100); });
            }
        });
    }

    // Waits until every given field of the window's state has the given value, then logs the
    // state; the probe tells whether it got there in time.
    void WaitForWindow(const QJsonObject& expected, const QString& name, int remainingMs) {
        const QJsonObject state = WindowState(window_);
        bool reached = true;
        for (auto field = expected.begin(); field != expected.end(); ++field) {
            reached = reached && state.value(field.key()) == field.value();
        }
        if (reached || remainingMs <= 0) {
            LogEvent("window", state);
            Probe(name, reached);
            Next();
            return;
        }
        QTimer::singleShot(kStatePollMs, [=, this] {
            if (window_) WaitForWindow(expected, name, remainingMs - kStatePollMs);
        });
    }

    // Waits for the test to say, by creating a file, that what it does from outside is done.
    void WaitForFile(const QString& path, const QString& name, int remainingMs) {
        const bool there = QFile::exists(path);
        if (there || remainingMs <= 0) {
            Probe(name, there);
            Next();
            return;
        }
        QTimer::singleShot(kStatePollMs, [=, this] {
            if (window_) WaitForFile(path, name, remainingMs - kStatePollMs);
        });
    }

    void SendKey(const QKeySequence& sequence) {
        if (sequence.isEmpty()) {
            return;
        }
        const QKeyCombination combination = sequence[0];
        QWidget* target = view_->focusProxy() ? view_->focusProxy() : view_.data();
        target->setFocus();
        QString text;
        if (combination.key() >= Qt::Key_A && combination.key() <= Qt::Key_Z) {
            const char letter = static_cast<char>('a' + (combination.key() - Qt::Key_A));
            text = QString(QChar(letter));
            if (combination.keyboardModifiers() & Qt::ShiftModifier) {
                text = text.toUpper();
            }
        }
        QKeyEvent press(QEvent::KeyPress, combination.key(), combination.keyboardModifiers(), text);
        QKeyEvent release(QEvent::KeyRelease, combination.key(), combination.keyboardModifiers(),
                          text);
        QCoreApplication::sendEvent(target, &press);
        QCoreApplication::sendEvent(target, &release);
    }

    QPointer<QWidget> window_;
    QPointer<QWebEngineView> view_;
    QJsonArray steps_;
    qsizetype index_ = 0;
};

}  // namespace

bool Active() {
    static const bool active = !Env("ORBIS_E2E_LOG").isEmpty();
    return active;
}

void Log(const QJsonObject& event) {
    QFile& file = LogFile();
    if (file.isOpen()) {
        QJsonObject stamped = event;
        stamped.insert("ms", static_cast<double>(ProcessClock().nsecsElapsed()) / 1e6);
        file.write(QJsonDocument(stamped).toJson(QJsonDocument::Compact));
        file.write("\n");
        file.flush();
    }
}

QStringList ExtraChromiumArguments() {
    QStringList arguments;
    for (const QString& line : Env("ORBIS_E2E_CHROMIUM_ARGS").split('\n')) {
        if (!line.trimmed().isEmpty()) {
            arguments << line.trimmed();
        }
    }
    return arguments;
}

void AttachMainWindow(QWidget* window, QWebEngineView* view) {
    if (!Active()) {
        return;
    }
    const int timeout = Env("ORBIS_E2E_TIMEOUT_MS").toInt();
    if (timeout > 0) {
        QPointer<QWidget> guarded(window);
        QTimer::singleShot(timeout, [guarded] {
            LogEvent("timeout");
            // An open modal dialog would keep its own loop running after the window closed.
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
            if (guarded) {
                guarded->close();
            }
        });
    }
    QFile stepsFile(Env("ORBIS_E2E_STEPS"));
    if (stepsFile.fileName().isEmpty() || !stepsFile.open(QIODevice::ReadOnly)) {
        return;
    }
    const QJsonArray steps = QJsonDocument::fromJson(stepsFile.readAll()).array();
    // One runner per process, started by the first finished main-frame load.
    static StepRunner* runner = nullptr;
    if (runner != nullptr) {
        return;
    }
    runner = new StepRunner(window, view, steps);
    auto started = std::make_shared<bool>(false);
    QObject::connect(view, &QWebEngineView::loadFinished, view, [started](bool) {
        if (!*started) {
            *started = true;
            runner->Next();
        }
    });
}

}  // namespace E2e
