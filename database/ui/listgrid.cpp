#include "database/ui/listgrid.h"

#include "database/ui/celldelegate.h"

#include <QHeaderView>
#include <QKeyEvent>

ListGrid::ListGrid(QWidget *parent) : QTableView(parent), m_delegate(new RecordCellDelegate(this))
{
    setObjectName(QStringLiteral("StringGrid1"));
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::DoubleClicked);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    QHeaderView *rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(24);
    rows->setMinimumSectionSize(24);
    rows->setFixedWidth(40);
    rows->setDefaultAlignment(Qt::AlignCenter);
    rows->setSectionsMovable(true);
    QHeaderView *cols = horizontalHeader();
    cols->setSectionResizeMode(QHeaderView::Interactive);
    cols->setDefaultSectionSize(160);
    cols->setMinimumSectionSize(0);
    cols->setMaximumSectionSize(0xFFF);
    cols->setSectionsMovable(true);
    cols->setHighlightSections(false);
    cols->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(m_delegate, &RecordCellDelegate::enterPressed, this, &ListGrid::enterPressed);
}

void ListGrid::commitPendingEdit()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void ListGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT enterPressed();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete && state() != QAbstractItemView::EditingState) {
        // Delete empties the selected cells (the current one when none is selected).
        QModelIndexList cells = selectionModel()->selectedIndexes();
        if (cells.isEmpty() && currentIndex().isValid())
            cells.append(currentIndex());
        for (const QModelIndex &i : cells)
            if (!i.data(Qt::EditRole).toString().isEmpty())
                model()->setData(i, QString(), Qt::EditRole);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
