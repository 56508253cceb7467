// Makes a folder refuse new files for the length of a test, even when the tests run as
// root (where permission bits do not stop writes): the immutable flag is tried then.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

class ReadOnlyDir
{
public:
    explicit ReadOnlyDir(const QString &path) : m_path(path)
    {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        if (refusesWrites())
            return;
        m_immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
    }
    ~ReadOnlyDir()
    {
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // False when the folder could not be made read-only on this machine.
    bool active() const { return refusesWrites(); }

private:
    bool refusesWrites() const
    {
        QFile probe(QDir(m_path).filePath(QStringLiteral(".probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            probe.remove();
            return false;
        }
        return true;
    }
    QString m_path;
    bool m_immutable = false;
};
