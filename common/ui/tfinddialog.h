// "Rechercher": the program's own modal find dialog (used by the database window).
// Result gives the search text upper-cased (a to z only) when the dialog was accepted.
#pragma once

#include "common/ui/acceptdialog.h"

class QLineEdit;
class QPushButton;

class TFindDialog : public AcceptDialog
{
    Q_OBJECT
public:
    explicit TFindDialog(QWidget *parent = nullptr);
    // The upper-case form of Edit1 when accepted, else an empty text.
    QString Result() const;

    QLineEdit *Edit1;
    QPushButton *OkButton;
    QPushButton *CancelButton;
};
