// "Changer la casse": lower or upper case for the selection.
#pragma once

#include "text/ui/tooldialog.h"

class QRadioButton;

class TCasse : public ToolDialog
{
    Q_OBJECT
public:
    explicit TCasse(QWidget *parent = nullptr);
    // 0 cancelled, 1 lower case, 2 upper case.
    int Result() const;

    QRadioButton *Minuscules;
    QRadioButton *Majuscules;
    QPushButton *OkButton;
    QPushButton *CancelButton;

protected:
    void showEvent(QShowEvent *e) override;
};
