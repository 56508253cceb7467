// The agenda document: one ordered list of text lines, each beginning with the key of its
// day. Lines of a day are found through an index by day key, so reading or rewriting one
// day costs the size of that day, not of the whole agenda. The order is the file's: lines
// stay where they were read until their day is rewritten, and a rewritten day moves, as a
// block, to the end of the list.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

class AgendaList
{
public:
    static constexpr int kKeyLength = 8;

    AgendaList() = default;
    explicit AgendaList(const QStringList &lines) { setLines(lines); }
    // Copies and moves drop the cache of the last day appended (it points into the index).
    AgendaList(const AgendaList &other);
    AgendaList(AgendaList &&other) noexcept;
    AgendaList &operator=(const AgendaList &other);
    AgendaList &operator=(AgendaList &&other) noexcept;

    void setLines(const QStringList &lines);
    void clear();
    // The lines in list order.
    QStringList lines() const;
    qsizetype size() const { return m_live; }
    bool isEmpty() const { return m_live == 0; }

    // Lines whose first eight characters are `dayKey`, in list order.
    QStringList linesOfDay(const QString &dayKey) const;
    // Removes every line of the day and appends `lines` at the end, in their order.
    void replaceDay(const QString &dayKey, const QStringList &lines);
    // The distinct first-eight-character keys present (lines shorter than eight
    // characters have none), in no particular order.
    QStringList keys() const;

    // Calls f(line) for each line in list order.
    template<class F>
    void forEach(F &&f) const
    {
        for (size_t i = 0; i < m_lines.size(); ++i)
            if (m_alive[i])
                f(m_lines[i]);
    }

private:
    static QString keyOf(const QString &line) { return line.left(kKeyLength); }
    void append(const QString &line);
    void compactIfSparse();

    // Removed lines leave a hole (m_alive false) until holes outnumber the lines.
    std::vector<QString> m_lines;
    std::vector<char> m_alive;
    qsizetype m_live = 0;
    QHash<QString, std::vector<qsizetype>> m_index; // day key -> positions, ascending
    QString m_lastKeyed; // key of the last line appended
    std::vector<qsizetype> *m_lastPositions = nullptr;
};
