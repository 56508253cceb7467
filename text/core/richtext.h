// How a word-processor document is held in a QTextDocument: units, the default font, the
// representation of paragraph indents and bullets, and the plain-text views of a document
// (its text with CR LF, its lines as displayed). The RTF reader and writer, the window and
// the text tools all go through these helpers so that they agree.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextFormat>

class QTextBlock;
class QTextCursor;
class QTextDocument;

namespace richtext {

// Layout pixels are 96 per inch: 4/3 pixel per point, 15 twips per pixel.
constexpr double kPxPerPt = 4.0 / 3.0;
constexpr double kTwipsPerPx = 15.0;
constexpr int kDefaultTabTwips = 720;
constexpr double kDefaultTabPx = kDefaultTabTwips / kTwipsPerPx;

// The document's default character format: Arial, 10 points.
QString defaultFamily();
constexpr double kDefaultPointSize = 10.0;
// What the text files hold, read and written alike: a size of at most 1638 points (the RTF
// "\fs" counts half points up to 3276) and at most 64 tab stops per paragraph.
constexpr int kMaxPointSize = 1638;
constexpr int kMaxTabStops = 64;
QTextCharFormat defaultCharFormat();

// Gives an empty or freshly filled document the program's defaults: font, tab distance,
// no document margin (the edit rectangle and the page rectangle place the text).
void prepare(QTextDocument &doc);

// Paragraph indents as the RTF stream holds them, in layout pixels: `left` is where the
// lines after the first start, `first` is the first line's start relative to `left`
// (negative for a hanging indent), `right` the indent from the right edge.
struct Indents
{
    double left = 0;
    double first = 0;
    double right = 0;
    bool operator==(const Indents &) const = default;
};

// A bullet paragraph is a member of a disc list. Its bullet hangs left of the text, so the
// whole paragraph is laid out at `left` and the first-line indent is kept in a property of
// its own (restored when the bullet goes).
constexpr int kBulletFirstIndent = QTextFormat::UserProperty + 1;

bool hasBullet(const QTextBlock &block);
Indents indents(const QTextBlock &block);
Indents indents(const QTextBlockFormat &format, bool bullet);
void setIndents(QTextBlockFormat &format, bool bullet, const Indents &indents);

// Gives the paragraph at `cursor` a bullet or removes it, keeping its indents. A paragraph
// that becomes a bullet joins the list of the paragraph just above when that one has a bullet.
void setBullet(QTextCursor &cursor, bool on);

// Tab stops of a paragraph, in layout pixels.
QList<double> tabStops(const QTextBlockFormat &format);
void setTabStops(QTextBlockFormat &format, const QList<double> &px);

// The whole text, paragraphs joined by "\r\n", line breaks inside a paragraph as "\r\n" too.
QString plainText(const QTextDocument &doc);
// Replaces the content by plain text (lines split at CR LF, LF or CR).
void setPlainText(QTextDocument &doc, const QString &text);

// Lines as laid out: a paragraph wrapped on display gives several lines; a paragraph not
// laid out yet counts as one line (its text).
QStringList displayedLines(const QTextDocument &doc);
int displayedLineCount(const QTextDocument &doc);
int displayedLineOfPosition(const QTextDocument &doc, int position);
// Position of the first character of a displayed line, -1 when there is no such line.
int positionOfDisplayedLine(const QTextDocument &doc, int line);

// A character that a paragraph's text may hold: not a control character other than the tab,
// nor the paragraph and frame separators and object markers QTextDocument gives a
// structure of their own.
inline bool isTextCharacter(char16_t c)
{
    return (c >= 0x20 || c == u'\t') && c != 0x2029 && c != 0xFDD0 && c != 0xFDD1 && c != 0xFFFC;
}

} // namespace richtext
