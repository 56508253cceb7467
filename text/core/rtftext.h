// The plain text of a text document file, straight from its bytes: the paragraphs stream
// from the RTF reader into Windows-1252 lines without building the editor's document, so a
// large file converts at about the speed of reading it.
#pragma once

#include <QByteArray>

namespace rtf {

// What the plain-text conversion writes for a ".qvt" or ".rtf" file's bytes: one line per
// paragraph and per line break inside one (nothing wraps), in Windows-1252 ("?" for what it
// cannot hold), each followed by CR LF; the empty line after the last paragraph mark is
// not written. Bytes that are not RTF are read as the control reads a plain-text file.
// The result equals the text of the document the window would hold, line for line.
QByteArray plainTextLines(const QByteArray &bytes);

} // namespace rtf
