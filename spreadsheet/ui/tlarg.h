// "Lageur colonne" / "Hauteur ligne": the one-number dialog that asks for a column width or
// a row height (in characters or lines of the window's font; the window turns it into the
// control's units).
#pragma once

#include "common/ui/acceptdialog.h"

class QLabel;
class QPushButton;
class QSpinBox;

class TLarg : public AcceptDialog
{
    Q_OBJECT
public:
    explicit TLarg(QWidget *parent = nullptr);

    // Prepare for a column width: caption and label "Lageur colonne", value 10.
    void InitL();
    // Prepare for a row height: caption and label "Hauteur ligne", value 10.
    void InitH();
    // The number entered when the dialog was closed with "OK", else 0.
    int Result() const;

    QLabel *Label1;
    QSpinBox *SpinEdit1;
    QPushButton *Button1; // "Annuler"
    QPushButton *Button2; // "OK"

private:
    void init(const QString &caption);
};
