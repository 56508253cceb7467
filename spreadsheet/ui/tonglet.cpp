#include "spreadsheet/ui/tonglet.h"

#include "common/ui/messageboxes.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kSheetRole = Qt::UserRole;
}

TOnglet::TOnglet(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Onglet"));
    setWindowTitle(QStringLiteral("Onglets"));

    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    // Buttons that Enter in the name box never presses.
    auto button = [](const QString &text, const char *name, QWidget *parent) {
        auto *b = new QPushButton(text, parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    Button1 = button(QStringLiteral("Fermer"), "Button1", panel);
    auto *pl = new QHBoxLayout(panel);
    pl->addStretch();
    pl->addWidget(Button1);

    auto *label = new QLabel(QStringLiteral("Onglet"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(31);
    label->setBuddy(Edit1);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Onglets"));
    Button2 = button(QStringLiteral("Ajouter"), "Button2", this);
    Button3 = button(QStringLiteral("Supprimer"), "Button3", this);
    Button4 = button(QStringLiteral("Déplacer à gauche"), "Button4", this);
    Button5 = button(QStringLiteral("Déplacer à droite"), "Button5", this);

    auto *side = new QVBoxLayout;
    side->addWidget(Button2);
    side->addWidget(Button3);
    side->addWidget(Button4);
    side->addWidget(Button5);
    side->addStretch();
    auto *body = new QHBoxLayout;
    body->addWidget(ListBox1);
    body->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(label);
    layout->addWidget(Edit1);
    layout->addLayout(body);
    resize(260, 300);

    // "Fermer" is also the Escape button: both simply close.
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &TOnglet::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TOnglet::Button3Click);
    connect(Button4, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(Button5, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(Edit1, &QLineEdit::returnPressed, this, &TOnglet::Button2Click);
    connect(ListBox1, &QListWidget::itemClicked, this, &TOnglet::ListBox1Click);
}

void TOnglet::Init(const QStringList &sheetNames, const QList<bool> &withData)
{
    m_withData = withData;
    ListBox1->clear();
    for (int i = 0; i < sheetNames.size(); ++i) {
        auto *item = new QListWidgetItem(sheetNames[i], ListBox1);
        item->setData(kSheetRole, i + 1);
    }
    Edit1->clear();
    // The dialog opens ready for a name to be typed and entered.
    Edit1->setFocus();
}

QList<TOnglet::Entry> TOnglet::entries() const
{
    QList<Entry> list;
    for (int i = 0; i < ListBox1->count(); ++i) {
        const QListWidgetItem *item = ListBox1->item(i);
        list.append({item->data(kSheetRole).toInt(), item->text()});
    }
    return list;
}

QString TOnglet::nameProblem(const QString &name, const QStringList &others)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("Un onglet doit porter un nom.");
    // These characters would make the name unusable in a reference such as Feuil2!A1.
    static const QString forbidden = QStringLiteral("[]*?:/\\");
    for (QChar c : name)
        if (forbidden.contains(c) || c.unicode() < 0x20)
            return QStringLiteral("Le nom d'onglet « %1 » contient un caractère interdit ([ ] * ? : / \\).").arg(name);
    if (name.startsWith(QLatin1Char('\'')) || name.endsWith(QLatin1Char('\'')))
        return QStringLiteral("Le nom d'onglet « %1 » ne peut commencer ni finir par une apostrophe.").arg(name);
    for (const QString &o : others)
        if (o.compare(name, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Un onglet s'appelle déjà « %1 ».").arg(o);
    return QString();
}

void TOnglet::Button2Click()
{
    const QString name = Edit1->text().trimmed();
    QListWidgetItem *selected =
            ListBox1->currentItem() && ListBox1->currentItem()->isSelected() ? ListBox1->currentItem() : nullptr;
    QStringList others;
    for (int i = 0; i < ListBox1->count(); ++i)
        if (ListBox1->item(i) != selected)
            others << ListBox1->item(i)->text();
    const QString problem = nameProblem(name, others);
    if (!problem.isEmpty()) {
        if (!name.isEmpty() || selected) // an empty box with nothing selected is no request
            messageboxes::inform(this, problem, QStringLiteral("Onglets"));
        return;
    }
    if (selected) {
        selected->setText(name); // the sheet keeps its content under its new name
    } else {
        auto *item = new QListWidgetItem(name, ListBox1);
        item->setData(kSheetRole, 0);
    }
    clearEntry();
}

void TOnglet::Button3Click()
{
    const int row = ListBox1->currentItem() && ListBox1->currentItem()->isSelected() ? ListBox1->currentRow() : -1;
    if (row > 0 && sheetRemovalConfirmed(row)) // the first sheet always stays
        delete ListBox1->takeItem(row);
    clearEntry();
}

void TOnglet::moveSelected(int step)
{
    const int row = ListBox1->currentItem() && ListBox1->currentItem()->isSelected() ? ListBox1->currentRow() : -1;
    const int to = row + step;
    if (row < 0 || to < 0 || to >= ListBox1->count())
        return;
    // The entry stays selected, so that it can be moved again at once.
    QListWidgetItem *item = ListBox1->takeItem(row);
    ListBox1->insertItem(to, item);
    ListBox1->setCurrentItem(item);
    item->setSelected(true);
}

bool TOnglet::sheetRemovalConfirmed(int row)
{
    const QListWidgetItem *item = ListBox1->item(row);
    const int sheet = item->data(kSheetRole).toInt();
    if (sheet < 1 || !m_withData.value(sheet - 1))
        return true;
    return messageboxes::ask(this, messageboxes::Kind::Warning, QStringLiteral("Onglets"),
                             QStringLiteral("La feuille « %1 » contient des données. La supprimer avec son contenu ?")
                                     .arg(item->text()),
                             {messageboxes::Answer::Oui, messageboxes::Answer::Non})
            == messageboxes::Answer::Oui;
}

void TOnglet::ListBox1Click()
{
    if (QListWidgetItem *item = ListBox1->currentItem())
        Edit1->setText(item->text());
}

void TOnglet::clearEntry()
{
    Edit1->clear();
    ListBox1->clearSelection();
    ListBox1->setCurrentRow(-1);
    Edit1->setFocus();
}
