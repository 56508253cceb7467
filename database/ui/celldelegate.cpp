#include "database/ui/celldelegate.h"

#include "database/core/table.h"

#include <QKeyEvent>
#include <QLineEdit>

QWidget *RecordCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *edit = new QLineEdit(parent);
    edit->setFrame(false);
    edit->setMaxLength(Table::kMaxCellLength);
    auto *self = const_cast<RecordCellDelegate *>(this);
    connect(edit, &QLineEdit::textEdited, self, [self, edit] { Q_EMIT self->commitData(edit); });
    return edit;
}

void RecordCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // The committed text comes back through dataChanged: leave the editor (and its caret)
    // alone when it already shows it.
    auto *edit = qobject_cast<QLineEdit *>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (edit && edit->text() != text)
        edit->setText(text);
}

bool RecordCellDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            auto *editor = qobject_cast<QWidget *>(object);
            Q_EMIT commitData(editor);
            Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
            Q_EMIT enterPressed();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
