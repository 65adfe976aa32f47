// What the end-to-end build attaches to the application: an observer that writes every report to
// the event log and runs the scripted steps, and recorded answers in place of message boxes and
// the desktop's browser, which a test could not close.
#include <QJsonObject>
#include <type_traits>
#include <variant>

#include "app/desktop_attachment_qt.h"
#include "e2e_log.h"

namespace {

QJsonValue JsonOf(const AppObservers::Field::Value& value) {
    return std::visit(
        [](const auto& held) -> QJsonValue {
            using Held = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<Held, std::string>) {
                return QString::fromStdString(held);
            } else if constexpr (std::is_same_v<Held, std::int64_t>) {
                return static_cast<qint64>(held);
            } else {
                return held;
            }
        },
        value);
}

class LogObserver final : public AppObservers::QtObserver {
  public:
    void Report(std::string_view event,
                std::initializer_list<AppObservers::Field> fields) override {
        QJsonObject logged;
        for (const AppObservers::Field& field : fields) {
            logged.insert(
                QString::fromUtf8(field.name.data(), static_cast<qsizetype>(field.name.size())),
                JsonOf(field.value));
        }
        E2e::LogEvent(std::string(event).c_str(), logged);
    }
    void MainWindowReady(QWidget* window, QWebEngineView* view) override {
        E2e::AttachMainWindow(window, view);
    }
    void PrinterPickerShown(QWidget* dialog) override { E2e::LogPrinterPicker(dialog); }
};

MessageBoxResult AnswerMessageBox(const MessageBoxRequest& request) {
    E2e::LogEvent("messageBox", {{"caption", QString::fromStdU16String(request.caption)},
                                 {"text", QString::fromStdU16String(request.text)},
                                 {"flags", static_cast<qint64>(request.flags)}});
    const QString answer = qEnvironmentVariable("ORBIS_E2E_BOX_ANSWER").toLower();
    if (answer == "cancel") return MessageBoxResult::Cancel;
    if (answer == "yes") return MessageBoxResult::Yes;
    if (answer == "no") return MessageBoxResult::No;
    return MessageBoxResult::Ok;
}

}  // namespace

DesktopAttachment AttachToDesktopApplication() {
    DesktopAttachment attached;
    for (const QString& argument : E2e::ExtraChromiumArguments()) {
        attached.chromiumArguments.push_back(argument.toStdString());
    }
    // Without a log to write, this build behaves as the product does.
    if (!E2e::Active()) {
        return attached;
    }
    E2e::LogEvent("launch");
    attached.observer = std::make_unique<LogObserver>();
    attached.showMessage = AnswerMessageBox;
    attached.openInBrowser = [](const std::u16string& address) {
        E2e::LogEvent("openInBrowser", {{"url", QString::fromStdU16String(address)}});
    };
    return attached;
}
