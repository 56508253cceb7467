#include "text/core/glossary.h"

#include "common/atomicsave.h"
#include "common/cp1252.h"
#include "common/frenchformat.h"
#include "common/textfile.h"
#include "common/velmoraerror.h"

#include <QFile>
#include <QFileInfo>

void Glossary::setEntries(const QStringList &entries)
{
    m_entries = entries;
    m_modified = true;
}

void Glossary::append(const QString &entry)
{
    m_entries.append(entry);
    m_modified = true;
}

void Glossary::replace(int index, const QString &entry)
{
    if (index >= 0 && index < count())
        m_entries[index] = entry;
    m_modified = true;
}

void Glossary::remove(int index)
{
    if (index >= 0 && index < count())
        m_entries.removeAt(index);
    m_modified = true;
}

QString Glossary::makeEntry(const QString &abbreviation, const QString &text)
{
    return abbreviation + QLatin1Char('\t') + text;
}

QString Glossary::textOf(const QString &entry)
{
    const qsizetype tab = entry.indexOf(QLatin1Char('\t'));
    if (tab < 0)
        return entry;
    return entry.mid(tab + 1, kMaxText);
}

QStringList Glossary::parse(const QByteArray &bytes)
{
    QStringList entries;
    for (const QByteArray &line : textfile::splitLines(textfile::cutAtCtrlZ(bytes)))
        entries.append(cp1252::decode(line));
    return entries;
}

QByteArray Glossary::serialize() const { return textfile::joinCrLf(m_entries); }

void Glossary::load(const QString &path)
{
    QStringList entries;
    if (QFileInfo::exists(path)) {
        QByteArray bytes;
        if (!textfile::tryReadBytes(path, bytes))
            throw VelmoraError::cannotOpen(path);
        entries = parse(bytes);
    }
    m_entries = entries;
    m_modified = false;
}

void Glossary::save(const QString &path) const
{
    if (!atomicsave::tryWrite(path, serialize()))
        throw VelmoraError(QStringLiteral("Ne peut créer le fichier %1").arg(path));
}

void Glossary::Cherche(QString &word, int &length) const
{
    const QString typed = word;
    word.clear();
    length = 0;
    if (m_entries.isEmpty())
        return;
    // Paragraph and line separators stand for the line feed the editor's text holds.
    qsizetype start = -1;
    for (qsizetype i = typed.size() - 1; i >= 0; --i) {
        const char16_t c = typed[i].unicode();
        if (c == u' ' || c == u'\n' || c == 0x2029 || c == 0x2028) {
            start = i + 1;
            break;
        }
    }
    if (start < 0)
        return;
    const QString candidate = french::upperAZ(typed.mid(start, kMaxAbbreviation));
    length = int(candidate.size());
    // Nothing typed since the separator: an entry stored without an abbreviation must not
    // expand at every double space.
    if (candidate.isEmpty())
        return;
    for (const QString &entry : m_entries) {
        const qsizetype tab = entry.indexOf(QLatin1Char('\t'));
        if (tab >= 0 && QStringView(entry).left(tab) == candidate) {
            word = entry.mid(tab + 1, kMaxText);
            return;
        }
    }
}
