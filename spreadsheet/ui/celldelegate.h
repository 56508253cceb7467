// In-cell editing: a line editor in the cell's font that starts with the cell's formula or
// entry. An entry the workbook refuses is not lost: the view reopens the editor with it.
#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

class QLineEdit;

class CellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit CellDelegate(QObject *parent = nullptr);

    // The next editor opened starts with `text` and the caret at `caret` (-1: at the end)
    // instead of the cell's content.
    void setPendingText(const QString &text, int caret = -1);
    // The editor open now, if any.
    QWidget *currentEditor() const { return m_editor; }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    // Selected cells are tinted, keeping their own colours; the active cell is framed.
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

Q_SIGNALS:
    // The workbook refused `text` for `index` with `message`.
    void entryRejected(const QModelIndex &index, const QString &text, const QString &message) const;
    // An editor was opened (the formula bar follows what is typed in it).
    void editorOpened(QLineEdit *editor) const;
    // Up or Down pressed in the editor: commit and move (dRow is -1 or +1).
    void commitAndMove(QWidget *editor, int dRow) const;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    mutable QPointer<QWidget> m_editor;
    mutable QString m_pendingText;
    mutable int m_pendingCaret = -1;
    mutable bool m_hasPending = false;
};
