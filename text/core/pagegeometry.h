// Where things go on paper and on the preview screen: the envelope's eight lines in
// millimetres, the page rectangle a text is printed into, and the preview window's parts.
#pragma once

#include <QRect>

namespace pagegeometry {

// Top-left corner, in millimetres from the printable origin, of an envelope line:
// `sender` lines 1-4 at the top left, recipient lines 1-4 lower right.
struct MmPoint
{
    int x = 0;
    int y = 0;
};
MmPoint envelopeLine(bool sender, int line);

// Margins of a text window's page, in millimetres.
struct Margins
{
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The page rectangle in printer pixels: the printable area of `pageWidth` x `pageHeight`
// pixels less the margins, each margin converted with a whole number of pixels per
// millimetre. x() + width() is the right edge, y() + height() the bottom edge.
QRect pageRectangle(int pageWidth, int pageHeight, int pxPerMmX, int pxPerMmY, const Margins &margins);

// The preview window's layout for a window of `width` x `height`: the "Fermer" button's
// left, and the page panel keeping the printer page's proportions (its width rounded to
// the nearest whole pixel, a half to the even neighbour), centred across. A page too wide
// for the window at that height (landscape) is fitted across the window instead.
struct Preview
{
    int closeLeft = 0;
    int panelLeft = 0;
    int panelWidth = 0;
    int panelHeight = 0;
};
Preview previewLayout(int width, int height, int pageWidthPx, int pageHeightPx);

} // namespace pagegeometry
