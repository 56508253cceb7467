// Names and units of the flat OpenDocument spreadsheet shared by the ".qvc" reader and writer.
#pragma once

#include <QString>

namespace sheet::odf {

inline const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
inline const QString kStyle = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
inline const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
inline const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
inline const QString kFo = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
inline const QString kNumber = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0");
inline const QString kSvg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");
inline const QString kConfig = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:config:1.0");
inline const QString kDraw = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
inline const QString kChart = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:chart:1.0");
inline const QString kXlink = QStringLiteral("http://www.w3.org/1999/xlink");
inline const QString kOf = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:of:1.2");
inline const QString kMeta = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:meta:1.0");
inline const QString kCalcExt = QStringLiteral("urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0");

// "0.889in", "2.258cm", "25mm", "64pt" -> twips; -1 when the text is not a length.
int lengthToTwips(const QString &length);
QString twipsToLength(int twips); // in inches, as "0.8889in"

} // namespace sheet::odf
