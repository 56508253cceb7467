#include "spreadsheet/ui/tlarg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <climits>

TLarg::TLarg(QWidget *parent) : AcceptDialog(parent)
{
    setObjectName(QStringLiteral("Larg"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(INT_MIN, INT_MAX); // no bounds: the window rejects what it cannot use
    SpinEdit1->setMinimumWidth(90);
    Label1->setBuddy(SpinEdit1);
    QHBoxLayout *buttons = okCancelRow(Button2, "Button2", Button1, "Button1");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(SpinEdit1);
    layout->addLayout(buttons);

    // Escape and the close box count as "Annuler".
    setCloseCancels(true);
    InitL();
}

void TLarg::init(const QString &caption)
{
    setWindowTitle(caption);
    Label1->setText(caption);
    SpinEdit1->setValue(10);
    SpinEdit1->selectAll();
    SpinEdit1->setFocus();
    m_accepted = false;
}

void TLarg::InitL() { init(QStringLiteral("Lageur colonne")); }
void TLarg::InitH() { init(QStringLiteral("Hauteur ligne")); }

int TLarg::Result() const
{
    if (!m_accepted)
        return 0;
    // A value still being typed counts as entered.
    bool ok = false;
    const int typed = SpinEdit1->text().toInt(&ok);
    return ok ? typed : SpinEdit1->value();
}
