// French spelling with Hunspell: whether a word is known, up to seven suggestions, the
// words ignored until the program quits ("Ignorer tout") and the user's own word list
// "velmora.dic" (UTF-8, one word a line) in the per-user data folder. One checker serves
// every window; it may be used from several threads (calls are serialised).
#pragma once

#include "text/core/wordsplitter.h"

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class Hunspell;

class SpellChecker
{
public:
    static constexpr int kMaxSuggestions = 7;

    // Loads the dictionary `aff`/`dic` and the personal list at `personalPath` (which may
    // not exist yet). isValid() tells whether the dictionary could be read.
    SpellChecker(const QString &aff, const QString &dic, const QString &personalPath);
    ~SpellChecker();
    SpellChecker(const SpellChecker &) = delete;
    SpellChecker &operator=(const SpellChecker &) = delete;

    bool isValid() const { return m_hunspell != nullptr; }
    // The character set the dictionary declares (its SET line).
    QString encoding() const { return m_encoding; }

    // True when the word (as splitWords gives it) is spelt correctly, ignored or personal.
    bool isKnown(const QString &word);
    // Up to seven replacements, best first; apostrophes written as in `word`. Full asks
    // Hunspell (tens of milliseconds a word); Quick takes the dictionary's words one usual
    // slip away (an accent, a doubled or single letter, two letters swapped: about a
    // millisecond), else one edit away, and asks Hunspell only when there are none.
    enum class Search { Full, Quick };
    QStringList suggestions(const QString &word, Search search = Search::Full);
    // The words of `text` that are not known.
    QList<spelling::Word> unknownWords(QStringView text, const spelling::SplitOptions &options = {});

    // "Ignorer tout": the word passes until the program quits.
    void ignoreAll(const QString &word);
    // "Ajouter au dictionnaire": the word joins the personal list, which is saved at once.
    // Throws VelmoraError when the list cannot be written (the word stays known this run).
    void addToPersonal(const QString &word);
    QStringList personalWords() const;
    QString personalPath() const { return m_personalPath; }

    // The French dictionary shared by the program
    // The folder of the per-user data files, and the personal list in it.
    static QString userDataFolder();
    static QString personalListPath();
    // Paths of the French dictionary (.aff then .dic); empty when it is not installed.
    // VELMORA_HUNSPELL_DIR replaces the system folders (tests).
    static QStringList frenchDictionaryFiles();
    static bool frenchInstalled() { return !frenchDictionaryFiles().isEmpty(); }
    // The shared French checker, loaded on first use (blocking); null when not installed.
    static SpellChecker *french();
    // The shared checker when it is already loaded, else null; starts loading it in the
    // background, and SpellNotifier::loaded() follows once it is ready.
    static SpellChecker *frenchIfLoaded();

private:
    bool lookUp(const QString &word);
    QStringList oneEditAway(const QString &word);
    std::string toDictionary(const QString &text, bool *ok = nullptr) const;
    QString fromDictionary(const std::string &bytes) const;
    void loadPersonal();

    std::unique_ptr<Hunspell> m_hunspell;
    QString m_encoding;
    bool m_utf8 = true;
    QString m_personalPath;
    QStringList m_personal;
    QSet<QString> m_accepted; // personal and ignored words
    QHash<QString, bool> m_cache;
    mutable QMutex m_mutex;
};

// Tells the windows that the shared checker is ready or that its lists changed (a word
// ignored or added in one window is no longer underlined in the others).
class SpellNotifier : public QObject
{
    Q_OBJECT
public:
    static SpellNotifier &instance();
Q_SIGNALS:
    void loaded();
    void wordsChanged();
    void autoCheckChanged(bool on);
};

namespace spelling {
// "Vérification automatique", remembered between runs (ticked by default).
bool autoCheck();
void setAutoCheck(bool on);
} // namespace spelling
