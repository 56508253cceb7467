// The glossary: an ordered list of entries "abbreviation, tab, text", its file
// "Velmora.glo" and the lookup behind the automatic expansion of an abbreviation typed
// before a space.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class Glossary
{
public:
    static constexpr int kMaxText = 1024; // longest replacement text inserted
    static constexpr int kLookBack = 16; // characters before the caret looked at
    static constexpr int kMaxAbbreviation = 15;

    static QString fileName() { return QStringLiteral("Velmora.glo"); }

    const QStringList &entries() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }

    // Changes through these mark the glossary modified (it is then written at exit).
    void setEntries(const QStringList &entries);
    void append(const QString &entry);
    void replace(int index, const QString &entry);
    void remove(int index);
    bool isModified() const { return m_modified; }
    void setModified(bool on) { m_modified = on; }

    // An entry: the abbreviation, one tab, the text.
    static QString makeEntry(const QString &abbreviation, const QString &text);
    // The text of an entry: what follows its first tab (at most kMaxText characters), or the
    // whole entry when it has no tab.
    static QString textOf(const QString &entry);

    // The file's content: Windows-1252 lines ended by CR, LF or CR LF, up to a Ctrl-Z; every
    // line is an entry, empty lines included.
    static QStringList parse(const QByteArray &bytes);
    // Every entry followed by CR LF.
    QByteArray serialize() const;

    // Replaces the list with the file's entries (an empty list when it does not exist) and
    // clears the modified flag. Throws VelmoraError ("Ne peut ouvrir le fichier %s") when
    // the file exists but cannot be read; the list is then left as it was.
    void load(const QString &path);
    // Writes the list atomically. Throws VelmoraError ("Ne peut créer le fichier %s").
    void save(const QString &path) const;

    // Expansion lookup on `word`, the (up to 16) characters typed before the caret: the
    // candidate is what follows the last space or line feed, at most 15 characters, upper
    // cased (a to z); the first entry whose abbreviation equals it gives the text. On
    // return `word` holds that text (empty when none) and `length` the candidate's length
    // (0 when the input holds no space or line feed).
    void Cherche(QString &word, int &length) const;

private:
    QStringList m_entries;
    bool m_modified = false;
};
