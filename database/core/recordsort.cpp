#include "database/core/recordsort.h"

#include "common/cp1252.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace recordsort {
namespace {

// The character's place in the order: its Windows-1252 code after upper-casing a to z;
// a character the code page lacks sorts after every code it has.
char16_t orderCode(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u >= u'a' && u <= u'z')
        return char16_t(u - 32);
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    unsigned char b;
    if (cp1252::encodeChar(ch, b))
        return b;
    return char16_t(0x100 + (u & 0x7FFF));
}

std::u16string keyOf(QStringView text)
{
    std::u16string key(size_t(text.size()), u'\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        key[size_t(i)] = orderCode(text[i]);
    return key;
}

} // namespace

int compareKeys(const QString &a, const QString &b)
{
    return keyOf(a).compare(keyOf(b));
}

void sortRecords(Table &table, int field, bool descending)
{
    const int last = table.lastRecord();
    if (last < 2 || field < 1 || field > Table::kMaxFields)
        return;
    std::vector<std::u16string> keys(size_t(last) + 1);
    for (int r = 1; r <= last; ++r)
        keys[size_t(r)] = keyOf(table.cellView(field, r));
    std::vector<int> order(static_cast<size_t>(last));
    std::iota(order.begin(), order.end(), 1);
    if (descending)
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return keys[size_t(y)] < keys[size_t(x)]; });
    else
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return keys[size_t(x)] < keys[size_t(y)]; });
    table.reorderRows(1, order);
}

} // namespace recordsort
