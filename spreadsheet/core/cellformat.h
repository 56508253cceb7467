// The look of a cell: font, alignment, wrap and number format. The codes of the horizontal
// alignment are the control's: 1 general (numbers right, text left), 2 left, 3 centre, 4 right.
#pragma once

#include <QString>

namespace sheet {

enum HorizontalAlignment : int {
    AlignGeneral = 1,
    AlignLeft = 2,
    AlignCenter = 3,
    AlignRight = 4,
};

enum VerticalAlignment : int {
    AlignTop = 1,
    AlignMiddle = 2,
    AlignBottom = 3,
};

struct CellFormat
{
    QString fontName = QStringLiteral("Arial");
    int fontSize = 200; // twentieths of a point (200 = 10 pt)
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    unsigned int colour = 0x000000; // 0xRRGGBB
    int horizontal = AlignGeneral;
    int vertical = AlignBottom;
    bool wrap = false;
    // Number format in the French pattern language of the program: "" is the standard
    // format; "0,00", "# ##0,00", "0%", "0,00E+00", "dd/mm/yyyy", "hh:nn:ss", "dd/mm/yyyy hh:nn".
    QString numberFormat;

    bool operator==(const CellFormat &) const = default;
};

} // namespace sheet
