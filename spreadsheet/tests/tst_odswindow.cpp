// ".ods" workbooks in the program: "Ouvrir" opens them into a spreadsheet window, "Enregistrer"
// keeps them packages, "Enregistrer sous" writes one for a name ending in ".ods", a damaged one
// is reported without harm, and the headless conversions to and from ".ods".
#include "common/converterregistry.h"
#include "common/ui/errorhandler.h"
#include "common/ui/fonts.h"
#include "common/ui/messageboxes.h"
#include "common/velmoraerror.h"
#include "shell/ui/tmainform.h"
#include "spreadsheet/core/odsfile.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/ui/sheetview.h"
#include "spreadsheet/ui/spreadsheetmodule.h"
#include "spreadsheet/ui/spreadsheettools.h"
#include "spreadsheet/ui/tf1book.h"
#include "spreadsheet/ui/ttableur.h"
#include "spreadsheet/tests/sheetframe.h"

#include <QAction>
#include <QFileDialog>
#include <QTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>

using namespace sheet;

class TestOdsWindow
    : public QObject
    , protected SheetFrame
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void fileNameRule_data();
    void fileNameRule();
    void saveDialogOffersOds();
    void openEditSaveReopen();
    void saveAsDialogWithTheOdsFilter();
    void damagedPackageIsReported();
    void conversions_data();
    void conversions();
    void badPackageConversionWritesNothing();

private:
    QByteArray fileBytes(const QString &path);

    QTemporaryDir dir;
    ConverterRegistry registry;
};

void TestOdsWindow::initTestCase()
{
    fonts::installSubstitutions();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    SpreadsheetModule::registerConverters(registry);
}

void TestOdsWindow::init() { startFrame(); }

void TestOdsWindow::cleanup() { stopFrame(); }

QByteArray TestOdsWindow::fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestOdsWindow::fileNameRule_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("written");
    QTest::newRow("ods kept") << u"/data/bilan.ods"_qs << u"/data/bilan.ods"_qs;
    QTest::newRow("upper case") << u"/data/Bilan.ODS"_qs << u"/data/Bilan.ods"_qs;
    QTest::newRow("two dots") << u"/data/bilan.2026.ods"_qs << u"/data/bilan.ods"_qs;
    QTest::newRow("dot in a directory") << u"/home/m.dupont/bilan.ods"_qs << u"/home/m.dupont/bilan.ods"_qs;
    QTest::newRow("other names still qvc") << u"/data/ods.xls"_qs << u"/data/ods.qvc"_qs;
}

void TestOdsWindow::fileNameRule()
{
    QFETCH(QString, given);
    QFETCH(QString, written);
    QCOMPARE(TTableur::workbookFileName(given), written);
}

void TestOdsWindow::saveDialogOffersOds()
{
    const QStringList filters = TTableur::kSaveFilter.split(u";;"_qs);
    QCOMPARE(filters.value(0), u"Fichier tableur (*.qvc)"_qs);
    QCOMPARE(filters.value(1), u"Classeur OpenDocument (*.ods)"_qs);
}

// A package opened with "Ouvrir", changed by typing, saved with "Enregistrer": still a
// package under its name, and opened again it shows the change.
void TestOdsWindow::openEditSaveReopen()
{
    Workbook book;
    book.renameSheet(0, u"Budget"_qs);
    book.setEntry(0, 1, 1, u"Loyer"_qs);
    book.setEntry(0, 1, 2, u"800"_qs);
    book.setEntry(0, 2, 2, u"=B1*12"_qs);
    const QString path = dir.filePath(u"budget.ods"_qs);
    workbookfile::write(path, book);

    form->setOpenDialogHook([&] { return path; });
    trigger("FileOpenItem");
    auto *t = qobject_cast<TTableur *>(form->activeDocument());
    QVERIFY(t);
    QCOMPARE(form->mdiArea()->currentSubWindow()->windowTitle(), u"budget.ods"_qs);
    QCOMPARE(t->F1Book1->SheetName(1), u"Budget"_qs);
    QCOMPARE(t->F1Book1->workbook().value(0, 2, 2).asNumber(), 9600.0);
    QVERIFY(!t->F1Book1->Modified());

    // B1 := 900, clicked and typed into the grid.
    SheetView *v = t->F1Book1->view();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(v->model()->index(0, 1)).center());
    QTRY_COMPARE(t->F1Book1->Col(), 2);
    QTest::keyClick(v, Qt::Key_9);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_0); // the editor has opened
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(t->F1Book1->workbook().value(0, 2, 2).asNumber(), 10800.0);
    QVERIFY(t->F1Book1->Modified());
    trigger("FileSaveItem");
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
    QVERIFY(!t->F1Book1->Modified());
    QCOMPARE(t->NomFichier(), path);
    QVERIFY(!QFile::exists(dir.filePath(u"budget.qvc"_qs)));
    QVERIFY(ods::isPackage(fileBytes(path)));

    form->openFile(path);
    auto *again = qobject_cast<TTableur *>(form->activeDocument());
    QVERIFY(again && again != t);
    QCOMPARE(again->F1Book1->workbook().value(0, 1, 2).asNumber(), 900.0);
    QCOMPARE(again->F1Book1->workbook().formulaText(0, 2, 2), t->F1Book1->workbook().formulaText(0, 2, 2));
    QCOMPARE(again->F1Book1->workbook().value(0, 2, 2).asNumber(), 10800.0);
}

// In the save dialog itself: a name typed without suffix, with "Classeur OpenDocument
// (*.ods)" chosen, gives a package named ".ods".
void TestOdsWindow::saveAsDialogWithTheOdsFilter()
{
    trigger("Tableur1");
    auto *t = qobject_cast<TTableur *>(form->activeDocument());
    QVERIFY(t);
    t->F1Book1->workbook().setEntry(0, 1, 1, u"Dépenses"_qs);
    bool answered = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->selectNameFilter(u"Classeur OpenDocument (*.ods)"_qs);
        dialog->selectFile(dir.filePath(u"depenses"_qs));
        answered = true;
        static_cast<QDialog *>(dialog)->accept(); // as the "Enregistrer" button does
    });
    trigger("FileSaveAsItem");
    QVERIFY(answered);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
    const QString written = dir.filePath(u"depenses.ods"_qs);
    QCOMPARE(t->NomFichier(), written);
    QVERIFY(ods::isPackage(fileBytes(written)));
    QVERIFY(!QFile::exists(dir.filePath(u"depenses.qvc"_qs)));
}

// A damaged package: the message says so, the window stays a new workbook (a later save
// never writes over the file), and the file is left as it was.
void TestOdsWindow::damagedPackageIsReported()
{
    const QString path = dir.filePath(u"abime.ods"_qs);
    Workbook book;
    book.setEntry(0, 1, 1, u"1"_qs);
    const QByteArray cut = ods::write(book).left(200);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(cut);
    f.close();
    form->openFile(path);
    auto *t = qobject_cast<TTableur *>(form->activeDocument());
    QVERIFY(t);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].contains(u"endommagé"_qs), qPrintable(errors[0]));
    QVERIFY(t->NomFichier().isEmpty());
    QCOMPARE(t->windowTitle(), u"Tableur"_qs);
    QCOMPARE(fileBytes(path), cut);
}

void TestOdsWindow::conversions_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("input"); // suffix of the file converted
    QTest::newRow("qvc to ods") << u"ods"_qs << u"qvc"_qs;
    QTest::newRow("ods to ods") << u"ods"_qs << u"ods"_qs;
    QTest::newRow("csv to ods") << u"ods"_qs << u"csv"_qs;
    QTest::newRow("ods to qvc") << u"qvc"_qs << u"ods"_qs;
    QTest::newRow("ods to csv") << u"csv"_qs << u"ods"_qs;
    QTest::newRow("ods to pdf") << u"pdf"_qs << u"ods"_qs;
}

// Each conversion as the command line runs it; what it writes is read back.
void TestOdsWindow::conversions()
{
    QFETCH(QString, format);
    QFETCH(QString, input);
    Workbook book;
    book.setEntry(0, 1, 1, u"Pain"_qs);
    book.setEntry(0, 1, 2, u"1,25"_qs);
    book.setEntry(0, 2, 2, u"=B1*4"_qs);
    const QString in = dir.filePath(u"entree."_qs + input);
    if (input == u"csv") {
        QFile f(in);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Pain;1.25\r\n;5\r\n");
    } else {
        workbookfile::write(in, book);
    }
    const QString out = dir.filePath(u"sortie-%1-%2.%2"_qs.arg(input, format));
    const Converter *c = registry.find(format, input);
    QVERIFY(c);
    c->run(ConversionJob{in, out, {}});
    const QByteArray bytes = fileBytes(out);
    if (format == u"pdf") {
        QVERIFY(bytes.startsWith("%PDF"));
        return;
    }
    if (format == u"csv") {
        QCOMPARE(bytes, QByteArray("Pain;1.25\r\n;5\r\n"));
        return;
    }
    QCOMPARE(ods::isPackage(bytes), format == u"ods");
    Workbook back;
    workbookfile::read(out, back);
    QCOMPARE(back.displayText(0, 1, 1), u"Pain"_qs);
    QCOMPARE(back.value(0, 1, 2).asNumber(), 1.25);
    QCOMPARE(back.value(0, 2, 2).asNumber(), 5.0);
}

void TestOdsWindow::badPackageConversionWritesNothing()
{
    const QString in = dir.filePath(u"faux.ods"_qs);
    QFile f(in);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("PK\x03\x04 pas un classeur");
    f.close();
    for (const QString &format : {u"csv"_qs, u"qvc"_qs, u"ods"_qs}) {
        const QString out = dir.filePath(u"faux-sortie."_qs + format);
        QVERIFY_THROWS_EXCEPTION(VelmoraError, registry.find(format, u"ods"_qs)->run(ConversionJob{in, out, {}}));
        QVERIFY(!QFile::exists(out));
    }
}

QTEST_MAIN(TestOdsWindow)
#include "tst_odswindow.moc"
