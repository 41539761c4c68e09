#include "app/gui/window_placement.h"

#include <QScreen>

namespace velmora::gui {

void centreOn(QWidget* window, const QWidget* owner) {
    QRect area;
    if (owner) {
        area = QRect(owner->mapToGlobal(QPoint(0, 0)), owner->size());
        if (owner->isWindow()) area = owner->frameGeometry();
    } else if (QScreen* screen = window->screen()) {
        area = screen->availableGeometry();
    }
    if (area.isEmpty()) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}

}  // namespace velmora::gui
