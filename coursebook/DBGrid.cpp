#include "DBGrid.h"
#include "ErrorReport.h"

#include <QDate>
#include <QHeaderView>

TTableModel::TTableModel(TTable* table, QList<TColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), Source(table), Cols(std::move(columns)) {
    // The table replaces its rows wholesale when it reads them again.
    connect(Source, &TTable::DataChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int TTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !Source || !Source->Active() ? 0 : Source->RecordCount();
}

int TTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(Cols.size());
}

QVariant TTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !Source || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    const QVariant value = Source->Value(index.row(), Cols[index.column()].Field);
    if (role == Qt::DisplayRole && Cols[index.column()].Field == QLatin1String("data")) {
        // Journal days are stored as ISO dates and read the way the class writes them.
        const QDate day = QDate::fromString(value.toString().left(10), Qt::ISODate);
        if (day.isValid()) return day.toString(QStringLiteral("dd.MM.yyyy"));
    }
    return value;
}

QVariant TTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QVariant();
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < Cols.size() ? QVariant(Cols[section].Title) : QVariant();
    return section + 1;
}

Qt::ItemFlags TTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && Cols[index.column()].Editable) f |= Qt::ItemIsEditable;
    return f;
}

bool TTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !Source || !Cols[index.column()].Editable)
        return false;
    bool stored = false;
    Guarded([&] {
        Source->MoveTo(index.row());
        Source->Edit();
        try {
            Source->SetFieldValue(Cols[index.column()].Field, value);
            Source->Post();
        } catch (...) {
            // The grid shows the stored value again; the report says why it was refused.
            Source->Cancel();
            throw;
        }
        stored = true;
    });
    return stored;
}

TDBGrid::TDBGrid(TTable* table, QList<TTableModel::TColumn> columns, QWidget* parent)
    : QTableView(parent), Rows(new TTableModel(table, std::move(columns), this)) {
    setModel(Rows);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    bool editable = false;
    for (const auto& c : Rows->Columns())
        editable = editable || c.Editable;
    setEditTriggers(editable
                        ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed
                        : QAbstractItemView::NoEditTriggers);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { RowChosen(current); });
    connect(Rows, &QAbstractItemModel::modelReset, this, [this] {
        // Every column but the last as wide as its texts; the last takes the rest.
        for (int c = 0; c + 1 < Rows->columnCount(); ++c)
            resizeColumnToContents(c);
        FollowTable();
    });
    connect(table, &TTable::Scrolled, this, &TDBGrid::FollowTable);
    for (int c = 0; c + 1 < Rows->columnCount(); ++c)
        resizeColumnToContents(c);
    FollowTable();
}

void TDBGrid::FollowTable() {
    TTable* table = Rows->Table();
    if (!table) return;
    const int row = table->RecNo();
    const QModelIndex current = selectionModel()->currentIndex();
    if (row < 0 || (current.isValid() && current.row() == row)) return;
    Following = true;
    const int column = current.isValid() ? current.column() : 0;
    selectionModel()->setCurrentIndex(
        Rows->index(row, column), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(Rows->index(row, column));
    Following = false;
}

void TDBGrid::RowChosen(const QModelIndex& current) {
    if (Following || !current.isValid()) return;
    Guarded([&] {
        if (Rows->Table() && Rows->Table()->RecNo() != current.row())
            Rows->Table()->MoveTo(current.row());
    });
}
