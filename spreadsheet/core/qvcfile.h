// The workbook file ".qvc": a flat OpenDocument spreadsheet (one XML file) holding sheets,
// cells with their formulas (OpenFormula) and cached values, cell styles, column widths,
// row heights, frozen panes and charts. Unknown content is skipped.
#pragma once

#include <QByteArray>
#include <QString>

namespace sheet {

class Workbook;

namespace qvc {

// Reads `bytes` into `into` (its content replaced, its observers kept, Modified cleared).
// Throws VelmoraError with a French message on input that is not a spreadsheet document;
// `into` is then left as it was. `leftOut`, when given, receives how many cells with
// content could not be taken as they were (beyond column IV or row 1048576, or a number
// that does not read).
void read(const QByteArray &bytes, Workbook &into, int *leftOut = nullptr);
QByteArray write(const Workbook &book);

// File forms: readFile throws "Fichier introuvable" / "Ne peut ouvrir le fichier %s" / the
// format error; writeFile goes through atomicsave and clears Modified on success.
void readFile(const QString &path, Workbook &into, int *leftOut = nullptr);
void writeFile(const QString &path, Workbook &book);

} // namespace qvc
} // namespace sheet
