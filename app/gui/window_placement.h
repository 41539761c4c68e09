#pragma once
#include <QWidget>

namespace velmora::gui {

// Moves a top-level window so that it is centred on `owner` (on the screen
// when there is no owner).
void centreOn(QWidget* window, const QWidget* owner);

}  // namespace velmora::gui
