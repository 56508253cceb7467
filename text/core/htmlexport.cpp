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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Position of `pattern` in `s` from `from`, or npos. Sixteen starting positions are tried
// at a time: those where both the first and the last character of the pattern match are
// the candidates, compared in full. Branches are then taken at candidates only, which on
// an RTF line full of backslashes matters more than the number of bytes read.
// `middle(c)` says whether the characters between the first and the last match at c.
template <typename Middle>
size_t findCandidates(string_view s, char first, char last, size_t m, size_t from, Middle middle)
{
    const size_t n = s.size();
    if (from >= n || m == 0 || m > n - from)
        return npos;
    const char *const d = s.data();
    const size_t lastStart = n - m;
    size_t i = from;
#if defined(__SSE2__)
    const __m128i vf = _mm_set1_epi8(first), vl = _mm_set1_epi8(last);
    for (; i + 15 <= lastStart; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(d + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(d + i + m - 1));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, vf), _mm_cmpeq_epi8(b, vl))));
        while (mask) {
            const size_t c = i + size_t(__builtin_ctz(mask));
            if (middle(d + c))
                return c;
            mask &= mask - 1;
        }
    }
#endif
    for (; i <= lastStart; ++i)
        if (d[i] == first && d[i + m - 1] == last && middle(d + i))
            return i;
    return npos;
}

size_t findIn(string_view s, string_view pattern, size_t from = 0)
{
    const size_t m = pattern.size();
    if (m == 0)
        return npos;
    return findCandidates(s, pattern.front(), pattern.back(), m, from, [pattern, m](const char *c) {
        for (size_t k = 1; k + 1 < m; ++k)
            if (c[k] != pattern[k])
                return false;
        return true;
    });
}

// Position of the first font reference "f0\" to "f3\" from `from`, or npos.
size_t findFontReference(string_view s, size_t from = 0)
{
    return findCandidates(s, 'f', '\\', 3, from, [](const char *c) { return c[1] >= '0' && c[1] <= '3'; });
}

bool startsWith(const Str &s, string_view prefix)
{
    return s.size() >= prefix.size() && string_view(s).substr(0, prefix.size()) == prefix;
}

// Where a step joined the text on both sides of a deletion, in the rewritten line.
using Joins = std::vector<size_t>;
// A step that stops keeping its joins up to date ends the list with this mark.
constexpr size_t kMaxTrackedJoins = 8;
constexpr size_t kUntracked = npos;

// The second buffer of the steps that rewrite a line into another: kept for the next line,
// so that converting a document does not allocate for every step of every line.
Str &scratch()
{
    thread_local Str buffer;
    return buffer;
}

// Whether `out` ends with the first k characters of `pattern`.
inline bool endsWithPrefix(const Str &out, string_view pattern, size_t k)
{
    const char *tail = out.data() + (out.size() - k);
    for (size_t i = 0; i < k; ++i)
        if (tail[i] != pattern[i])
            return false;
    return true;
}

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
    Str &out = scratch();
    out.clear();
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
                if (endsWithPrefix(out, pattern, k) && s.size() >= next && s.size() - next >= m - k
                    && std::equal(pattern.begin() + ptrdiff_t(k), pattern.end(), s.begin() + ptrdiff_t(next))) {
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
    line.swap(out);
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
// step that joins the text on both sides of a deletion looks again around the joins. A
// code missing from the set is then not searched for at all, which spares most searches.

// The codes that start at position i of the line (wholly inside it).
inline unsigned codesAt(string_view s, size_t i)
{
    const size_t n = s.size();
    const char *const d = s.data();
    auto at = [&](string_view code) { return code.size() <= n - i && std::equal(code.begin() + 1, code.end(), d + i + 1); };
    if (i + 1 >= n) // every code but "{" is longer than one character
        return d[i] == '{' ? kBrace : 0u;
    switch (d[i]) {
    case '\\':
        switch (d[i + 1]) {
        case 'p':
            return (at("\\plain") ? kPlain : 0u) | (at("\\pard") ? kPard : 0u) | (at("\\par \\plain") ? kParPlain : 0u);
        case 'q':
            return (at("\\qc") ? kQc : 0u) | (at("\\qr") ? kQr : 0u);
        case 'b':
        case 'i':
            return i + 2 < n && d[i + 2] == ' ' ? kStyle : 0u;
        case 'u':
            return at("\\ul ") ? kStyle : 0u;
        case 'f':
            return (at("\\fs") ? kSize : 0u) | (at("\\fi") ? kFirst : 0u);
        case 'l':
            return at("\\li") ? kLeft : 0u;
        case '\'':
            return kEscape;
        default:
            return 0u;
        }
    case 'f':
        return i + 2 < n && d[i + 1] >= '0' && d[i + 1] <= '3' && d[i + 2] == '\\' ? kFont : 0u;
    case '{':
        return kBrace | (at("{\\pntext\\'b7\\tab}") ? kBullet : 0u);
    case '<':
        return at("</P>") ? kEndP : 0u;
    default:
        return 0u;
    }
}

// The codes that start in [from, to).
unsigned scanCodesNear(string_view s, size_t from, size_t to)
{
    unsigned codes = 0;
    for (size_t i = from; i < std::min(to, s.size()); ++i)
        codes |= codesAt(s, i);
    return codes;
}

// The codes of a whole line, in one pass. Sixteen positions are classified at a time by
// their first four characters, which decides the codes of up to four characters; the few
// candidates of longer codes not yet known are looked at one by one. The many backslashes
// of an RTF line then cost no branch each.
unsigned scanCodes(string_view s)
{
    const size_t n = s.size();
    const char *const d = s.data();
    unsigned codes = 0;
    size_t i = 0;
#if defined(__SSE2__)
    auto load = [d](size_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(d + at)); };
    auto eq = [](__m128i v, char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
    auto both = [](__m128i a, __m128i b) { return _mm_and_si128(a, b); };
    auto any = [](__m128i m) { return _mm_movemask_epi8(m) != 0; };
    for (; i + 19 <= n; i += 16) {
        const __m128i v0 = load(i), v1 = load(i + 1), v2 = load(i + 2), v3 = load(i + 3);
        const __m128i backslash = eq(v0, '\\');
        const __m128i f1 = both(backslash, eq(v1, 'f'));
        const __m128i q1 = both(backslash, eq(v1, 'q'));
        unsigned found = 0;
        found |= any(both(f1, eq(v2, 's'))) ? kSize : 0u;
        found |= any(both(f1, eq(v2, 'i'))) ? kFirst : 0u;
        found |= any(both(both(backslash, eq(v1, 'l')), eq(v2, 'i'))) ? kLeft : 0u;
        found |= any(both(backslash, eq(v1, '\''))) ? kEscape : 0u;
        found |= any(both(q1, eq(v2, 'c'))) ? kQc : 0u;
        found |= any(both(q1, eq(v2, 'r'))) ? kQr : 0u;
        const __m128i space2 = both(backslash, eq(v2, ' '));
        found |= any(both(space2, _mm_or_si128(eq(v1, 'b'), eq(v1, 'i')))) ? kStyle : 0u;
        found |= any(both(both(backslash, eq(v1, 'u')), both(eq(v2, 'l'), eq(v3, ' ')))) ? kStyle : 0u;
        // "fN\" with N from 0 to 3: the digits are the characters 0x30 to 0x33.
        const __m128i digit = _mm_cmpeq_epi8(_mm_and_si128(v1, _mm_set1_epi8(char(0xFC))), _mm_set1_epi8(0x30));
        found |= any(both(both(eq(v0, 'f'), eq(v2, '\\')), digit)) ? kFont : 0u;
        const __m128i brace = eq(v0, '{');
        found |= any(brace) ? kBrace : 0u;
        found |= any(both(both(eq(v0, '<'), eq(v1, '/')), both(eq(v2, 'P'), eq(v3, '>')))) ? kEndP : 0u;
        codes |= found;
        // Longer codes, while not yet known: candidates by their first four characters.
        __m128i wanted = _mm_setzero_si128();
        const __m128i p1 = both(backslash, eq(v1, 'p'));
        if (!(codes & kPlain))
            wanted = _mm_or_si128(wanted, both(p1, both(eq(v2, 'l'), eq(v3, 'a'))));
        if ((codes & (kPard | kParPlain)) != (kPard | kParPlain))
            wanted = _mm_or_si128(wanted, both(p1, both(eq(v2, 'a'), eq(v3, 'r'))));
        if (!(codes & kBullet))
            wanted = _mm_or_si128(wanted, both(brace, both(eq(v1, '\\'), eq(v2, 'p'))));
        for (unsigned mask = unsigned(_mm_movemask_epi8(wanted)); mask; mask &= mask - 1)
            codes |= codesAt(s, i + size_t(__builtin_ctz(mask)));
    }
#endif
    for (; i < n; ++i)
        if (const char c = d[i]; c == '\\' || c == 'f' || c == '{' || c == '<')
            codes |= codesAt(s, i);
    return codes;
}

// The codes consulted after the character styles that may have been completed across the
// places a step joined. A code across a join holds the two characters the join brought
// together. The short codes "\fs", "\li", "\fi", "fN\" and "\'" start one or two
// characters before the join, and a join of which either side is none of their characters
// completes none; the bullet group reaches further back, from a brace at most sixteen
// characters before the join.
unsigned codesAround(const Str &s, const Joins &joins, unsigned codes)
{
    constexpr size_t kReach = 17; // the length of the bullet group
    if (!joins.empty() && joins.back() == kUntracked) // not all known: scan the whole line
        return scanCodes(s);
    static constexpr auto inShortCodes = [] {
        std::array<bool, 256> table{};
        for (char c : string_view("\\fsli0123'"))
            table[static_cast<unsigned char>(c)] = true;
        return table;
    }();
    const bool braces = codes & kBrace; // no step makes a brace
    const char *const d = s.data();
    unsigned found = 0;
    for (size_t j : joins) {
        if (j == 0 || j >= s.size())
            continue;
        if (braces)
            for (size_t q = j >= kReach ? j - kReach + 1 : 0; q < j; ++q)
                if (d[q] == '{')
                    found |= codesAt(s, q);
        if (inShortCodes[static_cast<unsigned char>(d[j - 1])] && inShortCodes[static_cast<unsigned char>(d[j])])
            found |= scanCodesNear(s, j >= 2 ? j - 2 : 0, j);
    }
    return found;
}

// Step 10: character styles. Each pass turns the first remaining "\b " and "\i " into <B>
// and <I> and the first remaining "\ul " into <U>; a new pass follows only when "\ul " was
// found. A replacement never creates or hides another code (every code starts with the
// only backslash it holds), so with u codes "\ul " the passes turn all of them and the
// first u + 1 of each of the two others.
void characterStyles(Str &s, bool &bold, bool &italic, bool &underline)
{
    // The places of the codes converted, in the order of the line. No two codes overlap:
    // each one's backslash is its first character and it holds no other.
    thread_local std::vector<size_t> underlines, bolds, italics;
    underlines.clear(), bolds.clear(), italics.clear();
    for (size_t p = findIn(s, "\\ul "); p != npos; p = findIn(s, "\\ul ", p + 4))
        underlines.push_back(p);
    const size_t passes = underlines.size() + 1;
    // "\b " and "\i " in one search: a backslash and a space two characters on.
    auto boldOrItalic = [](const char *c) { return c[1] == 'b' || c[1] == 'i'; };
    for (size_t p = findCandidates(s, '\\', ' ', 3, 0, boldOrItalic); p != npos;
         p = findCandidates(s, '\\', ' ', 3, p + 3, boldOrItalic)) {
        std::vector<size_t> &list = s[p + 1] == 'b' ? bolds : italics;
        if (list.size() < passes)
            list.push_back(p);
        else if (bolds.size() >= passes && italics.size() >= passes)
            break;
    }
    bold = bold || !bolds.empty();
    italic = italic || !italics.empty();
    underline = underline || !underlines.empty();
    // In place: the tags are no longer than the codes, so what is written never overtakes
    // what is still to be read.
    char *const d = s.data();
    const size_t n = s.size();
    size_t w = 0, r = 0, ib = 0, ii = 0, iu = 0;
    while (true) {
        size_t p = n, length = 0;
        char tag = 0;
        if (ib < bolds.size() && bolds[ib] < p)
            p = bolds[ib], length = 3, tag = 'B';
        if (ii < italics.size() && italics[ii] < p)
            p = italics[ii], length = 3, tag = 'I';
        if (iu < underlines.size() && underlines[iu] < p)
            p = underlines[iu], length = 4, tag = 'U';
        if (!tag)
            break;
        (tag == 'B' ? ib : tag == 'I' ? ii : iu)++;
        std::memmove(d + w, d + r, p - r);
        w += p - r;
        d[w++] = '<', d[w++] = tag, d[w++] = '>';
        r = p + length;
    }
    std::memmove(d + w, d + r, n - r);
    s.resize(w + (n - r));
}

// Step 15: font references "f0\" to "f3\". Each pass deletes the first occurrence of each
// of the four in turn; another pass follows only when "f3\" was found. The first position
// of each reference is remembered and corrected after every deletion, so that a line made
// of thousands of references is not searched from its start each time. `joins` receives
// the places of the first few deletions, then kUntracked.
bool fontReferences(Str &s, Joins &joins)
{
    static constexpr std::array<string_view, 4> refs = {"f0\\", "f1\\", "f2\\", "f3\\"};
    std::array<size_t, 4> first{npos, npos, npos, npos};
    size_t unknown = refs.size();
    for (size_t p = findFontReference(s); p != npos && unknown > 0; p = findFontReference(s, p + 1))
        if (size_t &f = first[size_t(s[p + 1] - '0')]; f == npos)
            f = p, --unknown;
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
            if (joins.empty() || joins.back() != kUntracked) {
                if (joins.size() < kMaxTrackedJoins) {
                    for (size_t &j : joins)
                        if (j > p)
                            j = j >= p + 3 ? j - 3 : p;
                    joins.push_back(p);
                } else {
                    joins.push_back(kUntracked);
                }
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
void outsideGroups(Str &s, Joins &joins)
{
    if (findIn(s, "{") == npos)
        return; // only a line holding an opening brace loses its groups
    // In place: what is kept is never ahead of what is read.
    char *const d = s.data();
    const size_t n = s.size();
    size_t w = 0;
    long depth = 0;
    bool dropped = false;
    for (size_t r = 0; r < n; ++r) {
        const char c = d[r];
        if (c == '{')
            ++depth;
        if (depth == 0) {
            if (dropped)
                joins.push_back(w);
            dropped = false;
            d[w++] = c;
        } else {
            dropped = true;
        }
        if (c == '}')
            --depth;
    }
    s.resize(w);
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
    const string_view digits = string_view(s).substr(std::min(next, s.size()), 2);
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

// Converts the line `s` in place.
void convert(Str &s)
{
    if (s.empty())
        return;
    bool bold = false, italic = false, underline = false;
    unsigned codes = scanCodes(s);

    // Paragraph opening, alignment and the end of the paragraph.
    if ((codes & kParPlain) && findIn(s, "\\par \\plain") != npos) {
        s.erase(5, 7);
        codes = scanCodes(s);
    }
    bool endsParagraph = false; // "</P>" known to be in the line
    if (startsWith(s, "\\par ")) {
        s.replace(0, 5, "<P>");
        s += "</P>";
        codes |= kEndP;
        endsParagraph = true;
    }
    if (codes & kPard)
        if (const size_t p = findIn(s, "\\pard"); p != npos)
            s.replace(0, p + 5, "<P>");
    if (s.size() > 3 && !endsParagraph && !((codes & kEndP) && findIn(s, "</P>") != npos)) {
        s += "</P>";
        codes |= kEndP;
    }
    if (startsWith(s, "{") || startsWith(s, "<P>}")) {
        s.clear();
        return;
    }
    if (codes & kQc)
        if (const size_t p = findIn(s, "\\qc"); p != npos) {
            s.erase(p, 3);
            // The first p characters, <CENTER>, L - 7 characters from p, the closing tags.
            const size_t len = s.size();
            s.resize(len > 7 && p < len ? std::min(len, p + (len - 7)) : p);
            s.insert(p, "<CENTER>");
            s += "</CENTER></P>";
        }
    if (codes & kQr)
        if (const size_t p = findIn(s, "\\qr"); p != npos) {
            s.erase(p, 3);
            // The first 2 characters, the attribute, L - 6 characters from the third, </P>.
            const size_t len = s.size();
            s.resize(len > 6 ? len - 4 : std::min<size_t>(len, 2));
            s.insert(s.size() < 2 ? s.size() : 2, " ALIGN=\"RIGHT\"");
            s += "</P>";
            codes = scanCodes(s);
        }

    if (codes & kStyle)
        characterStyles(s, bold, italic, underline);

    // Style ends: the plain code and the character after it give way to the closing tags,
    // italic then underline then bold from left to right.
    thread_local Joins joins;
    joins.clear();
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
        codes |= codesAround(s, joins, codes);
    // Font sizes: the backslash stays; the code goes up to and including the next space,
    // or up to the next tag.
    if ((codes & kSize) && rewriteEach(s, "\\fs", [](Str &out, const Str &in, size_t &next) {
            out.push_back('\\');
            size_t stop = next;
            while (stop < in.size() && in[stop] != ' ' && in[stop] != '<')
                ++stop;
            if (stop == in.size())
                next = in.size();
            else
                next = in[stop] == ' ' ? stop + 1 : stop;
        }, (joins.clear(), joins)))
        codes |= codesAround(s, joins, codes);
    // Indents with their value: a left indent of three digits, a first-line indent with a
    // sign and three digits.
    auto drop = [](size_t count) { return [count](Str &, const Str &in, size_t &next) { dropInput(in, next, count); }; };
    if ((codes & kLeft) && rewriteEach(s, "\\li", drop(3), (joins.clear(), joins)))
        codes |= codesAround(s, joins, codes);
    if ((codes & kFirst) && rewriteEach(s, "\\fi", drop(4), (joins.clear(), joins)))
        codes |= codesAround(s, joins, codes);
    if ((codes & kFont) && fontReferences(s, (joins.clear(), joins)))
        codes |= codesAround(s, joins, codes);

    // Bullet item: the marker group becomes <LI> and the paragraph tags go.
    if (codes & kBullet)
        if (const size_t p = findIn(s, "{\\pntext\\'b7\\tab}"); p != npos) {
            s.erase(p, 17);
            s.insert(p, "<LI>");
            // L - 7 characters from the fourth: the first three and the last four go.
            const size_t len = s.size();
            if (len > 7) {
                s.resize(len - 4);
                s.erase(0, 3);
            } else {
                s.clear();
            }
            if (const size_t q = findIn(s, "</P>"); q != npos)
                s.resize(q);
        }
    if (codes & kBrace) {
        outsideGroups(s, (joins.clear(), joins));
        codes |= codesAround(s, joins, codes);
    }
    if (codes & kEscape)
        rewriteEach(s, "\\'", [](Str &out, const Str &in, size_t &next) { escapedLetter(out, in, next); }, (joins.clear(), joins));

    if (underline)
        s.insert(s.size() >= 4 ? s.size() - 4 : 0, "</U>");
}

} // namespace

QByteArray convertLine(QByteArrayView line)
{
    Str s(line.data(), size_t(line.size()));
    convert(s);
    return QByteArray(s.data(), qsizetype(s.size()));
}

QByteArray convertDocument(const QByteArray &fileBytes)
{
    const QByteArray bytes = textfile::cutAtCtrlZ(fileBytes);
    QByteArray page;
    page.reserve(bytes.size() + bytes.size() / 8 + 256);
    page += "<HTML>\r\n<HEAD>\r\n<TITLE></TITLE>\r\n<META NAME=\"Velmora\"\r\n</HEAD>\r\n<BODY>\r\n";
    Str html; // one buffer for every line
    // Lines end with CR LF, LF or CR; a last line without an end still counts.
    const char *const begin = bytes.constData();
    const char *const end = begin + bytes.size();
    for (const char *line = begin; line < end;) {
        const char *stop = static_cast<const char *>(std::memchr(line, '\n', size_t(end - line)));
        if (!stop)
            stop = end;
        if (const void *cr = std::memchr(line, '\r', size_t(stop - line)))
            stop = static_cast<const char *>(cr);
        html.assign(line, size_t(stop - line));
        convert(html);
        if (!html.empty()) {
            page.append(html.data(), qsizetype(html.size()));
            page += "\r\n";
        }
        if (stop < end && *stop == '\r' && stop + 1 < end && stop[1] == '\n')
            ++stop;
        line = stop + 1;
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
