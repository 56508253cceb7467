// Sorting the records of a table on one field, in French dictionary order: letters first,
// accents and then case weighing only between texts whose letters are equal (abricot,
// Abricot, éclair, école, Émile), runs of digits compared by their value (2, 9, 10, 100).
// An empty key is the smallest.
#pragma once

#include "database/core/table.h"

namespace recordsort {

// < 0, 0 or > 0 as `a` sorts before, with or after `b`.
int compareKeys(const QString &a, const QString &b);

// Sorts records 1..NbFiches on `field`, ascending or descending; every record takes part,
// one with an empty key being the smallest. Whole rows move, labels included; records with
// equal keys keep their order.
void sortRecords(Table &table, int field, bool descending);

} // namespace recordsort
