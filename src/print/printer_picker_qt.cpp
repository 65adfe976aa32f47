#include "print/printer_picker_qt.h"

#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>

#include "common/app_observer_qt.h"
#include "print/printer_picker_model.h"
#include "print/printer_picker_template.h"

namespace Printing {

namespace {

static_assert(kPrinterIsDefaultRole == Qt::UserRole + 1);

QColor ToQColor(Rgb colour) {
    return QColor(colour.r, colour.g, colour.b);
}

QFont PickerFont(FontStyle style) {
    QFont font(QString::fromStdU16String(std::u16string(PickerLook::kFontFace)));
    font.setPixelSize(-style.height);
    font.setWeight(static_cast<QFont::Weight>(style.weight));
    return font;
}

QRect ToQRect(const PixelRect& rect) {
    return QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1));
}

// Rounded rectangles as GDI draws them: the corner size is the ellipse's diameter.
void FillRoundedRect(QPainter& painter, const QRect& rect, int cornerSize, QColor fill,
                     const QColor* border) {
    painter.setPen(border != nullptr ? QPen(*border, 1) : QPen(Qt::NoPen));
    painter.setBrush(fill);
    const QRectF shape = border != nullptr ? QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5) : rect;
    painter.drawRoundedRect(shape, cornerSize / 2.0, cornerSize / 2.0);
}

class PrinterCardDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), PickerLook::kItemHeight);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const bool isDefault = index.data(kPrinterIsDefaultRole).toBool();
        const QRect item = option.rect;
        const PixelRect card = PickerLook::CardRect(
            {item.left(), item.top(), item.left() + item.width(), item.top() + item.height()});
        const PickerLook::Colours colours = PickerLook::Card(selected);

        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillRect(item, ToQColor(PickerLook::kListBackground));
        const QColor border = ToQColor(colours.border);
        FillRoundedRect(*painter, ToQRect(card), PickerLook::kCardCorner, ToQColor(colours.fill),
                        &border);

        const QFont nameFont = PickerFont(PickerLook::CardFont(selected));
        const QRect nameRect = ToQRect(PickerLook::NameRect(card, isDefault));
        painter->setFont(nameFont);
        painter->setPen(ToQColor(colours.text));
        const QString name = QFontMetrics(nameFont).elidedText(index.data().toString(),
                                                               Qt::ElideRight, nameRect.width());
        painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);

        if (isDefault) {
            const PickerLook::Colours badge = PickerLook::Badge(selected);
            const QRect badgeRect = ToQRect(PickerLook::BadgeRect(card));
            FillRoundedRect(*painter, badgeRect, PickerLook::kBadgeCorner, ToQColor(badge.fill),
                            nullptr);
            painter->setFont(PickerFont(PickerLook::kBadgeFont));
            painter->setPen(ToQColor(badge.text));
            painter->drawText(badgeRect, Qt::AlignCenter | Qt::TextSingleLine,
                              QString::fromStdU16String(std::u16string(PickerLook::kDefaultBadge)));
        }
        painter->restore();
    }
};

class PickerButton : public QPushButton {
  public:
    PickerButton(const QString& text, bool isPrint, QWidget* parent)
        : QPushButton(text, parent), isPrint_(isPrint) {
        // Neither button is ever a default button: Enter closes nothing.
        setAutoDefault(false);
        setDefault(false);
        setFocusPolicy(Qt::StrongFocus);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const bool pressed = isDown();
        const PickerLook::Colours colours =
            isPrint_ ? PickerLook::PrintButton(pressed) : PickerLook::CancelButton(pressed);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor border = ToQColor(colours.border);
        FillRoundedRect(painter, rect(), PickerLook::kButtonCorner, ToQColor(colours.fill),
                        &border);
        painter.setFont(PickerFont(PickerLook::kSelectedItemFont));
        painter.setPen(ToQColor(colours.text));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text().left(64));
    }

  private:
    bool isPrint_;
};

class PrinterPickerDialog : public QDialog {
  public:
    PrinterPickerDialog(QWidget* owner, std::vector<PrinterEntry> printers)
        : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                             Qt::WindowSystemMenuHint),
          model_(std::move(printers)) {
        setObjectName(QStringLiteral("printerPicker"));
        const DialogLayout& layout = PrinterPickerLayout();
        setWindowTitle(QString::fromStdU16String(std::u16string(layout.title)));
        setModal(true);
        ComputeDialogBaseUnits(layout);
        setAutoFillBackground(true);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, ToQColor(PickerLook::kDialogBackground));
        colours.setColor(QPalette::WindowText, ToQColor(PickerLook::kStaticText));
        setPalette(colours);
        setFixedSize(ToPixels(layout.rect).size());

        auto* title = new QLabel(Text(PickerControl::kTitle), this);
        title->setObjectName(QStringLiteral("title"));
        title->setFont(PickerFont(PickerLook::kTitleFont));
        Place(title, PickerControl::kTitle);

        list_ = new QListWidget(this);
        list_->setObjectName(QStringLiteral("printerList"));
        list_->setItemDelegate(new PrinterCardDelegate(list_));
        list_->setFrameShape(QFrame::NoFrame);
        list_->setUniformItemSizes(true);
        list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        QPalette listColours = list_->palette();
        listColours.setColor(QPalette::Base, ToQColor(PickerLook::kListBackground));
        listColours.setColor(QPalette::Text, ToQColor(PickerLook::kListText));
        list_->setPalette(listColours);
        Place(list_, PickerControl::kList);

        message_ = new QLabel(Text(PickerControl::kEmptyMessage), this);
        message_->setObjectName(QStringLiteral("emptyMessage"));
        message_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        message_->setFont(PickerFont(PickerLook::kItemFont));
        Place(message_, PickerControl::kEmptyMessage);

        print_ = new PickerButton(Text(PickerControl::kPrint), true, this);
        print_->setObjectName(QStringLiteral("printButton"));
        Place(print_, PickerControl::kPrint);
        auto* cancel = new PickerButton(Text(PickerControl::kCancel), false, this);
        cancel->setObjectName(QStringLiteral("cancelButton"));
        Place(cancel, PickerControl::kCancel);

        connect(print_, &QPushButton::clicked, this, [this] { Command(PickerControl::kPrint); });
        connect(cancel, &QPushButton::clicked, this, [this] { Command(PickerControl::kCancel); });
        connect(list_, &QListWidget::itemDoubleClicked, this,
                [this] { Command(PickerControl::kList, kListDoubleClick); });

        if (!model_.ShowsList()) {
            list_->hide();
            print_->hide();
            message_->show();
            cancel->setFocus();
        } else {
            message_->hide();
            for (const PrinterEntry& printer : model_.printers()) {
                auto* item = new QListWidgetItem(QString::fromStdU16String(printer.name), list_);
                item->setData(kPrinterIsDefaultRole, printer.isDefault);
            }
            list_->setCurrentRow(model_.InitialSelection());
            list_->setFocus();
        }
        CentreOnPrimaryScreen();
    }

    const std::u16string& chosenName() const { return model_.chosenName(); }

    // Escape and the title bar's close button.
    void reject() override { Command(PickerControl::kCancelCommand); }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->accept();
            return;
        }
        QDialog::keyPressEvent(event);
    }

    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        if (auto* observer = AppObservers::CurrentQt()) observer->PrinterPickerShown(this);
    }

  private:
    static QString Text(int controlId) {
        return QString::fromStdU16String(std::u16string(PrinterPickerItem(controlId).text));
    }

    void Command(int controlId, int notification = 0) {
        const PickerReaction reaction =
            model_.OnCommand(controlId, notification, list_->currentRow());
        if (reaction.sendPrint) {
            Command(PickerControl::kPrint);
            return;
        }
        if (reaction.endWith != 0) done(reaction.endWith);
    }

    // Dialog units from the dialog font's average character size, as Windows computes them.
    void ComputeDialogBaseUnits(const DialogLayout& layout) {
        QFont font(QString::fromStdU16String(std::u16string(layout.fontFace)));
        font.setPointSize(layout.pointSize);
        const QFontMetrics metrics(font);
        const int alphabet = metrics.horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        baseX_ = (alphabet / 26 + 1) / 2;
        baseY_ = metrics.height();
    }

    QRect ToPixels(const DialogUnitRect& rect) const {
        return QRect(rect.x * baseX_ / 4, rect.y * baseY_ / 8, rect.width * baseX_ / 4,
                     rect.height * baseY_ / 8);
    }

    void Place(QWidget* widget, int controlId) {
        widget->setGeometry(ToPixels(PrinterPickerItem(controlId).rect));
    }

    void CentreOnPrimaryScreen() {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->geometry();
            move(area.left() + (area.width() - width()) / 2,
                 area.top() + (area.height() - height()) / 2);
        }
    }

    PrinterPickerModel model_;
    QListWidget* list_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* print_ = nullptr;
    int baseX_ = 7;
    int baseY_ = 15;
};

}  // namespace

std::u16string ShowPrinterPickerFor(QWidget* owner, std::vector<PrinterEntry> printers) {
    // On the heap: if the owner is destroyed while the modal loop runs, the dialog goes with it.
    QPointer<PrinterPickerDialog> dialog = new PrinterPickerDialog(owner, std::move(printers));
    const int result = dialog->exec();
    if (!dialog) return {};
    std::u16string chosen = result == kPickerConfirmed ? dialog->chosenName() : std::u16string();
    delete dialog.data();
    return chosen;
}

}  // namespace Printing
