// Lookups into tables after changes: a change in a table recomputes only the lookups it can
// affect, so these tests check that no lookup result is ever left stale. Each scenario is run
// on two workbooks given the same edits: one recalculates only what the changes reach, the
// other recalculates everything after every edit; their values must agree at every step.
#include "common/velmoraerror.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookaccess.h"

#include <QtTest>

#include <functional>
#include <random>

using namespace sheet;

namespace {

constexpr int kRows = 30; // the area compared, rows 1..kRows+10, columns A..L
constexpr int kCols = 12;

// Two workbooks fed the same edits: `live` as a user edits it, `truth` recalculated whole.
struct Pair
{
    Workbook live;
    Workbook truth;

    void apply(const std::function<void(Workbook &)> &edit)
    {
        edit(live);
        edit(truth);
        truth.recalculate();
    }
    void entry(int row, int col, const QString &text)
    {
        apply([&](Workbook &b) { b.setEntry(0, row, col, text); });
    }
    // The first cell whose value differs, or an empty string.
    QString difference() const
    {
        for (int row = 1; row <= kRows + 10; ++row)
            for (int col = 1; col <= kCols; ++col)
                if (live.value(0, row, col) != truth.value(0, row, col))
                    return QStringLiteral("%1: %2 instead of %3 (%4)")
                            .arg(cellName(row, col), live.displayText(0, row, col), truth.displayText(0, row, col),
                                 live.formulaText(0, row, col));
        return {};
    }
};

// Keys 10, 20, ... 100 in A1:A10, values "v1".."v10" in B1:B10; row 12 holds the same keys
// across A12:J12 and values in A13:J13 for horizontal lookups.
void fillTables(Pair &p)
{
    for (int i = 1; i <= 10; ++i) {
        p.entry(i, 1, QString::number(i * 10));
        p.entry(i, 2, QStringLiteral("v%1").arg(i));
        p.entry(12, i, QString::number(i * 10));
        p.entry(13, i, QStringLiteral("h%1").arg(i));
    }
}

// Lookups of every kind in D..H, keys in C.
void fillLookups(Pair &p)
{
    for (int i = 1; i <= 10; ++i) {
        p.entry(i, 3, QString::number(i * 10));
        p.entry(i, 4, QStringLiteral("=VLOOKUP(C%1;$A$1:$B$10;2;0)").arg(i));
        p.entry(i, 5, QStringLiteral("=MATCH(C%1;$A$1:$A$10;0)").arg(i));
        p.entry(i, 6, QStringLiteral("=HLOOKUP(C%1;$A$12:$J$13;2;0)").arg(i));
        p.entry(i, 7, QStringLiteral("=VLOOKUP(C%1+5;$A$1:$B$10;2)").arg(i)); // approximate
        p.entry(i, 8, QStringLiteral("=VLOOKUP(C%1;$A$1:$B$10;1;0)&\"-\"&D%1").arg(i)); // reads a lookup
    }
    p.entry(11, 3, QStringLiteral("55")); // a key nobody has yet
    p.entry(11, 4, QStringLiteral("=VLOOKUP(C11;$A$1:$B$10;2;0)"));
    p.entry(11, 5, QStringLiteral("=MATCH(\"V3\";$B$1:$B$10;0)")); // text, any case
    p.entry(11, 6, QStringLiteral("=COUNTIF($A$1:$A$10;C11)+MATCH(C11;$A$1:$A$10;0)"));
    p.entry(11, 7, QStringLiteral("=VLOOKUP(C11;$A$1:$B$10;2;0)&SUM($A$1:$A$10)"));
    p.entry(11, 8, QStringLiteral("=MATCH(\"v*\";$B$1:$B$10;0)")); // wildcard
}

} // namespace

class TestSheetLookups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void singleChange_data();
    void singleChange();
    void changeThenBack();
    void batchOfChanges();
    void structureChanges_data();
    void structureChanges();
    void randomEdits_data();
    void randomEdits();
};

void TestSheetLookups::singleChange_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("entry");
    QTest::newRow("return column of a found row") << "B4"
                                                  << "changed";
    QTest::newRow("return column made empty") << "B4"
                                              << "";
    QTest::newRow("key found moved away") << "A4"
                                          << "999";
    QTest::newRow("key changed to one searched for") << "A2"
                                                     << "55";
    QTest::newRow("earlier duplicate of a later key") << "A2"
                                                      << "90";
    QTest::newRow("later duplicate changes nothing") << "A9"
                                                     << "30";
    QTest::newRow("key made text") << "A5"
                                   << "50x";
    QTest::newRow("key emptied") << "A6"
                                 << "";
    QTest::newRow("text key in other case") << "B1"
                                            << "V3";
    QTest::newRow("text matching a wildcard") << "B1"
                                              << "vv";
    QTest::newRow("key made a formula") << "A3"
                                        << "=5*11";
    QTest::newRow("horizontal key found moved") << "C12"
                                                << "1000";
    QTest::newRow("horizontal earlier duplicate") << "A12"
                                                  << "70";
    QTest::newRow("horizontal return row") << "E13"
                                           << "new";
    QTest::newRow("key a lookup reads") << "C7"
                                        << "20";
    QTest::newRow("approximate table key") << "A5"
                                           << "52";
    QTest::newRow("boolean key") << "A1"
                                 << "VRAI";
}

void TestSheetLookups::singleChange()
{
    QFETCH(QString, cell);
    QFETCH(QString, entry);
    Pair p;
    fillTables(p);
    fillLookups(p);
    QCOMPARE(p.difference(), QString());
    int row, col;
    QVERIFY(parseCellName(cell, row, col));
    p.entry(row, col, entry);
    QCOMPARE(p.difference(), QString());
    // A second change of the same cell starts from what the first one left.
    p.entry(row, col, QStringLiteral("30"));
    QCOMPARE(p.difference(), QString());
}

void TestSheetLookups::changeThenBack()
{
    // Each change is undone by entering the old content again.
    Pair p;
    fillTables(p);
    fillLookups(p);
    const QStringList cells{"A4", "B4", "A2", "C12", "D13", "A10"};
    for (const QString &name : cells) {
        int row, col;
        parseCellName(name, row, col);
        const QString old = p.live.entryText(0, row, col);
        for (const QString &entry : {QStringLiteral("40"), QStringLiteral("90"), QStringLiteral("zz"), QString()}) {
            p.entry(row, col, entry);
            QVERIFY2(p.difference().isEmpty(), qPrintable(name + " = " + entry + ": " + p.difference()));
            p.entry(row, col, old);
            QVERIFY2(p.difference().isEmpty(), qPrintable(name + " back: " + p.difference()));
        }
    }
}

void TestSheetLookups::batchOfChanges()
{
    // Several table cells changed in one batch (a paste), each harmless alone in some order.
    Pair p;
    fillTables(p);
    fillLookups(p);
    p.apply([](Workbook &b) {
        WorkbookAccess access(b);
        access.beginBatch();
        b.setValue(0, 3, 1, Value::number(999)); // the key 30 leaves row 3
        b.setValue(0, 9, 1, Value::number(30)); // and comes back later, at row 9
        b.setValue(0, 2, 1, Value::number(55)); // 55 appears
        b.setValue(0, 2, 1, Value::number(56)); // and goes again
        b.setValue(0, 5, 2, Value::text("new")); // a returned value
        access.endBatch();
    });
    QCOMPARE(p.difference(), QString());
    p.apply([](Workbook &b) { b.clearContents(0, CellRange{1, 1, 4, 2}); });
    QCOMPARE(p.difference(), QString());
}

void TestSheetLookups::structureChanges_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("row inserted inside the table") << 0;
    QTest::newRow("row deleted inside the table") << 1;
    QTest::newRow("first table row deleted") << 2;
    QTest::newRow("table sorted descending") << 3;
    QTest::newRow("column inserted before the table") << 4;
}

void TestSheetLookups::structureChanges()
{
    QFETCH(int, kind);
    Pair p;
    fillTables(p);
    fillLookups(p);
    p.apply([&](Workbook &b) {
        switch (kind) {
        case 0: b.insertRows(0, 4, 2); break;
        case 1: b.deleteRows(0, 4, 1); break;
        case 2: b.deleteRows(0, 1, 1); break;
        case 3: b.sortRows(0, CellRange{1, 1, 10, 2}, {-1, 0, 0}); break;
        default: b.insertColumns(0, 1, 1); break;
        }
    });
    QCOMPARE(p.difference(), QString());
    // Then table edits on the new layout.
    for (int row = 1; row <= 12; ++row) {
        p.entry(row, 1, QString::number((13 - row) * 10));
        QVERIFY2(p.difference().isEmpty(), qPrintable(p.difference()));
        p.entry(row, 2, QStringLiteral("w%1").arg(row));
        QVERIFY2(p.difference().isEmpty(), qPrintable(p.difference()));
    }
}

void TestSheetLookups::randomEdits_data()
{
    QTest::addColumn<unsigned>("seed");
    for (unsigned seed : {1u, 2u, 3u, 4u})
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

void TestSheetLookups::randomEdits()
{
    // Both workbooks get the same edits: every random choice is made before applying one.
    // Small key sets make duplicates, misses and moves of the first match frequent.
    QFETCH(unsigned, seed);
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const QStringList entries{"1", "2", "3", "4", "5", "a", "B", "b", "", "VRAI", "FAUX", "2,5", "=1+1", "=A3"};
    Pair p;
    for (int row = 1; row <= 20; ++row) {
        p.entry(row, 1, QString::number(1 + pick(6)));
        p.entry(row, 2, QString::number(row * 100));
        p.entry(row, 3, entries[pick(8)]);
    }
    for (int i = 1; i <= 8; ++i) {
        p.entry(22, i, QString::number(1 + pick(6)));
        p.entry(23, i, QStringLiteral("x%1").arg(i));
    }
    for (int row = 1; row <= 20; ++row) {
        const QString key = QStringLiteral("MOD(%1;6)+1").arg(row);
        p.entry(row, 5, QStringLiteral("=VLOOKUP(%1;$A$1:$C$20;2;0)").arg(key));
        p.entry(row, 6, QStringLiteral("=MATCH(K%1;$C$1:$C$20;0)").arg(row));
        p.entry(row, 7, QStringLiteral("=HLOOKUP(%1;$A$22:$H$23;2;FAUX)").arg(key));
        p.entry(row, 8, QStringLiteral("=IF(ISNA(E%1);0;E%1)+VLOOKUP(%2;$A$1:$B$20;2)").arg(row).arg(key));
        p.entry(row, 9, QStringLiteral("=VLOOKUP(L%1;$A1:$C$20;3;0)").arg(row));
        p.entry(row, 11, entries[pick(8)]);
        p.entry(row, 12, QString::number(1 + pick(6)));
    }
    QCOMPARE(p.difference(), QString());

    for (int step = 0; step < 400; ++step) {
        const int what = pick(100);
        QString done;
        if (what < 70) {
            const int row = what < 60 ? 1 + pick(23) : 1 + pick(20);
            const int col = what < 60 ? 1 + pick(3) : (pick(2) ? 11 : 12);
            const QString entry = entries[pick(entries.size())];
            p.entry(row, col, entry);
            done = QStringLiteral("%1 = '%2'").arg(cellName(row, col), entry);
        } else if (what < 80) {
            const int top = 1 + pick(20);
            p.apply([&](Workbook &b) {
                WorkbookAccess access(b);
                access.beginBatch();
                for (int k = 0; k < 4; ++k)
                    b.setEntry(0, std::min(20, top + k), 1 + k % 3, entries[(top + k) % entries.size()]);
                access.endBatch();
            });
            done = QStringLiteral("batch at row %1").arg(top);
        } else if (what < 85) {
            const int top = 1 + pick(20);
            p.apply([&](Workbook &b) { b.clearContents(0, CellRange{top, 1, top + 1, 3}); });
            done = QStringLiteral("clear from row %1").arg(top);
        } else if (what < 90) {
            const int row = 2 + pick(18);
            const int last = 21 + pick(2);
            p.apply([&](Workbook &b) { b.insertRows(0, row, 1); });
            p.apply([&](Workbook &b) { b.deleteRows(0, last, 1); });
            done = QStringLiteral("row inserted at %1").arg(row);
        } else if (what < 95) {
            const int row = 2 + pick(18);
            p.apply([&](Workbook &b) { b.deleteRows(0, row, 1); });
            p.apply([&](Workbook &b) { b.insertRows(0, 20, 1); });
            done = QStringLiteral("row deleted at %1").arg(row);
        } else {
            const int key = pick(2) ? 1 : -3;
            p.apply([&](Workbook &b) { b.sortRows(0, CellRange{1, 1, 20, 3}, {key, 0, 0}); });
            done = QStringLiteral("sort");
        }
        const QString diff = p.difference();
        QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("step %1, %2: %3").arg(step).arg(done, diff)));
    }
}

QTEST_GUILESS_MAIN(TestSheetLookups)
#include "tst_sheetlookups.moc"
