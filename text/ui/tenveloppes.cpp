#include "text/ui/tenveloppes.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TEnveloppes::TEnveloppes(QWidget *parent)
    : ToolDialog(QStringLiteral("Enveloppes"), QStringLiteral("Enveloppes"), QSize(407, 292), parent)
{
    auto makeGroup = [this](const QString &title, int top, std::array<QLineEdit *, 4> &edits, int firstNumber) {
        auto *group = new QGroupBox(title, this);
        group->setGeometry(8, top, 296, 134);
        for (int i = 0; i < 4; ++i) {
            auto *edit = new QLineEdit(group);
            edit->setObjectName(QStringLiteral("Edit%1").arg(firstNumber + i));
            edit->setAccessibleName(QStringLiteral("%1 ligne %2").arg(title).arg(i + 1));
            edit->setMaxLength(kMaxLine);
            edit->setGeometry(10, 22 + 26 * i, 276, 22);
            edits[size_t(i)] = edit;
        }
    };
    makeGroup(QStringLiteral("Destinataire"), 6, Destinataire, 1);
    makeGroup(QStringLiteral("Expéditeur"), 148, Expediteur, 5);
    OkButton = makeButton(QStringLiteral("OK"), QRect(314, 14, 84, 25), QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = makeButton(QStringLiteral("Annuler"), QRect(314, 46, 84, 25), QStringLiteral("CancelButton"));
    setCancelButton(CancelButton);
    wireButtons(OkButton, CancelButton);
}

void TEnveloppes::SetExp(const QStringList &lines)
{
    // A longer line from the address file is kept whole, so that it is written back as read.
    for (int i = 0; i < 4; ++i) {
        const QString line = lines.value(i);
        Expediteur[size_t(i)]->setMaxLength(qMax(kMaxLine, int(line.size())));
        Expediteur[size_t(i)]->setText(line);
    }
}

QStringList TEnveloppes::GetExp() const
{
    QStringList lines;
    for (const QLineEdit *edit : Expediteur)
        lines.append(edit->text());
    return lines;
}

QStringList TEnveloppes::Result() const
{
    QStringList lines(8, QString());
    if (!m_accepted)
        return lines;
    for (int i = 0; i < 4; ++i) {
        lines[i] = Destinataire[size_t(i)]->text();
        lines[4 + i] = Expediteur[size_t(i)]->text();
    }
    return lines;
}

void TEnveloppes::showEvent(QShowEvent *e)
{
    if (!e->spontaneous()) {
        m_accepted = false;
        for (QLineEdit *edit : Destinataire)
            edit->clear();
        Destinataire[0]->setFocus();
    }
    ToolDialog::showEvent(e);
}
