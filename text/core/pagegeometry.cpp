#include "text/core/pagegeometry.h"

#include <cmath>

namespace pagegeometry {

namespace {
constexpr int kSideMargin = 10; // room kept on each side of a page fitted across
}

MmPoint envelopeLine(bool sender, int line)
{
    const int index = qBound(1, line, 4) - 1;
    return sender ? MmPoint{5, 5 + 5 * index} : MmPoint{110, 50 + 5 * index};
}

QRect pageRectangle(int pageWidth, int pageHeight, int pxPerMmX, int pxPerMmY, const Margins &m)
{
    const int left = m.left * pxPerMmX;
    const int top = m.top * pxPerMmY;
    const int right = pageWidth - m.right * pxPerMmX;
    const int bottom = pageHeight - m.bottom * pxPerMmY;
    return QRect(left, top, right - left, bottom - top);
}

Preview previewLayout(int width, int height, int pageWidthPx, int pageHeightPx)
{
    Preview p;
    p.closeLeft = width - 120;
    p.panelHeight = height - 100;
    const double ratio = pageHeightPx > 0 ? double(pageWidthPx) / double(pageHeightPx) : 0.0;
    p.panelWidth = int(std::nearbyint(ratio * p.panelHeight));
    // A landscape page would overflow the window at full height: fit it across instead.
    const int widest = width - 2 * kSideMargin;
    if (p.panelWidth > widest && ratio > 0) {
        p.panelWidth = widest;
        p.panelHeight = int(std::nearbyint(widest / ratio));
    }
    p.panelLeft = (width - p.panelWidth) / 2;
    return p;
}

} // namespace pagegeometry
