#include "common/datafiles.h"

#include "common/atomicsave.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace datafiles {

QString userDataDir()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/velmora");
}

namespace {

// Copies `from` to `to` through the atomic writer; false when anything fails.
bool copyIn(const QString &from, const QString &to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFile::NoError)
        return false;
    return QDir().mkpath(QFileInfo(to).path()) && atomicsave::tryWrite(to, bytes);
}

} // namespace

QString readPath(const QString &name)
{
    const QString mine = QDir(userDataDir()).filePath(name);
    if (QFileInfo::exists(mine))
        return mine;
    QStringList sources{QDir::current().filePath(name)};
    if (QCoreApplication::instance())
        sources.append(QDir(QCoreApplication::applicationDirPath()).filePath(name));
    for (const QString &source : std::as_const(sources)) {
        if (!QFileInfo(source).isFile())
            continue;
        return copyIn(source, mine) ? mine : source;
    }
    return mine;
}

QString writePath(const QString &name)
{
    const QString dir = userDataDir();
    QDir().mkpath(dir);
    return QDir(dir).filePath(name);
}

} // namespace datafiles
