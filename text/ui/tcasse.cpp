#include "text/ui/tcasse.h"

#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

TCasse::TCasse(QWidget *parent)
    : ToolDialog(QStringLiteral("Casse"), QStringLiteral("Changer la casse"), QSize(300, 100), parent)
{
    Minuscules = new QRadioButton(QStringLiteral("Convertir en minuscules"), this);
    Minuscules->setObjectName(QStringLiteral("Minuscules"));
    Minuscules->setGeometry(16, 16, 180, 22);
    Minuscules->setChecked(true);
    Majuscules = new QRadioButton(QStringLiteral("Convertir en majuscules"), this);
    Majuscules->setObjectName(QStringLiteral("Majuscules"));
    Majuscules->setGeometry(16, 50, 180, 22);
    OkButton = makeButton(QStringLiteral("OK"), QRect(210, 14, 80, 25), QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = makeButton(QStringLiteral("Annuler"), QRect(210, 48, 80, 25), QStringLiteral("CancelButton"));
    setCancelButton(CancelButton);
    wireButtons(OkButton, CancelButton);
}

void TCasse::showEvent(QShowEvent *e)
{
    if (!e->spontaneous())
        m_accepted = false;
    ToolDialog::showEvent(e);
}

int TCasse::Result() const
{
    if (!m_accepted)
        return 0;
    return Minuscules->isChecked() ? 1 : Majuscules->isChecked() ? 2 : 0;
}
