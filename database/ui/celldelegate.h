// The editor of a grid cell: one line of at most 253 characters, whose text reaches the
// table at every keystroke (so the table is always what the user sees), and whose Enter
// key ends the edit and is reported instead of being left to the view.
#pragma once

#include <QStyledItemDelegate>

class RecordCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;

Q_SIGNALS:
    void enterPressed();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;
};
