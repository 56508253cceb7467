// Hints of menu items and toolbar controls: "short|long". The short part (before the first
// "|") is the tooltip; the long part (after it, or the whole hint without "|") goes to the
// status bar.
#pragma once

#include <QString>

namespace hint {
QString shortPart(const QString &hint);
QString longPart(const QString &hint);
} // namespace hint
