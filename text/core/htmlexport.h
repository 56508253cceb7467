// HTML export of a text document: the document's file on disk (the RTF the editor wrote) is
// turned into a web page line by line, with a fixed set of textual substitutions aimed at
// the RTF our editor writes (one paragraph per line). Works on 8-bit bytes, no window.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace htmlexport {

// Converts one line (without its line end) into its HTML line; an empty result means the
// line writes nothing. Pure: no state is carried from one line to the next.
// Throws VelmoraError ("'$zz' n'est pas une valeur entière correcte") when an escape \'
// is not followed by a hexadecimal code.
QByteArray convertLine(QByteArrayView line);

// The whole page for the bytes of a document file: the six header lines, the converted
// lines that are not empty, the two closing lines, each followed by CR LF. Reading stops
// at the first Ctrl-Z. Throws like convertLine.
QByteArray convertDocument(const QByteArray &fileBytes);

// The page's name: `documentPath` with the extension of its file name (from its last ".")
// replaced by ".htm", or ".htm" appended when the file name has no ".".
QString outputName(const QString &documentPath);

// Exports the file `documentPath` to `outputPath` (outputName(documentPath) when empty).
// The page is written atomically, so a failure leaves no page and never touches an existing
// one. Throws VelmoraError: "Erreur E/S 6" for an empty document name (never saved),
// "Fichier introuvable", "Ne peut ouvrir le fichier %s", "Erreur E/S 32" when the page
// would replace the document itself, and the conversion error of convertLine.
void exportFile(const QString &documentPath, const QString &outputPath = QString());

} // namespace htmlexport
