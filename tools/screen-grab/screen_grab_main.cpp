// Saves a picture of a whole X display as PNG: the demo run uses it to show what the application
// drew on a virtual display nobody can look at.
//   orbis-screen-grab OUTPUT.png   (the display comes from DISPLAY)
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orbis-screen-grab OUTPUT.png\n");
        return 2;
    }
    QGuiApplication application(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        std::fprintf(stderr, "no screen\n");
        return 1;
    }
    const QPixmap picture = screen->grabWindow(0);
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot grab or save the screen\n");
        return 1;
    }
    return 0;
}
