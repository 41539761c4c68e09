#include "app/gui/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace velmora::gui::icons {
namespace {

constexpr int kSize = 24;

QIcon draw(const std::function<void(QPainter&)>& paint) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(kSize * scale, kSize * scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        paint(p);
        p.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon application() {
    return draw([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 90, 160));
        p.drawRoundedRect(QRectF(1, 1, 22, 22), 4, 4);
        QPainterPath v;
        v.moveTo(6, 6);
        v.lineTo(12, 19);
        v.lineTo(18, 6);
        p.setPen(QPen(QColor(255, 251, 240), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(v);
    });
}

QIcon search() {
    return draw([](QPainter& p) {
        p.setPen(QPen(QColor(40, 70, 120), 2.5));
        p.setBrush(QColor(210, 230, 250));
        p.drawEllipse(QRectF(3, 3, 12, 12));
        p.setPen(QPen(QColor(90, 60, 30), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 14), QPointF(20.5, 20.5));
    });
}

QIcon stop() {
    return draw([](QPainter& p) {
        p.setPen(QPen(QColor(130, 20, 20), 1.5));
        p.setBrush(QColor(210, 45, 40));
        p.drawRoundedRect(QRectF(4.5, 4.5, 15, 15), 2, 2);
    });
}

QIcon open() {
    return draw([](QPainter& p) {
        p.setPen(QPen(QColor(150, 110, 30), 1.2));
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(2.5, 6.5, 17, 13));
        p.setBrush(QColor(250, 225, 130));
        QPolygonF flap;
        flap << QPointF(5.5, 10.5) << QPointF(22.5, 10.5) << QPointF(19.5, 19.5)
             << QPointF(2.5, 19.5);
        p.drawPolygon(flap);
    });
}

QIcon save() {
    return draw([](QPainter& p) {
        p.setPen(QPen(QColor(30, 50, 90), 1.2));
        p.setBrush(QColor(60, 100, 170));
        p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 1.5, 1.5);
        p.setBrush(QColor(245, 245, 245));
        p.drawRect(QRectF(7, 4, 10, 6));
        p.setBrush(QColor(200, 210, 225));
        p.drawRect(QRectF(6.5, 13.5, 11, 7));
    });
}

QIcon help() {
    return draw([](QPainter& p) {
        p.setPen(QPen(QColor(20, 90, 50), 1.2));
        p.setBrush(QColor(60, 160, 90));
        p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(15);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(2.5, 2.5, 19, 19), Qt::AlignCenter, QStringLiteral("?"));
    });
}

}  // namespace velmora::gui::icons
