#include "database/core/qvbformat.h"

#include "common/atomicsave.h"
#include "common/cp1252.h"
#include "common/filename.h"
#include "common/textfile.h"
#include "common/velmoraerror.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cstring>

namespace qvb {
namespace {

// Eight bytes at a time in the line scanner.
constexpr quint64 kOnes = 0x0101010101010101ULL;
constexpr quint64 kHighs = 0x8080808080808080ULL;

// The cells read for one row, kept as spans of the file until the row is complete, so
// that each row is decoded into the table in one piece.
struct PendingRow
{
    int row = -1;
    std::array<const char *, Table::kMaxFields> text{};
    std::array<qsizetype, Table::kMaxFields> length{};
    quint32 set = 0; // one bit per field read

    void flush(Table &table)
    {
        if (row < 0 || set == 0)
            return;
        std::array<int, Table::kMaxFields> lengths{};
        qsizetype total = 0;
        for (int f = 0; f < Table::kMaxFields; ++f) {
            lengths[f] = int((set >> f) & 1 ? length[f] : table.cellView(f + 1, row).size());
            total += lengths[f];
        }
        QString out(total, Qt::Uninitialized);
        char16_t *d = reinterpret_cast<char16_t *>(out.data());
        for (int f = 0; f < Table::kMaxFields; ++f) {
            if ((set >> f) & 1) {
                cp1252::decodeInto(text[f], length[f], d);
            } else {
                // A row met again further down the file keeps the cells read before.
                const QStringView old = table.cellView(f + 1, row);
                std::copy(old.utf16(), old.utf16() + old.size(), d);
            }
            d += lengths[f];
        }
        table.setRowText(row, std::move(out), lengths);
        set = 0;
    }

    void put(Table &table, int r, int field, const char *s, qsizetype n)
    {
        if (r != row) {
            flush(table);
            row = r;
        }
        text[field - 1] = s;
        length[field - 1] = n;
        set |= 1u << (field - 1);
    }
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A number in hexadecimal: at least one digit and nothing else (no blank, no sign).
bool parseHex(const char *s, qsizetype n, int &value)
{
    if (n <= 0)
        return false;
    int v = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const int d = hexDigit(s[i]);
        if (d < 0)
            return false;
        v = v * 16 + d;
    }
    value = v;
    return true;
}

const char *findLineEnd(const char *p, const char *end)
{
    // Every byte above CR is text: skip eight bytes at a time while none is at or below CR,
    // then one comparison per character up to the one that is.
    for (;;) {
        while (end - p >= 8) {
            quint64 w;
            std::memcpy(&w, p, 8);
            if (((w - kOnes * ('\r' + 1)) & ~w & kHighs) != 0)
                break;
            p += 8;
        }
        while (p<end &&static_cast<unsigned char>(*p)> '\r')
            ++p;
        if (p >= end || *p == '\r' || *p == '\n')
            return p;
        ++p;
    }
}

const char *skipLineEnd(const char *eol, const char *end)
{
    if (eol < end && *eol == '\r' && eol + 1 < end && eol[1] == '\n')
        return eol + 2;
    return eol < end ? eol + 1 : end;
}

// The width line: groups of three characters; what follows each group is held to 255
// characters, and reading stops when nothing follows.
void parseWidths(const char *line, qsizetype length, Table &table)
{
    qsizetype start = 0;
    qsizetype len = length;
    for (int f = 1; f <= Table::kMaxFields; ++f) {
        const qsizetype group = std::min<qsizetype>(3, len);
        int w = 0;
        if (parseHex(line + start, group, w))
            table.setWidth(f, w);
        start += group;
        len = std::min<qsizetype>(len - group, 255);
        if (len <= 0)
            break;
    }
}

// A cell line: row in four hexadecimal digits, then (of at most 255 characters held)
// the column in two and at most 253 of text. A prefix that does not read as hexadecimal
// leaves row and column as the last line that did.
// Returns false for a cell with text that the table cannot hold (left out).
bool parseCell(const char *line, qsizetype length, int &row, int &col, PendingRow &pending, Table &table)
{
    const qsizetype rowLen = std::min<qsizetype>(4, length);
    const char *held = line + rowLen;
    const qsizetype heldLen = std::min<qsizetype>(length - rowLen, 255);
    const qsizetype colLen = std::min<qsizetype>(2, heldLen);
    int r = 0;
    int c = 0;
    const bool parsed = parseHex(line, rowLen, r) && parseHex(held, colLen, c);
    if (parsed) {
        row = r;
        col = c;
    }
    const qsizetype textLen = heldLen - colLen;
    // Column 0 is the row labels, which the file never holds: such a cell is passed over,
    // as are cells beyond the table. A broken line with no text would only empty the
    // cell before it.
    const bool inside = col >= 1 && col <= Table::kMaxFields && row < Table::kRowCount;
    if (inside && (parsed || textLen > 0))
        pending.put(table, row, col, held + colLen, textLen);
    table.NbFiches = std::max(table.NbFiches, row);
    table.NbChamps = std::max(table.NbChamps, col);
    return inside || textLen <= 0;
}

char *putHex(char *d, int value, int digits)
{
    static const char kDigits[] = "0123456789ABCDEF";
    char buf[8];
    int n = 0;
    do {
        buf[n++] = kDigits[value & 0xF];
        value >>= 4;
    } while (value > 0);
    for (int i = n; i < digits; ++i)
        *d++ = '0';
    while (n > 0)
        *d++ = buf[--n];
    return d;
}

} // namespace

void parse(const QByteArray &bytes, Table &table, int *leftOut)
{
    if (leftOut)
        *leftOut = 0;
    table.NbFiches = 0;
    table.NbChamps = 0;
    const char *p = bytes.constData();
    const qsizetype z = bytes.indexOf(textfile::kCtrlZ);
    const char *end = p + (z < 0 ? bytes.size() : z);
    if (p >= end)
        return;
    const char *eol = findLineEnd(p, end);
    parseWidths(p, eol - p, table);
    p = skipLineEnd(eol, end);
    int row = 0;
    int col = 0;
    PendingRow pending;
    while (p < end) {
        eol = findLineEnd(p, end);
        // A blank line holds no cell; taking it as one would empty the cell before it.
        if (eol > p && !parseCell(p, eol - p, row, col, pending, table) && leftOut)
            ++*leftOut;
        p = skipLineEnd(eol, end);
    }
    pending.flush(table);
}

QByteArray serialize(const Table &table)
{
    const int lastRow = table.lastRecord();
    const int lastField = table.lastField();
    // Room for every line at once (cut to what was written at the end): half a million
    // cells are then written without a reallocation.
    qsizetype size = 3 * 32 + 32 + 2;
    for (int r = 0; r <= lastRow; ++r)
        size += table.rowLength(r) + (table.rowIsEmpty(r) ? 0 : 8 * lastField);
    QByteArray out(size, Qt::Uninitialized);
    char *d = out.data();
    for (int f = 1; f <= Table::kMaxFields; ++f)
        d = putHex(d, std::min(table.width(f), int(Table::kMaxWidth)), 3);
    *d++ = '\r';
    *d++ = '\n';
    QByteArray rowBytes;
    for (int r = 0; r <= lastRow; ++r) {
        const QStringView row = table.rowText(r);
        if (row.isEmpty())
            continue;
        rowBytes.resize(row.size());
        cp1252::encodeInto(row, rowBytes.data());
        char prefix[4];
        putHex(prefix, r, 4);
        for (int f = 1; f <= lastField; ++f) {
            const QStringView text = table.cellView(f, r);
            if (text.isEmpty())
                continue;
            std::memcpy(d, prefix, 4);
            d = putHex(d + 4, f, 2);
            std::memcpy(d, rowBytes.constData() + (text.utf16() - row.utf16()), size_t(text.size()));
            d += text.size();
            *d++ = '\r';
            *d++ = '\n';
        }
    }
    out.truncate(d - out.data());
    return out;
}

void load(const QString &path, Table &table, int *leftOut)
{
    table.NbFiches = 0;
    table.NbChamps = 0;
    if (!QFileInfo::exists(path))
        throw VelmoraError::fileNotFound();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw VelmoraError::cannotOpen(path);
    // Read in place from the mapped file when the system allows it (no copy of the bytes).
    if (f.size() > 0) {
        if (const uchar *mapped = f.map(0, f.size())) {
            parse(QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), f.size()), table, leftOut);
            f.unmap(const_cast<uchar *>(mapped));
            return;
        }
    }
    parse(f.readAll(), table, leftOut);
}

void save(const QString &path, const Table &table) { atomicsave::write(path, serialize(table)); }

QString normalizedName(const QString &path) { return filename::withExtension(path, u".qvb"); }

CellPosition firstUnencodable(const Table &table)
{
    for (int r = 0; r <= table.lastRecord(); ++r) {
        if (table.rowIsEmpty(r))
            continue;
        // Most rows are passed at once; only a row with a character the code page lacks is
        // searched cell by cell.
        if (cp1252::canEncode(table.rowText(r)))
            continue;
        for (int f = 1; f <= table.lastField(); ++f) {
            for (QChar ch : table.cellView(f, r)) {
                unsigned char b;
                if (!cp1252::encodeChar(ch, b))
                    return {f, r, ch};
            }
        }
    }
    return {};
}

} // namespace qvb
