// One pane of the grid. The main pane scrolls; with frozen rows or columns, up to three
// panes lie over its top-left part and show the frozen rows, the frozen columns and the
// corner where they meet. All panes share one model, one selection and one delegate; the
// main pane does all the scrolling, the others follow it.
#pragma once

#include <QTableView>

#include <functional>

class QScrollBar;

class SheetView : public QTableView
{
    Q_OBJECT
public:
    enum class Pane { Main, Top, Left, Corner };

    explicit SheetView(Pane pane, QWidget *parent = nullptr);
    Pane pane() const { return m_pane; }

    // Rows and columns kept in view (main pane): scrolling starts after them.
    void setFrozen(int rows, int cols);
    // Painted over the cells of the main pane (charts).
    void setOverlayPainter(std::function<void(QPainter &)> painter) { m_overlay = std::move(painter); }
    // The pane that receives the wheel and scroll requests of an overlay pane.
    void setMainPane(SheetView *main) { m_main = main; }

    // Finds the cell under a point of the screen, whichever pane shows it (set on the main pane).
    void setLocator(std::function<QModelIndex(const QPoint &global)> locate) { m_locate = std::move(locate); }

    // The corner a Shift+click or Shift+arrow extends the selection from: one for all the
    // panes, so that frozen rows and columns join a selection like any other cells.
    QModelIndex anchor() const;
    void setAnchor(const QModelIndex &index);
    // True while a pane moves the active cell to extend the selection (the anchor stays).
    bool isExtending() const;
    // Makes `to` the active cell and selects the rectangle from the anchor to it.
    void extendSelectionTo(const QModelIndex &to);

    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    using QTableView::edit;

    // Ends editing in `editor` (if it is this view's) as Enter would, without moving.
    void commitEditor(QWidget *editor);
    // Closes `editor` (if it is this view's) without entering what it holds.
    void discardEditor(QWidget *editor);

Q_SIGNALS:
    // Delete pressed outside an editor: clear the selected cells.
    void clearRequested();
    // Enter or Tab outside an editor, or after an edit: move the active cell.
    void moveRequested(int dRow, int dCol);
    // Ctrl+End outside an editor (with Shift: extending the selection).
    void lastCellRequested(bool extend);

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void commitData(QWidget *editor) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
    void scrollContentsBy(int dx, int dy) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

private:
    static void scrollUntil(QScrollBar *bar, const std::function<bool()> &fits);
    void selectLine(Qt::Orientation orientation, int section, bool pressed);
    int firstScrolledRow() const;
    int firstScrolledColumn() const;
    SheetView *mainPane() { return m_pane == Pane::Main || !m_main ? this : m_main; }
    const SheetView *mainPane() const { return m_pane == Pane::Main || !m_main ? this : m_main; }
    QModelIndex cellAtGlobal(const QPoint &global);

    Pane m_pane;
    SheetView *m_main = nullptr;
    int m_frozenRows = 0;
    int m_frozenCols = 0;
    int m_lineAnchor = -1; // used on the main pane only
    QPersistentModelIndex m_anchor; // used on the main pane only
    bool m_extending = false; // used on the main pane only
    bool m_extendingDrag = false; // a Shift+click whose drag goes on extending
    std::function<QModelIndex(const QPoint &)> m_locate;
    std::function<void(QPainter &)> m_overlay;
};
