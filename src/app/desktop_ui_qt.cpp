#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "app/desktop_ui.h"

namespace {

QMessageBox::Icon IconOf(std::uint32_t flags) {
    switch (flags & 0xF0u) {
        case MessageBoxFlags::kIconError:
            return QMessageBox::Critical;
        case MessageBoxFlags::kIconWarning:
            return QMessageBox::Warning;
        case MessageBoxFlags::kIconInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

MessageBoxResult ShowMessageBox(const MessageBoxRequest& request) {
    QMessageBox box(IconOf(request.flags), QString::fromStdU16String(request.caption),
                    QString::fromStdU16String(request.text));
    const std::uint32_t buttons = request.flags & 0xFu;
    if (buttons == MessageBoxFlags::kYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    } else if (buttons == MessageBoxFlags::kOkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    if (request.flags & MessageBoxFlags::kTopmost) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    // The server's own text may be Arabic: such boxes read right to left.
    if (request.flags & MessageBoxFlags::kRtlReading) {
        box.setLayoutDirection(Qt::RightToLeft);
    }
    switch (box.exec()) {
        case QMessageBox::Ok:
            return MessageBoxResult::Ok;
        case QMessageBox::Cancel:
            return MessageBoxResult::Cancel;
        case QMessageBox::Yes:
            return MessageBoxResult::Yes;
        case QMessageBox::No:
            return MessageBoxResult::No;
        default:
            return MessageBoxResult::Closed;
    }
}

void OpenInDesktopBrowser(const std::u16string& address) {
    const QString url = QString::fromStdU16String(address);
    QDesktopServices::openUrl(QUrl(url));
}
