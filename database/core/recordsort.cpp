#include "database/core/recordsort.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>

#include <algorithm>
#include <numeric>

namespace recordsort {
namespace {

// French collation whatever the user's own locale: the program's texts are French.
// Numeric mode compares runs of digits by value.
const QCollator &frenchCollator()
{
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::French, QLocale::France)};
        c.setCaseSensitivity(Qt::CaseSensitive); // case weighs last, between equal letters
        c.setNumericMode(true);
        c.setIgnorePunctuation(false);
        return c;
    }();
    return collator;
}

} // namespace

int compareKeys(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return int(!a.isEmpty()) - int(!b.isEmpty());
    return frenchCollator().compare(a, b);
}

void sortRecords(Table &table, int field, bool descending)
{
    // Rows after the last one holding any text are no records yet (Enter past the last
    // record makes one): they take no part in the sort, which would bring them to the top,
    // and the count comes back to the last record held.
    while (table.lastRecord() > 0 && table.rowIsEmpty(table.lastRecord()))
        table.NbFiches = table.lastRecord() - 1;
    const int last = table.lastRecord();
    if (last < 2 || field < 1 || field > Table::kMaxFields)
        return;
    // One collation key per record, computed once: comparing keys is a byte comparison,
    // far cheaper than collating the two texts at every comparison of the sort.
    const QCollator &collator = frenchCollator();
    std::vector<QCollatorSortKey> keys;
    std::vector<bool> empty(size_t(last) + 1, false);
    keys.reserve(size_t(last) + 1);
    keys.push_back(collator.sortKey(QString()));
    for (int r = 1; r <= last; ++r) {
        const QString text = table.cell(field, r);
        empty[size_t(r)] = text.isEmpty();
        keys.push_back(collator.sortKey(text));
    }
    auto less = [&](int x, int y) {
        if (empty[size_t(x)] || empty[size_t(y)])
            return empty[size_t(x)] && !empty[size_t(y)];
        return keys[size_t(x)].compare(keys[size_t(y)]) < 0;
    };
    std::vector<int> order(static_cast<size_t>(last));
    std::iota(order.begin(), order.end(), 1);
    if (descending)
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return less(y, x); });
    else
        std::stable_sort(order.begin(), order.end(), less);
    table.reorderRows(1, order);
}

} // namespace recordsort
