// Sorting the records of a table on one field. Keys compare after upper-casing the letters
// a to z only, character by character by their Windows-1252 codes, a prefix before the
// longer text, so "é" comes after "Z" and "10" before "9".
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
