#include "database/core/csvformat.h"

#include "common/velmoraerror.h"

#include <vector>

namespace csv {
namespace {

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
                out += u';';
            appendField(out, table.cell(f, r));
        }
        out += u"\r\n";
    }
    return out.toUtf8();
}

void parse(const QByteArray &bytes, Table &table)
{
    table.NbFiches = 0;
    table.NbChamps = 0;
    const QString text = decode(bytes);
    // A cell holds one line: a break inside a quoted field becomes a blank.
    std::vector<Row> rows = split(text, detectSeparator(text), LineBreaks::ToBlank);
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
