#include "common/filename.h"

namespace filename {

QString withExtension(const QString &path, QStringView extension)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.indexOf(u'.', slash + 1);
    return (dot >= 0 ? path.left(dot) : path) + extension.toString();
}

} // namespace filename
