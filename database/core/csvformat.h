// Databases as CSV: the field names as the first row, then one row per record. Written in
// UTF-8 with ";" between fields and RFC 4180 quoting; read from UTF-8 or Windows-1252 with
// ";", "," or tab between fields, so that address books exported elsewhere come in.
#pragma once

#include "common/csv.h"
#include "database/core/table.h"

#include <QByteArray>

namespace csv {

// Names of fields 1..NbChamps, then records 1..NbFiches, each line ended by CR LF.
QByteArray serialize(const Table &table);

// Fills a fresh table: the first row gives the field names, the next ones the records.
// Throws VelmoraError (in French, with the line number) when the data do not fit a
// database (more than 32 fields, more than 16384 records, a text over 253 characters) or a
// quoted field is never closed.
// Line breaks inside a quoted field become blanks, as cells hold one line.
void parse(const QByteArray &bytes, Table &table);

} // namespace csv
