#include "platform/ui/system_metrics.h"

#include <QGuiApplication>
#include <QScreen>

int GetSystemMetrics(int index) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return 0;
    switch (index) {
        case SM_CXSCREEN:
            return screen->geometry().width();
        case SM_CYSCREEN:
            return screen->geometry().height();
        default:
            return 0;
    }
}
