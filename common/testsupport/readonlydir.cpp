#include "common/testsupport/readonlydir.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Sets or clears the immutable flag of `path`; false when the system refuses.
bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

} // namespace

ReadOnlyDir::ReadOnlyDir(const QString &path) : m_path(path)
{
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    if (!active())
        m_immutable = setImmutable(path, true);
}

ReadOnlyDir::~ReadOnlyDir()
{
    if (m_immutable)
        setImmutable(m_path, false);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool ReadOnlyDir::active() const
{
    QFile probe(QDir(m_path).filePath(QStringLiteral(".probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.close();
        probe.remove();
        return false;
    }
    return true;
}
