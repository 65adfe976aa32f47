#pragma once
// End-to-end test hooks of the Qt application: an event log, scripted steps run against the page
// and answered message boxes. Compiled in only when ORBIS_E2E_HOOKS is defined; in every other
// build each hook is an empty inline function and nothing of it reaches the executable.
#include <QJsonObject>
#include <QStringList>
#include <functional>
#include <optional>

#include "common/message_box.h"

class QWidget;
class QWebEngineView;

namespace E2eHooks {

#ifdef ORBIS_E2E_HOOKS
bool Active();
void Log(const QJsonObject& event);
// The recorded answer when the hooks are active (the box is never shown), else nothing.
std::optional<MessageBoxResult> AnswerMessageBox(const MessageBoxRequest& request);
// Chromium switches the test asks for, one per line of ORBIS_E2E_CHROMIUM_ARGS.
QStringList ExtraChromiumArguments();
// Starts the scripted steps after the view's first finished load, and the overall time limit.
void AttachMainWindow(QWidget* window, QWebEngineView* view);
// The printer picker's contents and state, logged when it shows.
void LogPrinterPicker(QWidget* dialog);
// A "picker" step: waits for the open picker, then acts on it as a user would.
void RunPickerStep(const QJsonObject& step, std::function<void()> next);
#else
inline bool Active() {
    return false;
}
inline void Log(const QJsonObject&) {}
inline std::optional<MessageBoxResult> AnswerMessageBox(const MessageBoxRequest&) {
    return {};
}
inline QStringList ExtraChromiumArguments() {
    return {};
}
inline void AttachMainWindow(QWidget*, QWebEngineView*) {}
inline void LogPrinterPicker(QWidget*) {}
#endif

inline void LogEvent(const char* name, QJsonObject fields = {}) {
    if (Active()) {
        fields.insert(QStringLiteral("event"), QString::fromUtf8(name));
        Log(fields);
    }
}

}  // namespace E2eHooks
