#include "app/gui/source_choice.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>
#include <QStringList>

#include <algorithm>

namespace velmora::gui {

QString SourceChoice::caption(int source) {
    static const char* const kCaptions[kSources + 1] = {
        "",
        "1 网页搜索",
        "2 阿里巴巴企业搜索",
        "3 企业名录（脚本资料）",
        "4 企业名录（详细资料）",
        "5 门户企业搜索",
        "6 黄页",
        "7 地区企业名录",
    };
    if (source < 1 || source > kSources) return QString::number(source);
    return QString::fromUtf8(kCaptions[source]);
}

SourceChoice::SourceChoice(QMenu* settings, QObject* parent) : QObject(parent) {
    menu_ = settings->addMenu(QStringLiteral("搜索来源"));
    menu_->setObjectName(QStringLiteral("SourcesMenu"));
    // A disabled item says why through its tooltip.
    menu_->setToolTipsVisible(true);
    for (int s = 1; s <= kSources; ++s) {
        auto* action = menu_->addAction(caption(s));
        action->setObjectName(QStringLiteral("Source%1").arg(s));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this,
                [this, s](bool checked) { itemTriggered(s, checked); });
        items_[static_cast<size_t>(s)] = action;
    }
}

void SourceChoice::setChosen(const std::vector<int>& sources) {
    for (int s = 1; s <= kSources; ++s) {
        QSignalBlocker quiet(item(s));
        item(s)->setChecked(std::find(sources.begin(), sources.end(), s) != sources.end());
    }
}

std::vector<int> SourceChoice::chosen() const {
    std::vector<int> sources;
    for (int s = 1; s <= kSources; ++s)
        if (item(s)->isChecked()) sources.push_back(s);
    return sources;
}

void SourceChoice::setUnusable(int source, const QString& why) {
    item(source)->setEnabled(false);
    item(source)->setToolTip(why);
}

bool SourceChoice::usable(int source) const {
    return item(source)->isEnabled();
}

std::vector<int> SourceChoice::startable() const {
    std::vector<int> sources;
    for (int s : chosen())
        if (usable(s)) sources.push_back(s);
    return sources;
}

QString SourceChoice::describe(const std::vector<int>& sources) {
    QStringList numbers;
    for (int s : sources) numbers << QString::number(s);
    return QStringLiteral("搜索来源：") + numbers.join(QStringLiteral(", "));
}

void SourceChoice::itemTriggered(int source, bool checked) {
    if (!checked && chosen().empty()) {
        // A search needs at least one source.
        QSignalBlocker quiet(item(source));
        item(source)->setChecked(true);
        emit lastKept();
        return;
    }
    emit changed(chosen());
}

}  // namespace velmora::gui
