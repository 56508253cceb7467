// Spreadsheet commands that must not lose the user's work: removing a sheet that holds
// data asks first, and showing formulas or the grid keeps the current cell (the next
// entry goes where the user is, not into A1).
#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "shell/ui/tmainform.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/ui/sheetview.h"
#include "spreadsheet/ui/spreadsheettools.h"
#include "spreadsheet/ui/tf1book.h"
#include "spreadsheet/ui/tonglet.h"
#include "spreadsheet/ui/ttableur.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
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

QTEST_MAIN(TestSheetSafety)
#include "tst_sheetsafety.moc"
