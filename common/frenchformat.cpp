#include "common/frenchformat.h"

#include <array>

namespace french {
namespace {

const std::array<const char16_t *, 7> kDays = {u"lundi",    u"mardi",  u"mercredi", u"jeudi",
                                               u"vendredi", u"samedi", u"dimanche"};
const std::array<const char16_t *, 7> kShortDays = {u"lun.", u"mar.", u"mer.", u"jeu.", u"ven.", u"sam.", u"dim."};
const std::array<const char16_t *, 12> kMonths = {u"janvier",   u"février", u"mars",     u"avril",
                                                  u"mai",       u"juin",    u"juillet",  u"août",
                                                  u"septembre", u"octobre", u"novembre", u"décembre"};
const std::array<const char16_t *, 12> kShortMonths = {u"janv.", u"févr.", u"mars",  u"avr.", u"mai",  u"juin",
                                                       u"juil.", u"août",  u"sept.", u"oct.", u"nov.", u"déc."};

QString two(int v) { return QString::number(v).rightJustified(2, u'0'); }

int runLength(const QString &p, qsizetype i)
{
    const QChar c = p[i].toLower();
    qsizetype j = i;
    while (j < p.size() && p[j].toLower() == c)
        ++j;
    return int(j - i);
}

} // namespace

QLocale locale()
{
    QLocale fr(QLocale::French, QLocale::France);
    fr.setNumberOptions(QLocale::OmitGroupSeparator);
    return fr;
}

QString dayName(int d) { return (d >= 1 && d <= 7) ? QString::fromUtf16(kDays[d - 1]) : QString(); }
QString shortDayName(int d) { return (d >= 1 && d <= 7) ? QString::fromUtf16(kShortDays[d - 1]) : QString(); }
QString monthName(int m) { return (m >= 1 && m <= 12) ? QString::fromUtf16(kMonths[m - 1]) : QString(); }
QString shortMonthName(int m) { return (m >= 1 && m <= 12) ? QString::fromUtf16(kShortMonths[m - 1]) : QString(); }

QString shortDate(const QDate &d)
{
    return two(d.day()) + u'/' + two(d.month()) + u'/' + QString::number(d.year()).rightJustified(4, u'0');
}
QString longTime(const QTime &t) { return two(t.hour()) + u':' + two(t.minute()) + u':' + two(t.second()); }
QString shortTime(const QTime &t) { return two(t.hour()) + u':' + two(t.minute()); }

QString formatDateTime(const QString &p, const QDateTime &when)
{
    const QDate date = when.date();
    const QTime time = when.time();
    QString out;
    bool afterHour = false; // an "m" right after an hour token means minutes
    qsizetype i = 0;
    while (i < p.size()) {
        const QChar c = p[i];
        const QChar lc = c.toLower();
        if (c == u'"' || c == u'\'') {
            const qsizetype end = p.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? p.size() : end;
            out += p.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (p.mid(i, 5).compare(u"am/pm", Qt::CaseInsensitive) == 0) {
            out += time.hour() < 12 ? u"am" : u"pm";
            i += 5;
            continue;
        }
        const int n = runLength(p, i);
        if (lc == u'd') {
            switch (n) {
            case 1: out += QString::number(date.day()); break;
            case 2: out += two(date.day()); break;
            case 3: out += shortDayName(date.dayOfWeek()); break;
            case 4: out += dayName(date.dayOfWeek()); break;
            case 5: out += shortDate(date); break;
            default:
                out += dayName(date.dayOfWeek()) + u' ' + QString::number(date.day()) + u' ' + monthName(date.month())
                        + u' ' + QString::number(date.year());
            }
            i += n;
            afterHour = false;
        } else if (lc == u'm') {
            if (afterHour && n <= 2) {
                out += n == 1 ? QString::number(time.minute()) : two(time.minute());
            } else if (n == 1) {
                out += QString::number(date.month());
            } else if (n == 2) {
                out += two(date.month());
            } else if (n == 3) {
                out += shortMonthName(date.month());
            } else {
                out += monthName(date.month());
            }
            i += n;
            afterHour = false;
        } else if (lc == u'y') {
            out += n <= 2 ? two(date.year() % 100) : QString::number(date.year()).rightJustified(4, u'0');
            i += n;
            afterHour = false;
        } else if (lc == u'h') {
            out += n == 1 ? QString::number(time.hour()) : two(time.hour());
            i += n;
            afterHour = true;
        } else if (lc == u'n') {
            out += n == 1 ? QString::number(time.minute()) : two(time.minute());
            i += n;
            afterHour = false;
        } else if (lc == u's') {
            out += n == 1 ? QString::number(time.second()) : two(time.second());
            i += n;
            afterHour = false;
        } else if (lc == u'z') {
            out += n < 3 ? QString::number(time.msec()) : QString::number(time.msec()).rightJustified(3, u'0');
            i += n;
        } else if (lc == u't') {
            out += n == 1 ? shortTime(time) : longTime(time);
            i += n;
        } else if (lc == u'c') {
            out += shortDate(date) + u' ' + longTime(time);
            i += n;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString formatDate(const QString &pattern, const QDate &date)
{
    return formatDateTime(pattern, QDateTime(date, QTime(0, 0), Qt::UTC)); // any day has a midnight
}

QString formatNumber(double value, int decimals)
{
    const QLocale fr = locale();
    if (decimals >= 0)
        return fr.toString(value, 'f', decimals);
    return fr.toString(value, 'g', 15);
}

bool parseNumber(const QString &text, double &value)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.contains(u'.'))
        return false;
    bool ok = false;
    const double v = locale().toDouble(t, &ok);
    if (ok)
        value = v;
    return ok;
}

QChar upperAZ(QChar ch) { return (ch >= u'a' && ch <= u'z') ? QChar(ch.unicode() - 32) : ch; }

QString upperAZ(const QString &text)
{
    QString out = text;
    for (QChar &ch : out)
        ch = upperAZ(ch);
    return out;
}

QString lowerAZ(const QString &text)
{
    QString out = text;
    for (QChar &ch : out)
        if (ch >= u'A' && ch <= u'Z')
            ch = QChar(ch.unicode() + 32);
    return out;
}

} // namespace french
