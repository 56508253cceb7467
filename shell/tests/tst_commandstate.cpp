// The enabling table: commands follow the counts of created windows, never the active one.
#include "shell/core/commandstate.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestCommandState : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void table_data();
    void table();
    void alwaysEnabled();
    void everyCombinationMatchesRules();
};

namespace {
DocumentCounts counts(int w, int t, int s, int d, int a) { return {w, t, s, d, a}; }
}

void TestCommandState::table_data()
{
    QTest::addColumn<QString>("component");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("t");
    QTest::addColumn<int>("s");
    QTest::addColumn<int>("d");
    QTest::addColumn<int>("a");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("nothing at start: save") << u"FileSaveItem"_s << 0 << 0 << 0 << 0 << 0 << false;
    QTest::newRow("save with an agenda open") << u"FileSaveItem"_s << 1 << 0 << 0 << 0 << 1 << true;
    QTest::newRow("closed text: save off") << u"FileSaveItem"_s << 0 << 1 << 0 << 0 << 0 << false;
    QTest::newRow("closed text: text menu stays") << u"Dateheure1"_s << 0 << 1 << 0 << 0 << 0 << true;
    QTest::newRow("bold with a sheet only") << u"BoldButton"_s << 1 << 0 << 1 << 0 << 0 << true;
    QTest::newRow("alignment needs a text") << u"LeftButton"_s << 1 << 0 << 1 << 0 << 0 << false;
    QTest::newRow("find with a base") << u"Chercher1"_s << 1 << 0 << 0 << 1 << 0 << true;
    QTest::newRow("find with a sheet") << u"Continuer1"_s << 1 << 0 << 1 << 0 << 0 << false;
    QTest::newRow("insert row with agenda") << u"Insrerligne1"_s << 1 << 0 << 0 << 0 << 1 << false;
    QTest::newRow("insert row with base") << u"Insrerligne1"_s << 1 << 0 << 0 << 1 << 0 << true;
    QTest::newRow("merge needs text") << u"Publipostage1"_s << 2 << 0 << 0 << 1 << 0 << false;
    QTest::newRow("merge text and base") << u"Publipostage1"_s << 2 << 1 << 0 << 1 << 0 << true;
    QTest::newRow("sum with a sheet") << u"SumButton"_s << 1 << 0 << 1 << 0 << 0 << true;
    QTest::newRow("agenda range") << u"Grouper1"_s << 0 << 0 << 0 << 0 << 3 << true;
    QTest::newRow("base sort hidden but enabled") << u"Trier1"_s << 0 << 0 << 0 << 1 << 0 << true;
    QTest::newRow("print toolbar button") << u"SpeedButton9"_s << 0 << 5 << 5 << 5 << 5 << false;
}

void TestCommandState::table()
{
    QFETCH(QString, component);
    QFETCH(int, w);
    QFETCH(int, t);
    QFETCH(int, s);
    QFETCH(int, d);
    QFETCH(int, a);
    QFETCH(bool, enabled);
    QCOMPARE(commandstate::isEnabled(component, counts(w, t, s, d, a)), enabled);
}

void TestCommandState::alwaysEnabled()
{
    const DocumentCounts none;
    for (const char *n : {"Texte1", "FileOpenItem", "OpenBtn", "Configurationimprimante1", "FileExitItem",
                          "Calculatrice1", "HelpAboutItem", "ComboBox1", "SpinEdit1"})
        QVERIFY2(commandstate::isEnabled(QString::fromLatin1(n), none), n);
}

void TestCommandState::everyCombinationMatchesRules()
{
    // Over all 32 combinations of (window open, each kind created), a command governed by a
    // kind is enabled exactly when that kind's count is positive, whatever else is open.
    for (int bits = 0; bits < 32; ++bits) {
        const DocumentCounts c = counts(bits & 1, (bits >> 1) & 1, (bits >> 2) & 1, (bits >> 3) & 1, (bits >> 4) & 1);
        QCOMPARE(commandstate::isEnabled(u"Police1"_s, c), c.textes > 0 || c.tableurs > 0);
        QCOMPARE(commandstate::isEnabled(u"Champs1"_s, c), c.fichiers > 0);
        QCOMPARE(commandstate::isEnabled(u"Journe2"_s, c), c.agendas > 0);
        QCOMPARE(commandstate::isEnabled(u"Supprimercolonne1"_s, c), c.textes > 0 || c.tableurs > 0 || c.fichiers > 0);
        QCOMPARE(commandstate::isEnabled(u"WindowMinimizeItem"_s, c), c.windows > 0);
        QCOMPARE(commandstate::isEnabled(u"Aperuavantimpression1"_s, c), c.textes > 0);
        QCOMPARE(commandstate::isEnabled(u"Graphique1"_s, c), c.tableurs > 0); // as "Trier..." beside it
    }
    QCOMPARE(commandstate::governedComponents().size(), 16 + 4 + 3 + 5 + 21 + 13 + 5 + 5 + 1);
}

QTEST_GUILESS_MAIN(TestCommandState)
#include "tst_commandstate.moc"
