#include "database/core/fieldnaming.h"

#include <QSet>

namespace fieldnaming {

QList<Entry> entries(const Table &table)
{
    QList<Entry> out;
    for (int f : table.namedFields())
        out.append({table.name(f).trimmed(), f});
    return out;
}

void apply(Table &table, const QList<Entry> &list)
{
    QSet<int> claimed;
    for (const Entry &e : list)
        if (e.field >= 1 && e.field <= Table::kMaxFields)
            claimed.insert(e.field);
    int highest = 0;
    int next = 1;
    for (const Entry &e : list) {
        int f = e.field;
        if (f < 1 || f > Table::kMaxFields) {
            while (next <= Table::kMaxFields && (claimed.contains(next) || !table.name(next).trimmed().isEmpty()))
                ++next;
            if (next > Table::kMaxFields)
                continue; // no free field left: the dialog does not let this happen
            f = next;
            claimed.insert(f);
        }
        if (e.field != f || e.text != table.name(f).trimmed())
            table.setCell(f, 0, e.text);
        highest = std::max(highest, f);
    }
    table.NbChamps = std::max(table.NbChamps, highest);
}

} // namespace fieldnaming
