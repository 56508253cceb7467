// Hostile and extreme workbook files, made here by tiny generators: expansion bombs are
// refused quickly with a French message and leave the open workbook as it was, and whatever
// the CSV import and the writer accept, the reader gives back.
#include "common/velmoraerror.h"
#include "spreadsheet/core/csvexchange.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbooklimits.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace sheet;

class TestWorkbookHostile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void bombsAreRefused_data();
    void bombsAreRefused();
    void whatIsWrittenReadsBack_data();
    void whatIsWrittenReadsBack();
    void csvImportKeepsTheFileLimits();
    void equalRowsAreWrittenOnce();
};

namespace {

QByteArray document(const QByteArray &table, const QByteArray &prolog = {})
{
    return "<?xml version=\"1.0\"?>" + prolog
            + "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
              "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
              "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">"
              "<office:body><office:spreadsheet><table:table table:name=\"A\">"
            + table + "</table:table></office:spreadsheet></office:body></office:document>";
}

QByteArray repeatedCell(const QByteArray &paragraph, int rows, int cols)
{
    return "<table:table-row table:number-rows-repeated=\"" + QByteArray::number(rows)
            + "\"><table:table-cell office:value-type=\"string\" table:number-columns-repeated=\""
            + QByteArray::number(cols) + "\"><text:p>" + paragraph + "</text:p></table:table-cell></table:table-row>";
}

} // namespace

void TestWorkbookHostile::bombsAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QByteArray spaces;
    for (int i = 0; i < 999; ++i)
        spaces += "<text:s text:c=\"1000\"/>";
    QTest::newRow("runs of spaces over 256 000 cells")
            << document(repeatedCell(spaces, 1000, 256)) << limits::tooMuchText();
    QTest::newRow("one run of two billion spaces")
            << document(repeatedCell("<text:s text:c=\"2000000000\"/>", 1, 1)) << limits::tooMuchText();
    QTest::newRow("4.86 million repeated cells") << document(repeatedCell("x", 19000, 256)) << limits::tooManyCells();
    QTest::newRow("cells over many rows elements")
            << document(repeatedCell("1", 4000, 256) + repeatedCell("2", 4000, 256) + repeatedCell("3", 9000, 256))
            << limits::tooManyCells();
    // Each sheet within what one sheet could hold, all of them past the workbook's budget.
    const QByteArray nextSheet = "</table:table><table:table table:name=\"B\">";
    QTest::newRow("three sheets of two million cells")
            << document(repeatedCell("1", 8192, 256) + nextSheet + repeatedCell("2", 8192, 256) + nextSheet
                        + repeatedCell("3", 8192, 256))
            << limits::tooManyCells();
    QTest::newRow("entities") << document(
            repeatedCell("&b;", 1, 1),
            "<!DOCTYPE office:document [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>")
                              << limits::entitiesDeclared();
    QTest::newRow("external entity") << document(repeatedCell("&x;", 1, 1),
                                                 "<!DOCTYPE d [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>")
                                     << limits::entitiesDeclared();
}

void TestWorkbookHostile::bombsAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QVERIFY(bytes.size() < 30000);
    Workbook book;
    book.setEntry(0, 1, 1, QStringLiteral("garde-moi"));
    QElapsedTimer clock;
    clock.start();
    try {
        qvc::read(bytes, book);
        QFAIL("accepted");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), message);
    }
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(book.value(0, 1, 1).asText(), QStringLiteral("garde-moi"));
    QVERIFY(book.isModified());
}

void TestWorkbookHostile::whatIsWrittenReadsBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("field of a million and one characters") << QString(1'000'001, u'é');
    QTest::newRow("run of 5000 spaces") << QStringLiteral("a") + QString(5000, u' ') + QStringLiteral("b");
    QTest::newRow("leading spaces and tabs") << QStringLiteral("   \t  x\t\ty  ");
    QTest::newRow("lines") << QStringLiteral("un\n\ndeux\n");
}

void TestWorkbookHostile::whatIsWrittenReadsBack()
{
    QFETCH(QString, text);
    Workbook book;
    book.setValue(0, 2, 3, Value::text(text));
    book.setValue(0, 3, 3, Value::text(text));
    Workbook back;
    qvc::read(qvc::write(book), back);
    QCOMPARE(back.value(0, 2, 3).asText().size(), text.size());
    QVERIFY(back.value(0, 2, 3).asText() == text);
    QVERIFY(back.value(0, 3, 3).asText() == text);
}

void TestWorkbookHostile::csvImportKeepsTheFileLimits()
{
    QCOMPARE(limits::tooManyCells(),
             u"Ce classeur est trop grand pour être ouvert : ses cellules répétées dépassent 4 194 304"_qs);
    // A long field imports, saves and opens again.
    const QByteArray field(1'200'000, 'z');
    Workbook book;
    csv::import("a;" + field + "\r\n1;2\r\n", book, QStringLiteral("Import"));
    Workbook back;
    qvc::read(qvc::write(book), back);
    QCOMPARE(back.value(0, 1, 2).asText().size(), field.size());
    QCOMPARE(back.value(0, 2, 2).asNumber(), 2.0);

    // More cells than a workbook file may hold are refused by the import itself.
    QByteArray line = ";";
    line = line.repeated(255) + "1\n";
    Workbook kept;
    kept.setEntry(0, 1, 1, QStringLiteral("garde-moi"));
    try {
        csv::import(line.repeated(16385), kept, QStringLiteral("Import"));
        QFAIL("accepted");
    } catch (const VelmoraError &e) {
        QVERIFY2(e.message().startsWith(u"Le fichier CSV a plus de 4 194 304 cellules"), qPrintable(e.message()));
    }
    QCOMPARE(kept.value(0, 1, 1).asText(), QStringLiteral("garde-moi"));
}

QTEST_GUILESS_MAIN(TestWorkbookHostile)
#include "tst_workbookhostile.moc"

// A small file of repeated rows saves as a small file (not one row element per row), and
// only rows of constants that read back the same are joined: other spreadsheet programs
// keep a formula in the first of repeated rows only.
void TestWorkbookHostile::equalRowsAreWrittenOnce()
{
    const QByteArray rows = "<table:table-row table:number-rows-repeated=\"200000\">"
                            "<table:table-cell office:value-type=\"float\" office:value=\"0.125\"/>"
                            "<table:table-cell office:value-type=\"string\"><text:p>VRAI</text:p></table:table-cell>"
                            "</table:table-row>";
    Workbook book;
    qvc::read(document(rows), book);
    QCOMPARE(book.maxRow(0), 200000);
    QElapsedTimer clock;
    clock.start();
    const QByteArray written = qvc::write(book);
    QVERIFY2(written.size() < 20000, qPrintable(QString::number(written.size())));
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    Workbook back;
    qvc::read(written, back);
    QCOMPARE(back.maxRow(0), 200000);
    for (int row : {1, 2, 100000, 200000}) {
        QCOMPARE(back.value(0, row, 1).asNumber(), 0.125);
        QCOMPARE(back.value(0, row, 2).asText(), u"VRAI"_qs);
    }

    // Formulas of repeated rows are read in every row (compiled once), and written row by row.
    const QByteArray formulas = "<table:table-row table:number-rows-repeated=\"1000\">"
                                "<table:table-cell office:value-type=\"float\" office:value=\"0.125\"/>"
                                "<table:table-cell table:formula=\"of:=[$A.A1]*2\"/>"
                                "<table:table-cell table:formula=\"of:=NOSUCHFN([.A1])\" "
                                "office:value-type=\"float\" office:value=\"3\"/>"
                                "</table:table-row>";
    Workbook withFormulas;
    qvc::read(document(formulas), withFormulas);
    const QByteArray rowByRow = qvc::write(withFormulas);
    QCOMPARE(rowByRow.count("of:=[$A.A1]*2"), 1000);
    Workbook formulasBack;
    qvc::read(rowByRow, formulasBack);
    for (const Workbook *w : {&withFormulas, &formulasBack})
        for (int row : {1, 2, 500, 1000}) {
            QCOMPARE(w->formulaText(0, row, 2), u"=A!A1*2"_qs);
            QCOMPARE(w->value(0, row, 2).asNumber(), 0.25);
            QCOMPARE(w->formulaText(0, row, 3), u"=NOSUCHFN([.A1])"_qs); // kept as written
            QCOMPARE(w->value(0, row, 3).asNumber(), 3.0);
        }

    // Rows differing by a value, a sign, a format, a formula or a height stay apart.
    Workbook mixed;
    for (int row = 1; row <= 12; ++row)
        mixed.setValue(0, row, 2, Value::number(row == 4 ? 2 : row == 5 ? -0.0 : 0.0));
    mixed.setEntry(0, 7, 3, u"=B1+1"_qs);
    mixed.setEntry(0, 8, 3, u"=B1+1"_qs);
    mixed.setEntry(0, 9, 3, u"=B2+1"_qs);
    mixed.setRowHeight(0, 10, 10, 600);
    CellFormat bold;
    bold.bold = true;
    mixed.setFormat(0, CellRange{11, 2, 11, 2}, bold);
    Workbook again;
    qvc::read(qvc::write(mixed), again);
    for (int row = 1; row <= 12; ++row) {
        QCOMPARE(again.value(0, row, 2).asNumber(), row == 4 ? 2.0 : 0.0);
        QCOMPARE(std::signbit(again.value(0, row, 2).asNumber()), row == 5);
        QCOMPARE(again.formulaText(0, row, 3), row == 7 || row == 8 ? u"=B1+1"_qs : row == 9 ? u"=B2+1"_qs : QString());
        QCOMPARE(again.rowHeight(0, row), mixed.rowHeight(0, row));
        QCOMPARE(again.format(0, row, 2).bold, row == 11);
    }
}
