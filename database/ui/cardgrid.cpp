#include "database/ui/cardgrid.h"

#include "database/ui/celldelegate.h"

#include <QHeaderView>
#include <QKeyEvent>

CardGrid::CardGrid(QWidget *parent) : QTableWidget(0, 2, parent)
{
    setObjectName(QStringLiteral("StringGrid2"));
    auto *delegate = new RecordCellDelegate(this);
    setItemDelegateForColumn(1, delegate);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(24);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::DoubleClicked);
    setWordWrap(false);
    // Enter ends the edit and goes to the next field.
    connect(delegate, &RecordCellDelegate::enterPressed, this, [this] {
        if (currentRow() + 1 < rowCount())
            setCurrentCell(currentRow() + 1, 1);
    });
}

void CardGrid::setCard(const QStringList &names, const QStringList &values)
{
    commitPendingEdit();
    setRowCount(int(names.size()));
    for (int i = 0; i < names.size(); ++i) {
        auto *name = new QTableWidgetItem(names[i]);
        // Field names change through the field dialog only.
        name->setFlags(Qt::ItemIsEnabled);
        name->setBackground(palette().button());
        setItem(i, 0, name);
        setItem(i, 1, new QTableWidgetItem(i < values.size() ? values[i] : QString()));
    }
}

QStringList CardGrid::values()
{
    commitPendingEdit();
    QStringList out;
    for (int i = 0; i < rowCount(); ++i)
        out.append(item(i, 1) ? item(i, 1)->text() : QString());
    return out;
}

void CardGrid::setValue(int line, const QString &text)
{
    if (line >= 0 && line < rowCount() && item(line, 1))
        item(line, 1)->setText(text);
}

void CardGrid::commitPendingEdit()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void CardGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        Q_EMIT pageKey(event->key() == Qt::Key_PageUp ? -1 : 1);
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}
