#include "common/atomicsave.h"

#include "common/velmoraerror.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <unistd.h>

namespace atomicsave {
namespace {

constexpr int kDiskWriteError = 101; // the run-time's code for a failed disk write

int &simulatedError()
{
    static int error = 0;
    return error;
}

} // namespace

int writeAll(int fd, const QByteArray &bytes)
{
    if (simulatedError() != 0)
        return simulatedError();
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC; // a regular file that takes nothing more is full
        p += n;
        left -= n;
    }
    return 0;
}

VelmoraError writeFailure(const QString &path, int osError, bool oldFileKept)
{
    const bool full = osError == ENOSPC || osError == EDQUOT;
    const QString what = full ? QStringLiteral("Disque plein") : QStringLiteral("Erreur d'écriture");
    const QString kept = oldFileKept ? QStringLiteral(" (l'ancien fichier est intact)") : QString();
    return VelmoraError(QStringLiteral("%1 : %2 n'a pas été écrit%3. %4")
                                .arg(what, path, kept, VelmoraError::ioError(kDiskWriteError).message()));
}

void write(const QString &path, const QByteArray &bytes)
{
    const bool existed = QFileInfo::exists(path);
    QSaveFile f(path);
    // Never fall back to writing in place: that is what would leave a truncated file.
    f.setDirectWriteFallback(false);
    if (!f.open(QIODevice::WriteOnly))
        throw VelmoraError::cannotOpen(path);
    // Straight to the descriptor, so that the system's reason for a failure (a full disk
    // above all) is known; the file's own buffer stays empty.
    int error = writeAll(f.handle(), bytes);
    // Some file systems only find out at the flush that the disk is full.
    if (error == 0 && ::fsync(f.handle()) != 0)
        error = errno;
    if (error != 0) {
        f.cancelWriting();
        f.commit(); // removes the temporary file
        throw writeFailure(path, error, existed);
    }
    errno = 0;
    if (!f.commit())
        throw writeFailure(path, errno, existed);
}

bool tryWrite(const QString &path, const QByteArray &bytes)
{
    try {
        write(path, bytes);
        return true;
    } catch (const VelmoraError &) {
        return false;
    }
}

SimulatedWriteError::SimulatedWriteError(int osError) : m_previous(simulatedError()) { simulatedError() = osError; }

SimulatedWriteError::~SimulatedWriteError() { simulatedError() = m_previous; }

} // namespace atomicsave
