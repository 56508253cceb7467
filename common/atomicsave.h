// Every file the program writes goes through here: the bytes go to a temporary file in the
// same directory, are flushed, then renamed over the target, so a failure never leaves a
// half-written file and never touches the old one.
#pragma once

#include <QByteArray>
#include <QString>

class VelmoraError;

namespace atomicsave {

// Throws VelmoraError on failure: "Ne peut ouvrir le fichier %s" when the file cannot be
// made, else a sentence saying what happened to it with "Erreur E/S 101" beside it (see
// writeFailure). The file at `path`, if any, is then left as it was.
void write(const QString &path, const QByteArray &bytes);

// Same without throwing; returns false on failure.
bool tryWrite(const QString &path, const QByteArray &bytes);

// Writes all of `bytes` to the open descriptor `fd`; returns 0, or the system's error
// number (errno) of the write that failed.
int writeAll(int fd, const QByteArray &bytes);

// The error of a write to `path` that failed with the system's error number `osError`:
// "Disque plein : FICHIER n'a pas été écrit (l'ancien fichier est intact). Erreur E/S 101"
// for a full disk or quota, "Erreur d'écriture : ..." otherwise. `oldFileKept` says whether
// a file was there before (and is still there, untouched).
VelmoraError writeFailure(const QString &path, int osError, bool oldFileKept);

// Tests make every write fail as if the system had answered `osError` (ENOSPC for a full
// disk) until the object goes; nothing is written meanwhile.
class SimulatedWriteError
{
public:
    explicit SimulatedWriteError(int osError);
    ~SimulatedWriteError();
    SimulatedWriteError(const SimulatedWriteError &) = delete;
    SimulatedWriteError &operator=(const SimulatedWriteError &) = delete;

private:
    int m_previous;
};

} // namespace atomicsave
