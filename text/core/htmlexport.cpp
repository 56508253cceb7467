#include "text/core/htmlexport.h"

#include "common/atomicsave.h"
#include "common/textfile.h"
#include "common/velmoraerror.h"

#include <QFileInfo>

#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

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

// Position of `pattern` in `s` from `from`, or npos: memchr to each candidate first
// character, then the rest compared in place (a library compare call at every backslash
// of an RTF line would cost more than the search).
size_t findIn(const Str &s, string_view pattern, size_t from = 0)
{
    const size_t n = s.size(), m = pattern.size();
    if (from >= n || m == 0 || m > n - from)
        return npos;
    const char *const d = s.data();
    const char *const last = d + (n - m);
    for (const char *c = d + from; c <= last;) {
        c = static_cast<const char *>(std::memchr(c, pattern[0], size_t(last - c) + 1));
        if (!c)
            return npos;
        size_t k = 1;
        while (k < m && c[k] == pattern[k])
            ++k;
        if (k == m)
            return size_t(c - d);
        ++c;
    }
    return npos;
}

bool startsWith(const Str &s, string_view prefix)
{
    return s.size() >= prefix.size() && string_view(s).substr(0, prefix.size()) == prefix;
}

// Where a step joined the text on both sides of a deletion, in the rewritten line.
using Joins = std::vector<size_t>;
constexpr size_t kMaxTrackedJoins = 8;

// Repeatedly replaces the first occurrence of `pattern` as `onMatch` says, until none is
// left. The line is rewritten from left to right into `out`, which never holds an
// occurrence (what onMatch appends cannot complete one), so the next occurrence either
// straddles the end of `out` and the rest of the input, or lies wholly in the input.
// `onMatch(out, s, next)` is called with the pattern removed; it may append to `out` and
// move `next` (the index of the next input character) forward to drop input. Returns
// whether anything was found; `joins` receives the places joined.

template <typename OnMatch>
bool rewriteEach(Str &line, string_view pattern, OnMatch onMatch, Joins &joins)
{
    const Str &s = line;
    size_t p = findIn(s, pattern);
    if (p == npos)
        return false;
    const size_t m = pattern.size();
    Str out;
    out.reserve(s.size() + 16);
    size_t next = 0;
    while (p != npos) {
        out.append(s, next, p - next);
        next = p + m;
        onMatch(out, s, next);
        joins.push_back(out.size());
        // Occurrences across the join, the leftmost (longest tail of `out`) first.
        for (bool joined = true; joined;) {
            joined = false;
            for (size_t k = std::min(m - 1, out.size()); k >= 1; --k) {
                if (string_view(out).substr(out.size() - k) == pattern.substr(0, k)
                    && string_view(s).substr(std::min(next, s.size()), m - k) == pattern.substr(k)) {
                    out.resize(out.size() - k);
                    next += m - k;
                    onMatch(out, s, next);
                    joins.push_back(out.size());
                    joined = true;
                    break;
                }
            }
        }
        p = next < s.size() ? findIn(s, pattern, next) : npos;
    }
    if (next < s.size())
        out.append(s, next, npos);
    line = std::move(out);
    return true;
}

void dropInput(const Str &s, size_t &next, size_t count) { next = std::min(s.size(), next + count); }

// The codes the rules look for, as bits of a set computed in one pass over the line.
enum Code : unsigned {
    kParPlain = 1u << 0,  // "\par \plain"
    kPard = 1u << 1,      // "\pard"
    kQc = 1u << 2,        // "\qc"
    kQr = 1u << 3,        // "\qr"
    kStyle = 1u << 4,     // "\b ", "\i ", "\ul "
    kPlain = 1u << 5,     // "\plain"
    kSize = 1u << 6,      // "\fs"
    kLeft = 1u << 7,      // "\li"
    kFirst = 1u << 8,     // "\fi"
    kFont = 1u << 9,      // "f0\" .. "f3\"
    kBullet = 1u << 10,   // "{\pntext\'b7\tab}"
    kBrace = 1u << 11,    // "{"
    kEscape = 1u << 12,   // "\'"
    kEndP = 1u << 13,     // "</P>"
};

// The set is a superset of what the line holds: a step that only removes text, or puts
// tags between what it keeps, cannot complete a new code and leaves the set as it is; a
// step that joins the text on both sides of a deletion computes it again. A code missing
// from the set is then not searched for at all, which spares most of the searches.
unsigned scanCodes(string_view s, size_t firstStart = 0, size_t endStart = npos)
{
    unsigned codes = 0;
    const size_t n = s.size();
    const size_t stopAt = std::min(n, endStart);
    if (firstStart >= stopAt)
        return codes;
    const char *const d = s.data();
    auto at = [&](size_t i, string_view code) {
        if (code.size() > n - i)
            return false;
        for (size_t k = 1; k < code.size(); ++k) // the first character is already known
            if (d[i + k] != code[k])
                return false;
        return true;
    };
    // Every code but "{", "</P>" and the bullet group holds a backslash: jump from one to
    // the next. A font reference "fN\" ends with one.
    auto nextOf = [&](char c, size_t from, size_t to) -> size_t {
        if (from >= to)
            return npos;
        const void *hit = std::memchr(d + from, c, to - from);
        return hit ? size_t(static_cast<const char *>(hit) - d) : npos;
    };
    const size_t fontEnd = std::min(n, stopAt + 2);
    for (size_t i = nextOf('\\', firstStart, fontEnd); i != npos; i = nextOf('\\', i + 1, fontEnd)) {
        if (i >= firstStart + 2 && d[i - 2] == 'f' && d[i - 1] >= '0' && d[i - 1] <= '3')
            codes |= kFont;
        if (i >= stopAt || i + 1 >= n)
            continue;
        switch (d[i + 1]) {
        case 'p':
            if (at(i, "\\plain"))
                codes |= kPlain;
            else if (at(i, "\\pard"))
                codes |= kPard;
            else if (at(i, "\\par \\plain"))
                codes |= kParPlain;
            break;
        case 'q':
            if (at(i, "\\qc"))
                codes |= kQc;
            else if (at(i, "\\qr"))
                codes |= kQr;
            break;
        case 'b':
        case 'i':
            if (i + 2 < n && d[i + 2] == ' ')
                codes |= kStyle;
            break;
        case 'u':
            if (at(i, "\\ul "))
                codes |= kStyle;
            break;
        case 'f':
            if (at(i, "\\fs"))
                codes |= kSize;
            else if (at(i, "\\fi"))
                codes |= kFirst;
            break;
        case 'l':
            if (at(i, "\\li"))
                codes |= kLeft;
            break;
        case '\'':
            codes |= kEscape;
            break;
        default:
            break;
        }
    }
    for (size_t i = nextOf('{', firstStart, stopAt); i != npos; i = nextOf('{', i + 1, stopAt)) {
        codes |= kBrace;
        if (at(i, "{\\pntext\\'b7\\tab}"))
            codes |= kBullet;
    }
    for (size_t i = nextOf('<', firstStart, stopAt); i != npos; i = nextOf('<', i + 1, stopAt))
        if (at(i, "</P>"))
            codes |= kEndP;
    return codes;
}

// The codes that may have been completed across the places a step joined.
unsigned codesAround(const Str &s, const Joins &joins)
{
    constexpr size_t kReach = 17; // the longest code, the bullet group
    if (joins.size() > kMaxTrackedJoins || joins.size() * 2 * kReach >= s.size())
        return scanCodes(s);
    unsigned codes = 0;
    // A code across a join starts less than its length before it.
    for (size_t j : joins)
        codes |= scanCodes(s, j >= kReach ? j - kReach + 1 : 0, j);
    return codes;
}

// Step 10: character styles. Each pass turns the first remaining "\b " and "\i " into <B>
// and <I> and the first remaining "\ul " into <U>; a new pass follows only when "\ul " was
// found. A replacement never creates or hides another code (every code starts with the
// only backslash it holds), so with u codes "\ul " the passes turn all of them and the
// first u + 1 of each of the two others.
void characterStyles(Str &s, bool &bold, bool &italic, bool &underline)
{
    size_t ulCount = 0;
    for (size_t p = findIn(s, "\\ul "); p != npos; p = findIn(s, "\\ul ", p + 4))
        ++ulCount;
    const size_t passes = ulCount + 1;
    size_t boldCount = 0, italicCount = 0;
    // In place: the tags are no longer than the codes, so what is written never overtakes
    // what is still to be read.
    char *const d = s.data();
    const size_t n = s.size();
    size_t w = 0;
    for (size_t r = 0; r < n;) {
        if (d[r] == '\\' && r + 2 < n) {
            const char c1 = d[r + 1], c2 = d[r + 2];
            if (c1 == 'b' && c2 == ' ' && boldCount < passes) {
                d[w++] = '<', d[w++] = 'B', d[w++] = '>';
                bold = true;
                ++boldCount;
                r += 3;
                continue;
            }
            if (c1 == 'i' && c2 == ' ' && italicCount < passes) {
                d[w++] = '<', d[w++] = 'I', d[w++] = '>';
                italic = true;
                ++italicCount;
                r += 3;
                continue;
            }
            if (c1 == 'u' && c2 == 'l' && r + 3 < n && d[r + 3] == ' ') {
                d[w++] = '<', d[w++] = 'U', d[w++] = '>';
                underline = true;
                r += 4;
                continue;
            }
        }
        d[w++] = d[r++];
    }
    s.resize(w);
}

// Step 15: font references "f0\" to "f3\". Each pass deletes the first occurrence of each
// of the four in turn; another pass follows only when "f3\" was found. The first position
// of each reference is remembered and corrected after every deletion, so that a line made
// of thousands of references is not searched from its start each time. `joins` receives
// the places of the first few deletions.
bool fontReferences(Str &s, Joins &joins)
{
    static constexpr std::array<string_view, 4> refs = {"f0\\", "f1\\", "f2\\", "f3\\"};
    std::array<size_t, 4> first{npos, npos, npos, npos};
    for (size_t i = 0; i + 2 < s.size(); ++i)
        if (s[i] == 'f' && s[i + 1] >= '0' && s[i + 1] <= '3' && s[i + 2] == '\\' && first[size_t(s[i + 1] - '0')] == npos)
            first[size_t(s[i + 1] - '0')] = i;
    bool changed = false;
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
            changed = true;
            // Few deletions are tracked as joins; more, and the caller scans the line.
            if (joins.size() <= kMaxTrackedJoins) {
                for (size_t &j : joins)
                    if (j > p)
                        j = j >= p + 3 ? j - 3 : p;
                joins.push_back(p);
            }
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
                    first[j] = findIn(s, refs[j], p);
            }
        }
    }
    return changed;
}

// Step 17: keeps only what lies outside every brace group. "{" raises the depth before the
// character is judged, "}" lowers it after; a character survives at depth 0.
Str outsideGroups(const Str &s, Joins &joins)
{
    if (s.find('{') == npos)
        return s;
    Str out;
    out.reserve(s.size());
    long depth = 0;
    bool dropped = false;
    for (char c : s) {
        if (c == '{')
            ++depth;
        if (depth == 0) {
            if (dropped)
                joins.push_back(out.size());
            dropped = false;
            out.push_back(c);
        } else {
            dropped = true;
        }
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
    unsigned codes = scanCodes(s);

    // Paragraph opening, alignment and the end of the paragraph.
    if ((codes & kParPlain) && findIn(s, "\\par \\plain") != npos) {
        s.erase(5, 7);
        codes = scanCodes(s);
    }
    bool endsParagraph = false; // "</P>" known to be in the line
    if (startsWith(s, "\\par ")) {
        s = "<P>" + s.substr(5) + "</P>";
        codes |= kEndP;
        endsParagraph = true;
    }
    if (codes & kPard)
        if (const size_t p = findIn(s, "\\pard"); p != npos)
            s = "<P>" + s.substr(p + 5);
    if (s.size() > 3 && !endsParagraph && !((codes & kEndP) && findIn(s, "</P>") != npos)) {
        s += "</P>";
        codes |= kEndP;
    }
    if (startsWith(s, "{") || startsWith(s, "<P>}"))
        return Str();
    if (codes & kQc)
        if (const size_t p = findIn(s, "\\qc"); p != npos) {
            s.erase(p, 3);
            const long long len = (long long)s.size();
            s = s.substr(0, p) + "<CENTER>" + copyOf(s, p, len - 7) + "</CENTER>" + "</P>";
        }
    if (codes & kQr)
        if (const size_t p = findIn(s, "\\qr"); p != npos) {
            s.erase(p, 3);
            const long long len = (long long)s.size();
            s = copyOf(s, 0, 2) + " ALIGN=\"RIGHT\"" + copyOf(s, 2, len - 6) + "</P>";
            codes = scanCodes(s);
        }

    if (codes & kStyle)
        characterStyles(s, bold, italic, underline);

    // Style ends: the plain code and the character after it give way to the closing tags,
    // italic then underline then bold from left to right.
    Joins joins;
    if ((codes & kPlain) && rewriteEach(s, "\\plain", [&](Str &out, const Str &in, size_t &next) {
            dropInput(in, next, 1);
            if (italic)
                out += "</I>";
            if (underline)
                out += "</U>";
            if (bold)
                out += "</B>";
            bold = italic = underline = false;
        }, joins))
        codes |= codesAround(s, joins);
    // Font sizes: the backslash stays; the code goes up to and including the next space,
    // or up to the next tag.
    if ((codes & kSize) && rewriteEach(s, "\\fs", [](Str &out, const Str &in, size_t &next) {
            out.push_back('\\');
            const size_t stop = in.find_first_of(" <", next);
            if (stop == npos)
                next = in.size();
            else
                next = in[stop] == ' ' ? stop + 1 : stop;
        }, joins = {}))
        codes |= codesAround(s, joins);
    // Indents with their value: a left indent of three digits, a first-line indent with a
    // sign and three digits.
    auto drop = [](size_t count) { return [count](Str &, const Str &in, size_t &next) { dropInput(in, next, count); }; };
    if ((codes & kLeft) && rewriteEach(s, "\\li", drop(3), joins = {}))
        codes |= codesAround(s, joins);
    if ((codes & kFirst) && rewriteEach(s, "\\fi", drop(4), joins = {}))
        codes |= codesAround(s, joins);
    if ((codes & kFont) && fontReferences(s, joins = {}))
        codes |= codesAround(s, joins);

    // Bullet item: the marker group becomes <LI> and the paragraph tags go.
    if (codes & kBullet)
        if (const size_t p = findIn(s, "{\\pntext\\'b7\\tab}"); p != npos) {
            s.erase(p, 17);
            s.insert(p, "<LI>");
            const long long len = (long long)s.size();
            s = copyOf(s, 3, len - 7);
            if (const size_t q = findIn(s, "</P>"); q != npos)
                s.resize(q);
        }
    if (codes & kBrace) {
        s = outsideGroups(s, joins = {});
        codes |= codesAround(s, joins);
    }
    if (codes & kEscape)
        rewriteEach(s, "\\'", escapedLetter, joins = {});

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
    const QByteArray bytes = textfile::cutAtCtrlZ(fileBytes);
    Str page = "<HTML>\r\n<HEAD>\r\n<TITLE></TITLE>\r\n<META NAME=\"Velmora\"\r\n</HEAD>\r\n<BODY>\r\n";
    page.reserve(size_t(bytes.size()) + 256);
    // Lines end with CR LF, LF or CR; a last line without an end still counts.
    const char *const begin = bytes.constData();
    const char *const end = begin + bytes.size();
    for (const char *line = begin; line < end;) {
        const char *stop = static_cast<const char *>(std::memchr(line, '\n', size_t(end - line)));
        if (!stop)
            stop = end;
        if (const void *cr = std::memchr(line, '\r', size_t(stop - line)))
            stop = static_cast<const char *>(cr);
        const Str html = convert(Str(line, size_t(stop - line)));
        if (!html.empty()) {
            page += html;
            page += "\r\n";
        }
        if (stop < end && *stop == '\r' && stop + 1 < end && stop[1] == '\n')
            ++stop;
        line = stop + 1;
    }
    page += "</BODY>\r\n</HTML>\r\n";
    return QByteArray(page.data(), qsizetype(page.size()));
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
