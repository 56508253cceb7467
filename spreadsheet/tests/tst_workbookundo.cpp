// Undo and redo of workbook changes: every kind of change, undone, gives back exactly the
// workbook as it was (contents, formulas elsewhere, formats, sizes, sheets, charts), and
// redone gives back the workbook as the change left it.
#include "common/velmoraerror.h"
#include "spreadsheet/core/rangeclipboard.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookundo.h"

#include <QtTest>

#include <functional>

using namespace sheet;

namespace {

// Everything the user can see of a workbook, as text, to compare two states.
QString dump(const Workbook &book)
{
    QString out;
    for (int s = 0; s < book.sheetCount(); ++s) {
        out += QStringLiteral("[%1] frozen %2,%3\n")
                       .arg(book.sheetName(s))
                       .arg(book.frozenRows(s))
                       .arg(book.frozenColumns(s));
        const int rows = book.maxRow(s) + 2, cols = book.maxCol(s) + 2;
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= cols; ++c) {
                const QString entry = book.entryText(s, r, c);
                const CellFormat f = book.format(s, r, c);
                if (entry.isEmpty() && f == book.defaultFormat())
                    continue;
                out += QStringLiteral("%1 %2 | %3 | %4 %5 %6 %7 %8\n")
                               .arg(cellName(r, c), entry, book.displayText(s, r, c), f.fontName)
                               .arg(f.bold)
                               .arg(alignmentCode(f.horizontal))
                               .arg(f.numberFormat)
                               .arg(f.colour);
            }
        for (int c = 1; c <= kMaxColumns; ++c)
            if (book.columnWidth(s, c) != Workbook::kDefaultColumnWidth)
                out += QStringLiteral("width %1 %2\n").arg(c).arg(book.columnWidth(s, c));
        for (int r = 1; r <= rows + 1000; ++r)
            if (book.rowHeight(s, r) != Workbook::kDefaultRowHeight)
                out += QStringLiteral("height %1 %2\n").arg(r).arg(book.rowHeight(s, r));
        for (const ChartObject &chart : book.charts(s))
            out += QStringLiteral("chart %1 at %2\n")
                           .arg(rangeName(chart.range), cellName(chart.anchor.row, chart.anchor.col));
    }
    return out;
}

void set(Workbook &book, int s, const char *name, const char *text)
{
    int row, col;
    QVERIFY(parseCellName(QString::fromLatin1(name), row, col));
    book.setEntry(s, row, col, QString::fromUtf8(text));
}

// Two sheets whose formulas read each other, with formats, sizes and a chart.
void fill(Workbook &book)
{
    for (int r = 1; r <= 10; ++r) {
        book.setEntry(0, r, 1, QString::number(r * 10));
        book.setEntry(0, r, 2, QStringLiteral("=A%1*2").arg(r));
    }
    set(book, 0, "C1", "=SUM(A1:A10)");
    set(book, 0, "C2", "=SUM(A3:A5)");
    set(book, 0, "C3", "=A4");
    set(book, 0, "C4", "=SUM(A4:A6)");
    set(book, 0, "C5", "=SUM(A2:A4)");
    set(book, 0, "D1", "Total");
    set(book, 0, "D2", "12/03/1999");
    set(book, 1, "A1", "=Feuil1!A4");
    set(book, 1, "A2", "=SUM(Feuil1!A2:A6)");
    set(book, 1, "B1", "=Feuil1!C4");
    set(book, 2, "A1", "=Feuil2!A1+1");
    book.modifyFormat(0, CellRange{1, 1, 4, 2}, [](CellFormat &f) {
        f.bold = true;
        f.numberFormat = QStringLiteral("0,00");
    });
    book.modifyFormat(0, CellRange{6, 3, 6, 3}, [](CellFormat &f) { f.horizontal = AlignCenter; });
    book.setColumnWidth(0, 2, 2, 2000);
    book.setRowHeight(0, 4, 4, 400);
    book.setFrozenRows(0, 1);
    book.addChart(0, 5, CellRange{3, 1, 6, 2});
}

using Action = std::function<void(Workbook &, WorkbookHistory &)>;

} // namespace

Q_DECLARE_METATYPE(Action)

class TestWorkbookUndo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void undoAndRedo_data();
    void undoAndRedo();
    void groupIsOneStep();
    void depthAndRedoDropped();
    void rejectedChangeRecordsNothing();
    void movedSheetKeepsFormulas();
};

void TestWorkbookUndo::undoAndRedo_data()
{
    QTest::addColumn<Action>("action");
    auto cells = [](int s, CellRange r, std::function<void(Workbook &)> f) {
        return Action([=](Workbook &b, WorkbookHistory &h) { h.changeCells(s, r, [&] { f(b); }); });
    };
    QTest::newRow("entry over a number") << cells(0, CellRange::single(4, 1),
                                                  [](Workbook &b) { set(b, 0, "A4", "7"); });
    QTest::newRow("formula over a formula")
            << cells(0, CellRange::single(1, 3), [](Workbook &b) { set(b, 0, "C1", "=MAX(A1:A3)"); });
    QTest::newRow("entry in an empty cell")
            << cells(0, CellRange::single(20, 5), [](Workbook &b) { set(b, 0, "E20", "15%"); });
    QTest::newRow("clear") << cells(0, CellRange{2, 1, 6, 3}, [](Workbook &b) { b.clearContents(0, {2, 1, 6, 3}); });
    QTest::newRow("cut") << cells(0, CellRange{1, 1, 3, 2}, [](Workbook &b) {
        b.clearContents(0, {1, 1, 3, 2});
        b.clearFormats(0, {1, 1, 3, 2});
    });
    QTest::newRow("paste of copied cells") << cells(0, CellRange{5, 2, 7, 3}, [](Workbook &b) {
        clipboard::pasteCells(b, 0, 5, 2, clipboard::rangeAsCells(b, 0, CellRange{1, 1, 3, 2}));
    });
    QTest::newRow("paste of text") << cells(
            0, clipboard::textExtent(8, 3, QStringLiteral("1\t2\n=A1\tx\n")),
            [](Workbook &b) { clipboard::pasteText(b, 0, 8, 3, QStringLiteral("1\t2\n=A1\tx\n")); });
    QTest::newRow("cut and paste on the sheet") << Action([](Workbook &b, WorkbookHistory &h) {
        const QByteArray data = clipboard::rangeAsCells(b, 0, CellRange{3, 1, 5, 1}, true);
        h.changeCells(0, CellRange{3, 1, 5, 1}, [&] { b.clearContents(0, {3, 1, 5, 1}); });
        h.moveCells(0, CellRange{3, 6, 5, 6}, 0, CellRange{3, 1, 5, 1},
                    [&] { clipboard::pasteCells(b, 0, 3, 6, data); });
    });
    QTest::newRow("formats") << Action([](Workbook &b, WorkbookHistory &h) {
        h.changeFormats(0, CellRange{2, 1, 30, 4}, [&] {
            b.modifyFormat(0, CellRange{2, 1, 30, 4}, [](CellFormat &f) {
                f.italic = true;
                f.colour = 0xff0000;
                f.numberFormat = QStringLiteral("0%");
            });
        });
    });
    QTest::newRow("formats of whole columns") << Action([](Workbook &b, WorkbookHistory &h) {
        const CellRange all{1, 1, kMaxRows, 2};
        h.changeFormats(0, all, [&] { b.modifyFormat(0, all, [](CellFormat &f) { f.horizontal = AlignRight; }); });
    });
    QTest::newRow("sort descending") << Action([](Workbook &, WorkbookHistory &h) {
        h.sortRows(0, {1, 1, 10, 2}, {-1, 0, 0});
    });
    QTest::newRow("sort of formulas by their results") << Action([](Workbook &, WorkbookHistory &h) {
        h.sortRows(0, {1, 2, 10, 3}, {-2, 0, 0});
    });
    QTest::newRow("column widths") << Action([](Workbook &b, WorkbookHistory &h) {
        h.changeColumnWidths(0, 1, 3, [&] { b.setColumnWidth(0, 1, 3, 3000); });
    });
    QTest::newRow("row heights") << Action([](Workbook &b, WorkbookHistory &h) {
        h.changeRowHeights(0, 2, 5, [&] { b.setRowHeight(0, 2, 5, 600); });
    });
    for (const bool rows : {true, false}) {
        const char *what = rows ? "rows" : "columns";
        QTest::addRow("insert %s", what) << Action(
                [rows](Workbook &, WorkbookHistory &h) { h.insertLines(0, rows, 3, 2); });
        // Deleting rows 4..5 turns C3 and Feuil2!A1 to #REF! and shrinks the sums whose edge lies there.
        QTest::addRow("delete %s inside ranges", what)
                << Action([rows](Workbook &, WorkbookHistory &h) { h.deleteLines(0, rows, 4, 2); });
        QTest::addRow("delete %s at the start", what)
                << Action([rows](Workbook &, WorkbookHistory &h) { h.deleteLines(0, rows, 1, 1); });
    }
    QTest::newRow("add a sheet") << Action(
            [](Workbook &, WorkbookHistory &h) { h.insertSheet(1, QStringLiteral("Bilan")); });
    QTest::newRow("rename a sheet read by others")
            << Action([](Workbook &, WorkbookHistory &h) { h.renameSheet(0, QStringLiteral("Ventes")); });
    QTest::newRow("delete a sheet read by others") << Action([](Workbook &, WorkbookHistory &h) { h.removeSheet(0); });
    QTest::newRow("delete a middle sheet") << Action([](Workbook &, WorkbookHistory &h) { h.removeSheet(1); });
    QTest::newRow("move a sheet") << Action([](Workbook &, WorkbookHistory &h) { h.moveSheet(0, 2); });
}

void TestWorkbookUndo::undoAndRedo()
{
    QFETCH(Action, action);
    Workbook book;
    fill(book);
    WorkbookHistory history(book);
    const QString before = dump(book);
    action(book, history);
    const QString after = dump(book);
    QVERIFY(after != before);
    // Several times back and forth: each replay gives exactly the state it should.
    for (int round = 0; round < 2; ++round) {
        while (history.canUndo())
            history.undo();
        QCOMPARE(dump(book), before);
        QVERIFY(book.isModified());
        while (history.canRedo())
            history.redo();
        QCOMPARE(dump(book), after);
    }
}

void TestWorkbookUndo::groupIsOneStep()
{
    Workbook book;
    fill(book);
    WorkbookHistory history(book);
    const QString before = dump(book);
    history.beginGroup();
    history.removeSheet(2);
    history.renameSheet(1, QStringLiteral("Recettes"));
    history.insertSheet(2, QStringLiteral("Dépenses"));
    history.endGroup();
    QCOMPARE(history.undoCount(), 1);
    const QString after = dump(book);
    history.undo();
    QCOMPARE(dump(book), before);
    history.redo();
    QCOMPARE(dump(book), after);
}

void TestWorkbookUndo::depthAndRedoDropped()
{
    Workbook book;
    WorkbookHistory history(book);
    for (int i = 1; i <= WorkbookHistory::kDepth + 5; ++i)
        history.changeCells(0, CellRange::single(1, 1), [&] { book.setEntry(0, 1, 1, QString::number(i)); });
    QCOMPARE(history.undoCount(), WorkbookHistory::kDepth);
    for (int i = 0; i < WorkbookHistory::kDepth; ++i)
        history.undo();
    QVERIFY(!history.canUndo());
    QCOMPARE(book.value(0, 1, 1).asNumber(), 5.0); // the five oldest steps are gone
    history.redo();
    QCOMPARE(book.value(0, 1, 1).asNumber(), 6.0);
    // A new change after undoing drops what could be redone.
    history.changeCells(0, CellRange::single(2, 1), [&] { book.setEntry(0, 2, 1, QStringLiteral("x")); });
    QVERIFY(!history.canRedo());
    const WorkbookHistory::Place place = history.undo();
    QCOMPARE(place.sheet, 0);
    QCOMPARE(place.range, CellRange::single(2, 1));
}

void TestWorkbookUndo::rejectedChangeRecordsNothing()
{
    Workbook book;
    WorkbookHistory history(book);
    QVERIFY_THROWS_EXCEPTION(VelmoraError, history.changeCells(0, CellRange::single(1, 1), [&] {
        book.setEntry(0, 1, 1, QStringLiteral("=SUM(("));
    }));
    QVERIFY(!history.canUndo());
    QVERIFY_THROWS_EXCEPTION(VelmoraError, history.renameSheet(0, QStringLiteral("Feuil2")));
    QVERIFY(!history.canUndo());
}

void TestWorkbookUndo::movedSheetKeepsFormulas()
{
    Workbook book;
    fill(book);
    const QString formula = book.formulaText(1, 2, 1);
    const double value = book.value(1, 2, 1).asNumber();
    book.moveSheet(0, 2);
    QCOMPARE(book.sheetName(2), QStringLiteral("Feuil1"));
    QCOMPARE(book.sheetName(0), QStringLiteral("Feuil2"));
    QCOMPARE(book.formulaText(0, 2, 1), formula);
    set(book, 2, "A3", "1000");
    QCOMPARE(book.value(0, 2, 1).asNumber(), value + 1000 - 30);
}

QTEST_GUILESS_MAIN(TestWorkbookUndo)
#include "tst_workbookundo.moc"
