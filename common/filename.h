// File names as the windows save them.
#pragma once

#include <QString>
#include <QStringView>

namespace filename {

// `path` with its file-name part cut before its first "." (the folders are left alone, dots
// and all), then `extension` (".qvb" and the like) appended.
QString withExtension(const QString &path, QStringView extension);

} // namespace filename
