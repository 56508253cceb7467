#include "spreadsheet/ui/sheetview.h"

#include "spreadsheet/ui/sheetaccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

SheetView::SheetView(Pane pane, QWidget *parent) : QTableView(parent), m_pane(pane)
{
    SheetAccessible::installFactory();
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(true);
    setAutoScroll(pane == Pane::Main);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setHighlightSections(true);
    horizontalHeader()->setMinimumSectionSize(2);
    verticalHeader()->setMinimumSectionSize(2);
    // A click on a letter or a number selects the whole column or row, replacing the
    // selection (shift extends it from the last one clicked); dragging extends it too.
    disconnect(horizontalHeader(), SIGNAL(sectionPressed(int)), this, SLOT(selectColumn(int)));
    disconnect(horizontalHeader(), SIGNAL(sectionEntered(int)), this, SLOT(_q_selectColumn(int)));
    disconnect(verticalHeader(), SIGNAL(sectionPressed(int)), this, SLOT(selectRow(int)));
    disconnect(verticalHeader(), SIGNAL(sectionEntered(int)), this, SLOT(_q_selectRow(int)));
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this,
            [this](int c) { selectLine(Qt::Horizontal, c, true); });
    connect(horizontalHeader(), &QHeaderView::sectionEntered, this,
            [this](int c) { selectLine(Qt::Horizontal, c, false); });
    connect(verticalHeader(), &QHeaderView::sectionPressed, this, [this](int r) { selectLine(Qt::Vertical, r, true); });
    connect(verticalHeader(), &QHeaderView::sectionEntered, this,
            [this](int r) { selectLine(Qt::Vertical, r, false); });
    if (pane != Pane::Main) {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setFrameShape(QFrame::NoFrame);
        setCornerButtonEnabled(false);
    }
}

void SheetView::selectLine(Qt::Orientation o, int section, bool pressed)
{
    if (!model() || !selectionModel())
        return;
    const bool extend = !pressed || (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
    int &lineAnchor = mainPane()->m_lineAnchor;
    if (!extend || lineAnchor < 0)
        lineAnchor = section;
    const int first = std::min(lineAnchor, section), last = std::max(lineAnchor, section);
    QModelIndex tl, br, current;
    if (o == Qt::Horizontal) {
        tl = model()->index(0, first);
        br = model()->index(model()->rowCount() - 1, last);
        current = model()->index(currentIndex().isValid() && extend ? currentIndex().row() : 0, section);
    } else {
        tl = model()->index(first, 0);
        br = model()->index(last, model()->columnCount() - 1);
        current = model()->index(section, currentIndex().isValid() && extend ? currentIndex().column() : 0);
    }
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(tl, br), QItemSelectionModel::ClearAndSelect);
}

QModelIndex SheetView::anchor() const
{
    const SheetView *main = mainPane();
    return main->m_anchor.isValid() ? QModelIndex(main->m_anchor) : currentIndex();
}

void SheetView::setAnchor(const QModelIndex &index) { mainPane()->m_anchor = index; }

bool SheetView::isExtending() const { return mainPane()->m_extending; }

void SheetView::extendSelectionTo(const QModelIndex &to)
{
    if (!to.isValid() || !model() || !selectionModel())
        return;
    const QModelIndex from = anchor();
    const QModelIndex tl = model()->index(std::min(from.row(), to.row()), std::min(from.column(), to.column()));
    const QModelIndex br = model()->index(std::max(from.row(), to.row()), std::max(from.column(), to.column()));
    SheetView *main = mainPane();
    main->m_extending = true;
    selectionModel()->setCurrentIndex(to, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(tl, br), QItemSelectionModel::ClearAndSelect);
    main->m_extending = false;
}

QModelIndex SheetView::cellAtGlobal(const QPoint &global)
{
    SheetView *main = mainPane();
    if (main->m_locate)
        return main->m_locate(global);
    return indexAt(viewport()->mapFromGlobal(global));
}

void SheetView::mousePressEvent(QMouseEvent *e)
{
    const QModelIndex at = indexAt(e->position().toPoint());
    if (e->button() == Qt::LeftButton && at.isValid() && state() != EditingState
        && (e->modifiers() & Qt::ShiftModifier)) {
        // Every pane extends from the same corner, whichever pane it lies in.
        setFocus(Qt::MouseFocusReason);
        extendSelectionTo(at);
        m_extendingDrag = true;
        return;
    }
    QTableView::mousePressEvent(e);
    if (e->button() == Qt::LeftButton && at.isValid())
        setAnchor(currentIndex());
}

void SheetView::mouseMoveEvent(QMouseEvent *e)
{
    if ((e->buttons() & Qt::LeftButton) && (m_extendingDrag || state() == DragSelectingState)) {
        // A drag may cross from a frozen pane into the scrolled one and back: the cell under
        // the mouse is looked for in every pane.
        const QPoint global = e->globalPosition().toPoint();
        QModelIndex at = cellAtGlobal(global);
        if (!at.isValid()) {
            // Beyond the grid's edge: scroll one step that way and take the edge cell.
            SheetView *main = mainPane();
            const QPoint local = main->viewport()->mapFromGlobal(global);
            const QRect area = main->viewport()->rect();
            QScrollBar *v = main->verticalScrollBar(), *h = main->horizontalScrollBar();
            if (local.y() > area.bottom() || local.y() < 0)
                v->setValue(v->value() + (local.y() < 0 ? -1 : 1));
            if (local.x() > area.right() || local.x() < 0)
                h->setValue(h->value() + (local.x() < 0 ? -1 : 1));
            const QPoint clamped(std::clamp(local.x(), 0, std::max(0, area.right())),
                                 std::clamp(local.y(), 0, std::max(0, area.bottom())));
            at = cellAtGlobal(main->viewport()->mapToGlobal(clamped));
        }
        if (at.isValid() && at != currentIndex())
            extendSelectionTo(at);
        return;
    }
    QTableView::mouseMoveEvent(e);
}

void SheetView::mouseReleaseEvent(QMouseEvent *e)
{
    m_extendingDrag = false;
    QTableView::mouseReleaseEvent(e);
}

bool SheetView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool opened = QTableView::edit(index, trigger, event);
    // F2 and a double click put the caret after the content instead of selecting it all.
    if (opened && (trigger == EditKeyPressed || trigger == DoubleClicked))
        if (auto *line = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            line && line->parentWidget() == viewport())
            line->end(false);
    return opened;
}

void SheetView::setFrozen(int rows, int cols)
{
    m_frozenRows = rows;
    m_frozenCols = cols;
}

// With per-item scrolling the scroll bar's value is the first row (column) shown.
int SheetView::firstScrolledRow() const { return verticalScrollBar()->value(); }
int SheetView::firstScrolledColumn() const { return horizontalScrollBar()->value(); }

void SheetView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (m_pane != Pane::Main) {
        // Overlay panes never scroll by themselves: the main pane decides.
        if (m_main)
            m_main->scrollTo(index, hint);
        return;
    }
    if (!index.isValid())
        return;
    if (m_frozenRows == 0 && m_frozenCols == 0) {
        QTableView::scrollTo(index, hint);
        return;
    }
    // Rows under the frozen pane are hidden: the cell must lie below (or right of) it.
    const int r = index.row(), c = index.column();
    if (r >= m_frozenRows) {
        QScrollBar *v = verticalScrollBar();
        if (r - m_frozenRows < firstScrolledRow())
            v->setValue(r - m_frozenRows);
        scrollUntil(v, [&] { return rowViewportPosition(r) + rowHeight(r) <= viewport()->height(); });
    }
    if (c >= m_frozenCols) {
        QScrollBar *h = horizontalScrollBar();
        if (c - m_frozenCols < firstScrolledColumn())
            h->setValue(c - m_frozenCols);
        scrollUntil(h, [&] { return columnViewportPosition(c) + columnWidth(c) <= viewport()->width(); });
    }
}

// Moves `bar` forward to the least value at which `fits` holds (the cell's far edge inside
// the viewport), or to its end. Found by halving: each probe scrolls the panes, and the last
// cell of a long sheet lies a million rows away.
void SheetView::scrollUntil(QScrollBar *bar, const std::function<bool()> &fits)
{
    if (fits())
        return;
    int outside = bar->value(), inside = bar->maximum();
    bar->setValue(inside);
    if (!fits())
        return;
    while (inside - outside > 1) {
        const int middle = outside + (inside - outside) / 2;
        bar->setValue(middle);
        (fits() ? inside : outside) = middle;
    }
    bar->setValue(inside);
}

void SheetView::commitEditor(QWidget *editor)
{
    if (state() != EditingState || !editor || editor->parentWidget() != viewport())
        return;
    commitData(editor);
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void SheetView::discardEditor(QWidget *editor)
{
    if (state() != EditingState || !editor || editor->parentWidget() != viewport())
        return;
    QTableView::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

// Tab and Shift+Tab move between cells (keyPressEvent); the widget would otherwise take
// them to move the keyboard focus out of the sheet before the key reaches it.
bool SheetView::event(QEvent *e)
{
    if (e->type() == QEvent::KeyPress && state() != EditingState) {
        auto *key = static_cast<QKeyEvent *>(e);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QTableView::event(e);
}

void SheetView::keyPressEvent(QKeyEvent *e)
{
    if (state() != EditingState) {
        switch (e->key()) {
        case Qt::Key_Delete:
            if (e->modifiers() == Qt::NoModifier) {
                Q_EMIT clearRequested();
                return;
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter: Q_EMIT moveRequested(e->modifiers() & Qt::ShiftModifier ? -1 : 1, 0); return;
        case Qt::Key_Tab: Q_EMIT moveRequested(0, 1); return;
        case Qt::Key_Backtab: Q_EMIT moveRequested(0, -1); return;
        case Qt::Key_End:
            if (e->modifiers() & Qt::ControlModifier) {
                Q_EMIT lastCellRequested(e->modifiers() & Qt::ShiftModifier);
                return;
            }
            break;
        default: break;
        }
        if (e->modifiers() & Qt::ShiftModifier) {
            // Shift and a movement key extend the selection from the shared anchor.
            CursorAction action;
            bool moves = true;
            switch (e->key()) {
            case Qt::Key_Up: action = MoveUp; break;
            case Qt::Key_Down: action = MoveDown; break;
            case Qt::Key_Left: action = MoveLeft; break;
            case Qt::Key_Right: action = MoveRight; break;
            case Qt::Key_PageUp: action = MovePageUp; break;
            case Qt::Key_PageDown: action = MovePageDown; break;
            case Qt::Key_Home: action = MoveHome; break;
            case Qt::Key_End: action = MoveEnd; break;
            default:
                moves = false;
                action = MoveUp;
                break;
            }
            if (moves) {
                const QModelIndex to = moveCursor(action, e->modifiers());
                if (to.isValid()) {
                    extendSelectionTo(to);
                    scrollTo(to);
                }
                e->accept();
                return;
            }
        }
    }
    QTableView::keyPressEvent(e);
    // Ctrl+Home goes back to the top left of the sheet: the scrolled part too, even when
    // the first cell lies in the frozen rows and columns, which never scroll.
    if (state() != EditingState && e->key() == Qt::Key_Home && (e->modifiers() & Qt::ControlModifier)) {
        SheetView *main = m_pane == Pane::Main ? this : m_main;
        if (main) {
            main->verticalScrollBar()->setValue(0);
            main->horizontalScrollBar()->setValue(0);
        }
    }
    // A key that opened an editor comes back ignored; an overlay pane's parent is the main
    // pane, which would open a second editor with it.
    if (m_pane != Pane::Main)
        e->accept();
}

void SheetView::wheelEvent(QWheelEvent *e)
{
    if (m_pane != Pane::Main && m_main) {
        QApplication::sendEvent(m_main->viewport(), e);
        return;
    }
    QTableView::wheelEvent(e);
}

void SheetView::paintEvent(QPaintEvent *e)
{
    QTableView::paintEvent(e);
    if (m_overlay) {
        QPainter p(viewport());
        m_overlay(p);
    }
}

// The table view would tell assistive technology about cells by their number in the whole
// sheet; this grid's accessible table holds the cells on screen only, numbered among them.
void SheetView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QAbstractItemView::currentChanged(current, previous); // scrolls the cell into view first
    if (!QAccessible::isActive() || !current.isValid() || !hasFocus())
        return;
    auto *table = dynamic_cast<SheetAccessible *>(QAccessible::queryAccessibleInterface(this));
    if (!table)
        return;
    int row, col, rows, cols;
    table->visibleArea(row, col, rows, cols);
    const int r = current.row() - row, c = current.column() - col;
    if (r < 0 || c < 0 || r >= rows || c >= cols)
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(r * cols + c);
    QAccessible::updateAccessibility(&event);
}

void SheetView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::SelectionWithin);
        QAccessible::updateAccessibility(&event);
    }
}

void SheetView::commitData(QWidget *editor)
{
    if (editor && editor->parentWidget() == viewport())
        QTableView::commitData(editor);
}

void SheetView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Every pane hears every editor's end (they share one delegate): only the pane that
    // holds the editor closes it and moves, or each frozen pane would move once more.
    if (editor && editor->parentWidget() != viewport())
        return;
    // A spreadsheet moves after an entry instead of opening the next cell's editor.
    int dRow = 0, dCol = 0;
    switch (hint) {
    case QAbstractItemDelegate::SubmitModelCache: dRow = 1; break;
    case QAbstractItemDelegate::EditNextItem: dCol = 1; break;
    case QAbstractItemDelegate::EditPreviousItem: dCol = -1; break;
    default: break;
    }
    const bool refused = editor && editor->property("refused").toBool();
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (!refused && (dRow || dCol))
        Q_EMIT moveRequested(dRow, dCol);
}

void SheetView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    viewport()->update(); // charts are painted over the cells and move with them
}
