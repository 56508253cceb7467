// Reads RTF into a QTextDocument: the control's own stream and ordinary RTF from other word
// processors (font and colour tables, "\'hh" in the fonts' code pages, "\uN" with "\uc",
// paragraphs, line breaks, tabs, character and paragraph properties, "\pn" and "\ls" lists
// as bullets, field results as text; unknown destinations and pictures skipped).
// Malformed input never fails: what can be read is kept.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QTextFormat>

#include <functional>
#include <utility>
#include <vector>

class QTextDocument;

namespace rtf {

// One paragraph as the parser hands it on: its text, where each run of one character
// format starts, the paragraph's format and whether it has a bullet.
struct Paragraph
{
    QString text;
    std::vector<std::pair<int, QTextCharFormat>> runs; // start in `text`, format
    QTextBlockFormat format;
    QTextCharFormat markFormat; // the format of the paragraph mark itself
    bool bullet = false;
};
using ParagraphSink = std::function<void(const Paragraph &)>;

// Parses RTF and hands on each paragraph in order; no document is involved (the reader
// below fills a QTextDocument this way).
void parse(const QByteArray &bytes, const ParagraphSink &sink);

// The same paragraphs, their text only: no format is built, which makes it the faster way
// to the plain text of a document.
using TextSink = std::function<void(QStringView text)>;
void parseText(const QByteArray &bytes, const TextSink &sink);

// True for the destinations whose content is no document text (font and colour tables,
// document information, pictures, headers, field instructions...): a group that starts with
// one of them is skipped.
bool isIgnoredDestination(QByteArrayView word);

// True when the bytes begin (after white space) with "{\rtf".
bool isRtf(const QByteArray &bytes);

// Replaces the document's content with the RTF document. The undo history is not touched:
// callers that load a file clear it.
void read(const QByteArray &bytes, QTextDocument &doc);
// Same, stopping after the first paragraph for which `enough` (asked after each paragraph
// with the document as it stands) returns true: for a document's first screen, or a read
// that is called off. Returns true when the whole stream was read.
bool read(const QByteArray &bytes, QTextDocument &doc, const std::function<bool(const QTextDocument &)> &enough);

// What the control does with a file: RTF when the bytes are RTF, otherwise plain
// Windows-1252 text up to the first Ctrl-Z, lines split at CR LF, LF or CR.
void load(const QByteArray &bytes, QTextDocument &doc);

} // namespace rtf
