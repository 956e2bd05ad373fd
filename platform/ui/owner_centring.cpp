#include "platform/ui/owner_centring.h"

#include <QWidget>

void CentreOnOwner(QWidget* window) {
    QWidget* owner = window->parentWidget();
    if (owner == nullptr || !window->isWindow() || window->testAttribute(Qt::WA_Moved))
        return;
    const QRect over = owner->window()->frameGeometry();
    window->move(over.center() - QPoint(window->width() / 2, window->height() / 2));
}
