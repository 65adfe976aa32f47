#pragma once
// The end-to-end build's event log and the steps it runs against the application, read by
// tests/e2e/harness.py. Active when ORBIS_E2E_LOG names the log file.
#include <QJsonObject>
#include <QStringList>
#include <functional>

class QWidget;
class QWebEngineView;

namespace E2e {

bool Active();
// Appends one event, stamped with the milliseconds since the observer was attached.
void Log(const QJsonObject& event);

inline void LogEvent(const char* name, QJsonObject fields = {}) {
    if (Active()) {
        fields.insert(QStringLiteral("event"), QString::fromUtf8(name));
        Log(fields);
    }
}

// Chromium switches the test asks for, one per line of ORBIS_E2E_CHROMIUM_ARGS.
QStringList ExtraChromiumArguments();
// Starts the scripted steps after the view's first finished load, and the overall time limit.
void AttachMainWindow(QWidget* window, QWebEngineView* view);
// The printer picker's contents and state, logged when it shows.
void LogPrinterPicker(QWidget* dialog);
// A "picker" step: waits for the open picker, then acts on it as a user would.
void RunPickerStep(const QJsonObject& step, std::function<void()> next);

}  // namespace E2e
