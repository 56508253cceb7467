#include "database/core/csvformat.h"

#include "common/cp1252.h"
#include "common/velmoraerror.h"

#include <QStringDecoder>

#include <vector>

namespace csv {
namespace {

constexpr char16_t kSeparator = u';';

void appendField(QString &out, const QString &text)
{
    // Commas and tabs are quoted too, so that reading the file back never takes them for
    // the separator; so is a leading byte-order mark, which a reader would drop.
    const bool quote = text.contains(kSeparator) || text.contains(u'"') || text.contains(u'\r')
                       || text.contains(u'\n') || text.contains(u',') || text.contains(u'\t')
                       || text.startsWith(QChar(0xFEFF));
    if (!quote) {
        out += text;
        return;
    }
    out += u'"';
    for (QChar ch : text) {
        if (ch == u'"')
            out += u'"';
        out += ch;
    }
    out += u'"';
}

QString decodeInput(const QByteArray &bytes)
{
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(data);
    if (!utf8.hasError())
        return text;
    return cp1252::decode(data);
}

struct Row
{
    int line = 1; // physical line where the row starts, for messages
    QStringList fields;
};

// RFC 4180, leniently: quotes only matter at the start of a field, text after a closing
// quote is kept, and CR LF, LF or CR end a row.
std::vector<Row> splitRows(const QString &text, QChar sep)
{
    std::vector<Row> rows;
    Row row;
    QString field;
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto endField = [&] { row.fields.append(field); field.clear(); };
    auto endRow = [&] {
        endField();
        rows.push_back(std::move(row));
        row = Row{};
        row.line = line;
    };
    bool atFieldStart = true;
    while (i < n) {
        const QChar ch = text[i];
        if (atFieldStart && ch == u'"') {
            ++i;
            while (i < n) {
                const QChar q = text[i];
                if (q == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (q == u'\r' || q == u'\n') {
                    // A cell holds one line: a break inside a quoted field becomes a blank.
                    if (q == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                        ++i;
                    ++line;
                    field += u' ';
                    ++i;
                    continue;
                }
                field += q;
                ++i;
            }
            atFieldStart = false;
            continue;
        }
        if (ch == sep) {
            endField();
            atFieldStart = true;
            ++i;
            continue;
        }
        if (ch == u'\r' || ch == u'\n') {
            if (ch == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            ++i;
            ++line;
            endRow();
            atFieldStart = true;
            continue;
        }
        field += ch;
        atFieldStart = false;
        ++i;
    }
    if (!field.isEmpty() || !row.fields.isEmpty() || !atFieldStart)
        endRow();
    return rows;
}

int usedFields(const QStringList &fields)
{
    qsizetype n = fields.size();
    while (n > 0 && fields[n - 1].isEmpty())
        --n;
    return int(n);
}

} // namespace

QByteArray serialize(const Table &table)
{
    const int lastField = table.lastField();
    QString out;
    for (int r = 0; r <= table.lastRecord(); ++r) {
        for (int f = 1; f <= lastField; ++f) {
            if (f > 1)
                out += kSeparator;
            appendField(out, table.cell(f, r));
        }
        out += u"\r\n";
    }
    return out.toUtf8();
}

QChar detectSeparator(const QString &text)
{
    int semicolons = 0;
    int commas = 0;
    int tabs = 0;
    bool quoted = false;
    for (QChar ch : text) {
        if (ch == u'"')
            quoted = !quoted;
        else if (!quoted && (ch == u'\r' || ch == u'\n'))
            break;
        else if (!quoted && ch == u';')
            ++semicolons;
        else if (!quoted && ch == u',')
            ++commas;
        else if (!quoted && ch == u'\t')
            ++tabs;
    }
    if (commas > semicolons && commas >= tabs)
        return u',';
    if (tabs > semicolons && tabs > commas)
        return u'\t';
    return u';';
}

void parse(const QByteArray &bytes, Table &table)
{
    table.NbFiches = 0;
    table.NbChamps = 0;
    const QString text = decodeInput(bytes);
    std::vector<Row> rows = splitRows(text, detectSeparator(text));
    // Blank rows at the end are no records.
    while (!rows.empty() && usedFields(rows.back().fields) == 0)
        rows.pop_back();
    if (rows.size() > size_t(Table::kMaxRecords) + 1)
        throw VelmoraError(QStringLiteral("Plus de %1 fiches : une base de données en contient %1 au plus")
                               .arg(Table::kMaxRecords));
    int fields = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        const Row &row = rows[r];
        const int used = usedFields(row.fields);
        if (used > Table::kMaxFields)
            throw VelmoraError(QStringLiteral("Ligne %1 : plus de %2 champs (une base de données en a %2 au plus)")
                                   .arg(row.line)
                                   .arg(Table::kMaxFields));
        for (int f = 0; f < used; ++f) {
            if (row.fields[f].size() > Table::kMaxCellLength)
                throw VelmoraError(QStringLiteral("Ligne %1, champ %2 : texte de plus de %3 caractères")
                                       .arg(row.line)
                                       .arg(f + 1)
                                       .arg(Table::kMaxCellLength));
            table.setCell(f + 1, int(r), row.fields[f]);
        }
        fields = std::max(fields, used);
    }
    table.NbChamps = fields;
    table.NbFiches = rows.empty() ? 0 : int(rows.size()) - 1;
}

} // namespace csv
