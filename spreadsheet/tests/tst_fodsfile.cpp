// The ".qvc" file: a round trip keeps everything the workbook holds, a flat OpenDocument
// file in the usual layout reads with its styles and sizes, and damaged input gives a
// French message without touching the open workbook.
#include "common/velmoraerror.h"
#include "spreadsheet/core/csvexchange.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace sheet;

class TestFodsFile : public QObject
{
    Q_OBJECT
private slots:
    void roundTripKeepsEverything();
    void writesOpenFormula();
    void readsTheUsualFlatLayout();
    void damagedInput_data();
    void damagedInput();
    void writingClearsModifiedAndKeepsOldFileOnFailure();
    void missingFile();
    void agreesWithLibreOffice();
};

namespace {
Workbook &sample(Workbook &book)
{
    book.renameSheet(1, QStringLiteral("L'année 2026"));
    book.setEntry(0, 1, 1, QStringLiteral("Poste"));
    book.setEntry(0, 2, 1, QStringLiteral("  deux  espaces\tet tab"));
    book.setEntry(0, 3, 1, QStringLiteral("ligne 1\nligne 2"));
    book.setEntry(0, 1, 2, QStringLiteral("1234,5"));
    book.setEntry(0, 2, 2, QStringLiteral("-0,1"));
    book.setEntry(0, 3, 2, QStringLiteral("=SUM(B1:B2)"));
    book.setEntry(0, 4, 2, QStringLiteral("=B3/0"));
    book.setEntry(0, 5, 2, QStringLiteral("='L''année 2026'!A1*2"));
    book.setEntry(0, 6, 2, QStringLiteral("=IF(B1>1;\"grand\";\"petit\")"));
    book.setEntry(0, 7, 2, QStringLiteral("12/03/1999"));
    book.setEntry(0, 8, 2, QStringLiteral("10:30"));
    book.setEntry(0, 9, 2, QStringLiteral("12,5%"));
    book.setEntry(0, 10, 2, QStringLiteral("VRAI"));
    book.setEntry(0, 11, 2, QStringLiteral("#N/A"));
    book.setEntry(0, 12, 2, QStringLiteral("'0042"));
    book.setEntry(0, 40000, 3, QStringLiteral("loin"));
    book.setEntry(1, 1, 1, QStringLiteral("21"));
    book.modifyFormat(0, CellRange{1, 1, 1, 2}, [](CellFormat &f) {
        f.bold = true;
        f.italic = true;
        f.underline = true;
        f.strikeout = true;
        f.colour = 0xC9211E;
        f.fontName = QStringLiteral("Times New Roman");
        f.fontSize = 240;
        f.horizontal = AlignCenter;
        f.wrap = true;
        f.vertical = AlignTop;
    });
    book.modifyFormat(0, CellRange{2, 2, 2, 2}, [](CellFormat &f) { f.numberFormat = QStringLiteral("# ##0,00"); });
    book.setColumnWidth(0, 1, 1, 3000);
    book.setColumnWidth(0, 5, 5, 500);
    book.setRowHeight(0, 3, 3, 600);
    book.setFrozenRows(0, 4);
    book.setFrozenColumns(0, 1);
    book.setShowGridLines(false);
    book.addChart(0, 5, CellRange{1, 2, 3, 2});
    return book;
}
} // namespace

void TestFodsFile::roundTripKeepsEverything()
{
    Workbook original;
    sample(original);
    Workbook copy;
    qvc::read(qvc::write(original), copy);
    QCOMPARE(copy.sheetCount(), 3);
    QCOMPARE(copy.sheetName(1), QStringLiteral("L'année 2026"));
    for (int row = 1; row <= 12; ++row)
        for (int col = 1; col <= 2; ++col) {
            QVERIFY2(copy.value(0, row, col) == original.value(0, row, col),
                     qPrintable(cellName(row, col) + u' ' + copy.displayText(0, row, col) + u'/' + original.displayText(0, row, col)));
            QCOMPARE(copy.displayText(0, row, col), original.displayText(0, row, col));
            QCOMPARE(copy.formulaText(0, row, col), original.formulaText(0, row, col));
            QCOMPARE(copy.format(0, row, col), original.format(0, row, col));
        }
    QCOMPARE(copy.value(0, 40000, 3).asText(), QStringLiteral("loin"));
    QCOMPARE(copy.value(0, 5, 2).asNumber(), 42.0);
    QCOMPARE(copy.columnWidth(0, 1), 3000);
    QCOMPARE(copy.columnWidth(0, 5), 500);
    QCOMPARE(copy.columnWidth(0, 2), Workbook::kDefaultColumnWidth);
    QCOMPARE(copy.rowHeight(0, 3), 600);
    QCOMPARE(copy.frozenRows(0), 4);
    QCOMPARE(copy.frozenColumns(0), 1);
    QVERIFY(!copy.showGridLines());
    QCOMPARE(copy.charts(0).size(), size_t(1));
    QCOMPARE(copy.charts(0)[0].range, (CellRange{1, 2, 3, 2}));
    QVERIFY(!copy.isModified());
    // And the formulas still work after reading.
    copy.setEntry(1, 1, 1, QStringLiteral("50"));
    QCOMPARE(copy.value(0, 5, 2).asNumber(), 100.0);
}

void TestFodsFile::writesOpenFormula()
{
    Workbook book;
    book.setEntry(0, 1, 1, QStringLiteral("1"));
    book.setEntry(0, 4, 1, QStringLiteral("=SUM(A1:A3)"));
    book.setEntry(0, 5, 1, QStringLiteral("=Feuil2!B2*1,5"));
    book.modifyFormat(0, CellRange{1, 1, 1, 1}, [](CellFormat &f) { f.bold = true; });
    const QString xml = QString::fromUtf8(qvc::write(book));
    QVERIFY(xml.contains(QStringLiteral("table:formula=\"of:=SUM([.A1:.A3])\"")));
    QVERIFY(xml.contains(QStringLiteral("of:=[$Feuil2.B2]*1.5")));
    QVERIFY(xml.contains(QStringLiteral("office:value-type=\"float\" office:value=\"1\"")));
    QVERIFY(xml.contains(QStringLiteral("fo:font-weight=\"bold\"")));
    QVERIFY(xml.contains(QStringLiteral("table:name=\"Feuil3\"")));
    QVERIFY(xml.contains(QStringLiteral("office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"")));
}

void TestFodsFile::readsTheUsualFlatLayout()
{
    Workbook book;
    qvc::readFile(QString::fromLocal8Bit(qgetenv("VELMORA_TEST_DATA")) + QStringLiteral("/flat-sample.fods"), book);
    QCOMPARE(book.sheetCount(), 2);
    QCOMPARE(book.sheetName(0), QStringLiteral("Budget"));
    QCOMPARE(book.displayText(0, 1, 1), QStringLiteral("Poste"));
    QVERIFY(book.format(0, 1, 1).bold);
    QVERIFY(book.format(0, 1, 1).italic);              // from the parent style
    QCOMPARE(book.format(0, 1, 1).fontSize, 240);
    QCOMPARE(book.format(0, 1, 1).horizontal, int(AlignCenter));
    QCOMPARE(book.format(0, 1, 1).colour, 0xC9211Eu);
    QCOMPARE(book.displayText(0, 2, 1), QStringLiteral("Loyer mensuel"));
    QCOMPARE(book.value(0, 2, 2).asNumber(), 1234.5);
    QCOMPARE(book.displayText(0, 2, 2), QStringLiteral("1 234,50"));
    QVERIFY(book.format(0, 2, 2).underline);
    QVERIFY(book.format(0, 2, 2).wrap);
    QCOMPARE(book.format(0, 2, 2).fontName, QStringLiteral("Times New Roman"));
    QCOMPARE(book.displayText(0, 2, 3), QStringLiteral("12/03/1999"));
    QCOMPARE(book.value(0, 2, 3).asNumber(), 36231.0);
    QCOMPARE(book.value(0, 3, 1).asText(), QStringLiteral("Même\ndeux   lignes"));
    QCOMPARE(book.value(0, 4, 2).asNumber(), 10.0); // repeated row
    QCOMPARE(book.displayText(0, 5, 1), QStringLiteral("Total")); // the note is not text
    QCOMPARE(book.formulaText(0, 5, 2), QStringLiteral("=SUM(B2:B4)"));
    QCOMPARE(book.value(0, 5, 2).asNumber(), 1254.5);
    QCOMPARE(book.value(0, 5, 3), Value::error(ErrorCode::DivZero));
    QCOMPARE(book.value(0, 5, 4).asText(), QStringLiteral("Bonjour !"));
    QCOMPARE(book.value(0, 5, 5).asNumber(), 7.0); // unknown function: cached value kept
    QCOMPARE(book.displayText(0, 5, 6), QStringLiteral("12,5%"));
    QCOMPARE(book.value(0, 5, 7), Value::boolean(true));
    QCOMPARE(book.maxRow(0), 5);
    QCOMPARE(book.maxCol(0), 7);
    QCOMPARE(book.columnWidth(0, 1), 2880);
    QCOMPARE(book.columnWidth(0, 2), 1280);
    QCOMPARE(book.rowHeight(0, 1), 567);
    QCOMPARE(book.frozenRows(0), 2);
    QCOMPARE(book.frozenColumns(0), 1);
    QVERIFY(!book.showGridLines());
    QCOMPARE(book.value(1, 1, 2).asNumber(), 0.4375);
    QCOMPARE(book.displayText(1, 1, 2), QStringLiteral("10:30:00"));
    // Written back, the unknown function keeps its name.
    QVERIFY(QString::fromUtf8(qvc::write(book)).contains(QStringLiteral("ORG.OPENOFFICE.UNKNOWNFN")));
}

void TestFodsFile::damagedInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray head = "<?xml version=\"1.0\"?><office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                            "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("binary") << QByteArray("\x00\x01\x02PK\x03\x04", 8);
    QTest::newRow("other xml") << QByteArray("<?xml version=\"1.0\"?><html><body/></html>");
    QTest::newRow("text document") << head + "<office:body><office:text/></office:body></office:document>";
    QTest::newRow("truncated") << head + "<office:body><office:spreadsheet><table:table table:name=\"A\"><table:table-row>";
    QTest::newRow("bad nesting") << head + "<office:body><office:spreadsheet></office:body></office:spreadsheet></office:document>";
    QTest::newRow("huge repeat") << head + "<office:body><office:spreadsheet><table:table table:name=\"A\">"
                                    "<table:table-row table:number-rows-repeated=\"1048576\"><table:table-cell "
                                    "table:number-columns-repeated=\"256\"><text:p>x</text:p></table:table-cell>"
                                    "</table:table-row></table:table></office:spreadsheet></office:body></office:document>";
}

void TestFodsFile::damagedInput()
{
    QFETCH(QByteArray, bytes);
    Workbook book;
    book.setEntry(0, 1, 1, QStringLiteral("garde-moi"));
    try {
        qvc::read(bytes, book);
        QFAIL("accepted");
    } catch (const VelmoraError &e) {
        QVERIFY(!e.message().isEmpty());
        QVERIFY2(e.message().startsWith(u"Ce "), qPrintable(e.message()));
    }
    QCOMPARE(book.value(0, 1, 1).asText(), QStringLiteral("garde-moi"));
    QVERIFY(book.isModified());
}

void TestFodsFile::writingClearsModifiedAndKeepsOldFileOnFailure()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bilan.qvc"));
    Workbook book;
    book.setEntry(0, 1, 1, QStringLiteral("1"));
    qvc::writeFile(path, book);
    QVERIFY(!book.isModified());
    book.setEntry(0, 1, 1, QStringLiteral("2"));
    QVERIFY_THROWS_EXCEPTION(VelmoraError, qvc::writeFile(dir.filePath(QStringLiteral("absent/bilan.qvc")), book));
    QVERIFY(book.isModified());
    Workbook back;
    qvc::readFile(path, back);
    QCOMPARE(back.value(0, 1, 1).asNumber(), 1.0);
}

void TestFodsFile::missingFile()
{
    Workbook book;
    try {
        qvc::readFile(QStringLiteral("/nonexistent/bilan.qvc"), book);
        QFAIL("accepted");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), QStringLiteral("Fichier introuvable"));
    }
}

// Hundreds of formulas computed by Velmora and by LibreOffice from the same file, value by
// value. Runs only where LibreOffice is installed.
void TestFodsFile::agreesWithLibreOffice()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    Workbook book;
    const QStringList formulas{
        "ROUND(A%1*1,2345;2)", "MOD(A%1*7;4)", "SQRT(A%1)", "LN(A%1)", "A%1^3/7", "PMT(0,05/12;A%1+12;10000)",
        "FV(0,04;A%1;-100)", "PV(0,03;A%1;-50)", "NPER(0,01;-100;A%1*1000)", "SYD(10000;1000;20;A%1)",
        "DDB(10000;1000;20;A%1)", "VDB(10000;1000;20;0;A%1)", "DB(10000;1000;20;A%1)", "YEAR(A%1*1000)",
        "WEEKDAY(A%1*1000;2)", "LEN(REPT(\"ab\";A%1))", "FIND(\"c\";\"abcabc\";MOD(A%1;5)+1)", "CEILING(A%1*1,3;0,5)",
        "FLOOR(A%1*1,3;0,5)", "EVEN(A%1*1,5)", "ODD(A%1*1,5)", "FACT(MOD(A%1;10))", "STDEV(A1:A%1)", "VAR(A1:A%1)",
        "AVERAGE(A1:A%1)", "COUNTIF(A1:A20;\">\"&A%1)", "SUMIF(A1:A20;\"<\"&A%1)", "ATAN2(A%1;3)", "TRUNC(A%1/3;2)",
        "IPMT(0,05;1;A%1+1;1000)"};
    for (int i = 1; i <= 20; ++i)
        book.setEntry(0, i, 1, QString::number(i));
    for (int i = 1; i <= 20; ++i)
        for (int f = 0; f < formulas.size(); ++f)
            book.setFormula(0, i, f + 2, formulas[f].arg(i));
    QTemporaryDir dir;
    const QString fods = dir.filePath(QStringLiteral("compare.fods"));
    qvc::writeFile(fods, book);
    QProcess p;
    p.start(soffice, {"--headless", "--convert-to", "csv:Text - txt - csv (StarCalc):59,34,76,1,,1033", "--outdir", dir.path(), fods});
    QVERIFY(p.waitForFinished(120000));
    QFile csvFile(dir.filePath(QStringLiteral("compare.csv")));
    QVERIFY(csvFile.open(QIODevice::ReadOnly));
    const QList<QByteArray> theirs = csvFile.readAll().split('\n');
    const QList<QByteArray> ours = csv::exportSheet(book, 0).split('\n');
    int compared = 0;
    for (int r = 0; r < 20; ++r) {
        const QList<QByteArray> a = ours[r].trimmed().split(';'), b = theirs[r].trimmed().split(';');
        for (int c = 1; c < a.size() && c < b.size(); ++c) {
            bool okA, okB;
            const double x = a[c].toDouble(&okA), y = b[c].toDouble(&okB);
            QVERIFY2(okA == okB, qPrintable(QStringLiteral("%1 vs %2 at %3").arg(a[c], b[c], cellName(r + 1, c + 1))));
            if (okA)
                QVERIFY2(std::fabs(x - y) <= 1e-9 * std::max(1.0, std::fabs(y)),
                         qPrintable(QStringLiteral("%1 vs %2 at %3").arg(a[c], b[c], cellName(r + 1, c + 1))));
            ++compared;
        }
    }
    QVERIFY(compared >= 500);
}

QTEST_GUILESS_MAIN(TestFodsFile)
#include "tst_fodsfile.moc"
