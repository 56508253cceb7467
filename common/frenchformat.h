// French formatting independent of the machine's locale: day and month names, dates in the
// pattern language of the program's date formats ("dddd dd mmmm yyyy"), decimal comma, and
// the A-to-Z-only case changes the program's comparisons use.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>

namespace french {

QLocale locale(); // French (France), no group separator in numbers

// dayOfWeek as QDate gives it: 1 = Monday ... 7 = Sunday.
QString dayName(int dayOfWeek); // "lundi"
QString shortDayName(int dayOfWeek); // "lun."
QString monthName(int month); // "janvier"
QString shortMonthName(int month); // "janv."

// Pattern letters: d dd ddd dddd ddddd (dd/mm/yyyy) dddddd (long date), m mm mmm mmmm
// (m after h or hh is minutes), yy yyyy, h hh, n nn (minutes), s ss, z zzz (ms), t (hh:nn),
// tt (hh:nn:ss), c (short date then long time), am/pm, "/" and ":" as themselves, text in
// single or double quotes copied as is. Other characters are copied.
QString formatDateTime(const QString &pattern, const QDateTime &when);
QString formatDate(const QString &pattern, const QDate &date);

QString shortDate(const QDate &date); // "07/12/2026"
QString longTime(const QTime &time); // "14:05:09"
QString shortTime(const QTime &time); // "14:05"

// Number with a decimal comma and no grouping; `decimals` < 0 means the shortest form
// that reads back exactly (up to 15 significant digits).
QString formatNumber(double value, int decimals = -1);
// Parses "3,14", "-2", " 12,5 "; a "." is refused. Returns false on anything else.
bool parseNumber(const QString &text, double &value);

// Case changes for the letters A to Z only; accented letters keep their case.
QString upperAZ(const QString &text);
QString lowerAZ(const QString &text);
QChar upperAZ(QChar ch);

} // namespace french
