// "Pèse-Lettres": the letter weigher window. Counts of envelopes, sheets, data media and
// photographs plus an extra weight give the weight of a letter and its postage for the
// chosen service. The entries are kept between showings.
#pragma once

#include "utilities/core/postage.h"

#include <QDialog>

#include <array>

class CountSpinEdit;
class QLabel;
class QPushButton;
class QRadioButton;

class TPLettre : public QDialog
{
    Q_OBJECT
public:
    explicit TPLettre(QWidget *parent = nullptr);

    // SpinEdit1..SpinEdit21 by their number.
    CountSpinEdit *SpinEdit(int n) const;
    QRadioButton *RadioButton1 = nullptr; // "Expédition France rapide"
    QRadioButton *RadioButton2 = nullptr; // "Expédition vers l'U.E."
    QRadioButton *RadioButton3 = nullptr; // "Expédition France Ecopli"
    QLabel *Label22 = nullptr; // weight
    QLabel *Label23 = nullptr; // price
    QPushButton *Button1 = nullptr; // "Fermer"

    void Calcule();
    postage::Service service() const;

private:
    QWidget *makeGroup(const QString &title, int firstItem, int lastItem);

    std::array<CountSpinEdit *, postage::kItemCount> m_counts{}; // in the order of postage::items()
};
