#include "database/core/table.h"

#include <algorithm>

Table::Table() : m_rows(kRowCount), m_labels(kRowCount, 0) { reset(); }

void Table::reset()
{
    for (std::unique_ptr<Row> &row : m_rows)
        row.reset();
    std::fill(m_labels.begin(), m_labels.end(), quint16(0));
    for (int r = 1; r <= kLabelledRows; ++r)
        m_labels[r] = quint16(r);
    m_widths.fill(kDefaultWidth);
    NbFiches = 0;
    NbChamps = 0;
}

QStringView Table::cellView(int field, int row) const
{
    if (field < 1 || field > kMaxFields || row < 0 || row >= kRowCount || !m_rows[row])
        return {};
    const Row &r = *m_rows[row];
    return QStringView(r.text).mid(r.start[field - 1], r.start[field] - r.start[field - 1]);
}

QString Table::cellText(const QString &text)
{
    const auto unfit = [](QChar c) { return c == u'\r' || c == u'\n' || c == u'\x1a'; };
    if (text.size() <= kMaxCellLength && std::none_of(text.cbegin(), text.cend(), unfit))
        return text;
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    out.replace(u'\x1a', u'?');
    out.truncate(kMaxCellLength);
    return out;
}

void Table::setCell(int field, int row, const QString &given)
{
    if (field < 1 || field > kMaxFields || row < 0 || row >= kRowCount)
        return;
    const QString text = cellText(given);
    if (!m_rows[row]) {
        if (text.isEmpty())
            return;
        m_rows[row] = std::make_unique<Row>();
    }
    Row &r = *m_rows[row];
    const quint32 from = r.start[field - 1];
    const quint32 length = r.start[field] - from;
    r.text.replace(qsizetype(from), qsizetype(length), text);
    const qint64 delta = qint64(text.size()) - qint64(length);
    for (int f = field; f <= kMaxFields; ++f)
        r.start[f] = quint32(qint64(r.start[f]) + delta);
    if (r.text.isEmpty())
        m_rows[row].reset();
}

void Table::setRowText(int row, QString text, const std::array<int, 32> &lengths)
{
    if (row < 0 || row >= kRowCount)
        return;
    if (text.isEmpty()) {
        m_rows[row].reset();
        return;
    }
    auto r = std::make_unique<Row>();
    quint32 at = 0;
    for (int f = 1; f <= kMaxFields; ++f) {
        at += quint32(std::max(0, lengths[f - 1]));
        r->start[f] = at;
    }
    Q_ASSERT(at == quint32(text.size()));
    r->text = std::move(text);
    m_rows[row] = std::move(r);
}

Table::Fields Table::fieldsOf(int row) const
{
    Fields out;
    for (int f = 1; f <= kMaxFields; ++f)
        out[f - 1] = cell(f, row);
    return out;
}

void Table::setFields(int row, const Fields &fields)
{
    std::array<int, 32> lengths{};
    QString text;
    for (int f = 0; f < kMaxFields; ++f) {
        lengths[f] = int(fields[f].size());
        text += fields[f];
    }
    setRowText(row, std::move(text), lengths);
}

QList<int> Table::namedFields() const
{
    QList<int> out;
    for (int f = 1; f <= kMaxFields; ++f)
        if (!name(f).trimmed().isEmpty())
            out.append(f);
    return out;
}

QStringList Table::fieldNames() const
{
    QStringList out;
    for (int f : namedFields())
        out.append(name(f).trimmed());
    return out;
}

int Table::label(int row) const { return (row >= 0 && row < kRowCount) ? m_labels[row] : 0; }

void Table::setLabel(int row, int label)
{
    if (row >= 0 && row < kRowCount)
        m_labels[row] = quint16(std::clamp(label, 0, 0xFFFF));
}

int Table::width(int field) const { return (field >= 1 && field <= kMaxFields) ? m_widths[field - 1] : kDefaultWidth; }

void Table::setWidth(int field, int pixels)
{
    if (field >= 1 && field <= kMaxFields)
        m_widths[field - 1] = std::max(0, pixels);
}

int Table::lastRecord() const { return std::clamp(NbFiches, 0, kMaxRecords); }

int Table::lastField() const { return std::clamp(NbChamps, 0, kMaxFields); }

bool Table::rowIsEmpty(int row) const
{
    return row < 0 || row >= kRowCount || !m_rows[row] || m_rows[row]->text.isEmpty();
}

qsizetype Table::rowLength(int row) const { return rowIsEmpty(row) ? 0 : m_rows[row]->text.size(); }

QStringView Table::rowText(int row) const { return rowIsEmpty(row) ? QStringView() : QStringView(m_rows[row]->text); }

bool Table::fieldIsEmpty(int field) const
{
    for (int r = 0; r < kRowCount; ++r)
        if (!cellView(field, r).isEmpty())
            return false;
    return true;
}

int Table::lastUsedRow() const
{
    for (int r = kMaxRecords; r >= 1; --r)
        if (!rowIsEmpty(r))
            return r;
    return 0;
}

int Table::lastUsedField() const
{
    for (int f = kMaxFields; f >= 1; --f)
        if (!fieldIsEmpty(f))
            return f;
    return 0;
}

void Table::clearRow(int row)
{
    if (row < 0 || row >= kRowCount)
        return;
    m_rows[row].reset();
    m_labels[row] = 0;
}

void Table::clearField(int field)
{
    if (field < 1 || field > kMaxFields)
        return;
    for (int r = 0; r < kRowCount; ++r)
        if (m_rows[r])
            setCell(field, r, QString());
}

void Table::moveRow(int from, int to)
{
    if (from < 1 || to < 1 || from > kMaxRecords || to > kMaxRecords || from == to)
        return;
    auto rotate = [&](auto &v) {
        if (from < to)
            std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
        else
            std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
    };
    rotate(m_rows);
    rotate(m_labels);
}

void Table::moveField(int from, int to)
{
    if (from < 1 || to < 1 || from > kMaxFields || to > kMaxFields || from == to)
        return;
    auto rotate = [&](auto &a) {
        const int i = from - 1;
        const int j = to - 1;
        if (i < j)
            std::rotate(a.begin() + i, a.begin() + i + 1, a.begin() + j + 1);
        else
            std::rotate(a.begin() + j, a.begin() + i, a.begin() + i + 1);
    };
    for (int r = 0; r < kRowCount; ++r) {
        if (!m_rows[r])
            continue;
        Fields fields = fieldsOf(r);
        rotate(fields);
        setFields(r, fields);
    }
    rotate(m_widths);
}

Table::Edit Table::insertRecord(int r)
{
    if (r < 1 || r > kMaxRecords)
        return Edit::Nothing;
    const int last = lastRecord();
    if (r > last) {
        clearRow(r);
        return Edit::Nothing;
    }
    if (NbFiches >= kMaxRecords)
        return Edit::Full;
    // The empty row after the last record comes up to r; the records below shift down.
    clearRow(last + 1);
    std::rotate(m_rows.begin() + r, m_rows.begin() + last + 1, m_rows.begin() + last + 2);
    std::rotate(m_labels.begin() + r, m_labels.begin() + last + 1, m_labels.begin() + last + 2);
    NbFiches = last + 1;
    return Edit::Done;
}

Table::Edit Table::deleteRecord(int r)
{
    const int last = lastRecord();
    if (r < 1 || r > last)
        return Edit::Nothing;
    clearRow(r);
    std::rotate(m_rows.begin() + r, m_rows.begin() + r + 1, m_rows.begin() + last + 1);
    std::rotate(m_labels.begin() + r, m_labels.begin() + r + 1, m_labels.begin() + last + 1);
    return Edit::Done;
}

Table::Edit Table::insertField(int c)
{
    if (c < 1 || c >= kMaxFields)
        return Edit::Nothing;
    const bool inUse = c <= NbChamps;
    if (inUse && NbChamps >= kMaxFields)
        return Edit::Full;
    for (int r = 0; r < kRowCount; ++r) {
        if (!m_rows[r])
            continue;
        Fields fields = fieldsOf(r);
        std::rotate(fields.begin() + c - 1, fields.end() - 1, fields.end());
        fields[c - 1].clear();
        setFields(r, fields);
    }
    if (inUse) {
        ++NbChamps;
        return Edit::Done;
    }
    return Edit::Nothing;
}

Table::Edit Table::deleteField(int c)
{
    if (c < 1 || c > kMaxFields)
        return Edit::Nothing;
    for (int r = 0; r < kRowCount; ++r) {
        if (!m_rows[r])
            continue;
        Fields fields = fieldsOf(r);
        std::rotate(fields.begin() + c - 1, fields.begin() + c, fields.end());
        fields.back().clear();
        setFields(r, fields);
    }
    return c <= lastField() ? Edit::Done : Edit::Nothing;
}

void Table::reorderRows(int first, const std::vector<int> &order)
{
    std::vector<std::unique_ptr<Row>> rows(order.size());
    std::vector<quint16> labels(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        rows[i] = std::move(m_rows[order[i]]);
        labels[i] = m_labels[order[i]];
    }
    for (size_t i = 0; i < order.size(); ++i) {
        m_rows[first + i] = std::move(rows[i]);
        m_labels[first + i] = labels[i];
    }
}
