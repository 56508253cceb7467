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
    // The name a formula uses for a listed entry ("ERROR TYPE" is ERROR.TYPE, "YEAR SIGN"
    // is SIGN, "ROUNDOWN" is ROUNDDOWN); other entries are their own name.
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
