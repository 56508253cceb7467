// The spreadsheet's headless conversions, run as the command line runs them, and the
// exchange with LibreOffice when it is installed.
#include "common/converterregistry.h"
#include "common/ui/fonts.h"
#include "common/velmoraerror.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"
#include "common/tests/libreofficerun.h"
#include "spreadsheet/ui/spreadsheetmodule.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace sheet;

class TestTF1BookConvert : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void csvOfTheFirstSheet();
    void csvOfAnotherSheet_data();
    void csvOfAnotherSheet();
    void pdfOfAWorkbook();
    void qvcOfACsvFile();
    void badWorkbookIsReported();
    void libreOfficeReadsOurWorkbook();
    void readsWhatLibreOfficeWrites();

private:
    void convert(const QString &format, const QString &in, const QString &out, QMap<QString, QString> options = {});
    QString writeSample();
    QTemporaryDir dir;
    ConverterRegistry registry;
};

void TestTF1BookConvert::initTestCase()
{
    fonts::installSubstitutions();
    SpreadsheetModule::registerConverters(registry);
}

void TestTF1BookConvert::convert(const QString &format, const QString &in, const QString &out,
                                 QMap<QString, QString> options)
{
    const Converter *c = registry.find(format, QFileInfo(in).suffix().toLower());
    QVERIFY(c);
    c->run(ConversionJob{in, out, options});
}

// A workbook of two sheets: text, decimals, a formula, an error, a quoted field.
QString TestTF1BookConvert::writeSample()
{
    Workbook book;
    book.setEntry(0, 1, 1, u"Libellé"_qs);
    book.setEntry(0, 1, 2, u"Montant"_qs);
    book.setEntry(0, 2, 1, u"Loyer; charges"_qs);
    book.setEntry(0, 2, 2, u"1234,5"_qs);
    book.setEntry(0, 3, 1, u"Total"_qs);
    book.setEntry(0, 3, 2, u"=B2*2"_qs);
    book.setEntry(0, 4, 2, u"=1/0"_qs);
    book.setEntry(1, 1, 1, u"deuxième"_qs);
    const QString path = dir.filePath(u"exemple.qvc"_qs);
    qvc::writeFile(path, book);
    return path;
}

void TestTF1BookConvert::csvOfTheFirstSheet()
{
    const QString in = writeSample();
    const QString out = dir.filePath(u"exemple.csv"_qs);
    convert(u"csv"_qs, in, out);
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString csv = QString::fromUtf8(f.readAll());
    QCOMPARE(csv, u"Libellé;Montant\r\n\"Loyer; charges\";1234.5\r\nTotal;2469\r\n;#DIV/0!\r\n"_qs);
}

void TestTF1BookConvert::csvOfAnotherSheet_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("expected"); // empty: refused
    QTest::newRow("second") << u"2"_qs << u"deuxième\r\n"_qs;
    QTest::newRow("beyond the last") << u"4"_qs << QString();
    QTest::newRow("zero") << u"0"_qs << QString();
    QTest::newRow("not a number") << u"deux"_qs << QString();
}

void TestTF1BookConvert::csvOfAnotherSheet()
{
    QFETCH(QString, sheet);
    QFETCH(QString, expected);
    const QString in = writeSample();
    const QString out = dir.filePath(u"autre.csv"_qs);
    QFile::remove(out);
    try {
        convert(u"csv"_qs, in, out, {{u"sheet"_qs, sheet}});
    } catch (const VelmoraError &e) {
        QVERIFY2(expected.isEmpty(), qPrintable(e.message()));
        QVERIFY(!QFile::exists(out));
        return;
    }
    QVERIFY(!expected.isEmpty());
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readAll()), expected);
}

void TestTF1BookConvert::pdfOfAWorkbook()
{
    const QString in = writeSample();
    const QString out = dir.filePath(u"exemple.pdf"_qs);
    convert(u"pdf"_qs, in, out);
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("%PDF"));
    if (QStandardPaths::findExecutable(u"pdftotext"_qs).isEmpty())
        return;
    QProcess p;
    p.start(u"pdftotext"_qs, {out, u"-"_qs});
    QVERIFY(p.waitForFinished());
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(text.contains(u"2 469"_qs) || text.contains(u"2469"_qs), qPrintable(text));
    QVERIFY(text.contains(u"deuxième"_qs)); // every sheet with content is printed
}

void TestTF1BookConvert::qvcOfACsvFile()
{
    const QString in = dir.filePath(u"import.csv"_qs);
    QFile f(in);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Nom;Prix\r\nPain;1.25\r\n\"Vin; rouge\";8\r\n");
    f.close();
    const QString out = dir.filePath(u"import.qvc"_qs);
    convert(u"qvc"_qs, in, out);
    Workbook book;
    qvc::readFile(out, book);
    QCOMPARE(book.displayText(0, 2, 1), u"Pain"_qs);
    QCOMPARE(book.value(0, 2, 2).asNumber(), 1.25);
    QCOMPARE(book.displayText(0, 3, 1), u"Vin; rouge"_qs);
}

void TestTF1BookConvert::badWorkbookIsReported()
{
    const QString in = dir.filePath(u"faux.qvc"_qs);
    QFile f(in);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("pas un classeur");
    f.close();
    QVERIFY_THROWS_EXCEPTION(VelmoraError, convert(u"csv"_qs, in, dir.filePath(u"faux.csv"_qs)));
    QVERIFY(!QFile::exists(dir.filePath(u"faux.csv"_qs)));
}

// LibreOffice opens what Velmora writes: the workbook is turned into LibreOffice's own flat
// file by LibreOffice, and that file read back shows the same values, sheet names, bold
// cells, column widths and row heights. (Frozen panes are view settings, which LibreOffice
// writes only from a window: a conversion without one drops them.)
void TestTF1BookConvert::libreOfficeReadsOurWorkbook()
{
    if (lotest::sofficePath().isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    Workbook book;
    book.renameSheet(0, u"Recettes"_qs);
    book.renameSheet(1, u"Dépenses 2026"_qs);
    book.setEntry(0, 1, 1, u"Total"_qs);
    book.setEntry(0, 2, 1, u"12,5"_qs);
    book.setEntry(0, 3, 1, u"=A2*4"_qs);
    book.setEntry(0, 4, 1, u"=SUM('Dépenses 2026'!B1:B3)"_qs);
    book.setEntry(0, 5, 1, u"=1/0"_qs);
    book.setEntry(0, 6, 1, u"Crème brûlée"_qs);
    book.setEntry(1, 1, 2, u"1,25"_qs);
    book.setEntry(1, 2, 2, u"2"_qs);
    book.setEntry(1, 3, 2, u"=B1*B2"_qs);
    book.modifyFormat(0, CellRange::single(1, 1), [](CellFormat &f) { f.bold = true; });
    book.modifyFormat(1, CellRange::single(3, 2), [](CellFormat &f) { f.bold = true; });
    book.setColumnWidth(0, 1, 1, 2880); // two inches
    book.setColumnWidth(1, 2, 2, 720); // half an inch
    book.setRowHeight(0, 2, 2, 567);
    const QString in = dir.filePath(u"lo.qvc"_qs);
    qvc::writeFile(in, book);
    // LibreOffice goes by the content, not the name: give it the name it expects.
    const QString fods = dir.filePath(u"lo-in.fods"_qs);
    QFile::copy(in, fods);
    const QString outDir = dir.filePath(u"lo-out"_qs);
    const QString failure =
            lotest::runSoffice(dir.path(), {u"--convert-to"_qs, u"fods"_qs, u"--outdir"_qs, outDir, fods});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    Workbook back;
    qvc::readFile(outDir + u"/lo-in.fods"_qs, back);
    QCOMPARE(back.sheetCount(), 3);
    QCOMPARE(back.sheetName(0), u"Recettes"_qs);
    QCOMPARE(back.sheetName(1), u"Dépenses 2026"_qs);
    QCOMPARE(back.displayText(0, 1, 1), u"Total"_qs);
    QCOMPARE(back.value(0, 3, 1).asNumber(), 50.0);
    QCOMPARE(back.value(0, 4, 1).asNumber(), 5.75);
    QCOMPARE(back.displayText(0, 5, 1), u"#DIV/0!"_qs);
    QCOMPARE(back.displayText(0, 6, 1), u"Crème brûlée"_qs);
    QCOMPARE(back.value(1, 3, 2).asNumber(), 2.5);
    // The formulas came back as formulas, and still compute here.
    back.setEntry(1, 1, 2, u"2"_qs);
    QCOMPARE(back.value(1, 3, 2).asNumber(), 4.0);
    QCOMPARE(back.value(0, 4, 1).asNumber(), 8.0);
    QVERIFY(back.format(0, 1, 1).bold);
    QVERIFY(!back.format(0, 2, 1).bold);
    QVERIFY(back.format(1, 3, 2).bold);
    QVERIFY2(qAbs(back.columnWidth(0, 1) - 2880) <= 30, qPrintable(QString::number(back.columnWidth(0, 1))));
    QVERIFY2(qAbs(back.columnWidth(1, 2) - 720) <= 30, qPrintable(QString::number(back.columnWidth(1, 2))));
    QVERIFY2(qAbs(back.rowHeight(0, 2) - 567) <= 30, qPrintable(QString::number(back.rowHeight(0, 2))));
}

// Velmora opens a flat file that LibreOffice wrote from its own content: texts, numbers,
// dates, percentages and formulas, which keep computing here.
void TestTF1BookConvert::readsWhatLibreOfficeWrites()
{
    if (lotest::sofficePath().isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    const QString in = dir.filePath(u"lo-made.csv"_qs);
    QFile f(in);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Libell\xc3\xa9;Montant;Date;Taux\n"
            "Loyer;1234.5;1999-03-12;12%\n"
            "\"Vin; rouge\";8;2026-12-07;5.5%\n"
            "Total;=SUM(B2:B3);=C3-C2;=D2+D3\n");
    f.close();
    const QString outDir = dir.filePath(u"lo-made"_qs);
    const QString failure =
            lotest::runSoffice(dir.path(),
                               {u"--infilter=CSV:59,34,76,1,,1033,false,true,false,false,false,-1,true"_qs,
                                u"--convert-to"_qs, u"fods"_qs, u"--outdir"_qs, outDir, in});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    Workbook book;
    qvc::readFile(outDir + u"/lo-made.fods"_qs, book);
    QCOMPARE(book.sheetName(0), u"lo-made"_qs);
    QCOMPARE(book.displayText(0, 1, 1), u"Libellé"_qs);
    QCOMPARE(book.displayText(0, 3, 1), u"Vin; rouge"_qs);
    QCOMPARE(book.value(0, 2, 2).asNumber(), 1234.5);
    QCOMPARE(book.value(0, 2, 3).asNumber(), 36231.0);
    QCOMPARE(book.displayText(0, 2, 3), u"1999-03-12"_qs); // the date style of the file
    QCOMPARE(book.value(0, 2, 4).asNumber(), 0.12);
    QVERIFY2(book.displayText(0, 2, 4).startsWith(u"12"_qs) && book.displayText(0, 2, 4).endsWith(u'%'),
             qPrintable(book.displayText(0, 2, 4)));
    QCOMPARE(book.value(0, 4, 2).asNumber(), 1242.5);
    QCOMPARE(book.value(0, 4, 3).asNumber(), 10132.0);
    QCOMPARE(book.value(0, 4, 4).asNumber(), 0.175);
    book.setEntry(0, 3, 2, u"10"_qs);
    QCOMPARE(book.value(0, 4, 2).asNumber(), 1244.5);
}

QTEST_MAIN(TestTF1BookConvert)
#include "tst_tf1bookconvert.moc"
