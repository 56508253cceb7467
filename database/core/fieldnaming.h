// Writing back the names edited in the field dialog. The dialog lists the named fields
// only, so each entry remembers the field it came from: an edited entry renames that very
// field (never the one at its list position, which would put names over the wrong data
// when an unnamed field lies before it), and a new entry names the first unnamed field.
#pragma once

#include "database/core/table.h"

#include <QList>

namespace fieldnaming {

struct Entry
{
    QString text; // as entered, blanks included
    int field = 0; // the field it was read from; 0 for a new entry
};

// The dialog's list for `table`: the trimmed names of the named fields in column order.
QList<Entry> entries(const Table &table);

// Names the fields as the entries say; an entry left as listed keeps the name as stored
// (blanks included). NbChamps grows to the highest field named.
void apply(Table &table, const QList<Entry> &entries);

} // namespace fieldnaming
