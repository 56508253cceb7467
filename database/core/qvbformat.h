// The ".qvb" file of a database: a width line (32 upper-case hexadecimal widths of at
// least three digits), then one line per non-empty cell, "RRRRCC" + text, in Windows-1252
// with CR LF line ends, read up to the end of the file or a Ctrl-Z.
#pragma once

#include "database/core/table.h"

#include <QByteArray>
#include <QString>

namespace qvb {

// Reads a file's bytes into a fresh table: widths, names and records; the counts take the
// largest row and column read, even beyond the table (their cells are dropped). When
// `leftOut` is given it receives how many cells with text were dropped so.
void parse(const QByteArray &bytes, Table &table, int *leftOut = nullptr);

// The file's bytes: widths of fields 1..32 (at most "FFF"), then the non-empty cells of
// rows 0..NbFiches and fields 1..NbChamps.
QByteArray serialize(const Table &table);

// Reads `path` into `table`; throws VelmoraError when the file cannot be read (the table
// is then left empty).
void load(const QString &path, Table &table, int *leftOut = nullptr);

// Writes the table to `path` through the atomic save; throws VelmoraError on failure and
// then leaves the old file as it was.
void save(const QString &path, const Table &table);

// The name a database is saved under: the file-name part cut before its first "." (the
// directories are left alone), then ".qvb".
QString normalizedName(const QString &path);

// The first cell whose text Windows-1252 cannot hold, if any (field 0 when none).
struct CellPosition
{
    int field = 0;
    int row = 0;
    QChar character;
};
CellPosition firstUnencodable(const Table &table);

} // namespace qvb
