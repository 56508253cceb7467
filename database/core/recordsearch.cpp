#include "database/core/recordsearch.h"

#include "common/frenchformat.h"

namespace recordsearch {
namespace {

inline char16_t upper(char16_t u) { return (u >= u'a' && u <= u'z') ? char16_t(u - 32) : u; }

// Position of `needle` (already upper-cased a to z) in `hay` from `from`, comparing the
// hay upper-cased a to z; -1 when absent. No copy of the hay is made.
qsizetype indexOfAZ(QStringView hay, const QString &needle, qsizetype from)
{
    const qsizetype n = needle.size();
    const qsizetype last = hay.size() - n;
    const char16_t *h = hay.utf16();
    const char16_t *s = reinterpret_cast<const char16_t *>(needle.constData());
    // The first character is looked for in both cases at once.
    const char16_t first = s[0];
    const char16_t firstLower = (first >= u'A' && first <= u'Z') ? char16_t(first + 32) : first;
    for (qsizetype i = from; i <= last; ++i) {
        const char16_t c = h[i];
        if (c != first && c != firstLower)
            continue;
        qsizetype k = 1;
        while (k < n && upper(h[i + k]) == s[k])
            ++k;
        if (k == n)
            return i;
    }
    return -1;
}

} // namespace

int find(const Table &table, int field, const QString &text, int fromRow)
{
    if (text.isEmpty() || field < 1 || field > Table::kMaxFields)
        return 0;
    const QString needle = french::upperAZ(text);
    for (int r = std::max(fromRow, 0); r <= table.lastRecord(); ++r)
        if (indexOfAZ(table.cellView(field, r), needle, 0) >= 0)
            return r;
    return 0;
}

Replacement replace(Table &table, int field, const QString &text, const QString &replacement, int maxLength)
{
    Replacement result;
    if (text.isEmpty() || field < 1 || field > Table::kMaxFields)
        return result;
    const QString needle = french::upperAZ(text);
    for (int r = 1; r <= table.lastRecord(); ++r) {
        qsizetype at = indexOfAZ(table.cellView(field, r), needle, 0);
        if (at < 0)
            continue;
        const QString cell = table.cell(field, r);
        QString changed;
        qsizetype from = 0;
        int count = 0;
        while (at >= 0) {
            changed += QStringView(cell).mid(from, at - from);
            changed += replacement;
            from = at + needle.size();
            ++count;
            at = indexOfAZ(cell, needle, from);
        }
        changed += QStringView(cell).mid(from);
        if (changed.size() > maxLength) {
            ++result.skipped;
            continue;
        }
        table.setCell(field, r, changed);
        result.count += count;
        ++result.records;
    }
    return result;
}

} // namespace recordsearch
