// A bare Qt window, the start the client's start is compared with: one widget window filled with one
// colour (0x2060A0), shown at once, 640 x 480 or (--full-screen) as large as the screen, as the client's
// main window is; it runs until it is ended.

#include <QApplication>
#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(0x20, 0x60, 0xA0));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    if (argc > 1 && std::strcmp(argv[1], "--full-screen") == 0)
        window.setGeometry(QGuiApplication::primaryScreen()->geometry());
    else
        window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
