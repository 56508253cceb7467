// Small file helpers shared by tests that lay out folders and read back what was written.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace testfiles {

// Writes `bytes` to `path`; false when the file could not be written.
inline bool spit(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The file's bytes, or "<absent>" when it cannot be read.
inline QByteArray slurp(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

} // namespace testfiles
