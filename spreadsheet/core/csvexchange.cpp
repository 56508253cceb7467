#include "spreadsheet/core/csvexchange.h"

#include "common/atomicsave.h"
#include "common/cp1252.h"
#include "common/velmoraerror.h"
#include "spreadsheet/core/numberformat.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookaccess.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

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

QString quoted(const QString &field)
{
    if (!field.contains(u';') && !field.contains(u'"') && !field.contains(u'\n') && !field.contains(u'\r'))
        return field;
    return u'"' + QString(field).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString fieldFor(const Workbook &book, int sheet, int row, int col)
{
    const Value v = book.value(sheet, row, col);
    switch (v.type()) {
    case Value::Type::Empty:
        return QString();
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
    case Value::Type::Text:
        return quoted(v.asText());
    case Value::Type::Boolean:
        return v.asBoolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case Value::Type::Error:
        return errorText(v.errorCode());
    }
    return QString();
}

QString decode(const QByteArray &bytes)
{
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.mid(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    return cp1252::decode(data);
}

QChar guessSeparator(const QString &text)
{
    int semicolons = 0, commas = 0, tabs = 0;
    bool inQuotes = false;
    for (QChar c : text) {
        if (c == u'"')
            inQuotes = !inQuotes;
        else if (!inQuotes && (c == u'\n' || c == u'\r'))
            break;
        else if (!inQuotes && c == u';')
            ++semicolons;
        else if (!inQuotes && c == u',')
            ++commas;
        else if (!inQuotes && c == u'\t')
            ++tabs;
    }
    if (tabs > semicolons && tabs > commas)
        return u'\t';
    if (commas > semicolons)
        return u',';
    return u';';
}

// RFC 4180 records: quoted fields may hold separators, doubled quotes and line breaks.
std::vector<QStringList> parseRecords(const QString &text, QChar separator)
{
    std::vector<QStringList> records;
    QStringList record;
    QString field;
    bool inQuotes = false;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == u'"') {
            inQuotes = true;
            any = true;
        } else if (c == separator) {
            record << field;
            field.clear();
            any = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            record << field;
            records.push_back(record);
            record.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.isEmpty()) {
        record << field;
        records.push_back(record);
    }
    return records;
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

void import(const QByteArray &bytes, Workbook &into, const QString &sheetName)
{
    const QString text = decode(bytes);
    const std::vector<QStringList> records = parseRecords(text, guessSeparator(text));
    if (qsizetype(records.size()) > kMaxRows)
        throw VelmoraError(QStringLiteral("Le fichier CSV a plus de %1 lignes").arg(kMaxRows));
    static const QRegularExpression plainNumber(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    Workbook fresh;
    WorkbookAccess access(fresh);
    access.removeAllSheets();
    const int sheet = access.appendSheet(sheetName);
    const std::uint32_t dateFormat = [&] {
        CellFormat f;
        f.numberFormat = QStringLiteral("dd/mm/yyyy");
        return access.internFormat(f);
    }();
    for (size_t r = 0; r < records.size(); ++r) {
        const QStringList &fields = records[r];
        if (fields.size() > kMaxColumns)
            throw VelmoraError(QStringLiteral("Le fichier CSV a plus de %1 colonnes (ligne %2)").arg(kMaxColumns).arg(r + 1));
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
