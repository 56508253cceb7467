// Dates and keys of the day planner: a day is keyed by its date as "yyyymmdd", a slot by
// its time as "HH:MM"; the day settings (start hour, end hour, slots per hour) give the
// slot labels of a day. Date arithmetic here refuses dates the agenda cannot key (years
// outside 1..9999) with the run-time's date message.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

struct DaySettings
{
    int start = 8; // first hour of the day grid, 0..24
    int end = 18; // last hour, 0..24; its HH:00 slot is the last one
    int scale = 2; // 1 hour, 2 half hours, 3 quarter scale (HH:00, HH:30, HH:45)

    bool operator==(const DaySettings &) const = default;
};

namespace agendadates {

// "Argument incorrect pour date encode": the message of a date that does not exist.
QString invalidDateMessage();

// The date y-m-d; throws VelmoraError with invalidDateMessage() when it does not exist or
// its year is outside 1..9999 (a day key holds four digits of year).
QDate encodeDate(int year, int month, int day);

// `date` moved by `days`; throws as encodeDate when the result leaves years 1..9999.
QDate addDays(const QDate &date, int days);

// The agenda's month buttons: one month back (delta -1) or forward (+1) keeping the day
// number when the new month has it, else its last day (29 February 2000, 28 February 1900
// and 2100, 30 April). Throws as encodeDate when the year leaves 1..9999.
QDate stepMonth(const QDate &date, int delta);

QString dayKey(const QDate &date); // "19990416"
QString shortDate(const QDate &date); // "16/04/1999"
QString timeKey(int hour, int minute); // "08:30", "24:00"

// The date of an eight-digit day key, or an invalid date when the key is not one.
QDate dateOfKey(const QString &key);

// Time keys of the slot rows, first to last: hour by hour from start to end, the labels
// of each hour by scale, the last one always "end:00". Empty when end < start.
QStringList slotLabels(const DaySettings &settings);

// Minutes a slot starting at `minute` lasts under `scale` (60, 30, or 30/15/15).
int slotMinutes(int scale, int minute);

// True for five characters "DD:DD" (what a slot line holds at characters 9 to 13).
bool looksLikeTimeKey(QStringView text);

// The heading of a day: "Vendredi 16 avril 1999" (full French names, first letter upper).
QString heading(const QDate &date);

} // namespace agendadates
