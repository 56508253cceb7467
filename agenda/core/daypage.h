// One day of the agenda as the day view shows it: a slot row per time label with its range
// marker, subject and note, and two free day notes. readDay copies a day out of the list,
// dayLines turns the page back into the day's lines; the range, clipboard and week helpers
// work on pages too, so that the window only moves text between a page and its grids.
#pragma once

#include "agenda/core/agendadates.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

class AgendaList;

namespace daypage {

// Marker cell of a slot inside a range, as the window shows it; stored as "[".
inline const QString kRangeMarker = QStringLiteral(" [");

// A reader takes at most this many characters after the day key.
constexpr int kMaxRead = 255;
// Longest subject + note (or first + second day-note text) that a line can hold and be
// read back whole: 255 characters after the day key, less the time key, the marker and
// the TAB (slot), or the date and the TAB (day note).
constexpr int kMaxSlotText = kMaxRead - 5 - 1 - 1;
constexpr int kMaxNoteText = kMaxRead - 10 - 1;

struct Slot
{
    QString marker; // "" or " [" (anything else read from a file is kept as read)
    QString subject;
    QString note;
    bool isEmpty() const { return marker.isEmpty() && subject.isEmpty() && note.isEmpty(); }
    bool operator==(const Slot &) const = default;
};

struct DayNote
{
    QString first;
    QString second;
    bool isEmpty() const { return first.isEmpty() && second.isEmpty(); }
    bool operator==(const DayNote &) const = default;
};

struct Page
{
    QDate date;
    QStringList labels; // time keys of the slot rows
    QList<Slot> rows; // one per label
    std::array<DayNote, 2> notes;
    // Slot lines of the day whose time matches no row under the current settings; they
    // are written back unchanged so that a change of scale never loses an appointment.
    QStringList kept;
};

// An empty page for `date` with the rows of `settings`.
Page emptyPage(const QDate &date, const DaySettings &settings);

// The day as the list holds it (lines applied in list order, a later line for a slot
// overwriting an earlier one, at most two day notes).
Page readDay(const AgendaList &list, const QDate &date, const DaySettings &settings);

// The lines that store the page: non-empty rows in row order with the kept lines merged
// in by time, then the non-empty day notes.
QStringList dayLines(const Page &page);

// Replaces the page's day in the list (the day moves to the end of the list).
void writeDay(AgendaList &list, const Page &page);

// The marker cell for the character stored at position 14 of a slot line.
QString markerOfChar(QChar c);
// The character stored for a marker cell (leading spaces removed, a space when empty).
QString storedMarker(const QString &marker);

// Clipboard line of a slot row: time key, stored marker, subject, TAB, note.
QString clipboardLine(const QString &label, const Slot &slot);
// Applies a clipboard line to the row with the same time key; false when none matches.
bool paste(Page &page, const QString &line);

// Marks rows a..b (either order, both included) as a range.
void markRange(QList<Slot> &rows, int a, int b);
// Clears the range around `row`: downwards from it, then upwards from the row above, each
// walk stopping at the first row without a marker; only range markers are cleared.
void clearRange(QList<Slot> &rows, int row);

// Entries of a day as a list shows them: the non-empty rows in row order, then the day
// notes (with an empty time).
struct Entry
{
    QString time; // time key, or empty for a day note
    QString marker; // "[" or "" (stored form, spaces dropped)
    QString subject; // subject, or first day-note text
    QString note; // note, or second day-note text
};
QList<Entry> entries(const Page &page);

} // namespace daypage
