#include "spreadsheet/ui/sheetmodel.h"

#include "common/velmoraerror.h"
#include "spreadsheet/core/numberformat.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookundo.h"

#include <QColor>

#include <algorithm>

using namespace sheet;

SheetModel::SheetModel(Workbook &book, QObject *parent) : QAbstractTableModel(parent), m_book(book) { }

void SheetModel::setSheet(int s)
{
    beginResetModel();
    m_sheet = s;
    endResetModel();
}

int SheetModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : kMaxRows; }
int SheetModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : kMaxColumns; }

QFont SheetModel::fontOf(const CellFormat &f)
{
    QFont font(f.fontName);
    font.setPointSizeF(f.fontSize / 20.0);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeout);
    return font;
}

Qt::Alignment SheetModel::alignmentOf(HorizontalAlignment horizontal, VerticalAlignment vertical)
{
    Qt::Alignment a;
    switch (horizontal) {
    case HorizontalAlignment::Centre: a = Qt::AlignHCenter; break;
    case HorizontalAlignment::Right: a = Qt::AlignRight; break;
    default: a = Qt::AlignLeft; break;
    }
    switch (vertical) {
    case VerticalAlignment::Top: a |= Qt::AlignTop; break;
    case VerticalAlignment::Middle: a |= Qt::AlignVCenter; break;
    default: a |= Qt::AlignBottom; break;
    }
    return a;
}

QVariant SheetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int r = index.row() + 1, c = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole: {
        const QString text = m_book.displayText(m_sheet, r, c);
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case Qt::EditRole: return m_book.entryText(m_sheet, r, c);
    case Qt::FontRole: {
        const CellFormat f = m_book.format(m_sheet, r, c);
        return fontOf(f);
    }
    case Qt::TextAlignmentRole: {
        const CellFormat f = m_book.format(m_sheet, r, c);
        const HorizontalAlignment h = m_book.showFormulas() && m_book.hasFormula(m_sheet, r, c)
                ? HorizontalAlignment::Left
                : m_book.effectiveAlignment(m_sheet, r, c);
        return QVariant::fromValue(alignmentOf(h, f.vertical));
    }
    case Qt::ForegroundRole: {
        const CellFormat f = m_book.format(m_sheet, r, c);
        // A number format may colour its numbers (negatives in red).
        if (!f.numberFormat.isEmpty() && !(m_book.showFormulas() && m_book.hasFormula(m_sheet, r, c))) {
            const Value v = m_book.value(m_sheet, r, c);
            const int colour = v.isNumber() ? patternColour(v.asNumber(), f.numberFormat) : -1;
            if (colour >= 0)
                return QColor::fromRgb(QRgb(unsigned(colour) | 0xff000000u));
        }
        if (f.colour == 0)
            return {};
        return QColor::fromRgb(QRgb(f.colour | 0xff000000u));
    }
    case WrapRole: return m_book.format(m_sheet, r, c).wrap;
    case NumberRole: {
        if (m_book.showFormulas() && m_book.hasFormula(m_sheet, r, c))
            return {};
        const Value v = m_book.value(m_sheet, r, c);
        return v.isNumber() ? QVariant(v.asNumber()) : QVariant();
    }
    case PatternRole: return m_book.format(m_sheet, r, c).numberFormat;
    default: return {};
    }
}

bool SheetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    m_lastError.clear();
    try {
        const int row = index.row() + 1, col = index.column() + 1;
        QString text = value.toString();
        // A cell in the text format keeps what is typed as text (formulas aside).
        if (!text.startsWith(u'=') && !text.startsWith(u'\'') && !text.isEmpty()
            && m_book.format(m_sheet, row, col).numberFormat == u"@")
            text.prepend(u'\'');
        if (m_history)
            m_history->changeCells(m_sheet, sheet::CellRange::single(row, col),
                                   [&] { m_book.setEntry(m_sheet, row, col, text); });
        else
            m_book.setEntry(m_sheet, row, col, text);
    } catch (const VelmoraError &e) {
        m_lastError = e.message();
        return false;
    }
    // The engine's notification repaints the cell and those that depend on it.
    return true;
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole)
        return orientation == Qt::Horizontal ? columnName(section + 1) : QString::number(section + 1);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags SheetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

void SheetModel::cellsChanged(const std::vector<CellAddress> &cells)
{
    if (cells.empty())
        return;
    // One rectangle around the changed cells: the views repaint only what is on screen.
    int top = kMaxRows, left = kMaxColumns, bottom = 1, right = 1;
    for (const CellAddress &a : cells) {
        top = std::min(top, a.row);
        bottom = std::max(bottom, a.row);
        left = std::min(left, a.col);
        right = std::max(right, a.col);
    }
    top = std::clamp(top, 1, kMaxRows);
    bottom = std::clamp(bottom, top, kMaxRows);
    left = std::clamp(left, 1, kMaxColumns);
    right = std::clamp(right, left, kMaxColumns);
    Q_EMIT dataChanged(index(top - 1, left - 1), index(bottom - 1, right - 1));
}

void SheetModel::allCellsChanged() { Q_EMIT dataChanged(index(0, 0), index(kMaxRows - 1, kMaxColumns - 1)); }

void SheetModel::reset()
{
    beginResetModel();
    endResetModel();
}
