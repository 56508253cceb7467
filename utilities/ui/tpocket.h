// "Calculatrice": the pocket calculator window, a keypad and a display over the chain
// calculator. Each showing starts from a cleared state.
#pragma once

#include "utilities/core/pocketcalculator.h"

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

class TPocket : public QDialog
{
    Q_OBJECT
public:
    explicit TPocket(QWidget *parent = nullptr);

    // Button0..Button9 digits, 10 ",", 11 "=", 12..15 "+ - * /", 16 "1/x", 17 "sqr",
    // 18 "C", 19 "Fermer".
    QPushButton *Button(int n) const { return m_buttons.at(n); }
    QLabel *Label1 = nullptr;
    const PocketCalculator &calculator() const { return m_calc; }

    void FormActivate();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ButtonClick(int n);
    void FormKeyPress(QChar key);
    void run(const std::function<void()> &step);
    void refresh();

    PocketCalculator m_calc;
    std::array<QPushButton *, 20> m_buttons{};
};
