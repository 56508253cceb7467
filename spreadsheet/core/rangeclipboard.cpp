#include "spreadsheet/core/rangeclipboard.h"

#include "common/velmoraerror.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookaccess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace sheet::clipboard {

namespace {

QJsonObject formatToJson(const CellFormat &f)
{
    return QJsonObject{{"font", f.fontName},
                       {"size", f.fontSize},
                       {"bold", f.bold},
                       {"italic", f.italic},
                       {"underline", f.underline},
                       {"strike", f.strikeout},
                       {"colour", int(f.colour)},
                       {"h", alignmentCode(f.horizontal)},
                       {"v", alignmentCode(f.vertical)},
                       {"wrap", f.wrap},
                       {"number", f.numberFormat}};
}

CellFormat formatFromJson(const QJsonObject &o)
{
    CellFormat f;
    f.fontName = o.value("font").toString(f.fontName);
    f.fontSize = std::clamp(o.value("size").toInt(f.fontSize), 20, 8000);
    f.bold = o.value("bold").toBool();
    f.italic = o.value("italic").toBool();
    f.underline = o.value("underline").toBool();
    f.strikeout = o.value("strike").toBool();
    f.colour = unsigned(o.value("colour").toInt()) & 0xFFFFFF;
    f.horizontal = horizontalFromCode(o.value("h").toInt());
    f.vertical = verticalFromCode(o.value("v").toInt());
    f.wrap = o.value("wrap").toBool();
    f.numberFormat = o.value("number").toString().left(200);
    return f;
}

QJsonValue valueToJson(const Value &v)
{
    switch (v.type()) {
    case Value::Type::Number: return QJsonObject{{"n", v.asNumber()}};
    case Value::Type::Text: return QJsonObject{{"s", v.asText()}};
    case Value::Type::Boolean: return QJsonObject{{"b", v.asBoolean()}};
    case Value::Type::Error: return QJsonObject{{"e", errorText(v.errorCode())}};
    default: return QJsonValue();
    }
}

Value valueFromJson(const QJsonObject &o)
{
    if (o.contains("n"))
        return Value::number(o.value("n").toDouble());
    if (o.contains("s"))
        return Value::text(o.value("s").toString());
    if (o.contains("b"))
        return Value::boolean(o.value("b").toBool());
    if (o.contains("e")) {
        const ErrorCode e = errorFromText(o.value("e").toString());
        return e == ErrorCode::None ? Value() : Value::error(e);
    }
    return Value();
}

QString quoteField(const QString &text)
{
    if (!text.contains(u'\t') && !text.contains(u'\n') && !text.contains(u'"'))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

[[noreturn]] void notCells()
{
    throw VelmoraError(QStringLiteral("Le presse-papiers ne contient pas de cellules Velmora"));
}

} // namespace

QString rangeAsText(const Workbook &book, int sheet, const CellRange &range)
{
    QString out;
    for (int row = range.top; row <= range.bottom; ++row) {
        for (int col = range.left; col <= range.right; ++col) {
            if (col > range.left)
                out += u'\t';
            out += quoteField(book.displayText(sheet, row, col));
        }
        out += u'\n';
    }
    return out;
}

QByteArray rangeAsCells(const Workbook &book, int sheet, const CellRange &range, bool cut)
{
    WorkbookAccess access(const_cast<Workbook &>(book));
    QJsonArray cells;
    for (int row = range.top; row <= range.bottom; ++row)
        for (int col = range.left; col <= range.right; ++col) {
            const bool formula = book.hasFormula(sheet, row, col);
            const Value v = book.value(sheet, row, col);
            const std::uint32_t formatId = access.formatIdAt(sheet, row, col);
            if (!formula && v.isEmpty() && formatId == 0)
                continue;
            QJsonObject cell{{"r", row - range.top}, {"c", col - range.left}};
            if (formula)
                cell.insert("f", book.formulaText(sheet, row, col));
            else if (!v.isEmpty())
                cell.insert("v", valueToJson(v));
            if (formatId != 0)
                cell.insert("fmt", formatToJson(access.formatById(formatId)));
            cells.append(cell);
        }
    const QJsonObject root{{"velmora-cells", 1},
                           {"top", range.top},
                           {"left", range.left},
                           {"rows", range.rowCount()},
                           {"cols", range.columnCount()},
                           {"cut", cut},
                           {"sheet", book.sheetName(sheet)},
                           {"cells", cells}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

CellRange pasteCells(Workbook &book, int sheet, int row, int col, const QByteArray &data)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        notCells();
    const QJsonObject root = doc.object();
    if (root.value("velmora-cells").toInt() != 1)
        notCells();
    const int rows = root.value("rows").toInt(), cols = root.value("cols").toInt();
    const int top = root.value("top").toInt(), left = root.value("left").toInt();
    const bool cut = root.value("cut").toBool();
    // Cut from another sheet still there: the moved formulas keep reading that sheet.
    const int sourceIndex = book.sheetIndex(root.value("sheet").toString());
    const bool otherSheet = cut && sourceIndex >= 0 && sourceIndex != sheet;
    if (rows < 1 || cols < 1 || rows > kMaxRows || cols > kMaxColumns || top < 1 || left < 1)
        notCells();
    const CellRange target{row, col, row + rows - 1, col + cols - 1};
    if (!target.isValid())
        throw VelmoraError(QStringLiteral("Le collage dépasserait le bord de la feuille"));
    WorkbookAccess access(book);
    access.beginBatch();
    try {
        book.clearContents(sheet, target);
        book.clearFormats(sheet, target);
        for (const QJsonValue &item : root.value("cells").toArray()) {
            const QJsonObject cell = item.toObject();
            const int dr = cell.value("r").toInt(-1), dc = cell.value("c").toInt(-1);
            if (dr < 0 || dc < 0 || dr >= rows || dc >= cols)
                continue;
            const int r = row + dr, c = col + dc;
            if (cell.contains("f")) {
                // The formula as it read in its own cell; a copy's relative references
                // follow it, a cut one's stay on the cells they read.
                Formula f = compileFormula(cell.value("f").toString().mid(1), Dialect::French, access.sheetNames());
                if (!cut)
                    shiftRelativeRefs(f, r - (top + dr), c - (left + dc));
                else if (otherSheet)
                    for (FormulaRef &ref : f.refs)
                        if (ref.sheetId < 0)
                            ref.sheetId = access.sheetId(sourceIndex);
                access.setFormula(sheet, r, c, std::move(f));
            } else if (cell.contains("v")) {
                book.setValue(sheet, r, c, valueFromJson(cell.value("v").toObject()));
            }
            if (cell.contains("fmt"))
                access.setFormatId(sheet, r, c, access.internFormat(formatFromJson(cell.value("fmt").toObject())));
        }
        // Moved on its own sheet: what read the cut cells reads them where they are now.
        if (cut && sourceIndex == sheet)
            access.followMovedCells(sheet, CellRange{top, left, top + rows - 1, left + cols - 1}, row - top,
                                    col - left);
    } catch (...) {
        access.endBatch();
        throw;
    }
    access.endBatch();
    return target;
}

namespace {
// The fields of each line of a tab-separated text.
std::vector<QStringList> textFields(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (t.endsWith(u'\n'))
        t.chop(1);
    std::vector<QStringList> fields;
    for (const QString &line : t.split(u'\n'))
        fields.push_back(line.split(u'\t'));
    return fields;
}

CellRange fieldsExtent(int row, int col, const std::vector<QStringList> &fields)
{
    int width = 1;
    for (const QStringList &line : fields)
        width = std::max(width, int(line.size()));
    return CellRange{row, col, row + int(fields.size()) - 1, col + width - 1};
}
} // namespace

CellRange textExtent(int row, int col, const QString &text) { return fieldsExtent(row, col, textFields(text)); }

CellRange pasteText(Workbook &book, int sheet, int row, int col, const QString &text)
{
    const std::vector<QStringList> fields = textFields(text);
    const CellRange target = fieldsExtent(row, col, fields);
    if (!target.isValid())
        throw VelmoraError(QStringLiteral("Le collage dépasserait le bord de la feuille"));
    WorkbookAccess access(book);
    access.beginBatch();
    for (size_t i = 0; i < fields.size(); ++i)
        for (qsizetype j = 0; j < fields[i].size(); ++j) {
            const int r = row + int(i), c = col + int(j);
            try {
                book.setEntry(sheet, r, c, fields[i][j]);
            } catch (const VelmoraError &) {
                book.setValue(sheet, r, c, Value::text(fields[i][j]));
            }
        }
    access.endBatch();
    return target;
}

} // namespace sheet::clipboard
