#pragma once
#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QTableView>

#include "Dataset.h"

// The rows of a table's current view as a Qt item model: one column per chosen field, with its
// caption. Columns marked editable take typed values; each edit is stored at once (the row is
// put into edit state, changed and posted). The model follows the table: new rows, a new
// filter, a refresh.
class TTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct TColumn {
        QString Field;
        QString Title;
        bool Editable = false;
    };

    TTableModel(TTable* table, QList<TColumn> columns, QObject* parent = nullptr);

    TTable* Table() const { return Source; }
    const QList<TColumn>& Columns() const { return Cols; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    QPointer<TTable> Source;
    QList<TColumn> Cols;
};

// A grid of a table: its selected row is the table's current row, both ways round.
class TDBGrid : public QTableView {
    Q_OBJECT
public:
    TDBGrid(TTable* table, QList<TTableModel::TColumn> columns, QWidget* parent = nullptr);

    TTableModel* Model() const { return Rows; }
    TTable* Table() const { return Rows->Table(); }

private:
    void FollowTable();
    void RowChosen(const QModelIndex& current);

    TTableModel* Rows;
    bool Following = false;
};
