// What RTF's control symbols stand for: shared by the document reader and the HTML
// exporter, which tokenize RTF each their own way (the exporter never builds a document).
#pragma once

namespace rtfsymbols {

// The value of a hexadecimal digit, -1 for any other character.
inline int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The byte of a "\'hh" symbol whose two digits start at `p` (before `end`); -1 when they
// are missing or not hexadecimal.
inline int hexByte(const char *p, const char *end)
{
    if (end - p < 2)
        return -1;
    const int hi = hexValue(p[0]);
    const int lo = hexValue(p[1]);
    return hi >= 0 && lo >= 0 ? hi * 16 + lo : -1;
}

// The character a control symbol puts in the text: "\~" a non-breaking space, "\_" a
// non-breaking hyphen, "\-" an optional hyphen, and a tab; 0 for the others.
inline char16_t character(char c)
{
    switch (c) {
    case '~': return 0x00A0;
    case '_': return 0x2011;
    case '-': return 0x00AD;
    case '\t': return u'\t';
    default: return 0;
    }
}

} // namespace rtfsymbols
