#include "database/ui/celldelegate.h"

#include "database/core/table.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {
// The cell's text when the edit began, for Escape.
const char *const kOriginal = "velmoraOriginalText";
} // namespace

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
    if (edit && !edit->property(kOriginal).isValid())
        edit->setProperty(kOriginal, text);
    if (edit && edit->text() != text)
        edit->setText(text);
}

bool RecordCellDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape) {
            // The typed text is already in the table: put the text back as it was.
            if (auto *edit = qobject_cast<QLineEdit *>(object)) {
                const QVariant original = edit->property(kOriginal);
                if (original.isValid() && edit->text() != original.toString()) {
                    edit->setText(original.toString());
                    Q_EMIT commitData(edit);
                }
                Q_EMIT closeEditor(edit, QAbstractItemDelegate::NoHint);
                return true;
            }
        }
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
