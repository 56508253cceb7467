// CSV as other programs write it, shared by the database and the spreadsheet: UTF-8 (or
// Windows-1252), ";", "," or tab between fields, RFC 4180 quoting read leniently.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace csv {

// The text of CSV bytes: UTF-8 (a leading byte-order mark dropped), or Windows-1252 when
// the bytes are not valid UTF-8.
QString decode(const QByteArray &bytes);

// The separator the data use: the one of ";", "," and tab that occurs most often outside
// quotes in the first line (";" when none does).
QChar detectSeparator(const QString &text);

// What becomes of a line break inside a quoted field.
enum class LineBreaks { Keep, ToBlank };

struct Row
{
    int line = 1; // physical line where the row starts, for messages
    QStringList fields;
};

// The rows of `text`. Quotes only matter at the start of a field (a quote inside an unquoted
// field is kept as it is), text after a closing quote is kept, and CR LF, LF or CR end a row.
// A quoted field that is never closed would swallow the rest of the file: it throws
// VelmoraError naming the line where it opens.
std::vector<Row> split(const QString &text, QChar separator, LineBreaks breaks);

// Appends `field` to a ";"-separated line, quoted when it holds a character a reader could
// take for a separator, a quote or a line end (commas and tabs included, so that the
// separator is never guessed wrong), or starts with a byte-order mark, which a reader drops.
void appendField(QString &line, const QString &field);

} // namespace csv
