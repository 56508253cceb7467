// Spreadsheet commands that must not lose the user's work: removing a sheet that holds
// data asks first, and showing formulas or the grid keeps the current cell (the next
// entry goes where the user is, not into A1).
#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "shell/ui/tmainform.h"
#include "common/tests/testfiles.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/ui/sheetview.h"
#include "spreadsheet/ui/spreadsheettools.h"
#include "spreadsheet/ui/tf1book.h"
#include "spreadsheet/ui/tonglet.h"
#include "spreadsheet/ui/ttableur.h"

#include <QAction>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestSheetSafety : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void displayCommandsKeepTheCurrentCell_data();
    void displayCommandsKeepTheCurrentCell();
    void removingASheetWithDataAsks();
    void cellsLeftOutAreCounted_data();
    void cellsLeftOutAreCounted();
    void openingSaysSoAndSavingAsks();

private:
    TTableur *newSheet();
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<SpreadsheetTools> tools;
    QList<messageboxes::Shown> boxes;
    messageboxes::Answer answer = messageboxes::Answer::Non;
};

void TestSheetSafety::init()
{
    boxes.clear();
    messageboxes::setResponder([this](const messageboxes::Shown &s) {
        boxes << s;
        return answer;
    });
    tools = std::make_unique<SpreadsheetTools>();
    form = std::make_unique<TMainForm>();
    form->setWindowFactory([this](DocKind kind, FrameServices &frame) -> DocumentWindow * {
        return kind == DocKind::Tableur ? new TTableur(frame, *tools) : nullptr;
    });
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestSheetSafety::cleanup()
{
    answer = messageboxes::Answer::Non;
    form.reset();
    tools.reset();
    messageboxes::setResponder({});
}

TTableur *TestSheetSafety::newSheet()
{
    form->action(u"Tableur1"_s)->trigger();
    auto *t = qobject_cast<TTableur *>(form->activeDocument());
    if (t)
        t->F1Book1->view()->setFocus();
    return t;
}

void TestSheetSafety::displayCommandsKeepTheCurrentCell_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("formulas") << u"Montrerlesformules1"_s;
    QTest::newRow("grid") << u"Montrerlagrille1"_s;
}

void TestSheetSafety::displayCommandsKeepTheCurrentCell()
{
    QFETCH(QString, action);
    TTableur *t = newSheet();
    QVERIFY(t);
    SheetView *v = t->F1Book1->view();
    const QModelIndex c5 = v->model()->index(4, 2);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(c5).center());
    QTRY_COMPARE(t->F1Book1->Row(), 5);
    QCOMPARE(t->F1Book1->Col(), 3);
    form->action(action)->trigger();
    QCOMPARE(t->F1Book1->Row(), 5);
    QCOMPARE(t->F1Book1->Col(), 3);
    v->setFocus();
    QTest::keyClick(v, Qt::Key_1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_2); // the editor has opened
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(t->F1Book1->workbook().entryText(0, 5, 3), u"12"_s);
    QCOMPARE(t->F1Book1->workbook().entryText(0, 1, 1), QString());
}

void TestSheetSafety::removingASheetWithDataAsks()
{
    TTableur *t = newSheet();
    QVERIFY(t);
    t->F1Book1->SetNumSheets(3);
    t->F1Book1->workbook().setEntry(1, 2, 2, u"à garder"_s); // on the second sheet only
    const QString second = t->F1Book1->SheetName(2);
    int listed = -1;
    tools->setRunner([&](QDialog &d) {
        auto &o = static_cast<TOnglet &>(d);
        for (int row : {2, 1, 1}) { // the empty third sheet, then the second one twice
            if (row >= o.ListBox1->count())
                break;
            o.ListBox1->setCurrentRow(row);
            o.ListBox1->currentItem()->setSelected(true);
            QTest::mouseClick(o.Button3, Qt::LeftButton);
            if (!boxes.isEmpty())
                answer = messageboxes::Answer::Oui; // "Non" the first time it is asked
        }
        listed = o.ListBox1->count();
        o.Button1->click();
        return int(QDialog::Accepted);
    });
    form->action(u"Onglets1"_s)->trigger();
    QCOMPARE(boxes.size(), 2); // asked for the sheet with data only, each time
    QVERIFY(boxes[0].text.contains(u"« %1 » contient des données"_s.arg(second)));
    QCOMPARE(listed, 1);
    QCOMPARE(t->F1Book1->NumSheets(), 1);
}

namespace {

// A workbook of two rows, A1 and A2, with `extraCells` added to the second row and
// `extraRows` after it.
QByteArray workbookWith(const QByteArray &extraCells, const QByteArray &extraRows)
{
    sheet::Workbook book;
    book.setEntry(0, 1, 1, u"haut"_s);
    book.setEntry(0, 2, 1, u"2"_s);
    QByteArray bytes = sheet::qvc::write(book);
    const qsizetype rowEnd = bytes.lastIndexOf("</table:table-row>");
    bytes.insert(rowEnd + qsizetype(qstrlen("</table:table-row>")), extraRows);
    bytes.insert(rowEnd, extraCells);
    return bytes;
}

const QByteArray kFar = "<table:table-cell table:number-columns-repeated=\"300\"/>"
                        "<table:table-cell office:value-type=\"string\"><text:p>loin</text:p></table:table-cell>";
const QByteArray kLow = "<table:table-row table:number-rows-repeated=\"1048576\"><table:table-cell "
                        "table:number-columns-repeated=\"3\"/></table:table-row><table:table-row>"
                        "<table:table-cell office:value-type=\"string\"><text:p>bas</text:p></table:table-cell>"
                        "</table:table-row>";
const QByteArray kHuge = "<table:table-cell office:value-type=\"float\" office:value=\"1e999\"><text:p>1e999</text:p>"
                         "</table:table-cell>";

} // namespace

void TestSheetSafety::cellsLeftOutAreCounted_data()
{
    QTest::addColumn<QByteArray>("cells");
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<int>("leftOut");
    QTest::newRow("nothing beyond") << QByteArray() << QByteArray() << 0;
    QTest::newRow("beyond column IV") << kFar << QByteArray() << 1;
    QTest::newRow("beyond row 1048576") << QByteArray() << kLow << 1;
    QTest::newRow("number that does not read") << kHuge << QByteArray() << 1;
    QTest::newRow("empty cells far away") << QByteArray("<table:table-cell table:number-columns-repeated=\"900\"/>")
                                          << QByteArray("<table:table-row table:number-rows-repeated=\"2000000\">"
                                                        "<table:table-cell/></table:table-row>")
                                          << 0;
    QTest::newRow("all three") << kHuge + kFar << kLow << 3;
}

void TestSheetSafety::cellsLeftOutAreCounted()
{
    QFETCH(QByteArray, cells);
    QFETCH(QByteArray, rows);
    QFETCH(int, leftOut);
    sheet::Workbook book;
    int count = -1;
    sheet::qvc::read(workbookWith(cells, rows), book, &count);
    QCOMPARE(count, leftOut);
    QCOMPARE(book.entryText(0, 1, 1), u"haut"_s);
}

void TestSheetSafety::openingSaysSoAndSavingAsks()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"grand.qvc"_s);
    const QByteArray file = workbookWith(kFar, kLow);
    QVERIFY(testfiles::spit(path, file));
    form->openFile(path);
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.startsWith(u"2 cellules de ce classeur n'ont pas pu être lues"_s),
             qPrintable(boxes[0].text));
    auto *t = qobject_cast<TTableur *>(form->activeDocument());
    QVERIFY(t);
    t->F1Book1->workbook().setEntry(0, 3, 1, u"ajout"_s);
    form->action(u"FileSaveItem"_s)->trigger(); // "Non": nothing written
    QCOMPARE(boxes.size(), 2);
    QVERIFY(boxes[1].text.endsWith(u"Enregistrer quand même ?"_s));
    QCOMPARE(testfiles::slurp(path), file);
    answer = messageboxes::Answer::Oui;
    form->action(u"FileSaveItem"_s)->trigger();
    QCOMPARE(boxes.size(), 3);
    QVERIFY(testfiles::slurp(path).contains("ajout"));
    QVERIFY(!testfiles::slurp(path).contains("loin"));
}

QTEST_MAIN(TestSheetSafety)
#include "tst_sheetsafety.moc"
