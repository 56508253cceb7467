#include "common/ui/treplacedialog.h"

#include "common/frenchformat.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TReplaceDialog::TReplaceDialog(QWidget *parent) : AcceptDialog(parent)
{
    setObjectName(QStringLiteral("ReplaceDialog"));
    setWindowTitle(QStringLiteral("Remplacer"));
    setFixedSize(436, 110);
    auto *l1 = new QLabel(QStringLiteral("Chercher"), this);
    l1->move(8, 6);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 24, 260, 22);
    Edit1->setAccessibleName(QStringLiteral("Chercher"));
    l1->setBuddy(Edit1);
    auto *l2 = new QLabel(QStringLiteral("Remplacer par"), this);
    l2->move(8, 54);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(8, 72, 260, 22);
    Edit2->setAccessibleName(QStringLiteral("Remplacer par"));
    l2->setBuddy(Edit2);
    CancelButton = new QPushButton(QStringLiteral("Annuler"), this);
    CancelButton->setGeometry(276, 70, 75, 25);
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setGeometry(354, 70, 75, 25);
    OkButton->setDefault(true);
    wireButtons(OkButton, CancelButton);
}

void TReplaceDialog::Result(QString &search, QString &replacement) const
{
    if (m_accepted) {
        search = french::upperAZ(Edit1->text());
        replacement = Edit2->text();
    } else {
        search.clear();
        replacement.clear();
    }
}

QString TReplaceDialog::replacedMessage(int count)
{
    return count == 0    ? QStringLiteral("Aucune occurrence remplacée.")
            : count == 1 ? QStringLiteral("1 occurrence remplacée.")
                         : QStringLiteral("%1 occurrences remplacées.").arg(count);
}
