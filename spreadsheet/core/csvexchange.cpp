#include "spreadsheet/core/csvexchange.h"

#include "common/atomicsave.h"
#include "common/csv.h"
#include "common/velmoraerror.h"
#include "spreadsheet/core/numberformat.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookaccess.h"
#include "spreadsheet/core/workbooklimits.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>

namespace sheet::csv {

namespace {

// Fifteen significant digits, as spreadsheets show numbers at full precision: 1/3 gives
// 0.333333333333333 and 0.1*3 gives 0.3.
QString numberField(double v)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", v);
    return QString::fromLatin1(buffer);
}

QString fieldFor(const Workbook &book, int sheet, int row, int col)
{
    const Value v = book.value(sheet, row, col);
    switch (v.type()) {
    case Value::Type::Empty: return QString();
    case Value::Type::Number: {
        const double x = v.asNumber();
        const QString pattern = book.format(sheet, row, col).numberFormat;
        if (isDateTimePattern(pattern) && x >= 1) {
            const QDateTime dt = serialToDateTime(x);
            if (dt.isValid())
                return dt.time() == QTime(0, 0) ? dt.date().toString(Qt::ISODate)
                                                : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        }
        return numberField(x);
    }
    case Value::Type::Text: {
        QString field;
        ::csv::appendField(field, v.asText());
        return field;
    }
    case Value::Type::Boolean: return v.asBoolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case Value::Type::Error: return errorText(v.errorCode());
    }
    return QString();
}

} // namespace

QByteArray exportSheet(Workbook &book, int sheet)
{
    if (sheet < 0 || sheet >= book.sheetCount())
        throw VelmoraError(QStringLiteral("La feuille %1 n'existe pas").arg(sheet + 1));
    book.recalculate();
    const int rows = book.maxRow(sheet), cols = book.maxCol(sheet);
    QString out;
    for (int row = 1; row <= rows; ++row) {
        for (int col = 1; col <= cols; ++col) {
            if (col > 1)
                out += u';';
            out += fieldFor(book, sheet, row, col);
        }
        out += QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

void exportSheetToFile(Workbook &book, int sheet, const QString &path)
{
    atomicsave::write(path, exportSheet(book, sheet));
}

namespace {

void importBytes(const QByteArray &bytes, Workbook &into, const QString &sheetName)
{
    const QString text = ::csv::decode(bytes);
    // A cell may hold several lines: a line break inside quotes stays one.
    const std::vector<::csv::Row> records = ::csv::split(text, ::csv::detectSeparator(text), ::csv::LineBreaks::Keep);
    if (qsizetype(records.size()) > kMaxRows)
        throw VelmoraError(QStringLiteral("Le fichier CSV a plus de %1 lignes").arg(kMaxRows));
    static const QRegularExpression plainNumber(
            QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    Workbook fresh;
    WorkbookAccess access(fresh);
    access.removeAllSheets();
    const int sheet = access.appendSheet(sheetName);
    const std::uint32_t dateFormat = [&] {
        CellFormat f;
        f.numberFormat = QStringLiteral("dd/mm/yyyy");
        return access.internFormat(f);
    }();
    // The bounds of a workbook file, so that what is imported saves and opens again.
    qint64 cells = 0, characters = 0;
    for (size_t r = 0; r < records.size(); ++r) {
        const QStringList &fields = records[r].fields;
        cells += fields.size();
        for (const QString &f : fields)
            characters += f.size();
        if (cells > limits::kCellsPerSheet)
            throw VelmoraError(
                    QStringLiteral("Le fichier CSV a plus de 4 194 304 cellules (ligne %1)").arg(records[r].line));
        if (characters > limits::kTextCharacters)
            throw VelmoraError(QStringLiteral("Le fichier CSV dépasse %1 Mo de texte (ligne %2)")
                                       .arg(limits::kTextCharacters * 2 / (1024 * 1024))
                                       .arg(records[r].line));
        if (fields.size() > kMaxColumns)
            throw VelmoraError(QStringLiteral("Le fichier CSV a plus de %1 colonnes (ligne %2)")
                                       .arg(kMaxColumns)
                                       .arg(records[r].line));
        for (qsizetype c = 0; c < fields.size(); ++c) {
            const QString &f = fields[c];
            if (f.isEmpty())
                continue;
            const int row = int(r) + 1, col = int(c) + 1;
            double number;
            QString format;
            if (plainNumber.match(f).hasMatch()) {
                access.putValue(sheet, row, col, Value::number(f.trimmed().toDouble()));
            } else if (parseEntryNumber(f, number, format)) {
                access.putValue(sheet, row, col, Value::number(number));
                if (!format.isEmpty()) {
                    CellFormat cf;
                    cf.numberFormat = format;
                    access.putFormat(sheet, row, col, format == u"dd/mm/yyyy" ? dateFormat : access.internFormat(cf));
                }
            } else if (f == u"TRUE" || f == u"FALSE" || f == u"VRAI" || f == u"FAUX") {
                access.putValue(sheet, row, col, Value::boolean(f == u"TRUE" || f == u"VRAI"));
            } else {
                access.putValue(sheet, row, col, Value::text(f));
            }
        }
    }
    access.finishLoading();
    into.takeContentFrom(fresh);
}

} // namespace

void import(const QByteArray &bytes, Workbook &into, const QString &sheetName)
{
    try {
        importBytes(bytes, into, sheetName);
    } catch (const std::bad_alloc &) {
        throw VelmoraError(QStringLiteral("Mémoire insuffisante pour importer ce fichier"));
    }
}

void importFile(const QString &path, Workbook &into)
{
    QFile file(path);
    if (!file.exists())
        throw VelmoraError::fileNotFound();
    if (!file.open(QIODevice::ReadOnly))
        throw VelmoraError::cannotOpen(path);
    const QByteArray bytes = file.readAll();
    QString name = QFileInfo(path).completeBaseName();
    if (!Workbook::isValidSheetName(name))
        name = QStringLiteral("Feuil1");
    import(bytes, into, name);
}

} // namespace sheet::csv
