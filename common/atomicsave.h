// Every file the program writes goes through here: the bytes go to a temporary file in the
// same directory, are flushed, then renamed over the target, so a failure never leaves a
// half-written file and never touches the old one.
#pragma once

#include <QByteArray>
#include <QString>

namespace atomicsave {

// Throws VelmoraError ("Ne peut ouvrir le fichier %s" or "Erreur E/S %d") on failure;
// the file at `path`, if any, is then left as it was.
void write(const QString &path, const QByteArray &bytes);

// Same without throwing; returns false on failure.
bool tryWrite(const QString &path, const QByteArray &bytes);

} // namespace atomicsave
