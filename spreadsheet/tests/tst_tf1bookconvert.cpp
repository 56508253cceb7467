// The spreadsheet's headless conversions, run as the command line runs them, and the
// exchange with LibreOffice when it is installed.
#include "common/converterregistry.h"
#include "common/ui/fonts.h"
#include "common/velmoraerror.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"
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
// file by LibreOffice, and that file read back shows the same values, names, bold and widths.
void TestTF1BookConvert::libreOfficeReadsOurWorkbook()
{
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_qs);
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    Workbook book;
    book.renameSheet(0, u"Recettes"_qs);
    book.setEntry(0, 1, 1, u"Total"_qs);
    book.setEntry(0, 2, 1, u"12,5"_qs);
    book.setEntry(0, 3, 1, u"=A2*4"_qs);
    book.modifyFormat(0, CellRange::single(1, 1), [](CellFormat &f) { f.bold = true; });
    book.setColumnWidth(0, 1, 1, 2880); // two inches
    const QString in = dir.filePath(u"lo.qvc"_qs);
    qvc::writeFile(in, book);
    // LibreOffice goes by the content, not the name: give it the name it expects.
    const QString fods = dir.filePath(u"lo-in.fods"_qs);
    QFile::copy(in, fods);
    const QString outDir = dir.filePath(u"lo-out"_qs);
    QProcess p;
    p.start(soffice, {u"--headless"_qs, u"--convert-to"_qs, u"fods"_qs, u"--outdir"_qs, outDir, fods});
    QVERIFY(p.waitForFinished(120000));
    Workbook back;
    qvc::readFile(outDir + u"/lo-in.fods"_qs, back);
    QCOMPARE(back.sheetName(0), u"Recettes"_qs);
    QCOMPARE(back.displayText(0, 1, 1), u"Total"_qs);
    QCOMPARE(back.value(0, 3, 1).asNumber(), 50.0);
    QVERIFY(back.format(0, 1, 1).bold);
    QVERIFY(qAbs(back.columnWidth(0, 1) - 2880) <= 30);
}

QTEST_MAIN(TestTF1BookConvert)
#include "tst_tf1bookconvert.moc"
