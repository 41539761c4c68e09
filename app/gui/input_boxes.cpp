#include "app/gui/input_boxes.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "app/engine/provinces.h"
#include "app/gui/gbk_text.h"

namespace velmora::gui {
namespace {

bool isEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

KeywordBox::KeywordBox(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("ComboBox1"));
    setEditable(true);
    // The history is kept by the search start, not by the box.
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(true);
    setMaxVisibleItems(20);
    setMinimumContentsLength(12);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

void KeywordBox::setHistory(const QStringList& entries, const QString& text) {
    bool blocked = blockSignals(true);
    clear();
    addItems(entries);
    setCurrentIndex(-1);
    setEditText(text);
    blockSignals(blocked);
}

void KeywordBox::keyPressEvent(QKeyEvent* event) {
    if (isEnter(event)) {
        event->accept();
        emit enterPressed();
        return;
    }
    QComboBox::keyPressEvent(event);
}

ProvinceBox::ProvinceBox(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("ComboBox2"));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(36);
    setMinimumContentsLength(6);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    for (const auto& entry : provinces::boxEntries()) addItem(fromGbk(entry));
    // Text reaches the box only by picking an entry: no pasting, no dropping,
    // no input method.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
    lineEdit()->setDragEnabled(false);
    lineEdit()->setAcceptDrops(false);
    setCurrentIndex(0);
    connect(this, &QComboBox::activated, this, [this](int index) { index_ = index; });
}

void ProvinceBox::restore(int index) {
    index_ = index;
    bool blocked = blockSignals(true);
    if (index >= 0 && index < count()) {
        setCurrentIndex(index);
    } else {
        setCurrentIndex(-1);
        setEditText(QString());
    }
    blockSignals(blocked);
}

void ProvinceBox::keyPressEvent(QKeyEvent* event) {
    if (isEnter(event)) {
        event->accept();
        emit enterPressed();
        return;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        event->accept();
        setEditText(QString());
        return;
    }
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
        QComboBox::keyPressEvent(event);
        return;
    }
    // A key that would put text into the box (or paste, or cut) is refused.
    bool types = !event->text().isEmpty() || event->matches(QKeySequence::Paste) ||
                 event->matches(QKeySequence::Cut);
    if (types && event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab &&
        event->key() != Qt::Key_Escape) {
        event->accept();
        emit typingRefused();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void ProvinceBox::inputMethodEvent(QInputMethodEvent* event) {
    event->ignore();
}

}  // namespace velmora::gui
