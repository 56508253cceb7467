// The workbook: French entry, display, recalculation of dependents, circular references,
// very long chains, row and column insertion, sort, sheets, formats and notifications.
#include "common/velmoraerror.h"
#include "spreadsheet/core/workbook.h"

#include <QtTest>

using namespace sheet;

namespace {
class Recorder : public WorkbookObserver
{
public:
    void cellsChanged(int sheet, const std::vector<CellAddress> &cells) override
    {
        for (const CellAddress &a : cells)
            changed << QStringLiteral("%1:%2").arg(sheet).arg(cellName(a.row, a.col));
    }
    void sheetChanged(int sheet) override { sheets << sheet; }
    void sheetsChanged() override { ++sheetLists; }
    void workbookReset() override { ++resets; }
    QStringList changed;
    QList<int> sheets;
    int sheetLists = 0;
    int resets = 0;
};

int r(const char *name)
{
    int row, col;
    parseCellName(QString::fromLatin1(name), row, col);
    return row;
}
int c(const char *name)
{
    int row, col;
    parseCellName(QString::fromLatin1(name), row, col);
    return col;
}
} // namespace

#define SET(book, s, name, text) (book).setEntry(s, r(name), c(name), QStringLiteral(text))
#define VAL(book, s, name) (book).value(s, r(name), c(name))
#define NUM(book, s, name) (book).value(s, r(name), c(name)).asNumber()
#define FORMULA(book, s, name) (book).formulaText(s, r(name), c(name))

class TestWorkbookEngine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void newWorkbook();
    void errorsInFrench();
    void entries_data();
    void entries();
    void standardDisplay_data();
    void standardDisplay();
    void dateFormatStaysForNewEntries();
    void datesBefore1900();
    void resultsShowAsTheirOperands_data();
    void resultsShowAsTheirOperands();
    void rejectedFormulaChangesNothing();
    void dependentsFollow();
    void circularReference();
    void longChainDoesNotExhaustTheStack();
    void longRangeSumsFollowEveryChange();
    void insertRowsAdjustsEveryReference();
    void deleteRowsGivesRefErrors();
    void columnsInsertAndDelete();
    void insertionNeverPushesDataOffTheSheet();
    void sortByThreeKeys();
    void sortMovesFormulasWithTheirRows();
    void sheetsRenameRemoveCount();
    void formatsApplyToRange();
    void sizesAndFrozenPanes();
    void charts();
    void extentAndModified();
    void notificationsTellWhatToRepaint();
};

void TestWorkbookEngine::newWorkbook()
{
    Workbook book;
    QCOMPARE(book.sheetCount(), 3);
    QCOMPARE(book.sheetName(0), QStringLiteral("Feuil1"));
    QCOMPARE(book.sheetName(2), QStringLiteral("Feuil3"));
    QCOMPARE(book.defaultFormat().fontName, QStringLiteral("Arial"));
    QCOMPARE(book.defaultFormat().fontSize, 200);
    QVERIFY(!book.isModified());
    QCOMPARE(book.maxRow(0), 0);
    QVERIFY(book.showGridLines());
}

void TestWorkbookEngine::entries_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("edited");
    const int N = int(Value::Type::Number), T = int(Value::Type::Text), B = int(Value::Type::Boolean),
              E = int(Value::Type::Error);
    QTest::newRow("decimal comma") << "1,5" << N << "1,5"
                                   << "1,5";
    QTest::newRow("negative") << "-2" << N << "-2"
                              << "-2";
    QTest::newRow("grouped") << "1 234,5" << N << "1 234,5"
                             << "1234,5";
    QTest::newRow("percent") << "15%" << N << "15%"
                             << "15%";
    QTest::newRow("date") << "12/03/1999" << N << "12/03/1999"
                          << "12/03/1999";
    QTest::newRow("short year") << "1/2/03" << N << "01/02/2003"
                                << "01/02/2003";
    QTest::newRow("time") << "10:30" << N << "10:30"
                          << "10:30:00";
    QTest::newRow("euros") << "12,5 €" << N << "12,50 €"
                           << "12,5";
    QTest::newRow("text") << "Loyer" << T << "Loyer"
                          << "Loyer";
    QTest::newRow("dot is not a decimal") << "1.5" << T << "1.5"
                                          << "1.5";
    QTest::newRow("impossible date") << "31/02/2024" << T << "31/02/2024"
                                     << "31/02/2024";
    QTest::newRow("apostrophe keeps text") << "'123" << T << "123"
                                           << "'123";
    QTest::newRow("boolean") << "vrai" << B << "VRAI"
                             << "VRAI";
    QTest::newRow("error value") << "#N/A" << E << "#N/A"
                                 << "#N/A";
    QTest::newRow("formula") << "=1+1" << N << "2"
                             << "=1+1";
    QTest::newRow("lone equals") << "=" << T << "="
                                 << "'=";
}

void TestWorkbookEngine::entries()
{
    QFETCH(QString, typed);
    QFETCH(int, type);
    QFETCH(QString, shown);
    QFETCH(QString, edited);
    Workbook book;
    book.setEntry(0, 2, 2, typed);
    QCOMPARE(int(book.value(0, 2, 2).type()), type);
    QCOMPARE(book.displayText(0, 2, 2), shown);
    QCOMPARE(book.entryText(0, 2, 2), edited);
    // What the editor shows reads back as the same value.
    const Value before = book.value(0, 2, 2);
    book.setEntry(0, 2, 2, book.entryText(0, 2, 2));
    QCOMPARE(book.value(0, 2, 2), before);
}

void TestWorkbookEngine::standardDisplay_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("integer") << 1234567.0 << "1234567";
    QTest::newRow("third") << 1.0 / 3 << "0,3333333333";
    QTest::newRow("binary noise") << 0.1 + 0.2 << "0,3";
    QTest::newRow("large") << 1e20 << "1E+20";
    QTest::newRow("small") << 1.5e-7 << "1,5E-07";
    QTest::newRow("negative") << -2.25 << "-2,25";
}

void TestWorkbookEngine::standardDisplay()
{
    QFETCH(double, value);
    QFETCH(QString, shown);
    Workbook book;
    book.setValue(0, 1, 1, Value::number(value));
    QCOMPARE(book.displayText(0, 1, 1), shown);
}

void TestWorkbookEngine::dateFormatStaysForNewEntries()
{
    Workbook book;
    SET(book, 0, "A1", "12/03/1999");
    SET(book, 0, "A1", "36232");
    QCOMPARE(book.displayText(0, 1, 1), QStringLiteral("13/03/1999"));
    SET(book, 0, "A2", "=A1+1");
    QCOMPARE(NUM(book, 0, "A2"), 36233.0);
    // Date functions show dates.
    SET(book, 0, "A3", "=DATE(2026;12;7)");
    QCOMPARE(book.displayText(0, 3, 1), QStringLiteral("07/12/2026"));
    SET(book, 0, "A4", "=TIME(8;5;0)");
    QCOMPARE(book.displayText(0, 4, 1), QStringLiteral("08:05:00"));
    SET(book, 0, "A5", "=YEAR(A1)");
    QCOMPARE(book.displayText(0, 5, 1), QStringLiteral("1999"));
}

void TestWorkbookEngine::datesBefore1900()
{
    Workbook wb;
    wb.setEntry(0, 1, 1, u"14/07/1789"_qs);
    QCOMPARE(wb.value(0, 1, 1).asNumber(), -40345.0);
    QCOMPARE(wb.displayText(0, 1, 1), u"14/07/1789"_qs);
    QCOMPARE(wb.entryText(0, 1, 1), u"14/07/1789"_qs);
    wb.setEntry(0, 1, 2, u"=YEAR(A1)&\"-\"&MONTH(A1)&\"-\"&DAY(A1)&\"-\"&WEEKDAY(A1;2)"_qs);
    QCOMPARE(wb.displayText(0, 1, 2), u"1789-7-14-2"_qs);
    wb.setEntry(0, 1, 3, u"=TEXT(A1;\"jj mmmm aaaa\")"_qs);
    QCOMPARE(wb.displayText(0, 1, 3), u"14 juillet 1789"_qs);
    wb.setEntry(0, 1, 4, u"=DATE(1789;7;14)=A1"_qs);
    QCOMPARE(wb.displayText(0, 1, 4), u"VRAI"_qs);
    wb.setEntry(0, 1, 5, u"=A1+1"_qs);
    QCOMPARE(wb.displayText(0, 1, 5), u"15/07/1789"_qs);
}

void TestWorkbookEngine::resultsShowAsTheirOperands_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("shown");
    // A9 is a date, B9 a rate, C9 a plain number, D9 a time.
    QTest::newRow("date plus days") << "=A9+1"
                                    << "15/07/2024";
    QTest::newRow("date minus days") << "=A9-7"
                                     << "07/07/2024";
    QTest::newRow("days plus date") << "=(C9+A9)"
                                    << "16/07/2024";
    QTest::newRow("date minus date") << "=A9-A9"
                                     << "0";
    QTest::newRow("product with a rate") << "=C9*B9"
                                         << "40%";
    QTest::newRow("rate times number") << "=B9*C9*2"
                                       << "80%";
    QTest::newRow("rate plus number") << "=B9+C9"
                                      << "2,2";
    QTest::newRow("hours plus hours") << "=D9+D9"
                                      << "21:00";
    QTest::newRow("date function") << "=DATE(2024;1;2)"
                                   << "02/01/2024";
    QTest::newRow("plain") << "=C9*3"
                           << "6";
}

void TestWorkbookEngine::resultsShowAsTheirOperands()
{
    QFETCH(QString, formula);
    QFETCH(QString, shown);
    Workbook wb;
    wb.setEntry(0, 9, 1, u"14/07/2024"_qs);
    wb.setEntry(0, 9, 2, u"20%"_qs);
    wb.setEntry(0, 9, 3, u"2"_qs);
    wb.setEntry(0, 9, 4, u"10:30"_qs);
    wb.setEntry(0, 10, 1, formula);
    QCOMPARE(wb.displayText(0, 10, 1), shown);
}

void TestWorkbookEngine::rejectedFormulaChangesNothing()
{
    Workbook book;
    SET(book, 0, "A1", "=2*3");
    book.setModified(false);
    QVERIFY_THROWS_EXCEPTION(VelmoraError, SET(book, 0, "A1", "=SUM(1;"));
    QCOMPARE(NUM(book, 0, "A1"), 6.0);
    QCOMPARE(FORMULA(book, 0, "A1"), QStringLiteral("=2*3"));
    QVERIFY(!book.isModified());
    // A formula set by the program needs no "=".
    book.setFormula(0, 2, 1, QStringLiteral("SUM(A1)"));
    QCOMPARE(NUM(book, 0, "A2"), 6.0);
}

void TestWorkbookEngine::dependentsFollow()
{
    Workbook book;
    Recorder rec;
    book.addObserver(&rec);
    SET(book, 0, "A1", "1");
    SET(book, 0, "A2", "=A1*2");
    SET(book, 0, "A3", "=A2+1");
    SET(book, 0, "B1", "=SUM(A1:A3)");
    SET(book, 0, "C1", "=Feuil1!A3*10");
    SET(book, 1, "A1", "=Feuil1!A1+100");
    SET(book, 0, "D1", "7");
    rec.changed.clear();
    SET(book, 0, "A1", "5");
    QCOMPARE(NUM(book, 0, "A3"), 11.0);
    QCOMPARE(NUM(book, 0, "B1"), 26.0);
    QCOMPARE(NUM(book, 0, "C1"), 110.0);
    QCOMPARE(NUM(book, 1, "A1"), 105.0);
    QStringList got = rec.changed;
    got.sort();
    QCOMPARE(got, QStringList({"0:A1", "0:A2", "0:A3", "0:B1", "0:C1", "1:A1"}));
    // Clearing an input counts as zero for its readers.
    SET(book, 0, "A1", "");
    QCOMPARE(NUM(book, 0, "A3"), 1.0);
    QVERIFY(VAL(book, 0, "A1").isEmpty());
    book.removeObserver(&rec);
    // INDIRECT reads a formula cell it does not name in its references; its readers follow.
    SET(book, 2, "A1", "1");
    SET(book, 2, "B1", "=A1*10");
    SET(book, 2, "C1", "=INDIRECT(\"B1\")+1");
    SET(book, 2, "D1", "=C1*2");
    SET(book, 2, "A1", "2");
    QCOMPARE(NUM(book, 2, "C1"), 21.0);
    QCOMPARE(NUM(book, 2, "D1"), 42.0);
}

void TestWorkbookEngine::circularReference()
{
    Workbook book;
    SET(book, 0, "A1", "=B1+1");
    SET(book, 0, "B1", "=A1+1");
    SET(book, 0, "C1", "=A1*2");
    SET(book, 0, "D1", "=D1+1");
    const Value circ = Value::error(ErrorCode::Circular);
    QCOMPARE(VAL(book, 0, "A1"), circ);
    QCOMPARE(VAL(book, 0, "B1"), circ);
    QCOMPARE(VAL(book, 0, "C1"), circ); // reads the cycle
    QCOMPARE(VAL(book, 0, "D1"), circ);
    QCOMPARE(book.displayText(0, 1, 1), QStringLiteral("#CIRC!"));
    book.recalculate();
    QCOMPARE(VAL(book, 0, "B1"), circ);
    // Breaking the cycle brings the values back.
    SET(book, 0, "B1", "5");
    QCOMPARE(NUM(book, 0, "A1"), 6.0);
    QCOMPARE(NUM(book, 0, "C1"), 12.0);
    // A range reading its own cell is a cycle too.
    SET(book, 0, "E5", "=SUM(E1:E10)");
    QCOMPARE(VAL(book, 0, "E5"), circ);
}

void TestWorkbookEngine::longChainDoesNotExhaustTheStack()
{
    Workbook book;
    const int n = 250000;
    book.setEntry(0, 1, 1, QStringLiteral("1"));
    for (int row = 2; row <= n; ++row)
        book.setFormula(0, row, 1, QStringLiteral("A%1+1").arg(row - 1));
    QCOMPARE(book.value(0, n, 1).asNumber(), double(n));
    book.recalculate();
    QCOMPARE(book.value(0, n, 1).asNumber(), double(n));
    book.setEntry(0, 1, 1, QStringLiteral("2"));
    QCOMPARE(book.value(0, n, 1).asNumber(), double(n + 1));
    // Closing the chain into a loop marks it, without recursion either.
    book.setFormula(0, 1, 1, QStringLiteral("A%1+1").arg(n));
    QCOMPARE(book.value(0, n / 2, 1), Value::error(ErrorCode::Circular));
}

void TestWorkbookEngine::longRangeSumsFollowEveryChange()
{
    // Sums over whole blocks of rows reuse per-block totals: every way a value changes must
    // reach them.
    Workbook book;
    double expected = 0;
    for (int row = 1; row <= 1000; ++row) {
        book.setValue(0, row, 1, Value::number(row));
        expected += row;
    }
    book.setFormula(0, 1001, 2, QStringLiteral("SUM(A1:A1000)"));
    book.setFormula(0, 1002, 2, QStringLiteral("MAX(A1:A1000)+COUNT(A1:A1000)"));
    QCOMPARE(book.value(0, 1001, 2).asNumber(), expected);
    book.setValue(0, 300, 1, Value::number(0));
    expected -= 300;
    QCOMPARE(book.value(0, 1001, 2).asNumber(), expected);
    book.setEntry(0, 301, 1, QStringLiteral("=1/0"));
    QCOMPARE(book.value(0, 1001, 2), Value::error(ErrorCode::DivZero));
    book.clearContents(0, CellRange{301, 1, 301, 1});
    expected -= 301;
    QCOMPARE(book.value(0, 1001, 2).asNumber(), expected);
    book.setFormula(0, 302, 1, QStringLiteral("A303*2"));
    book.setValue(0, 303, 1, Value::number(606));
    expected += (606 - 302) + (606 - 303) + (1212 - 606);
    QCOMPARE(book.value(0, 1001, 2).asNumber(), expected);
    book.setValue(0, 302, 1, Value::number(1212));
    book.sortRows(0, CellRange{1, 1, 1000, 1}, {-1, 0, 0});
    QCOMPARE(book.value(0, 1, 1).asNumber(), 1212.0);
    QCOMPARE(book.value(0, 1002, 2).asNumber(), 1212.0 + 999);
    QCOMPARE(book.value(0, 1001, 2).asNumber(), expected);
    book.deleteRows(0, 1, 1);
    expected -= 1212;
    QCOMPARE(book.value(0, 1000, 2).asNumber(), expected);
}

void TestWorkbookEngine::insertRowsAdjustsEveryReference()
{
    Workbook book;
    SET(book, 0, "A1", "1");
    SET(book, 0, "A2", "2");
    SET(book, 0, "A3", "=SUM(A1:A2)");
    SET(book, 0, "B1", "=A2*10");
    SET(book, 0, "B2", "=$A$2+A$1");
    SET(book, 1, "A1", "=Feuil1!A2");
    book.setRowHeight(0, 2, 2, 400);
    book.insertRows(0, 2, 1);
    QCOMPARE(FORMULA(book, 0, "A4"), QStringLiteral("=SOMME(A1:A3)"));
    QCOMPARE(FORMULA(book, 0, "B1"), QStringLiteral("=A3*10"));
    QCOMPARE(FORMULA(book, 0, "B3"), QStringLiteral("=$A$3+A$1"));
    QCOMPARE(FORMULA(book, 1, "A1"), QStringLiteral("=Feuil1!A3"));
    QCOMPARE(NUM(book, 0, "A4"), 3.0);
    QCOMPARE(NUM(book, 0, "B1"), 20.0);
    QVERIFY(VAL(book, 0, "A2").isEmpty());
    QCOMPARE(book.rowHeight(0, 3), 400);
    QCOMPARE(book.rowHeight(0, 2), Workbook::kDefaultRowHeight);
    // The inserted row is inside the sum's range: a value typed there counts.
    SET(book, 0, "A2", "10");
    QCOMPARE(NUM(book, 0, "A4"), 13.0);
}

void TestWorkbookEngine::deleteRowsGivesRefErrors()
{
    Workbook book;
    SET(book, 0, "A1", "1");
    SET(book, 0, "A2", "2");
    SET(book, 0, "A3", "3");
    SET(book, 0, "A4", "=SUM(A1:A3)");
    SET(book, 0, "B1", "=A2*10");
    SET(book, 0, "B5", "=A4");
    SET(book, 1, "A1", "=Feuil1!A2");
    book.deleteRows(0, 2, 1);
    QCOMPARE(FORMULA(book, 0, "A3"), QStringLiteral("=SOMME(A1:A2)"));
    QCOMPARE(NUM(book, 0, "A3"), 4.0);
    QCOMPARE(FORMULA(book, 0, "B1"), QStringLiteral("=#REF!*10"));
    QCOMPARE(VAL(book, 0, "B1"), Value::error(ErrorCode::Ref));
    QCOMPARE(FORMULA(book, 0, "B4"), QStringLiteral("=A3"));
    QCOMPARE(VAL(book, 1, "A1"), Value::error(ErrorCode::Ref));
    // Deleting the whole range of a sum leaves #REF!.
    book.deleteRows(0, 1, 2);
    QCOMPARE(VAL(book, 0, "A1"), Value::error(ErrorCode::Ref));
}

void TestWorkbookEngine::columnsInsertAndDelete()
{
    Workbook book;
    SET(book, 0, "A1", "1");
    SET(book, 0, "B1", "2");
    SET(book, 0, "C1", "=A1+B1");
    book.setColumnWidth(0, 2, 2, 2000);
    book.insertColumns(0, 2, 2);
    QCOMPARE(FORMULA(book, 0, "E1"), QStringLiteral("=A1+D1"));
    QCOMPARE(book.columnWidth(0, 4), 2000);
    book.deleteColumns(0, 1, 1);
    QCOMPARE(FORMULA(book, 0, "D1"), QStringLiteral("=#REF!+C1"));
    QCOMPARE(VAL(book, 0, "D1"), Value::error(ErrorCode::Ref));
}

void TestWorkbookEngine::insertionNeverPushesDataOffTheSheet()
{
    Workbook book;
    book.setEntry(0, kMaxRows, 1, QStringLiteral("dernière"));
    SET(book, 0, "A1", "1");
    QVERIFY_THROWS_EXCEPTION(VelmoraError, book.insertRows(0, 1, 1));
    QCOMPARE(book.value(0, kMaxRows, 1).asText(), QStringLiteral("dernière"));
    QCOMPARE(NUM(book, 0, "A1"), 1.0);
    book.setEntry(0, 1, kMaxColumns, QStringLiteral("x"));
    QVERIFY_THROWS_EXCEPTION(VelmoraError, book.insertColumns(0, 2, 1));
}

void TestWorkbookEngine::sortByThreeKeys()
{
    Workbook book;
    // B2:D9: name, group, amount.
    const char *rows[][3] = {{"Émile", "2", "10"}, {"zoé", "1", "5"},   {"Adam", "2", "7"}, {"", "1", "9"},
                             {"bob", "1", "5"},    {"Élise", "3", "1"}, {"adam", "2", "8"}, {"Carl", "", "3"}};
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 3; ++j)
            book.setEntry(0, 2 + i, 2 + j, QString::fromUtf8(rows[i][j]));
    // Group ascending, then amount descending, then name ascending.
    book.sortRows(0, CellRange{2, 2, 9, 4}, {2, -3, 1});
    QStringList names;
    for (int row = 2; row <= 9; ++row)
        names << book.displayText(0, row, 2);
    QCOMPARE(names, QStringList({"", "bob", "zoé", "Émile", "adam", "Adam", "Élise", "Carl"}));
    // Names alone: French order, accents beside their letter, empty last.
    book.sortRows(0, CellRange{2, 2, 9, 4}, {1, 0, 0});
    names.clear();
    for (int row = 2; row <= 9; ++row)
        names << book.displayText(0, row, 2);
    QCOMPARE(names, QStringList({"adam", "Adam", "bob", "Carl", "Élise", "Émile", "zoé", ""}));
}

void TestWorkbookEngine::sortMovesFormulasWithTheirRows()
{
    Workbook book;
    SET(book, 0, "A1", "3");
    SET(book, 0, "A2", "1");
    SET(book, 0, "A3", "2");
    SET(book, 0, "B1", "=A1*10");
    SET(book, 0, "B2", "=A2*10");
    SET(book, 0, "B3", "=A3*10");
    book.sortRows(0, CellRange{1, 1, 3, 2}, {-1, 0, 0});
    QCOMPARE(NUM(book, 0, "A1"), 3.0);
    QCOMPARE(NUM(book, 0, "B2"), 20.0);
    QCOMPARE(FORMULA(book, 0, "B3"), QStringLiteral("=A3*10"));
    book.sortRows(0, CellRange{1, 1, 3, 2}, {1, 0, 0});
    QCOMPARE(NUM(book, 0, "B1"), 10.0);
    QCOMPARE(NUM(book, 0, "B3"), 30.0);
}

void TestWorkbookEngine::sheetsRenameRemoveCount()
{
    Workbook book;
    Recorder rec;
    book.addObserver(&rec);
    SET(book, 1, "A1", "5");
    SET(book, 0, "A1", "=Feuil2!A1*2");
    SET(book, 0, "A2", "=INDIRECT(\"Bilan!A1\")");
    SET(book, 0, "A3", "=INDIRECT(\"Feuil2!A1\")+1");
    QCOMPARE(book.displayText(0, 2, 1), QStringLiteral("#REF!"));
    QCOMPARE(NUM(book, 0, "A3"), 6.0);
    book.renameSheet(1, QStringLiteral("Bilan"));
    // A text naming the new name now reads the sheet; one naming the old one no longer does.
    QCOMPARE(NUM(book, 0, "A2"), 5.0);
    QCOMPARE(book.displayText(0, 3, 1), QStringLiteral("#REF!"));
    book.renameSheet(1, QStringLiteral("Bilan 2026"));
    QCOMPARE(FORMULA(book, 0, "A1"), QStringLiteral("='Bilan 2026'!A1*2"));
    QCOMPARE(NUM(book, 0, "A1"), 10.0);
    QCOMPARE(book.displayText(0, 2, 1), QStringLiteral("#REF!"));
    QVERIFY_THROWS_EXCEPTION(VelmoraError, book.renameSheet(2, QStringLiteral("bilan 2026")));
    QVERIFY_THROWS_EXCEPTION(VelmoraError, book.renameSheet(2, QStringLiteral("a/b")));
    QVERIFY_THROWS_EXCEPTION(VelmoraError, book.renameSheet(2, QString()));
    QCOMPARE(book.sheetIndex(QStringLiteral("BILAN 2026")), 1);
    book.insertSheet(3, QStringLiteral("Bilan"));
    QCOMPARE(book.sheetCount(), 4);
    QCOMPARE(book.sheetName(3), QStringLiteral("Bilan"));
    book.removeSheet(1);
    QCOMPARE(VAL(book, 0, "A1"), Value::error(ErrorCode::Ref));
    QCOMPARE(book.sheetName(1), QStringLiteral("Feuil3"));
    book.setSheetCount(5);
    QCOMPARE(book.sheetCount(), 5);
    QCOMPARE(book.sheetName(4), QStringLiteral("Feuil5"));
    book.setSheetCount(0);
    QCOMPARE(book.sheetCount(), 1);
    QVERIFY_THROWS_EXCEPTION(VelmoraError, book.removeSheet(0));
    QVERIFY(rec.sheetLists >= 4);
    book.removeObserver(&rec);
}

void TestWorkbookEngine::formatsApplyToRange()
{
    Workbook book;
    SET(book, 0, "A1", "1");
    SET(book, 0, "C3", "3");
    Recorder rec;
    book.addObserver(&rec);
    book.modifyFormat(0, CellRange{1, 1, 2, 2}, [](CellFormat &f) {
        f.bold = true;
        f.horizontal = AlignCenter;
    });
    QVERIFY(book.format(0, 2, 2).bold);
    QCOMPARE(book.format(0, 1, 1).horizontal, AlignCenter);
    QVERIFY(!book.format(0, 3, 3).bold);
    QCOMPARE(rec.changed.size(), 4);
    // A whole column stops at the used area instead of creating a million cells.
    book.modifyFormat(0, CellRange{1, 3, kMaxRows, 3}, [](CellFormat &f) { f.italic = true; });
    QVERIFY(book.format(0, 3, 3).italic);
    QCOMPARE(book.maxRow(0), 3);
    QCOMPARE(book.effectiveAlignment(0, 3, 3), AlignRight);
    book.clearFormats(0, CellRange{1, 1, 3, 3});
    QVERIFY(!book.format(0, 1, 1).bold);
    // An ordinary selection is formatted whole, even where nothing is typed yet.
    book.modifyFormat(1, CellRange{2, 2, 5, 4}, [](CellFormat &f) { f.underline = true; });
    QVERIFY(book.format(1, 5, 4).underline);
    QVERIFY(!book.format(1, 6, 4).underline);
    QCOMPARE(book.maxRow(1), 0);
    book.removeObserver(&rec);
}

void TestWorkbookEngine::sizesAndFrozenPanes()
{
    Workbook book;
    book.setColumnWidth(0, 2, 4, 240 * 7);
    QCOMPARE(book.columnWidth(0, 3), 240 * 7);
    QVERIFY(book.hasCustomColumnWidth(0, 4));
    QVERIFY(!book.hasCustomColumnWidth(0, 5));
    book.setFrozenRows(0, 4);
    book.setFrozenColumns(0, 1);
    QCOMPARE(book.frozenRows(0), 4);
    QCOMPARE(book.frozenRows(1), 0);
    book.setFrozenRows(0, 0);
    QCOMPARE(book.frozenRows(0), 0);
}

void TestWorkbookEngine::charts()
{
    Workbook book;
    const int id = book.addChart(0, 5, CellRange{2, 2, 9, 4});
    QCOMPARE(book.charts(0).size(), size_t(1));
    QCOMPARE(book.charts(0)[0].range, (CellRange{2, 2, 9, 4}));
    QVERIFY_THROWS_EXCEPTION(VelmoraError, book.addChart(0, 3, CellRange{1, 1, 2, 2}));
    book.insertRows(0, 1, 2);
    QCOMPARE(book.charts(0)[0].range.top, 4);
    book.removeChart(id);
    QVERIFY(book.charts(0).empty());
}

void TestWorkbookEngine::extentAndModified()
{
    Workbook book;
    SET(book, 0, "C7", "x");
    SET(book, 0, "E2", "=1");
    QCOMPARE(book.maxRow(0), 7);
    QCOMPARE(book.maxCol(0), 5);
    QVERIFY(book.isModified());
    book.setModified(false);
    SET(book, 0, "C7", "");
    QCOMPARE(book.maxRow(0), 2);
    QVERIFY(book.isModified());
    int visited = 0;
    book.forEachCell(0, CellRange{1, 1, 10, 10}, [&](int, int) { ++visited; });
    QCOMPARE(visited, 1);
}

void TestWorkbookEngine::notificationsTellWhatToRepaint()
{
    Workbook book;
    Recorder rec;
    book.addObserver(&rec);
    SET(book, 0, "A1", "1");
    SET(book, 0, "B1", "=A1+1");
    SET(book, 0, "C1", "=B1*0");
    rec.changed.clear();
    // C1 keeps its value: only the cells that changed are reported.
    SET(book, 0, "A1", "5");
    QCOMPARE(rec.changed, QStringList({"0:A1", "0:B1"}));
    rec.sheets.clear();
    book.insertRows(0, 1, 1);
    QCOMPARE(rec.sheets.count(0), 1);
    QVERIFY(rec.sheets.contains(1)); // other sheets' formulas may read differently
    rec.sheets.clear();
    book.setColumnWidth(1, 1, 1, 2000);
    QCOMPARE(rec.sheets, QList<int>({1}));
    book.setShowFormulas(true);
    QCOMPARE(rec.resets, 1);
    QCOMPARE(book.displayText(0, 2, 2), QStringLiteral("=A2+1"));
    QCOMPARE(book.effectiveAlignment(0, 2, 2), AlignLeft);
    // Replacing the content keeps the observers and tells them.
    Workbook other;
    other.setEntry(0, 1, 1, QStringLiteral("autre"));
    book.takeContentFrom(other);
    QCOMPARE(rec.resets, 2);
    QCOMPARE(book.value(0, 1, 1).asText(), QStringLiteral("autre"));
    QVERIFY(other.value(0, 1, 1).isEmpty());
    rec.changed.clear();
    SET(book, 0, "B2", "x");
    QCOMPARE(rec.changed, QStringList({"0:B2"}));
    // Removing the observer stops the calls.
    book.removeObserver(&rec);
    SET(book, 0, "B3", "y");
    QCOMPARE(rec.changed.size(), 1);
}

// Errors show as French users know them, are typed in either form, and a refused formula
// names the function as it was typed in French.
void TestWorkbookEngine::errorsInFrench()
{
    Workbook book;
    const std::pair<const char *, const char *> shown[] = {{"=\"abc\"+1", "#VALEUR!"},  {"=TRUC(1)", "#NOM?"},
                                                           {"=RACINE(-1)", "#NOMBRE!"}, {"=1/0", "#DIV/0!"},
                                                           {"#valeur!", "#VALEUR!"},    {"#VALUE!", "#VALEUR!"}};
    int row = 1;
    for (const auto &[entry, text] : shown) {
        book.setEntry(0, row, 1, QString::fromUtf8(entry));
        QCOMPARE(book.displayText(0, row, 1), QString::fromUtf8(text));
        ++row;
    }
    QVERIFY(book.value(0, 5, 1).isError());
    QCOMPARE(book.entryText(0, 5, 1), u"#VALEUR!"_qs);
    try {
        book.setEntry(0, 9, 1, u"=MOYENNE()"_qs);
        QFAIL("an empty MOYENNE was taken");
    } catch (const VelmoraError &e) {
        QVERIFY2(e.message().contains(u"MOYENNE"_qs), qPrintable(e.message()));
    }
}

QTEST_GUILESS_MAIN(TestWorkbookEngine)
#include "tst_workbookengine.moc"
