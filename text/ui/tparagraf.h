// "Format paragraphe": indents in millimetres, alignment and bullets of the current
// paragraph. Values come in and go out in points.
#pragma once

#include "text/ui/tooldialog.h"

class QButtonGroup;
class QCheckBox;
class QRadioButton;
class QSpinBox;

class TParagraf : public ToolDialog
{
    Q_OBJECT
public:
    explicit TParagraf(QWidget *parent = nullptr);
    // Indents in points, shown as millimetres (points x 25 div 120).
    void Init(int left, int right, int first, bool isLeft, bool isRight, bool isCenter, bool bullets);
    // The same values back (millimetres x 120 div 25); left is -1 when not accepted, the
    // other values are then not set.
    void Result(int &left, int &right, int &first, bool &isLeft, bool &isRight, bool &isCenter, bool &bullets) const;

    QSpinBox *LeftField; // "A gauche"
    QSpinBox *RightField; // "A droite"
    QSpinBox *FirstField; // "Première ligne"
    QRadioButton *AlignLeft;
    QRadioButton *AlignCenter;
    QRadioButton *AlignRight;
    QButtonGroup *Alignement; // ids 0 "Gauche", 1 "Centré", 2 "Droite"
    QCheckBox *Puces;
    QPushButton *OkButton;
    QPushButton *CancelButton;
};
