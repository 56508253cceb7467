// Reading and writing the program's 8-bit text files: bytes up to the physical end or the
// first Ctrl-Z (code 26), lines ended by CR LF, LF or CR, written back with CR LF.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace textfile {

constexpr char kCtrlZ = 26;

// Whole file, cut at the first Ctrl-Z. Throws VelmoraError: "Fichier introuvable" when the
// file does not exist, "Ne peut ouvrir le fichier %s" when it cannot be read.
QByteArray readBytes(const QString &path);

// Same, but returns false instead of throwing (for the files that fail silently).
bool tryReadBytes(const QString &path, QByteArray &bytes);

// Cuts `bytes` at its first Ctrl-Z.
QByteArray cutAtCtrlZ(const QByteArray &bytes);

// Splits into lines; CR LF, lone LF and lone CR all end a line. A last line without an
// ending counts; an empty input gives no line.
QList<QByteArray> splitLines(const QByteArray &bytes);

// Decoded lines of a Windows-1252 file (readBytes + splitLines + cp1252).
QStringList readLines(const QString &path);

// Lines encoded in Windows-1252, each followed by CR LF.
QByteArray joinCrLf(const QStringList &lines);

} // namespace textfile
