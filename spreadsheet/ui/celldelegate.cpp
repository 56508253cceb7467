#include "spreadsheet/ui/celldelegate.h"

#include "spreadsheet/core/numberformat.h"
#include "spreadsheet/ui/sheetmodel.h"

#include <QApplication>
#include <QStyle>

#include <QKeyEvent>
#include <QAbstractItemView>
#include <QLineEdit>
#include <QPainter>

CellDelegate::CellDelegate(QObject *parent) : QStyledItemDelegate(parent) { }

void CellDelegate::setPendingText(const QString &text, int caret)
{
    m_pendingText = text;
    m_pendingCaret = caret;
    m_hasPending = true;
}

QWidget *CellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    Q_UNUSED(option);
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setObjectName(QStringLiteral("CellEditor"));
    m_editor = editor;
    const QVariant font = index.data(Qt::FontRole);
    if (font.isValid())
        editor->setFont(font.value<QFont>());
    Q_EMIT editorOpened(editor);
    return editor;
}

void CellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line)
        return;
    if (m_hasPending) {
        m_hasPending = false;
        line->setText(m_pendingText);
        line->setCursorPosition(m_pendingCaret < 0 ? int(m_pendingText.size()) : m_pendingCaret);
        line->deselect();
        return;
    }
    line->setText(index.data(Qt::EditRole).toString());
}

void CellDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line)
        return;
    const QString text = line->text();
    if (text == index.data(Qt::EditRole).toString() && !line->isModified())
        return; // nothing typed: the cell is left as it is (and not marked modified)
    if (!model->setData(index, text, Qt::EditRole)) {
        line->setProperty("refused", true);
        const auto *sheetModel = qobject_cast<const SheetModel *>(model);
        Q_EMIT entryRejected(index, text, sheetModel ? sheetModel->lastError() : QString());
    }
}

void CellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt(option);
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    const bool current = view && view->currentIndex() == index;
    const bool selected = opt.state & QStyle::State_Selected;
    opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    // The view has already laid the highlight under a selected cell: cover it.
    if (selected)
        painter->fillRect(opt.rect, current ? opt.palette.base().color() : QColor(0xcc, 0xe0, 0xf7));
    QStyledItemDelegate::paint(painter, opt, index);
    if (current) {
        painter->save();
        painter->setPen(QPen(QColor(0x1a, 0x4f, 0x9c), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(opt.rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }
}

void CellDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    Q_UNUSED(index);
    // A formula is usually wider than its result: let the editor grow to the right.
    QRect r = option.rect;
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (line && editor->parentWidget()) {
        const int wanted = line->fontMetrics().horizontalAdvance(line->text()) + 12;
        const int room = editor->parentWidget()->width() - r.left();
        r.setWidth(std::max(r.width(), std::min(wanted, room)));
    }
    editor->setGeometry(r);
}

void CellDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(SheetModel::WrapRole).toBool())
        option->features |= QStyleOptionViewItem::WrapText;
    else
        option->features &= ~QStyleOptionViewItem::WrapText;
    // A number too wide for its cell is rounded to what fits, or shown as "###": never cut.
    const QVariant number = index.data(SheetModel::NumberRole);
    if (number.isValid() && option->rect.width() > 0) {
        const QStyle *style = option->widget ? option->widget->style() : QApplication::style();
        const int margin = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option->widget) + 1);
        const int room = option->rect.width() - margin;
        const QFontMetrics fm(option->font);
        option->text = sheet::formatNumberToFit(number.toDouble(), index.data(SheetModel::PatternRole).toString(),
                                                [&](const QString &t) { return fm.horizontalAdvance(t) <= room; });
    }
}

bool CellDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *editor = qobject_cast<QWidget *>(object);
        if (editor && key->modifiers() == Qt::NoModifier && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            Q_EMIT commitAndMove(editor, key->key() == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
