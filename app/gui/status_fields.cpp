#include "app/gui/status_fields.h"

#include <QLabel>

namespace velmora::gui {

StatusFields::StatusFields(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(true);
    static constexpr int kWidths[kFieldCount] = {180, 85, 70, 62, 70, 50};
    for (int i = 0; i < kFieldCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("StatusField%1").arg(i));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setIndent(2);
        if (i == RunStatus) {
            // The last field reaches to the end of the bar.
            label->setMinimumWidth(kWidths[i]);
            addWidget(label, 1);
        } else {
            label->setFixedWidth(kWidths[i]);
            addWidget(label);
        }
        fields_[static_cast<size_t>(i)] = label;
    }
    setText(IdLabel, QStringLiteral("当前企业的ID:"));
    setText(Id, QStringLiteral("0"));
    setText(CountLabel, QStringLiteral("企业数量:"));
    setText(Count, QStringLiteral("0"));
    setText(RunStatus, productTitle());
}

QString StatusFields::productTitle() {
    return QStringLiteral("\u3000－Velmora－");
}

QString StatusFields::text(int index) const {
    return field(index)->text();
}

void StatusFields::setText(int index, const QString& text) {
    field(index)->setText(text);
}

}  // namespace velmora::gui
