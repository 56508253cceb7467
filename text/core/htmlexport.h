// HTML export of a text document: the RTF the text window writes (or the RTF of another
// program, or a plain-text file) made into a well-formed web page with the same text, the
// bold, italic and underline runs, the paragraph alignment and the bullet lists. Fonts,
// sizes, colours and indents are left to the reader's style. One pass over the bytes, no
// window: the window exports what it holds, the command line a file.
#pragma once

#include <QByteArray>
#include <QString>

namespace htmlexport {

// The page for the bytes of a document (RTF, or else plain text read as the window reads
// it): a UTF-8 page titled `title`, its paragraphs in <P> and its bullet paragraphs as <LI>
// inside <UL>, with <B>, <I> and <U> nested in that order and closed within each paragraph.
// Never fails: what cannot be read is left out, as the window does.
QByteArray convertDocument(const QByteArray &documentBytes, const QString &title = QString());

// The page's name: `documentPath` with the extension of its file name (from its last ".")
// replaced by ".htm", or ".htm" appended when the file name has no ".".
QString outputName(const QString &documentPath);

// The page's title for a document or page file: its file name without directory and
// extension.
QString titleOf(const QString &path);

// Writes the page of `documentBytes` to `outputPath` atomically (a failure leaves no page
// and never touches an existing one). Throws VelmoraError (code 32, said in words) when the page
// would replace `documentPath` itself, and the write errors.
void exportBytes(const QByteArray &documentBytes, const QString &documentPath, const QString &outputPath);

// Exports the file `documentPath` to `outputPath` (outputName(documentPath) when empty):
// the command line's conversion. Throws VelmoraError: "Fichier introuvable", "Ne peut
// ouvrir le fichier %s", and those of exportBytes.
void exportFile(const QString &documentPath, const QString &outputPath = QString());

} // namespace htmlexport
