// The look of a cell: font, alignment, wrap and number format.
#pragma once

#include <QString>

namespace sheet {

// Horizontal alignment of a cell; General puts numbers and dates right, texts left, booleans
// and errors in the centre. The values are the control's codes (GetAlignment, SetAlignment),
// the one place where numbers stand for them.
enum class HorizontalAlignment : int {
    General = 1,
    Left = 2,
    Centre = 3,
    Right = 4,
};

enum class VerticalAlignment : int {
    Top = 1,
    Middle = 2,
    Bottom = 3,
};

inline constexpr HorizontalAlignment AlignGeneral = HorizontalAlignment::General;
inline constexpr HorizontalAlignment AlignLeft = HorizontalAlignment::Left;
inline constexpr HorizontalAlignment AlignCenter = HorizontalAlignment::Centre;
inline constexpr HorizontalAlignment AlignRight = HorizontalAlignment::Right;
inline constexpr VerticalAlignment AlignTop = VerticalAlignment::Top;
inline constexpr VerticalAlignment AlignMiddle = VerticalAlignment::Middle;
inline constexpr VerticalAlignment AlignBottom = VerticalAlignment::Bottom;

// The control's codes and back; a code out of range reads as General (Bottom).
inline int alignmentCode(HorizontalAlignment a) { return int(a); }
inline int alignmentCode(VerticalAlignment a) { return int(a); }
inline HorizontalAlignment horizontalFromCode(int code)
{
    return code >= 1 && code <= 4 ? HorizontalAlignment(code) : HorizontalAlignment::General;
}
inline VerticalAlignment verticalFromCode(int code)
{
    return code >= 1 && code <= 3 ? VerticalAlignment(code) : VerticalAlignment::Bottom;
}

struct CellFormat
{
    QString fontName = QStringLiteral("Arial");
    int fontSize = 200; // twentieths of a point (200 = 10 pt)
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    unsigned int colour = 0x000000; // 0xRRGGBB
    HorizontalAlignment horizontal = HorizontalAlignment::General;
    VerticalAlignment vertical = VerticalAlignment::Bottom;
    bool wrap = false;
    // Number format in the French pattern language of the program: "" is the standard
    // format; "0,00", "# ##0,00", "0%", "0,00E+00", "dd/mm/yyyy", "hh:nn:ss", "dd/mm/yyyy hh:nn".
    QString numberFormat;

    bool operator==(const CellFormat &) const = default;
};

} // namespace sheet
