// "Fonctions": the list of the worksheet functions a user can pick to start a formula.
#pragma once

#include "common/ui/acceptdialog.h"

#include <QStringList>

class QListWidget;
class QPushButton;

class TFonct : public AcceptDialog
{
    Q_OBJECT
public:
    explicit TFonct(QWidget *parent = nullptr);

    // The names in the list, in their order.
    static const QStringList &names();
    // The French name a formula takes for a listed entry ("SUM" is SOMME, "ERROR TYPE" is
    // TYPE.ERREUR, "YEAR SIGN" is SIGNE, "ROUNDOWN" is ARRONDI.INF).
    static QString formulaName(const QString &entry);

    // The selected entry when the dialog was closed with "OK" (or a double click) and an
    // entry is selected; else an empty text.
    QString Result() const;

    QListWidget *ListBox1;
    QPushButton *Button1; // "Annuler"
    QPushButton *Button2; // "OK"

protected:
    void showEvent(QShowEvent *e) override;
};
