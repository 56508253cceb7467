#include "text/core/spellchecker.h"

#include "common/atomicsave.h"
#include "common/datafiles.h"
#include "common/velmoraerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSettings>
#include <QStandardPaths>
#include <QThreadPool>

#include <hunspell.hxx>
#include <iconv.h>

#include <atomic>
#include <mutex>

namespace {

// The iconv name of a Hunspell SET value ("ISO8859-15", "microsoft-cp1251", "KOI8-R").
QByteArray iconvName(const QString &set)
{
    QString name = set.trimmed();
    if (name.startsWith(QLatin1String("microsoft-"), Qt::CaseInsensitive))
        name = name.mid(10);
    return name.toLatin1();
}

// Converts with iconv; false when a character has no equivalent or the set is unknown.
bool convert(const QByteArray &from, const QByteArray &to, const QByteArray &in, QByteArray &out)
{
    iconv_t cd = iconv_open(to.constData(), from.constData());
    if (cd == iconv_t(-1))
        return false;
    out.resize(in.size() * 4 + 8);
    char *src = const_cast<char *>(in.constData());
    size_t srcLeft = size_t(in.size());
    char *dst = out.data();
    size_t dstLeft = size_t(out.size());
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == size_t(-1))
        return false;
    out.resize(out.size() - qsizetype(dstLeft));
    return true;
}

bool isJoiner(QChar c) { return c == u'\'' || c == u'-'; }

// What an edit may produce: no joiner at an end or next to another, and an elided word
// followed by a vowel or an h, as French writes it.
bool wellFormed(const QString &w)
{
    if (isJoiner(w.front()) || isJoiner(w.back()))
        return false;
    for (qsizetype i = 1; i < w.size(); ++i)
        if (isJoiner(w[i]) && isJoiner(w[i - 1]))
            return false;
    if (const int e = spelling::elisionLength(w); e > 0) {
        static const QString vowels = QStringLiteral("aâàäeéèêëiîïoôöuùûüyhœæ");
        if (!vowels.contains(w[e].toLower()))
            return false;
    }
    return true;
}

bool startsUpper(const QString &w) { return !w.isEmpty() && w.front().isUpper(); }

} // namespace

SpellChecker::SpellChecker(const QString &aff, const QString &dic, const QString &personalPath)
    : m_personalPath(personalPath)
{
    if (QFileInfo(aff).isReadable() && QFileInfo(dic).isReadable()) {
        m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(), QFile::encodeName(dic).constData());
        m_encoding = QString::fromLatin1(m_hunspell->get_dict_encoding());
        m_utf8 = m_encoding.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0;
        if (!m_utf8) {
            QByteArray probe;
            if (!convert("UTF-8", iconvName(m_encoding), "a", probe))
                m_utf8 = true; // an unknown SET: Hunspell itself then reads the words as bytes
        }
    }
    loadPersonal();
}

SpellChecker::~SpellChecker() = default;

std::string SpellChecker::toDictionary(const QString &text, bool *ok) const
{
    if (ok)
        *ok = true;
    if (m_utf8)
        return text.toStdString();
    QByteArray out;
    if (!convert("UTF-8", iconvName(m_encoding), text.toUtf8(), out)) {
        if (ok)
            *ok = false;
        return {};
    }
    return out.toStdString();
}

QString SpellChecker::fromDictionary(const std::string &bytes) const
{
    if (m_utf8)
        return QString::fromStdString(bytes);
    QByteArray out;
    if (!convert(iconvName(m_encoding), "UTF-8", QByteArray::fromStdString(bytes), out))
        return QString();
    return QString::fromUtf8(out);
}

void SpellChecker::loadPersonal()
{
    QFile f(m_personalPath);
    if (m_personalPath.isEmpty() || !f.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    for (QString line : lines) {
        line = spelling::straightApostrophes(line.trimmed());
        if (line.isEmpty() || m_personal.contains(line))
            continue;
        m_personal.append(line);
        m_accepted.insert(line);
        bool ok = false;
        const std::string w = toDictionary(line, &ok);
        if (m_hunspell && ok)
            m_hunspell->add(w);
    }
}

bool SpellChecker::lookUp(const QString &word)
{
    if (m_accepted.contains(word))
        return true;
    // A capital at the start of a sentence does not make a personal or ignored word unknown.
    if (startsUpper(word) && m_accepted.contains(word.front().toLower() + word.mid(1)))
        return true;
    if (!m_hunspell)
        return false;
    bool ok = false;
    const std::string w = toDictionary(word, &ok);
    if (!ok)
        return false;
    if (m_hunspell->spell(w))
        return true;
    // Dictionaries without elision prefixes: check what follows "l'", "qu'"...
    if (const int e = spelling::elisionLength(word); e > 0)
        return lookUp(word.mid(e));
    // A compound the dictionary does not list is right when each of its parts is
    // ("-il", "-t-" and the like are parts with their hyphen).
    if (word.contains(u'-')) {
        const QStringList parts = word.split(u'-');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const QString &p = parts[i];
            if (p.isEmpty())
                return false;
            if (i > 0 && i + 1 < parts.size() && p == u"t")
                continue;
            const bool known = m_accepted.contains(p) || m_hunspell->spell(toDictionary(p))
                    || (i > 0 && m_hunspell->spell(toDictionary(QLatin1Char('-') + p)));
            if (!known && !(spelling::elisionLength(p) > 0 && lookUp(p)))
                return false;
        }
        return true;
    }
    return false;
}

bool SpellChecker::isKnown(const QString &word)
{
    const QString w = spelling::straightApostrophes(word);
    QMutexLocker lock(&m_mutex);
    const auto it = m_cache.constFind(w);
    if (it != m_cache.constEnd())
        return *it;
    const bool known = lookUp(w);
    m_cache.insert(w, known);
    return known;
}

QStringList SpellChecker::oneEditAway(const QString &word)
{
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzàâäçéèêëîïôöùûüÿœæ");
    auto base = [](QChar c) { return c.decomposition().isEmpty() ? c.toLower() : c.decomposition().front().toLower(); };
    QList<QStringList> ranked(4);
    QSet<QString> seen;
    // No apostrophe or hyphen is added: any two words would pass as a compound ("mai-son").
    auto consider = [&](const QString &candidate, int rank) {
        if (candidate.isEmpty() || seen.contains(candidate) || !wellFormed(candidate))
            return;
        seen.insert(candidate);
        if (lookUp(candidate))
            ranked[rank].append(candidate);
    };
    auto doubled = [&word](qsizetype i) {
        return (i > 0 && word[i - 1] == word[i]) || (i + 1 < word.size() && word[i + 1] == word[i]);
    };
    const qsizetype n = word.size();
    // The usual slips first, a few dozen lookups: an accent (0), a doubled or single
    // letter (1), two letters swapped (2).
    for (qsizetype i = 0; i < n; ++i) {
        for (QChar c : letters)
            if (c != word[i] && base(c) == base(word[i]))
                consider(QString(word).replace(i, 1, c), 0);
        if (doubled(i))
            consider(QString(word).remove(i, 1), 1);
        consider(QString(word).insert(i, word[i]), 1);
        if (i + 1 < n) {
            QString t = word;
            std::swap(t[i], t[i + 1]);
            consider(t, 2);
        }
    }
    // Otherwise any letter replaced, missing or extra (about ninety lookups a letter).
    if (ranked[0].isEmpty() && ranked[1].isEmpty() && ranked[2].isEmpty()) {
        for (qsizetype i = 0; i < n; ++i) {
            for (QChar c : letters)
                if (c != word[i])
                    consider(QString(word).replace(i, 1, c), 3);
            consider(QString(word).remove(i, 1), 3);
        }
        for (qsizetype i = 0; i <= n; ++i)
            for (QChar c : letters)
                consider(QString(word).insert(i, c), 3);
    }
    QStringList out;
    for (const QStringList &r : ranked)
        out += r;
    return out;
}

QStringList SpellChecker::suggestions(const QString &word, Search search)
{
    QMutexLocker lock(&m_mutex);
    if (!m_hunspell)
        return {};
    bool ok = false;
    const QString straight = spelling::straightApostrophes(word);
    const std::string w = toDictionary(straight, &ok);
    if (!ok)
        return {};
    const bool curly = word.contains(QChar(0x2019));
    QStringList found = search == Search::Quick ? oneEditAway(straight) : QStringList();
    if (found.isEmpty())
        for (const std::string &s : m_hunspell->suggest(w))
            found.append(fromDictionary(s));
    QStringList out;
    for (QString q : found) {
        if (q.isEmpty())
            continue;
        q = curly ? q.replace(u'\'', QChar(0x2019)) : spelling::straightApostrophes(q);
        if (!out.contains(q) && q != word)
            out.append(q);
        if (out.size() == kMaxSuggestions)
            break;
    }
    return out;
}

QList<spelling::Word> SpellChecker::unknownWords(QStringView text, const spelling::SplitOptions &options)
{
    QList<spelling::Word> unknown;
    for (spelling::Word &w : spelling::splitWords(text, options))
        if (!isKnown(w.text))
            unknown.append(std::move(w));
    return unknown;
}

void SpellChecker::ignoreAll(const QString &word)
{
    {
        QMutexLocker lock(&m_mutex);
        m_accepted.insert(spelling::straightApostrophes(word));
        m_cache.clear();
    }
    Q_EMIT SpellNotifier::instance().wordsChanged();
}

void SpellChecker::addToPersonal(const QString &word)
{
    const QString w = spelling::straightApostrophes(word.trimmed());
    if (w.isEmpty())
        return;
    QByteArray bytes;
    {
        QMutexLocker lock(&m_mutex);
        m_accepted.insert(w);
        m_cache.clear();
        if (!m_personal.contains(w)) {
            m_personal.append(w);
            bool ok = false;
            const std::string d = toDictionary(w, &ok);
            if (m_hunspell && ok)
                m_hunspell->add(d);
        }
        bytes = m_personal.join(u'\n').toUtf8() + '\n';
    }
    Q_EMIT SpellNotifier::instance().wordsChanged();
    QDir().mkpath(QFileInfo(m_personalPath).absolutePath());
    atomicsave::write(m_personalPath, bytes);
}

QStringList SpellChecker::personalWords() const
{
    QMutexLocker lock(&m_mutex);
    return m_personal;
}

// The shared French dictionary

QString SpellChecker::userDataFolder() { return datafiles::userDataDir(); }

QString SpellChecker::personalListPath() { return userDataFolder() + QStringLiteral("/velmora.dic"); }

QStringList SpellChecker::frenchDictionaryFiles()
{
    QStringList folders;
    const QByteArray over = qgetenv("VELMORA_HUNSPELL_DIR");
    if (!over.isEmpty())
        folders << QFile::decodeName(over);
    else
        folders << QStringLiteral("/usr/share/hunspell") << QStringLiteral("/usr/share/myspell/dicts")
                << QStringLiteral("/usr/share/myspell");
    for (const QString &dir : folders)
        for (const char *name : {"fr_FR", "fr"}) {
            const QString base = dir + u'/' + QLatin1String(name);
            if (QFileInfo(base + QStringLiteral(".aff")).isReadable()
                && QFileInfo(base + QStringLiteral(".dic")).isReadable())
                return {base + QStringLiteral(".aff"), base + QStringLiteral(".dic")};
        }
    return {};
}

namespace {
std::atomic<SpellChecker *> g_french{nullptr};
std::atomic<bool> g_loading{false};
} // namespace

SpellChecker *SpellChecker::french()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList files = frenchDictionaryFiles();
        if (files.isEmpty())
            return;
        // Never freed: a background load may still be running while the program ends.
        auto *checker = new SpellChecker(files[0], files[1], personalListPath());
        if (checker->isValid())
            g_french = checker;
    });
    return g_french;
}

SpellChecker *SpellChecker::frenchIfLoaded()
{
    if (SpellChecker *c = g_french.load())
        return c;
    // Asked on every slice of checking: once the load has started, no more looking for files.
    if (g_loading.load() || !frenchInstalled())
        return nullptr;
    SpellNotifier *notifier = &SpellNotifier::instance();
    if (!g_loading.exchange(true)) {
        QThreadPool::globalInstance()->start([notifier] {
            french();
            QMetaObject::invokeMethod(
                    notifier, [notifier] { Q_EMIT notifier->loaded(); }, Qt::QueuedConnection);
        });
    }
    return nullptr;
}

SpellNotifier &SpellNotifier::instance()
{
    static SpellNotifier notifier;
    return notifier;
}

namespace spelling {

namespace {
const QString kAutoCheckKey = QStringLiteral("orthographe/verificationAutomatique");
// The setting as last read or set (-1: not read yet); asked on every slice of checking, so
// the settings file is read once.
std::atomic<int> g_autoCheck{-1};
} // namespace

bool autoCheck()
{
    int on = g_autoCheck.load();
    if (on < 0) {
        on = QSettings(QStringLiteral("velmora"), QStringLiteral("velmora")).value(kAutoCheckKey, true).toBool();
        g_autoCheck = on;
    }
    return on;
}

void setAutoCheck(bool on)
{
    QSettings(QStringLiteral("velmora"), QStringLiteral("velmora")).setValue(kAutoCheckKey, on);
    g_autoCheck = on;
    Q_EMIT SpellNotifier::instance().autoCheckChanged(on);
}

} // namespace spelling
