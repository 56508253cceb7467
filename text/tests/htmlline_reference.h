// A deliberately naive version of the HTML line converter, written step by step with
// 1-based Pos/Delete/Insert/Copy and every search restarted from the start of the line.
// The production converter is optimised to run in linear time; tests and the fuzz target
// compare the two on many lines to catch any drift. Slow on long lines: keep inputs short.
#pragma once

#include <QByteArray>

#include <stdexcept>
#include <string>

namespace reference {

using S = std::string;

inline long pos(const S &sub, const S &s) // 1-based, 0 when absent
{
    const auto p = s.find(sub);
    return p == S::npos ? 0 : long(p) + 1;
}
inline void del(S &s, long p, long n)
{
    if (p < 1 || p > long(s.size()) || n <= 0)
        return;
    s.erase(size_t(p - 1), size_t(n));
}
inline void ins(const S &x, S &s, long p)
{
    if (p < 1)
        p = 1;
    if (p > long(s.size()) + 1)
        p = long(s.size()) + 1;
    s.insert(size_t(p - 1), x);
}
inline S copy(const S &s, long p, long n)
{
    if (p < 1)
        p = 1;
    if (n <= 0 || p > long(s.size()))
        return S();
    return s.substr(size_t(p - 1), size_t(n));
}

struct BadEscape : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

inline QByteArray convertLine(const QByteArray &line)
{
    S s(line.constData(), size_t(line.size()));
    bool bold = false, italic = false, underline = false;
    long p;
    if (s.empty())
        return QByteArray();
    if (pos("\\par \\plain", s) > 0)
        del(s, 6, 7);
    if (copy(s, 1, 5) == "\\par ")
        s = "<P>" + copy(s, 6, 1 << 30) + "</P>";
    if ((p = pos("\\pard", s)) > 0)
        s = "<P>" + copy(s, p + 5, 1 << 30);
    if (s.size() > 3 && pos("</P>", s) == 0)
        s += "</P>";
    if (copy(s, 1, 1) == "{")
        s.clear();
    if (copy(s, 1, 4) == "<P>}")
        s.clear();
    if ((p = pos("\\qc", s)) > 0) {
        del(s, p, 3);
        const long L = long(s.size());
        s = copy(s, 1, p - 1) + "<CENTER>" + copy(s, p, L - 7) + "</CENTER>" + "</P>";
    }
    if ((p = pos("\\qr", s)) > 0) {
        del(s, p, 3);
        const long L = long(s.size());
        s = copy(s, 1, 2) + " ALIGN=\"RIGHT\"" + copy(s, 3, L - 6) + "</P>";
    }
    bool ulFound;
    do {
        if ((p = pos("\\b ", s)) > 0) { bold = true; del(s, p, 3); ins("<B>", s, p); }
        if ((p = pos("\\i ", s)) > 0) { italic = true; del(s, p, 3); ins("<I>", s, p); }
        ulFound = (p = pos("\\ul ", s)) > 0;
        if (ulFound) { underline = true; del(s, p, 4); ins("<U>", s, p); }
    } while (ulFound);
    while ((p = pos("\\plain", s)) > 0) {
        del(s, p, 7);
        if (bold) { ins("</B>", s, p); bold = false; }
        if (underline) { ins("</U>", s, p); underline = false; }
        if (italic) { ins("</I>", s, p); italic = false; }
    }
    while ((p = pos("\\fs", s)) > 0) {
        S rest;
        for (long i = p; i <= long(s.size()); ++i) {
            if (s[size_t(i - 1)] == ' ') { rest = copy(s, i + 1, 1 << 30); break; }
            if (s[size_t(i - 1)] == '<') { rest = copy(s, i, 1 << 30); break; }
        }
        s = copy(s, 1, p) + rest;
    }
    while ((p = pos("\\li", s)) > 0)
        del(s, p, 6);
    while ((p = pos("\\fi", s)) > 0)
        del(s, p, 7);
    bool f3Found;
    do {
        for (const char *f : {"f0\\", "f1\\", "f2\\"})
            if ((p = pos(f, s)) > 0)
                del(s, p, 3);
        f3Found = (p = pos("f3\\", s)) > 0;
        if (f3Found)
            del(s, p, 3);
    } while (f3Found);
    if ((p = pos("{\\pntext\\'b7\\tab}", s)) > 0) {
        del(s, p, 17);
        ins("<LI>", s, p);
        const long L = long(s.size());
        s = copy(s, 4, L - 7);
        long q;
        if ((q = pos("</P>", s)) > 0)
            s = copy(s, 1, q - 1);
    }
    if (pos("{", s) > 0) {
        S kept;
        long depth = 0;
        for (char c : s) {
            if (c == '{') ++depth;
            if (depth == 0) kept += c;
            if (c == '}') --depth;
        }
        s = kept;
    }
    while ((p = pos("\\'", s)) > 0) {
        const S hex = copy(s, p + 2, 2);
        bool ok = !hex.empty();
        int code = 0;
        for (char c : hex) {
            int v = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                  : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
            if (v < 0) ok = false;
            code = code * 16 + v;
        }
        if (!ok)
            throw BadEscape(hex);
        del(s, p, 4);
        const char *e = nullptr;
        switch (code) {
        case 0xE0: e = "&agrave;"; break; case 0xE2: e = "&acirc;"; break; case 0xE4: e = "&auml;"; break;
        case 0xE8: e = "&egrave;"; break; case 0xE9: e = "&eacute;"; break; case 0xEB: e = "&euml;"; break;
        case 0xEE: e = "&icirc;"; break; case 0xEF: e = "&iuml;"; break; case 0xF4: e = "&ocirc;"; break;
        case 0xF6: e = "&ouml;"; break; case 0xF9: e = "&ugrave;"; break; case 0xFB: e = "&ucirc;"; break;
        case 0xFC: e = "&uuml;"; break; default: break;
        }
        if (e)
            ins(e, s, p);
    }
    if (underline) {
        const long L = long(s.size());
        s = copy(s, 1, L - 4) + "</U>" + copy(s, L - 3, 4);
    }
    return QByteArray(s.data(), qsizetype(s.size()));
}

} // namespace reference
