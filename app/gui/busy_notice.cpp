#include "app/gui/busy_notice.h"

#include <QHBoxLayout>
#include <QLabel>

#include "app/gui/window_placement.h"

namespace velmora::gui {

BusyNotice::BusyNotice(QWidget* owner)
    : QFrame(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                        Qt::WindowDoesNotAcceptFocus),
      owner_(owner) {
    setObjectName(QStringLiteral("TForm11"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(223, 30);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(2);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    auto* label = new QLabel(QStringLiteral("正在处理数据，请稍候..."), this);
    label->setObjectName(QStringLiteral("BusyLabel"));
    label->setAlignment(Qt::AlignCenter);
    row->addWidget(label);
}

void BusyNotice::setBusy(bool busy) {
    runs_ = busy ? runs_ + 1 : (runs_ > 0 ? runs_ - 1 : 0);
    if (runs_ > 0) {
        centreOn(this, owner_);
        show();
        raise();
    } else {
        hide();
    }
}

}  // namespace velmora::gui
