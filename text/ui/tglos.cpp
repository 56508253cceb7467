#include "text/ui/tglos.h"

#include "common/cp1252.h"
#include "common/datafiles.h"
#include "common/frenchformat.h"
#include "common/ui/messageboxes.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

namespace {

constexpr int kTextColumn = 90; // where an entry's text starts, after its abbreviation

// Shows an entry's abbreviation and text in two columns instead of a raw tab.
class EntryDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString entry = opt.text;
        opt.text.clear();
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : nullptr;
        if (style)
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        const qsizetype tab = entry.indexOf(QLatin1Char('\t'));
        const QString abbreviation = tab < 0 ? entry : entry.left(tab);
        const QString text = tab < 0 ? QString() : entry.mid(tab + 1);
        painter->save();
        painter->setPen(
                opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        QRect r = opt.rect.adjusted(3, 0, -3, 0);
        const int flags = Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine;
        painter->drawText(r.adjusted(0, 0, -(r.width() - kTextColumn + 6), 0), flags,
                          opt.fontMetrics.elidedText(abbreviation, Qt::ElideRight, kTextColumn - 6));
        r.setLeft(r.left() + kTextColumn);
        painter->drawText(r, flags, opt.fontMetrics.elidedText(text, Qt::ElideRight, r.width()));
        painter->restore();
    }
};

bool isLetterAZ(QChar c) { return c >= u'A' && c <= u'Z'; }

QString lettersAZ(const QString &text)
{
    QString out;
    for (QChar c : french::upperAZ(text))
        if (isLetterAZ(c))
            out += c;
    return out;
}

} // namespace

TGlos::TGlos(QWidget *parent) : ToolDialog(QStringLiteral("Glos"), QStringLiteral("Glossaire"), QSize(536, 343), parent)
{
    auto *abbrLabel = new QLabel(QStringLiteral("Abbréviation"), this);
    abbrLabel->setGeometry(10, 12, 80, 22);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("Abbréviation"));
    Edit1->setMaxLength(Glossary::kMaxAbbreviation);
    Edit1->setGeometry(94, 12, 130, 22);
    Edit1->installEventFilter(this);
    abbrLabel->setBuddy(Edit1);
    auto *textLabel = new QLabel(QStringLiteral("Texte"), this);
    textLabel->setGeometry(10, 40, 80, 18);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setAccessibleName(QStringLiteral("Texte"));
    Edit2->setMaxLength(Glossary::kMaxText);
    Edit2->setGeometry(10, 60, 505, 22);
    textLabel->setBuddy(Edit2);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Glossaire"));
    ListBox1->setGeometry(10, 96, 385, 230);
    ListBox1->setItemDelegate(new EntryDelegate(ListBox1));
    ListBox1->setUniformItemSizes(true);

    auto *editGroup = new QFrame(this);
    editGroup->setFrameShape(QFrame::StyledPanel);
    editGroup->setGeometry(408, 96, 110, 112);
    auto *closeGroup = new QFrame(this);
    closeGroup->setFrameShape(QFrame::StyledPanel);
    closeGroup->setGeometry(408, 222, 110, 80);
    auto button = [this](QWidget *group, const QString &caption, int top, const char *id) {
        auto *b = new QPushButton(caption, group);
        b->setObjectName(QLatin1String(id));
        b->setAutoDefault(false);
        b->setGeometry(10, top, 90, 25);
        return b;
    };
    AddButton = button(editGroup, QStringLiteral("Ajouter"), 10, "AddButton");
    DeleteButton = button(editGroup, QStringLiteral("Supprimer"), 43, "DeleteButton");
    CloseButton = button(editGroup, QStringLiteral("Fermer"), 76, "CloseButton");
    CancelButton = button(closeGroup, QStringLiteral("Annuler"), 10, "CancelButton");
    InsertButton = button(closeGroup, QStringLiteral("Insérer"), 43, "InsertButton");
    setCancelButton(CancelButton);

    connect(AddButton, &QPushButton::clicked, this, &TGlos::add);
    connect(Edit2, &QLineEdit::returnPressed, this, &TGlos::add);
    connect(DeleteButton, &QPushButton::clicked, this, &TGlos::remove);
    connect(ListBox1, &QListWidget::itemClicked, this, &TGlos::entryClicked);
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] {
        if (ListBox1->hasFocus())
            entryClicked(); // moving through the list with the keys shows each entry too
    });
    // Pasted text keeps only its letters, upper-cased, as typed text does.
    connect(Edit1, &QLineEdit::textEdited, this, [this](const QString &text) {
        const QString clean = lettersAZ(text);
        if (clean != text) {
            const int cursor = Edit1->cursorPosition() - int(text.size() - clean.size());
            Edit1->setText(clean);
            Edit1->setCursorPosition(qMax(0, cursor));
        }
    });
    auto close = [this](bool insert) {
        m_insertChosen = insert;
        if (insert)
            accept();
        else
            reject();
    };
    connect(InsertButton, &QPushButton::clicked, this, [close] { close(true); });
    connect(CancelButton, &QPushButton::clicked, this, [close] { close(false); });
    connect(CloseButton, &QPushButton::clicked, this, [close] { close(false); });
}

void TGlos::ChargeGlo()
{
    m_gloPath = datafiles::readPath(Glossary::fileName());
    m_glossary.load(m_gloPath);
    refreshList();
}

void TGlos::setGlossary(const Glossary &glossary, const QString &path)
{
    m_gloPath = path;
    m_glossary = glossary;
    refreshList();
}

void TGlos::SauveGlo(const QString &path)
{
    if (!m_glossary.isModified())
        return;
    m_glossary.save(path);
    m_glossary.setModified(false);
}

QString TGlos::Result() const
{
    const int row = selectedRow();
    if (!m_insertChosen || row < 0)
        return QString();
    return Glossary::textOf(m_glossary.entries().at(row));
}

int TGlos::selectedRow() const
{
    const QListWidgetItem *item = ListBox1->currentItem();
    return item && item->isSelected() ? ListBox1->row(item) : -1;
}

void TGlos::refreshList()
{
    const int row = selectedRow();
    const QSignalBlocker block(ListBox1);
    ListBox1->clear();
    ListBox1->addItems(m_glossary.entries());
    if (row >= 0 && row < ListBox1->count())
        ListBox1->setCurrentRow(row);
    else
        ListBox1->setCurrentRow(-1);
}

void TGlos::add()
{
    const QString text = Edit2->text();
    if (!cp1252::canEncode(text)) {
        messageboxes::inform(this,
                             QStringLiteral("Ce texte contient des caractères que le glossaire ne peut pas "
                                            "enregistrer ; remplacez-les avant d'ajouter l'abréviation."),
                             QStringLiteral("Glossaire"));
        return;
    }
    const QString entry = Glossary::makeEntry(Edit1->text(), text);
    // The entry clicked is replaced; else the one of the same abbreviation, which would
    // hide a second one from the expansion.
    int row = selectedRow();
    const QString abbreviation = Edit1->text() + u'\t';
    for (int i = 0; row < 0 && i < m_glossary.count(); ++i)
        if (m_glossary.entries().at(i).startsWith(abbreviation))
            row = i;
    if (row < 0)
        m_glossary.append(entry);
    else
        m_glossary.replace(row, entry);
    refreshList();
    // Ready for the next abbreviation, which is a new entry: none stays selected for it to
    // replace unseen.
    ListBox1->setCurrentRow(-1);
    ListBox1->clearSelection();
    Edit1->clear();
    Edit2->clear();
    Edit1->setFocus();
}

void TGlos::remove()
{
    const int row = selectedRow();
    m_glossary.remove(row); // marks the glossary changed even with nothing selected
    if (row >= 0) {
        const QSignalBlocker block(ListBox1);
        delete ListBox1->takeItem(row);
        ListBox1->setCurrentRow(-1);
    }
}

void TGlos::entryClicked()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const QString entry = m_glossary.entries().at(row);
    const qsizetype tab = entry.indexOf(QLatin1Char('\t'));
    if (tab < 0)
        return;
    Edit1->setText(entry.left(tab));
    Edit2->setText(entry.mid(tab + 1, Glossary::kMaxText));
}

void TGlos::showEvent(QShowEvent *e)
{
    if (!e->spontaneous())
        m_insertChosen = false;
    ToolDialog::showEvent(e);
}

bool TGlos::eventFilter(QObject *watched, QEvent *e)
{
    // Typed abbreviations: Backspace passes, letters become capitals A to Z, the rest is
    // refused. Keys without text (arrows, Delete) and shortcuts keep their effect.
    if (watched == Edit1 && e->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(e);
        const QString text = key->text();
        if (text.isEmpty() || key->key() == Qt::Key_Backspace
            || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return ToolDialog::eventFilter(watched, e);
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter
            || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return ToolDialog::eventFilter(watched, e);
        for (QChar c : text) {
            const QChar upper = french::upperAZ(c);
            if (isLetterAZ(upper))
                Edit1->insert(QString(upper));
        }
        return true;
    }
    return ToolDialog::eventFilter(watched, e);
}
