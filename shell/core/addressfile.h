// The sender address file "Velmora.adr": exactly four lines, each ended by CR LF, in
// Windows-1252. Reading and writing fail silently: a missing or unreadable file leaves the
// address as it was.
#pragma once

#include <QString>
#include <QStringList>

namespace addressfile {

constexpr int kLines = 4;

// Takes up to four lines of the file's bytes into `address`.
void parse(const QByteArray &bytes, QStringList &address);

// Reads up to four lines into `address` (which keeps a line the file lacks); lines after
// the fourth are ignored. Returns false when the file could not be read.
bool read(const QString &path, QStringList &address);

// Writes the four lines; returns false on failure (the old file is then left as it was).
bool write(const QString &path, const QStringList &address);

} // namespace addressfile
