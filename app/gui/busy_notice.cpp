#include "app/gui/busy_notice.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

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
    qApp->installEventFilter(this);
}

void BusyNotice::setBusy(bool busy) {
    runs_ = busy ? runs_ + 1 : (runs_ > 0 ? runs_ - 1 : 0);
    showOrHide();
}

bool BusyNotice::eventFilter(QObject* watched, QEvent* event) {
    QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && watched != this &&
        watched->isWidgetType()) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isWindow()) {
            std::erase_if(dialogsUp_, [dialog](const QPointer<QWidget>& d) {
                return d.isNull() || d == dialog;
            });
            if (type == QEvent::Show) dialogsUp_.emplace_back(dialog);
            showOrHide();
        }
    }
    return QFrame::eventFilter(watched, event);
}

void BusyNotice::showOrHide() {
    std::erase_if(dialogsUp_, [](const QPointer<QWidget>& d) { return d.isNull(); });
    if (runs_ > 0 && dialogsUp_.empty()) {
        centreOn(this, owner_);
        show();
        raise();
    } else {
        hide();
    }
}

}  // namespace velmora::gui
