#include "app/gui/layout_toggle.h"

#include "app/gui/company_list_view.h"

#include <QPushButton>
#include <QResizeEvent>

#include <QVBoxLayout>
#include <algorithm>

namespace velmora::gui {

ToggleStrip::ToggleStrip(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("LayoutToggle"));
    setFixedHeight(kHeight);
    setFrameShape(QFrame::NoFrame);
    // No layout: the button is placed by hand, so that its width, however
    // large the window once was, never becomes the window's minimum.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    button_ = new QPushButton(this);
    button_->setObjectName(QStringLiteral("LayoutToggleButton"));
    button_->setFlat(true);
    button_->setCursor(Qt::PointingHandCursor);
    button_->setFixedHeight(kHeight);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setToolTip(QStringLiteral("切换列表、详细信息和简介的布局"));
    // A flat bar with a thin raised edge, so it reads as a handle.
    button_->setStyleSheet(QStringLiteral(
        "QPushButton { border: 1px solid #b8b4ac; border-radius: 2px; background: #e3e1dd; }"
        "QPushButton:hover { background: #d4d0c8; }"));
    connect(button_, &QPushButton::clicked, this, &ToggleStrip::clicked);
}

void ToggleStrip::setButtonWidth(int width) {
    buttonWidth_ = width > 0 ? width : 0;
    placeButton();
}

void ToggleStrip::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    placeButton();
}

void ToggleStrip::placeButton() {
    // Centred; a strip narrower than the rule's width (for a moment, while
    // the window shrinks) shows the button as wide as itself.
    int width = std::min(buttonWidth_, this->width());
    button_->setGeometry((this->width() - width) / 2, 0, width, kHeight);
}

LayoutSwitcher::LayoutSwitcher(QVBoxLayout* column, CompanyListView* list, ToggleStrip* strip,
                               QWidget* detail, QWidget* profile, QObject* parent)
    : QObject(parent),
      column_(column),
      list_(list),
      strip_(strip),
      detail_(detail),
      profile_(profile) {
    apply(Layout::A);
}

void LayoutSwitcher::cycle() {
    // Decided from what is on screen: list at the top means C, a shown
    // detail panel means A, anything else B.
    if (layout_ == Layout::C)
        apply(Layout::A);
    else if (detail_->isVisibleTo(detail_->parentWidget()))
        apply(Layout::B);
    else
        apply(Layout::C);
}

void LayoutSwitcher::setListHeight(int height) {
    listHeight_ = height > 0 ? height : 0;
    if (layout_ == Layout::C) {
        list_->setPreferredHeight(listHeight_);
        list_->setMaximumHeight(listHeight_);
    }
}

void LayoutSwitcher::apply(Layout layout) {
    layout_ = layout;
    int listIndex = column_->indexOf(list_);
    int profileIndex = column_->indexOf(profile_);
    if (layout == Layout::C) {
        // The list's own height as its preferred and greatest height, not as
        // a fixed one, which would keep the window from shrinking below it.
        list_->setMinimumHeight(0);
        list_->setPreferredHeight(listHeight_);
        list_->setMaximumHeight(listHeight_);
        column_->setStretch(listIndex, 0);
        column_->setStretch(profileIndex, 1);
        detail_->show();
        profile_->show();
    } else {
        list_->setMinimumHeight(0);
        list_->setMaximumHeight(QWIDGETSIZE_MAX);
        list_->setPreferredHeight(-1);
        column_->setStretch(listIndex, 1);
        column_->setStretch(profileIndex, 0);
        profile_->hide();
        detail_->setVisible(layout == Layout::A);
    }
    emit layoutChanged(layout);
}

}  // namespace velmora::gui
