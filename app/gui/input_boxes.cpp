#include "app/gui/input_boxes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>

#include "app/engine/provinces.h"
#include "app/gui/gbk_text.h"

namespace velmora::gui {
namespace {

bool isEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

bool isModifier(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_CapsLock ||
           key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
}

// Keys that would change the province box's entry without the list: the
// arrow and page keys step through the entries, and in the text they are
// input like any other key.
bool movesThroughEntries(int key) {
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            return true;
        default:
            return false;
    }
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
    // The edit box's own menu is replaced by the box's (contextMenuEvent).
    lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
    lineEdit()->setDragEnabled(false);
    lineEdit()->setAcceptDrops(false);
    lineEdit()->installEventFilter(this);
    setCompleter(nullptr);
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
    int key = event->key();
    if (isEnter(event)) {
        event->accept();
        emit enterPressed();
        return;
    }
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        event->accept();
        setEditText(QString());
        return;
    }
    // Keys that leave the text as it is: copying, selecting, opening the
    // drop-down list (Alt+Down, F4), and the modifiers pressed on their own.
    bool opensList = ((key == Qt::Key_Down || key == Qt::Key_Up) &&
                      event->modifiers().testFlag(Qt::AltModifier)) ||
                     key == Qt::Key_F4;
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll) ||
        opensList || isModifier(key)) {
        QComboBox::keyPressEvent(event);
        return;
    }
    bool input = !event->text().isEmpty() || movesThroughEntries(key) ||
                 event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
                 event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
                 key == Qt::Key_Insert;
    if (input && key != Qt::Key_Tab && key != Qt::Key_Backtab && key != Qt::Key_Escape) {
        event->accept();
        emit typingRefused();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void ProvinceBox::contextMenuEvent(QContextMenuEvent* event) {
    // The edit boxes' usual menu, in Qt's own words, but every entry that
    // would change the text is refused like a typed key; copying and
    // selecting work as anywhere else.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QLineEdit* edit = lineEdit();
    bool selected = edit->hasSelectedText();
    auto add = [&](const char* name, const char* text, QKeySequence::StandardKey key, bool enabled,
                   auto slot) {
        QString caption = QCoreApplication::translate("QLineEdit", text);
        QString keys = QKeySequence(key).toString(QKeySequence::NativeText);
        if (!keys.isEmpty()) caption += QLatin1Char('\t') + keys;
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
    };
    auto refuse = [this] { emit typingRefused(); };
    add("edit-undo", "&Undo", QKeySequence::Undo, false, refuse);
    add("edit-redo", "&Redo", QKeySequence::Redo, false, refuse);
    menu->addSeparator();
    add("edit-cut", "Cu&t", QKeySequence::Cut, selected, refuse);
    add("edit-copy", "&Copy", QKeySequence::Copy, selected, [edit] { edit->copy(); });
    add("edit-paste", "&Paste", QKeySequence::Paste, !QApplication::clipboard()->text().isEmpty(),
        refuse);
    add("edit-delete", "Delete", QKeySequence::UnknownKey, selected, refuse);
    menu->addSeparator();
    add("select-all", "Select All", QKeySequence::SelectAll, !edit->text().isEmpty(),
        [edit] { edit->selectAll(); });
    menu->popup(event->globalPos());
    event->accept();
}

void ProvinceBox::wheelEvent(QWheelEvent* event) {
    // The wheel would step through the entries: not a pick from the list.
    event->ignore();
}

bool ProvinceBox::eventFilter(QObject* watched, QEvent* event) {
    // The middle button pastes the selection on X11.
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
        if (QApplication::clipboard()->supportsSelection()) emit typingRefused();
        return true;
    }
    return QComboBox::eventFilter(watched, event);
}

void ProvinceBox::inputMethodEvent(QInputMethodEvent* event) {
    event->ignore();
}

}  // namespace velmora::gui
