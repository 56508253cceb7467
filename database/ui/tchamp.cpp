#include "database/ui/tchamp.h"

#include "common/ui/messageboxes.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {
constexpr int kFieldRole = Qt::UserRole;
}

TChamp::TChamp(QWidget *parent) : AcceptDialog(parent)
{
    setObjectName(QStringLiteral("Champ"));
    setWindowTitle(QStringLiteral("Champ"));
    setFixedSize(330, 260);
    auto *label = new QLabel(QStringLiteral("Nom du champ"), this);
    label->move(10, 10);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(10, 28, 210, 24);
    Edit1->setMaxLength(Table::kMaxCellLength);
    Edit1->setAccessibleName(QStringLiteral("Nom du champ"));
    label->setBuddy(Edit1);
    Edit1->installEventFilter(this);
    SpeedButton1 = new QPushButton(QStringLiteral("Ajouter"), this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(230, 27, 90, 26);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(10, 62, 210, 186);
    Button1 = new QPushButton(QStringLiteral("Annuler"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(230, 190, 90, 26);
    Button2 = new QPushButton(QStringLiteral("OK"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(230, 222, 90, 26);
    // Enter belongs to the edit box ("Ajouter"), never to a default button.
    for (QPushButton *b : {SpeedButton1, Button1, Button2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(SpeedButton1, &QPushButton::clicked, this, &TChamp::SpeedButton1Click);
    connect(ListBox1, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { Edit1->setText(item->text()); });
    wireButtons(Button2, Button1);
}

void TChamp::Fill(const QList<fieldnaming::Entry> &entries)
{
    m_accepted = false;
    Edit1->clear();
    ListBox1->clear();
    for (const auto &e : entries) {
        auto *item = new QListWidgetItem(e.text, ListBox1);
        item->setData(kFieldRole, e.field);
    }
    ListBox1->setCurrentRow(-1);
}

QList<fieldnaming::Entry> TChamp::entries() const
{
    QList<fieldnaming::Entry> out;
    for (int i = 0; i < ListBox1->count(); ++i)
        out.append({ListBox1->item(i)->text(), ListBox1->item(i)->data(kFieldRole).toInt()});
    return out;
}

void TChamp::SpeedButton1Click()
{
    const QList<QListWidgetItem *> selected = ListBox1->selectedItems();
    if (selected.isEmpty()) {
        if (ListBox1->count() >= Table::kMaxFields) {
            messageboxes::inform(this,
                                 QStringLiteral("Une base de données a %1 champs au plus.").arg(Table::kMaxFields),
                                 QStringLiteral("Champ"));
            return;
        }
        auto *item = new QListWidgetItem(Edit1->text(), ListBox1);
        item->setData(kFieldRole, 0);
    } else {
        selected.first()->setText(Edit1->text());
    }
    Edit1->clear();
    ListBox1->clearSelection();
    ListBox1->setCurrentRow(-1, QItemSelectionModel::Clear);
    Edit1->setFocus();
}

bool TChamp::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            SpeedButton1Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
