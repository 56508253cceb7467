// The toolbar's font-size spinner: its arrows and values set by the program stay within
// the bounds, but the handlers read the integer as typed, unbounded; text that is not an
// integer reads as the minimum.
#pragma once

#include <QSpinBox>

class SpinEdit : public QSpinBox
{
    Q_OBJECT
public:
    explicit SpinEdit(QWidget *parent = nullptr);
    // The value as the handlers read it.
    int typedValue() const;

Q_SIGNALS:
    // The text changed: by typing, by the arrows, or by setValue.
    void edited();

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
};
