#include "text/ui/tparagraf.h"

#include "text/core/toolformulas.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

TParagraf::TParagraf(QWidget *parent)
    : ToolDialog(QStringLiteral("Paragraf"), QStringLiteral("Format paragraphe"), QSize(330, 210), parent)
{
    auto *indents = new QGroupBox(QStringLiteral("Retraits en mm"), this);
    indents->setGeometry(8, 8, 200, 110);
    const QString captions[] = {QStringLiteral("A gauche"), QStringLiteral("A droite"),
                                QStringLiteral("Première ligne")};
    QSpinBox **fields[] = {&LeftField, &RightField, &FirstField};
    const char *ids[] = {"LeftField", "RightField", "FirstField"};
    for (int i = 0; i < 3; ++i) {
        auto *label = new QLabel(captions[i], indents);
        label->setGeometry(10, 24 + 28 * i, 90, 22);
        *fields[i] = makeNumberField(indents, QRect(104, 24 + 28 * i, 86, 22), captions[i]);
        (*fields[i])->setObjectName(QLatin1String(ids[i]));
        label->setBuddy(*fields[i]);
    }
    // The margins of the lines are never left of the page's; the first line may stand out
    // to the left of the others (a negative first-line indent).
    LeftField->setMinimum(0);
    RightField->setMinimum(0);
    auto *alignment = new QGroupBox(QStringLiteral("Alignement"), this);
    alignment->setGeometry(8, 124, 200, 50);
    AlignLeft = new QRadioButton(QStringLiteral("Gauche"), alignment);
    AlignCenter = new QRadioButton(QStringLiteral("Centré"), alignment);
    AlignRight = new QRadioButton(QStringLiteral("Droite"), alignment);
    AlignLeft->setGeometry(10, 20, 62, 22);
    AlignCenter->setGeometry(72, 20, 62, 22);
    AlignRight->setGeometry(134, 20, 62, 22);
    Alignement = new QButtonGroup(this);
    Alignement->addButton(AlignLeft, 0);
    Alignement->addButton(AlignCenter, 1);
    Alignement->addButton(AlignRight, 2);
    AlignLeft->setChecked(true);
    Puces = new QCheckBox(QStringLiteral("Avec puces"), this);
    Puces->setObjectName(QStringLiteral("Puces"));
    Puces->setGeometry(16, 180, 150, 22);
    OkButton = makeButton(QStringLiteral("OK"), QRect(236, 14, 80, 25), QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = makeButton(QStringLiteral("Annuler"), QRect(236, 46, 80, 25), QStringLiteral("CancelButton"));
    setCancelButton(CancelButton);
    wireButtons(OkButton, CancelButton);
}

void TParagraf::Init(int left, int right, int first, bool isLeft, bool isRight, bool isCenter, bool bullets)
{
    LeftField->setValue(texttools::pointsToMillimetres(left));
    RightField->setValue(texttools::pointsToMillimetres(right));
    FirstField->setValue(texttools::pointsToMillimetres(first));
    // A paragraph aligned otherwise (justified) ticks no choice and keeps its alignment.
    Alignement->setExclusive(false);
    AlignLeft->setChecked(isLeft);
    AlignCenter->setChecked(isCenter && !isLeft);
    AlignRight->setChecked(isRight && !isLeft && !isCenter);
    Alignement->setExclusive(true);
    Puces->setChecked(bullets);
}

void TParagraf::Result(int &left, int &right, int &first, bool &isLeft, bool &isRight, bool &isCenter,
                       bool &bullets) const
{
    if (!m_accepted) {
        left = -1;
        return;
    }
    left = texttools::millimetresToPoints(fieldValue(LeftField));
    right = texttools::millimetresToPoints(fieldValue(RightField));
    first = texttools::millimetresToPoints(fieldValue(FirstField));
    const int id = Alignement->checkedId();
    isLeft = id == 0;
    isCenter = id == 1;
    isRight = id == 2;
    bullets = Puces->isChecked();
}
