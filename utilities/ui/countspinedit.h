// The letter weigher's count field: a spin edit whose text is taken as typed. It accepts
// only digits, "+", "-" and "," (other characters are refused with a beep); its value is
// the whole number typed, or 0 for a text that is not one; a number outside the bounds
// counts as typed until the field is left, when it is brought back to the nearer bound.
// An entry that is not a whole number within the bounds is shown in red with a tooltip
// saying what is expected, and one that is no whole number at all ("25,5", "-") becomes 0
// when the field is left, so that nothing stays shown that is not counted.
#pragma once

#include <QAbstractSpinBox>

class CountSpinEdit : public QAbstractSpinBox
{
    Q_OBJECT
public:
    CountSpinEdit(int minimum, int maximum, QWidget *parent = nullptr);

    int value() const;
    void setValue(int value);
    QString text() const;

    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &pos) const override;
    QSize sizeHint() const override;

    static bool isAllowed(QChar c);
    // The text is not a whole number within the bounds (an empty text is not refused).
    bool refused() const;

Q_SIGNALS:
    // Every change of the text, typed or stepped.
    void changed();

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void markRefused();

    int m_minimum;
    int m_maximum;
};
