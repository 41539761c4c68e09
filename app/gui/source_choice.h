#pragma once
// The "搜索来源" submenu of the settings menu: which sources the search
// command starts. The choice is kept in note.ini; a source that this build
// does not carry, or whose address sites.ini does not give, cannot be chosen.
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <vector>

class QAction;
class QMenu;

namespace velmora::gui {

class SourceChoice : public QObject {
    Q_OBJECT
  public:
    static constexpr int kSources = 7;

    // Builds the submenu (objectName "SourcesMenu", items "Source1" ..
    // "Source7") at the end of `settings`.
    SourceChoice(QMenu* settings, QObject* parent = nullptr);

    QMenu* menu() const { return menu_; }
    QAction* item(int source) const { return items_[static_cast<size_t>(source)]; }

    // Start-up: the stored choice (ascending, not empty).
    void setChosen(const std::vector<int>& sources);
    std::vector<int> chosen() const;
    // A source the user cannot choose: disabled, with `why` as its tooltip.
    void setUnusable(int source, const QString& why);
    bool usable(int source) const;
    // The checked sources that can be used, in number order.
    std::vector<int> startable() const;

    // "搜索来源：2, 7"
    static QString describe(const std::vector<int>& sources);
    // The item's caption: "7 地区企业名录".
    static QString caption(int source);

  signals:
    // The user changed the choice.
    void changed(const std::vector<int>& sources);
    // The user tried to uncheck the only checked source.
    void lastKept();

  private:
    void itemTriggered(int source, bool checked);

    QMenu* menu_ = nullptr;
    std::array<QAction*, kSources + 1> items_{};
};

}  // namespace velmora::gui
