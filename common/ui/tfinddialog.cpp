#include "common/ui/tfinddialog.h"

#include "common/frenchformat.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFindDialog::TFindDialog(QWidget *parent) : AcceptDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QStringLiteral("Rechercher"));
    setFixedSize(436, 77);
    auto *label = new QLabel(QStringLiteral("Chercher"), this);
    label->move(8, 6);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 24, 260, 22);
    Edit1->setAccessibleName(QStringLiteral("Chercher"));
    label->setBuddy(Edit1);
    CancelButton = new QPushButton(QStringLiteral("Annuler"), this);
    CancelButton->setGeometry(276, 22, 75, 25);
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setGeometry(354, 22, 75, 25);
    OkButton->setDefault(true);
    wireButtons(OkButton, CancelButton);
}

QString TFindDialog::Result() const { return m_accepted ? french::upperAZ(Edit1->text()) : QString(); }
