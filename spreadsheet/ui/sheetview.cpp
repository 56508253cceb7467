#include "spreadsheet/ui/sheetview.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>

SheetView::SheetView(Pane pane, QWidget *parent) : QTableView(parent), m_pane(pane)
{
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
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this, [this](int c) { selectLine(Qt::Horizontal, c, true); });
    connect(horizontalHeader(), &QHeaderView::sectionEntered, this, [this](int c) { selectLine(Qt::Horizontal, c, false); });
    connect(verticalHeader(), &QHeaderView::sectionPressed, this, [this](int r) { selectLine(Qt::Vertical, r, true); });
    connect(verticalHeader(), &QHeaderView::sectionEntered, this, [this](int r) { selectLine(Qt::Vertical, r, false); });
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
    if (!extend || m_lineAnchor < 0)
        m_lineAnchor = section;
    const int first = std::min(m_lineAnchor, section), last = std::max(m_lineAnchor, section);
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

bool SheetView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool opened = QTableView::edit(index, trigger, event);
    // F2 and a double click put the caret after the content instead of selecting it all.
    if (opened && (trigger == EditKeyPressed || trigger == DoubleClicked))
        if (auto *line = qobject_cast<QLineEdit *>(QApplication::focusWidget()); line && line->parentWidget() == viewport())
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
        while (v->value() < v->maximum()
               && rowViewportPosition(r) + rowHeight(r) > viewport()->height())
            v->setValue(v->value() + 1);
    }
    if (c >= m_frozenCols) {
        QScrollBar *h = horizontalScrollBar();
        if (c - m_frozenCols < firstScrolledColumn())
            h->setValue(c - m_frozenCols);
        while (h->value() < h->maximum()
               && columnViewportPosition(c) + columnWidth(c) > viewport()->width())
            h->setValue(h->value() + 1);
    }
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
        case Qt::Key_Enter:
            Q_EMIT moveRequested(e->modifiers() & Qt::ShiftModifier ? -1 : 1, 0);
            return;
        case Qt::Key_Tab:
            Q_EMIT moveRequested(0, 1);
            return;
        case Qt::Key_Backtab:
            Q_EMIT moveRequested(0, -1);
            return;
        default:
            break;
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

void SheetView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
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
