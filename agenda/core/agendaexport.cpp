#include "agenda/core/agendaexport.h"

#include "agenda/core/agendalist.h"
#include "agenda/core/daypage.h"

#include <QSet>

#include <algorithm>

namespace agendaexport {
namespace {

using daypage::Page;
using daypage::Slot;

struct Event
{
    QString uidBase;
    bool allDay = false;
    QDate day;
    int start = 0; // minutes from the day's midnight (floating local time)
    int end = 0;
    QString summary;
    QString description;
};

int minutesOf(const QString &timeKey) { return timeKey.left(2).toInt() * 60 + timeKey.mid(3, 2).toInt(); }

// "yyyymmddTHHMMSS" of a time given in minutes from `day`'s midnight (24:00 is the next day).
QString localTime(const QDate &day, int minutes)
{
    const QDate d = day.addDays(minutes / 1440);
    const int m = minutes % 1440;
    return agendadates::dayKey(d) + u'T' + QString::number(m / 60).rightJustified(2, u'0')
            + QString::number(m % 60).rightJustified(2, u'0') + QStringLiteral("00");
}

bool validTime(const QString &timeKey)
{
    if (!agendadates::looksLikeTimeKey(timeKey))
        return false;
    const int h = timeKey.left(2).toInt();
    const int m = timeKey.mid(3, 2).toInt();
    return m < 60 && (h < 24 || (h == 24 && m == 0));
}

QString firstNonEmpty(std::initializer_list<QString> texts)
{
    for (const QString &t : texts)
        if (!t.trimmed().isEmpty())
            return t;
    return QString();
}

QString rowText(const QString &time, const Slot &s)
{
    QString t = time;
    if (!s.subject.isEmpty())
        t += u' ' + s.subject;
    if (!s.note.isEmpty())
        t += QStringLiteral(" – ") + s.note;
    return t;
}

Event slotEvent(const QDate &day, const QString &time, const Slot &s, int scale)
{
    Event e;
    e.uidBase = agendadates::dayKey(day) + u'T' + QString(time).remove(u':');
    e.day = day;
    e.start = minutesOf(time);
    e.end = e.start + agendadates::slotMinutes(scale, time.mid(3, 2).toInt());
    e.summary = firstNonEmpty({s.subject, s.note});
    if (!s.subject.trimmed().isEmpty())
        e.description = s.note;
    return e;
}

void dayEvents(const Page &p, const DaySettings &settings, QList<Event> &out)
{
    for (int n = 0; n < 2; ++n) {
        const daypage::DayNote &note = p.notes[size_t(n)];
        if (note.isEmpty())
            continue;
        Event e;
        e.uidBase = agendadates::dayKey(p.date) + QStringLiteral("-jour%1").arg(n + 1);
        e.allDay = true;
        e.day = p.date;
        e.summary = firstNonEmpty({note.first, note.second});
        if (!note.first.trimmed().isEmpty())
            e.description = note.second;
        out.append(e);
    }
    for (int i = 0; i < p.rows.size(); ++i) {
        const Slot &s = p.rows[i];
        if (s.marker == daypage::kRangeMarker) {
            int j = i;
            while (j + 1 < p.rows.size() && p.rows[j + 1].marker == daypage::kRangeMarker)
                ++j;
            Event e = slotEvent(p.date, p.labels[i], s, settings.scale);
            e.end = slotEvent(p.date, p.labels[j], p.rows[j], settings.scale).end;
            QStringList texts;
            for (int r = i; r <= j; ++r) {
                if (e.summary.isEmpty())
                    e.summary = firstNonEmpty({p.rows[r].subject, p.rows[r].note});
                if (!p.rows[r].subject.isEmpty() || !p.rows[r].note.isEmpty())
                    texts.append(rowText(p.labels[r], p.rows[r]));
            }
            if (e.summary.isEmpty())
                e.summary = QStringLiteral("Étendue");
            e.description = texts.join(u'\n');
            out.append(e);
            i = j;
        } else if (!s.subject.trimmed().isEmpty() || !s.note.trimmed().isEmpty()) {
            out.append(slotEvent(p.date, p.labels[i], s, settings.scale));
        }
    }
    // Slot lines the settings do not show: each one slot long.
    for (const QString &line : p.kept) {
        const QString r = line.mid(AgendaList::kKeyLength, daypage::kMaxRead);
        Page one;
        one.labels = QStringList{r.left(5)};
        one.rows.resize(1);
        if (!validTime(one.labels[0]) || !daypage::paste(one, r))
            continue;
        const Slot &s = one.rows[0];
        if (!s.subject.trimmed().isEmpty() || !s.note.trimmed().isEmpty())
            out.append(slotEvent(p.date, one.labels[0], s, settings.scale));
    }
}

// Appends `utf8` to a content line that already holds `used` octets in `out`.
void appendFolded(QByteArray &out, const QByteArray &utf8, qsizetype used = 0)
{
    qsizetype pos = 0;
    qsizetype limit = 75 - used; // a line holds 75 octets; continuations 74 after their space
    while (utf8.size() - pos > limit) {
        qsizetype cut = pos + limit;
        while (cut > pos && (uchar(utf8[cut]) & 0xC0) == 0x80) // not inside a character
            --cut;
        out.append(utf8.constData() + pos, cut - pos);
        out.append("\r\n ", 3);
        pos = cut;
        limit = 74;
    }
    out.append(utf8.constData() + pos, utf8.size() - pos);
}

void contentLine(QByteArray &out, QLatin1StringView name, const QString &value)
{
    out.append(name.data(), name.size());
    out.append(':');
    appendFolded(out, value.toUtf8(), name.size() + 1); // names are short ASCII
    out.append("\r\n", 2);
}

QString stamp(const QDateTime &t) { return t.toString(QStringLiteral("yyyyMMdd'T'HHmmss")); }

QString uidDomainPart(const QString &domain)
{
    QString d;
    for (QChar c : domain)
        d += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'-' || c == u'.' ? c : QChar(u'-');
    return d.isEmpty() ? QStringLiteral("agenda.velmora") : d;
}

QString csvField(const QString &f)
{
    if (!f.contains(u';') && !f.contains(u'"') && !f.contains(u'\n') && !f.contains(u'\r'))
        return f;
    return u'"' + QString(f).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

QList<QDate> daysInOrder(const AgendaList &list)
{
    QList<QDate> days;
    for (const QString &key : list.keys()) {
        const QDate d = agendadates::dateOfKey(key);
        if (d.isValid())
            days.append(d);
    }
    std::sort(days.begin(), days.end());
    return days;
}

QString escapeText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\\' || c == u';' || c == u',')
            out += u'\\' + QString(c);
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r' || (c.unicode() < 0x20 && c != u'\t'))
            continue; // control characters are not allowed in TEXT values
        else
            out += c;
    }
    return out;
}

QByteArray foldLine(const QByteArray &utf8)
{
    QByteArray out;
    appendFolded(out, utf8);
    return out;
}

QByteArray toIcs(const AgendaList &list, const DaySettings &settings, const QDateTime &when, const QString &uidDomain)
{
    QByteArray out;
    out += "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Velmora//Agenda//FR\r\nCALSCALE:GREGORIAN\r\n";
    const QString domain = uidDomainPart(uidDomain);
    const QString dtstamp = stamp(when.toUTC()) + u'Z';
    QSet<QString> used;
    for (const QDate &day : daysInOrder(list)) {
        QList<Event> events;
        dayEvents(daypage::readDay(list, day, settings), settings, events);
        for (const Event &e : events) {
            QString uid = e.uidBase;
            for (int n = 2; used.contains(uid); ++n)
                uid = e.uidBase + u'-' + QString::number(n);
            used.insert(uid);
            out += "BEGIN:VEVENT\r\n";
            contentLine(out, QLatin1StringView("UID"), uid + u'@' + domain);
            contentLine(out, QLatin1StringView("DTSTAMP"), dtstamp);
            if (e.allDay) {
                contentLine(out, QLatin1StringView("DTSTART;VALUE=DATE"), agendadates::dayKey(e.day));
                contentLine(out, QLatin1StringView("DTEND;VALUE=DATE"), agendadates::dayKey(e.day.addDays(1)));
            } else {
                contentLine(out, QLatin1StringView("DTSTART"), localTime(e.day, e.start));
                contentLine(out, QLatin1StringView("DTEND"), localTime(e.day, e.end));
            }
            contentLine(out, QLatin1StringView("SUMMARY"), escapeText(e.summary));
            if (!e.description.isEmpty())
                contentLine(out, QLatin1StringView("DESCRIPTION"), escapeText(e.description));
            out += "END:VEVENT\r\n";
        }
    }
    out += "END:VCALENDAR\r\n";
    return out;
}

QByteArray toCsv(const AgendaList &list, const DaySettings &settings)
{
    QString out = QStringLiteral("Date;Heure;Étendue;Sujet;Note\r\n");
    for (const QDate &day : daysInOrder(list)) {
        const QString date = agendadates::shortDate(day);
        for (const daypage::Entry &e : daypage::entries(daypage::readDay(list, day, settings)))
            out += date + u';' + e.time + u';' + csvField(e.marker) + u';' + csvField(e.subject) + u';'
                    + csvField(e.note) + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

} // namespace agendaexport
