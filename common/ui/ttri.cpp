#include "common/ui/ttri.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TTri::TTri(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Tri"));
    setWindowTitle(QStringLiteral("Trier"));
    setFixedSize(300, 170);
    auto *label = new QLabel(QStringLiteral("Trier sur champ"), this);
    label->move(12, 10);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(12, 28, 160, 24);
    ComboBox1->setEditable(false);
    ComboBox1->setAccessibleName(QStringLiteral("Trier sur champ"));
    label->setBuddy(ComboBox1);
    auto *group = new QGroupBox(QStringLiteral("Ordre"), this);
    group->setGeometry(12, 60, 160, 70);
    Croissant = new QRadioButton(QStringLiteral("Croissant"), group);
    Decroissant = new QRadioButton(QStringLiteral("Décroissant"), group);
    auto *gl = new QVBoxLayout(group);
    gl->addWidget(Croissant);
    gl->addWidget(Decroissant);
    Croissant->setChecked(true);
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setGeometry(200, 28, 85, 25);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Annuler"), this);
    CancelButton->setGeometry(200, 60, 85, 25);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TTri::Result(int &key, int &order) const
{
    key = result() == QDialog::Accepted ? ComboBox1->currentIndex() + 1 : 0;
    order = Decroissant->isChecked() ? 1 : 0;
}
