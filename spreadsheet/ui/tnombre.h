// "Nombre": the number format of the selected cells, by category (Standard, Nombre,
// Monétaire, Pourcentage, Date, Heure, Scientifique, Texte) with the options of each and a
// preview of the active cell in the chosen format.
#pragma once

#include "common/ui/acceptdialog.h"
#include "spreadsheet/core/numberformat.h"
#include "spreadsheet/core/value.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

class TNombre : public AcceptDialog
{
    Q_OBJECT
public:
    explicit TNombre(QWidget *parent = nullptr);

    // Shows `pattern` (the active cell's format) and previews `sample` (its value).
    void Init(const QString &pattern, const sheet::Value &sample);
    // The chosen pattern when the dialog was accepted; `ok` false otherwise.
    QString Result(bool &ok) const;

    QListWidget *ListBox1; // categories
    QSpinBox *SpinEdit1; // decimals
    QCheckBox *CheckBox1; // thousands separator
    QCheckBox *CheckBox2; // negatives in red
    QComboBox *ComboBox1; // currency symbol
    QListWidget *ListBox2; // date and time forms
    QLabel *Label1; // preview
    QPushButton *Button1; // "Annuler"
    QPushButton *Button2; // "OK"

private:
    sheet::NumberFormatChoice choice() const;
    void showChoice(const sheet::NumberFormatChoice &choice);
    void updateOptions();
    void updatePreview();

    sheet::Value m_sample;
    bool m_filling = false;
};
