#include "text/ui/tdatheur.h"

#include "text/core/toolformulas.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

TDatHeur::TDatHeur(QWidget *parent)
    : ToolDialog(QStringLiteral("DatHeur"), QStringLiteral("Date et heure"), QSize(300, 230), parent)
{
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Formats"));
    ListBox1->setGeometry(10, 10, 190, 210);
    ListBox1->installEventFilter(this);
    OkButton = makeButton(QStringLiteral("OK"), QRect(210, 10, 80, 25), QStringLiteral("OkButton"));
    CancelButton = makeButton(QStringLiteral("Annuler"), QRect(210, 42, 80, 25), QStringLiteral("CancelButton"));
    setCancelButton(CancelButton);
    connect(OkButton, &QPushButton::clicked, this, &TDatHeur::choose);
    connect(CancelButton, &QPushButton::clicked, this, &TDatHeur::closeCancelled);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TDatHeur::choose);
}

void TDatHeur::choose() { closeAccepted(); }

void TDatHeur::showEvent(QShowEvent *e)
{
    if (!e->spontaneous()) {
        m_accepted = false;
        ListBox1->clear();
        const QDateTime now = clock();
        for (const QString &format : texttools::dateTimeFormats())
            ListBox1->addItem(texttools::formatDateTime(format, now));
        ListBox1->setCurrentRow(0); // Enter inserts the first format at once
        ListBox1->setFocus();
    }
    ToolDialog::showEvent(e);
}

bool TDatHeur::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == ListBox1 && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            choose();
            return true;
        }
    }
    return ToolDialog::eventFilter(watched, e);
}

QString TDatHeur::Result() const
{
    const QListWidgetItem *item = ListBox1->currentItem();
    if (!m_accepted || !item || !item->isSelected())
        return QString();
    return texttools::dateTimeFormats().value(ListBox1->row(item));
}
