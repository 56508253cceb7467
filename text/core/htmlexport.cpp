#include "text/core/htmlexport.h"

#include "common/atomicsave.h"
#include "common/textfile.h"
#include "common/velmoraerror.h"

#include <QFileInfo>

#include <array>
#include <string>
#include <string_view>

// The converter's steps are written against the behaviour of "find the first occurrence,
// change it, search again from the start". Where a step repeats that until nothing is
// found, it is run here as one left-to-right pass over the line (or with remembered search
// positions), which gives the same result in linear time: a crafted line of repeated codes
// must not make the export crawl.

namespace htmlexport {
namespace {

using Str = std::string;
using std::string_view;
constexpr auto npos = Str::npos;

// Substring with the tolerant bounds of the converter's rules: a start past the end or a
// count below 1 gives an empty text, a count past the end stops at the end.
Str copyOf(const Str &s, size_t start, long long count)
{
    if (count <= 0 || start >= s.size())
        return Str();
    return s.substr(start, size_t(count));
}

bool startsWith(const Str &s, string_view prefix)
{
    return s.size() >= prefix.size() && string_view(s).substr(0, prefix.size()) == prefix;
}

bool endsWith(const Str &s, string_view suffix)
{
    return s.size() >= suffix.size() && string_view(s).substr(s.size() - suffix.size()) == suffix;
}

// Repeatedly replaces the first occurrence of `pattern` as `onMatch` says, until none is
// left. The output built so far never holds an occurrence, so the first occurrence of the
// line being rewritten always ends at the character just appended. `onMatch(out, s, next)`
// is called with the pattern already removed from `out`; it may append to `out` and move
// `next` (the index of the next input character) forward to drop input.
template <typename OnMatch>
Str rewriteEach(const Str &s, string_view pattern, OnMatch onMatch)
{
    if (s.find(pattern) == npos)
        return s;
    Str out;
    out.reserve(s.size() + 16);
    size_t next = 0;
    while (next < s.size()) {
        out.push_back(s[next++]);
        if (out.back() == pattern.back() && endsWith(out, pattern)) {
            out.resize(out.size() - pattern.size());
            onMatch(out, s, next);
        }
    }
    return out;
}

void dropInput(const Str &s, size_t &next, size_t count) { next = std::min(s.size(), next + count); }

// Step 10: character styles. Each pass turns the first remaining "\b " and "\i " into <B>
// and <I> and the first remaining "\ul " into <U>; a new pass follows only when "\ul " was
// found. A replacement never creates or hides another code (every code starts with the
// only backslash it holds), so with u codes "\ul " the passes turn all of them and the
// first u + 1 of each of the two others.
Str characterStyles(const Str &s, bool &bold, bool &italic, bool &underline)
{
    size_t ulCount = 0;
    for (size_t p = s.find("\\ul "); p != npos; p = s.find("\\ul ", p + 4))
        ++ulCount;
    const size_t passes = ulCount + 1;
    size_t boldCount = 0, italicCount = 0;
    Str out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const size_t slash = s.find('\\', i);
        if (slash == npos) {
            out.append(s, i, npos);
            break;
        }
        out.append(s, i, slash - i);
        const string_view rest = string_view(s).substr(slash);
        if (boldCount < passes && rest.substr(0, 3) == "\\b ") {
            out += "<B>";
            bold = true;
            ++boldCount;
            i = slash + 3;
        } else if (italicCount < passes && rest.substr(0, 3) == "\\i ") {
            out += "<I>";
            italic = true;
            ++italicCount;
            i = slash + 3;
        } else if (rest.substr(0, 4) == "\\ul ") {
            out += "<U>";
            underline = true;
            i = slash + 4;
        } else {
            out.push_back('\\');
            i = slash + 1;
        }
    }
    return out;
}

// Step 15: font references "f0\" to "f3\". Each pass deletes the first occurrence of each
// of the four in turn; another pass follows only when "f3\" was found. The first position
// of each reference is remembered and corrected after every deletion, so that a line made
// of thousands of references is not searched from its start each time.
void fontReferences(Str &s)
{
    static constexpr std::array<string_view, 4> refs = {"f0\\", "f1\\", "f2\\", "f3\\"};
    std::array<size_t, 4> first{};
    for (size_t k = 0; k < refs.size(); ++k)
        first[k] = s.find(refs[k]);
    bool again = true;
    while (again) {
        again = false;
        for (size_t k = 0; k < refs.size(); ++k) {
            const size_t p = first[k];
            if (p == npos)
                continue;
            if (k == 3)
                again = true;
            s.erase(p, 3);
            for (size_t j = 0; j < refs.size(); ++j) {
                const size_t f = first[j];
                if (f != npos && f + 3 <= p)
                    continue; // wholly before the deletion: unchanged
                // A new reference can only straddle the join, starting at p - 2 or p - 1.
                size_t joined = npos;
                for (size_t q = p >= 2 ? p - 2 : 0; q < p; ++q)
                    if (string_view(s).substr(q, 3) == refs[j]) {
                        joined = q;
                        break;
                    }
                if (joined != npos)
                    first[j] = joined;
                else if (f == npos)
                    first[j] = npos;
                else if (f >= p + 3)
                    first[j] = f - 3;
                else
                    first[j] = s.find(refs[j], p);
            }
        }
    }
}

// Step 17: keeps only what lies outside every brace group. "{" raises the depth before the
// character is judged, "}" lowers it after; a character survives at depth 0.
Str outsideGroups(const Str &s)
{
    if (s.find('{') == npos)
        return s;
    Str out;
    out.reserve(s.size());
    long depth = 0;
    for (char c : s) {
        if (c == '{')
            ++depth;
        if (depth == 0)
            out.push_back(c);
        if (c == '}')
            --depth;
    }
    return out;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The accented letters that keep an entity; every other escaped character is dropped.
const char *entityFor(int code)
{
    switch (code) {
    case 0xE0: return "&agrave;";
    case 0xE2: return "&acirc;";
    case 0xE4: return "&auml;";
    case 0xE8: return "&egrave;";
    case 0xE9: return "&eacute;";
    case 0xEB: return "&euml;";
    case 0xEE: return "&icirc;";
    case 0xEF: return "&iuml;";
    case 0xF4: return "&ocirc;";
    case 0xF6: return "&ouml;";
    case 0xF9: return "&ugrave;";
    case 0xFB: return "&ucirc;";
    case 0xFC: return "&uuml;";
    default: return nullptr;
    }
}

// Step 18: "\'" and the (up to) two characters after it, read as a hexadecimal number.
void escapedLetter(Str &out, const Str &s, size_t &next)
{
    const Str digits = s.substr(next, 2);
    int code = digits.empty() ? -1 : 0;
    for (char c : digits) {
        const int v = hexValue(c);
        if (v < 0) {
            code = -1;
            break;
        }
        code = code * 16 + v;
    }
    if (code < 0)
        throw VelmoraError::notAnInteger(QLatin1Char('$') + QString::fromLatin1(digits.data(), qsizetype(digits.size())));
    next += digits.size();
    if (const char *entity = entityFor(code))
        out += entity;
}

Str convert(Str s)
{
    if (s.empty())
        return s;
    bool bold = false, italic = false, underline = false;

    // Paragraph opening, alignment and the end of the paragraph.
    if (s.find("\\par \\plain") != npos)
        s.erase(5, 7);
    if (startsWith(s, "\\par "))
        s = "<P>" + s.substr(5) + "</P>";
    if (const size_t p = s.find("\\pard"); p != npos)
        s = "<P>" + s.substr(p + 5);
    if (s.size() > 3 && s.find("</P>") == npos)
        s += "</P>";
    if (startsWith(s, "{") || startsWith(s, "<P>}"))
        return Str();
    if (const size_t p = s.find("\\qc"); p != npos) {
        s.erase(p, 3);
        const long long len = (long long)s.size();
        s = s.substr(0, p) + "<CENTER>" + copyOf(s, p, len - 7) + "</CENTER>" + "</P>";
    }
    if (const size_t p = s.find("\\qr"); p != npos) {
        s.erase(p, 3);
        const long long len = (long long)s.size();
        s = copyOf(s, 0, 2) + " ALIGN=\"RIGHT\"" + copyOf(s, 2, len - 6) + "</P>";
    }

    s = characterStyles(s, bold, italic, underline);

    // Style ends: the plain code and the character after it give way to the closing tags,
    // italic then underline then bold from left to right.
    s = rewriteEach(s, "\\plain", [&](Str &out, const Str &in, size_t &next) {
        dropInput(in, next, 1);
        if (italic)
            out += "</I>";
        if (underline)
            out += "</U>";
        if (bold)
            out += "</B>";
        bold = italic = underline = false;
    });
    // Font sizes: the backslash stays; the code goes up to and including the next space,
    // or up to the next tag.
    s = rewriteEach(s, "\\fs", [](Str &out, const Str &in, size_t &next) {
        out.push_back('\\');
        const size_t stop = in.find_first_of(" <", next);
        if (stop == npos)
            next = in.size();
        else
            next = in[stop] == ' ' ? stop + 1 : stop;
    });
    // Indents with their value: a left indent of three digits, a first-line indent with a
    // sign and three digits.
    s = rewriteEach(s, "\\li", [](Str &, const Str &in, size_t &next) { dropInput(in, next, 3); });
    s = rewriteEach(s, "\\fi", [](Str &, const Str &in, size_t &next) { dropInput(in, next, 4); });
    fontReferences(s);

    // Bullet item: the marker group becomes <LI> and the paragraph tags go.
    if (const size_t p = s.find("{\\pntext\\'b7\\tab}"); p != npos) {
        s.erase(p, 17);
        s.insert(p, "<LI>");
        const long long len = (long long)s.size();
        s = copyOf(s, 3, len - 7);
        if (const size_t q = s.find("</P>"); q != npos)
            s.resize(q);
    }
    s = outsideGroups(s);
    s = rewriteEach(s, "\\'", escapedLetter);

    if (underline)
        s.insert(s.size() >= 4 ? s.size() - 4 : 0, "</U>");
    return s;
}

} // namespace

QByteArray convertLine(QByteArrayView line)
{
    const Str out = convert(Str(line.data(), size_t(line.size())));
    return QByteArray(out.data(), qsizetype(out.size()));
}

QByteArray convertDocument(const QByteArray &fileBytes)
{
    static const char *const header[] = {"<HTML>", "<HEAD>", "<TITLE></TITLE>", "<META NAME=\"Velmora\"",
                                         "</HEAD>", "<BODY>"};
    const QByteArray bytes = textfile::cutAtCtrlZ(fileBytes);
    QByteArray page;
    page.reserve(bytes.size() + 256);
    for (const char *line : header) {
        page += line;
        page += "\r\n";
    }
    for (const QByteArray &line : textfile::splitLines(bytes)) {
        const QByteArray html = convertLine(line);
        if (!html.isEmpty()) {
            page += html;
            page += "\r\n";
        }
    }
    page += "</BODY>\r\n</HTML>\r\n";
    return page;
}

QString outputName(const QString &documentPath)
{
    const qsizetype slash = documentPath.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = documentPath.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > slash ? documentPath.left(dot) : documentPath;
    return stem + QStringLiteral(".htm");
}

namespace {
bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    if (fa.absoluteFilePath() == fb.absoluteFilePath())
        return true;
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}
} // namespace

void exportFile(const QString &documentPath, const QString &outputPath)
{
    if (documentPath.isEmpty())
        throw VelmoraError::ioError(6); // a document never saved has no file to read
    const QString output = outputPath.isEmpty() ? outputName(documentPath) : outputPath;
    const QByteArray bytes = textfile::readBytes(documentPath);
    if (sameFile(documentPath, output))
        throw VelmoraError::ioError(32); // the page would overwrite the document it is read from
    atomicsave::write(output, convertDocument(bytes));
}

} // namespace htmlexport
