#include "agenda/core/agendalist.h"

AgendaList::AgendaList(const AgendaList &o)
    : m_lines(o.m_lines),
      m_alive(o.m_alive),
      m_live(o.m_live),
      m_index(o.m_index)
{ }

AgendaList::AgendaList(AgendaList &&o) noexcept
    : m_lines(std::move(o.m_lines)),
      m_alive(std::move(o.m_alive)),
      m_live(o.m_live),
      m_index(std::move(o.m_index))
{
    o.clear();
}

AgendaList &AgendaList::operator=(const AgendaList &o)
{
    if (this != &o) {
        m_lines = o.m_lines;
        m_alive = o.m_alive;
        m_live = o.m_live;
        m_index = o.m_index;
        m_lastKeyed.clear();
        m_lastPositions = nullptr;
    }
    return *this;
}

AgendaList &AgendaList::operator=(AgendaList &&o) noexcept
{
    if (this != &o) {
        m_lines = std::move(o.m_lines);
        m_alive = std::move(o.m_alive);
        m_live = o.m_live;
        m_index = std::move(o.m_index);
        m_lastKeyed.clear();
        m_lastPositions = nullptr;
        o.clear();
    }
    return *this;
}

void AgendaList::clear()
{
    m_lines.clear();
    m_alive.clear();
    m_index.clear();
    m_live = 0;
    m_lastKeyed.clear();
    m_lastPositions = nullptr;
}

void AgendaList::setLines(const QStringList &lines)
{
    clear();
    m_lines.reserve(size_t(lines.size()));
    m_alive.reserve(size_t(lines.size()));
    for (const QString &line : lines)
        append(line);
}

void AgendaList::append(const QString &line)
{
    const qsizetype pos = qsizetype(m_lines.size());
    m_lines.push_back(line);
    m_alive.push_back(1);
    ++m_live;
    if (line.size() < kKeyLength)
        return;
    // Lines of a day usually follow one another: reuse the last day's entry.
    if (m_lastKeyed.isEmpty() || QStringView(line).left(kKeyLength) != m_lastKeyed) {
        m_lastKeyed = keyOf(line);
        m_lastPositions = &m_index[m_lastKeyed];
    }
    m_lastPositions->push_back(pos);
}

QStringList AgendaList::lines() const
{
    QStringList out;
    out.reserve(m_live);
    forEach([&](const QString &l) { out.append(l); });
    return out;
}

QStringList AgendaList::linesOfDay(const QString &dayKey) const
{
    QStringList out;
    if (dayKey.size() != kKeyLength)
        return out;
    const auto it = m_index.constFind(dayKey);
    if (it == m_index.constEnd())
        return out;
    for (qsizetype pos : *it)
        out.append(m_lines[size_t(pos)]);
    return out;
}

void AgendaList::replaceDay(const QString &dayKey, const QStringList &lines)
{
    if (dayKey.size() == kKeyLength) {
        const auto it = m_index.find(dayKey);
        if (it != m_index.end()) {
            for (qsizetype pos : *it) {
                m_alive[size_t(pos)] = 0;
                m_lines[size_t(pos)] = QString();
                --m_live;
            }
            m_index.erase(it);
            m_lastKeyed.clear(); // its entry is gone
            m_lastPositions = nullptr;
        }
    }
    for (const QString &line : lines)
        append(line);
    compactIfSparse();
}

QStringList AgendaList::keys() const { return m_index.keys(); }

void AgendaList::compactIfSparse()
{
    const qsizetype holes = qsizetype(m_lines.size()) - m_live;
    if (holes < 1024 || holes < m_live)
        return;
    std::vector<QString> kept;
    kept.reserve(size_t(m_live));
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (m_alive[i])
            kept.push_back(std::move(m_lines[i]));
    clear();
    m_lines.reserve(kept.size());
    m_alive.reserve(kept.size());
    for (QString &line : kept)
        append(line);
}
