// The list view's model: the table's records as rows and its fields as columns, the field
// names and the row labels as headers. The table keeps its fixed 16384 x 32 size, so edits
// only ever change data, never the model's shape.
#pragma once

#include "database/core/table.h"

#include <QAbstractTableModel>

class RecordListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit RecordListModel(Table &table, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Cells hold one line of at most 253 characters: line breaks become blanks and the
    // rest is cut, so that a save and reload give back what was typed.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Record and field of an index (1-based), and the index of a cell.
    static int recordOf(const QModelIndex &index) { return index.row() + 1; }
    static int fieldOf(const QModelIndex &index) { return index.column() + 1; }
    QModelIndex cellIndex(int field, int record) const { return index(record - 1, field - 1); }

    // After the table changed behind the model's back.
    void refreshAll();
    void refreshRecords(int first, int last);
    void refreshNames();

    static QString cleanCellText(const QString &text);

Q_SIGNALS:
    // A cell's text was changed through the view.
    void cellEdited(int field, int record);

private:
    Table &m_table;
};
