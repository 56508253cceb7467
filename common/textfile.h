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

// Decoded lines of a text file of any origin: UTF-8 when detect() says so, else Windows-1252.
QStringList readTextLines(const QString &path);

// Lines encoded in Windows-1252, each followed by CR LF.
QByteArray joinCrLf(const QStringList &lines);

// The encoding of a plain-text file as read, so that saving writes it back the same way.
// Files of other programs are often UTF-8; the program's own are Windows-1252.
enum class Encoding { Windows1252, Utf8, Utf8WithBom };
// UTF-8 when the bytes start with its byte-order mark, or hold non-ASCII bytes that all form
// valid UTF-8; otherwise Windows-1252 (plain ASCII reads the same either way).
Encoding detect(const QByteArray &bytes);
// The text of `bytes` in `encoding` (a byte-order mark is dropped).
QString decode(const QByteArray &bytes, Encoding encoding);
// `text` in `encoding`, with the byte-order mark when the encoding has one.
QByteArray encode(const QString &text, Encoding encoding);

} // namespace textfile
