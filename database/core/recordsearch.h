// Finding and replacing text in one field of the records, the letters a to z without
// regard to case and every other character exactly (so "é" does not find "É").
#pragma once

#include "database/core/table.h"

namespace recordsearch {

// The first record from `fromRow` to NbFiches whose cell in `field` contains `text`; 0 when
// none does or `text` is empty.
int find(const Table &table, int field, const QString &text, int fromRow);

struct Replacement
{
    int count = 0; // occurrences replaced
    int records = 0; // records changed
    int skipped = 0; // records left alone because the result would be too long
};

// In `field` of records 1..NbFiches, every occurrence of `text` (found left to right, a
// replaced part not searched again) becomes `replacement`. A record whose text would grow
// past `maxLength` characters is left as it was and counted in `skipped`.
Replacement replace(Table &table, int field, const QString &text, const QString &replacement,
                    int maxLength = Table::kMaxCellLength);

} // namespace recordsearch
