// French word splitting and the Hunspell checker: a small Latin-1 dictionary made for the
// tests (its SET must be honoured), the personal list on disk, and the real French
// dictionary when it is installed.
#include "common/velmoraerror.h"
#include "text/core/spellchecker.h"
#include "text/core/wordsplitter.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestSpelling : public QObject
{
    Q_OBJECT
private:
    QString data(const QString &name) const
    {
        return qEnvironmentVariable("VELMORA_TEST_DATA") + u"/spelling/"_s + name;
    }
    std::unique_ptr<SpellChecker> mini(const QString &personal = QString()) const
    {
        return std::make_unique<SpellChecker>(data(u"mini.aff"_s), data(u"mini.dic"_s), personal);
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void split_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("skipCapitals");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("elisions") << u"L'école, qu'il aime : aujourd’hui."_s << true
                                  << QStringList{u"L'école"_s, u"qu'il"_s, u"aime"_s, u"aujourd’hui"_s};
        QTest::newRow("hyphens") << u"peut-être, c'est-à-dire -- fin-"_s << true
                                 << QStringList{u"peut-être"_s, u"c'est-à-dire"_s, u"fin"_s};
        QTest::newRow("digits skipped") << u"le 1er mai 2026 en A4 à 10h"_s << true
                                        << QStringList{u"le"_s, u"mai"_s, u"en"_s, u"à"_s};
        QTest::newRow("capitals skipped") << u"La SNCF et l'ONU"_s << true << QStringList{u"La"_s, u"et"_s};
        QTest::newRow("capitals kept") << u"La SNCF"_s << false << QStringList{u"La"_s, u"SNCF"_s};
        QTest::newRow("quotes are not apostrophes at the edges")
                << u"'bonjour' « salut »"_s << true << QStringList{u"bonjour"_s, u"salut"_s};
        QTest::newRow("addresses skipped") << u"écrire à jean.dupont@exemple.fr ou www.exemple.fr/page merci"_s << true
                                           << QStringList{u"écrire"_s, u"à"_s, u"ou"_s, u"merci"_s};
        QTest::newRow("decomposed accents") << u"e\u0301te\u0301"_s << true << QStringList{u"e\u0301te\u0301"_s};
    }
    void split()
    {
        QFETCH(QString, text);
        QFETCH(bool, skipCapitals);
        QFETCH(QStringList, words);
        QStringList got;
        for (const spelling::Word &w : spelling::splitWords(text, {skipCapitals})) {
            QCOMPARE(text.mid(w.start, w.length), w.text);
            got << w.text;
        }
        QCOMPARE(got, words);
    }

    void miniDictionary_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("known");
        QTest::newRow("accented, Latin-1 dictionary") << u"école"_s << true;
        QTest::newRow("missing accent") << u"ecole"_s << false;
        QTest::newRow("capital at sentence start") << u"École"_s << true;
        QTest::newRow("elision") << u"l'école"_s << true;
        QTest::newRow("elision, typographic apostrophe") << u"l’école"_s << true;
        QTest::newRow("elision of a wrong word") << u"l'écolle"_s << false;
        QTest::newRow("apostrophe inside a word") << u"aujourd’hui"_s << true;
        QTest::newRow("qu'il") << u"qu'il"_s << true;
        QTest::newRow("hyphenated entry") << u"c'est-à-dire"_s << true;
        QTest::newRow("compound of known parts") << u"chat-chien"_s << true;
        QTest::newRow("inverted pronoun with -t-") << u"va-t-il"_s << true;
        QTest::newRow("compound with a wrong part") << u"peut-ètre"_s << false;
        QTest::newRow("unknown") << u"maisson"_s << false;
        QTest::newRow("not in Latin-1") << u"œuvre"_s << false;
    }
    void miniDictionary()
    {
        QFETCH(QString, word);
        QFETCH(bool, known);
        auto c = mini();
        QVERIFY(c->isValid());
        QCOMPARE(c->encoding(), u"ISO8859-1"_s);
        QCOMPARE(c->isKnown(word), known);
    }

    void suggestionsComeBackDecoded()
    {
        auto c = mini();
        const QStringList s = c->suggestions(u"maisson"_s);
        QVERIFY2(s.contains(u"maison"_s), qPrintable(s.join(u',')));
        QVERIFY(c->suggestions(u"ecole"_s).contains(u"école"_s));
        QVERIFY(c->suggestions(u"aujourdhui"_s).contains(u"aujourd'hui"_s));
        QVERIFY(c->suggestions(u"aujourd’hu"_s).contains(u"aujourd’hui"_s)); // written as the user did
    }

    void quickSuggestionsAreOneEditAway_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("first");
        QTest::newRow("missing accent") << u"ecole"_s << u"école"_s;
        QTest::newRow("doubled letter") << u"maisson"_s << u"maison"_s;
        QTest::newRow("missing letter") << u"chen"_s << u"chien"_s;
        QTest::newRow("swapped letters") << u"chta"_s << u"chat"_s;
        QTest::newRow("after an elision") << u"l'ecole"_s << u"l'école"_s;
        QTest::newRow("nothing one edit away: the full search") << u"aujourdhu"_s << u"aujourd'hui"_s;
    }
    void quickSuggestionsAreOneEditAway()
    {
        QFETCH(QString, word);
        QFETCH(QString, first);
        const QStringList s = mini()->suggestions(word, SpellChecker::Search::Quick);
        QVERIFY2(!s.isEmpty() && s.first() == first, qPrintable(s.join(u',')));
        QVERIFY(s.size() <= SpellChecker::kMaxSuggestions);
    }

    void unknownWordsInText()
    {
        auto c = mini();
        const QString text = u"Le chat est trés bien, l'écolle aussi."_s;
        QStringList got;
        for (const spelling::Word &w : c->unknownWords(text))
            got << u"%1@%2"_s.arg(w.text).arg(w.start);
        QCOMPARE(got, (QStringList{u"trés@12"_s, u"l'écolle@23"_s, u"aussi@32"_s}));
    }

    void ignoreAllLastsForTheChecker()
    {
        auto c = mini();
        QVERIFY(!c->isKnown(u"Velmora"_s));
        c->ignoreAll(u"Velmora"_s);
        QVERIFY(c->isKnown(u"Velmora"_s));
        QVERIFY(mini()->isKnown(u"Velmora"_s) == false); // not written anywhere
    }

    void personalListIsSavedAndReadBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"sous/velmora.dic"_s);
        {
            auto c = mini(path);
            QVERIFY(!c->isKnown(u"bégaiementé"_s));
            c->addToPersonal(u"bégaiementé"_s);
            c->addToPersonal(u"Velmora"_s);
            c->addToPersonal(u"Velmora"_s); // once only
            QVERIFY(c->isKnown(u"bégaiementé"_s));
            QVERIFY(c->isKnown(u"Bégaiementé"_s));
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), u"bégaiementé\nVelmora\n"_s.toUtf8());
        auto again = mini(path);
        QVERIFY(again->isKnown(u"bégaiementé"_s));
        QVERIFY(again->isKnown(u"Velmora"_s));
        QCOMPARE(again->personalWords(), (QStringList{u"bégaiementé"_s, u"Velmora"_s}));
        QVERIFY(QDir(dir.path() + u"/sous"_s).entryList(QDir::Files | QDir::Hidden).size() == 1); // no temporary left
    }

    void unwritablePersonalListReportsAndKeepsTheWord()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(u"fichier"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        auto c = mini(dir.filePath(u"fichier/velmora.dic"_s)); // a file where a folder should be
        QVERIFY_THROWS_EXCEPTION(VelmoraError, c->addToPersonal(u"Velmora"_s));
        QVERIFY(c->isKnown(u"Velmora"_s));
    }

    void personalListInTheUserDataFolder()
    {
        QCOMPARE(SpellChecker::personalListPath(),
                 QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/velmora/velmora.dic"_s);
    }

    void missingDictionary()
    {
        SpellChecker c(u"/nulle/part/fr.aff"_s, u"/nulle/part/fr.dic"_s, QString());
        QVERIFY(!c.isValid());
        QVERIFY(c.suggestions(u"maisson"_s).isEmpty());
        qputenv("VELMORA_HUNSPELL_DIR", "/nulle/part");
        QVERIFY(!SpellChecker::frenchInstalled());
        qunsetenv("VELMORA_HUNSPELL_DIR");
    }

    void realFrench_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("unknown");
        QTest::newRow("correct") << u"Aujourd’hui, l'école qu'il aime est peut-être fermée, c'est-à-dire vide. "
                                    u"Où va-t-il ? Dit-elle à l’hôpital ; jusqu'à 12 h, à la SNCF."_s
                                 << QStringList{};
        QTest::newRow("mistakes") << u"Je suis alé à l'écolle avec mon chein."_s
                                  << QStringList{u"alé"_s, u"l'écolle"_s, u"chein"_s};
    }
    void realFrench()
    {
        SpellChecker *c = SpellChecker::french();
        if (!c)
            QSKIP("French dictionary not installed (hunspell-fr)");
        QFETCH(QString, text);
        QFETCH(QStringList, unknown);
        QStringList got;
        for (const spelling::Word &w : c->unknownWords(text))
            got << w.text;
        QCOMPARE(got, unknown);
    }

    void realFrenchSuggestions()
    {
        SpellChecker *c = SpellChecker::french();
        if (!c)
            QSKIP("French dictionary not installed (hunspell-fr)");
        const QStringList s = c->suggestions(u"maisson"_s);
        QVERIFY(s.contains(u"maison"_s));
        QVERIFY(s.size() <= SpellChecker::kMaxSuggestions);
        QVERIFY(c->suggestions(u"l'ecole"_s).contains(u"l'école"_s)); // straight apostrophe as typed
        QVERIFY(c->suggestions(u"l’ecole"_s).contains(u"l’école"_s));
        QVERIFY(c->suggestions(u"pourquoii"_s).size() <= 7);
        const QStringList quick = c->suggestions(u"alé"_s, SpellChecker::Search::Quick);
        QVERIFY2(quick.contains(u"allé"_s) && quick.size() <= 7, qPrintable(quick.join(u',')));
        QCOMPARE(c->suggestions(u"ecole"_s, SpellChecker::Search::Quick).value(0), u"école"_s);
    }
};

QTEST_GUILESS_MAIN(TestSpelling)
#include "tst_spelling.moc"
