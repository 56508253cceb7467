// "Euro convertisseur": converts an amount between francs and euros at a rate the user may
// nudge in hundred-thousandths. The rate lasts for the run.
#pragma once

#include "utilities/core/euroconverter.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SpinButton;

class TEurof : public QDialog
{
    Q_OBJECT
public:
    explicit TEurof(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr; // input
    QLabel *Label2 = nullptr; // result
    QPushButton *Button(int n) const { return m_digits.at(n); } // Button0..Button9
    QPushButton *Button10 = nullptr; // "Fermer"
    QPushButton *Button11 = nullptr; // "Convertir"
    QRadioButton *RadioButton1 = nullptr; // "Fr>Euro"
    QRadioButton *RadioButton2 = nullptr; // "Euro>Fr"
    QLineEdit *Edit3 = nullptr; // the rate
    SpinButton *SpinButton1 = nullptr;

    const EuroConverter &converter() const { return m_conv; }

    void FormActivate();
    void Init();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormKeyPress(QChar key);
    bool editKey(int key); // Backspace, Delete; true when handled
    void refresh();

    EuroConverter m_conv;
    std::array<QPushButton *, 10> m_digits{};
};
