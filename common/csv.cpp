#include "common/csv.h"

#include "common/cp1252.h"
#include "common/velmoraerror.h"

#include <QStringDecoder>

namespace csv {

QString decode(const QByteArray &bytes)
{
    const QByteArrayView data =
            bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    return cp1252::decode(data.toByteArray());
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

std::vector<Row> split(const QString &text, QChar separator, LineBreaks breaks)
{
    std::vector<Row> rows;
    Row row;
    QString field;
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto endField = [&] {
        row.fields.append(field);
        field.clear();
    };
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
            const int opened = line;
            bool closed = false;
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
                    closed = true;
                    break;
                }
                if (q == u'\r' || q == u'\n') {
                    ++line;
                    const qsizetype length = q == u'\r' && i + 1 < n && text[i + 1] == u'\n' ? 2 : 1;
                    if (breaks == LineBreaks::ToBlank)
                        field += u' ';
                    else
                        field += QStringView(text).sliced(i, length);
                    i += length;
                    continue;
                }
                field += q;
                ++i;
            }
            if (!closed)
                throw VelmoraError(QStringLiteral("Ligne %1 : guillemet ouvrant jamais refermé").arg(opened));
            atFieldStart = false;
            continue;
        }
        if (ch == separator) {
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

void appendField(QString &line, const QString &field)
{
    const bool quote = field.contains(u';') || field.contains(u'"') || field.contains(u'\r') || field.contains(u'\n')
            || field.contains(u',') || field.contains(u'\t') || field.startsWith(QChar(0xFEFF));
    if (!quote) {
        line += field;
        return;
    }
    line += u'"';
    for (QChar ch : field) {
        if (ch == u'"')
            line += u'"';
        line += ch;
    }
    line += u'"';
}

} // namespace csv
