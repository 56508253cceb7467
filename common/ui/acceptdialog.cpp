#include "common/ui/acceptdialog.h"

#include <QAbstractButton>

void AcceptDialog::wireButtons(QAbstractButton *ok, QAbstractButton *cancel)
{
    connect(ok, &QAbstractButton::clicked, this, &AcceptDialog::closeAccepted);
    connect(cancel, &QAbstractButton::clicked, this, &AcceptDialog::closeCancelled);
}

void AcceptDialog::closeAccepted()
{
    m_accepted = true;
    accept();
}

void AcceptDialog::closeCancelled()
{
    m_accepted = false;
    reject();
}

void AcceptDialog::done(int result)
{
    if (m_closeCancels && result != QDialog::Accepted)
        m_accepted = false;
    QDialog::done(result);
}
