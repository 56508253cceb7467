// "Champ": the field-name dialog, one instance for the whole run. The list shows the named
// fields; "Ajouter" (or Enter in the edit box) adds the typed name, or replaces the entry
// selected by a click; "OK" applies, anything else cancels.
#pragma once

#include "common/ui/acceptdialog.h"
#include "database/core/fieldnaming.h"

class QLineEdit;
class QListWidget;
class QPushButton;

class TChamp : public AcceptDialog
{
    Q_OBJECT
public:
    explicit TChamp(QWidget *parent = nullptr);

    // Fills the list from the table's named fields and clears the answer.
    void Fill(const QList<fieldnaming::Entry> &entries);
    // True when the dialog was closed with "OK".
    bool Result() const { return m_accepted; }
    QList<fieldnaming::Entry> entries() const;

    QLineEdit *Edit1;
    QListWidget *ListBox1;
    QPushButton *SpeedButton1; // "Ajouter"
    QPushButton *Button1; // "Annuler"
    QPushButton *Button2; // "OK"

    void SpeedButton1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
