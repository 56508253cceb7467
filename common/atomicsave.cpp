#include "common/atomicsave.h"

#include "common/velmoraerror.h"

#include <QSaveFile>

namespace atomicsave {

void write(const QString &path, const QByteArray &bytes)
{
    QSaveFile f(path);
    // Never fall back to writing in place: that is what would leave a truncated file.
    f.setDirectWriteFallback(false);
    if (!f.open(QIODevice::WriteOnly))
        throw VelmoraError::cannotOpen(path);
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        throw VelmoraError::ioError(101); // disk write error
    }
    if (!f.commit())
        throw VelmoraError::ioError(101);
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

} // namespace atomicsave
