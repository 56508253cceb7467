// The zipped OpenDocument spreadsheet ".ods": a zip package of XML parts ("mimetype",
// content.xml, styles.xml, meta.xml, settings.xml, META-INF/manifest.xml) holding the same
// XML as the flat ".qvc" workbook, split in parts. Reading joins the parts back into one
// flat document for the ".qvc" reader; writing splits what the ".qvc" writer makes.
#pragma once

#include <QByteArray>
#include <QString>

namespace sheet {

class Workbook;

namespace ods {

// What the parts of one package may weigh once decompressed, all together: a small file
// that would inflate beyond this is refused before it fills the memory.
inline constexpr qint64 kMaxUnpackedBytes = 256LL * 1024 * 1024;

// True when `bytes` begin as a zip archive does.
bool isPackage(const QByteArray &bytes);

// The one flat OpenDocument the parts of `package` make: its meta data, settings, font
// declarations, styles, automatic styles, master pages and body under one office:document
// root. Throws VelmoraError with a French message on a damaged, encrypted, oversized or
// foreign package.
QByteArray flatten(const QByteArray &package);

// The package of a flat OpenDocument spreadsheet: "mimetype" first and stored, then
// content.xml, styles.xml, meta.xml, settings.xml, the charts as embedded objects and
// META-INF/manifest.xml. Throws VelmoraError when `flat` is not such a document.
QByteArray pack(QByteArray flat);

// As qvc::read and qvc::write, for the package's bytes.
void read(const QByteArray &bytes, Workbook &into, int *leftOut = nullptr);
QByteArray write(const Workbook &book);

} // namespace ods

// Workbook files whatever their form: a file is read as a package or as flat XML by what it
// holds, and written as a package when its name ends in ".ods", else as a ".qvc".
namespace workbookfile {

bool isOdsName(const QString &path);

// Throws "Fichier introuvable" / "Ne peut ouvrir le fichier %s" / the format's error;
// `into` is then left as it was.
void read(const QString &path, Workbook &into, int *leftOut = nullptr);
// Written through atomicsave: a failure leaves the file as it was; success clears Modified.
void write(const QString &path, Workbook &book);

} // namespace workbookfile
} // namespace sheet
