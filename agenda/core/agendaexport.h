// Exports of an agenda for other programs: an iCalendar file (RFC 5545) that common
// calendar programs import, and a CSV listing of what the day view shows, day by day.
#pragma once

#include "agenda/core/agendadates.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class AgendaList;

namespace agendaexport {

// Every day of the list with a valid day key, in date order.
QList<QDate> daysInOrder(const AgendaList &list);

// VCALENDAR with one VEVENT per slot with a subject or note (lasting one slot of the
// settings' scale), one per run of consecutive range rows (spanning the run), and an
// all-day event per day note. Slot lines outside the settings' rows become one-slot
// events too. UIDs are "<day><time>@<uidDomain>"; `stamp` is the DTSTAMP (UTC).
// UTF-8, CR LF, lines folded at 75 octets.
QByteArray toIcs(const AgendaList &list, const DaySettings &settings, const QDateTime &stamp, const QString &uidDomain);

// "Date;Heure;Étendue;Sujet;Note", then one line per slot or day note with content (a day
// note has an empty time), days in date order. UTF-8, CR LF, fields quoted when needed.
QByteArray toCsv(const AgendaList &list, const DaySettings &settings);

// Folds one content line (without its CR LF) into lines of at most 75 octets, never
// splitting a UTF-8 sequence; continuation lines begin with a space.
QByteArray foldLine(const QByteArray &utf8);

// RFC 5545 TEXT escaping: backslash, semicolon, comma and line breaks.
QString escapeText(const QString &text);

} // namespace agendaexport
