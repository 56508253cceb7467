// Writes a workbook as a flat OpenDocument spreadsheet: settings (frozen panes, grid),
// fonts, automatic styles (columns, rows, number formats, cells), then each sheet's
// columns, rows and cells with formulas in OpenFormula and their cached values.
#include "spreadsheet/core/qvcfile.h"

#include "common/atomicsave.h"
#include "spreadsheet/core/formula.h"
#include "spreadsheet/core/numberformat.h"
#include "spreadsheet/core/qvcodf.h"
#include "spreadsheet/core/workbookaccess.h"

#include <QXmlStreamWriter>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>

namespace sheet {

namespace odf {

int lengthToTwips(const QString &length)
{
    static const struct
    {
        const char *unit;
        double twips;
    } units[] = {{"in", 1440.0}, {"cm", 1440.0 / 2.54}, {"mm", 144.0 / 2.54},
                 {"pt", 20.0},   {"pc", 240.0},         {"px", 15.0}};
    const QString t = length.trimmed();
    for (const auto &u : units) {
        if (!t.endsWith(QLatin1String(u.unit)))
            continue;
        bool ok = false;
        const double v = t.left(t.size() - 2).toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < 0 || v > 1000 * 1440.0 / u.twips)
            return -1;
        return int(std::lround(v * u.twips));
    }
    return -1;
}

QString twipsToLength(int twips) { return QString::number(twips / 1440.0, 'f', 4) + QStringLiteral("in"); }

} // namespace odf

namespace {

using namespace odf;

QString numberText(double v)
{
    char buffer[40];
    for (int precision = 15; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, v);
        if (std::strtod(buffer, nullptr) == v)
            break;
    }
    return QString::fromLatin1(buffer);
}

QString colourText(unsigned int rgb) { return QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')); }

class Writer
{
public:
    explicit Writer(const Workbook &book) : m_book(const_cast<Workbook &>(book)), m_access(m_book) { }

    QByteArray run()
    {
        QByteArray bytes;
        QXmlStreamWriter w(&bytes);
        m_w = &w;
        w.setAutoFormatting(true);
        w.setAutoFormattingIndent(1);
        w.writeStartDocument();
        w.writeNamespace(kOffice, QStringLiteral("office"));
        w.writeNamespace(kStyle, QStringLiteral("style"));
        w.writeNamespace(kText, QStringLiteral("text"));
        w.writeNamespace(kTable, QStringLiteral("table"));
        w.writeNamespace(kFo, QStringLiteral("fo"));
        w.writeNamespace(kNumber, QStringLiteral("number"));
        w.writeNamespace(kSvg, QStringLiteral("svg"));
        w.writeNamespace(kConfig, QStringLiteral("config"));
        w.writeNamespace(kDraw, QStringLiteral("draw"));
        w.writeNamespace(kChart, QStringLiteral("chart"));
        w.writeNamespace(kXlink, QStringLiteral("xlink"));
        w.writeNamespace(kOf, QStringLiteral("of"));
        w.writeNamespace(kCalcExt, QStringLiteral("calcext"));
        w.writeNamespace(kMeta, QStringLiteral("meta"));
        w.writeStartElement(kOffice, QStringLiteral("document"));
        w.writeAttribute(kOffice, QStringLiteral("version"), QStringLiteral("1.2"));
        w.writeAttribute(kOffice, QStringLiteral("mimetype"),
                         QStringLiteral("application/vnd.oasis.opendocument.spreadsheet"));
        collect();
        // Naming the writer tells a reader the TEXT codes are in the usual convention.
        w.writeStartElement(kOffice, QStringLiteral("meta"));
        w.writeTextElement(kMeta, QStringLiteral("generator"), QStringLiteral("Velmora"));
        w.writeEndElement();
        writeSettings();
        writeFonts();
        writeStyles();
        w.writeStartElement(kOffice, QStringLiteral("body"));
        w.writeStartElement(kOffice, QStringLiteral("spreadsheet"));
        // How this program compares texts and reads criteria ("=mot" matches "Mot", "p*"
        // is a wildcard), so that another program recalculating the file agrees.
        w.writeEmptyElement(kTable, QStringLiteral("calculation-settings"));
        w.writeAttribute(kTable, QStringLiteral("case-sensitive"), QStringLiteral("false"));
        w.writeAttribute(kTable, QStringLiteral("use-regular-expressions"), QStringLiteral("false"));
        w.writeAttribute(kTable, QStringLiteral("use-wildcards"), QStringLiteral("true"));
        for (int s = 0; s < m_book.sheetCount(); ++s)
            writeSheet(s);
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndDocument();
        return bytes;
    }

private:
    // Styles in use: formats by id, column widths, row heights, number patterns.
    void collect()
    {
        for (int s = 0; s < m_book.sheetCount(); ++s) {
            for (const StoredCell &c : m_access.cellsRowMajor(s))
                if (c.formatId != 0)
                    m_formatIds.insert(c.formatId);
            for (const auto &[col, width] : m_access.columnWidths(s))
                m_widths.insert(width);
            for (const auto &[row, height] : m_access.rowHeights(s))
                m_heights.insert(height);
            for (const auto &[col, id] : m_access.columnFormats(s))
                m_formatIds.insert(std::uint32_t(id));
            for (const auto &[row, id] : m_access.rowFormats(s))
                m_formatIds.insert(std::uint32_t(id));
        }
        m_widths.insert(Workbook::kDefaultColumnWidth);
        m_heights.insert(Workbook::kDefaultRowHeight);
        for (std::uint32_t id : m_formatIds) {
            const CellFormat &f = m_access.formatById(id);
            m_fonts.insert(f.fontName);
            if (!f.numberFormat.isEmpty() && !m_numberStyles.count(f.numberFormat))
                m_numberStyles.emplace(f.numberFormat, QStringLiteral("N%1").arg(m_numberStyles.size() + 1));
        }
        m_fonts.insert(m_book.defaultFormat().fontName);
    }

    void configItem(const QString &name, const QString &type, const QString &value)
    {
        m_w->writeStartElement(kConfig, QStringLiteral("config-item"));
        m_w->writeAttribute(kConfig, QStringLiteral("name"), name);
        m_w->writeAttribute(kConfig, QStringLiteral("type"), type);
        m_w->writeCharacters(value);
        m_w->writeEndElement();
    }

    void writeSettings()
    {
        QXmlStreamWriter &w = *m_w;
        w.writeStartElement(kOffice, QStringLiteral("settings"));
        w.writeStartElement(kConfig, QStringLiteral("config-item-set"));
        w.writeAttribute(kConfig, QStringLiteral("name"), QStringLiteral("ooo:view-settings"));
        w.writeStartElement(kConfig, QStringLiteral("config-item-map-indexed"));
        w.writeAttribute(kConfig, QStringLiteral("name"), QStringLiteral("Views"));
        w.writeStartElement(kConfig, QStringLiteral("config-item-map-entry"));
        configItem(QStringLiteral("ViewId"), QStringLiteral("string"), QStringLiteral("view1"));
        w.writeStartElement(kConfig, QStringLiteral("config-item-map-named"));
        w.writeAttribute(kConfig, QStringLiteral("name"), QStringLiteral("Tables"));
        for (int s = 0; s < m_book.sheetCount(); ++s) {
            const int rows = m_book.frozenRows(s), cols = m_book.frozenColumns(s);
            w.writeStartElement(kConfig, QStringLiteral("config-item-map-entry"));
            w.writeAttribute(kConfig, QStringLiteral("name"), m_book.sheetName(s));
            configItem(QStringLiteral("HorizontalSplitMode"), QStringLiteral("short"),
                       cols ? QStringLiteral("2") : QStringLiteral("0"));
            configItem(QStringLiteral("VerticalSplitMode"), QStringLiteral("short"),
                       rows ? QStringLiteral("2") : QStringLiteral("0"));
            configItem(QStringLiteral("HorizontalSplitPosition"), QStringLiteral("int"), QString::number(cols));
            configItem(QStringLiteral("VerticalSplitPosition"), QStringLiteral("int"), QString::number(rows));
            configItem(QStringLiteral("ActiveSplitRange"), QStringLiteral("short"), QStringLiteral("2"));
            configItem(QStringLiteral("PositionLeft"), QStringLiteral("int"), QStringLiteral("0"));
            configItem(QStringLiteral("PositionRight"), QStringLiteral("int"), QString::number(cols));
            configItem(QStringLiteral("PositionTop"), QStringLiteral("int"), QStringLiteral("0"));
            configItem(QStringLiteral("PositionBottom"), QStringLiteral("int"), QString::number(rows));
            w.writeEndElement();
        }
        w.writeEndElement();
        configItem(QStringLiteral("ShowGrid"), QStringLiteral("boolean"),
                   m_book.showGridLines() ? QStringLiteral("true") : QStringLiteral("false"));
        configItem(QStringLiteral("ShowFormulas"), QStringLiteral("boolean"),
                   m_book.showFormulas() ? QStringLiteral("true") : QStringLiteral("false"));
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
    }

    void writeFonts()
    {
        QXmlStreamWriter &w = *m_w;
        w.writeStartElement(kOffice, QStringLiteral("font-face-decls"));
        for (const QString &font : m_fonts) {
            w.writeStartElement(kStyle, QStringLiteral("font-face"));
            w.writeAttribute(kStyle, QStringLiteral("name"), font);
            w.writeAttribute(kSvg, QStringLiteral("font-family"), font.contains(u' ') ? u'\'' + font + u'\'' : font);
            w.writeEndElement();
        }
        w.writeEndElement();
    }

    // A literal part of a number style ("€", "%", "/").
    void writeNumberText(const QString &t)
    {
        if (t.isEmpty())
            return;
        m_w->writeStartElement(kNumber, QStringLiteral("text"));
        m_w->writeCharacters(t);
        m_w->writeEndElement();
    }

    void writeNumberStyle(const QString &pattern, const QString &name)
    {
        QXmlStreamWriter &w = *m_w;
        auto text = [this](const QString &t) { writeNumberText(t); };
        if (pattern == u"@") {
            w.writeStartElement(kNumber, QStringLiteral("text-style"));
            w.writeAttribute(kStyle, QStringLiteral("name"), name);
            w.writeEmptyElement(kNumber, QStringLiteral("text-content"));
            w.writeEndElement();
            return;
        }
        // Negative numbers in red: the positive ones get a style of their own.
        const qsizetype red = pattern.indexOf(QStringLiteral(";[Rouge]"));
        if (red > 0 && !isDateTimePattern(pattern)) {
            const QString positive = name + QStringLiteral("P0");
            writeNumberOnly(pattern.left(red), positive, QString());
            writeNumberOnly(pattern.mid(red + 8), name, positive);
            return;
        }
        if (isDateTimePattern(pattern)) {
            const bool hasDate = pattern.contains(u'd') || pattern.contains(u'y') || pattern.contains(u'j')
                    || pattern.contains(u'a') || (pattern.contains(u'm') && !pattern.contains(u'h'));
            w.writeStartElement(kNumber, hasDate ? QStringLiteral("date-style") : QStringLiteral("time-style"));
            w.writeAttribute(kStyle, QStringLiteral("name"), name);
            QString literal;
            bool afterHour = false;
            for (int i = 0; i < pattern.size();) {
                const QChar ch = pattern[i].toLower();
                int n = 1;
                while (i + n < pattern.size() && pattern[i + n].toLower() == ch)
                    ++n;
                QString element;
                bool isLong = n >= 2;
                bool textual = false;
                if (ch == u'd' || ch == u'j') {
                    element = n >= 3 ? QStringLiteral("day-of-week") : QStringLiteral("day");
                    isLong = n == 2 || n >= 4;
                } else if (ch == u'm' && afterHour && n <= 2) {
                    element = QStringLiteral("minutes");
                } else if (ch == u'm') {
                    element = QStringLiteral("month");
                    textual = n >= 3;
                    isLong = n == 2 || n >= 4;
                } else if (ch == u'y' || ch == u'a') {
                    element = QStringLiteral("year");
                    isLong = n >= 3;
                } else if (ch == u'h') {
                    element = QStringLiteral("hours");
                } else if (ch == u'n') {
                    element = QStringLiteral("minutes");
                } else if (ch == u's') {
                    element = QStringLiteral("seconds");
                }
                if (element.isEmpty()) {
                    if (pattern[i] != u'"')
                        literal += pattern[i];
                    ++i;
                    continue;
                }
                text(literal);
                literal.clear();
                w.writeStartElement(kNumber, element);
                w.writeAttribute(kNumber, QStringLiteral("style"),
                                 isLong ? QStringLiteral("long") : QStringLiteral("short"));
                if (textual)
                    w.writeAttribute(kNumber, QStringLiteral("textual"), QStringLiteral("true"));
                w.writeEndElement();
                afterHour = element == u"hours";
                i += n;
            }
            text(literal);
            w.writeEndElement();
            return;
        }
        writeNumberOnly(pattern, name, QString());
    }

    // A number (not date) pattern; `positiveStyle`, when given, shows the positive numbers
    // and this style the negative ones in red, as the other spreadsheets write "[Red]".
    void writeNumberOnly(const QString &pattern, const QString &name, const QString &positiveStyle)
    {
        QXmlStreamWriter &w = *m_w;
        auto text = [this](const QString &t) { writeNumberText(t); };
        const PatternInfo info = describeNumberPattern(pattern);
        w.writeStartElement(kNumber,
                            info.percent ? QStringLiteral("percentage-style") : QStringLiteral("number-style"));
        w.writeAttribute(kStyle, QStringLiteral("name"), name);
        if (!positiveStyle.isEmpty()) {
            w.writeStartElement(kStyle, QStringLiteral("text-properties"));
            w.writeAttribute(kFo, QStringLiteral("color"), QStringLiteral("#ff0000"));
            w.writeEndElement();
        }
        text(info.prefix);
        w.writeStartElement(kNumber, info.scientific ? QStringLiteral("scientific-number") : QStringLiteral("number"));
        w.writeAttribute(kNumber, QStringLiteral("decimal-places"), QString::number(info.decimals));
        w.writeAttribute(kNumber, QStringLiteral("min-integer-digits"), QString::number(info.minIntegerDigits));
        if (info.grouping)
            w.writeAttribute(kNumber, QStringLiteral("grouping"), QStringLiteral("true"));
        if (info.scientific)
            w.writeAttribute(kNumber, QStringLiteral("min-exponent-digits"), QString::number(info.exponentDigits));
        w.writeEndElement();
        text(info.suffix + (info.percent ? QStringLiteral("%") : QString()));
        if (!positiveStyle.isEmpty()) {
            w.writeStartElement(kStyle, QStringLiteral("map"));
            w.writeAttribute(kStyle, QStringLiteral("condition"), QStringLiteral("value()>=0"));
            w.writeAttribute(kStyle, QStringLiteral("apply-style-name"), positiveStyle);
            w.writeEndElement();
        }
        w.writeEndElement();
    }

    void writeStyles()
    {
        QXmlStreamWriter &w = *m_w;
        w.writeStartElement(kOffice, QStringLiteral("styles"));
        w.writeStartElement(kStyle, QStringLiteral("default-style"));
        w.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table-cell"));
        w.writeStartElement(kStyle, QStringLiteral("text-properties"));
        w.writeAttribute(kStyle, QStringLiteral("font-name"), m_book.defaultFormat().fontName);
        w.writeAttribute(kFo, QStringLiteral("font-size"), QStringLiteral("10pt"));
        w.writeEndElement();
        w.writeEndElement();
        w.writeStartElement(kStyle, QStringLiteral("style"));
        w.writeAttribute(kStyle, QStringLiteral("name"), QStringLiteral("Default"));
        w.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table-cell"));
        w.writeEndElement();
        w.writeEndElement();

        w.writeStartElement(kOffice, QStringLiteral("automatic-styles"));
        int n = 0;
        for (int width : m_widths) {
            const QString name = QStringLiteral("co%1").arg(++n);
            m_columnStyles[width] = name;
            w.writeStartElement(kStyle, QStringLiteral("style"));
            w.writeAttribute(kStyle, QStringLiteral("name"), name);
            w.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table-column"));
            w.writeStartElement(kStyle, QStringLiteral("table-column-properties"));
            w.writeAttribute(kFo, QStringLiteral("break-before"), QStringLiteral("auto"));
            w.writeAttribute(kStyle, QStringLiteral("column-width"), twipsToLength(width));
            w.writeEndElement();
            w.writeEndElement();
        }
        n = 0;
        for (int height : m_heights) {
            const QString name = QStringLiteral("ro%1").arg(++n);
            m_rowStyles[height] = name;
            w.writeStartElement(kStyle, QStringLiteral("style"));
            w.writeAttribute(kStyle, QStringLiteral("name"), name);
            w.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table-row"));
            w.writeStartElement(kStyle, QStringLiteral("table-row-properties"));
            w.writeAttribute(kStyle, QStringLiteral("row-height"), twipsToLength(height));
            w.writeAttribute(kFo, QStringLiteral("break-before"), QStringLiteral("auto"));
            w.writeAttribute(kStyle, QStringLiteral("use-optimal-row-height"),
                             height == Workbook::kDefaultRowHeight ? QStringLiteral("true") : QStringLiteral("false"));
            w.writeEndElement();
            w.writeEndElement();
        }
        w.writeStartElement(kStyle, QStringLiteral("style"));
        w.writeAttribute(kStyle, QStringLiteral("name"), QStringLiteral("ta1"));
        w.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table"));
        w.writeStartElement(kStyle, QStringLiteral("table-properties"));
        w.writeAttribute(kTable, QStringLiteral("display"), QStringLiteral("true"));
        w.writeEndElement();
        w.writeEndElement();
        for (const auto &[pattern, name] : m_numberStyles)
            writeNumberStyle(pattern, name);
        n = 0;
        for (std::uint32_t id : m_formatIds) {
            const QString name = QStringLiteral("ce%1").arg(++n);
            m_cellStyles[id] = name;
            writeCellStyle(name, m_access.formatById(id));
        }
        w.writeEndElement();
    }

    void writeCellStyle(const QString &name, const CellFormat &f)
    {
        QXmlStreamWriter &w = *m_w;
        w.writeStartElement(kStyle, QStringLiteral("style"));
        w.writeAttribute(kStyle, QStringLiteral("name"), name);
        w.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table-cell"));
        w.writeAttribute(kStyle, QStringLiteral("parent-style-name"), QStringLiteral("Default"));
        if (!f.numberFormat.isEmpty())
            w.writeAttribute(kStyle, QStringLiteral("data-style-name"), m_numberStyles[f.numberFormat]);
        w.writeStartElement(kStyle, QStringLiteral("table-cell-properties"));
        if (f.horizontal != AlignGeneral)
            w.writeAttribute(kStyle, QStringLiteral("text-align-source"), QStringLiteral("fix"));
        if (f.wrap)
            w.writeAttribute(kFo, QStringLiteral("wrap-option"), QStringLiteral("wrap"));
        w.writeAttribute(kStyle, QStringLiteral("vertical-align"),
                         f.vertical == AlignTop              ? QStringLiteral("top")
                                 : f.vertical == AlignMiddle ? QStringLiteral("middle")
                                                             : QStringLiteral("bottom"));
        w.writeEndElement();
        if (f.horizontal != AlignGeneral) {
            w.writeStartElement(kStyle, QStringLiteral("paragraph-properties"));
            w.writeAttribute(kFo, QStringLiteral("text-align"),
                             f.horizontal == AlignLeft             ? QStringLiteral("start")
                                     : f.horizontal == AlignCenter ? QStringLiteral("center")
                                                                   : QStringLiteral("end"));
            w.writeEndElement();
        }
        w.writeStartElement(kStyle, QStringLiteral("text-properties"));
        w.writeAttribute(kStyle, QStringLiteral("font-name"), f.fontName);
        w.writeAttribute(kFo, QStringLiteral("font-size"), QString::number(f.fontSize / 20.0) + QStringLiteral("pt"));
        w.writeAttribute(kFo, QStringLiteral("color"), colourText(f.colour));
        w.writeAttribute(kFo, QStringLiteral("font-weight"),
                         f.bold ? QStringLiteral("bold") : QStringLiteral("normal"));
        w.writeAttribute(kFo, QStringLiteral("font-style"),
                         f.italic ? QStringLiteral("italic") : QStringLiteral("normal"));
        if (f.underline) {
            w.writeAttribute(kStyle, QStringLiteral("text-underline-style"), QStringLiteral("solid"));
            w.writeAttribute(kStyle, QStringLiteral("text-underline-width"), QStringLiteral("auto"));
            w.writeAttribute(kStyle, QStringLiteral("text-underline-color"), QStringLiteral("font-color"));
        }
        if (f.strikeout)
            w.writeAttribute(kStyle, QStringLiteral("text-line-through-style"), QStringLiteral("solid"));
        w.writeEndElement();
        w.writeEndElement();
    }

    void writeColumns(int sheet, int lastCol)
    {
        QXmlStreamWriter &w = *m_w;
        const auto &widths = m_access.columnWidths(sheet);
        const auto &formats = m_access.columnFormats(sheet);
        for (int col = 1; col <= lastCol;) {
            const auto width = [&](int c) {
                const auto it = widths.find(c);
                return it == widths.end() ? Workbook::kDefaultColumnWidth : it->second;
            };
            const auto format = [&](int c) {
                const auto it = formats.find(c);
                return it == formats.end() ? 0 : it->second;
            };
            const int wdt = width(col), fmt = format(col);
            int n = 1;
            while (col + n <= lastCol && width(col + n) == wdt && format(col + n) == fmt)
                ++n;
            w.writeStartElement(kTable, QStringLiteral("table-column"));
            w.writeAttribute(kTable, QStringLiteral("style-name"), m_columnStyles[wdt]);
            if (n > 1)
                w.writeAttribute(kTable, QStringLiteral("number-columns-repeated"), QString::number(n));
            // A formatted column keeps its format for the cells that have none of their own.
            w.writeAttribute(kTable, QStringLiteral("default-cell-style-name"),
                             fmt != 0 ? m_cellStyles[std::uint32_t(fmt)] : QStringLiteral("Default"));
            w.writeEndElement();
            col += n;
        }
    }

    void writeParagraphs(const QString &text)
    {
        QXmlStreamWriter &w = *m_w;
        for (const QString &line : text.split(u'\n')) {
            w.writeStartElement(kText, QStringLiteral("p"));
            // Runs of spaces, leading spaces and tabs are elements in OpenDocument text.
            QString pending;
            for (int i = 0; i < line.size(); ++i) {
                const QChar ch = line[i];
                if (ch == u'\t') {
                    w.writeCharacters(pending);
                    pending.clear();
                    w.writeEmptyElement(kText, QStringLiteral("tab"));
                    continue;
                }
                if (ch == u' ' && (i == 0 || line[i - 1] == u' ' || line[i - 1] == u'\t')) {
                    int n = 0;
                    while (i + n < line.size() && line[i + n] == u' ')
                        ++n;
                    w.writeCharacters(pending);
                    pending.clear();
                    w.writeEmptyElement(kText, QStringLiteral("s"));
                    if (n > 1)
                        w.writeAttribute(kText, QStringLiteral("c"), QString::number(n));
                    i += n - 1;
                    continue;
                }
                if (ch.unicode() < 32 && ch != u'\r')
                    continue; // XML 1.0 cannot carry control characters
                pending += ch;
            }
            w.writeCharacters(pending);
            w.writeEndElement();
        }
    }

    void writeValue(const Value &v, const CellFormat &f, bool isFormula)
    {
        QXmlStreamWriter &w = *m_w;
        switch (v.type()) {
        case Value::Type::Empty: return;
        case Value::Type::Number: {
            const double x = v.asNumber();
            const QString &p = f.numberFormat;
            if (isDateTimePattern(p)) {
                const QDateTime dt = serialToDateTime(x);
                const bool timeOnly = x >= 0 && x < 1 && !(p.contains(u'd') || p.contains(u'y'));
                if (timeOnly) {
                    const int secs = QTime(0, 0).secsTo(dt.time());
                    w.writeAttribute(kOffice, QStringLiteral("value-type"), QStringLiteral("time"));
                    w.writeAttribute(kOffice, QStringLiteral("time-value"),
                                     QStringLiteral("PT%1H%2M%3S")
                                             .arg(secs / 3600, 2, 10, QLatin1Char('0'))
                                             .arg(secs / 60 % 60, 2, 10, QLatin1Char('0'))
                                             .arg(secs % 60, 2, 10, QLatin1Char('0')));
                    break;
                }
                if (dt.isValid() && dt.date().year() >= 1) {
                    w.writeAttribute(kOffice, QStringLiteral("value-type"), QStringLiteral("date"));
                    w.writeAttribute(kOffice, QStringLiteral("date-value"),
                                     dt.time() == QTime(0, 0) ? dt.date().toString(Qt::ISODate)
                                                              : dt.toString(Qt::ISODate));
                    break;
                }
            }
            w.writeAttribute(kOffice, QStringLiteral("value-type"),
                             p.endsWith(u'%') ? QStringLiteral("percentage") : QStringLiteral("float"));
            w.writeAttribute(kOffice, QStringLiteral("value"), numberText(x));
            break;
        }
        case Value::Type::Text:
            w.writeAttribute(kOffice, QStringLiteral("value-type"), QStringLiteral("string"));
            if (isFormula)
                w.writeAttribute(kOffice, QStringLiteral("string-value"), v.asText());
            break;
        case Value::Type::Boolean:
            w.writeAttribute(kOffice, QStringLiteral("value-type"), QStringLiteral("boolean"));
            w.writeAttribute(kOffice, QStringLiteral("boolean-value"),
                             v.asBoolean() ? QStringLiteral("true") : QStringLiteral("false"));
            break;
        case Value::Type::Error:
            w.writeAttribute(kOffice, QStringLiteral("value-type"), QStringLiteral("string"));
            w.writeAttribute(kOffice, QStringLiteral("string-value"), QString());
            w.writeAttribute(kCalcExt, QStringLiteral("value-type"), QStringLiteral("error"));
            break;
        }
    }

    void writeChart(int sheet, const ChartObject &chart)
    {
        QXmlStreamWriter &w = *m_w;
        const QString sheetName = m_book.sheetName(sheet);
        const QString quoted = u'\'' + QString(sheetName).replace(u'\'', QStringLiteral("''")) + u'\'';
        const QString range = quoted + u'.' + cellName(chart.range.top, chart.range.left) + u':' + quoted + u'.'
                + cellName(chart.range.bottom, chart.range.right);
        w.writeStartElement(kDraw, QStringLiteral("frame"));
        w.writeAttribute(kSvg, QStringLiteral("width"), twipsToLength(chart.width));
        w.writeAttribute(kSvg, QStringLiteral("height"), twipsToLength(chart.height));
        w.writeAttribute(kSvg, QStringLiteral("x"), QStringLiteral("0in"));
        w.writeAttribute(kSvg, QStringLiteral("y"), QStringLiteral("0in"));
        w.writeStartElement(kDraw, QStringLiteral("object"));
        w.writeAttribute(kDraw, QStringLiteral("notify-on-update-of-ranges"), range);
        w.writeStartElement(kOffice, QStringLiteral("document"));
        w.writeAttribute(kOffice, QStringLiteral("mimetype"),
                         QStringLiteral("application/vnd.oasis.opendocument.chart"));
        w.writeStartElement(kOffice, QStringLiteral("body"));
        w.writeStartElement(kOffice, QStringLiteral("chart"));
        w.writeStartElement(kChart, QStringLiteral("chart"));
        w.writeAttribute(kChart, QStringLiteral("class"), QStringLiteral("chart:bar"));
        w.writeStartElement(kChart, QStringLiteral("plot-area"));
        w.writeAttribute(kTable, QStringLiteral("cell-range-address"), range);
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
    }

    void writeCell(int sheet, const StoredCell *c, const std::vector<const ChartObject *> &charts)
    {
        QXmlStreamWriter &w = *m_w;
        w.writeStartElement(kTable, QStringLiteral("table-cell"));
        // A cell without a format of its own shows its row's or column's.
        const CellFormat &f = m_access.formatById(c ? m_access.formatIdAt(sheet, c->row, c->col) : 0);
        if (c) {
            if (c->formatId != 0)
                w.writeAttribute(kTable, QStringLiteral("style-name"), m_cellStyles[c->formatId]);
            if (c->formula) {
                // TEXT codes go out in the other spreadsheets' convention ("0.00"); only
                // formulas holding texts can have one.
                const Formula *written = c->formula;
                Formula english;
                if (!c->formula->strings.empty()) {
                    english = *c->formula;
                    if (convertTextCodes(english, false))
                        written = &english;
                }
                w.writeAttribute(kTable, QStringLiteral("formula"),
                                 QStringLiteral("of:=")
                                         + formulaToText(*written, Dialect::OpenFormula, m_access.sheetNames()));
            } else if (c->rawFormula)
                w.writeAttribute(kTable, QStringLiteral("formula"), *c->rawFormula);
            writeValue(*c->value, f, c->formula || c->rawFormula);
        }
        for (const ChartObject *chart : charts)
            writeChart(sheet, *chart);
        if (c && !c->value->isEmpty()) {
            const QString shown = c->value->isText() ? c->value->asText() : m_book.displayText(sheet, c->row, c->col);
            writeParagraphs(m_book.showFormulas() && c->value->isNumber()
                                    ? formatNumber(c->value->asNumber(), f.numberFormat)
                                    : shown);
        }
        w.writeEndElement();
    }

    void emptyCells(int n)
    {
        if (n <= 0)
            return;
        m_w->writeStartElement(kTable, QStringLiteral("table-cell"));
        if (n > 1)
            m_w->writeAttribute(kTable, QStringLiteral("number-columns-repeated"), QString::number(n));
        m_w->writeEndElement();
    }

    void startRow(int sheet, int row, int repeat)
    {
        m_w->writeStartElement(kTable, QStringLiteral("table-row"));
        const auto &heights = m_access.rowHeights(sheet);
        const auto it = heights.find(row);
        m_w->writeAttribute(kTable, QStringLiteral("style-name"),
                            m_rowStyles[it == heights.end() ? Workbook::kDefaultRowHeight : it->second]);
        if (repeat > 1)
            m_w->writeAttribute(kTable, QStringLiteral("number-rows-repeated"), QString::number(repeat));
        const auto &formats = m_access.rowFormats(sheet);
        if (const auto f = formats.find(row); repeat == 1 && f != formats.end())
            m_w->writeAttribute(kTable, QStringLiteral("default-cell-style-name"),
                                m_cellStyles[std::uint32_t(f->second)]);
    }

    void writeSheet(int sheet)
    {
        QXmlStreamWriter &w = *m_w;
        const std::vector<StoredCell> cells = m_access.cellsRowMajor(sheet);
        std::map<std::pair<int, int>, std::vector<const ChartObject *>> anchors;
        const std::vector<ChartObject> charts = m_book.charts(sheet);
        for (const ChartObject &c : charts)
            anchors[{c.anchor.row, c.anchor.col}].push_back(&c);
        // Rows to write: rows with cells, custom heights or chart anchors.
        std::set<int> rows;
        int lastCol = 1;
        for (const StoredCell &c : cells) {
            rows.insert(c.row);
            lastCol = std::max(lastCol, c.col);
        }
        for (const auto &[row, h] : m_access.rowHeights(sheet))
            rows.insert(row);
        for (const auto &[row, f] : m_access.rowFormats(sheet))
            rows.insert(row);
        for (const auto &[col, f] : m_access.columnFormats(sheet))
            lastCol = std::max(lastCol, col);
        for (const auto &[pos, list] : anchors) {
            rows.insert(pos.first);
            lastCol = std::max(lastCol, pos.second);
        }
        for (const auto &[col, wdt] : m_access.columnWidths(sheet))
            lastCol = std::max(lastCol, col);

        w.writeStartElement(kTable, QStringLiteral("table"));
        w.writeAttribute(kTable, QStringLiteral("name"), m_book.sheetName(sheet));
        w.writeAttribute(kTable, QStringLiteral("style-name"), QStringLiteral("ta1"));
        writeColumns(sheet, lastCol);
        size_t next = 0;
        int written = 0; // last row written
        for (int row : rows) {
            if (row > written + 1) {
                startRow(sheet, written + 1, row - written - 1);
                emptyCells(lastCol);
                w.writeEndElement();
            }
            startRow(sheet, row, 1);
            int col = 0; // last column written
            auto anchorAt = [&](int c) {
                const auto it = anchors.find({row, c});
                return it == anchors.end() ? std::vector<const ChartObject *>() : it->second;
            };
            std::set<int> columns;
            std::map<int, const StoredCell *> rowCells;
            while (next < cells.size() && cells[next].row == row) {
                rowCells[cells[next].col] = &cells[next];
                columns.insert(cells[next].col);
                ++next;
            }
            for (const auto &[pos, list] : anchors)
                if (pos.first == row)
                    columns.insert(pos.second);
            for (int c : columns) {
                emptyCells(c - col - 1);
                const auto it = rowCells.find(c);
                writeCell(sheet, it == rowCells.end() ? nullptr : it->second, anchorAt(c));
                col = c;
            }
            emptyCells(lastCol - col);
            w.writeEndElement();
            written = row;
        }
        if (rows.empty()) {
            startRow(sheet, 1, 1);
            emptyCells(lastCol);
            w.writeEndElement();
        }
        w.writeEndElement();
    }

    Workbook &m_book;
    WorkbookAccess m_access;
    QXmlStreamWriter *m_w = nullptr;
    std::set<std::uint32_t> m_formatIds;
    std::set<int> m_widths;
    std::set<int> m_heights;
    std::set<QString> m_fonts;
    std::map<QString, QString> m_numberStyles;
    std::map<std::uint32_t, QString> m_cellStyles;
    std::map<int, QString> m_columnStyles;
    std::map<int, QString> m_rowStyles;
};

} // namespace

namespace qvc {

QByteArray write(const Workbook &book) { return Writer(book).run(); }

void writeFile(const QString &path, Workbook &book)
{
    atomicsave::write(path, write(book));
    book.setModified(false);
}

} // namespace qvc
} // namespace sheet
