// Field markers in letters and envelopes: "[" + a field's trimmed name + "]" stands for
// that field's value in a record.
#pragma once

#include "database/core/table.h"

namespace fieldmarkers {

QString marker(const Table &table, int field);

// For fields 1..NbChamps in column order, the first occurrence of the field's marker in
// `text` (as changed so far) becomes the record's trimmed value. Markers are matched
// exactly: case and accents count. A record outside the table has empty values.
void replaceMarkers(const Table &table, int record, QString &text);

} // namespace fieldmarkers
