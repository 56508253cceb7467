// Reads RTF into a QTextDocument: the control's own stream and ordinary RTF from other word
// processors (font and colour tables, "\'hh" in the fonts' code pages, "\uN" with "\uc",
// paragraphs, line breaks, tabs, character and paragraph properties, "\pn" and "\ls" lists
// as bullets, field results as text; unknown destinations and pictures skipped).
// Malformed input never fails: what can be read is kept.
#pragma once

#include <QByteArray>

class QTextDocument;

namespace rtf {

// True when the bytes begin (after white space) with "{\rtf".
bool isRtf(const QByteArray &bytes);

// Replaces the document's content with the RTF document. The undo history is not touched:
// callers that load a file clear it.
void read(const QByteArray &bytes, QTextDocument &doc);

// What the control does with a file: RTF when the bytes are RTF, otherwise plain
// Windows-1252 text up to the first Ctrl-Z, lines split at CR LF, LF or CR.
void load(const QByteArray &bytes, QTextDocument &doc);

} // namespace rtf
