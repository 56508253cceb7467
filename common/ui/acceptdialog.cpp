#include "common/ui/acceptdialog.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPushButton>

void AcceptDialog::wireButtons(QAbstractButton *ok, QAbstractButton *cancel)
{
    connect(ok, &QAbstractButton::clicked, this, &AcceptDialog::closeAccepted);
    connect(cancel, &QAbstractButton::clicked, this, &AcceptDialog::closeCancelled);
}

QHBoxLayout *AcceptDialog::okCancelRow(QPushButton *&ok, const char *okName, QPushButton *&cancel,
                                       const char *cancelName)
{
    cancel = new QPushButton(QStringLiteral("Annuler"), this);
    cancel->setObjectName(QString::fromLatin1(cancelName));
    ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::fromLatin1(okName));
    ok->setDefault(true);
    wireButtons(ok, cancel);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
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
