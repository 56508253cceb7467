// The euro converter's state: the rate in hundred-thousandths of a franc, the amount being
// typed, the result shown, and the conversion between francs and euros. Values are stored
// as six-byte reals; arithmetic between stores runs in extended precision.
#pragma once

#include "common/real48.h"

#include <QString>

class EuroConverter
{
public:
    enum class Direction { FrancsToEuros, EurosToFrancs };
    enum class KeyResult { Handled, Close };

    static constexpr int kDefaultTaux = 655957; // 6,55957 francs to the euro

    // The rate in the general format, "6,55957".
    QString tauxText() const;
    Real48 taux() const { return m_taux; }
    void tauxUp();
    void tauxDown(); // never below 1 (0,00001)

    // Each showing of the window: the displays keep their text, a new input begins.
    void activate() { m_resultatAffiche = false; }

    // Starts a new input when a result is on display.
    void Init();
    void digit(int d);

    // A character typed in the window: Enter converts, Escape asks to close (and empties
    // a result on display), "." is taken as ",", digits and "," are appended.
    KeyResult keyPress(QChar key);

    // Backspace: the last character of the amount goes (a result shown is emptied, the
    // amount stays to be corrected). Delete: the amount and the result are emptied.
    void backspace();
    void clearEntry();

    // Converts the input; on failure (not a number, an amount out of range) both displays
    // are emptied and a new input begins, without a message.
    bool convert();

    Direction direction = Direction::FrancsToEuros;
    const QString &input() const { return m_input; }
    const QString &result() const { return m_result; }
    bool resultatAffiche() const { return m_resultatAffiche; }

    // The conversion itself: the result text, or false when it cannot be done.
    static bool compute(const QString &input, Direction direction, Real48 taux, QString &result);

private:
    void clearIfResult();

    Real48 m_taux{static_cast<long double>(kDefaultTaux)};
    QString m_input;
    QString m_result;
    bool m_resultatAffiche = false;
};
