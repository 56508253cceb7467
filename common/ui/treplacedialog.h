// "Remplacer": the program's own modal replace dialog (used by the database window).
// Result gives the search text upper-cased (a to z only) and the replacement as typed.
#pragma once

#include "common/ui/acceptdialog.h"

class QLineEdit;
class QPushButton;

class TReplaceDialog : public AcceptDialog
{
    Q_OBJECT
public:
    explicit TReplaceDialog(QWidget *parent = nullptr);
    // When accepted: search := upper-case form of Edit1, replacement := Edit2; else both empty.
    void Result(QString &search, QString &replacement) const;
    // What a replacement reports: "Aucune occurrence remplacée.", "1 occurrence remplacée."...
    static QString replacedMessage(int count);

    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QPushButton *OkButton;
    QPushButton *CancelButton;
};
