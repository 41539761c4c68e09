#pragma once
// The main window's commands: the menu bar, the tool bar with its image
// buttons, the keyword and province boxes and the banner area. A menu item
// and its twin tool button share one action.
#include <QObject>
#include <QString>

class QAction;
class QMainWindow;
class QToolBar;
class QToolButton;

namespace velmora::gui {

class BannerView;
class KeywordBox;
class ProvinceBox;
class SourceChoice;

struct Commands {
    QAction* search = nullptr;
    QAction* stop = nullptr;
    QAction* open = nullptr;
    QAction* save = nullptr;
    QAction* exit = nullptr;
    QAction* clearKeywords = nullptr;
    QAction* sameNameFilter = nullptr;
    QAction* research = nullptr;      // "再搜索设定", named N10
    SourceChoice* sources = nullptr;  // the "搜索来源" submenu
    QAction* networkTest = nullptr;
    QAction* help = nullptr;
    QAction* about = nullptr;

    QToolBar* toolBar = nullptr;
    QToolButton* searchButton = nullptr;
    QToolButton* stopButton = nullptr;
    QToolButton* openButton = nullptr;
    QToolButton* saveButton = nullptr;
    QToolButton* helpButton = nullptr;

    KeywordBox* keywordBox = nullptr;
    ProvinceBox* provinceBox = nullptr;
    BannerView* banner = nullptr;
};

// Builds menus and tool bar on `window`. The tool buttons report their
// status-bar hints through `hint`.
Commands buildCommands(QMainWindow* window);

// Shows a tool button's hint while the mouse moves over it.
class HintFilter : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    void watch(QToolButton* button, const QString& hint);
  signals:
    void hint(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace velmora::gui
