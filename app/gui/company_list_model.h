#pragma once
// The company list as a table model over the engine's list. Cells are
// converted from GBK only when the view asks for them. Appends arrive one
// entry at a time; they are gathered and published to the view in one
// insertion per turn of the event loop, so a burst of thousands of entries
// costs the view one update.
#include <QAbstractTableModel>
#include <QColor>

#include "app/engine/company_list.h"

namespace velmora::gui {

class CompanyListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // Background of the entries at odd positions (counted from 0).
    static QColor oddRowColour() { return QColor(255, 251, 240); }

    // Columns' initial widths in pixels; 0 keeps the view's default.
    static int initialWidth(Column column);

    // Watches the list through its append observer. The list outlives the model.
    explicit CompanyListModel(CompanyList& list, QObject* parent = nullptr);
    ~CompanyListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The GBK text of a cell.
    std::string_view field(int row, Column column) const;

    // Publishes the entries appended so far (normally done by a zero timer).
    void flush();

  signals:
    // Entries were published; `total` is the new number of rows.
    void entriesPublished(int total);

  private:
    void entriesAppended();

    CompanyList& list_;
    int shown_ = 0;
    bool flushQueued_ = false;
};

}  // namespace velmora::gui
