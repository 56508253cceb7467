// Writes a workbook as a flat OpenDocument spreadsheet: settings (frozen panes, grid),
// fonts, automatic styles (columns, rows, number formats, cells), then each sheet's
// columns, rows and cells with formulas in OpenFormula and their cached values.
#include "spreadsheet/core/qvcfile.h"

#include "common/atomicsave.h"
#include "spreadsheet/core/formula.h"
#include "spreadsheet/core/numberformat.h"
#include "spreadsheet/core/odfxml.h"
#include "spreadsheet/core/qvcodf.h"
#include "spreadsheet/core/workbookaccess.h"
#include "spreadsheet/core/workbooklimits.h"

#include <charconv>
#include <cmath>
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

// The shortest of 15, 16 or 17 significant digits that reads back as the same number, as
// "%.*g" writes it, in a buffer of the caller's.
std::string_view numberText(double v, char (&buffer)[40])
{
    std::to_chars_result r{};
    for (int precision = 15; precision <= 17; ++precision) {
        r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, precision);
        double back = 0;
        std::from_chars(buffer, r.ptr, back);
        if (back == v)
            break;
    }
    return std::string_view(buffer, size_t(r.ptr - buffer));
}

QString colourText(unsigned int rgb) { return QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')); }

class Writer
{
public:
    explicit Writer(const Workbook &book) : m_book(const_cast<Workbook &>(book)), m_access(m_book) { }

    QByteArray run()
    {
        collect();
        QByteArray bytes;
        // About 250 bytes a cell: the buffer seldom grows.
        bytes.reserve(qsizetype(std::min<size_t>(m_cellCount * 256 + 65536, size_t(1) << 30)));
        XmlWriter w(bytes);
        m_w = &w;
        w.startDocument();
        w.startElement(Ns::Office, "document");
        w.attribute(Ns::Office, "version", "1.2");
        w.attribute(Ns::Office, "mimetype", "application/vnd.oasis.opendocument.spreadsheet");
        // Naming the writer tells a reader the TEXT codes are in the usual convention.
        w.startElement(Ns::Office, "meta");
        w.textElement(Ns::Meta, "generator", QStringLiteral("Velmora"));
        w.endElement();
        writeSettings();
        writeFonts();
        writeStyles();
        w.startElement(Ns::Office, "body");
        w.startElement(Ns::Office, "spreadsheet");
        // How this program compares texts and reads criteria ("=mot" matches "Mot", "p*"
        // is a wildcard), so that another program recalculating the file agrees.
        w.emptyElement(Ns::Table, "calculation-settings");
        w.attribute(Ns::Table, "case-sensitive", "false");
        w.attribute(Ns::Table, "use-regular-expressions", "false");
        w.attribute(Ns::Table, "use-wildcards", "true");
        for (int s = 0; s < m_book.sheetCount(); ++s)
            writeSheet(s);
        w.endElement();
        w.endElement();
        w.endElement();
        w.endDocument();
        return bytes;
    }

private:
    // Styles in use: formats by id, column widths, row heights, number patterns.
    void collect()
    {
        for (int s = 0; s < m_book.sheetCount(); ++s) {
            m_cells.push_back(m_access.cellsRowMajor(s));
            m_cellCount += m_cells.back().size();
            for (const StoredCell &c : m_cells.back())
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

    void configItem(std::string_view name, std::string_view type, QStringView value)
    {
        m_w->startElement(Ns::Config, "config-item");
        m_w->attribute(Ns::Config, "name", name);
        m_w->attribute(Ns::Config, "type", type);
        m_w->characters(value);
        m_w->endElement();
    }

    void writeSettings()
    {
        XmlWriter &w = *m_w;
        w.startElement(Ns::Office, "settings");
        w.startElement(Ns::Config, "config-item-set");
        w.attribute(Ns::Config, "name", "ooo:view-settings");
        w.startElement(Ns::Config, "config-item-map-indexed");
        w.attribute(Ns::Config, "name", "Views");
        w.startElement(Ns::Config, "config-item-map-entry");
        configItem("ViewId", "string", QStringLiteral("view1"));
        w.startElement(Ns::Config, "config-item-map-named");
        w.attribute(Ns::Config, "name", "Tables");
        for (int s = 0; s < m_book.sheetCount(); ++s) {
            const int rows = m_book.frozenRows(s), cols = m_book.frozenColumns(s);
            w.startElement(Ns::Config, "config-item-map-entry");
            w.attribute(Ns::Config, "name", m_book.sheetName(s));
            configItem("HorizontalSplitMode", "short", cols ? QStringLiteral("2") : QStringLiteral("0"));
            configItem("VerticalSplitMode", "short", rows ? QStringLiteral("2") : QStringLiteral("0"));
            configItem("HorizontalSplitPosition", "int", QString::number(cols));
            configItem("VerticalSplitPosition", "int", QString::number(rows));
            configItem("ActiveSplitRange", "short", QStringLiteral("2"));
            configItem("PositionLeft", "int", QStringLiteral("0"));
            configItem("PositionRight", "int", QString::number(cols));
            configItem("PositionTop", "int", QStringLiteral("0"));
            configItem("PositionBottom", "int", QString::number(rows));
            w.endElement();
        }
        w.endElement();
        configItem("ShowGrid", "boolean", m_book.showGridLines() ? QStringLiteral("true") : QStringLiteral("false"));
        configItem("ShowFormulas", "boolean", m_book.showFormulas() ? QStringLiteral("true") : QStringLiteral("false"));
        w.endElement();
        w.endElement();
        w.endElement();
        w.endElement();
    }

    void writeFonts()
    {
        XmlWriter &w = *m_w;
        w.startElement(Ns::Office, "font-face-decls");
        for (const QString &font : m_fonts) {
            w.startElement(Ns::Style, "font-face");
            w.attribute(Ns::Style, "name", font);
            w.attribute(Ns::Svg, "font-family", font.contains(u' ') ? u'\'' + font + u'\'' : font);
            w.endElement();
        }
        w.endElement();
    }

    // A literal part of a number style ("€", "%", "/").
    void writeNumberText(const QString &t)
    {
        if (t.isEmpty())
            return;
        m_w->startElement(Ns::Number, "text");
        m_w->characters(t);
        m_w->endElement();
    }

    void writeNumberStyle(const QString &pattern, const QString &name)
    {
        XmlWriter &w = *m_w;
        auto text = [this](const QString &t) { writeNumberText(t); };
        if (pattern == u"@") {
            w.startElement(Ns::Number, "text-style");
            w.attribute(Ns::Style, "name", name);
            w.emptyElement(Ns::Number, "text-content");
            w.endElement();
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
            w.startElement(Ns::Number, hasDate ? "date-style" : "time-style");
            w.attribute(Ns::Style, "name", name);
            QString literal;
            bool afterHour = false;
            for (int i = 0; i < pattern.size();) {
                const QChar ch = pattern[i].toLower();
                int n = 1;
                while (i + n < pattern.size() && pattern[i + n].toLower() == ch)
                    ++n;
                std::string_view element;
                bool isLong = n >= 2;
                bool textual = false;
                if (ch == u'd' || ch == u'j') {
                    element = n >= 3 ? "day-of-week" : "day";
                    isLong = n == 2 || n >= 4;
                } else if (ch == u'm' && afterHour && n <= 2) {
                    element = "minutes";
                } else if (ch == u'm') {
                    element = "month";
                    textual = n >= 3;
                    isLong = n == 2 || n >= 4;
                } else if (ch == u'y' || ch == u'a') {
                    element = "year";
                    isLong = n >= 3;
                } else if (ch == u'h') {
                    element = "hours";
                } else if (ch == u'n') {
                    element = "minutes";
                } else if (ch == u's') {
                    element = "seconds";
                }
                if (element.empty()) {
                    if (pattern[i] != u'"')
                        literal += pattern[i];
                    ++i;
                    continue;
                }
                text(literal);
                literal.clear();
                w.startElement(Ns::Number, element);
                w.attribute(Ns::Number, "style", isLong ? "long" : "short");
                if (textual)
                    w.attribute(Ns::Number, "textual", "true");
                w.endElement();
                afterHour = element == "hours";
                i += n;
            }
            text(literal);
            w.endElement();
            return;
        }
        writeNumberOnly(pattern, name, QString());
    }

    // A number (not date) pattern; `positiveStyle`, when given, shows the positive numbers
    // and this style the negative ones in red, as the other spreadsheets write "[Red]".
    void writeNumberOnly(const QString &pattern, const QString &name, const QString &positiveStyle)
    {
        XmlWriter &w = *m_w;
        auto text = [this](const QString &t) { writeNumberText(t); };
        const PatternInfo info = describeNumberPattern(pattern);
        w.startElement(Ns::Number, info.percent ? "percentage-style" : "number-style");
        w.attribute(Ns::Style, "name", name);
        if (!positiveStyle.isEmpty()) {
            w.startElement(Ns::Style, "text-properties");
            w.attribute(Ns::Fo, "color", "#ff0000");
            w.endElement();
        }
        text(info.prefix);
        w.startElement(Ns::Number, info.scientific ? "scientific-number" : "number");
        w.attribute(Ns::Number, "decimal-places", QString::number(info.decimals));
        w.attribute(Ns::Number, "min-integer-digits", QString::number(info.minIntegerDigits));
        if (info.grouping)
            w.attribute(Ns::Number, "grouping", "true");
        if (info.scientific)
            w.attribute(Ns::Number, "min-exponent-digits", QString::number(info.exponentDigits));
        w.endElement();
        text(info.suffix + (info.percent ? QStringLiteral("%") : QString()));
        if (!positiveStyle.isEmpty()) {
            w.startElement(Ns::Style, "map");
            w.attribute(Ns::Style, "condition", "value()>=0");
            w.attribute(Ns::Style, "apply-style-name", positiveStyle);
            w.endElement();
        }
        w.endElement();
    }

    void writeStyles()
    {
        XmlWriter &w = *m_w;
        w.startElement(Ns::Office, "styles");
        w.startElement(Ns::Style, "default-style");
        w.attribute(Ns::Style, "family", "table-cell");
        w.startElement(Ns::Style, "text-properties");
        w.attribute(Ns::Style, "font-name", m_book.defaultFormat().fontName);
        w.attribute(Ns::Fo, "font-size", "10pt");
        w.endElement();
        w.endElement();
        w.startElement(Ns::Style, "style");
        w.attribute(Ns::Style, "name", "Default");
        w.attribute(Ns::Style, "family", "table-cell");
        w.endElement();
        w.endElement();

        w.startElement(Ns::Office, "automatic-styles");
        int n = 0;
        for (int width : m_widths) {
            const QString name = QStringLiteral("co%1").arg(++n);
            m_columnStyles[width] = name;
            w.startElement(Ns::Style, "style");
            w.attribute(Ns::Style, "name", name);
            w.attribute(Ns::Style, "family", "table-column");
            w.startElement(Ns::Style, "table-column-properties");
            w.attribute(Ns::Fo, "break-before", "auto");
            w.attribute(Ns::Style, "column-width", twipsToLength(width));
            w.endElement();
            w.endElement();
        }
        n = 0;
        for (int height : m_heights) {
            const QString name = QStringLiteral("ro%1").arg(++n);
            m_rowStyles[height] = name;
            w.startElement(Ns::Style, "style");
            w.attribute(Ns::Style, "name", name);
            w.attribute(Ns::Style, "family", "table-row");
            w.startElement(Ns::Style, "table-row-properties");
            w.attribute(Ns::Style, "row-height", twipsToLength(height));
            w.attribute(Ns::Fo, "break-before", "auto");
            w.attribute(Ns::Style, "use-optimal-row-height", height == Workbook::kDefaultRowHeight ? "true" : "false");
            w.endElement();
            w.endElement();
        }
        w.startElement(Ns::Style, "style");
        w.attribute(Ns::Style, "name", "ta1");
        w.attribute(Ns::Style, "family", "table");
        w.startElement(Ns::Style, "table-properties");
        w.attribute(Ns::Table, "display", "true");
        w.endElement();
        w.endElement();
        for (const auto &[pattern, name] : m_numberStyles)
            writeNumberStyle(pattern, name);
        n = 0;
        for (std::uint32_t id : m_formatIds) {
            const QString name = QStringLiteral("ce%1").arg(++n);
            m_cellStyles[id] = name;
            writeCellStyle(name, m_access.formatById(id));
        }
        w.endElement();
    }

    void writeCellStyle(const QString &name, const CellFormat &f)
    {
        XmlWriter &w = *m_w;
        w.startElement(Ns::Style, "style");
        w.attribute(Ns::Style, "name", name);
        w.attribute(Ns::Style, "family", "table-cell");
        w.attribute(Ns::Style, "parent-style-name", "Default");
        if (!f.numberFormat.isEmpty())
            w.attribute(Ns::Style, "data-style-name", m_numberStyles[f.numberFormat]);
        w.startElement(Ns::Style, "table-cell-properties");
        if (f.horizontal != AlignGeneral)
            w.attribute(Ns::Style, "text-align-source", "fix");
        if (f.wrap)
            w.attribute(Ns::Fo, "wrap-option", "wrap");
        w.attribute(Ns::Style, "vertical-align",
                    f.vertical == AlignTop              ? "top"
                            : f.vertical == AlignMiddle ? "middle"
                                                        : "bottom");
        w.endElement();
        if (f.horizontal != AlignGeneral) {
            w.startElement(Ns::Style, "paragraph-properties");
            w.attribute(Ns::Fo, "text-align",
                        f.horizontal == AlignLeft             ? "start"
                                : f.horizontal == AlignCenter ? "center"
                                                              : "end");
            w.endElement();
        }
        w.startElement(Ns::Style, "text-properties");
        w.attribute(Ns::Style, "font-name", f.fontName);
        w.attribute(Ns::Fo, "font-size", QString::number(f.fontSize / 20.0) + "pt");
        w.attribute(Ns::Fo, "color", colourText(f.colour));
        w.attribute(Ns::Fo, "font-weight", f.bold ? "bold" : "normal");
        w.attribute(Ns::Fo, "font-style", f.italic ? "italic" : "normal");
        if (f.underline) {
            w.attribute(Ns::Style, "text-underline-style", "solid");
            w.attribute(Ns::Style, "text-underline-width", "auto");
            w.attribute(Ns::Style, "text-underline-color", "font-color");
        }
        if (f.strikeout)
            w.attribute(Ns::Style, "text-line-through-style", "solid");
        w.endElement();
        w.endElement();
    }

    void writeColumns(int sheet, int lastCol)
    {
        XmlWriter &w = *m_w;
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
            w.startElement(Ns::Table, "table-column");
            w.attribute(Ns::Table, "style-name", m_columnStyles[wdt]);
            if (n > 1)
                w.attribute(Ns::Table, "number-columns-repeated", QString::number(n));
            // A formatted column keeps its format for the cells that have none of their own.
            w.attribute(Ns::Table, "default-cell-style-name", fmt != 0 ? m_cellStyles[std::uint32_t(fmt)] : "Default");
            w.endElement();
            col += n;
        }
    }

    // One paragraph a line; the text goes out in slices between the elements, not copied.
    void writeParagraphs(QStringView text)
    {
        for (qsizetype start = 0;;) {
            const qsizetype end = text.indexOf(u'\n', start);
            writeParagraph(text.sliced(start, (end < 0 ? text.size() : end) - start));
            if (end < 0)
                break;
            start = end + 1;
        }
    }

    void writeParagraph(QStringView line)
    {
        XmlWriter &w = *m_w;
        w.startElement(Ns::Text, "p");
        // Runs of spaces, leading spaces and tabs are elements in OpenDocument text; control
        // characters, which XML 1.0 cannot carry, are left out by the writer.
        qsizetype plain = 0; // where the text not yet written starts
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar ch = line[i];
            if (ch == u'\t') {
                w.characters(line.sliced(plain, i - plain));
                w.emptyElement(Ns::Text, "tab");
                plain = i + 1;
                continue;
            }
            if (ch == u' ' && (i == 0 || line[i - 1] == u' ' || line[i - 1] == u'\t')) {
                qsizetype n = 0;
                while (i + n < line.size() && line[i + n] == u' ')
                    ++n;
                w.characters(line.sliced(plain, i - plain));
                w.emptyElement(Ns::Text, "s");
                if (n > 1)
                    w.attribute(Ns::Text, "c", n);
                i += n - 1;
                plain = i + 1;
            }
        }
        w.characters(line.sliced(plain));
        w.endElement();
    }

    void writeValue(const Value &v, const CellFormat &f, bool isFormula)
    {
        XmlWriter &w = *m_w;
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
                    w.attribute(Ns::Office, "value-type", "time");
                    w.attribute(Ns::Office, "time-value",
                                QStringLiteral("PT%1H%2M%3S")
                                        .arg(secs / 3600, 2, 10, QLatin1Char('0'))
                                        .arg(secs / 60 % 60, 2, 10, QLatin1Char('0'))
                                        .arg(secs % 60, 2, 10, QLatin1Char('0')));
                    break;
                }
                if (dt.isValid() && dt.date().year() >= 1) {
                    w.attribute(Ns::Office, "value-type", "date");
                    w.attribute(Ns::Office, "date-value",
                                dt.time() == QTime(0, 0) ? dt.date().toString(Qt::ISODate)
                                                         : dt.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")));
                    break;
                }
            }
            w.attribute(Ns::Office, "value-type", p.endsWith(u'%') ? "percentage" : "float");
            char buffer[40];
            w.attribute(Ns::Office, "value", numberText(x, buffer));
            break;
        }
        case Value::Type::Text:
            w.attribute(Ns::Office, "value-type", "string");
            if (isFormula)
                w.attribute(Ns::Office, "string-value", v.asText());
            break;
        case Value::Type::Boolean:
            w.attribute(Ns::Office, "value-type", "boolean");
            w.attribute(Ns::Office, "boolean-value", v.asBoolean() ? "true" : "false");
            break;
        case Value::Type::Error:
            w.attribute(Ns::Office, "value-type", "string");
            w.attribute(Ns::Office, "string-value", QString());
            w.attribute(Ns::CalcExt, "value-type", "error");
            break;
        }
    }

    void writeChart(int sheet, const ChartObject &chart)
    {
        XmlWriter &w = *m_w;
        const QString sheetName = m_book.sheetName(sheet);
        const QString quoted = u'\'' + QString(sheetName).replace(u'\'', QStringLiteral("''")) + u'\'';
        const QString range = quoted + u'.' + cellName(chart.range.top, chart.range.left) + u':' + quoted + u'.'
                + cellName(chart.range.bottom, chart.range.right);
        w.startElement(Ns::Draw, "frame");
        w.attribute(Ns::Svg, "width", twipsToLength(chart.width));
        w.attribute(Ns::Svg, "height", twipsToLength(chart.height));
        w.attribute(Ns::Svg, "x", "0in");
        w.attribute(Ns::Svg, "y", "0in");
        w.startElement(Ns::Draw, "object");
        w.attribute(Ns::Draw, "notify-on-update-of-ranges", range);
        w.startElement(Ns::Office, "document");
        w.attribute(Ns::Office, "mimetype", "application/vnd.oasis.opendocument.chart");
        w.startElement(Ns::Office, "body");
        w.startElement(Ns::Office, "chart");
        w.startElement(Ns::Chart, "chart");
        w.attribute(Ns::Chart, "class", "chart:bar");
        w.startElement(Ns::Chart, "plot-area");
        w.attribute(Ns::Table, "cell-range-address", range);
        w.endElement();
        w.endElement();
        w.endElement();
        w.endElement();
        w.endElement();
        w.endElement();
        w.endElement();
    }

    void writeCell(int sheet, const StoredCell *c, const std::vector<const ChartObject *> &charts)
    {
        XmlWriter &w = *m_w;
        w.startElement(Ns::Table, "table-cell");
        // A cell without a format of its own shows its row's or column's.
        const CellFormat &f = m_access.formatById(c ? m_access.formatIdAt(sheet, c->row, c->col) : 0);
        if (c) {
            if (c->formatId != 0)
                w.attribute(Ns::Table, "style-name", m_cellStyles[c->formatId]);
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
                m_formulaText.assign("of:=");
                appendFormulaText(m_formulaText, *written, Dialect::OpenFormula, m_access.sheetNames());
                w.attribute(Ns::Table, "formula", std::string_view(m_formulaText));
            } else if (c->rawFormula)
                w.attribute(Ns::Table, "formula", *c->rawFormula);
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
        w.endElement();
    }

    void emptyCells(int n)
    {
        if (n <= 0)
            return;
        m_w->startElement(Ns::Table, "table-cell");
        if (n > 1)
            m_w->attribute(Ns::Table, "number-columns-repeated", QString::number(n));
        m_w->endElement();
    }

    void startRow(int sheet, int row, int repeat)
    {
        m_w->startElement(Ns::Table, "table-row");
        const auto &heights = m_access.rowHeights(sheet);
        const auto it = heights.find(row);
        m_w->attribute(Ns::Table, "style-name",
                       m_rowStyles[it == heights.end() ? Workbook::kDefaultRowHeight : it->second]);
        if (repeat > 1)
            m_w->attribute(Ns::Table, "number-rows-repeated", QString::number(repeat));
        const auto &formats = m_access.rowFormats(sheet);
        if (const auto f = formats.find(row); repeat == 1 && f != formats.end())
            m_w->attribute(Ns::Table, "default-cell-style-name", m_cellStyles[std::uint32_t(f->second)]);
    }

    using Anchors = std::map<std::pair<int, int>, std::vector<const ChartObject *>>;

    // The end of the row of cells starting at `begin` (cells go row by row, column by column).
    static size_t rowEnd(const std::vector<StoredCell> &cells, size_t begin)
    {
        size_t end = begin;
        while (end < cells.size() && cells[end].row == cells[begin].row)
            ++end;
        return end;
    }

    static bool anchorsIn(const Anchors &anchors, int row)
    {
        const auto it = anchors.lower_bound({row, 0});
        return it != anchors.end() && it->first.first == row;
    }

    // A row may stand for the equal rows after it when it holds no chart or row format
    // (which a repeated row does not carry).
    bool mayRepeat(int sheet, int row, const Anchors &anchors)
    {
        return !anchorsIn(anchors, row) && !m_access.rowFormats(sheet).contains(row);
    }

    // Whether row `other` (its cells [otherBegin, otherEnd)) reads back as row `row` repeated.
    bool repeats(int sheet, int row, int other, const std::vector<StoredCell> &cells, size_t begin, size_t end,
                 size_t otherBegin, size_t otherEnd, const Anchors &anchors)
    {
        if (end - begin != otherEnd - otherBegin || !mayRepeat(sheet, other, anchors))
            return false;
        const auto &heights = m_access.rowHeights(sheet);
        const auto h = heights.find(row), otherH = heights.find(other);
        if ((h == heights.end()) != (otherH == heights.end()) || (h != heights.end() && h->second != otherH->second))
            return false;
        for (size_t i = 0; i < end - begin; ++i)
            if (!sameCell(cells[begin + i], cells[otherBegin + i]))
                return false;
        return true;
    }

    // Constants written alike: the same value and format. Rows holding formulas are written
    // one by one, as other spreadsheet programs keep a formula in the first of repeated
    // rows only.
    static bool sameCell(const StoredCell &a, const StoredCell &b)
    {
        return !a.formula && !b.formula && !a.rawFormula && !b.rawFormula && a.col == b.col && a.formatId == b.formatId
                && *a.value == *b.value
                && (!a.value->isNumber() || std::signbit(a.value->asNumber()) == std::signbit(b.value->asNumber()));
    }

    // The cells of one row and the charts anchored in it, gaps as repeated empty cells.
    void writeRowCells(int sheet, int row, const std::vector<StoredCell> &cells, size_t begin, size_t end,
                       const Anchors &anchors, int lastCol)
    {
        int col = 0; // last column written
        auto anchor = anchors.lower_bound({row, 0});
        size_t i = begin;
        while (i < end || (anchor != anchors.end() && anchor->first.first == row)) {
            const bool anchored = anchor != anchors.end() && anchor->first.first == row;
            const int c = i < end && (!anchored || cells[i].col <= anchor->first.second) ? cells[i].col
                                                                                         : anchor->first.second;
            const StoredCell *cell = i < end && cells[i].col == c ? &cells[i++] : nullptr;
            static const std::vector<const ChartObject *> none;
            const bool chartHere = anchored && anchor->first.second == c;
            emptyCells(c - col - 1);
            writeCell(sheet, cell, chartHere ? anchor->second : none);
            if (chartHere)
                ++anchor;
            col = c;
        }
        emptyCells(lastCol - col);
    }

    void writeSheet(int sheet)
    {
        XmlWriter &w = *m_w;
        const std::vector<StoredCell> cells = std::move(m_cells[size_t(sheet)]);
        Anchors anchors;
        const std::vector<ChartObject> charts = m_book.charts(sheet);
        for (const ChartObject &c : charts)
            anchors[{c.anchor.row, c.anchor.col}].push_back(&c);
        // Rows to write: rows with cells, custom heights or chart anchors.
        std::vector<int> rows;
        int lastCol = 1;
        for (const StoredCell &c : cells) {
            if (rows.empty() || rows.back() != c.row)
                rows.push_back(c.row);
            lastCol = std::max(lastCol, c.col);
        }
        for (const auto &[row, h] : m_access.rowHeights(sheet))
            rows.push_back(row);
        for (const auto &[row, f] : m_access.rowFormats(sheet))
            rows.push_back(row);
        for (const auto &[col, f] : m_access.columnFormats(sheet))
            lastCol = std::max(lastCol, col);
        for (const auto &[pos, list] : anchors) {
            rows.push_back(pos.first);
            lastCol = std::max(lastCol, pos.second);
        }
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        for (const auto &[col, wdt] : m_access.columnWidths(sheet))
            lastCol = std::max(lastCol, col);

        w.startElement(Ns::Table, "table");
        w.attribute(Ns::Table, "name", m_book.sheetName(sheet));
        w.attribute(Ns::Table, "style-name", "ta1");
        writeColumns(sheet, lastCol);
        size_t next = 0;
        int written = 0; // last row written
        for (size_t i = 0; i < rows.size(); ++i) {
            const int row = rows[i];
            if (row > written + 1) {
                startRow(sheet, written + 1, row - written - 1);
                emptyCells(lastCol);
                w.endElement();
            }
            const size_t end = rowEnd(cells, next);
            // Rows equal to this one that follow it go out as one repeated row.
            int repeat = 1;
            size_t after = end;
            if (mayRepeat(sheet, row, anchors))
                while (i + 1 < rows.size() && rows[i + 1] == row + repeat
                       && m_repeatedCells + qint64(end - next) <= limits::kRepeatedCells) {
                    const size_t otherEnd = rowEnd(cells, after);
                    if (!repeats(sheet, row, row + repeat, cells, next, end, after, otherEnd, anchors))
                        break;
                    m_repeatedCells += qint64(end - next); // the reader's count of cells made by repetition
                    after = otherEnd;
                    ++repeat;
                    ++i;
                }
            startRow(sheet, row, repeat);
            writeRowCells(sheet, row, cells, next, end, anchors, lastCol);
            w.endElement();
            next = after;
            written = row + repeat - 1;
        }
        if (rows.empty()) {
            startRow(sheet, 1, 1);
            emptyCells(lastCol);
            w.endElement();
        }
        w.endElement();
    }

    Workbook &m_book;
    WorkbookAccess m_access;
    XmlWriter *m_w = nullptr;
    std::string m_formulaText; // one cell's formula attribute, its room kept from cell to cell
    qint64 m_repeatedCells = 0; // cells that repeated rows stand for, in the whole workbook
    std::vector<std::vector<StoredCell>> m_cells; // of each sheet, row by row
    size_t m_cellCount = 0;
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
