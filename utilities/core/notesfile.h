// The notepad's file "velmora.nte": Windows-1252 lines, read up to the physical end or a
// Ctrl-Z with CR LF, lone CR or lone LF ending a line, written with CR LF after every line.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace notesfile {

inline QString fileName() { return QStringLiteral("velmora.nte"); }

QStringList parse(const QByteArray &bytes);
QByteArray serialize(const QStringList &lines);

// The editor's text as lines and back: an empty text has no line at all, and a text
// ending with a line break has a last, empty line.
QStringList linesOf(const QString &text);
QString textOf(const QStringList &lines);

// Printing: the lines of each page, as [first, first + count) ranges, for lines
// `lineHeight` apart on pages `pageHeight` high. A page always takes at least one line,
// and there is one empty page for no line (a job always prints a page).
struct PageRange
{
    int first;
    int count;
};
QList<PageRange> paginate(int lineCount, int lineHeight, int pageHeight);

} // namespace notesfile
