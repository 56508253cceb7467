// The frame's rules without windows: a command is enabled when a window it serves is open,
// and reaches the active window when it serves that kind, else the most recently active
// open window of a kind it serves.
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
    void enabledExactlyWhenAServedWindowIsOpen();
    void reaching_data();
    void reaching();
};

namespace {
// Open windows: all, then per kind text, spreadsheet, database, agenda.
DocumentCounts counts(int t, int s, int d, int a) { return {t + s + d + a, t, s, d, a}; }
constexpr int T = 0, S = 1, D = 2, A = 3;
} // namespace

void TestCommandState::table_data()
{
    QTest::addColumn<QString>("component");
    QTest::addColumn<int>("t");
    QTest::addColumn<int>("s");
    QTest::addColumn<int>("d");
    QTest::addColumn<int>("a");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("nothing at start: save") << u"FileSaveItem"_s << 0 << 0 << 0 << 0 << false;
    QTest::newRow("save with an agenda open") << u"FileSaveItem"_s << 0 << 0 << 0 << 1 << true;
    QTest::newRow("text menu off once the texts are closed") << u"Dateheure1"_s << 0 << 1 << 0 << 0 << false;
    QTest::newRow("bold with a sheet only") << u"BoldButton"_s << 0 << 1 << 0 << 0 << true;
    QTest::newRow("alignment with a sheet only") << u"LeftButton"_s << 0 << 1 << 0 << 0 << true;
    QTest::newRow("find with a base") << u"Chercher1"_s << 0 << 0 << 1 << 0 << true;
    QTest::newRow("find with a sheet") << u"Continuer1"_s << 0 << 1 << 0 << 0 << true;
    QTest::newRow("replace with a sheet") << u"Remplacer1"_s << 0 << 1 << 0 << 0 << true;
    QTest::newRow("replace with an agenda only") << u"Remplacer1"_s << 0 << 0 << 0 << 1 << false;
    QTest::newRow("insert row with a text only") << u"Insrerligne1"_s << 1 << 0 << 0 << 0 << false;
    QTest::newRow("insert row with a base") << u"Insrerligne1"_s << 0 << 0 << 1 << 0 << true;
    QTest::newRow("select all with a sheet only") << u"Toutslectionner1"_s << 0 << 1 << 0 << 0 << true;
    QTest::newRow("select all with a base only") << u"Toutslectionner1"_s << 0 << 0 << 1 << 0 << false;
    QTest::newRow("merge needs a base") << u"Publipostage1"_s << 2 << 0 << 0 << 0 << false;
    QTest::newRow("merge text and base") << u"Publipostage1"_s << 1 << 0 << 1 << 0 << true;
    QTest::newRow("sum with a sheet") << u"SumButton"_s << 0 << 1 << 0 << 0 << true;
    QTest::newRow("agenda range") << u"Grouper1"_s << 0 << 0 << 0 << 3 << true;
    QTest::newRow("print with an agenda only") << u"SpeedButton9"_s << 0 << 0 << 0 << 2 << false;
    QTest::newRow("print with a base") << u"Imprimer1"_s << 0 << 0 << 1 << 2 << true;
}

void TestCommandState::table()
{
    QFETCH(QString, component);
    QFETCH(int, t);
    QFETCH(int, s);
    QFETCH(int, d);
    QFETCH(int, a);
    QFETCH(bool, enabled);
    QCOMPARE(commandstate::isEnabled(component, counts(t, s, d, a)), enabled);
}

void TestCommandState::alwaysEnabled()
{
    const DocumentCounts none;
    for (const char *n : {"Texte1", "FileOpenItem", "OpenBtn", "Configurationimprimante1", "FileExitItem",
                          "Calculatrice1", "HelpAboutItem", "ComboBox1", "SpinEdit1"}) {
        QVERIFY2(commandstate::isEnabled(QString::fromLatin1(n), none), n);
        QCOMPARE(commandstate::servedKinds(QString::fromLatin1(n)), 0u);
    }
}

void TestCommandState::enabledExactlyWhenAServedWindowIsOpen()
{
    // Over the 16 combinations of open kinds, every governed command (the mail merge
    // aside) is enabled exactly when a window of a kind it serves is open: an enabled
    // command always has a window to act on.
    for (int bits = 0; bits < 16; ++bits) {
        const DocumentCounts c = counts(bits & 1, (bits >> 1) & 1, (bits >> 2) & 1, (bits >> 3) & 1);
        for (const QString &name : commandstate::governedComponents()) {
            if (name == u"Publipostage1")
                continue;
            const unsigned served = commandstate::servedKinds(name);
            QVERIFY2(served != 0, qPrintable(name));
            QCOMPARE(commandstate::isEnabled(name, c), (served & unsigned(bits)) != 0);
        }
    }
}

void TestCommandState::reaching_data()
{
    QTest::addColumn<QList<int>>("recent");
    QTest::addColumn<unsigned>("served");
    QTest::addColumn<int>("reached");
    QTest::newRow("nothing open") << QList<int>{} << unsigned(TextBit) << -1;
    QTest::newRow("active of the kind") << QList<int>{T, T} << unsigned(TextBit) << 0;
    QTest::newRow("older sheet active") << QList<int>{S, S} << unsigned(SheetBit) << 0;
    QTest::newRow("text active: last active sheet") << QList<int>{T, D, S, S} << unsigned(SheetBit) << 2;
    QTest::newRow("cut: active base") << QList<int>{D, T} << unsigned(AllKinds) << 0;
    QTest::newRow("find, agenda active: latest of text or base")
            << QList<int>{A, D, T} << unsigned(TextBit | BaseBit) << 1;
    QTest::newRow("no window of the kind") << QList<int>{T, S, A} << unsigned(BaseBit) << -1;
}

void TestCommandState::reaching()
{
    QFETCH(QList<int>, recent);
    QFETCH(unsigned, served);
    QFETCH(int, reached);
    QCOMPARE(commandstate::reachedWindow(recent, served), reached);
}

QTEST_GUILESS_MAIN(TestCommandState)
#include "tst_commandstate.moc"
