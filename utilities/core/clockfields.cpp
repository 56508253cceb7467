#include "utilities/core/clockfields.h"

#include "common/velmoraerror.h"

#include <algorithm>

namespace clockfields {

const Spec &spec(Field field)
{
    // The hour goes up to 24, and the day and month down to 0: the arrows only change
    // the display, they never set a clock.
    static const Spec specs[] = {
            {false, 1, 2, 24, 0}, {false, 4, 2, 59, 0},     {true, 1, 2, 31, 0},
            {true, 4, 2, 12, 0},  {true, 7, 4, 2099, 1900},
    };
    return specs[static_cast<int>(field)];
}

namespace {
// Whole number as the run-time reads it: leading blanks, an optional sign, then digits only.
bool toInteger(const QString &text, int &value)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool ok = false;
    const QString rest = text.mid(i);
    if (rest.isEmpty() || rest.contains(u' '))
        return false;
    value = rest.toInt(&ok, 10);
    return ok;
}
} // namespace

QString step(const QString &text, Field field, int delta)
{
    const Spec &s = spec(field);
    const QString chars = text.mid(s.position - 1, s.length);
    int v = 0;
    if (!toInteger(chars, v))
        throw VelmoraError::notAnInteger(chars);
    if (field == Field::An && v < 100)
        v += 1900;
    v += delta;
    v = delta > 0 ? std::min(v, s.max) : std::max(v, s.min);
    QString shown = QStringLiteral("%1").arg(v, s.length, 10, QChar(u' '));
    if (shown.startsWith(u' '))
        shown[0] = u'0';
    QString out = text;
    out.remove(s.position - 1, s.length);
    out.insert(std::min<qsizetype>(s.position - 1, out.size()), shown);
    return out;
}

} // namespace clockfields
