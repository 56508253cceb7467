// "Enveloppes": the database's envelope dialog, one instance for the whole run: four
// recipient lines (which may hold field markers such as "[Nom]"), four sender lines, and
// the field names for reference. The lines keep their text from one use to the next.
#pragma once

#include "common/ui/acceptdialog.h"

class QLineEdit;
class QListWidget;
class QPushButton;

class TFenv : public AcceptDialog
{
    Q_OBJECT
public:
    explicit TFenv(QWidget *parent = nullptr);

    // Recipient 1..4 then sender 1..4 when closed with "OK", else eight empty texts.
    QStringList Result() const;
    void setFieldNames(const QStringList &names);

    QLineEdit *Edit[8]; // Edit1..Edit4 recipient, Edit5..Edit8 sender
    QListWidget *ListBox1;
    QPushButton *Button1; // "Annuler"
    QPushButton *Button2; // "OK"

protected:
    void showEvent(QShowEvent *event) override;
};
