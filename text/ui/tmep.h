// "Mise en page": the four page margins of a text window, in millimetres.
#pragma once

#include "text/ui/tooldialog.h"

class QSpinBox;

class TMep : public ToolDialog
{
    Q_OBJECT
public:
    explicit TMep(QWidget *parent = nullptr);
    void Init(int left, int top, int right, int bottom);
    // The four margins when accepted; otherwise left is -1 and the others are not set.
    void Result(int &left, int &top, int &right, int &bottom) const;

    QSpinBox *MargeGauche;
    QSpinBox *MargeHaute;
    QSpinBox *MargeDroite;
    QSpinBox *MargeBasse;
    QPushButton *OkButton;
    QPushButton *CancelButton;
};
