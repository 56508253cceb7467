// Inserting, deleting and sorting lines recomputes only the formulas the change can affect.
// Each change (and its undo and redo) must leave every cell as a fresh copy of the workbook,
// computed from scratch, holds it; and later edits must still reach every reader.
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookaccess.h"
#include "spreadsheet/core/workbookundo.h"

#include <QtTest>

#include <random>

using namespace sheet;

namespace {

constexpr int kRows = 14;
constexpr int kCols = 9;

// A workbook of two sheets of random constants and formulas: sums, counts and exact lookups
// over ranges, chains of references (cycles included), ROW/COLUMN/ROWS/COLUMNS, and on the
// first sheet's last column INDIRECT and OFFSET into the second sheet. No formula reads that
// column, so that what text-named references give never depends on the order of computing.
void fillRandom(Workbook &book, std::mt19937 &rng)
{
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    auto cell = [&](int maxCol) { return cellName(1 + pick(kRows), 1 + pick(maxCol)); };
    auto range = [&]() {
        const int top = 1 + pick(kRows), left = 1 + pick(kCols - 1);
        return rangeName(CellRange{top, left, top + pick(6), std::min(kCols - 1, left + pick(3))});
    };
    for (int s = 0; s < 2; ++s)
        for (int r = 1; r <= kRows; ++r)
            for (int c = 1; c <= kCols; ++c) {
                QString text;
                const bool dynamicColumn = s == 0 && c == kCols;
                const int kind = pick(dynamicColumn ? 4 : 16);
                if (dynamicColumn) {
                    const QString target = QStringLiteral("Feuil2!") + cell(kCols);
                    const QString texts[] = {QStringLiteral("=INDIRECT(\"%1\")").arg(target),
                                             QStringLiteral("=OFFSET(%1;1;1)").arg(target),
                                             QStringLiteral("=SUM(OFFSET(Feuil2!A1;%1;0;3;2))").arg(pick(8)),
                                             QString()};
                    text = texts[kind];
                } else if (kind < 5) {
                    text = QString::number(pick(20));
                } else if (kind == 5) {
                    text = QStringLiteral("mot");
                } else if (kind < 8) {
                    text.clear();
                } else {
                    const QString other = s == 0 ? QStringLiteral("Feuil2!") : QStringLiteral("Feuil1!");
                    const QString texts[] = {
                            QStringLiteral("=%1+%2").arg(cell(kCols - 1), cell(kCols - 1)),
                            QStringLiteral("=SUM(%1)*ROW()").arg(range()),
                            QStringLiteral("=ROWS(%1)-COUNTA(%1)+COLUMN()").arg(range()),
                            QStringLiteral("=ROW(%1)+COLUMNS(%2)").arg(cell(kCols - 1), range()),
                            QStringLiteral("=VLOOKUP(%1;$A$1:$C$%2;2;0)").arg(cell(kCols - 1)).arg(5 + pick(10)),
                            QStringLiteral("=%1%2*2").arg(other, cell(kCols - 1)),
                            QStringLiteral("=SUM(%1%2)").arg(other, range()),
                            QStringLiteral("=IF(ISERROR(%1);-1;%1)").arg(cell(kCols - 1)),
                            QStringLiteral("=HLOOKUP(%1;$A$2:$F$4;3;0)").arg(cell(kCols - 1)),
                            QStringLiteral("=MATCH(%1;$B$1:$B$12;0)").arg(cell(kCols - 1)),
                            QStringLiteral("=MATCH(%1;A3:H3;0)").arg(cell(kCols - 1)),
                            QStringLiteral("=%1%2+0").arg(other, range()), // the cell on its own row
                    };
                    text = texts[pick(12)];
                }
                if (!text.isEmpty())
                    book.setEntry(s, r, c, text);
            }
}

// The first cell where `book` and a copy computed from scratch differ, as text; empty if none.
QString firstDifference(const Workbook &book)
{
    Workbook fresh;
    WorkbookAccess access(fresh);
    access.beginBatch();
    for (int s = 0; s < 2; ++s)
        book.forEachCell(s, CellRange{1, 1, kMaxRows, kMaxColumns},
                         [&](int r, int c) { fresh.setEntry(s, r, c, book.entryText(s, r, c)); });
    access.endBatch();
    fresh.recalculate();
    for (int s = 0; s < 2; ++s)
        for (int r = 1; r <= book.maxRow(s) + 1; ++r)
            for (int c = 1; c <= book.maxCol(s) + 1; ++c)
                if (book.value(s, r, c) != fresh.value(s, r, c))
                    return QStringLiteral("%1!%2 %3: %4 instead of %5")
                            .arg(book.sheetName(s), cellName(r, c), book.entryText(s, r, c), book.displayText(s, r, c),
                                 fresh.displayText(s, r, c));
    return {};
}

} // namespace

class TestWorkbookLines : public QObject
{
    Q_OBJECT

private slots:
    void changeGivesWhatFullRecalculationGives_data();
    void changeGivesWhatFullRecalculationGives();
    void randomChangesMatchFreshCopy();
    void filledFormulasFollowChanges_data();
    void filledFormulasFollowChanges();
    void formatsPushedOffTheSheetAreDropped_data();
    void formatsPushedOffTheSheetAreDropped();
};

void TestWorkbookLines::changeGivesWhatFullRecalculationGives_data()
{
    // The formula is entered in D10 (read by D11) of a sheet holding 1..8 in A1:A8 and
    // 10..80 in B1:B8; `cell` is where it is after the change, `then` entries made after it
    // ("A7==D9": A7 then reads D9, which no longer reads A7).
    struct Case
    {
        const char *name, *formula, *change, *cell, *then, *expected;
    };
    static const Case cases[] = {
            {"range grows over an empty row", "=ROWS(A1:A8)-COUNTA(A1:A8)", "insert row 3", "D11", "", "1"},
            {"own row", "=ROW()", "insert row 1", "D11", "", "11"},
            {"own column", "=COLUMN()", "delete column 2", "C10", "", "3"},
            {"row of a reference", "=ROW(A5)", "delete row 2", "D9", "", "4"},
            {"text-named cell", "=INDIRECT(\"A3\")", "insert row 1", "D11", "", "2"},
            {"offset from a moved cell", "=OFFSET(A2;2;0)", "delete row 1", "D9", "", "4"},
            {"range cut", "=SUM(A1:A8)", "delete row 8", "D9", "", "28"},
            {"cell deleted", "=A8*2", "delete row 8", "D9", "", "#REF!"},
            {"match before lines inserted", "=MATCH(3;A1:A8;0)", "insert row 5", "D11", "", "3"},
            {"match after lines inserted", "=MATCH(6;A1:A8;0)", "insert row 5", "D11", "", "7"},
            {"lookup over lines inserted", "=VLOOKUP(6;A1:A8;1;0)", "insert row 5", "D11", "", "6"},
            {"lookup table widened", "=VLOOKUP(6;A1:B8;2;0)", "insert column 2", "E10", "", "0"},
            {"lookup table grown, then its result edited", "=VLOOKUP(6;A1:B8;2;0)", "insert row 3", "D11", "B7=100",
             "100"},
            {"lookup over lines deleted", "=VLOOKUP(6;A1:B8;2;0)", "delete row 3", "D9", "", "60"},
            {"lookup of a deleted key", "=VLOOKUP(3;A1:B8;2;0)", "delete row 3", "D9", "", "#N/A"},
            {"match after lines deleted", "=MATCH(6;A1:A8;0)", "delete row 3", "D9", "", "5"},
            {"match before lines deleted", "=MATCH(2;A1:A8;0)", "delete row 3", "D9", "", "2"},
            {"lookup table shrunk, then its result edited", "=VLOOKUP(6;A1:B8;2;0)", "delete row 3", "D9", "B5=100",
             "100"},
            {"lookup table cut at its top", "=VLOOKUP(6;A2:B8;2;0)", "delete row 2", "D9", "B5=100", "100"},
            {"lookup table cut", "=VLOOKUP(7;A1:A8;1;0)", "delete row 7", "D9", "", "#N/A"},
            {"moved reference keeps its value", "=A8*2", "insert row 2", "D11", "", "16"},
            {"sorted cells under a reference", "=A1", "sort", "D10", "", "8"},
            {"lookup table moved, then its result edited", "=VLOOKUP(5;A1:B8;2;0)", "insert row 1", "D11", "B6=100",
             "100"},
            {"range cut to one cell, then replaced", "=SUM(A7:A8)", "delete row 8", "D9", "D9=5,A7==D9", "5"},
            {"range to the last row", "=INDEX(A1:A1048576;6)", "insert row 3", "D11", "", "5"},
            {"range to the last column", "=MATCH(60;A6:IV6;0)", "insert column 2", "E10", "", "3"},
            {"cycle broken", "=SUM(A1:A8)+D11", "delete row 11", "D10", "", "#REF!"},
    };
    for (const char *column : {"formula", "change", "cell", "then", "expected"})
        QTest::addColumn<QString>(column);
    for (const Case &c : cases)
        QTest::newRow(c.name) << QString::fromUtf8(c.formula) << QString::fromUtf8(c.change)
                              << QString::fromUtf8(c.cell) << QString::fromUtf8(c.then)
                              << QString::fromUtf8(c.expected);
}

void TestWorkbookLines::changeGivesWhatFullRecalculationGives()
{
    QFETCH(QString, formula);
    QFETCH(QString, change);
    QFETCH(QString, cell);
    QFETCH(QString, then);
    QFETCH(QString, expected);
    Workbook book;
    for (int r = 1; r <= 8; ++r) {
        book.setValue(0, r, 1, Value::number(r));
        book.setValue(0, r, 2, Value::number(r * 10));
    }
    book.setEntry(0, 11, 4, QStringLiteral("=D10"));
    book.setEntry(0, 10, 4, formula);
    const QStringList words = change.split(u' ');
    const int at = words.value(2).toInt();
    if (change == u"sort")
        book.sortRows(0, CellRange{1, 1, 8, 1}, {-1, 0, 0});
    else if (words[0] == u"insert")
        words[1] == u"row" ? book.insertRows(0, at, 1) : book.insertColumns(0, at, 1);
    else
        words[1] == u"row" ? book.deleteRows(0, at, 1) : book.deleteColumns(0, at, 1);
    int row = 0, col = 0;
    QVERIFY(parseCellName(cell, row, col));
    QVERIFY(book.hasFormula(0, row, col));
    for (const QString &entry : then.split(u',', Qt::SkipEmptyParts)) {
        int r = 0, c = 0;
        QVERIFY(parseCellName(entry.section(u'=', 0, 0), r, c));
        book.setEntry(0, r, c, entry.section(u'=', 1, -1));
    }
    QCOMPARE(book.displayText(0, row, col), expected);
    QCOMPARE(firstDifference(book), QString());
}

void TestWorkbookLines::randomChangesMatchFreshCopy()
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        Workbook book;
        fillRandom(book, rng);
        WorkbookHistory history(book);
        for (int step = 0; step < 12; ++step) {
            const int sheet = pick(2);
            const bool rows = pick(2) == 0;
            const int at = 1 + pick(rows ? kRows : kCols - 1), count = 1 + pick(2);
            QString what;
            switch (pick(6)) {
            case 0:
                history.insertLines(sheet, rows, at, count);
                what = QStringLiteral("insert %1 %2 at %3").arg(count).arg(rows ? "rows" : "columns").arg(at);
                break;
            case 1:
                history.deleteLines(sheet, rows, at, count);
                what = QStringLiteral("delete %1 %2 at %3").arg(count).arg(rows ? "rows" : "columns").arg(at);
                break;
            case 2: {
                const int top = 1 + pick(kRows), left = 1 + pick(kCols);
                const CellRange r{top, left, top + 1 + pick(8), std::min(kCols, left + pick(4))};
                history.sortRows(sheet, r, {1 + pick(r.columnCount()), 0, 0});
                what = QStringLiteral("sort %1").arg(rangeName(r));
                break;
            }
            case 3:
                history.undo();
                what = QStringLiteral("undo");
                break;
            case 4:
                history.redo();
                what = QStringLiteral("redo");
                break;
            default: {
                // An edit after the changes: the dependency index must still be true.
                const int r = 1 + pick(kRows), c = 1 + pick(kCols - 1);
                history.changeCells(sheet, CellRange::single(r, c),
                                    [&] { book.setEntry(sheet, r, c, QString::number(pick(30))); });
                what = QStringLiteral("enter %1").arg(cellName(r, c));
                break;
            }
            }
            // The first difference, with what led to it; empty if none.
            auto failure = [&](const QString &done) {
                const QString difference = firstDifference(book);
                return difference.isEmpty() ? difference
                                            : QStringLiteral("seed %1, step %2 (%3 on sheet %4): %5")
                                                      .arg(seed)
                                                      .arg(step)
                                                      .arg(done)
                                                      .arg(sheet + 1)
                                                      .arg(difference);
            };
            QCOMPARE(failure(what), QString());
            // A probe: an entry made and taken back reaches every reader only if the
            // dependency index followed the change.
            const int r = 1 + pick(kRows), c = 1 + pick(kCols - 1);
            const QString before = book.entryText(sheet, r, c);
            book.setEntry(sheet, r, c, QString::number(100 + pick(30)));
            QCOMPARE(failure(what + QStringLiteral(", then %1 entered").arg(cellName(r, c))), QString());
            book.setEntry(sheet, r, c, before);
        }
    }
}

void TestWorkbookLines::filledFormulasFollowChanges_data()
{
    QTest::addColumn<QString>("changes");
    QTest::newRow("rows inserted and deleted") << QStringLiteral("insert row 3,delete row 6,delete row 1");
    QTest::newRow("columns inserted and deleted") << QStringLiteral("insert column 2,delete column 3,delete column 1");
    QTest::newRow("sort") << QStringLiteral("sort,insert row 12");
    QTest::newRow("one of them entered again") << QStringLiteral("insert row 4,enter,delete row 2");
}

// Formulas filled down a column and across a row, which keep one copy of their program:
// each change, its undo and its redo leave every cell, and every formula's text, as a fresh
// copy of the workbook has them.
void TestWorkbookLines::filledFormulasFollowChanges()
{
    QFETCH(QString, changes);
    Workbook book;
    for (int r = 1; r <= 12; ++r) {
        book.setValue(0, r, 1, Value::number((r * 7) % 12));
        book.setEntry(0, r, 2, QStringLiteral("=A%1*1,5+ROW()").arg(r));
        book.setEntry(0, r, 3, QStringLiteral("=SUM(A$1:A%1)-B%1").arg(r));
        book.setEntry(0, r, 4, QStringLiteral("=TEXT(C%1;\"0,00\")&\"-\"&Feuil2!A%1").arg(r));
        book.setEntry(1, r, 1, QStringLiteral("=Feuil1!A%1*2").arg(r));
    }
    for (int c = 1; c <= 6; ++c)
        book.setEntry(0, 14, c, QStringLiteral("=%1+%2").arg(cellName(1, c), cellName(2, c)));
    auto texts = [&] {
        QStringList all;
        for (int s = 0; s < 2; ++s)
            book.forEachCell(s, CellRange{1, 1, kMaxRows, kMaxColumns}, [&](int r, int c) {
                all << QStringLiteral("%1!%2%3").arg(s).arg(cellName(r, c), book.entryText(s, r, c));
            });
        return all;
    };
    WorkbookHistory history(book);
    std::vector<QStringList> states{texts()};
    for (const QString &change : changes.split(u',')) {
        const QStringList words = change.split(u' ');
        const int at = words.value(2).toInt();
        if (change == u"sort")
            history.sortRows(0, CellRange{1, 1, 12, 4}, {1, 0, 0});
        else if (change == u"enter")
            history.changeCells(0, CellRange::single(5, 2), [&] { book.setEntry(0, 5, 2, QStringLiteral("=A5*3")); });
        else
            words[0] == u"insert" ? history.insertLines(0, words[1] == u"row", at, 1)
                                  : history.deleteLines(0, words[1] == u"row", at, 1);
        QCOMPARE(firstDifference(book), QString());
        if (change == u"enter") {
            QCOMPARE(book.entryText(0, 5, 2), QStringLiteral("=A5*3"));
            QCOMPARE(book.entryText(0, 6, 2), QStringLiteral("=A6*1,5+LIGNE()"));
        }
        states.push_back(texts());
    }
    for (size_t i = states.size() - 1; i > 0; --i) {
        history.undo();
        QCOMPARE(texts(), states[i - 1]);
        QCOMPARE(firstDifference(book), QString());
    }
    for (size_t i = 1; i < states.size(); ++i) {
        history.redo();
        QCOMPARE(texts(), states[i]);
        QCOMPARE(firstDifference(book), QString());
    }
}

void TestWorkbookLines::formatsPushedOffTheSheetAreDropped_data()
{
    QTest::addColumn<bool>("rows");
    QTest::newRow("last column") << false;
    QTest::newRow("last row") << true;
}

// Cells holding only a format on the last line do not stop an insertion; they go, and the
// line before takes their place with its own format.
void TestWorkbookLines::formatsPushedOffTheSheetAreDropped()
{
    QFETCH(bool, rows);
    Workbook book;
    const int last = rows ? kMaxRows : kMaxColumns;
    auto at = [&](int line) { return rows ? CellRange::single(line, 1) : CellRange::single(1, line); };
    book.modifyFormat(0, at(last), [](CellFormat &f) { f.bold = true; });
    book.modifyFormat(0, at(last - 1), [](CellFormat &f) { f.italic = true; });
    book.setValue(0, 1, 1, Value::number(4));
    rows ? book.insertRows(0, 1, 1) : book.insertColumns(0, 1, 1);
    const CellFormat moved = rows ? book.format(0, last, 1) : book.format(0, 1, last);
    QVERIFY(moved.italic);
    QVERIFY(!moved.bold);
    QCOMPARE(rows ? book.value(0, 2, 1) : book.value(0, 1, 2), Value::number(4));
}

QTEST_GUILESS_MAIN(TestWorkbookLines)
#include "tst_workbooklines.moc"
