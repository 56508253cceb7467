// "Paramétrage de la journée": the start hour, end hour and slot length of the day grid.
// One instance serves every agenda window; Init fills it before each showing and Result
// hands the values back only when the user confirmed with OK.
#pragma once

#include "common/ui/acceptdialog.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TJour : public AcceptDialog
{
    Q_OBJECT
public:
    explicit TJour(QWidget *parent = nullptr);

    void Init(int start, int end, int scale);
    // Leaves the three values as they are when the dialog was not accepted.
    void Result(int &start, int &end, int &scale) const;
    bool accepted() const { return m_accepted; }

    QSpinBox *SpinEdit1 = nullptr; // start hour
    QSpinBox *SpinEdit2 = nullptr; // end hour
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    QRadioButton *RadioButton3 = nullptr;
    QPushButton *Button1 = nullptr; // "Annuler"
    QPushButton *Button2 = nullptr; // "OK"

public Q_SLOTS:
    void Button1Click();
    void Button2Click();

private:
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
};
