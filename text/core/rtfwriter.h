// Writes a document as RTF the way the rich edit control streams it: a header line with
// the font table, a colour-table line, then one line per paragraph (the first opened by
// "\deflang1036\pard", the others by "\par "), runs opened by "\plain", the font and size
// and then "\b ", "\i ", "\ul "; bytes 0x80-0xFF as "\'hh", characters Windows-1252 cannot
// hold as "\uN\'3f"; the last line "\par }". The HTML export reads these lines.
#pragma once

#include <QByteArray>

class QTextDocument;

namespace rtf {

QByteArray write(const QTextDocument &doc);

} // namespace rtf
