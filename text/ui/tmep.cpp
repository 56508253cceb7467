#include "text/ui/tmep.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

TMep::TMep(QWidget *parent) : ToolDialog(QStringLiteral("Mep"), QStringLiteral("Mise en page"), QSize(368, 174), parent)
{
    auto *group = new QGroupBox(QStringLiteral("Marges en mm"), this);
    group->setGeometry(8, 8, 250, 156);
    const QString captions[] = {QStringLiteral("Marge gauche"), QStringLiteral("Marge haute"),
                                QStringLiteral("Marge droite"), QStringLiteral("Marge basse")};
    QSpinBox **fields[] = {&MargeGauche, &MargeHaute, &MargeDroite, &MargeBasse};
    const char *ids[] = {"MargeGauche", "MargeHaute", "MargeDroite", "MargeBasse"};
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(captions[i], group);
        label->setGeometry(12, 24 + 32 * i, 110, 22);
        *fields[i] = makeNumberField(group, QRect(130, 24 + 32 * i, 100, 22), captions[i]);
        (*fields[i])->setObjectName(QLatin1String(ids[i]));
        (*fields[i])->setValue(20);
        label->setBuddy(*fields[i]);
    }
    OkButton = makeButton(QStringLiteral("OK"), QRect(274, 14, 80, 25), QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = makeButton(QStringLiteral("Annuler"), QRect(274, 46, 80, 25), QStringLiteral("CancelButton"));
    setCancelButton(CancelButton);
    wireButtons(OkButton, CancelButton);
}

void TMep::Init(int left, int top, int right, int bottom)
{
    MargeGauche->setValue(left);
    MargeHaute->setValue(top);
    MargeDroite->setValue(right);
    MargeBasse->setValue(bottom);
}

void TMep::Result(int &left, int &top, int &right, int &bottom) const
{
    if (!m_accepted) {
        left = -1;
        return;
    }
    left = fieldValue(MargeGauche);
    top = fieldValue(MargeHaute);
    right = fieldValue(MargeDroite);
    bottom = fieldValue(MargeBasse);
}
