#include "common/datafiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace datafiles {

QString userDataDir()
{
    const QByteArray over = qgetenv("VELMORA_DATA_DIR");
    if (!over.isEmpty())
        return QString::fromLocal8Bit(over);
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.local/share/velmora");
    return dir;
}

QString readPath(const QString &name)
{
    const QString here = QDir::current().filePath(name);
    if (QFileInfo::exists(here))
        return here;
    return QDir(userDataDir()).filePath(name);
}

QString writePath(const QString &name, const QString &programDir)
{
    const QFileInfo dirInfo(programDir);
    if (!programDir.isEmpty() && dirInfo.isDir() && dirInfo.isWritable()) {
        const QFileInfo existing(QDir(programDir).filePath(name));
        if (!existing.exists() || existing.isWritable())
            return existing.filePath();
    }
    const QString dir = userDataDir();
    QDir().mkpath(dir);
    return QDir(dir).filePath(name);
}

} // namespace datafiles
