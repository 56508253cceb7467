// The table model the grid views read: one sheet of the workbook at a time, cells as the
// engine shows them (values, or formulas while editing), fonts, alignment and colour of
// each cell, column letters and row numbers in the headers.
#pragma once

#include "spreadsheet/core/celladdress.h"
#include "spreadsheet/core/cellformat.h"

#include <QAbstractTableModel>
#include <QFont>

#include <vector>

namespace sheet {
class Workbook;
class WorkbookHistory;
} // namespace sheet

class SheetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Extra roles the cell delegate reads.
    enum Role {
        WrapRole = Qt::UserRole + 1,
        NumberRole, // the number a cell shows (none for other values and shown formulas)
        PatternRole, // its number format
    };

    explicit SheetModel(sheet::Workbook &book, QObject *parent = nullptr);

    int sheet() const { return m_sheet; }
    void setSheet(int sheet);
    // Where entries typed in the grid are recorded for undo (none: not recorded).
    void setHistory(sheet::WorkbookHistory *history) { m_history = history; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The screen font of a cell format.
    static QFont fontOf(const sheet::CellFormat &format);
    static Qt::Alignment alignmentOf(sheet::HorizontalAlignment horizontal, sheet::VerticalAlignment vertical);

    // The engine's notifications, passed on to the views.
    void cellsChanged(const std::vector<sheet::CellAddress> &cells);
    void allCellsChanged();
    void reset();

    // The French message of the last entry the engine refused (setData returned false).
    const QString &lastError() const { return m_lastError; }

private:
    sheet::Workbook &m_book;
    sheet::WorkbookHistory *m_history = nullptr;
    int m_sheet = 0;
    QString m_lastError;
};
