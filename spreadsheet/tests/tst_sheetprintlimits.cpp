// Printing huge sheets to PDF stays quick: a sheet of millions of cells is refused with a
// message before any page, and a cell holding a million characters prints in one page.
#include "common/velmoraerror.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/ui/sheetprinter.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using namespace sheet;

class TestSheetPrintLimits : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void printsQuicklyOrSaysWhy_data();
    void printsQuicklyOrSaysWhy();
};

namespace {

// A workbook of ROWS x COLS cells holding TEXT, from a file of a few hundred bytes.
QByteArray repeatedCells(int rows, int cols, const QByteArray &text)
{
    return "<?xml version=\"1.0\"?><office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>"
           "<table:table table:name=\"A\"><table:table-row table:number-rows-repeated=\""
            + QByteArray::number(rows)
            + "\"><table:table-cell office:value-type=\"string\" table:number-columns-repeated=\""
            + QByteArray::number(cols) + "\"><text:p>" + text
            + "</text:p></table:table-cell></table:table-row></table:table></office:spreadsheet></office:body>"
              "</office:document>";
}

} // namespace

void TestSheetPrintLimits::printsQuicklyOrSaysWhy_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("printed");
    QTest::newRow("4 million cells") << repeatedCells(16000, 256, "x") << false;
    QTest::newRow("a million characters in a cell") << repeatedCells(1, 1, QByteArray(1'000'000, 'w')) << true;
    QTest::newRow("long texts over a few pages") << repeatedCells(100, 3, QByteArray(20'000, 'w')) << true;
}

void TestSheetPrintLimits::printsQuicklyOrSaysWhy()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, printed);
    Workbook book;
    qvc::read(file, book);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    QElapsedTimer clock;
    clock.start();
    QString message;
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        try {
            sheetprinter::print(book, printer, 0);
        } catch (const VelmoraError &e) {
            message = e.message();
        }
    }
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    if (printed) {
        QVERIFY2(message.isEmpty(), qPrintable(message));
        QVERIFY(QFileInfo(pdf).size() > 0);
    } else {
        QVERIFY2(message.startsWith(u"L'impression demanderait ") && message.contains(u"500"), qPrintable(message));
    }
}

QTEST_MAIN(TestSheetPrintLimits)
#include "tst_sheetprintlimits.moc"
