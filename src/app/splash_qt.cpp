#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "app/splash.h"
#include "app/splash_layout.h"

namespace {

constexpr int kAutoCloseMs = 15000;

// Frameless artwork with per-pixel transparency; it can be dragged like a caption.
class SplashWindow : public QWidget {
  public:
    explicit SplashWindow(QPixmap artwork)
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
          artwork_(std::move(artwork)) {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_DeleteOnClose);
        setCursor(Qt::BusyCursor);
        setWindowTitle(QStringLiteral("Zelvan Splash"));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawPixmap(0, 0, artwork_);
    }
    void mousePressEvent(QMouseEvent* event) override {
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (event->buttons() & Qt::LeftButton) {
            move(event->globalPosition().toPoint() - dragOffset_);
        }
    }

  private:
    QPixmap artwork_;
    QPoint dragOffset_;
};

QPointer<SplashWindow>& Splash() {
    static QPointer<SplashWindow> splash;
    return splash;
}

}  // namespace

bool ShowSplash(int maxWidth, int maxHeight) {
    if (Splash()) {
        return true;
    }
    QPixmap image(QStringLiteral(":/orbis/splash.png"));
    QScreen* screen = QGuiApplication::primaryScreen();
    if (image.isNull() || screen == nullptr) {
        return false;
    }
    const QRect area = screen->geometry();
    const SplashLayout layout = ComputeSplashLayout(image.width(), image.height(), maxWidth,
                                                    maxHeight, area.width(), area.height());
    if (layout.width <= 0 || layout.height <= 0) {
        return false;
    }
    if (layout.scaled) {
        image = image.scaled(layout.width, layout.height, Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    }
    auto* splash = new SplashWindow(image);
    splash->setGeometry(area.x() + layout.x, area.y() + layout.y, layout.width, layout.height);
    splash->show();
    Splash() = splash;
    QTimer::singleShot(kAutoCloseMs, splash, [] { CloseSplash(); });
    return true;
}

void CloseSplash() {
    if (SplashWindow* splash = Splash()) {
        Splash() = nullptr;
        splash->close();
    }
}
