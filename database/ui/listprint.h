// What the database prints: the list (one record per line, the fields side by side at the
// grid's column widths scaled to the printer, the field names heading every page) and the
// envelopes (one page per record, the recipient lines with the record's values).
#pragma once

#include "database/core/table.h"

#include <QFont>
#include <QStringList>

class QPrinter;

namespace listprint {

struct ListLayout
{
    int ratio = 1; // printer pixels per screen pixel, a whole number
    QList<int> x; // left of each field 1..NbChamps (x[0] is field 1)
    int top = 0; // first line of a page
    int lineHeight = 0; // one text height
    int linesPerPage = 0; // names line included
};

// Millimetres to printer pixels, a whole number of pixels per millimetre: x + 10 mm from
// the left and y + 5 mm from the top of the printable area.
int Mh(const QPrinter &printer, int x);
int Mv(const QPrinter &printer, int y);

// The printer font matching a grid font given in screen pixels.
QFont printerFont(const QFont &screenFont);

// The list print's layout on `printer`; `firstLine` is the millimetre line (Mv) where a
// page's first line stands, the same distance being kept free at the bottom.
ListLayout layoutList(QPrinter &printer, const Table &table, const QFont &screenFont, int firstLine);

// Prints the names and records 1..NbChamps as one job. Throws VelmoraError when the
// printer cannot be started.
void printList(QPrinter &printer, const Table &table, const QFont &screenFont, int firstLine);

// One page per record first..last: the sender lines (lines[4..7]) as typed at Mh(5) and
// Mv(5), Mv(10), Mv(15), Mv(20); the recipient lines (lines[0..3]) with the record's field
// markers replaced, at Mh(110) and Mv(50)..Mv(65); "Arial" 10 points.
void printEnvelopes(QPrinter &printer, const Table &table, const QStringList &lines, int first, int last);

// Prints into a PDF file written through the atomic save (the headless conversion).
void printListToPdf(const QString &path, const Table &table, const QFont &screenFont, int firstLine);

} // namespace listprint
