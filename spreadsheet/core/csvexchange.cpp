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

#include <charconv>
#include <cmath>
#include <vector>

namespace sheet::csv {

namespace {

// Fifteen significant digits, as spreadsheets show numbers at full precision: 1/3 gives
// 0.333333333333333 and 0.1*3 gives 0.3 (what "%.15g" writes). Appended to `out`.
void appendNumber(QByteArray &out, double v)
{
    char buffer[40];
    char *end;
    if (v == std::trunc(v) && std::abs(v) < 1e15) {
        // An integer of at most fifteen digits is written as it is ("-0" keeps its sign).
        end = buffer;
        if (v == 0 && std::signbit(v))
            *end++ = '-';
        end = std::to_chars(end, buffer + sizeof buffer, static_cast<long long>(v)).ptr;
    } else {
        end = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 15).ptr;
    }
    out.append(buffer, end - buffer);
}

// The fields of one sheet, written line by line into one buffer.
class SheetWriter
{
public:
    SheetWriter(Workbook &book, int sheet) : m_book(book), m_access(book), m_sheet(sheet) { }

    QByteArray run()
    {
        const int rows = m_book.maxRow(m_sheet), cols = m_book.maxCol(m_sheet);
        QByteArray out;
        for (int row = 1; row <= rows; ++row) {
            for (int col = 1; col <= cols; ++col) {
                if (col > 1)
                    out += ';';
                appendField(out, row, col);
            }
            out += "\r\n";
        }
        return out;
    }

private:
    void appendField(QByteArray &out, int row, int col)
    {
        const Value v = m_book.value(m_sheet, row, col);
        switch (v.type()) {
        case Value::Type::Empty: return;
        case Value::Type::Number: {
            const double x = v.asNumber();
            if (x >= 0 && isDateTime(m_access.formatIdAt(m_sheet, row, col))) {
                const QDateTime dt = serialToDateTime(x);
                if (dt.isValid()) {
                    // A time alone (under one day) is written as a time, not as the fraction of
                    // a day it is held as, which would read back as a plain number.
                    const QString time = dt.time().second() == 0 ? QStringLiteral("HH:mm") : QStringLiteral("HH:mm:ss");
                    out += (x < 1                              ? dt.time().toString(time)
                                    : dt.time() == QTime(0, 0) ? dt.date().toString(Qt::ISODate)
                                                               : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                                   .toUtf8();
                    return;
                }
            }
            appendNumber(out, x);
            return;
        }
        case Value::Type::Text: {
            QString field;
            ::csv::appendField(field, v.asText());
            out += field.toUtf8();
            return;
        }
        case Value::Type::Boolean: out += v.asBoolean() ? "TRUE" : "FALSE"; return;
        case Value::Type::Error: out += errorText(v.errorCode()).toUtf8(); return;
        }
    }

    // Whether the format's pattern shows a date or a time, decided once per format.
    bool isDateTime(std::uint32_t formatId)
    {
        if (formatId >= m_dateTime.size())
            m_dateTime.resize(size_t(formatId) + 1, Unknown);
        if (m_dateTime[formatId] == Unknown)
            m_dateTime[formatId] = isDateTimePattern(m_access.formatById(formatId).numberFormat) ? Yes : No;
        return m_dateTime[formatId] == Yes;
    }

    enum Known : unsigned char { Unknown, Yes, No };
    Workbook &m_book;
    WorkbookAccess m_access;
    int m_sheet;
    std::vector<Known> m_dateTime; // by format id
};

} // namespace

QByteArray exportSheet(Workbook &book, int sheet)
{
    if (sheet < 0 || sheet >= book.sheetCount())
        throw VelmoraError(QStringLiteral("La feuille %1 n'existe pas").arg(sheet + 1));
    // Changes keep every other formula current: only the volatile ones are computed again,
    // so that NOW() says when the file was written.
    book.recalculateVolatile();
    return SheetWriter(book, sheet).run();
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
