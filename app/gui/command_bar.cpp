#include "app/gui/command_bar.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "app/gui/banner.h"
#include "app/gui/icons.h"
#include "app/gui/input_boxes.h"
#include "app/gui/source_choice.h"

namespace velmora::gui {
namespace {

QAction* makeAction(QMainWindow* window, const QString& name, const QString& text,
                    const QKeySequence& shortcut = {}) {
    auto* action = new QAction(text, window);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

QToolButton* addButton(QToolBar* bar, QAction* action, const QIcon& icon, const QString& tip,
                       const QString& name) {
    action->setIcon(icon);
    action->setToolTip(tip);
    action->setIconVisibleInMenu(false);
    bar->addAction(action);
    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    return button;
}

}  // namespace

void HintFilter::watch(QToolButton* button, const QString& hint) {
    button->setProperty("statusHint", hint);
    button->setMouseTracking(true);
    button->installEventFilter(this);
}

bool HintFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove ||
        event->type() == QEvent::HoverMove)
        emit hint(watched->property("statusHint").toString());
    return QObject::eventFilter(watched, event);
}

Commands buildCommands(QMainWindow* window) {
    Commands c;
    c.search = makeAction(window, "ActionSearch", QStringLiteral("搜索 (&S)"), Qt::Key_F8);
    c.stop = makeAction(window, "ActionStop", QStringLiteral("停止 (&T)"), Qt::Key_F9);
    c.open = makeAction(window, "ActionOpen", QStringLiteral("打开 (&O)"),
                        QKeySequence(Qt::CTRL | Qt::Key_O));
    c.save = makeAction(window, "ActionSave", QStringLiteral("保存 (&S)"),
                        QKeySequence(Qt::CTRL | Qt::Key_S));
    c.exit = makeAction(window, "ActionExit", QStringLiteral("退出 (&Q)"),
                        QKeySequence(Qt::CTRL | Qt::Key_F4));
    c.clearKeywords = makeAction(window, "ActionClearKeywords", QStringLiteral("清空关键词 (&C)"));
    c.sameNameFilter =
        makeAction(window, "ActionSameNameFilter", QStringLiteral("筛除同名企业 (&Z)"));
    c.sameNameFilter->setCheckable(true);
    c.research = makeAction(window, "N10", QStringLiteral("再搜索设定"));
    c.research->setCheckable(true);
    c.research->setChecked(true);
    c.networkTest =
        makeAction(window, "ActionNetworkTest", QStringLiteral("测试网络 (&T)"), Qt::Key_F3);
    c.help = makeAction(window, "ActionHelp", QStringLiteral("帮助 (&H)"), Qt::Key_F1);
    c.about = makeAction(window, "ActionAbout", QStringLiteral("关于 (&A)"));

    c.stop->setEnabled(false);
    c.save->setEnabled(false);

    QMenuBar* bar = window->menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = bar->addMenu(QStringLiteral("文件 (&F)"));
    file->setObjectName(QStringLiteral("MenuFile"));
    file->addAction(c.open);
    file->addAction(c.save);
    file->addSeparator();
    file->addAction(c.exit);
    QMenu* run = bar->addMenu(QStringLiteral("操作 (&O)"));
    run->setObjectName(QStringLiteral("MenuRun"));
    run->addAction(c.search);
    run->addAction(c.stop);
    QMenu* settings = bar->addMenu(QStringLiteral("设置 (&S)"));
    settings->setObjectName(QStringLiteral("MenuSettings"));
    settings->addAction(c.clearKeywords);
    settings->addAction(c.sameNameFilter);
    settings->addAction(c.research);
    c.sources = new SourceChoice(settings, window);
    settings->addSeparator();
    settings->addAction(c.networkTest);
    QMenu* help = bar->addMenu(QStringLiteral("帮助 (&H)"));
    help->setObjectName(QStringLiteral("MenuHelp"));
    help->addAction(c.help);
    help->addAction(c.about);

    c.toolBar = window->addToolBar(QStringLiteral("ToolBar1"));
    c.toolBar->setObjectName(QStringLiteral("ToolBar1"));
    c.toolBar->setMovable(false);
    c.toolBar->setFloatable(false);
    c.toolBar->setIconSize(QSize(24, 24));
    c.toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    c.toolBar->setContextMenuPolicy(Qt::PreventContextMenu);

    auto* label = new QLabel(QStringLiteral("关键词"), c.toolBar);
    label->setObjectName(QStringLiteral("KeywordLabel"));
    label->setContentsMargins(4, 0, 4, 0);
    c.toolBar->addWidget(label);
    c.keywordBox = new KeywordBox(c.toolBar);
    c.keywordBox->setFixedWidth(150);
    c.toolBar->addWidget(c.keywordBox);
    c.provinceBox = new ProvinceBox(c.toolBar);
    c.provinceBox->setFixedWidth(92);
    c.toolBar->addWidget(c.provinceBox);
    c.toolBar->addSeparator();
    c.searchButton = addButton(c.toolBar, c.search, icons::search(), QStringLiteral("搜索"),
                               QStringLiteral("ToolButtonSearch"));
    c.stopButton = addButton(c.toolBar, c.stop, icons::stop(), QStringLiteral("停止"),
                             QStringLiteral("ToolButtonStop"));
    c.toolBar->addSeparator();
    c.openButton = addButton(c.toolBar, c.open, icons::open(), QStringLiteral("打开"),
                             QStringLiteral("ToolButtonOpen"));
    c.saveButton = addButton(c.toolBar, c.save, icons::save(), QStringLiteral("保存"),
                             QStringLiteral("ToolButtonSave"));
    c.toolBar->addSeparator();
    c.helpButton = addButton(c.toolBar, c.help, icons::help(), QStringLiteral("帮助"),
                             QStringLiteral("ToolButtonHelp"));
    c.toolBar->addSeparator();
    // The free width of the bar goes in front of the banner, which so stays
    // at the bar's right end.
    auto* spacer = new QWidget(c.toolBar);
    spacer->setObjectName(QStringLiteral("BannerSpacer"));
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    c.toolBar->addWidget(spacer);
    c.banner = new BannerView(c.toolBar);
    c.toolBar->addWidget(c.banner);
    return c;
}

}  // namespace velmora::gui
