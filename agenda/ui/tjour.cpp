#include "agenda/ui/tjour.h"

#include "common/ui/messageboxes.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

TJour::TJour(QWidget *parent) : AcceptDialog(parent)
{
    setObjectName(QStringLiteral("Jour"));
    setWindowTitle(QStringLiteral("Paramétrage de la journée"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    Label1 = new QLabel(QStringLiteral("Heure de &début"), this);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    Label1->setBuddy(SpinEdit1);
    Label2 = new QLabel(QStringLiteral("Heure de &fin"), this);
    SpinEdit2 = new QSpinBox(this);
    SpinEdit2->setObjectName(QStringLiteral("SpinEdit2"));
    Label2->setBuddy(SpinEdit2);
    for (QSpinBox *s : {SpinEdit1, SpinEdit2}) {
        s->setRange(0, 24);
        s->setMinimumWidth(60);
    }

    GroupBox1 = new QGroupBox(QStringLiteral("Echelle de temps"), this);
    RadioButton1 = new QRadioButton(QStringLiteral("Heurre"), GroupBox1);
    RadioButton2 = new QRadioButton(QStringLiteral("1/2 Heurre"), GroupBox1);
    RadioButton3 = new QRadioButton(QStringLiteral("1/4 Heurre"), GroupBox1);
    auto *radios = new QVBoxLayout(GroupBox1);
    radios->addWidget(RadioButton1);
    radios->addWidget(RadioButton2);
    radios->addWidget(RadioButton3);

    Button1 = new QPushButton(QStringLiteral("Annuler"), this);
    Button2 = new QPushButton(QStringLiteral("OK"), this);
    Button2->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TJour::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TJour::Button2Click);

    auto *hours = new QGridLayout;
    hours->addWidget(Label1, 0, 0);
    hours->addWidget(SpinEdit1, 0, 1);
    hours->addWidget(Label2, 1, 0);
    hours->addWidget(SpinEdit2, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    auto *main = new QVBoxLayout(this);
    main->addLayout(hours);
    main->addWidget(GroupBox1);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

void TJour::Init(int start, int end, int scale)
{
    SpinEdit1->setValue(start);
    SpinEdit2->setValue(end);
    (scale == 1 ? RadioButton1 : scale == 3 ? RadioButton3 : RadioButton2)->setChecked(true);
    SpinEdit1->setFocus();
    m_accepted = false;
}

void TJour::Result(int &start, int &end, int &scale) const
{
    if (!m_accepted)
        return;
    start = SpinEdit1->value();
    end = SpinEdit2->value();
    scale = RadioButton1->isChecked() ? 1 : RadioButton3->isChecked() ? 3 : 2;
}

void TJour::Button1Click() { closeCancelled(); }

void TJour::Button2Click()
{
    // A day that ends before it starts would have no slot at all.
    if (SpinEdit2->value() < SpinEdit1->value()) {
        messageboxes::ask(this, messageboxes::Kind::Warning, windowTitle(),
                          QStringLiteral("L'heure de fin (%1 h) ne peut pas précéder l'heure de début (%2 h).")
                                  .arg(SpinEdit2->value())
                                  .arg(SpinEdit1->value()),
                          {messageboxes::Answer::Ok});
        SpinEdit2->setFocus();
        SpinEdit2->selectAll();
        return;
    }
    closeAccepted();
}
