#include "text/core/rtfwriter.h"

#include "common/cp1252.h"
#include "text/core/richtext.h"

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace rtf {
namespace {

// The control's own table: 0 the dialog font, 1 the symbol font of the bullets, 2 the
// default text font; the document's other fonts follow from 3.
const char *const kFixedFonts[] = {"MS Sans Serif", "Symbol", "Arial"};

const char kHex[] = "0123456789abcdef";

void appendInt(QByteArray &out, long long v) { out += QByteArray::number(v); }

int twips(double px) { return int(std::lround(px * richtext::kTwipsPerPx)); }

// Text of a run or of a font name, escaped for RTF.
void appendEscaped(QByteArray &out, QStringView text)
{
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u >= 0x20 && u < 0x80) {
            if (u == '\\' || u == '{' || u == '}')
                out += '\\';
            out += char(u);
            continue;
        }
        if (u == '\t') {
            out += "\\tab ";
            continue;
        }
        if (u == QChar::LineSeparator) {
            out += "\\line ";
            continue;
        }
        if (u < 0x20 || !richtext::isTextCharacter(u))
            continue; // controls and QTextDocument's own markers carry no text
        unsigned char b;
        if (cp1252::encodeChar(ch, b)) {
            out += "\\'";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += "\\u";
            appendInt(out, u > 32767 ? int(u) - 65536 : int(u));
            out += "\\'3f";
        }
    }
}

struct ParagraphCodes
{
    int alignment = 0; // 0 left, 1 centre, 2 right, 3 justified
    bool bullet = false;
    int li = 0, fi = 0, ri = 0;
    QList<int> tabs;
    bool operator==(const ParagraphCodes &) const = default;
};

ParagraphCodes paragraphCodes(const QTextBlock &block)
{
    ParagraphCodes p;
    const QTextBlockFormat f = block.blockFormat();
    const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        p.alignment = 1;
    else if (a & (Qt::AlignRight))
        p.alignment = 2;
    else if (a & Qt::AlignJustify)
        p.alignment = 3;
    p.bullet = richtext::hasBullet(block);
    const richtext::Indents in = richtext::indents(f, p.bullet);
    p.li = twips(in.left);
    p.fi = twips(in.first);
    p.ri = twips(in.right);
    // The reader keeps the first kMaxTabStops: a file holds no more.
    for (double t : richtext::tabStops(f)) {
        if (p.tabs.size() == richtext::kMaxTabStops)
            break;
        p.tabs.append(twips(t));
    }
    return p;
}

const char kBulletText[] = "{\\pntext\\f1\\'b7\\tab}";
const char kBulletDef[] = "{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}";

void appendParagraphCodes(QByteArray &out, const ParagraphCodes &p)
{
    out += "\\pard";
    if (p.bullet) {
        out += kBulletText;
        out += kBulletDef;
    }
    static const char *const kAlign[] = {"", "\\qc", "\\qr", "\\qj"};
    out += kAlign[p.alignment];
    if (p.fi) {
        out += "\\fi";
        appendInt(out, p.fi);
    }
    if (p.li) {
        out += "\\li";
        appendInt(out, p.li);
    }
    if (p.ri) {
        out += "\\ri";
        appendInt(out, p.ri);
    }
    for (int t : p.tabs) {
        out += "\\tx";
        appendInt(out, t);
    }
}

class Writer
{
public:
    explicit Writer(const QTextDocument &doc) : m_doc(doc) { }
    QByteArray run();

private:
    int fontIndex(const QTextCharFormat &f);
    int colourIndex(const QTextCharFormat &f);
    int colourIndex(const QColor &c);
    void appendRunOpening(QByteArray &out, const QTextCharFormat &f);

    const QTextDocument &m_doc;
    QStringList m_fonts; // from index 3
    QHash<QString, int> m_fontIndex; // lower-cased name -> index
    QList<QColor> m_colours; // from index 1
};

int Writer::fontIndex(const QTextCharFormat &f)
{
    const QStringList families = f.fontFamilies().toStringList();
    const QString name =
            families.isEmpty() || families.first().isEmpty() ? richtext::defaultFamily() : families.first();
    const QString key = name.toLower();
    if (auto it = m_fontIndex.constFind(key); it != m_fontIndex.constEnd())
        return *it;
    for (int i = 0; i < 3; ++i) {
        if (key == QString::fromLatin1(kFixedFonts[i]).toLower()) {
            m_fontIndex.insert(key, i);
            return i;
        }
    }
    const int index = 3 + int(m_fonts.size());
    m_fonts.append(name);
    m_fontIndex.insert(key, index);
    return index;
}

int Writer::colourIndex(const QTextCharFormat &f)
{
    if (!f.hasProperty(QTextFormat::ForegroundBrush))
        return 0;
    const QBrush brush = f.foreground();
    if (brush.style() == Qt::NoBrush)
        return 0;
    const QColor c = brush.color().toRgb();
    if (c.red() == 0 && c.green() == 0 && c.blue() == 0)
        return 0;
    return colourIndex(c);
}

int Writer::colourIndex(const QColor &c)
{
    for (int i = 0; i < m_colours.size(); ++i)
        if (m_colours[i].rgb() == c.rgb())
            return i + 1;
    m_colours.append(c);
    return int(m_colours.size());
}

void Writer::appendRunOpening(QByteArray &out, const QTextCharFormat &f)
{
    out += "\\plain\\f";
    appendInt(out, fontIndex(f));
    out += "\\fs";
    const double size = f.fontPointSize() > 0 ? f.fontPointSize() : richtext::kDefaultPointSize;
    appendInt(out, std::clamp(std::lround(size * 2), 1L, long(2 * richtext::kMaxPointSize)));
    if (const int c = colourIndex(f)) {
        out += "\\cf";
        appendInt(out, c);
    }
    bool any = false;
    if (f.fontWeight() >= QFont::DemiBold) {
        out += "\\b ";
        any = true;
    }
    if (f.fontItalic()) {
        out += "\\i ";
        any = true;
    }
    if (f.fontUnderline()) {
        out += "\\ul ";
        any = true;
    }
    if (f.fontStrikeOut()) {
        out += "\\strike ";
        any = true;
    }
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) {
        out += "\\super ";
        any = true;
    } else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) {
        out += "\\sub ";
        any = true;
    }
    // A highlight: the run's background colour, black included (the table's index 0 is
    // the default colour, which would mean none).
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush) {
        out += "\\highlight";
        appendInt(out, colourIndex(f.background().color().toRgb()));
        out += ' ';
        any = true;
    }
    if (!any)
        out += ' ';
}

QByteArray Writer::run()
{
    QByteArray body;
    body.reserve(m_doc.characterCount() + m_doc.blockCount() * 24 + 64);
    ParagraphCodes previous;
    QByteArray lastOpening; // the run opening a reader is left with
    bool first = true;
    for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next()) {
        const ParagraphCodes codes = paragraphCodes(block);
        if (first) {
            body += "\\deflang1036";
            appendParagraphCodes(body, codes);
        } else {
            body += "\\par ";
            if (codes == previous) {
                if (codes.bullet)
                    body += kBulletText; // the marker text is written for every item
            } else {
                appendParagraphCodes(body, codes);
            }
        }
        bool anyRun = false;
        QTextCharFormat open;
        QByteArray opening;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.length() == 0)
                continue;
            const QTextCharFormat f = fragment.charFormat();
            if (!anyRun || f != open) {
                // Formats that differ only in what a file does not hold (a family's case, a
                // size left to the default) write the same codes: one run, as a reader of
                // this file would make it, so that writing what was read gives these bytes.
                opening.clear();
                appendRunOpening(opening, f);
                if (!anyRun || opening != lastOpening) {
                    body += opening;
                    lastOpening = opening;
                }
                open = f;
                anyRun = true;
            }
            appendEscaped(body, fragment.text());
        }
        if (!anyRun) {
            // An empty paragraph keeps its own size: its format is written when it is not
            // the one a reader carries over from the run before.
            QByteArray opening;
            appendRunOpening(opening, block.charFormat());
            if (first || opening != lastOpening) {
                body += opening;
                lastOpening = opening;
            }
        }
        body += "\r\n";
        previous = codes;
        first = false;
    }
    body += "\\par }\r\n";

    QByteArray out;
    out.reserve(body.size() + 256);
    out += "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}{\\f1\\froman\\fcharset2 Symbol;}"
           "{\\f2\\fswiss Arial;}";
    for (int i = 0; i < m_fonts.size(); ++i) {
        out += "{\\f";
        appendInt(out, 3 + i);
        out += "\\fnil ";
        QByteArray name;
        appendEscaped(name, m_fonts[i]);
        out += name.replace(';', "\\'3b");
        out += ";}";
    }
    out += "}\r\n{\\colortbl\\red0\\green0\\blue0;";
    for (const QColor &c : m_colours) {
        out += "\\red";
        appendInt(out, c.red());
        out += "\\green";
        appendInt(out, c.green());
        out += "\\blue";
        appendInt(out, c.blue());
        out += ';';
    }
    out += "}\r\n";
    out += body;
    return out;
}

} // namespace

QByteArray write(const QTextDocument &doc) { return Writer(doc).run(); }

} // namespace rtf
