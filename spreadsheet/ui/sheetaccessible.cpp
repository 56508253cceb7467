#include "spreadsheet/ui/sheetaccessible.h"

#include "spreadsheet/ui/sheetview.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>

#include <algorithm>

namespace {

// One cell on screen. It holds its model position; the table drops it once it leaves the
// screen, so that only a screenful of them ever exists.
class SheetCellAccessible
    : public QAccessibleInterface
    , public QAccessibleTableCellInterface
{
public:
    SheetCellAccessible(SheetAccessible *table, SheetView *view, int row, int col)
        : m_table(table),
          m_view(view),
          m_row(row),
          m_col(col)
    { }

    bool isValid() const override { return m_view && m_view->model(); }
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *parent() const override { return m_table; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this) : nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        return m_view->model()->index(m_row, m_col).data().toString();
    }
    void setText(QAccessible::Text, const QString &) override { }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = m_view->visualRect(m_view->model()->index(m_row, m_col));
        return QRect(m_view->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        const QModelIndex index = m_view->model()->index(m_row, m_col);
        s.selectable = true;
        s.focusable = true;
        s.selected = m_view->selectionModel() && m_view->selectionModel()->isSelected(index);
        s.focused = m_view->currentIndex() == index && m_view->hasFocus();
        return s;
    }

    // QAccessibleTableCellInterface: positions within the part on screen
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override
    {
        int row, col, rows, cols;
        m_table->visibleArea(row, col, rows, cols);
        return m_col - col;
    }
    int rowIndex() const override
    {
        int row, col, rows, cols;
        m_table->visibleArea(row, col, rows, cols);
        return m_row - row;
    }
    bool isSelected() const override { return state().selected; }
    QAccessibleInterface *table() const override { return m_table; }

private:
    SheetAccessible *m_table;
    QPointer<SheetView> m_view;
    int m_row;
    int m_col;
};

QAccessibleInterface *sheetFactory(const QString &, QObject *object)
{
    if (auto *view = qobject_cast<SheetView *>(object))
        return new SheetAccessible(view);
    return nullptr;
}

} // namespace

void SheetAccessible::installFactory()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(sheetFactory);
        installed = true;
    }
}

SheetAccessible::SheetAccessible(SheetView *view) : QAccessibleWidget(view, QAccessible::Table) { }

SheetAccessible::~SheetAccessible()
{
    for (QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
}

SheetView *SheetAccessible::view() const { return static_cast<SheetView *>(object()); }

void *SheetAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

void SheetAccessible::visibleArea(int &row, int &col, int &rows, int &cols) const
{
    SheetView *v = view();
    row = col = rows = cols = 0;
    if (!v || !v->model())
        return;
    const QSize size = v->viewport()->size();
    row = std::max(0, v->rowAt(0));
    col = std::max(0, v->columnAt(0));
    int lastRow = v->rowAt(size.height() - 1), lastCol = v->columnAt(size.width() - 1);
    if (lastRow < 0)
        lastRow = v->model()->rowCount() - 1;
    if (lastCol < 0)
        lastCol = v->model()->columnCount() - 1;
    // A screen shows at most a few hundred cells; the bounds guard against tiny sizes.
    rows = std::clamp(lastRow - row + 1, 0, 500);
    cols = std::clamp(lastCol - col + 1, 0, 256);
}

int SheetAccessible::rowCount() const
{
    int row, col, rows, cols;
    visibleArea(row, col, rows, cols);
    return rows;
}

int SheetAccessible::columnCount() const
{
    int row, col, rows, cols;
    visibleArea(row, col, rows, cols);
    return cols;
}

int SheetAccessible::childCount() const { return rowCount() * columnCount(); }

void SheetAccessible::dropCellsOffScreen() const
{
    int row, col, rows, cols;
    visibleArea(row, col, rows, cols);
    for (auto it = m_cells.begin(); it != m_cells.end();) {
        const int r = it.key().first, c = it.key().second;
        if (r < row || r >= row + rows || c < col || c >= col + cols) {
            QAccessible::deleteAccessibleInterface(it.value());
            it = m_cells.erase(it);
        } else {
            ++it;
        }
    }
}

QAccessibleInterface *SheetAccessible::cellInterface(int row, int col) const
{
    const auto key = qMakePair(row, col);
    if (const auto it = m_cells.constFind(key); it != m_cells.constEnd())
        return QAccessible::accessibleInterface(it.value());
    // The screen may have moved since the last cell was asked for: only it is kept.
    int r0, c0, rows, cols;
    visibleArea(r0, c0, rows, cols);
    if (m_cells.size() >= rows * cols)
        dropCellsOffScreen();
    auto *cell = new SheetCellAccessible(const_cast<SheetAccessible *>(this), view(), row, col);
    const QAccessible::Id id = QAccessible::registerAccessibleInterface(cell);
    m_cells.insert(key, id);
    return cell;
}

QAccessibleInterface *SheetAccessible::cellAt(int row, int column) const
{
    int r0, c0, rows, cols;
    visibleArea(r0, c0, rows, cols);
    if (row < 0 || column < 0 || row >= rows || column >= cols)
        return nullptr;
    return cellInterface(r0 + row, c0 + column);
}

QAccessibleInterface *SheetAccessible::child(int index) const
{
    const int cols = columnCount();
    if (index < 0 || cols == 0)
        return nullptr;
    return cellAt(index / cols, index % cols);
}

int SheetAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    auto *cell = child ? const_cast<QAccessibleInterface *>(child)->tableCellInterface() : nullptr;
    if (!cell || child->parent() != this)
        return -1;
    const int r = cell->rowIndex(), c = cell->columnIndex();
    if (r < 0 || c < 0 || r >= rowCount() || c >= columnCount())
        return -1;
    return r * columnCount() + c;
}

QAccessibleInterface *SheetAccessible::childAt(int x, int y) const
{
    SheetView *v = view();
    if (!v || !v->model())
        return nullptr;
    const QModelIndex index = v->indexAt(v->viewport()->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? cellInterface(index.row(), index.column()) : nullptr;
}

QAccessibleInterface *SheetAccessible::focusChild() const
{
    SheetView *v = view();
    if (!v || !v->currentIndex().isValid())
        return nullptr;
    return cellInterface(v->currentIndex().row(), v->currentIndex().column());
}

int SheetAccessible::selectedCellCount() const { return int(selectedCells().size()); }

QList<QAccessibleInterface *> SheetAccessible::selectedCells() const
{
    QList<QAccessibleInterface *> out;
    SheetView *v = view();
    if (!v || !v->selectionModel())
        return out;
    int r0, c0, rows, cols;
    visibleArea(r0, c0, rows, cols);
    for (const QItemSelectionRange &range : v->selectionModel()->selection())
        for (int r = std::max(range.top(), r0); r <= std::min(range.bottom(), r0 + rows - 1); ++r)
            for (int c = std::max(range.left(), c0); c <= std::min(range.right(), c0 + cols - 1); ++c)
                out << cellInterface(r, c);
    return out;
}

QString SheetAccessible::columnDescription(int column) const
{
    int r0, c0, rows, cols;
    visibleArea(r0, c0, rows, cols);
    SheetView *v = view();
    return v && v->model() ? v->model()->headerData(c0 + column, Qt::Horizontal).toString() : QString();
}

QString SheetAccessible::rowDescription(int row) const
{
    int r0, c0, rows, cols;
    visibleArea(r0, c0, rows, cols);
    SheetView *v = view();
    return v && v->model() ? v->model()->headerData(r0 + row, Qt::Vertical).toString() : QString();
}

void SheetAccessible::modelChange(QAccessibleTableModelChangeEvent *)
{
    // Cells are read from the model when asked: only those gone from the screen go.
    dropCellsOffScreen();
}
