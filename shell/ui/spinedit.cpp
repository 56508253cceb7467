#include "shell/ui/spinedit.h"

#include <QLineEdit>

SpinEdit::SpinEdit(QWidget *parent) : QSpinBox(parent)
{
    setKeyboardTracking(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    connect(lineEdit(), &QLineEdit::textEdited, this, &SpinEdit::typed);
}

int SpinEdit::typedValue() const
{
    bool ok = false;
    const int v = lineEdit()->text().trimmed().toInt(&ok);
    return ok ? v : minimum();
}

bool SpinEdit::typedValueInRange() const
{
    bool ok = false;
    const int v = lineEdit()->text().trimmed().toInt(&ok);
    return ok && v >= minimum() && v <= maximum();
}

void SpinEdit::stepBy(int steps)
{
    // From the value shown, brought into the bounds, whatever was typed before.
    setValue(qBound(minimum(), typedValue(), maximum()));
    QSpinBox::stepBy(steps);
    Q_EMIT stepped();
}

QValidator::State SpinEdit::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos);
    bool ok = false;
    input.trimmed().toInt(&ok);
    // Any integer may be typed; the bounds apply only when the value is set.
    return ok ? QValidator::Acceptable : QValidator::Intermediate;
}

void SpinEdit::fixup(QString &input) const
{
    bool ok = false;
    const int v = input.trimmed().toInt(&ok);
    input = QString::number(ok ? qBound(minimum(), v, maximum()) : minimum());
}

int SpinEdit::valueFromText(const QString &text) const
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? qBound(minimum(), v, maximum()) : minimum();
}
