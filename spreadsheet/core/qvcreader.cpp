// Reads a flat OpenDocument spreadsheet into a workbook. Only what the workbook can hold is
// taken (cells, formulas, styles, sizes, frozen panes, bar charts); everything else is
// skipped. Input that is not such a document gives a French error and leaves the target
// workbook as it was.
#include "spreadsheet/core/qvcfile.h"

#include "common/velmoraerror.h"
#include "spreadsheet/core/numberformat.h"
#include "spreadsheet/core/formulatokenizer.h"
#include "spreadsheet/core/odfxml.h"
#include "spreadsheet/core/qvcodf.h"
#include "spreadsheet/core/workbookaccess.h"
#include "spreadsheet/core/workbooklimits.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sheet {

namespace {

using namespace odf;

// The document's default cell style is filed under a name no style can have.
const QString kDefaultStyleKey = QStringLiteral("\u0001default");

struct StyleDraft
{
    QString parent;
    std::optional<QString> fontName;
    std::optional<int> fontSize;
    std::optional<bool> bold, italic, underline, strikeout, wrap;
    std::optional<unsigned int> colour;
    std::optional<HorizontalAlignment> horizontal;
    std::optional<VerticalAlignment> vertical;
    std::optional<QString> dataStyle;
};

struct SheetView
{
    int frozenRows = 0;
    int frozenCols = 0;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool isWordChar(char c) { return isLetter(c) || isDigit(c) || c == '_' || c == '$' || c == '.'; }

// Marks in a shape key where a relative row and a number constant were: bytes that an
// attribute of a well-formed file cannot carry, refused where the text has them.
constexpr char kRowMark = '\x01';
constexpr char kNumberMark = '\x02';

// The shape of a formula filled down a column: its text with every relative row of its
// references written as the offset to the cell's row, and its number constants left out
// (collected in `numbers`, in the order the compiler keeps them). Two cells of a column
// whose shapes are equal hold the same program: the second one is the first moved by the
// difference of their rows, its numbers replaced. The walk follows the tokenizer; false
// where the text holds anything it does not follow exactly (errors, names outside ASCII,
// whole rows or columns alone, ranges mixing a relative row with a fixed one), and such a
// formula is compiled on its own.
class ShapeScanner
{
public:
    ShapeScanner(std::string_view text, int row, std::string &key, std::vector<double> &numbers)
        : m_text(text),
          m_row(row),
          m_key(key),
          m_numbers(numbers)
    { }

    bool run()
    {
        m_key.clear();
        m_numbers.clear();
        m_refs = 0;
        m_distinct.clear();
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            bool ok = true;
            if (c == '"')
                ok = quoted('"');
            else if (c == '[')
                ok = reference();
            else if (isDigit(c) || (c == '.' && isDigit(at(m_pos + 1))))
                ok = number();
            else if (isLetter(c) || c == '_' || c == '$')
                word();
            else if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
                ok = false;
            else if (static_cast<unsigned char>(c) >= 0x80 || c == '#' || c == '\'')
                ok = false;
            else
                ++m_pos;
            if (!ok)
                return false;
        }
        flush(m_pos);
        return true;
    }

    int references() const { return m_refs; }

private:
    enum class RowKind { None, Relative, Fixed };

    char at(size_t i) const { return i < m_text.size() ? m_text[i] : '\0'; }

    // The key is the text itself but for the marks: what lies before `upto` and after the
    // last mark goes into it as it is.
    void flush(size_t upto)
    {
        m_key.append(m_text.data() + m_copied, upto - m_copied);
        m_copied = upto;
    }

    // A string or a quoted sheet name, doubled quotes inside.
    bool quoted(char quote)
    {
        ++m_pos;
        while (true) {
            if (m_pos >= m_text.size())
                return false;
            const char c = m_text[m_pos++];
            if (c == kRowMark || c == kNumberMark)
                return false;
            if (c == quote) {
                if (at(m_pos) != quote)
                    return true;
                ++m_pos;
            }
        }
    }

    void word()
    {
        while (m_pos < m_text.size() && isWordChar(m_text[m_pos]))
            ++m_pos;
    }

    void digits()
    {
        while (isDigit(at(m_pos)))
            ++m_pos;
    }

    bool number()
    {
        const size_t from = m_pos;
        digits();
        if (at(m_pos) == '.') {
            ++m_pos;
            // "1." and ".5" are left to the compiler.
            if (from + 1 == m_pos || !isDigit(at(m_pos)))
                return false;
            digits();
        }
        if ((at(m_pos) == 'e' || at(m_pos) == 'E')
            && (isDigit(at(m_pos + 1)) || ((at(m_pos + 1) == '+' || at(m_pos + 1) == '-') && isDigit(at(m_pos + 2))))) {
            m_pos += isDigit(at(m_pos + 1)) ? 1 : 2;
            digits();
        }
        double value = 0;
        if (m_pos - from > 40 || !formulaNumberValue(m_text.substr(from, m_pos - from), value))
            return false;
        m_numbers.push_back(value);
        flush(from);
        m_key.push_back(kNumberMark);
        m_copied = m_pos;
        return true;
    }

    // [.A1], [.A1:.B3], [$Feuil2.A1], ['Mon budget'.$A$1], [.A:.B], [.3:.5]
    bool reference()
    {
        const size_t start = m_pos++;
        End first, second;
        if (!referenceEnd(first))
            return false;
        const bool range = at(m_pos) == ':';
        if (range) {
            ++m_pos;
            if (!referenceEnd(second))
                return false;
        }
        if (at(m_pos) != ']')
            return false;
        ++m_pos;
        countReference(m_text.substr(start, m_pos - start));
        // A whole row or column alone keeps a zero that the compiler completes only in
        // ranges; a range mixing a relative row with a fixed (or no) row may turn its
        // corners over on some rows and not on others.
        if (!range)
            return !first.wholeLine;
        return first.row == second.row || (first.row != RowKind::Relative && second.row != RowKind::Relative);
    }

    struct End
    {
        RowKind row = RowKind::None;
        bool wholeLine = false;
    };

    bool referenceEnd(End &end)
    {
        if (at(m_pos) == '$')
            ++m_pos;
        if (at(m_pos) == '\'') {
            if (!quoted('\''))
                return false;
        } else {
            while (m_pos < m_text.size() && m_text[m_pos] != '.' && m_text[m_pos] != ']' && m_text[m_pos] != ':') {
                const char c = m_text[m_pos++];
                if (c == kRowMark || c == kNumberMark || c == '[')
                    return false;
            }
        }
        // A sheet alone as the second end, or an invalid reference: compiled on its own.
        if (at(m_pos) != '.')
            return false;
        ++m_pos;
        // The cell: $? letters $? digits, or letters alone, or digits alone.
        const bool firstAbs = at(m_pos) == '$';
        if (firstAbs)
            ++m_pos;
        int letters = 0, col = 0;
        while (isLetter(at(m_pos))) {
            col = col * 26 + ((m_text[m_pos++] & ~0x20) - 'A' + 1);
            if (++letters > 3)
                return false;
        }
        if (letters > 0 && col > kMaxColumns)
            return false;
        bool rowAbs = letters == 0 && firstAbs; // "$3": a fixed whole row
        if (at(m_pos) == '$') {
            if (letters == 0)
                return false;
            rowAbs = true;
            ++m_pos;
        }
        const size_t digitsFrom = m_pos;
        int row = 0;
        while (isDigit(at(m_pos))) {
            row = row * 10 + (m_text[m_pos++] - '0');
            if (m_pos - digitsFrom > 8)
                return false;
        }
        const bool hasRow = m_pos > digitsFrom;
        if (!hasRow && (letters == 0 || rowAbs))
            return false;
        if (hasRow && (row < 1 || row > kMaxRows))
            return false;
        end.wholeLine = !hasRow || letters == 0;
        end.row = !hasRow ? RowKind::None : rowAbs ? RowKind::Fixed : RowKind::Relative;
        if (end.row == RowKind::Relative) {
            flush(digitsFrom);
            char offset[16];
            offset[0] = kRowMark;
            const char *last = std::to_chars(offset + 1, offset + sizeof offset, row - m_row).ptr;
            m_key.append(offset, size_t(last - offset));
            m_copied = m_pos;
        }
        return true;
    }

    std::string_view m_text;
    size_t m_pos = 0;
    size_t m_copied = 0; // the text before it is in the key
    int m_row;
    std::string &m_key;
    std::vector<double> &m_numbers;
    int m_refs = 0;
    std::vector<std::string_view> m_distinct; // the first references, as written

    // The compiler keeps a reference written again as one entry of the formula's table when
    // it is among the first kMaxSharedRefs: the same text is the same reference on every
    // row, so counting as it does keeps the count comparable (references written
    // differently but equal, "[.a1]" and "[.A1]", make the counts differ: compiled then).
    void countReference(std::string_view text)
    {
        if (std::find(m_distinct.begin(), m_distinct.end(), text) != m_distinct.end())
            return;
        ++m_refs;
        if (m_distinct.size() < kMaxSharedRefs)
            m_distinct.push_back(text);
    }
};

class Reader
{
public:
    // From the bytes of a file, or from a file read as it goes.
    template<typename Source>
    Reader(Source &&source, Workbook &book) : m_xml(std::forward<Source>(source)),
                                              m_book(book),
                                              m_access(book)
    { }

    void run()
    {
        m_access.removeAllSheets();
        if (m_xml.hasError())
            fail();
        if (!m_xml.readNextStartElement() || m_xml.ns() != Ns::Office
            || (m_xml.name() != u"document" && m_xml.name() != u"document-content"))
            fail();
        bool sawSpreadsheet = false;
        while (m_xml.readNextStartElement()) {
            if (m_xml.ns() != Ns::Office) {
                m_xml.skipCurrentElement();
                continue;
            }
            const auto name = m_xml.name();
            if (name == u"meta")
                readMeta();
            else if (name == u"settings")
                readSettings();
            else if (name == u"font-face-decls")
                readFonts();
            else if (name == u"styles" || name == u"automatic-styles")
                readStyles();
            else if (name == u"body")
                sawSpreadsheet = readBody() || sawSpreadsheet;
            else
                m_xml.skipCurrentElement();
        }
        if (m_xml.hasError() || !sawSpreadsheet)
            fail();
        m_xml.release();
        compilePendingFormulas();
        applyViews();
        m_access.finishLoading();
    }

private:
    [[noreturn]] void fail()
    {
        switch (m_xml.problem()) {
        case XmlCursor::EntitiesDeclared:
            // Entities are where small XML files grow huge; the program never writes any.
            throw VelmoraError(limits::entitiesDeclared());
        case XmlCursor::Malformed:
            throw VelmoraError(QStringLiteral("Ce fichier n'est pas un classeur lisible (XML incorrect à la ligne %1)")
                                       .arg(m_xml.problemLine()));
        case XmlCursor::Truncated:
            throw VelmoraError(QStringLiteral("Ce classeur est incomplet (ligne %1)").arg(m_xml.problemLine()));
        case XmlCursor::ReadFailed: throw VelmoraError::readError();
        case XmlCursor::NotXml:
        case XmlCursor::NoProblem: break;
        }
        throw VelmoraError(QStringLiteral("Ce fichier n'est pas un classeur (tableur OpenDocument attendu)"));
    }

    QString attr(Ns ns, const char *name) const { return m_xml.attr(ns, name); }

    // Meta
    void readMeta()
    {
        // A document that names the program that wrote it (the other spreadsheets do, and
        // this program does since it writes codes their way) holds TEXT codes in their
        // convention; older files of this program name none and hold French codes.
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"generator")
                m_englishCodes = true;
            m_xml.skipCurrentElement();
        }
    }

    // Settings
    void readSettings()
    {
        // Only the view settings matter: per sheet split positions, and ShowGrid.
        QString currentTable;
        int depth = 1;
        while (depth > 0 && !m_xml.atEnd()) {
            const auto token = m_xml.readNext();
            if (token == XmlCursor::StartElement) {
                ++depth;
                if (m_xml.name() == u"config-item-map-entry" && m_xml.ns() == Ns::Config)
                    currentTable = attr(Ns::Config, "name");
                else if (m_xml.name() == u"config-item" && m_xml.ns() == Ns::Config) {
                    const QString name = attr(Ns::Config, "name");
                    const QString value = m_xml.readElementText();
                    --depth;
                    settingItem(currentTable, name, value);
                }
            } else if (token == XmlCursor::EndElement) {
                --depth;
                if (m_xml.name() == u"config-item-map-entry")
                    currentTable.clear();
            }
        }
    }

    void settingItem(const QString &table, const QString &name, const QString &value)
    {
        if (table.isEmpty()) {
            if (name == u"ShowGrid")
                m_showGrid = value == u"true";
            else if (name == u"ShowFormulas")
                m_showFormulas = value == u"true";
            return;
        }
        SheetView &v = m_views[table];
        if (name == u"HorizontalSplitMode")
            m_splitModes[table].first = value.toInt();
        else if (name == u"VerticalSplitMode")
            m_splitModes[table].second = value.toInt();
        else if (name == u"HorizontalSplitPosition")
            v.frozenCols = std::clamp(value.toInt(), 0, kMaxColumns - 1);
        else if (name == u"VerticalSplitPosition")
            v.frozenRows = std::clamp(value.toInt(), 0, kMaxRows - 1);
    }

    void applyViews()
    {
        for (int s = 0; s < m_book.sheetCount(); ++s) {
            const QString name = m_book.sheetName(s);
            const auto it = m_views.find(name);
            if (it == m_views.end())
                continue;
            const auto modes = m_splitModes[name];
            // Mode 2 is a frozen split; mode 1 is a movable split, which we do not have.
            if (modes.first == 2)
                m_book.setFrozenColumns(s, it->second.frozenCols);
            if (modes.second == 2)
                m_book.setFrozenRows(s, it->second.frozenRows);
        }
        m_book.setShowGridLines(m_showGrid);
        m_book.setShowFormulas(m_showFormulas);
    }

    // Fonts and styles
    void readFonts()
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"font-face") {
                QString family = attr(Ns::Svg, "font-family");
                if (family.size() >= 2 && (family.startsWith(u'\'') || family.startsWith(u'"')))
                    family = family.mid(1, family.size() - 2);
                m_fontFamilies[attr(Ns::Style, "name")] = family.isEmpty() ? attr(Ns::Style, "name") : family;
            }
            m_xml.skipCurrentElement();
        }
    }

    void readStyles()
    {
        while (m_xml.readNextStartElement()) {
            const auto name = m_xml.name();
            if (m_xml.ns() == Ns::Style && (name == u"style" || name == u"default-style"))
                readStyle(name == u"default-style");
            else if (m_xml.ns() == Ns::Number)
                readNumberStyle();
            else
                m_xml.skipCurrentElement();
        }
    }

    void readStyle(bool isDefault)
    {
        const QString family = attr(Ns::Style, "family");
        const QString name = isDefault ? kDefaultStyleKey : attr(Ns::Style, "name");
        if (family == u"table-column" || family == u"table-row") {
            while (m_xml.readNextStartElement()) {
                const QString length =
                        family == u"table-column" ? attr(Ns::Style, "column-width") : attr(Ns::Style, "row-height");
                const int twips = lengthToTwips(length);
                if (twips >= 0)
                    (family == u"table-column" ? m_columnWidths : m_rowHeights)[name] = twips;
                m_xml.skipCurrentElement();
            }
            return;
        }
        if (family != u"table-cell") {
            m_xml.skipCurrentElement();
            return;
        }
        StyleDraft d;
        d.parent = isDefault ? QString() : attr(Ns::Style, "parent-style-name");
        if (!isDefault && d.parent.isEmpty())
            d.parent = kDefaultStyleKey;
        const QString dataStyle = attr(Ns::Style, "data-style-name");
        if (!dataStyle.isEmpty())
            d.dataStyle = dataStyle;
        while (m_xml.readNextStartElement()) {
            const auto el = m_xml.name();
            if (el == u"text-properties")
                readTextProperties(d);
            else if (el == u"paragraph-properties") {
                const QString a = attr(Ns::Fo, "text-align");
                if (a == u"start" || a == u"left")
                    d.horizontal = AlignLeft;
                else if (a == u"center")
                    d.horizontal = AlignCenter;
                else if (a == u"end" || a == u"right")
                    d.horizontal = AlignRight;
            } else if (el == u"table-cell-properties") {
                const QString wrap = attr(Ns::Fo, "wrap-option");
                if (!wrap.isEmpty())
                    d.wrap = wrap == u"wrap";
                const QString v = attr(Ns::Style, "vertical-align");
                if (v == u"top")
                    d.vertical = AlignTop;
                else if (v == u"middle")
                    d.vertical = AlignMiddle;
                else if (v == u"bottom")
                    d.vertical = AlignBottom;
            }
            m_xml.skipCurrentElement();
        }
        m_cellStyles[name] = d;
    }

    void readTextProperties(StyleDraft &d)
    {
        QString font = attr(Ns::Style, "font-name");
        if (!font.isEmpty())
            d.fontName = m_fontFamilies.value(font, font);
        else if (!attr(Ns::Fo, "font-family").isEmpty())
            d.fontName = attr(Ns::Fo, "font-family").remove(u'\'');
        const QString size = attr(Ns::Fo, "font-size");
        if (size.endsWith(u"pt")) {
            bool ok = false;
            const double pt = size.left(size.size() - 2).toDouble(&ok);
            if (ok && pt > 0 && pt < 1000)
                d.fontSize = int(std::lround(pt * 20));
        }
        const QString weight = attr(Ns::Fo, "font-weight");
        if (!weight.isEmpty())
            d.bold = weight == u"bold" || weight.toInt() >= 600;
        const QString style = attr(Ns::Fo, "font-style");
        if (!style.isEmpty())
            d.italic = style == u"italic" || style == u"oblique";
        const QString underline = attr(Ns::Style, "text-underline-style");
        if (!underline.isEmpty())
            d.underline = underline != u"none";
        const QString strike = attr(Ns::Style, "text-line-through-style");
        if (!strike.isEmpty())
            d.strikeout = strike != u"none";
        const QString colour = attr(Ns::Fo, "color");
        if (colour.size() == 7 && colour.startsWith(u'#')) {
            bool ok = false;
            const unsigned int rgb = colour.mid(1).toUInt(&ok, 16);
            if (ok)
                d.colour = rgb;
        }
    }

    void readNumberStyle()
    {
        const auto kind = m_xml.name().toString();
        const QString name = attr(Ns::Style, "name");
        QString pattern;
        bool afterHours = false;
        QString colour, positive; // a red style for the negatives, mapped from the positive one
        while (m_xml.readNextStartElement()) {
            const auto el = m_xml.name();
            const bool isLong = attr(Ns::Number, "style") == u"long";
            if (el == u"text-properties" && m_xml.ns() == Ns::Style) {
                colour = attr(Ns::Fo, "color").toLower();
            } else if (el == u"map" && m_xml.ns() == Ns::Style) {
                if (QString(attr(Ns::Style, "condition")).remove(u' ') == u"value()>=0")
                    positive = attr(Ns::Style, "apply-style-name");
            } else if (el == u"text-content") {
                pattern += u'@';
            } else if (el == u"number" || el == u"scientific-number") {
                const int decimals = std::clamp(attr(Ns::Number, "decimal-places").toInt(), 0, 15);
                const QString minInt = attr(Ns::Number, "min-integer-digits");
                const int minDigits = minInt.isEmpty() ? 1 : std::clamp(minInt.toInt(), 0, 15);
                QString integer = minDigits == 0 ? QStringLiteral("#") : QString(minDigits, u'0');
                if (attr(Ns::Number, "grouping") == u"true")
                    integer = minDigits <= 1 ? QStringLiteral("# ##") + integer : QStringLiteral("# ") + integer;
                pattern += integer;
                if (decimals > 0)
                    pattern += u',' + QString(decimals, u'0');
                if (el == u"scientific-number")
                    pattern += QStringLiteral("E+")
                            + QString(std::clamp(attr(Ns::Number, "min-exponent-digits").toInt(), 1, 3), u'0');
            } else if (el == u"text" || el == u"currency-symbol") {
                QString t = m_xml.readElementText();
                pattern += t.contains(QRegularExpression(QStringLiteral("[0#?,dmyhsnaj]"),
                                                         QRegularExpression::CaseInsensitiveOption))
                                && t != u"%"
                        ? u'"' + t.remove(u'"') + u'"'
                        : t;
                continue;
            } else if (el == u"day") {
                pattern += isLong ? QStringLiteral("dd") : QStringLiteral("d");
            } else if (el == u"day-of-week") {
                pattern += isLong ? QStringLiteral("dddd") : QStringLiteral("ddd");
            } else if (el == u"month") {
                const bool textual = attr(Ns::Number, "textual") == u"true";
                pattern += textual ? (isLong ? QStringLiteral("mmmm") : QStringLiteral("mmm"))
                                   : (isLong ? QStringLiteral("mm") : QStringLiteral("m"));
            } else if (el == u"year") {
                pattern += isLong ? QStringLiteral("yyyy") : QStringLiteral("yy");
            } else if (el == u"hours") {
                pattern += isLong ? QStringLiteral("hh") : QStringLiteral("h");
                afterHours = true;
            } else if (el == u"minutes") {
                pattern += isLong ? QStringLiteral("nn") : QStringLiteral("n");
            } else if (el == u"seconds") {
                pattern += isLong ? QStringLiteral("ss") : QStringLiteral("s");
            }
            m_xml.skipCurrentElement();
        }
        (void)afterHours;
        if (kind == u"percentage-style" && !pattern.contains(u'%'))
            pattern += u'%';
        if (kind == u"text-style")
            pattern = pattern == u"@" ? pattern : QString();
        if (!positive.isEmpty() && m_numberFormats.contains(positive))
            pattern = m_numberFormats[positive]
                    + (colour == u"#ff0000" ? QStringLiteral(";[Rouge]") : QStringLiteral(";")) + pattern;
        if (kind == u"boolean-style" || pattern.size() > 200)
            pattern.clear();
        m_numberFormats[name] = pattern;
    }

    // The format a cell style stands for, its parents' properties merged in.
    std::uint32_t formatFor(const QString &styleName)
    {
        if (styleName.isEmpty())
            return defaultFormatId();
        const auto cached = m_formatIds.find(styleName);
        if (cached != m_formatIds.end())
            return cached->second;
        CellFormat f;
        std::vector<const StyleDraft *> chain;
        QString name = styleName;
        for (int guard = 0; guard < 20 && !name.isEmpty() && name != kDefaultStyleKey && name != u"Default"; ++guard) {
            const auto it = m_cellStyles.find(name);
            if (it == m_cellStyles.end())
                break;
            chain.push_back(&it->second);
            name = it->second.parent;
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const StyleDraft &d = **it;
            if (d.fontName)
                f.fontName = *d.fontName;
            if (d.fontSize)
                f.fontSize = *d.fontSize;
            if (d.bold)
                f.bold = *d.bold;
            if (d.italic)
                f.italic = *d.italic;
            if (d.underline)
                f.underline = *d.underline;
            if (d.strikeout)
                f.strikeout = *d.strikeout;
            if (d.colour)
                f.colour = *d.colour;
            if (d.horizontal)
                f.horizontal = *d.horizontal;
            if (d.vertical)
                f.vertical = *d.vertical;
            if (d.wrap)
                f.wrap = *d.wrap;
            if (d.dataStyle)
                f.numberFormat = m_numberFormats.value(*d.dataStyle);
        }
        // The program's default font stands for the file's default.
        const std::uint32_t id = m_access.internFormat(f);
        m_formatIds[styleName] = id;
        return id;
    }

    // The document's default style stands for the program's default format: cells without
    // a style of their own take the program's font.
    std::uint32_t defaultFormatId() { return 0; }

    // Body
    bool readBody()
    {
        bool found = false;
        while (m_xml.readNextStartElement()) {
            if (m_xml.ns() == Ns::Office && m_xml.name() == u"spreadsheet") {
                found = true;
                while (m_xml.readNextStartElement()) {
                    if (m_xml.ns() == Ns::Table && m_xml.name() == u"table")
                        readTable();
                    else
                        m_xml.skipCurrentElement();
                }
            } else {
                m_xml.skipCurrentElement();
            }
        }
        return found;
    }

    void readTable()
    {
        const int sheet = m_access.appendSheet(attr(Ns::Table, "name"));
        // Shapes hold sheet names: they are kept within one sheet, while the names are the same.
        m_columnFormulas.assign(size_t(kMaxColumns) + 1, ColumnFormula());
        m_columnTexts.assign(size_t(kMaxColumns) + 1, ColumnText());
        m_row = 1;
        m_col = 1;
        readTableContent(sheet);
    }

    // Rows may sit inside row groups and header rows; columns inside column groups.
    void readTableContent(int sheet)
    {
        while (m_xml.readNextStartElement()) {
            const auto name = m_xml.name();
            if (m_xml.ns() != Ns::Table) {
                m_xml.skipCurrentElement();
            } else if (name == u"table-column") {
                readColumn(sheet);
            } else if (name == u"table-row") {
                readRow(sheet);
            } else if (name == u"table-row-group" || name == u"table-header-rows" || name == u"table-rows"
                       || name == u"table-column-group" || name == u"table-header-columns"
                       || name == u"table-columns") {
                readTableContent(sheet);
            } else {
                m_xml.skipCurrentElement();
            }
        }
    }

    static int repeatCount(const QString &text)
    {
        if (text.isEmpty())
            return 1;
        bool ok = false;
        const qlonglong n = text.toLongLong(&ok);
        if (!ok || n < 1)
            return 1;
        return int(std::min<qlonglong>(n, kMaxRows));
    }

    void readColumn(int sheet)
    {
        const int repeat = repeatCount(attr(Ns::Table, "number-columns-repeated"));
        const auto it = m_columnWidths.find(attr(Ns::Table, "style-name"));
        if (it != m_columnWidths.end() && it->second != Workbook::kDefaultColumnWidth)
            for (int i = 0; i < repeat && m_col + i <= kMaxColumns; ++i)
                m_access.putColumnWidth(sheet, m_col + i, it->second);
        // A formatted column: its cells without a style of their own take this one.
        const QString cellStyle = attr(Ns::Table, "default-cell-style-name");
        if (!cellStyle.isEmpty()) {
            const std::uint32_t id = formatFor(cellStyle);
            if (id != 0 && id != defaultFormatId())
                for (int i = 0; i < repeat && m_col + i <= kMaxColumns; ++i)
                    m_access.putColumnFormat(sheet, m_col + i, id);
        }
        m_col = std::min(m_col + repeat, kMaxColumns + 1);
        m_xml.skipCurrentElement();
    }

    void readRow(int sheet)
    {
        const int repeat = repeatCount(attr(Ns::Table, "number-rows-repeated"));
        const auto it = m_rowHeights.find(attr(Ns::Table, "style-name"));
        const bool customHeight = it != m_rowHeights.end() && std::abs(it->second - Workbook::kDefaultRowHeight) > 5;
        const QString cellStyle = attr(Ns::Table, "default-cell-style-name");
        const std::uint32_t rowFormat = cellStyle.isEmpty() ? 0 : formatFor(cellStyle);
        const bool formattedRow = rowFormat != 0 && rowFormat != defaultFormatId();
        // Only rows that hold something are repeated cell by cell.
        const qint64 rowStart = m_row;
        std::vector<PendingCell> &cells = m_rowCells; // its room kept from row to row
        cells.clear();
        int col = 1;
        while (m_xml.readNextStartElement()) {
            const auto name = m_xml.name();
            if (m_xml.ns() == Ns::Table && (name == u"table-cell" || name == u"covered-table-cell")) {
                const int n = repeatCount(attr(Ns::Table, "number-columns-repeated"));
                PendingCell c = readCell(name == u"covered-table-cell");
                if (c.holdsContent())
                    m_leftOut += std::max<qint64>(0, qint64(col) + n - 1 - std::max(col - 1, kMaxColumns));
                if (c.meaningful && col <= kMaxColumns) {
                    c.col = col;
                    c.repeat = std::min(n, kMaxColumns - col + 1);
                    cells.push_back(std::move(c));
                }
                col = int(std::min<qint64>(qint64(col) + n, kMaxColumns + 1));
            } else {
                m_xml.skipCurrentElement();
            }
        }
        chargeBudget(cells, std::min<qint64>(repeat, kMaxRows - rowStart + 1));
        for (int r = 0; r < repeat && rowStart + r <= kMaxRows; ++r) {
            const int row = int(rowStart + r);
            // A height given to a long run of empty rows is kept for its first thousand rows
            // only (as the workbook does when a whole column of rows is resized).
            if (customHeight && (r < 1000 || !cells.empty()))
                m_access.putRowHeight(sheet, row, it->second);
            if (formattedRow && (r < 1000 || !cells.empty()))
                m_access.putRowFormat(sheet, row, rowFormat);
            if (cells.empty()) {
                if (r >= 1000)
                    break;
                continue;
            }
            for (const PendingCell &c : cells)
                for (int k = 0; k < c.repeat; ++k)
                    place(sheet, row, c.col + k, c);
        }
        qint64 withContent = 0; // a format alone is not content lost
        for (const PendingCell &c : cells)
            if (c.holdsContent())
                withContent += c.repeat;
        m_leftOut +=
                withContent * std::max<qint64>(0, rowStart + repeat - 1 - std::max<qint64>(rowStart - 1, kMaxRows));
        m_row = std::min<qint64>(rowStart + repeat, kMaxRows + 1);
    }

    struct PendingCell
    {
        bool meaningful = false;
        bool holdsContent() const { return !value.isEmpty() || !formula.empty() || !charts.empty(); }
        int col = 0;
        int repeat = 1;
        Value value;
        std::string formula; // as the file gives it, in UTF-8: "of:=..."
        std::uint32_t formatId = 0;
        std::vector<ChartObject> charts;
    };

    // Counts the cells and the text a run of `rows` equal rows will create, before any is
    // created: a small file cannot make the reader ask for more than the limits allow. Of
    // the cells, those the file writes out are bounded by its size; the others, made by
    // repetition, by the budget of the whole workbook.
    void chargeBudget(const std::vector<PendingCell> &cells, qint64 rows)
    {
        qint64 perRow = 0, textPerRow = 0;
        for (const PendingCell &c : cells) {
            perRow += c.repeat;
            if (c.value.isText())
                textPerRow += qint64(c.value.asText().size()) * c.repeat;
        }
        m_repeatedCells += std::max<qint64>(0, perRow * rows - qint64(cells.size()));
        if (m_repeatedCells > limits::kRepeatedCells)
            throw VelmoraError(limits::tooManyCells());
        // Checked per row first so that the product cannot overflow.
        if (textPerRow > limits::kTextCharacters || textPerRow * rows > limits::kTextCharacters - m_textCharacters)
            throw VelmoraError(limits::tooMuchText());
        m_textCharacters += textPerRow * rows;
    }

    void place(int sheet, int row, int col, const PendingCell &c)
    {
        for (ChartObject chart : c.charts) {
            chart.anchor = CellAddress{row, col};
            m_access.putChart(sheet, chart);
        }
        if (!c.formula.empty()) {
            std::string_view text = c.formula;
            bool openFormula = true;
            if (text.starts_with("of:"))
                text.remove_prefix(3);
            else if (text.starts_with("oooc:") || text.starts_with("msoxl:"))
                openFormula = false;
            if (openFormula && text.starts_with('=')) {
                placeOpenFormula(sheet, row, col, c, text.substr(1));
                return;
            }
            m_access.putRawFormula(sheet, row, col, QString::fromUtf8(c.formula.data(), qsizetype(c.formula.size())),
                                   c.value);
        } else if (!c.value.isEmpty()) {
            m_access.putValue(sheet, row, col, c.value);
        }
        m_access.putFormat(sheet, row, col, c.formatId);
    }

    // The formula last compiled in a column of the sheet being read, with its shape.
    struct ColumnFormula
    {
        bool valid = false;
        int row = 0;
        std::string shape;
        Formula formula;
    };

    // The formula compiled last in a column of the sheet being read, with its text.
    struct ColumnText
    {
        bool valid = false;
        std::string text; // as the file gives it
        std::optional<Formula> formula; // none when it is kept as written
    };

    // `text`: the formula after "of:=". A formula written as the one compiled last in its
    // column is that one (a file names cells by their place, so the same text reads the
    // same cells in any row: rows repeated, a constant copied down); one of the same shape
    // is that one moved down, its numbers replaced; any other one is compiled as it is
    // read, and one naming a sheet not yet read is compiled again once every sheet is known.
    void placeOpenFormula(int sheet, int row, int col, const PendingCell &c, std::string_view text)
    {
        ColumnText &same = m_columnTexts[size_t(col)];
        if (same.valid && same.text == c.formula) {
            std::optional<Formula> f = same.formula;
            placeFormula(sheet, row, col, c.formatId, c.value,
                         f ? QString() : QString::fromUtf8(c.formula.data(), qsizetype(c.formula.size())), f);
            return;
        }
        ShapeScanner scanner(text, row, m_shape, m_shapeNumbers);
        const bool shaped = scanner.run();
        ColumnFormula &last = m_columnFormulas[size_t(col)];
        if (shaped && last.valid && last.shape == m_shape) {
            std::optional<Formula> f = last.formula;
            shiftRelativeRefs(*f, row - last.row, 0);
            if (!std::equal(m_shapeNumbers.begin(), m_shapeNumbers.end(), f->numbers.begin(), f->numbers.end()))
                f->numbers.assign(m_shapeNumbers);
            placeFormula(sheet, row, col, c.formatId, c.value, {}, f);
            return;
        }
        const QString raw = QString::fromUtf8(c.formula.data(), qsizetype(c.formula.size()));
        // The prefix before the text is ASCII: as many characters as bytes.
        PendingFormula p{sheet, row, col, raw, qsizetype(text.data() - c.formula.data()), c.value, c.formatId};
        std::optional<Formula> f = compile(p.text());
        if (f && std::any_of(f->refs.begin(), f->refs.end(), [](const FormulaRef &r) { return r.invalid; })) {
            m_pendingFormulas.push_back(std::move(p));
            return;
        }
        // Kept for the cells below when the walk saw what the compiler saw.
        if (shaped && f && size_t(scanner.references()) == f->refs.size()
            && std::equal(m_shapeNumbers.begin(), m_shapeNumbers.end(), f->numbers.begin(), f->numbers.end())) {
            last.valid = true;
            last.row = row;
            last.shape.swap(m_shape);
            last.formula = *f;
        }
        same.valid = true;
        same.text = c.formula;
        same.formula = f;
        placeFormula(p, f);
    }

    struct PendingFormula
    {
        int sheet, row, col;
        QString raw; // as the file gives it: "of:=..."
        qsizetype textStart; // of the formula itself, after "="
        Value cached;
        std::uint32_t formatId;
        QString text() const { return raw.mid(textStart); }
    };

    void compilePendingFormulas()
    {
        for (const PendingFormula &p : m_pendingFormulas) {
            std::optional<Formula> f = compile(p.text());
            placeFormula(p, f);
        }
        m_pendingFormulas.clear();
    }

    // The formula compiled; none when it is kept as written: a syntax error, or a function
    // this program lacks, which would turn the cached result into #NAME?.
    std::optional<Formula> compile(const QString &text) const
    {
        try {
            Formula f = compileFormula(text, Dialect::OpenFormula, m_access.sheetNames());
            if (m_englishCodes)
                convertTextCodes(f, true);
            const bool unknown = std::any_of(f.code.begin(), f.code.end(), [](const Instr &in) {
                return in.op == Op::CallUnknown || in.op == Op::Name;
            });
            if (!unknown)
                return f;
        } catch (const VelmoraError &) {
            // Kept as written, with its cached value.
        }
        return std::nullopt;
    }

    void placeFormula(const PendingFormula &p, std::optional<Formula> &f)
    {
        placeFormula(p.sheet, p.row, p.col, p.formatId, p.cached, p.raw, f);
    }

    void placeFormula(int sheet, int row, int col, std::uint32_t formatId, const Value &cached, const QString &raw,
                      std::optional<Formula> &f)
    {
        if (f) {
            m_access.putFormula(sheet, row, col, std::move(*f), cached);
        } else {
            // Without a stored result such a formula shows #NAME?, as when it is typed.
            m_access.putRawFormula(sheet, row, col, raw, cached.isEmpty() ? Value::error(ErrorCode::Name) : cached);
        }
        m_access.putFormat(sheet, row, col, formatId);
    }

    PendingCell readCell(bool covered)
    {
        PendingCell c;
        // The attributes in one pass: a cell is the element read most often.
        std::string_view style, type, ext, value, dateValue, timeValue, boolValue;
        const char *stringValue = nullptr;
        m_xml.forEachAttribute([&](Ns ns, std::string_view name, const char *v) {
            if (ns == Ns::Table && name == "style-name")
                style = v;
            else if (ns == Ns::Table && name == "formula")
                c.formula = v;
            else if (ns == Ns::Office && name == "value-type")
                type = v;
            else if (ns == Ns::CalcExt && name == "value-type")
                ext = v;
            else if (ns == Ns::Office && name == "value")
                value = v;
            else if (ns == Ns::Office && name == "string-value")
                stringValue = v;
            else if (ns == Ns::Office && name == "date-value")
                dateValue = v;
            else if (ns == Ns::Office && name == "time-value")
                timeValue = v;
            else if (ns == Ns::Office && name == "boolean-value")
                boolValue = v;
        });
        c.formatId = style.empty() ? 0 : formatFor(QString::fromUtf8(style.data(), qsizetype(style.size())));
        const bool numeric = type == "float" || type == "percentage" || type == "currency";
        double number = 0;
        bool numberRead = false;
        if (numeric) {
            numberRead = plainDecimalValue(value, number);
            if (!numberRead)
                number = QByteArray::fromRawData(value.data(), qsizetype(value.size())).toDouble(&numberRead);
            numberRead = numberRead && std::isfinite(number);
        }
        // The text shown is read only where the value does not say it all.
        const bool keepText = !covered
                && (ext == "error"
                    || !((numeric && numberRead) || type == "boolean" || (type == "string" && stringValue)));
        QString text;
        bool firstParagraph = true;
        while (m_xml.readNextStartElement()) {
            if (m_xml.ns() == Ns::Text && m_xml.name() == u"p") {
                if (!firstParagraph && keepText)
                    text += u'\n';
                firstParagraph = false;
                text += readParagraph(keepText);
            } else if (m_xml.ns() == Ns::Draw && m_xml.name() == u"frame") {
                readFrame(c.charts);
            } else {
                m_xml.skipCurrentElement();
            }
        }
        if (covered)
            text.clear();
        if (ext == "error" || (type.empty() && !c.formula.empty() && errorFromText(text) != ErrorCode::None)) {
            const ErrorCode e = errorFromText(text);
            c.value = Value::error(e == ErrorCode::None ? ErrorCode::Value : e);
        } else if (numeric) {
            c.value = numberRead ? Value::number(number) : Value::text(text);
            if (!numberRead)
                ++m_leftOut;
        } else if (type == "date") {
            c.value = parseDate(QString::fromUtf8(dateValue.data(), qsizetype(dateValue.size())), text);
        } else if (type == "time") {
            c.value = parseDuration(QString::fromUtf8(timeValue.data(), qsizetype(timeValue.size())), text);
        } else if (type == "boolean") {
            c.value = Value::boolean(boolValue == "true" || boolValue == "1");
        } else if (type == "string") {
            c.value = Value::text(stringValue ? QString::fromUtf8(stringValue) : text);
        } else if (!text.isEmpty()) {
            c.value = Value::text(text);
        }
        // A date or a time keeps the way it was shown when its style gave no number format.
        if ((type == "date" || type == "time") && c.value.isNumber()
            && m_access.formatById(c.formatId).numberFormat.isEmpty()) {
            CellFormat f = m_access.formatById(c.formatId);
            f.numberFormat = type == "time"
                    ? QStringLiteral("hh:nn:ss")
                    : (c.value.asNumber() == std::floor(c.value.asNumber()) ? QStringLiteral("dd/mm/yyyy")
                                                                            : QStringLiteral("dd/mm/yyyy hh:nn"));
            c.formatId = m_access.internFormat(f);
        }
        c.meaningful = !c.value.isEmpty() || !c.formula.empty() || c.formatId != defaultFormatId() || !c.charts.empty();
        return c;
    }

    static Value parseDate(const QString &iso, const QString &text)
    {
        QDateTime dt = QDateTime::fromString(iso, Qt::ISODate);
        // A date and time without a zone is a wall-clock time, valid even in the hour the
        // clocks skip in spring, which local time would refuse.
        if (!dt.isValid() && !iso.endsWith(u'Z'))
            dt = QDateTime::fromString(iso + u'Z', Qt::ISODate);
        if (!dt.isValid()) {
            const QDate d = QDate::fromString(iso.left(10), Qt::ISODate);
            if (!d.isValid())
                return Value::text(text);
            dt = QDateTime(d, QTime(0, 0));
        }
        const double t = dt.time().msecsSinceStartOfDay() / 86400000.0;
        return Value::number(dateToSerial(dt.date()) + t);
    }

    static Value parseDuration(const QString &iso, const QString &text)
    {
        // PT10H30M00S, PT36H (durations may pass a day), with optional fractions of seconds.
        static const QRegularExpression re(
                QStringLiteral("^(-)?P(?:(\\d+)D)?T(?:(\\d+)H)?(?:(\\d+)M)?(?:(\\d+(?:\\.\\d+)?)S)?$"));
        const QRegularExpressionMatch m = re.match(iso);
        if (!m.hasMatch())
            return Value::text(text);
        const double seconds = m.captured(2).toDouble() * 86400 + m.captured(3).toDouble() * 3600
                + m.captured(4).toDouble() * 60 + m.captured(5).toDouble();
        return Value::number((m.captured(1).isEmpty() ? 1 : -1) * seconds / 86400.0);
    }

    // The text of a paragraph; with `keep` false only its length is followed (for the text
    // budget, which a paragraph passes as it does when it is kept) and no text is built.
    QString readParagraph(bool keep)
    {
        QString text;
        qsizetype length = 0;
        auto add = [&](qsizetype n, auto &&append) {
            if (keep)
                append();
            length += n;
        };
        int depth = 1;
        while (depth > 0 && !m_xml.atEnd()) {
            const auto token = m_xml.readNext();
            if (token == XmlCursor::Characters) {
                if (keep)
                    text += m_xml.text();
                length = keep ? text.size() : length + utf16Length(m_xml.rawText());
            } else if (token == XmlCursor::StartElement) {
                ++depth;
                if (m_xml.ns() == Ns::Text) {
                    if (m_xml.name() == u"s") {
                        const int n = spaceCount(length);
                        add(n, [&] { text += QString(n, u' '); });
                    } else if (m_xml.name() == u"tab") {
                        add(1, [&] { text += u'\t'; });
                    } else if (m_xml.name() == u"line-break") {
                        add(1, [&] { text += u'\n'; });
                    } else if (m_xml.name() == u"note") {
                        m_xml.skipCurrentElement();
                        --depth;
                    }
                } else if (m_xml.ns() == Ns::Office && m_xml.name() == u"annotation") {
                    m_xml.skipCurrentElement();
                    --depth;
                }
            } else if (token == XmlCursor::EndElement) {
                --depth;
            }
            if (length > limits::kTextCharacters - m_textCharacters)
                throw VelmoraError(limits::tooMuchText());
        }
        return text;
    }

    // The characters UTF-8 `text` makes once decoded, without decoding ASCII.
    static qsizetype utf16Length(const char *text)
    {
        qsizetype n = 0;
        for (const char *p = text; *p; ++p, ++n)
            if (static_cast<unsigned char>(*p) >= 0x80)
                return QString::fromUtf8(text).size();
        return n;
    }

    // The spaces of a <text:s text:c="N"/> (at least one), refused when they would pass the
    // workbook's text budget with the `sofar` characters of the paragraph.
    int spaceCount(qsizetype sofar)
    {
        bool ok = false;
        const qint64 n = std::max<qint64>(1, QByteArray(m_xml.attribute(Ns::Text, "c")).toLongLong(&ok));
        if (n > limits::kTextCharacters - m_textCharacters - sofar)
            throw VelmoraError(limits::tooMuchText());
        return ok ? int(n) : 1;
    }

    // A chart frame: keeps bar charts of a range (the only kind the workbook draws).
    void readFrame(std::vector<ChartObject> &charts)
    {
        ChartObject chart;
        const int w = lengthToTwips(attr(Ns::Svg, "width")), h = lengthToTwips(attr(Ns::Svg, "height"));
        if (w > 0)
            chart.width = w;
        if (h > 0)
            chart.height = h;
        QString range;
        int depth = 1;
        while (depth > 0 && !m_xml.atEnd()) {
            const auto token = m_xml.readNext();
            if (token == XmlCursor::StartElement) {
                ++depth;
                if (m_xml.ns() == Ns::Draw && m_xml.name() == u"object" && range.isEmpty())
                    range = attr(Ns::Draw, "notify-on-update-of-ranges");
                else if (m_xml.ns() == Ns::Chart && m_xml.name() == u"plot-area"
                         && !attr(Ns::Table, "cell-range-address").isEmpty())
                    range = attr(Ns::Table, "cell-range-address");
            } else if (token == XmlCursor::EndElement) {
                --depth;
            }
        }
        // "'Feuil1'.B2:'Feuil1'.D9" or "Feuil1.B2:Feuil1.D9" (first range only)
        const QString first = range.section(u' ', 0, 0);
        const QStringList ends = first.split(u':');
        if (ends.size() != 2)
            return;
        int r1, c1, r2, c2;
        if (!parseCellName(ends[0].section(u'.', -1).remove(u'$'), r1, c1)
            || !parseCellName(ends[1].section(u'.', -1).remove(u'$'), r2, c2))
            return;
        chart.range = CellRange{std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
        charts.push_back(chart);
    }

    XmlCursor m_xml;
    Workbook &m_book;
    WorkbookAccess m_access;
    QHash<QString, QString> m_fontFamilies;
    std::map<QString, StyleDraft> m_cellStyles;
    QHash<QString, QString> m_numberFormats;
    std::map<QString, int> m_columnWidths;
    std::map<QString, int> m_rowHeights;
    std::map<QString, std::uint32_t> m_formatIds;
    std::map<QString, SheetView> m_views;
    std::map<QString, std::pair<int, int>> m_splitModes;
    bool m_englishCodes = false;
    bool m_showGrid = true;
    bool m_showFormulas = false;
    qint64 m_row = 1;
    int m_col = 1;
    qint64 m_repeatedCells = 0; // made by repetition, in the whole workbook
    qint64 m_textCharacters = 0; // in the whole workbook
    std::vector<PendingFormula> m_pendingFormulas;
    std::vector<ColumnFormula> m_columnFormulas; // by column
    std::vector<ColumnText> m_columnTexts; // by column
    std::vector<PendingCell> m_rowCells; // of the row being read
    std::string m_shape; // of the formula being placed
    std::vector<double> m_shapeNumbers;

public:
    // Cells with content the workbook cannot hold as they were: beyond column IV or row
    // 1048576 (left out), or a number that does not read (kept as its text).
    qint64 leftOut() const { return m_leftOut; }

private:
    qint64 m_leftOut = 0;
};

} // namespace

namespace qvc {

namespace {

// The bytes are taken over and parsed where they lie; a file is read as it goes.
template<typename Source>
void readFrom(Source &&source, Workbook &into, int *leftOut)
{
    try {
        Workbook fresh;
        Reader reader(std::forward<Source>(source), fresh);
        reader.run();
        if (leftOut)
            *leftOut = int(std::min<qint64>(reader.leftOut(), std::numeric_limits<int>::max()));
        fresh.setModified(false);
        into.takeContentFrom(fresh);
    } catch (const std::bad_alloc &) {
        throw VelmoraError(limits::outOfMemory());
    }
}

} // namespace

void read(const QByteArray &bytes, Workbook &into, int *leftOut) { readFrom(QByteArray(bytes), into, leftOut); }

void readFile(const QString &path, Workbook &into, int *leftOut)
{
    QFile file(path);
    if (!file.exists())
        throw VelmoraError::fileNotFound();
    if (!file.open(QIODevice::ReadOnly))
        throw VelmoraError::cannotOpen(path);
    readFrom(static_cast<QIODevice &>(file), into, leftOut);
}

} // namespace qvc
} // namespace sheet
