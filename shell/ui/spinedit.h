// The toolbar's font-size spinner: its arrows and values set by the program stay within
// the bounds, but the handlers read the integer as typed, unbounded; text that is not an
// integer reads as the minimum. It tells apart what the user does (typing, the arrows and
// Up/Down) from values the program sets, which must not be sent back to a window.
#pragma once

#include <QSpinBox>

class SpinEdit : public QSpinBox
{
    Q_OBJECT
public:
    explicit SpinEdit(QWidget *parent = nullptr);
    // The value as the handlers read it.
    int typedValue() const;
    // Whether the typed text is an integer within the bounds.
    bool typedValueInRange() const;

    void stepBy(int steps) override;

Q_SIGNALS:
    // The user changed the text by typing (not the program, not the arrows).
    void typed();
    // The user stepped the value with the arrows or Up/Down.
    void stepped();

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    int valueFromText(const QString &text) const override;
};
