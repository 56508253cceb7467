// The ".qva" file: Windows-1252 text, one agenda line per text line. Reading splits at
// CR LF, lone CR and lone LF and stops at the first NUL (or Ctrl-Z, the end mark of the
// program's text files); writing ends every line, the last too, with CR LF.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class AgendaList;

namespace agendafile {

QStringList parse(const QByteArray &bytes);

// Throws VelmoraError "Ne peut ouvrir le fichier <path>" when the file cannot be read.
QStringList read(const QString &path);

// The file's bytes; `lossless` tells whether every character had a Windows-1252 byte and
// none would end a line or the file on reading (CR, LF, NUL, Ctrl-Z): the others become "?",
// so that what is written always reads back as the same lines.
QByteArray serialise(const AgendaList &list, bool *lossless = nullptr);

// Writes through the atomic save: the old file stays whole when this fails. Throws
// VelmoraError "Ne peut créer le fichier <path>" or "Erreur E/S <n>".
void write(const QString &path, const QByteArray &bytes);

// The name a save uses: in the file-name part (after the last "/"), everything from its
// first "." is removed, then ".qva" is appended. Directories are never touched.
QString saveName(const QString &path);

} // namespace agendafile
