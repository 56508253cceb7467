// What assistive technology sees of a grid pane: a table of the cells on screen only. A
// sheet has a million rows; the framework's own table would keep one accessible object per
// cell a screen reader ever visited, and free them one by one when the window closes.
#pragma once

#include <QAccessibleWidget>

#include <QHash>
#include <QPair>

class SheetView;

class SheetAccessible
    : public QAccessibleWidget
    , public QAccessibleTableInterface
{
public:
    explicit SheetAccessible(SheetView *view);
    ~SheetAccessible() override;

    // Installed once: every SheetView gets this interface.
    static void installFactory();

    void *interface_cast(QAccessible::InterfaceType t) override;
    QAccessible::Role role() const override { return QAccessible::Table; }
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // QAccessibleTableInterface, in cells of the visible part
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    int selectedCellCount() const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *event) override;

    SheetView *view() const;
    // First row and column on screen (0-based) and how many.
    void visibleArea(int &row, int &col, int &rows, int &cols) const;
    // The interface of the cell at a model position (kept while it stays on screen).
    QAccessibleInterface *cellInterface(int row, int col) const;

private:
    void dropCellsOffScreen() const;

    mutable QHash<QPair<int, int>, QAccessible::Id> m_cells;
};
