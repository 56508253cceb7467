#include "database/ui/tfenv.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TFenv::TFenv(QWidget *parent) : AcceptDialog(parent)
{
    setObjectName(QStringLiteral("Fenv"));
    setWindowTitle(QStringLiteral("Enveloppes"));
    setFixedSize(470, 300);
    auto *dest = new QGroupBox(QStringLiteral("Destinataire"), this);
    dest->setGeometry(10, 8, 290, 136);
    auto *exp = new QGroupBox(QStringLiteral("Expéditeur"), this);
    exp->setGeometry(10, 152, 290, 136);
    auto *destLayout = new QVBoxLayout(dest);
    auto *expLayout = new QVBoxLayout(exp);
    for (int i = 0; i < 8; ++i) {
        Edit[i] = new QLineEdit(i < 4 ? dest : exp);
        Edit[i]->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        Edit[i]->setMaxLength(35);
        Edit[i]->setAccessibleName(QStringLiteral("%1 %2")
                                           .arg(i < 4 ? QStringLiteral("Destinataire") : QStringLiteral("Expéditeur"))
                                           .arg(i % 4 + 1));
        (i < 4 ? destLayout : expLayout)->addWidget(Edit[i]);
    }
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(310, 14, 150, 206);
    ListBox1->setToolTip(QStringLiteral("Champs : écrivez [Nom du champ] dans une ligne du destinataire"));
    Button1 = new QPushButton(QStringLiteral("Annuler"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(310, 230, 150, 26);
    Button2 = new QPushButton(QStringLiteral("OK"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(310, 262, 150, 26);
    Button2->setDefault(true);
    wireButtons(Button2, Button1);
}

void TFenv::showEvent(QShowEvent *event)
{
    m_accepted = false;
    QDialog::showEvent(event);
}

void TFenv::setFieldNames(const QStringList &names)
{
    m_accepted = false;
    ListBox1->clear();
    ListBox1->addItems(names);
}

QStringList TFenv::Result() const
{
    QStringList out;
    for (QLineEdit *e : Edit)
        out.append(m_accepted ? e->text() : QString());
    return out;
}
