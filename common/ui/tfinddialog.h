// "Rechercher": the program's own modal find dialog (used by the database window).
// Result gives the search text upper-cased (a to z only) when the dialog was accepted.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

class TFindDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TFindDialog(QWidget *parent = nullptr);
    // The upper-case form of Edit1 when accepted, else an empty text.
    QString Result() const;

    QLineEdit *Edit1;
    QPushButton *OkButton;
    QPushButton *CancelButton;

private:
    bool m_accepted = false; // kept across uses: the close box leaves it as it was
};
