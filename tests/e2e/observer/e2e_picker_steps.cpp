// Steps for the printer picker: what it shows, and user actions on it (real mouse and key
// events, delivered while its modal loop runs).
#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include "e2e_log.h"
#include "print/printer_picker_qt.h"

namespace E2e {
namespace {

QWidget* OpenPicker() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr && modal->objectName() == QLatin1String("printerPicker") ? modal
                                                                                     : nullptr;
}

void Click(QWidget* target, QPoint at, bool twice) {
    const QPointF local(at);
    const QPointF global(target->mapToGlobal(at));
    const auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
        QMouseEvent event(type, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    if (twice) {
        send(QEvent::MouseButtonDblClick, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
    }
}

void PressKey(QWidget* dialog, Qt::Key key) {
    QWidget* target = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

void ClickRow(QWidget* dialog, int row, bool twice) {
    auto* list = dialog->findChild<QListWidget*>(QStringLiteral("printerList"));
    if (list == nullptr || list->item(row) == nullptr) return;
    Click(list->viewport(), list->visualItemRect(list->item(row)).center(), twice);
}

void Act(QWidget* dialog, const QJsonObject& step) {
    const QString action = step.value("picker").toString();
    const int row = step.value("row").toInt();
    if (action == "print" || action == "cancel") {
        auto* button = dialog->findChild<QPushButton*>(action + QStringLiteral("Button"));
        if (button != nullptr && button->isVisible()) Click(button, button->rect().center(), false);
    } else if (action == "select") {
        ClickRow(dialog, row, false);
    } else if (action == "doubleClick") {
        ClickRow(dialog, row, true);
    } else if (action == "escape") {
        PressKey(dialog, Qt::Key_Escape);
    } else if (action == "enter") {
        PressKey(dialog, Qt::Key_Return);
    } else if (action == "close") {
        dialog->close();
    } else if (action == "screenshot") {
        const QString dir = qEnvironmentVariable("ORBIS_E2E_SCREENSHOT_DIR");
        dialog->grab().save(QDir(dir).filePath(step.value("file").toString()));
    } else {
        LogPrinterPicker(dialog);
    }
}

void WaitAndAct(QJsonObject step, std::function<void()> next, int remainingMs) {
    if (QWidget* dialog = OpenPicker()) {
        Act(dialog, step);
        // Let the dialog close (or not) before the step reports what it left behind.
        QTimer::singleShot(50, [step, next] {
            LogEvent("pickerStep",
                     {{"action", step.value("picker")}, {"open", OpenPicker() != nullptr}});
            next();
        });
    } else if (remainingMs <= 0) {
        LogEvent("pickerStep", {{"action", step.value("picker")}, {"missing", true}});
        next();
    } else {
        QTimer::singleShot(50,
                           [step, next, remainingMs] { WaitAndAct(step, next, remainingMs - 50); });
    }
}

}  // namespace

void LogPrinterPicker(QWidget* dialog) {
    if (!Active() || dialog == nullptr) return;
    QJsonArray printers;
    int selected = -1;
    bool listVisible = false;
    if (auto* list = dialog->findChild<QListWidget*>(QStringLiteral("printerList"))) {
        for (int row = 0; row < list->count(); ++row) {
            printers.append(QJsonObject{
                {"name", list->item(row)->text()},
                {"isDefault", list->item(row)->data(Printing::kPrinterIsDefaultRole).toBool()}});
        }
        selected = list->currentRow();
        listVisible = list->isVisible();
    }
    const auto visible = [dialog](const char* name) {
        const auto* widget = dialog->findChild<QWidget*>(QString::fromLatin1(name));
        return widget != nullptr && widget->isVisible();
    };
    const auto* message = dialog->findChild<QLabel*>(QStringLiteral("emptyMessage"));
    const QWidget* focus = dialog->focusWidget();
    LogEvent("printerPicker", {{"title", dialog->windowTitle()},
                               {"printers", printers},
                               {"selected", selected},
                               {"listVisible", listVisible},
                               {"printVisible", visible("printButton")},
                               {"cancelVisible", visible("cancelButton")},
                               {"messageVisible", visible("emptyMessage")},
                               {"message", message != nullptr ? message->text() : QString()},
                               {"focus", focus != nullptr ? focus->objectName() : QString()},
                               {"modal", dialog->isModal()},
                               {"width", dialog->width()},
                               {"height", dialog->height()}});
}

void RunPickerStep(const QJsonObject& step, std::function<void()> next) {
    WaitAndAct(step, std::move(next), step.value("timeout").toInt(5000));
}

}  // namespace E2e
