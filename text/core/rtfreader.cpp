#include "text/core/rtfreader.h"

#include "common/cp1252.h"
#include "common/textfile.h"
#include "text/core/richtext.h"
#include "text/core/rtfsymbols.h"

#include <QColor>
#include <QHash>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

namespace rtf {
namespace {

// Beyond this depth braces are only counted: a file of nothing but "{" must not make the
// reader hold millions of states.
constexpr int kMaxDepth = 2000;

enum class Dest : quint8 { Text, Skip, FontTable, ColourTable, Pn };

struct CharState
{
    int font = -1; // -1: the default font (\deff)
    int halfPoints = 24;
    int colour = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int vertical = 0; // 1 raised (superscript), 2 lowered (subscript)
    int highlight = 0; // colour-table index of the background, 0 for none
    bool operator==(const CharState &) const = default;
};

size_t qHash(const CharState &c, size_t seed = 0)
{
    return ::qHash(quint64(quint32(c.font)) << 32 | quint64(quint32(c.halfPoints)), seed)
            ^ ::qHash(c.colour << 5 | c.bold << 4 | c.italic << 3 | c.underline << 2 | c.strike << 1 | int(c.hidden),
                      seed)
            ^ ::qHash(quint64(quint32(c.highlight)) << 2 | quint64(c.vertical), seed);
}

struct ParState
{
    int alignment = 0; // 0 left, 1 centre, 2 right, 3 justified
    int li = 0, fi = 0, ri = 0;
    QList<int> tabs;
    bool bullet = false;
};

struct Group
{
    CharState chr;
    ParState par;
    Dest dest = Dest::Text;
    int uc = 1;
    bool star = false; // "\*" seen: an unknown destination is skipped
    bool pnBullet = false; // a "\pn" destination that asked for a bullet
};

struct Font
{
    QString name;
    int charset = -1;
    int codePage = 0;
};

// Control words that open a destination whose content is not document text, sorted.
constexpr QByteArrayView kSkipped[] = {"aftncn",
                                       "aftnsep",
                                       "aftnsepc",
                                       "annotation",
                                       "atnauthor",
                                       "atndate",
                                       "atnicn",
                                       "atnid",
                                       "atnparent",
                                       "atnref",
                                       "atntime",
                                       "author",
                                       "bkmkend",
                                       "bkmkstart",
                                       "blipuid",
                                       "bookmark",
                                       "buptim",
                                       "category",
                                       "colorschememapping",
                                       "comment",
                                       "company",
                                       "creatim",
                                       "datastore",
                                       "do",
                                       "doccomm",
                                       "docvar",
                                       "falt",
                                       "fchars",
                                       "fileinfo",
                                       "filetbl",
                                       "fldinst",
                                       "fontemb",
                                       "fontfile",
                                       "footer",
                                       "footerf",
                                       "footerl",
                                       "footerr",
                                       "footnote",
                                       "ftncn",
                                       "ftnsep",
                                       "ftnsepc",
                                       "generator",
                                       "header",
                                       "headerf",
                                       "headerl",
                                       "headerr",
                                       "hlinkbase",
                                       "htmltag",
                                       "info",
                                       "keycode",
                                       "keywords",
                                       "latentstyles",
                                       "lchars",
                                       "levelnumbers",
                                       "leveltext",
                                       "listoverridetable",
                                       "listpicture",
                                       "listtable",
                                       "listtext",
                                       "manager",
                                       "mhtmltag",
                                       "mmathPr",
                                       "nonshppict",
                                       "objclass",
                                       "objdata",
                                       "objname",
                                       "operator",
                                       "panose",
                                       "passwordhash",
                                       "pgdsctbl",
                                       "pict",
                                       "pnseclvl",
                                       "pntext",
                                       "pntxta",
                                       "pntxtb",
                                       "printim",
                                       "private",
                                       "protusertbl",
                                       "revtbl",
                                       "revtim",
                                       "rsidtbl",
                                       "rxe",
                                       "shp",
                                       "shpinst",
                                       "shppict",
                                       "sn",
                                       "sp",
                                       "stylesheet",
                                       "subject",
                                       "sv",
                                       "tc",
                                       "template",
                                       "themedata",
                                       "title",
                                       "txe",
                                       "userprops",
                                       "wgrffmtfilter",
                                       "xe",
                                       "xform",
                                       "xmlnstbl"};

bool isSkippedDestination(QByteArrayView w)
{
    static const bool sorted = std::is_sorted(std::begin(kSkipped), std::end(kSkipped));
    Q_ASSERT(sorted);
    Q_UNUSED(sorted);
    const auto it = std::lower_bound(std::begin(kSkipped), std::end(kSkipped), w);
    return it != std::end(kSkipped) && *it == w;
}

// Windows code page of an RTF font charset; 0 for "the document's code page".
int codePageOfCharset(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

QByteArray codecName(int codePage)
{
    switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 874: return "windows-874";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1361: return "Johab";
    case 10000: return "macintosh";
    default: return "windows-" + QByteArray::number(codePage);
    }
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

class Reader
{
public:
    Reader(const QByteArray &bytes, const ParagraphSink &sink) : m_in(bytes), m_sink(&sink) { }
    Reader(const QByteArray &bytes, const TextSink &sink) : m_in(bytes), m_textSink(&sink) { }
    void run();

private:
    Group &top() { return m_groups.back(); }
    void push();
    void pop();
    void controlWord(QByteArrayView word, bool hasParam, int param);
    // What a control word of the text is given: the group's states, and its parameter.
    struct WordArgs
    {
        CharState &c;
        ParState &p;
        Group &g;
        bool on; // no parameter, or one other than 0
        bool hasParam;
        int param;
    };
    using WordHandler = void (*)(Reader &, const WordArgs &);
    static WordHandler handlerOf(QByteArrayView word);
    void setCodePage(int codePage);
    void endRow();
    void endSection();
    void controlSymbol(char c);
    void destination(QByteArrayView word);
    void textByte(unsigned char b, bool escaped = false);
    void appendChar(char16_t c);
    void appendText(const QString &s);
    void endParagraph();
    void emitParagraph();
    bool skipping() { return m_pendingSkip > 0 ? (--m_pendingSkip, true) : false; }
    QTextCharFormat charFormat(const CharState &c);
    void storeFontName();
    int codePage();
    QString decodeWithCodePage(int codePage, QByteArrayView bytes);

    const QByteArray &m_in;
    qsizetype m_pos = 0;
    const ParagraphSink *m_sink = nullptr;
    const TextSink *m_textSink = nullptr; // text only: no format is built
    Paragraph m_paragraph;
    std::vector<Group> m_groups;
    int m_overflow = 0;
    bool m_done = false;

    // Document-wide settings and tables.
    int m_deff = 0;
    int m_ansiCodePage = 1252;
    std::map<int, Font> m_fonts;
    QList<QColor> m_colours; // invalid colour: "auto"
    bool m_colourSet = false;
    int m_red = 0, m_green = 0, m_blue = 0;
    int m_fontNumber = 0;
    QString m_fontName;
    int m_tabKindPending = 0;

    // The paragraph being read: its text and the character state of each span.
    QString m_text;
    std::vector<std::pair<int, CharState>> m_spans; // start in m_text, state
    bool m_sawParagraphEnd = false;
    int m_pendingSkip = 0;
    bool m_groupStart = false; // nothing read yet in the group: a destination may follow

    QHash<CharState, QTextCharFormat> m_formats;
    int m_cacheFont = -2;
    int m_cacheCodePage = 1252;
    std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;
};

void Reader::push()
{
    if (m_groups.size() >= size_t(kMaxDepth)) {
        ++m_overflow;
        return;
    }
    Group g = top();
    g.star = false;
    g.pnBullet = false;
    m_pendingSkip = 0;
    m_groups.push_back(std::move(g));
    m_groupStart = true;
}

void Reader::pop()
{
    m_pendingSkip = 0;
    m_groupStart = false;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (top().dest == Dest::FontTable && !m_fontName.isEmpty())
        storeFontName();
    const bool bullet = top().pnBullet;
    m_groups.pop_back();
    if (m_groups.size() <= 1) { // the closing brace of the document
        m_done = true;
        return;
    }
    if (bullet)
        top().par.bullet = true;
}

void Reader::storeFontName()
{
    QString name;
    for (const QChar c : std::as_const(m_fontName)) // a font name is one line of printable text
        if (c.unicode() >= 0x20 && c != QChar::LineSeparator && richtext::isTextCharacter(c.unicode()))
            name += c;
    m_fonts[m_fontNumber].name = name.trimmed();
    m_fontName.clear();
    m_cacheFont = -2;
}

QString Reader::decodeWithCodePage(int codePage, QByteArrayView bytes)
{
    auto it = m_decoders.find(codePage);
    if (it == m_decoders.end()) {
        auto decoder = std::make_unique<QStringDecoder>(codecName(codePage).constData());
        if (!decoder->isValid())
            decoder.reset();
        it = m_decoders.emplace(codePage, std::move(decoder)).first;
    }
    if (!it->second)
        return cp1252::decode(bytes.toByteArray());
    return (*it->second)(bytes);
}

int Reader::codePage()
{
    const int font = top().chr.font < 0 ? m_deff : top().chr.font;
    if (font != m_cacheFont) {
        m_cacheFont = font;
        const auto it = m_fonts.find(font);
        int cp = it == m_fonts.end()
                ? 0
                : (it->second.codePage ? it->second.codePage : codePageOfCharset(it->second.charset));
        if (it != m_fonts.end() && it->second.charset == 2)
            cp = 1252; // symbol fonts: keep the byte values
        m_cacheCodePage = cp ? cp : m_ansiCodePage;
    }
    return m_cacheCodePage;
}

void Reader::textByte(unsigned char b, bool escaped)
{
    m_groupStart = false;
    switch (top().dest) {
    case Dest::Text:
        if (skipping() || top().chr.hidden)
            return;
        if (const int cp = codePage(); cp == 1252) {
            appendChar(cp1252::decodeByte(b).unicode());
        } else {
            const char c = char(b);
            appendText(decodeWithCodePage(cp, QByteArrayView(&c, 1)));
        }
        return;
    case Dest::FontTable: {
        if (b == ';' && !escaped) { // "\'3b" is a semicolon inside a name
            storeFontName();
            return;
        }
        if (skipping())
            return;
        const Font &f = m_fonts[m_fontNumber];
        const int cp = f.codePage ? f.codePage : codePageOfCharset(f.charset);
        if (cp == 0 || cp == 1252 || f.charset == 2) {
            m_fontName += cp1252::decodeByte(b);
        } else {
            const char c = char(b);
            m_fontName += decodeWithCodePage(cp, QByteArrayView(&c, 1));
        }
        return;
    }
    case Dest::ColourTable:
        if (b == ';') {
            m_colours.append(m_colourSet ? QColor(m_red, m_green, m_blue) : QColor());
            m_colourSet = false;
            m_red = m_green = m_blue = 0;
        }
        return;
    case Dest::Skip:
    case Dest::Pn: return;
    }
}

void Reader::appendChar(char16_t c)
{
    if (!richtext::isTextCharacter(c))
        return;
    const CharState &state = top().chr;
    if (m_spans.empty() || !(m_spans.back().second == state))
        m_spans.emplace_back(int(m_text.size()), state);
    m_text += QChar(c);
}

void Reader::appendText(const QString &s)
{
    for (const QChar c : s)
        appendChar(c.unicode());
}

QTextCharFormat Reader::charFormat(const CharState &c)
{
    if (auto it = m_formats.constFind(c); it != m_formats.constEnd())
        return *it;
    QTextCharFormat f;
    auto font = m_fonts.find(c.font < 0 ? m_deff : c.font);
    if (font == m_fonts.end())
        font = m_fonts.find(m_deff);
    const QString name =
            font != m_fonts.end() && !font->second.name.isEmpty() ? font->second.name : richtext::defaultFamily();
    f.setFontFamilies({name});
    f.setFontPointSize(c.halfPoints / 2.0);
    if (c.bold)
        f.setFontWeight(QFont::Bold);
    if (c.italic)
        f.setFontItalic(true);
    if (c.underline)
        f.setFontUnderline(true);
    if (c.strike)
        f.setFontStrikeOut(true);
    if (c.colour >= 0 && c.colour < m_colours.size()) {
        const QColor colour = m_colours[c.colour];
        if (colour.isValid() && colour.rgb() != QColor(Qt::black).rgb())
            f.setForeground(colour);
    }
    if (c.vertical != 0)
        f.setVerticalAlignment(c.vertical == 1 ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignSubScript);
    if (c.highlight > 0 && c.highlight < m_colours.size() && m_colours[c.highlight].isValid())
        f.setBackground(m_colours[c.highlight]);
    m_formats.insert(c, f);
    return f;
}

void Reader::emitParagraph()
{
    if (m_textSink) {
        (*m_textSink)(m_text);
        m_text.truncate(0); // keeps the buffer for the next paragraph
        m_spans.clear();
        return;
    }
    const Group &g = top();
    Paragraph &out = m_paragraph;
    out.format = QTextBlockFormat();
    static const Qt::Alignment kAlign[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    out.format.setAlignment(kAlign[g.par.alignment]);
    richtext::Indents in;
    in.left = g.par.li / richtext::kTwipsPerPx;
    in.first = g.par.fi / richtext::kTwipsPerPx;
    in.right = g.par.ri / richtext::kTwipsPerPx;
    richtext::setIndents(out.format, g.par.bullet, in);
    if (!g.par.tabs.isEmpty()) {
        QList<double> px;
        for (int t : g.par.tabs)
            px.append(t / richtext::kTwipsPerPx);
        richtext::setTabStops(out.format, px);
    }
    out.bullet = g.par.bullet;
    out.markFormat = charFormat(g.chr);
    out.text.swap(m_text);
    out.runs.clear();
    for (const auto &span : m_spans)
        out.runs.emplace_back(span.first, charFormat(span.second));
    (*m_sink)(out);
    m_text.swap(out.text);
    m_text.clear();
    m_spans.clear();
}

void Reader::endParagraph()
{
    emitParagraph();
    m_sawParagraphEnd = true;
}

void Reader::destination(QByteArrayView word)
{
    Group &g = top();
    if (word == "fonttbl") {
        g.dest = Dest::FontTable;
        m_fontName.clear();
    } else if (word == "colortbl") {
        g.dest = Dest::ColourTable;
        m_colours.clear();
        m_colourSet = false;
    } else if (word == "pn") {
        g.dest = Dest::Pn;
    } else if (isSkippedDestination(word)) {
        g.dest = Dest::Skip;
    }
}

void Reader::controlWord(QByteArrayView w, bool hasParam, int param)
{
    if (w == "bin") { // binary data, in any destination: skip its bytes whatever they are
        if (hasParam && param > 0)
            m_pos += qMin<qsizetype>(param, m_in.size() - m_pos);
        return;
    }
    Group &g = top();
    if (g.dest == Dest::Skip)
        return;
    const bool wasStar = g.star;
    g.star = false;

    // A destination is the group's first control word (after "\*"): it says what the rest
    // of the group means.
    const bool groupStart = m_groupStart;
    m_groupStart = false;
    if (groupStart && (w == "fonttbl" || w == "colortbl" || w == "pn" || isSkippedDestination(w))) {
        destination(w);
        return;
    }
    if (g.dest == Dest::FontTable) {
        if (w == "f")
            m_fontNumber = param;
        else if (w == "fcharset")
            m_fonts[m_fontNumber].charset = param;
        else if (w == "cpg")
            m_fonts[m_fontNumber].codePage = param;
        else if (w == "u") {
            m_fontName += QChar(char16_t(param < 0 ? param + 65536 : qBound(0, param, 0xFFFF)));
            m_pendingSkip = g.uc;
        } else if (w == "uc")
            g.uc = qBound(0, param, 16);
        else if (wasStar)
            g.dest = Dest::Skip;
        return;
    }
    if (g.dest == Dest::ColourTable) {
        if (w == "red") {
            m_red = qBound(0, param, 255);
            m_colourSet = true;
        } else if (w == "green") {
            m_green = qBound(0, param, 255);
            m_colourSet = true;
        } else if (w == "blue") {
            m_blue = qBound(0, param, 255);
            m_colourSet = true;
        }
        return;
    }
    if (g.dest == Dest::Pn) {
        if (w == "pnlvlblt" || w == "pnlvlbody" || w == "pnlvl")
            g.pnBullet = true;
        return;
    }
    if (wasStar && !(w == "fldrslt" || w == "result")) { // an optional destination we don't know
        g.dest = Dest::Skip;
        return;
    }

    // A control word inside the fallback text of "\u" counts as one skipped character.
    if (m_pendingSkip > 0 && w != "u") {
        --m_pendingSkip;
        return;
    }

    const WordArgs args{g.chr, g.par, g, !hasParam || param != 0, hasParam, param};
    if (const WordHandler handle = handlerOf(w)) {
        handle(*this, args);
    } else if (w.size() > 2 && w.startsWith("ul")) {
        g.chr.underline = args.on; // dotted, double, wave... shown as a single underline
    }
}

// The control words of the document text, sorted: each with what it does.
Reader::WordHandler Reader::handlerOf(QByteArrayView w)
{
    struct Entry
    {
        std::string_view word;
        WordHandler handle;
    };
    using R = Reader;
    using A = const WordArgs &;
    static constexpr Entry kWords[] = {
            {"ansi", [](R &r, A) { r.setCodePage(1252); }},
            {"ansicpg",
             [](R &r, A a) {
                 if (a.param > 0)
                     r.setCodePage(a.param);
             }},
            {"b", [](R &, A a) { a.c.bold = a.on; }},
            {"bullet", [](R &r, A) { r.appendChar(0x2022); }},
            {"cell", [](R &r, A) { r.appendChar(u'\t'); }},
            {"cf", [](R &, A a) { a.c.colour = a.param; }},
            {"chcbpat", [](R &, A a) { a.c.highlight = a.param; }},
            {"deff",
             [](R &r, A a) {
                 r.m_deff = a.param;
                 r.m_cacheFont = -2;
             }},
            {"dn", [](R &, A a) { a.c.vertical = a.on ? 2 : 0; }},
            {"emdash", [](R &r, A) { r.appendChar(0x2014); }},
            {"emspace", [](R &r, A) { r.appendChar(0x2003); }},
            {"endash", [](R &r, A) { r.appendChar(0x2013); }},
            {"enspace", [](R &r, A) { r.appendChar(0x2002); }},
            {"f", [](R &, A a) { a.c.font = a.param; }},
            {"fi", [](R &, A a) { a.p.fi = a.param; }},
            {"fs", [](R &, A a) { a.c.halfPoints = a.param > 0 ? qMin(a.param, 2 * richtext::kMaxPointSize) : 24; }},
            {"highlight", [](R &, A a) { a.c.highlight = a.param; }},
            {"i", [](R &, A a) { a.c.italic = a.on; }},
            {"ldblquote", [](R &r, A) { r.appendChar(0x201C); }},
            {"li", [](R &, A a) { a.p.li = a.param; }},
            {"lin", [](R &, A a) { a.p.li = a.param; }},
            {"line", [](R &r, A) { r.appendChar(QChar::LineSeparator); }},
            {"lquote", [](R &r, A) { r.appendChar(0x2018); }},
            {"ls", [](R &, A a) { a.p.bullet = a.param > 0 || !a.hasParam; }},
            {"mac", [](R &r, A) { r.setCodePage(10000); }},
            {"nestcell", [](R &r, A) { r.appendChar(u'\t'); }},
            {"nestrow", [](R &r, A) { r.endRow(); }},
            {"nosupersub", [](R &, A a) { a.c.vertical = 0; }},
            {"page", [](R &r, A) { r.endSection(); }},
            {"par", [](R &r, A) { r.endParagraph(); }},
            {"pard", [](R &, A a) { a.p = ParState(); }},
            {"pc", [](R &r, A) { r.setCodePage(437); }},
            {"pca", [](R &r, A) { r.setCodePage(850); }},
            {"plain", [](R &, A a) { a.c = CharState(); }},
            {"qc", [](R &, A a) { a.p.alignment = 1; }},
            {"qd", [](R &, A a) { a.p.alignment = 3; }},
            {"qj", [](R &, A a) { a.p.alignment = 3; }},
            {"ql", [](R &, A a) { a.p.alignment = 0; }},
            {"qmspace", [](R &r, A) { r.appendChar(0x2005); }},
            {"qr", [](R &, A a) { a.p.alignment = 2; }},
            {"rdblquote", [](R &r, A) { r.appendChar(0x201D); }},
            {"ri", [](R &, A a) { a.p.ri = a.param; }},
            {"rin", [](R &, A a) { a.p.ri = a.param; }},
            {"row", [](R &r, A) { r.endRow(); }},
            {"rquote", [](R &r, A) { r.appendChar(0x2019); }},
            {"sect", [](R &r, A) { r.endSection(); }},
            {"strike", [](R &, A a) { a.c.strike = a.on; }},
            {"striked", [](R &, A a) { a.c.strike = a.on; }},
            {"sub", [](R &, A a) { a.c.vertical = a.on ? 2 : 0; }},
            {"super", [](R &, A a) { a.c.vertical = a.on ? 1 : 0; }},
            {"tab", [](R &r, A) { r.appendChar(u'\t'); }},
            {"tb",
             [](R &, A a) {
                 if (a.p.tabs.size() < richtext::kMaxTabStops)
                     a.p.tabs.append(qMax(0, a.param));
             }},
            {"tx",
             [](R &, A a) {
                 if (a.p.tabs.size() < richtext::kMaxTabStops)
                     a.p.tabs.append(qMax(0, a.param));
             }},
            {"u",
             [](R &r, A a) {
                 r.appendChar(char16_t(qBound(0, a.param < 0 ? a.param + 65536 : a.param, 0xFFFF)));
                 r.m_pendingSkip = a.g.uc;
             }},
            {"uc", [](R &, A a) { a.g.uc = qBound(0, a.param, 16); }},
            {"ul", [](R &, A a) { a.c.underline = a.on; }},
            {"ulc", [](R &, A) {}}, // the underline's colour
            {"ulnone", [](R &, A a) { a.c.underline = false; }},
            {"up", [](R &, A a) { a.c.vertical = a.on ? 1 : 0; }},
            {"v", [](R &, A a) { a.c.hidden = a.on; }},
    };
    static_assert(std::is_sorted(std::begin(kWords), std::end(kWords),
                                 [](const Entry &x, const Entry &y) { return x.word < y.word; }));
    // Where each first letter's words begin: a word is looked for among the few of its
    // letter, as fast as a switch on that letter.
    constexpr size_t kCount = std::size(kWords);
    static constexpr auto kFirst = [] {
        std::array<quint8, 27> first{};
        size_t e = 0;
        for (int letter = 0; letter < 26; ++letter) {
            while (e < kCount && kWords[e].word[0] < 'a' + letter)
                ++e;
            first[letter] = quint8(e);
        }
        first[26] = quint8(kCount);
        return first;
    }();
    if (w.isEmpty() || w[0] < 'a' || w[0] > 'z')
        return nullptr;
    const std::string_view word(w.data(), size_t(w.size()));
    const int letter = w[0] - 'a';
    for (size_t i = kFirst[letter]; i < kFirst[letter + 1]; ++i)
        if (kWords[i].word == word)
            return kWords[i].handle;
    return nullptr;
}

void Reader::setCodePage(int codePage)
{
    m_ansiCodePage = codePage;
    m_cacheFont = -2;
}

// A table row ends the paragraph of its cells, without the tab of the last one.
void Reader::endRow()
{
    if (m_text.endsWith(u'\t'))
        m_text.chop(1);
    endParagraph();
}

// A page or section break ends the paragraph it falls in, if any.
void Reader::endSection()
{
    if (!m_text.isEmpty())
        endParagraph();
}

void Reader::controlSymbol(char c)
{
    Group &g = top();
    if (c != '*')
        m_groupStart = false;
    switch (c) {
    case '*': g.star = true; return;
    case '\'':
        if (const int byte = rtfsymbols::hexByte(m_in.constData() + m_pos, m_in.constEnd()); byte >= 0) {
            m_pos += 2;
            textByte(static_cast<unsigned char>(byte), true);
        }
        return;
    case '\\':
    case '{':
    case '}': textByte(static_cast<unsigned char>(c)); return;
    case '\r':
    case '\n':
        if (g.dest == Dest::Text && !skipping())
            endParagraph();
        return;
    default: break;
    }
    if (g.dest != Dest::Text || skipping())
        return;
    if (const char16_t u = rtfsymbols::character(c))
        appendChar(u);
}

void Reader::run()
{
    const qsizetype n = m_in.size();
    // The outer group is entered by the first brace; text before it is not part of RTF.
    m_groups.reserve(64);
    m_groups.push_back(Group());
    m_pos = m_in.indexOf('{');
    if (m_pos < 0)
        return;
    while (m_pos < n && !m_done) {
        const char ch = m_in[m_pos++];
        if (ch == '{') {
            push();
        } else if (ch == '}') {
            pop();
        } else if (ch == '\\') {
            if (m_pos >= n)
                break;
            const char next = m_in[m_pos];
            if (!isLetter(next)) {
                ++m_pos;
                controlSymbol(next);
                continue;
            }
            const qsizetype start = m_pos;
            while (m_pos < n && isLetter(m_in[m_pos]))
                ++m_pos;
            const QByteArrayView word(m_in.constData() + start, m_pos - start);
            bool negative = false;
            bool hasParam = false;
            qint64 value = 0;
            if (m_pos < n && m_in[m_pos] == '-' && m_pos + 1 < n && m_in[m_pos + 1] >= '0' && m_in[m_pos + 1] <= '9') {
                negative = true;
                ++m_pos;
            }
            int digits = 0;
            while (m_pos < n && m_in[m_pos] >= '0' && m_in[m_pos] <= '9') {
                if (digits++ < 10)
                    value = value * 10 + (m_in[m_pos] - '0');
                hasParam = true;
                ++m_pos;
            }
            if (m_pos < n && m_in[m_pos] == ' ')
                ++m_pos;
            if (negative)
                value = -value;
            controlWord(word, hasParam, int(qBound<qint64>(qint64(INT_MIN), value, qint64(INT_MAX))));
        } else if (ch == '\r' || ch == '\n' || ch == 0) {
            continue;
        } else {
            Group &g = top();
            const bool printable = static_cast<unsigned char>(ch) >= 0x20 || ch == '\t';
            if (printable && g.dest == Dest::Text && m_pendingSkip == 0 && !g.chr.hidden && codePage() == 1252) {
                // Fast path: a stretch of plain text in the document's own code page.
                qsizetype end = m_pos;
                while (end < n) {
                    const char c = m_in[end];
                    if (c == '\\' || c == '{' || c == '}' || (static_cast<unsigned char>(c) < 0x20 && c != '\t'))
                        break;
                    ++end;
                }
                const CharState &state = g.chr;
                if (m_spans.empty() || !(m_spans.back().second == state))
                    m_spans.emplace_back(int(m_text.size()), state);
                const qsizetype from = m_pos - 1;
                const qsizetype old = m_text.size();
                m_text.resize(old + (end - from));
                QChar *dst = m_text.data() + old;
                const char *src = m_in.constData();
                for (qsizetype i = from; i < end; ++i)
                    *dst++ = cp1252::decodeByte(static_cast<unsigned char>(src[i]));
                m_pos = end;
                m_groupStart = false;
            } else {
                textByte(static_cast<unsigned char>(ch));
            }
        }
    }
    // What follows the last paragraph mark forms a paragraph only when it holds text (the
    // stream always ends with "\par }"), or when there was no paragraph mark at all.
    if (!m_text.isEmpty() || !m_sawParagraphEnd)
        emitParagraph();
}

} // namespace

bool isIgnoredDestination(QByteArrayView word)
{
    return word == "fonttbl" || word == "colortbl" || isSkippedDestination(word);
}

bool isRtf(const QByteArray &bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return QByteArrayView(bytes).sliced(i).startsWith("{\\rtf");
}

void parse(const QByteArray &bytes, const ParagraphSink &sink) { Reader(bytes, sink).run(); }

void parseText(const QByteArray &bytes, const TextSink &sink) { Reader(bytes, sink).run(); }

namespace {

// Thrown by the paragraph sink when the caller has read enough.
struct Enough
{ };

void fill(const QByteArray &bytes, QTextDocument &doc, const std::function<bool(const QTextDocument &)> &enough)
{
    doc.clear();
    richtext::prepare(doc);
    // One edit block: the document lays nothing out and notifies once, at the end.
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    struct EndEdit // also when the read stops early
    {
        QTextCursor &c;
        ~EndEdit() { c.endEditBlock(); }
    } endEdit{cursor};
    bool firstBlock = true;
    QTextList *list = nullptr;
    bool previousBullet = false;
    parse(bytes, [&](const Paragraph &p) {
        if (firstBlock) {
            cursor.setBlockFormat(p.format);
            cursor.setBlockCharFormat(p.markFormat);
            firstBlock = false;
        } else {
            cursor.insertBlock(p.format, p.markFormat);
        }
        if (p.bullet) { // consecutive bullet paragraphs make one list
            if (list && previousBullet) {
                list->add(cursor.block());
            } else {
                QTextListFormat lf;
                lf.setStyle(QTextListFormat::ListDisc);
                lf.setIndent(0);
                list = cursor.createList(lf);
            }
        }
        previousBullet = p.bullet;
        for (size_t i = 0; i < p.runs.size(); ++i) {
            const int start = p.runs[i].first;
            const int end = i + 1 < p.runs.size() ? p.runs[i + 1].first : int(p.text.size());
            cursor.insertText(p.text.mid(start, end - start), p.runs[i].second);
        }
        if (enough && enough(doc))
            throw Enough{};
    });
}

} // namespace

void read(const QByteArray &bytes, QTextDocument &doc) { fill(bytes, doc, {}); }

bool read(const QByteArray &bytes, QTextDocument &doc, const std::function<bool(const QTextDocument &)> &enough)
{
    try {
        fill(bytes, doc, enough);
        return true;
    } catch (const Enough &) {
        return false;
    }
}

void load(const QByteArray &bytes, QTextDocument &doc)
{
    if (isRtf(bytes)) {
        read(bytes, doc);
        return;
    }
    richtext::setPlainText(doc, cp1252::decode(textfile::cutAtCtrlZ(bytes)));
}

} // namespace rtf
