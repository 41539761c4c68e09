#include "app/gui/company_list_model.h"

#include <QTimer>

#include <limits>

#include "app/gui/gbk_text.h"

namespace velmora::gui {

int CompanyListModel::initialWidth(Column column) {
    static constexpr int kWidths[kColumns] = {0, 300, 200, 120, 110, 300, 88, 250, 300, 200, 100};
    return kWidths[static_cast<int>(column)];
}

CompanyListModel::CompanyListModel(CompanyList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
    shown_ = static_cast<int>(list_.size());
    list_.setAppendObserver([this](size_t, size_t) { entriesAppended(); });
}

CompanyListModel::~CompanyListModel() {
    list_.setAppendObserver({});
}

void CompanyListModel::entriesAppended() {
    if (flushQueued_) return;
    flushQueued_ = true;
    QTimer::singleShot(0, this, &CompanyListModel::flush);
}

void CompanyListModel::flush() {
    flushQueued_ = false;
    size_t size = list_.size();
    // A view counts rows in int; entries beyond that stay in the list only.
    size_t cap = static_cast<size_t>(std::numeric_limits<int>::max());
    int target = static_cast<int>(size < cap ? size : cap);
    if (target <= shown_) return;
    beginInsertRows(QModelIndex(), shown_, target - 1);
    shown_ = target;
    endInsertRows();
    emit entriesPublished(shown_);
}

int CompanyListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

int CompanyListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

std::string_view CompanyListModel::field(int row, Column column) const {
    return list_.field(static_cast<size_t>(row), column);
}

QVariant CompanyListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shown_ || index.column() >= kColumns) return {};
    switch (role) {
        case Qt::DisplayRole:
            return fromGbk(field(index.row(), static_cast<Column>(index.column())));
        case Qt::BackgroundRole:
            if (index.row() % 2 == 1) return oddRowColour();
            return {};
        default:
            return {};
    }
}

QVariant CompanyListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return {};
    if (role != Qt::DisplayRole) return {};
    const auto& caption = kColumnCaptionsUtf8[static_cast<size_t>(section)];
    return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
}

Qt::ItemFlags CompanyListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace velmora::gui
