#include "utilities/ui/countspinedit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

CountSpinEdit::CountSpinEdit(int minimum, int maximum, QWidget *parent)
    : QAbstractSpinBox(parent),
      m_minimum(minimum),
      m_maximum(maximum)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setKeyboardTracking(true);
    lineEdit()->setText(QString::number(minimum));
    connect(lineEdit(), &QLineEdit::textChanged, this, &CountSpinEdit::markRefused);
    connect(lineEdit(), &QLineEdit::textChanged, this, &CountSpinEdit::changed);
}

bool CountSpinEdit::refused() const
{
    if (text().isEmpty())
        return false;
    bool ok = false;
    const int v = text().toInt(&ok, 10);
    return !ok || v < m_minimum || v > m_maximum;
}

void CountSpinEdit::markRefused()
{
    const bool bad = refused();
    QPalette pal = lineEdit()->palette();
    pal.setColor(QPalette::Text, bad ? QColor(Qt::red) : palette().color(QPalette::Text));
    lineEdit()->setPalette(pal);
    const QString why =
            bad ? QStringLiteral("Nombre entier de %1 à %2 attendu").arg(m_minimum).arg(m_maximum) : QString();
    setToolTip(why);
    setAccessibleDescription(why);
}

bool CountSpinEdit::isAllowed(QChar c) { return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u','; }

QString CountSpinEdit::text() const { return lineEdit()->text(); }

int CountSpinEdit::value() const
{
    bool ok = false;
    const int v = text().toInt(&ok, 10);
    return ok ? v : 0;
}

void CountSpinEdit::setValue(int value) { lineEdit()->setText(QString::number(value)); }

void CountSpinEdit::stepBy(int steps)
{
    const qint64 v = qint64(value()) + steps;
    setValue(int(std::clamp<qint64>(v, m_minimum, m_maximum)));
    lineEdit()->selectAll();
}

QValidator::State CountSpinEdit::validate(QString &input, int &) const
{
    return std::all_of(input.cbegin(), input.cend(), isAllowed) ? QValidator::Acceptable : QValidator::Invalid;
}

QSize CountSpinEdit::sizeHint() const
{
    QSize s = QAbstractSpinBox::sizeHint();
    s.setWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 30);
    return s;
}

QAbstractSpinBox::StepEnabled CountSpinEdit::stepEnabled() const
{
    const int v = value();
    StepEnabled e = StepNone;
    if (v < m_maximum)
        e |= StepUpEnabled;
    if (v > m_minimum)
        e |= StepDownEnabled;
    return e;
}

void CountSpinEdit::keyPressEvent(QKeyEvent *event)
{
    const QString t = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command && t.size() == 1 && t[0].isPrint() && !isAllowed(t[0])) {
        QApplication::beep();
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void CountSpinEdit::focusOutEvent(QFocusEvent *event)
{
    bool whole = false;
    const int v = text().toInt(&whole, 10);
    if (!whole && !text().isEmpty())
        setValue(0); // it counted as 0: it shows so
    else if (v < m_minimum || v > m_maximum)
        setValue(std::clamp(v, m_minimum, m_maximum));
    QAbstractSpinBox::focusOutEvent(event);
}
