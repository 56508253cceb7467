// The arithmetic of the text tools, apart from their dialogs: statistics of displayed
// lines, the eight date and time formats, change of case, the character table, tab stops
// in widths of "A" and paragraph indents in millimetres.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace texttools {

// Statistics
struct Statistics
{
    int lines = 0; // "Nombre de lignes": displayed lines
    int characters = 0; // "Nombre de caractères": their characters, line ends not counted
    int words = 0; // "Nombre de mots": runs between separators that hold a letter or digit
};
// From the lines as displayed, each without its line end; a last empty line (the empty
// end of the text) is not counted.
Statistics statistics(const QStringList &displayedLines);
// The separators that end a word, besides white space: , . ; ! : and carriage return.
bool isWordSeparator(QChar c);

// Date and time
// The eight formats of the "Date et heure" list, in their order.
QStringList dateTimeFormats();
// `when` written with one of those formats, in French.
QString formatDateTime(const QString &format, const QDateTime &when);

// Change of case
enum class CaseChange { None = 0, Lower = 1, Upper = 2 };
// Every letter changes, accented ones included, each keeping its place (one character for one).
QString changeCase(const QString &text, CaseChange change);

// Character table
constexpr int kTableColumns = 28;
constexpr int kTableRows = 8;
constexpr int kFirstTableCode = 32;
// Windows-1252 code shown in a cell (32 in row 0 column 0 ... 255 in row 7 column 27).
int characterCode(int row, int column);
// Its character, or an empty text for the five codes Windows-1252 leaves undefined.
QString tableCharacter(int row, int column);

// Tab stops (units of the width of "A", in points)
// The list value of a stop: stop div unit, or 0 when it is not listed.
int tabListValue(double stopPoints, int unitWidth);
// Parses a list line as the program's integer fields do ("12", " -3", "$1F"); throws
// VelmoraError ("'%s' n'est pas une valeur entière correcte") otherwise.
int parseInteger(const QString &text);

// Paragraph indents (points shown in millimetres), rounded to the nearest.
int pointsToMillimetres(int points);
int millimetresToPoints(int millimetres);

} // namespace texttools
