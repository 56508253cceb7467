#include "common/textfile.h"

#include "common/cp1252.h"
#include "common/velmoraerror.h"

#include <QFile>
#include <QFileInfo>

namespace textfile {

QByteArray cutAtCtrlZ(const QByteArray &bytes)
{
    const qsizetype z = bytes.indexOf(kCtrlZ);
    return z < 0 ? bytes : bytes.left(z);
}

bool tryReadBytes(const QString &path, QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    bytes = cutAtCtrlZ(f.readAll());
    return true;
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    if (!QFileInfo::exists(path))
        throw VelmoraError::fileNotFound();
    if (!f.open(QIODevice::ReadOnly))
        throw VelmoraError::cannotOpen(path);
    return cutAtCtrlZ(f.readAll());
}

QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.append(bytes.mid(start, i - start));
            if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(bytes.mid(start));
    return lines;
}

QStringList readLines(const QString &path)
{
    QStringList out;
    for (const QByteArray &line : splitLines(readBytes(path)))
        out.append(cp1252::decode(line));
    return out;
}

QByteArray joinCrLf(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        out += cp1252::encode(line);
        out += "\r\n";
    }
    return out;
}

} // namespace textfile
