#include "agenda/core/agendadates.h"

#include "common/frenchformat.h"
#include "common/velmoraerror.h"

namespace agendadates {
namespace {
QString two(int v) { return QString::number(v).rightJustified(2, u'0'); }
} // namespace

QString invalidDateMessage() { return QStringLiteral("Argument incorrect pour date encode"); }

QDate encodeDate(int year, int month, int day)
{
    const QDate d(year, month, day);
    if (year < 1 || year > 9999 || !d.isValid())
        throw VelmoraError(invalidDateMessage());
    return d;
}

QDate addDays(const QDate &date, int days)
{
    const QDate d = date.addDays(days);
    if (!d.isValid() || d.year() < 1 || d.year() > 9999)
        throw VelmoraError(invalidDateMessage());
    return d;
}

QDate stepMonth(const QDate &date, int delta)
{
    int year = date.year();
    int month = date.month() + delta;
    int day = date.day();
    if (month < 1) {
        month = 12;
        --year;
    } else if (month > 12) {
        month = 1;
        ++year;
    }
    // The day is kept when the new month has it, else it becomes the month's last day (31
    // January gives 28 or 29 February, by the full leap-year rule).
    if (year >= 1 && year <= 9999)
        day = qMin(day, QDate(year, month, 1).daysInMonth());
    return encodeDate(year, month, day);
}

QString dayKey(const QDate &date)
{
    return QString::number(date.year()).rightJustified(4, u'0') + two(date.month()) + two(date.day());
}

QString shortDate(const QDate &date) { return french::shortDate(date); }

QString timeKey(int hour, int minute) { return two(hour) + u':' + two(minute); }

QDate dateOfKey(const QString &key)
{
    if (key.size() != 8)
        return QDate();
    for (QChar c : key)
        if (c < u'0' || c > u'9')
            return QDate();
    const int y = key.left(4).toInt();
    const QDate d(y, key.mid(4, 2).toInt(), key.mid(6, 2).toInt());
    return (y >= 1 && d.isValid()) ? d : QDate();
}

QStringList slotLabels(const DaySettings &s)
{
    QStringList labels;
    if (s.end < s.start)
        return labels;
    static const int kMinutes[3][3] = {{0, -1, -1}, {0, 30, -1}, {0, 30, 45}};
    const int scale = qBound(1, s.scale, 3);
    for (int h = s.start; h <= s.end; ++h) {
        for (int i = 0; i < 3; ++i) {
            const int m = kMinutes[scale - 1][i];
            if (m < 0)
                break;
            labels.append(timeKey(h, m));
            if (h == s.end) // the day ends on the end hour's first label
                return labels;
        }
    }
    return labels;
}

int slotMinutes(int scale, int minute)
{
    switch (scale) {
    case 1: return 60;
    case 3: return minute == 0 ? 30 : 15;
    default: return 30;
    }
}

bool looksLikeTimeKey(QStringView t)
{
    auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    return t.size() >= 5 && digit(t[0]) && digit(t[1]) && t[2] == u':' && digit(t[3]) && digit(t[4]);
}

QString heading(const QDate &date)
{
    QString h = french::formatDate(QStringLiteral("dddd dd mmmm yyyy"), date);
    if (!h.isEmpty())
        h[0] = h[0].toUpper();
    return h;
}

} // namespace agendadates
