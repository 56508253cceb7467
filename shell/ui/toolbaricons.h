// The toolbar's pictures, drawn in one flat style at any size (no image files to ship).
#pragma once

#include <QIcon>
#include <QString>

namespace toolbaricons {
// The picture of the toolbar control with that component name ("OpenBtn", "BoldButton"...).
QIcon icon(const QString &component);
// The program's own picture (splash, about box, window icon).
QIcon programIcon();
QPixmap programPixmap(int size);
} // namespace toolbaricons
