// Exchange with other programs: CSV out and in, and copy and paste of ranges (text for
// other programs, Velmora's own cells with formulas moved like copies).
#include "common/velmoraerror.h"
#include "spreadsheet/core/csvexchange.h"
#include "spreadsheet/core/rangeclipboard.h"
#include "spreadsheet/core/workbook.h"

#include <QTemporaryDir>

#include <cmath>
#include <QtTest>

using namespace sheet;

class TestWorkbookExchange : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void csvExport();
    void csvExportOtherSheet();
    void csvExportDrawsVolatileAgain();
    void csvImport_data();
    void csvImport();
    void csvRoundTrip();
    void copyAsText();
    void copyPasteShiftsRelativeReferences();
    void pasteRefusesForeignDataAndTheSheetEdge();
    void pasteTextFromOtherPrograms();
};

void TestWorkbookExchange::csvExport()
{
    Workbook book;
    book.setEntry(0, 1, 1, QStringLiteral("Nom"));
    book.setEntry(0, 1, 2, QStringLiteral("Montant"));
    book.setEntry(0, 2, 1, QStringLiteral("Dupont; Jean"));
    book.setEntry(0, 2, 2, QStringLiteral("1234,5"));
    book.setEntry(0, 3, 1, QStringLiteral("dit \"le grand\"\nsur deux lignes"));
    book.setEntry(0, 3, 2, QStringLiteral("=1/3"));
    book.setEntry(0, 4, 2, QStringLiteral("=1/0"));
    book.setEntry(0, 4, 3, QStringLiteral("12/03/1999"));
    book.setEntry(0, 5, 1, QStringLiteral("VRAI"));
    book.setEntry(0, 5, 3, QStringLiteral("=NOW()>0"));
    book.setEntry(0, 6, 1, QStringLiteral("12:30"));
    const QByteArray csv = csv::exportSheet(book, 0);
    QCOMPARE(csv,
             QByteArray("Nom;Montant;\r\n"
                        "\"Dupont; Jean\";1234.5;\r\n"
                        "\"dit \"\"le grand\"\"\nsur deux lignes\";0.333333333333333;\r\n"
                        ";#DIV/0!;1999-03-12\r\n"
                        "TRUE;;TRUE\r\n"
                        "12:30;;\r\n"));
    // The time reads back as a time.
    Workbook again;
    csv::import(csv, again, QStringLiteral("Feuil1"));
    QCOMPARE(again.displayText(0, 6, 1), book.displayText(0, 6, 1));
    QCOMPARE(again.value(0, 6, 1).asNumber(), book.value(0, 6, 1).asNumber());
    QVERIFY_THROWS_EXCEPTION(VelmoraError, csv::exportSheet(book, 7));
}

void TestWorkbookExchange::csvExportOtherSheet()
{
    Workbook book;
    book.setEntry(1, 2, 2, QStringLiteral("été"));
    QCOMPARE(csv::exportSheet(book, 1), QByteArray(";\r\n;\xC3\xA9t\xC3\xA9\r\n"));
    QCOMPARE(csv::exportSheet(book, 2), QByteArray());
}

// Each export computes RAND() again, and what reads it follows; the rest is as computed.
void TestWorkbookExchange::csvExportDrawsVolatileAgain()
{
    Workbook book;
    book.setEntry(0, 1, 1, QStringLiteral("=RAND()"));
    book.setEntry(0, 1, 2, QStringLiteral("=A1*2"));
    book.setEntry(0, 1, 3, QStringLiteral("=10+1"));
    auto fields = [&] {
        const QList<QByteArray> f = csv::exportSheet(book, 0).trimmed().split(';');
        if (f.size() != 3)
            qFatal("three fields expected");
        return f;
    };
    const QList<QByteArray> first = fields();
    const QList<QByteArray> second = fields();
    QVERIFY(first[0] != second[0]);
    for (const QList<QByteArray> &f : {first, second}) {
        QVERIFY(std::abs(f[1].toDouble() - 2 * f[0].toDouble()) < 1e-13);
        QCOMPARE(f[2], QByteArray("11"));
    }
    QVERIFY(std::abs(book.value(0, 1, 1).asNumber() - second[0].toDouble()) < 1e-14);
}

void TestWorkbookExchange::csvImport_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("cells"); // displayed texts, row by row, "|" between cells
    QTest::newRow("semicolons, dot numbers") << QByteArray("a;1.5\r\nb;-2e3\r\n") << QStringList{"a|1,5", "b|-2000"};
    QTest::newRow("commas, quoted") << QByteArray("\"x, y\",3\n\"dit \"\"oui\"\"\",4\n")
                                    << QStringList{"x, y|3", "dit \"oui\"|4"};
    QTest::newRow("tabs") << QByteArray("1\t2\n3\t4\n") << QStringList{"1|2", "3|4"};
    QTest::newRow("french number and dates")
            << QByteArray("1,5;12/03/1999;1999-03-12\n") << QStringList{"1,5|12/03/1999|12/03/1999"};
    QTest::newRow("formula stays text") << QByteArray("=1+1;x\n") << QStringList{"=1+1|x"};
    QTest::newRow("windows-1252") << QByteArray("caf\xE9;1\n") << QStringList{"café|1"};
    QTest::newRow("bom") << QByteArray("\xEF\xBB\xBFz;1\n") << QStringList{"z|1"};
    QTest::newRow("line break in quotes") << QByteArray("\"a\nb\";1\n") << QStringList{"a\nb|1"};
    QTest::newRow("quote inside a field") << QByteArray("12\" x;5\ny;6\n") << QStringList{"12\" x|5", "y|6"};
}

void TestWorkbookExchange::csvImport()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, cells);
    Workbook book;
    csv::import(bytes, book, QStringLiteral("Import"));
    QCOMPARE(book.sheetCount(), 1);
    QCOMPARE(book.sheetName(0), QStringLiteral("Import"));
    QCOMPARE(book.maxRow(0), int(cells.size()));
    for (int r = 0; r < cells.size(); ++r) {
        const QStringList fields = cells[r].split(u'|');
        for (int c = 0; c < fields.size(); ++c)
            QCOMPARE(book.displayText(0, r + 1, c + 1), fields[c]);
    }
}

void TestWorkbookExchange::csvRoundTrip()
{
    Workbook book;
    book.setEntry(0, 1, 1, QStringLiteral("0,1"));
    book.setEntry(0, 1, 2, QStringLiteral("=A1*3"));
    book.setEntry(0, 2, 1, QStringLiteral("texte; avec \"guillemets\""));
    Workbook back;
    csv::import(csv::exportSheet(book, 0), back, QStringLiteral("Feuil1"));
    QCOMPARE(back.value(0, 1, 1).asNumber(), 0.1);
    QCOMPARE(back.value(0, 1, 2).asNumber(), 0.3);
    QCOMPARE(back.value(0, 2, 1).asText(), QStringLiteral("texte; avec \"guillemets\""));
    QByteArray wide;
    for (int i = 0; i < 300; ++i)
        wide += "1;";
    QVERIFY_THROWS_EXCEPTION(VelmoraError, csv::import(wide, back, QStringLiteral("x")));
    QCOMPARE(back.value(0, 1, 1).asNumber(), 0.1);
    // A quote never closed is refused with its line, the workbook kept as it was.
    try {
        csv::import("a;b\n1;\"2\n3;4\n", back, QStringLiteral("x"));
        QFAIL("the lines after the quote were swallowed");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), QStringLiteral("Ligne 2 : guillemet ouvrant jamais refermé"));
    }
    QCOMPARE(back.value(0, 1, 1).asNumber(), 0.1);
    // Texts with commas come back whole even when nothing else tells the separator.
    Workbook commas;
    commas.setEntry(0, 1, 1, QStringLiteral("Paris, 15e"));
    commas.setEntry(0, 2, 1, QStringLiteral("a\tb"));
    csv::import(csv::exportSheet(commas, 0), back, QStringLiteral("Feuil1"));
    QCOMPARE(back.maxCol(0), 1);
    QCOMPARE(back.value(0, 1, 1).asText(), QStringLiteral("Paris, 15e"));
    QCOMPARE(back.value(0, 2, 1).asText(), QStringLiteral("a\tb"));
}

void TestWorkbookExchange::copyAsText()
{
    Workbook book;
    book.setEntry(0, 2, 2, QStringLiteral("1,5"));
    book.setEntry(0, 2, 3, QStringLiteral("=B2*2"));
    book.setEntry(0, 3, 3, QStringLiteral("a\tb"));
    QCOMPARE(clipboard::rangeAsText(book, 0, CellRange{2, 2, 3, 3}), QStringLiteral("1,5\t3\n\t\"a\tb\"\n"));
}

void TestWorkbookExchange::copyPasteShiftsRelativeReferences()
{
    Workbook book;
    book.setEntry(0, 1, 1, QStringLiteral("10"));
    book.setEntry(0, 2, 1, QStringLiteral("20"));
    book.setEntry(0, 1, 2, QStringLiteral("=A1*2+$A$1"));
    book.setEntry(0, 2, 2, QStringLiteral("=SUM(A$1:A2)"));
    book.modifyFormat(0, CellRange{1, 2, 1, 2}, [](CellFormat &f) { f.bold = true; });
    const QByteArray data = clipboard::rangeAsCells(book, 0, CellRange{1, 1, 2, 2});
    const CellRange pasted = clipboard::pasteCells(book, 0, 5, 3, data);
    QCOMPARE(pasted, (CellRange{5, 3, 6, 4}));
    QCOMPARE(book.formulaText(0, 5, 4), QStringLiteral("=C5*2+$A$1"));
    QCOMPARE(book.formulaText(0, 6, 4), QStringLiteral("=SOMME(C$1:C6)"));
    QCOMPARE(book.value(0, 5, 4).asNumber(), 30.0);
    QCOMPARE(book.value(0, 6, 4).asNumber(), 30.0);
    QVERIFY(book.format(0, 5, 4).bold);
    // Into another sheet, and where a reference would leave the sheet.
    clipboard::pasteCells(book, 1, 1, 1, clipboard::rangeAsCells(book, 0, CellRange{5, 4, 5, 4}));
    QCOMPARE(book.formulaText(1, 1, 1), QStringLiteral("=#REF!*2+$A$1"));
}

void TestWorkbookExchange::pasteRefusesForeignDataAndTheSheetEdge()
{
    Workbook book;
    book.setEntry(0, 1, 1, QStringLiteral("x"));
    QVERIFY_THROWS_EXCEPTION(VelmoraError, clipboard::pasteCells(book, 0, 1, 1, QByteArray("{\"other\":1}")));
    QVERIFY_THROWS_EXCEPTION(VelmoraError, clipboard::pasteCells(book, 0, 1, 1, QByteArray("not json")));
    const QByteArray data = clipboard::rangeAsCells(book, 0, CellRange{1, 1, 2, 2});
    QVERIFY_THROWS_EXCEPTION(VelmoraError, clipboard::pasteCells(book, 0, kMaxRows, 1, data));
    QCOMPARE(book.value(0, 1, 1).asText(), QStringLiteral("x"));
}

void TestWorkbookExchange::pasteTextFromOtherPrograms()
{
    Workbook book;
    const CellRange r = clipboard::pasteText(book, 0, 2, 2, QStringLiteral("1,5\tabc\r\n=B2*2\t=SUM(A1,A2)\r\n"));
    QCOMPARE(r, (CellRange{2, 2, 3, 3}));
    QCOMPARE(book.value(0, 2, 2).asNumber(), 1.5);
    QCOMPARE(book.value(0, 3, 2).asNumber(), 3.0);
    QCOMPARE(book.value(0, 3, 3).asText(), QStringLiteral("=SUM(A1,A2)"));
}

QTEST_GUILESS_MAIN(TestWorkbookExchange)
#include "tst_workbookexchange.moc"
