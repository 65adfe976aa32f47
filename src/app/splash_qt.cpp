#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "app/splash.h"
#include "app/splash_layout.h"
#include "common/app_observer.h"
#include "common/artwork_qt.h"

namespace {

constexpr int kAutoCloseMs = 15000;
// How long start-up may wait for the display to map the splash before it goes on regardless.
constexpr int kExposeWaitMs = 1500;

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

// Start-up goes on with work that holds this thread (the browser engine's start), during which no
// event is handled: the splash has to be mapped, painted and sent to the display before this
// returns.
bool PaintNow(SplashWindow& splash) {
    // The display's answer wakes the wait at once; the timer only bounds it.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(kExposeWaitMs);
    while (splash.windowHandle() == nullptr || !splash.windowHandle()->isExposed()) {
        if (!deadline.isActive()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
    splash.repaint();
    // Hands the painted pixels to the display server now rather than at the next event loop turn.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
}

}  // namespace

bool ShowSplash(int maxWidth, int maxHeight) {
    if (Splash()) {
        return true;
    }
    QPixmap image = QPixmap::fromImage(
        BuiltInArtwork(SplashPixels::kWidth, SplashPixels::kHeight, SplashPixels::kPixels));
    QScreen* screen = QGuiApplication::primaryScreen();
    if (image.isNull() || screen == nullptr) {
        if (auto* observer = AppObservers::Current()) {
            observer->Report("splash", {{"painted", false}, {"artwork", !image.isNull()}});
        }
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
    const bool painted = PaintNow(*splash);
    if (auto* observer = AppObservers::Current()) {
        observer->Report("splash", {{"x", splash->x()},
                                    {"y", splash->y()},
                                    {"width", splash->width()},
                                    {"height", splash->height()},
                                    {"painted", painted}});
    }
    QTimer::singleShot(kAutoCloseMs, splash, [] { CloseSplash(); });
    return true;
}

void RaiseSplash() {
    if (SplashWindow* splash = Splash()) {
        splash->raise();
        // The picture follows the raise on the same connection, so the display shows it on top.
        splash->repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void CloseSplash() {
    if (SplashWindow* splash = Splash()) {
        Splash() = nullptr;
        splash->close();
    }
}
