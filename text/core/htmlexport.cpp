#include "text/core/htmlexport.h"

#include "common/atomicsave.h"
#include "common/cp1252.h"
#include "common/textfile.h"
#include "common/velmoraerror.h"
#include "text/core/rtfreader.h"
#include "text/core/rtfsymbols.h"

#include <QFileInfo>

#include <array>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// The RTF is read the way the text window's reader reads it (groups, destinations that are
// skipped, "\uN" with its fallback, hidden text, paragraph marks, bullets from "\pn" and
// "\ls"), so that the page holds the text the window shows; only the character styles and
// paragraph alignment the page shows are tracked. Text goes straight from the input to the
// page through a table of the 256 byte values.

namespace htmlexport {
namespace {

using Str = std::string;

enum Style : unsigned char { kBold = 1, kItalic = 2, kUnderline = 4 };
enum Align : unsigned char { kLeft, kCenter, kRight, kJustify };

// What a byte of text becomes: copied as it is, replaced (entity or UTF-8), or the end of a
// stretch of text (a code, a brace, a control character).
enum class Kind : unsigned char { Plain, Replaced, Stop };

struct ByteTable
{
    std::array<Kind, 256> kind{};
    std::array<std::array<char, 8>, 256> text{};
    std::array<unsigned char, 256> length{};

    ByteTable()
    {
        for (int b = 0; b < 256; ++b) {
            const auto c = static_cast<unsigned char>(b);
            if (c == '\\' || c == '{' || c == '}' || (c < 0x20 && c != '\t')) {
                kind[c] = Kind::Stop;
                continue;
            }
            std::string_view replaced;
            QByteArray utf8;
            if (c == '<')
                replaced = "&lt;";
            else if (c == '>')
                replaced = "&gt;";
            else if (c == '&')
                replaced = "&amp;";
            else if (c >= 0x80) {
                utf8 = QString(cp1252::decodeByte(c)).toUtf8();
                replaced = std::string_view(utf8.constData(), size_t(utf8.size()));
            }
            if (replaced.empty()) {
                kind[c] = Kind::Plain;
                continue;
            }
            kind[c] = Kind::Replaced;
            length[c] = static_cast<unsigned char>(replaced.size());
            std::memcpy(text[c].data(), replaced.data(), replaced.size());
        }
    }
};

const ByteTable &table()
{
    static const ByteTable t;
    return t;
}

// A character the window's document may hold (as the reader decides).
bool isTextCharacter(char32_t c)
{
    return (c >= 0x20 || c == u'\t') && c != 0x2029 && c != 0xFDD0 && c != 0xFDD1 && c != 0xFFFC;
}

void appendUtf8(Str &out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

void appendEscaped(Str &out, QStringView text)
{
    for (const QChar c : text) {
        if (c == u'<')
            out += "&lt;";
        else if (c == u'>')
            out += "&gt;";
        else if (c == u'&')
            out += "&amp;";
        else if (c == u'"')
            out += "&quot;";
        else
            appendUtf8(out, c.unicode());
    }
}

// The page around the paragraphs: a declared encoding, the title, and paragraphs laid out as
// the window lays them out (no space between paragraphs, spaces and tabs kept).
void appendHead(Str &page, const QString &title)
{
    page += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<HTML>\r\n<HEAD>\r\n"
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">\r\n<TITLE>";
    appendEscaped(page, title);
    page += "</TITLE>\r\n<META NAME=\"generator\" CONTENT=\"Velmora\">\r\n"
            "<STYLE TYPE=\"text/css\">P, LI { margin-top: 0; margin-bottom: 0; white-space: pre-wrap }</STYLE>\r\n"
            "</HEAD>\r\n<BODY>\r\n";
}

constexpr std::string_view kTail = "</BODY>\r\n</HTML>\r\n";

// Paragraphs in the page: each one's inline content is built in `content`, then wrapped
// when its mark is met, with the alignment and bullet it has then.
class PageWriter
{
public:
    explicit PageWriter(Str &page) : m_page(page) { }

    Str content;

    // Before text in `style`: closes and opens tags so that <B>, <I>, <U> stay nested in
    // that order (a tag that stays on is closed only when one outside it changes).
    void setStyle(unsigned char style)
    {
        if (style == m_open)
            return;
        const unsigned diff = unsigned(style ^ m_open);
        const unsigned first = diff & (~diff + 1); // the outermost tag that changes
        static constexpr std::string_view kClose[] = {"</B>", "</I>", "</U>"};
        static constexpr std::string_view kOpen[] = {"<B>", "<I>", "<U>"};
        for (int t = 2; t >= 0; --t)
            if ((1u << t) >= first && (m_open & (1u << t)))
                content += kClose[t];
        for (int t = 0; t < 3; ++t)
            if ((1u << t) >= first && (style & (1u << t)))
                content += kOpen[t];
        m_open = style;
        m_hasText = true;
    }

    void markText() { m_hasText = true; }
    bool hasText() const { return m_hasText || !content.empty(); }

    void endParagraph(unsigned char align, bool bullet)
    {
        setStyle(0);
        static constexpr std::string_view kAlignP[] = {"", " ALIGN=\"CENTER\"", " ALIGN=\"RIGHT\"",
                                                       " ALIGN=\"JUSTIFY\""};
        static constexpr std::string_view kAlignLi[] = {
                "", " STYLE=\"text-align: center\"", " STYLE=\"text-align: right\"", " STYLE=\"text-align: justify\""};
        if (bullet && !m_inList)
            m_page += "<UL>\r\n";
        else if (!bullet && m_inList)
            m_page += "</UL>\r\n";
        m_inList = bullet;
        m_page += bullet ? "<LI" : "<P";
        m_page += bullet ? kAlignLi[align] : kAlignP[align];
        m_page += '>';
        // An empty paragraph keeps its line, as in the window.
        m_page += content.empty() ? std::string_view("<BR>") : std::string_view(content);
        m_page += bullet ? "</LI>\r\n" : "</P>\r\n";
        content.clear();
        m_hasText = false;
    }

    void finish()
    {
        if (m_inList)
            m_page += "</UL>\r\n";
        m_inList = false;
    }

private:
    Str &m_page;
    unsigned char m_open = 0;
    bool m_hasText = false;
    bool m_inList = false;
};

enum class Dest : unsigned char { Text, Skip, Pn };

struct Group
{
    unsigned char style = 0;
    unsigned char align = kLeft;
    bool bullet = false;
    bool hidden = false;
    Dest dest = Dest::Text;
    unsigned char uc = 1;
    bool star = false;
    bool pnBullet = false;
};

// Beyond this depth braces are only counted, as in the reader.
constexpr size_t kMaxDepth = 2000;

class RtfConverter
{
public:
    RtfConverter(const QByteArray &in, PageWriter &page)
        : m_p(in.constData()),
          m_end(in.constData() + in.size()),
          m_page(page)
    { }

    void run()
    {
        m_groups.reserve(64);
        m_groups.push_back(Group());
        const void *brace = std::memchr(m_p, '{', size_t(m_end - m_p));
        if (!brace)
            return;
        m_p = static_cast<const char *>(brace);
        const ByteTable &t = table();
        while (m_p < m_end && !m_done) {
            const char ch = *m_p++;
            switch (ch) {
            case '{': push(); break;
            case '}': pop(); break;
            case '\\': control(); break;
            case '\r':
            case '\n':
            case '\0': break;
            default: {
                Group &g = m_groups.back();
                const auto b = static_cast<unsigned char>(ch);
                if (t.kind[b] == Kind::Stop || g.dest != Dest::Text || m_pending > 0 || g.hidden) {
                    textByte(b);
                    break;
                }
                // A stretch of text: copied, or replaced byte by byte through the table.
                m_groupStart = false;
                m_page.setStyle(g.style);
                m_page.markText();
                Str &out = m_page.content;
                const char *s = m_p - 1;
                while (s < m_end) {
                    const auto c = static_cast<unsigned char>(*s);
                    const Kind k = t.kind[c];
                    if (k == Kind::Plain) {
                        const char *from = s;
                        while (++s < m_end && t.kind[static_cast<unsigned char>(*s)] == Kind::Plain) { }
                        out.append(from, size_t(s - from));
                    } else if (k == Kind::Replaced) {
                        out.append(t.text[c].data(), t.length[c]);
                        ++s;
                    } else {
                        break;
                    }
                }
                m_p = s;
                break;
            }
            }
        }
        // What follows the last paragraph mark is a paragraph only when it holds text, or
        // when there was no mark at all.
        if (m_page.hasText() || !m_sawParagraphEnd)
            endParagraph();
    }

private:
    Group &top() { return m_groups.back(); }

    void push()
    {
        if (m_groups.size() >= kMaxDepth) {
            ++m_overflow;
            return;
        }
        Group g = top();
        g.star = false;
        g.pnBullet = false;
        m_pending = 0;
        m_groups.push_back(g);
        m_groupStart = true;
    }

    void pop()
    {
        m_pending = 0;
        m_groupStart = false;
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        const bool bullet = top().pnBullet;
        m_groups.pop_back();
        if (m_groups.size() <= 1) { // the document's closing brace
            m_done = true;
            return;
        }
        if (bullet)
            top().bullet = true;
    }

    bool skipping() { return m_pending > 0 ? (--m_pending, true) : false; }

    void endParagraph()
    {
        m_page.endParagraph(top().align, top().bullet);
        m_sawParagraphEnd = true;
    }

    // One character of the document (a code point), as the reader appends it.
    void append(char32_t c)
    {
        if (!isTextCharacter(c))
            return;
        m_page.setStyle(top().style);
        m_page.markText();
        Str &out = m_page.content;
        switch (c) {
        case u'<': out += "&lt;"; return;
        case u'>': out += "&gt;"; return;
        case u'&': out += "&amp;"; return;
        case 0x2028: out += "<BR>"; return; // a line break inside the paragraph
        default: appendUtf8(out, c);
        }
    }

    void textByte(unsigned char b)
    {
        m_groupStart = false;
        const Group &g = top();
        if (g.dest != Dest::Text || skipping() || g.hidden)
            return;
        append(cp1252::decodeByte(b).unicode());
    }

    void unicode(int param)
    {
        char32_t v = char32_t(param < 0 ? param + 65536 : qBound(0, param, 0xFFFF));
        m_pending = top().uc;
        if (v >= 0xD800 && v <= 0xDBFF) { // the first half of a pair: wait for the second
            m_highSurrogate = v;
            return;
        }
        if (v >= 0xDC00 && v <= 0xDFFF) {
            if (!m_highSurrogate)
                return;
            v = 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (v - 0xDC00);
        }
        m_highSurrogate = 0;
        append(v);
    }

    void control()
    {
        if (m_p >= m_end)
            return;
        const char next = *m_p;
        const bool letter = (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z');
        if (!letter) {
            ++m_p;
            symbol(next);
            return;
        }
        const char *start = m_p;
        while (m_p < m_end && ((*m_p >= 'a' && *m_p <= 'z') || (*m_p >= 'A' && *m_p <= 'Z')))
            ++m_p;
        const std::string_view word(start, size_t(m_p - start));
        bool negative = false;
        bool hasParam = false;
        long long value = 0;
        if (m_p + 1 < m_end && *m_p == '-' && m_p[1] >= '0' && m_p[1] <= '9') {
            negative = true;
            ++m_p;
        }
        int digits = 0;
        while (m_p < m_end && *m_p >= '0' && *m_p <= '9') {
            if (digits++ < 10)
                value = value * 10 + (*m_p - '0');
            hasParam = true;
            ++m_p;
        }
        if (m_p < m_end && *m_p == ' ')
            ++m_p;
        if (negative)
            value = -value;
        controlWord(word, hasParam, int(std::clamp<long long>(value, INT_MIN, INT_MAX)));
    }

    void symbol(char c)
    {
        Group &g = top();
        if (c != '*')
            m_groupStart = false;
        switch (c) {
        case '*': g.star = true; return;
        case '\'':
            if (const int byte = rtfsymbols::hexByte(m_p, m_end); byte >= 0) {
                m_p += 2;
                textByte(static_cast<unsigned char>(byte));
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
            append(u);
    }

    // The last paragraph's trailing tab of a table row goes with the row's end.
    void endRow()
    {
        Str &out = m_page.content;
        if (!out.empty() && out.back() == '\t')
            out.pop_back();
        endParagraph();
    }

    void controlWord(std::string_view w, bool hasParam, int param)
    {
        if (w == "bin") { // binary data, in any destination
            if (hasParam && param > 0)
                m_p += std::min<ptrdiff_t>(param, m_end - m_p);
            return;
        }
        Group &g = top();
        if (g.dest == Dest::Skip)
            return;
        const bool wasStar = g.star;
        g.star = false;
        const bool groupStart = m_groupStart;
        m_groupStart = false;
        const QByteArrayView word(w.data(), qsizetype(w.size()));
        if (groupStart && (w == "pn" || rtf::isIgnoredDestination(word))) {
            g.dest = w == "pn" ? Dest::Pn : Dest::Skip;
            return;
        }
        if (g.dest == Dest::Pn) {
            if (w == "pnlvlblt" || w == "pnlvlbody" || w == "pnlvl")
                g.pnBullet = true;
            return;
        }
        if (wasStar && !(w == "fldrslt" || w == "result")) { // an optional destination
            g.dest = Dest::Skip;
            return;
        }
        if (m_pending > 0 && w != "u") { // a code in the fallback of "\u" counts as one character
            --m_pending;
            return;
        }
        const bool on = !hasParam || param != 0;
        auto style = [&](unsigned char bit) { g.style = on ? (g.style | bit) : (g.style & ~bit); };
        switch (w.front()) {
        case 'b':
            if (w == "b")
                style(kBold);
            else if (w == "bullet")
                append(0x2022);
            return;
        case 'c':
            if (w == "cell" || w == "nestcell")
                append(u'\t');
            return;
        case 'e':
            if (w == "emdash")
                append(0x2014);
            else if (w == "endash")
                append(0x2013);
            else if (w == "emspace")
                append(0x2003);
            else if (w == "enspace")
                append(0x2002);
            return;
        case 'i':
            if (w == "i")
                style(kItalic);
            return;
        case 'l':
            if (w == "line")
                append(0x2028);
            else if (w == "ls")
                g.bullet = param > 0 || !hasParam;
            else if (w == "lquote")
                append(0x2018);
            else if (w == "ldblquote")
                append(0x201C);
            return;
        case 'n':
            if (w == "nestrow")
                endRow();
            return;
        case 'p':
            if (w == "par")
                endParagraph();
            else if (w == "pard") {
                g.align = kLeft;
                g.bullet = false;
            } else if (w == "plain") {
                g.style = 0;
                g.hidden = false;
            } else if (w == "page") {
                if (m_page.hasText())
                    endParagraph();
            }
            return;
        case 'q':
            if (w == "ql")
                g.align = kLeft;
            else if (w == "qc")
                g.align = kCenter;
            else if (w == "qr")
                g.align = kRight;
            else if (w == "qj" || w == "qd")
                g.align = kJustify;
            else if (w == "qmspace")
                append(0x2005);
            return;
        case 'r':
            if (w == "rquote")
                append(0x2019);
            else if (w == "rdblquote")
                append(0x201D);
            else if (w == "row")
                endRow();
            return;
        case 's':
            if (w == "sect") {
                if (m_page.hasText())
                    endParagraph();
            }
            return;
        case 't':
            if (w == "tab")
                append(u'\t');
            return;
        case 'u':
            if (w == "u")
                unicode(param);
            else if (w == "uc")
                g.uc = static_cast<unsigned char>(qBound(0, param, 16));
            else if (w == "ul")
                style(kUnderline);
            else if (w == "ulnone")
                g.style &= ~kUnderline;
            else if (w.size() > 2 && w[1] == 'l' && w != "ulc")
                style(kUnderline); // dotted, double...
            return;
        case 'v':
            if (w == "v")
                g.hidden = on;
            return;
        default: return;
        }
    }

    const char *m_p;
    const char *m_end;
    PageWriter &m_page;
    std::vector<Group> m_groups;
    size_t m_overflow = 0;
    int m_pending = 0; // fallback characters of "\u" still to skip
    char32_t m_highSurrogate = 0;
    bool m_groupStart = false;
    bool m_sawParagraphEnd = false;
    bool m_done = false;
};

// A plain-text document: one paragraph per line, as the window reads it.
void convertPlainText(const QByteArray &bytes, PageWriter &page)
{
    const QByteArray text = textfile::cutAtCtrlZ(bytes);
    const QString decoded = textfile::decode(text, textfile::detect(text));
    qsizetype start = 0;
    const qsizetype n = decoded.size();
    auto line = [&](qsizetype from, qsizetype to) {
        QString s = decoded.mid(from, to - from);
        for (const QChar c : s) {
            if (!isTextCharacter(c.unicode()))
                continue;
            if (c == u'<')
                page.content += "&lt;";
            else if (c == u'>')
                page.content += "&gt;";
            else if (c == u'&')
                page.content += "&amp;";
            else
                appendUtf8(page.content, c.unicode());
        }
        page.endParagraph(kLeft, false);
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = decoded[i];
        if (c == u'\r' || c == u'\n') {
            line(start, i);
            if (c == u'\r' && i + 1 < n && decoded[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n || n == 0)
        line(start, n);
}

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    if (fa.absoluteFilePath() == fb.absoluteFilePath())
        return true;
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

} // namespace

QByteArray convertDocument(const QByteArray &documentBytes, const QString &title)
{
    Str page;
    page.reserve(size_t(documentBytes.size()) + size_t(documentBytes.size()) / 4 + 1024);
    appendHead(page, title);
    PageWriter writer(page);
    writer.content.reserve(4096);
    if (rtf::isRtf(documentBytes))
        RtfConverter(documentBytes, writer).run();
    else
        convertPlainText(documentBytes, writer);
    writer.finish();
    page += kTail;
    return QByteArray(page.data(), qsizetype(page.size()));
}

QString outputName(const QString &documentPath)
{
    const qsizetype slash = documentPath.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = documentPath.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > slash ? documentPath.left(dot) : documentPath;
    return stem + QStringLiteral(".htm");
}

QString titleOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

void exportBytes(const QByteArray &documentBytes, const QString &documentPath, const QString &outputPath)
{
    if (!documentPath.isEmpty() && sameFile(documentPath, outputPath))
        throw VelmoraError::ioError(
                32,
                QStringLiteral(
                        "La page HTML remplacerait le document lui-même : choisissez un autre nom pour la page"));
    atomicsave::write(outputPath,
                      convertDocument(documentBytes, titleOf(documentPath.isEmpty() ? outputPath : documentPath)));
}

void exportFile(const QString &documentPath, const QString &outputPath)
{
    if (documentPath.isEmpty())
        throw VelmoraError::fileNotFound();
    const QString output = outputPath.isEmpty() ? outputName(documentPath) : outputPath;
    exportBytes(textfile::readBytes(documentPath), documentPath, output);
}

} // namespace htmlexport
