// The workbook control driven as a user drives it: typing into cells, moving and selecting
// with the keyboard and the mouse, the clipboard, sheet tabs, frozen panes and printing.
#include "common/ui/errorhandler.h"
#include "common/ui/fonts.h"
#include "spreadsheet/core/rangeclipboard.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/ui/celldelegate.h"
#include "spreadsheet/ui/sheetmodel.h"
#include "spreadsheet/ui/sheetprinter.h"
#include "spreadsheet/ui/sheetview.h"
#include "spreadsheet/ui/tf1book.h"

#include <QAccessible>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace sheet;

class TestTF1Book : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void modelGivesValuesFormulasAndFormats();
    void headersShowLettersAndNumbers();
    void alignmentCodes_data();
    void alignmentCodes();
    void typingEntersAndMovesDown_data();
    void typingEntersAndMovesDown();
    void editorShowsTheFormula();
    void refusedFormulaStaysInTheEditor();
    void escapeKeepsTheCell();
    void keyboardSelection();
    void headerClickSelectsRowOrColumn();
    void selChangeAfterEverySelectionChange();
    void deleteClearsTheSelection();
    void copyPasteKeepsFormulasWithinVelmora();
    void copyGivesTabSeparatedText();
    void pasteTextFromAnotherProgram();
    void cutMovesTheCells();
    void insertAndDeleteRowsFollowSelection();
    void sheetTabsSwitchSheets();
    void frozenRowsStayInView();
    void frozenPanesMoveOneCellAndSelectAcross();
    void frozenPanesShareRowHeights();
    void chartIsUndoneAndRemoved();
    void ctrlEndGoesToTheLastUsedCell();
    void largerFontGrowsTheRow();
    void numbersTooWideAreRoundedNotCut();
    void accessibilityShowsTheScreenOnly();
    void autoFitWidensToTheText();
    void chartIsDrawnOverTheSheet();
    void printLayoutCutsPages();
    void printShowsLettersNumbersAndCells();

private:
    void type(QWidget *w, const QString &text);
    void clickCell(int row, int col);
    QList<int> selection() const; // first row, first column, last row, last column
    void clickIn(SheetView *pane, int row, int col, Qt::KeyboardModifiers mods = {});
    std::unique_ptr<TF1Book> book;
    QStringList errors;
};

void TestTF1Book::initTestCase()
{
    fonts::installSubstitutions();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestTF1Book::init()
{
    errors.clear();
    errorhandler::setSink([this](const QString &m) { errors << m; });
    book = std::make_unique<TF1Book>();
    book->resize(600, 400);
    book->show();
    QVERIFY(QTest::qWaitForWindowExposed(book.get()));
    book->view()->setFocus();
}

void TestTF1Book::cleanup()
{
    book.reset();
    errorhandler::setSink({});
}

// Keys go where the user's keys would: to the widget with the focus (the editor once it opens).
void TestTF1Book::type(QWidget *w, const QString &text)
{
    for (QChar ch : text) {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
        QTest::keyClick(target, char(ch.unicode()));
    }
}

void TestTF1Book::clickCell(int row, int col)
{
    SheetView *v = book->view();
    const QRect r = v->visualRect(book->model()->index(row - 1, col - 1));
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, r.center());
}

void TestTF1Book::modelGivesValuesFormulasAndFormats()
{
    Workbook &wb = book->workbook();
    wb.setEntry(0, 1, 1, u"12,5"_qs);
    wb.setEntry(0, 2, 1, u"=A1*2"_qs);
    wb.setEntry(0, 3, 1, u"texte"_qs);
    wb.modifyFormat(0, CellRange::single(3, 1), [](CellFormat &f) {
        f.bold = true;
        f.horizontal = AlignCenter;
        f.colour = 0xff0000;
    });
    SheetModel *m = book->model();
    QCOMPARE(m->index(1, 0).data().toString(), u"25"_qs);
    QCOMPARE(m->index(1, 0).data(Qt::EditRole).toString(), u"=A1*2"_qs);
    QVERIFY(!m->index(9, 9).data().isValid());
    // Numbers right, formatted cells as set.
    QCOMPARE(m->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
             Qt::AlignRight);
    QCOMPARE(m->index(2, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    QVERIFY(m->index(2, 0).data(Qt::FontRole).value<QFont>().bold());
    QCOMPARE(m->index(2, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QCOMPARE(m->index(0, 0).data(Qt::FontRole).value<QFont>().pointSizeF(), 10.0);
    // A change of A1 repaints A2, which depends on it.
    QSignalSpy spy(m, &QAbstractItemModel::dataChanged);
    wb.setEntry(0, 1, 1, u"1"_qs);
    QVERIFY(!spy.isEmpty());
    bool a2 = false;
    for (const auto &args : spy) {
        const QModelIndex tl = args[0].toModelIndex(), br = args[1].toModelIndex();
        a2 = a2 || (tl.row() <= 1 && br.row() >= 1 && tl.column() <= 0 && br.column() >= 0);
    }
    QVERIFY(a2);
    QCOMPARE(m->index(1, 0).data().toString(), u"2"_qs);
}

void TestTF1Book::headersShowLettersAndNumbers()
{
    SheetModel *m = book->model();
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), u"A"_qs);
    QCOMPARE(m->headerData(26, Qt::Horizontal).toString(), u"AA"_qs);
    QCOMPARE(m->headerData(255, Qt::Horizontal).toString(), u"IV"_qs);
    QCOMPARE(m->headerData(0, Qt::Vertical).toString(), u"1"_qs);
    QCOMPARE(m->columnCount(), 256);
    QVERIFY(m->rowCount() >= 16384);
}

void TestTF1Book::typingEntersAndMovesDown_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("decimal comma") << u"1,5"_qs << u"1,5"_qs;
    QTest::newRow("text") << u"Loyer"_qs << u"Loyer"_qs;
    QTest::newRow("formula") << u"=2*3"_qs << u"6"_qs;
}

void TestTF1Book::typingEntersAndMovesDown()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    clickCell(3, 2);
    QCOMPARE(book->Row(), 3);
    QCOMPARE(book->Col(), 2);
    type(book->view(), typed);
    QVERIFY(book->IsEditing());
    QCOMPARE(book->EditorText(), typed);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(!book->IsEditing());
    QCOMPARE(book->workbook().displayText(0, 3, 2), shown);
    QCOMPARE(book->Row(), 4); // Enter moves down
    QVERIFY(book->Modified());
}

void TestTF1Book::editorShowsTheFormula()
{
    book->workbook().setEntry(0, 1, 1, u"4"_qs);
    book->workbook().setEntry(0, 1, 2, u"=A1+1"_qs);
    clickCell(1, 2);
    QCOMPARE(book->view()->currentIndex().data().toString(), u"5"_qs);
    QTest::keyClick(book->view(), Qt::Key_F2);
    QCOMPARE(book->EditorText(), u"=A1+1"_qs);
    // Typing replaces, Escape gives the cell back untouched.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(book->workbook().formulaText(0, 1, 2), u"=A1+1"_qs);
}

void TestTF1Book::refusedFormulaStaysInTheEditor()
{
    clickCell(2, 2);
    type(book->view(), u"=SUM(1;"_qs);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(errors.size(), 1);
    QTRY_VERIFY(book->IsEditing());
    QCOMPARE(book->EditorText(), u"=SUM(1;"_qs);
    QCOMPARE(book->Row(), 2);
    QVERIFY(book->workbook().value(0, 2, 2).isEmpty());
    // Mended, it goes in.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_ParenRight);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(book->workbook().displayText(0, 2, 2), u"3"_qs);
}

void TestTF1Book::escapeKeepsTheCell()
{
    book->workbook().setEntry(0, 1, 1, u"Nom"_qs);
    book->SetModified(false);
    clickCell(1, 1);
    type(book->view(), u"xyz"_qs);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(book->workbook().displayText(0, 1, 1), u"Nom"_qs);
    QVERIFY(!book->Modified());
}

void TestTF1Book::keyboardSelection()
{
    clickCell(2, 2);
    QTest::keyClick(book->view(), Qt::Key_Right);
    QTest::keyClick(book->view(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(book->view(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(book->view(), Qt::Key_Right, Qt::ShiftModifier);
    int r1, c1, r2, c2;
    book->GetSelection(0, r1, c1, r2, c2);
    QCOMPARE(QList<int>({r1, c1, r2, c2}), QList<int>({2, 3, 4, 4}));
    QCOMPARE(book->Row(), 4);
    QCOMPARE(book->Col(), 4);
    QTest::keyClick(book->view(), Qt::Key_Up);
    book->GetSelection(0, r1, c1, r2, c2);
    QCOMPARE(QList<int>({r1, c1, r2, c2}), QList<int>({3, 4, 3, 4}));
}

void TestTF1Book::headerClickSelectsRowOrColumn()
{
    QHeaderView *h = book->view()->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(2) + h->sectionSize(2) / 2, h->height() / 2));
    int r1, c1, r2, c2;
    book->GetSelection(0, r1, c1, r2, c2);
    QCOMPARE(QList<int>({r1, c1, r2, c2}), QList<int>({1, 3, kMaxRows, 3}));
    QHeaderView *v = book->view()->verticalHeader();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {},
                      QPoint(v->viewport()->width() / 2, v->sectionViewportPosition(4) + v->sectionSize(4) / 2));
    book->GetSelection(0, r1, c1, r2, c2);
    QCOMPARE(QList<int>({r1, c1, r2, c2}), QList<int>({5, 1, 5, kMaxColumns}));
    // Shift extends from the row clicked last.
    QTest::mouseClick(v->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(v->viewport()->width() / 2, v->sectionViewportPosition(6) + v->sectionSize(6) / 2));
    book->GetSelection(0, r1, c1, r2, c2);
    QCOMPARE(QList<int>({r1, c1, r2, c2}), QList<int>({5, 1, 7, kMaxColumns}));
}

void TestTF1Book::selChangeAfterEverySelectionChange()
{
    QSignalSpy spy(book.get(), &TF1Book::SelChange);
    // One event for one move, however many steps the view takes to make it.
    clickCell(2, 2);
    QTRY_COMPARE(spy.count(), 1);
    QTest::keyClick(book->view(), Qt::Key_Down);
    QTRY_COMPARE(spy.count(), 2);
    QTest::keyClick(book->view(), Qt::Key_Right, Qt::ShiftModifier);
    QTRY_COMPARE(spy.count(), 3);
    book->SetSheet(2);
    QCOMPARE(spy.count(), 4); // at once when the program moves
    book->SetActiveCell(3, 3);
    QCOMPARE(spy.count(), 5);
    clickCell(3, 3); // the same cell again: nothing changed
    QTest::qWait(20);
    QCOMPARE(spy.count(), 5);
}

void TestTF1Book::deleteClearsTheSelection()
{
    for (int r = 1; r <= 3; ++r)
        book->workbook().setEntry(0, r, 1, QString::number(r));
    book->SetSelection(1, 1, 2, 1);
    QTest::keyClick(book->view(), Qt::Key_Delete);
    QVERIFY(book->workbook().value(0, 1, 1).isEmpty());
    QVERIFY(book->workbook().value(0, 2, 1).isEmpty());
    QCOMPARE(book->workbook().displayText(0, 3, 1), u"3"_qs);
}

void TestTF1Book::copyPasteKeepsFormulasWithinVelmora()
{
    Workbook &wb = book->workbook();
    wb.setEntry(0, 1, 1, u"2"_qs);
    wb.setEntry(0, 2, 1, u"=A1*10"_qs);
    book->SetSelection(1, 1, 2, 1);
    book->EditCopy();
    QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat(QString::fromLatin1(clipboard::kMimeType)));
    book->SetActiveCell(5, 3);
    book->EditPaste();
    QCOMPARE(wb.formulaText(0, 6, 3), u"=C5*10"_qs); // relative reference followed the paste
    QCOMPARE(wb.displayText(0, 6, 3), u"20"_qs);
    int r1, c1, r2, c2;
    book->GetSelection(0, r1, c1, r2, c2);
    QCOMPARE(QList<int>({r1, c1, r2, c2}), QList<int>({5, 3, 6, 3}));
}

void TestTF1Book::copyGivesTabSeparatedText()
{
    Workbook &wb = book->workbook();
    wb.setEntry(0, 1, 1, u"Nom"_qs);
    wb.setEntry(0, 1, 2, u"1,5"_qs);
    wb.setEntry(0, 2, 2, u"=B1*2"_qs);
    book->SetSelection(1, 1, 2, 2);
    book->EditCopy();
    const QString text = QGuiApplication::clipboard()->text();
    QVERIFY2(text.startsWith(u"Nom\t1,5"_qs), qPrintable(text));
    QVERIFY2(text.contains(u"\t3"_qs), qPrintable(text));
}

void TestTF1Book::pasteTextFromAnotherProgram()
{
    QGuiApplication::clipboard()->setText(u"a\tb\n1\t2,5\n"_qs);
    book->SetActiveCell(2, 2);
    book->EditPaste();
    Workbook &wb = book->workbook();
    QCOMPARE(wb.displayText(0, 2, 2), u"a"_qs);
    QCOMPARE(wb.displayText(0, 2, 3), u"b"_qs);
    QCOMPARE(wb.value(0, 3, 3).asNumber(), 2.5);
}

void TestTF1Book::cutMovesTheCells()
{
    Workbook &wb = book->workbook();
    wb.setEntry(0, 1, 1, u"7"_qs);
    book->SetActiveCell(1, 1);
    book->EditCut();
    QVERIFY(wb.value(0, 1, 1).isEmpty());
    book->SetActiveCell(4, 4);
    book->EditPaste();
    QCOMPARE(wb.value(0, 4, 4).asNumber(), 7.0);
    // A cut total pasted elsewhere still adds up the same cells; a copied one follows.
    wb.setEntry(0, 1, 2, u"5"_qs);
    wb.setEntry(0, 2, 2, u"6"_qs);
    wb.setEntry(0, 3, 2, u"=SUM(B1:B2)"_qs);
    book->SetActiveCell(3, 2);
    book->EditCut();
    book->SetActiveCell(9, 3);
    book->EditPaste();
    QCOMPARE(wb.formulaText(0, 9, 3), u"=SOMME(B1:B2)"_qs);
    QCOMPARE(wb.value(0, 9, 3).asNumber(), 11.0);
    book->SetActiveCell(9, 3);
    book->EditCopy();
    book->SetActiveCell(10, 4);
    book->EditPaste();
    QCOMPARE(wb.formulaText(0, 10, 4), u"=SOMME(C2:C3)"_qs);
    // Cells read by others, moved: the readers follow them, absolute references too; a
    // range only partly moved stays as it was.
    wb.setEntry(0, 20, 1, u"3"_qs);
    wb.setEntry(0, 21, 1, u"4"_qs);
    wb.setEntry(0, 22, 1, u"=A20*A21+$A$20"_qs);
    wb.setEntry(0, 23, 1, u"=SUM(A20:A21)"_qs);
    wb.setEntry(0, 24, 1, u"=SUM(A19:A20)"_qs);
    book->SetSelection(20, 1, 21, 1);
    book->EditCut();
    QCOMPARE(wb.value(0, 22, 1).asNumber(), 0.0);
    book->SetActiveCell(30, 5);
    book->EditPaste();
    QCOMPARE(wb.formulaText(0, 22, 1), u"=E30*E31+$E$30"_qs);
    QCOMPARE(wb.value(0, 22, 1).asNumber(), 15.0);
    QCOMPARE(wb.formulaText(0, 23, 1), u"=SOMME(E30:E31)"_qs);
    QCOMPARE(wb.value(0, 23, 1).asNumber(), 7.0);
    QCOMPARE(wb.formulaText(0, 24, 1), u"=SOMME(A19:A20)"_qs);
    // Into another sheet the cells go as they are, a moved formula still reading the sheet
    // it came from, and nothing else changes.
    wb.setEntry(0, 40, 1, u"8"_qs);
    wb.setEntry(0, 41, 1, u"=A40"_qs);
    wb.setEntry(0, 40, 2, u"=A50*2"_qs);
    wb.setEntry(0, 50, 1, u"21"_qs);
    book->SetSelection(40, 1, 40, 2);
    book->EditCut();
    book->SetSheet(2);
    book->SetActiveCell(1, 1);
    book->EditPaste();
    QCOMPARE(wb.value(1, 1, 1).asNumber(), 8.0);
    QCOMPARE(wb.formulaText(1, 1, 2), u"=Feuil1!A50*2"_qs);
    QCOMPARE(wb.value(1, 1, 2).asNumber(), 42.0);
    QCOMPARE(wb.formulaText(0, 41, 1), u"=A40"_qs);
}

void TestTF1Book::insertAndDeleteRowsFollowSelection()
{
    Workbook &wb = book->workbook();
    wb.setEntry(0, 1, 1, u"un"_qs);
    wb.setEntry(0, 2, 1, u"deux"_qs);
    wb.setEntry(0, 3, 1, u"=A2"_qs);
    book->SetSelection(2, 1, 3, 2); // two rows
    book->EditInsert(TF1Book::ShiftRows);
    QCOMPARE(wb.displayText(0, 4, 1), u"deux"_qs);
    QCOMPARE(wb.formulaText(0, 5, 1), u"=A4"_qs);
    book->SetSelection(1, 1, 1, 1);
    book->EditDelete(TF1Book::ShiftRows);
    QCOMPARE(wb.displayText(0, 3, 1), u"deux"_qs);
    // A whole column selected: "insert row" inserts one row at the active cell.
    book->SetSelection(1, 2, kMaxRows, 2);
    book->EditInsert(TF1Book::ShiftRows);
    QCOMPARE(wb.displayText(0, 4, 1), u"deux"_qs);
    book->SetSelection(1, 1, 1, 1);
    book->EditInsert(TF1Book::ShiftColumns);
    QCOMPARE(wb.displayText(0, 4, 2), u"deux"_qs);
    book->EditDelete(TF1Book::ShiftColumns);
    QCOMPARE(wb.displayText(0, 4, 1), u"deux"_qs);
}

void TestTF1Book::sheetTabsSwitchSheets()
{
    QTabBar *tabs = book->tabBar();
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), u"Feuil1"_qs);
    QCOMPARE(tabs->tabText(2), u"Feuil3"_qs);
    book->workbook().setEntry(0, 1, 1, u"premier"_qs);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QCOMPARE(book->Sheet(), 2);
    QVERIFY(!book->view()->currentIndex().data().isValid());
    type(book->view(), u"second"_qs);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(book->workbook().displayText(1, 1, 1), u"second"_qs);
    QCOMPARE(book->workbook().displayText(0, 1, 1), u"premier"_qs);
    // Back on the first sheet, the active cell is where it was left.
    book->SetActiveCell(7, 3);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QCOMPARE(book->Row(), 7);
    // Tabs follow the workbook's sheets.
    book->workbook().renameSheet(2, u"Bilan"_qs);
    QCOMPARE(tabs->tabText(2), u"Bilan"_qs);
    book->SetNumSheets(2);
    QCOMPARE(tabs->count(), 2);
}

void TestTF1Book::frozenRowsStayInView()
{
    for (int r = 1; r <= 200; ++r)
        book->workbook().setEntry(0, r, 1, QString::number(r));
    book->SetActiveCell(4, 1);
    book->SetFixedRows(4);
    QCOMPARE(book->FixedRows(), 4);
    auto *top = book->view()->findChild<SheetView *>(u"FrozenPane1"_qs);
    QVERIFY(top);
    QVERIFY(top->isVisible());
    // The active cell is now in the frozen rows: what is typed shows there.
    QVERIFY(top->hasFocus());
    type(top, u"9"_qs);
    QVERIFY(book->IsEditing());
    QCOMPARE(QApplication::focusWidget()->parentWidget(), top->viewport());
    QCOMPARE(book->view()->viewport()->findChildren<QLineEdit *>().size(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(book->workbook().displayText(0, 4, 1), u"9"_qs);
    QHeaderView *vh = book->view()->verticalHeader();
    QCOMPARE(top->height(), book->view()->horizontalHeader()->height() + vh->sectionPosition(3) + vh->sectionSize(3));
    // Far down: the frozen rows stay on top, the scrolled rows start right under them.
    book->SetActiveCell(150, 1);
    QCOMPARE(top->verticalScrollBar()->value(), 0);
    QCOMPARE(top->rowAt(1), 0);
    QVERIFY(book->view()->verticalScrollBar()->value() > 100);
    // Back up into the frozen rows: nothing hides the cell, the scrolled part goes back to row 5.
    book->SetActiveCell(5, 1);
    QCOMPARE(book->view()->verticalScrollBar()->value(), 0);
    // Ctrl+Home from far down: the first cell, and the scrolled part back to its top.
    book->SetActiveCell(150, 1);
    QVERIFY(book->view()->verticalScrollBar()->value() > 100);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(book->Row(), 1);
    QCOMPARE(book->view()->verticalScrollBar()->value(), 0);

    // Ctrl+End to the last cell of a sheet a million rows long: the cell in view right under
    // the frozen rows' bottom edge, not a row further, in a few scrolls (each costs a round
    // trip to the display server: a scroll per row froze the window for minutes).
    book->workbook().setEntry(0, 1000000, 2, u"fin"_qs);
    SheetView *main = book->view();
    int scrolls = 0;
    const auto counting = connect(main->verticalScrollBar(), &QScrollBar::valueChanged, [&] { ++scrolls; });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
    disconnect(counting);
    QVERIFY2(scrolls < 100, qPrintable(QString::number(scrolls)));
    QCOMPARE(book->Row(), 1000000);
    const int last = 1000000 - 1;
    QVERIFY(main->rowViewportPosition(last) + main->rowHeight(last) <= main->viewport()->height());
    main->verticalScrollBar()->setValue(main->verticalScrollBar()->value() - 1);
    QVERIFY(main->rowViewportPosition(last) + main->rowHeight(last) > main->viewport()->height());
    book->SetFixedRows(0);
    QVERIFY(!top->isVisible());
    QVERIFY(book->view()->hasFocus());
}

void TestTF1Book::clickIn(SheetView *pane, int row, int col, Qt::KeyboardModifiers mods)
{
    const QRect r = pane->visualRect(book->model()->index(row - 1, col - 1));
    QVERIFY(pane->viewport()->rect().contains(r.center()));
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, mods, r.center());
}

QList<int> TestTF1Book::selection() const
{
    int r1, c1, r2, c2;
    book->GetSelection(0, r1, c1, r2, c2);
    return {r1, c1, r2, c2};
}

// A row grown to fit a large font is as tall in the frozen panes made afterwards as in the
// rest of the sheet: the rows of both sides stay in line.
void TestTF1Book::frozenPanesShareRowHeights()
{
    book->workbook().setEntry(0, 3, 3, u"grand"_qs);
    book->SetActiveCell(3, 3);
    CellFormat big;
    big.fontSize = 16 * 20;
    book->SetFontParts(big, TF1Book::FontSize);
    const int tall = book->view()->verticalHeader()->sectionSize(2);
    QVERIFY(tall > book->view()->verticalHeader()->sectionSize(1));
    book->SetActiveCell(2, 2);
    book->SetFixedRows(1);
    book->SetFixedCols(1);
    const auto panes = book->view()->findChildren<SheetView *>();
    QCOMPARE(panes.size(), 3);
    for (SheetView *pane : panes)
        QCOMPARE(pane->verticalHeader()->sectionSize(2), tall);
}

// A chart made is one step of the history: undo takes it back (not an older change), redo
// puts it back; one removed from under the mouse comes back with undo too.
void TestTF1Book::chartIsUndoneAndRemoved()
{
    book->workbook().setEntry(0, 1, 1, u"1"_qs);
    book->SetActiveCell(3, 4);
    book->SetFormula(u"A1*2"_qs); // an entry, as a step of the history
    const int id = book->ObjCreate(5, 1, 1, 2, 1);
    QVERIFY(id > 0);
    QCOMPARE(book->workbook().charts(0).size(), size_t(1));
    book->EditUndo();
    QVERIFY(book->workbook().charts(0).empty());
    QCOMPARE(book->workbook().displayText(0, 3, 4), u"2"_qs); // the entry before it stays
    book->EditRedo();
    QCOMPARE(book->workbook().charts(0).size(), size_t(1));
    const sheet::ChartObject chart = book->workbook().charts(0).front();
    const QPoint inside(book->view()->columnViewportPosition(chart.anchor.col - 1) + 5,
                        book->view()->rowViewportPosition(chart.anchor.row - 1) + 5);
    const int under = book->ChartAt(inside);
    QVERIFY(under > 0);
    QCOMPARE(book->ChartAt(QPoint(inside.x() - 10, inside.y())), 0); // beside it
    book->ObjDelete(under);
    QVERIFY(book->workbook().charts(0).empty());
    book->EditUndo();
    QCOMPARE(book->workbook().charts(0).size(), size_t(1));
    QCOMPARE(book->workbook().charts(0).front().range, (CellRange{1, 1, 2, 1}));
}

void TestTF1Book::frozenPanesMoveOneCellAndSelectAcross()
{
    Workbook &wb = book->workbook();
    wb.setEntry(0, 1, 1, u"Nom"_qs);
    wb.setEntry(0, 1, 2, u"Montant"_qs);
    for (int r = 2; r <= 6; ++r) {
        wb.setEntry(0, r, 1, u"n%1"_qs.arg(r));
        wb.setEntry(0, r, 2, QString::number(r * 10));
    }
    book->SetActiveCell(2, 2);
    book->SetFixedRows(1);
    book->SetFixedCols(1);
    auto *corner = book->view()->findChild<SheetView *>(u"FrozenPane3"_qs);
    auto *top = book->view()->findChild<SheetView *>(u"FrozenPane1"_qs);
    QVERIFY(corner && top && corner->isVisible() && top->isVisible());
    // Enter and Tab after an entry move one cell, in the scrolled part and in the frozen one.
    clickIn(book->view(), 8, 2);
    type(book->view(), u"5"_qs);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(!book->IsEditing());
    QCOMPARE(book->Row(), 9);
    QCOMPARE(book->Col(), 2);
    type(book->view(), u"6"_qs);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTRY_VERIFY(!book->IsEditing());
    QCOMPARE(book->Row(), 9);
    QCOMPARE(book->Col(), 3);
    QCOMPARE(wb.displayText(0, 8, 2), u"5"_qs);
    QCOMPARE(wb.displayText(0, 9, 2), u"6"_qs);
    clickIn(top, 1, 3);
    type(top, u"Taux"_qs);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(!book->IsEditing());
    QCOMPARE(book->Row(), 2);
    QCOMPARE(wb.displayText(0, 1, 3), u"Taux"_qs);
    // Click on the frozen header, Shift+click on the data: one block, copied together.
    clickIn(corner, 1, 1);
    clickIn(book->view(), 6, 2, Qt::ShiftModifier);
    QCOMPARE(selection(), QList<int>({1, 1, 6, 2}));
    book->EditCopy();
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines.first().trimmed(), u"Nom\tMontant"_qs);
    QCOMPARE(lines.last().trimmed(), u"n6\t60"_qs);
    // Shift+arrows from a frozen cell down into the scrolled rows.
    clickIn(top, 1, 2);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(selection(), QList<int>({1, 2, 4, 2}));
    QCOMPARE(book->Row(), 4);
    // Shift+click from the data back up to the header keeps the same anchor.
    clickIn(book->view(), 5, 2);
    clickIn(corner, 1, 1, Qt::ShiftModifier);
    QCOMPARE(selection(), QList<int>({1, 1, 5, 2}));
}

void TestTF1Book::ctrlEndGoesToTheLastUsedCell()
{
    Workbook &wb = book->workbook();
    wb.setEntry(0, 40, 3, u"1"_qs);
    wb.setEntry(0, 12, 7, u"2"_qs);
    clickCell(2, 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(book->Row(), 40);
    QCOMPARE(book->Col(), 7);
    QVERIFY(book->view()->visualRect(book->model()->index(39, 6)).intersects(book->view()->viewport()->rect()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(selection(), QList<int>({1, 1, 40, 7}));
}

void TestTF1Book::numbersTooWideAreRoundedNotCut()
{
    struct Probe : CellDelegate
    {
        using CellDelegate::initStyleOption;
    } probe;
    Workbook &wb = book->workbook();
    wb.setEntry(0, 1, 1, u"3,14159265358"_qs);
    wb.setEntry(0, 2, 1, u"123456789012"_qs);
    wb.setEntry(0, 3, 1, u"Un texte bien trop long"_qs);
    book->SetColWidth(1, 1, book->toTwips(50), false);
    auto shown = [&](int row) {
        QStyleOptionViewItem opt;
        opt.initFrom(book->view());
        opt.widget = book->view();
        const QModelIndex index = book->model()->index(row - 1, 0);
        opt.rect = book->view()->visualRect(index);
        probe.initStyleOption(&opt, index);
        return opt.text;
    };
    const QString pi = shown(1);
    QVERIFY2(pi.startsWith(u"3,1"_qs) && pi.size() < 13, qPrintable(pi));
    QVERIFY(QFontMetrics(book->view()->font()).horizontalAdvance(pi) <= 50);
    QCOMPARE(shown(2), u"###"_qs);
    QCOMPARE(shown(3), u"Un texte bien trop long"_qs); // texts are cut by the grid as before
    book->SetColWidth(1, 1, book->toTwips(200), false);
    QCOMPARE(shown(1), u"3,141592654"_qs); // the standard format's 10 digits
}

void TestTF1Book::largerFontGrowsTheRow()
{
    QHeaderView *vh = book->view()->verticalHeader();
    const int normal = vh->sectionSize(0);
    clickCell(3, 1);
    CellFormat big;
    big.fontSize = 24 * 20;
    book->SetFontParts(big, TF1Book::FontSize);
    QCOMPARE(vh->sectionSize(2), normal); // nothing in it yet
    type(book->view(), u"Titre"_qs);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(vh->sectionSize(2) > normal + 10);
    QCOMPARE(vh->sectionSize(3), normal);
    // A row whose height the user set keeps it.
    book->SetRowHeight(6, 6, 300, false);
    const int set = vh->sectionSize(5);
    book->SetActiveCell(6, 1);
    book->SetFontParts(big, TF1Book::FontSize);
    book->workbook().setEntry(0, 6, 1, u"Sous-titre"_qs);
    QCOMPARE(vh->sectionSize(5), set);
    // Emptied again, the row goes back to the normal height.
    book->workbook().setEntry(0, 3, 1, QString());
    QCOMPARE(vh->sectionSize(2), normal);
}

void TestTF1Book::accessibilityShowsTheScreenOnly()
{
    Workbook &wb = book->workbook();
    for (int r = 1; r <= 3000; ++r)
        wb.setEntry(0, r, 2, QString::number(r));
    wb.setEntry(0, 1, 1, u"Loyer"_qs);
    QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(book->view());
    QVERIFY(grid);
    QAccessibleTableInterface *table = grid->tableInterface();
    QVERIFY(table);
    QVERIFY(table->rowCount() > 5 && table->rowCount() < 100);
    QCOMPARE(grid->childCount(), table->rowCount() * table->columnCount());
    QCOMPARE(table->cellAt(0, 0)->text(QAccessible::Name), u"Loyer"_qs);
    QCOMPARE(table->cellAt(0, 0)->tableCellInterface()->table(), table->cellAt(0, 0)->parent());
    QCOMPARE(grid->indexOfChild(grid->child(table->columnCount() + 1)), table->columnCount() + 1);
    // A screen reader walking the whole column, screen after screen: what it sees is the
    // cell on screen, and closing the window afterwards is immediate.
    QElapsedTimer timer;
    timer.start();
    for (int r = 1; r <= 3000; r += 25) {
        book->SetActiveCell(r, 2);
        const int rows = table->rowCount(), cols = table->columnCount();
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < cols; ++j)
                QVERIFY(table->cellAt(i, j));
        QAccessibleInterface *focus = grid->focusChild();
        QVERIFY(focus);
        QCOMPARE(focus->text(QAccessible::Name), QString::number(r));
        QVERIFY(grid->indexOfChild(focus) >= 0);
    }
    // Moving the active cell tells which cell of the table has the focus.
    QAccessible::installUpdateHandler([](QAccessibleEvent *event) {
        if (event->type() == QAccessible::Focus && event->child() >= 0) {
            QAccessibleInterface *cell = event->accessibleInterface();
            QVERIFY(cell && cell->tableCellInterface());
            QCOMPARE(cell->text(QAccessible::Name), QString::number(cell->tableCellInterface()->rowIndex() + 1));
        }
    });
    QAccessible::setActive(true);
    book->view()->setFocus();
    book->SetActiveCell(1, 2);
    QTest::keyClick(book->view(), Qt::Key_Down);
    QTest::keyClick(book->view(), Qt::Key_Down);
    QCOMPARE(grid->focusChild()->text(QAccessible::Name), u"3"_qs);
    QAccessible::setActive(false);
    QAccessible::installUpdateHandler(nullptr);
    book.reset();
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
}

void TestTF1Book::autoFitWidensToTheText()
{
    book->workbook().setEntry(0, 1, 2, u"Une désignation assez longue pour déborder"_qs);
    const int before = book->ColWidth(2);
    book->SetColWidthAuto(1, 1, book->MaxRow(), book->MaxCol(), true);
    const int after = book->ColWidth(2);
    QVERIFY(after > before);
    const QFontMetrics fm(SheetModel::fontOf(book->workbook().format(0, 1, 2)));
    QVERIFY(book->toPixels(after) >= fm.horizontalAdvance(u"Une désignation assez longue pour déborder"_qs));
    QCOMPARE(book->view()->columnWidth(1), book->toPixels(after));
}

void TestTF1Book::chartIsDrawnOverTheSheet()
{
    Workbook &wb = book->workbook();
    for (int r = 1; r <= 4; ++r)
        wb.setEntry(0, r, 1, QString::number(r * 10));
    const int id = book->ObjCreate(TF1Book::kObjectChart, 1, 1, 4, 1);
    Q_UNUSED(id);
    const auto charts = wb.charts(0);
    QCOMPARE(charts.size(), size_t(1));
    const ChartObject &c = charts.front();
    const int x = book->view()->columnViewportPosition(c.anchor.col - 1);
    const int y = book->view()->rowViewportPosition(c.anchor.row - 1);
    const QImage img = book->view()->viewport()->grab().toImage();
    // Somewhere inside the chart's rectangle the first series' blue is painted.
    bool blue = false;
    for (int px = x; px < x + book->toPixels(c.width) && px < img.width() && !blue; px += 2)
        for (int py = y; py < y + book->toPixels(c.height) && py < img.height() && !blue; py += 2)
            blue = img.pixelColor(px, py) == QColor(0x33, 0x66, 0xcc);
    QVERIFY(blue);
}

void TestTF1Book::printLayoutCutsPages()
{
    Workbook wb;
    // 120 rows in columns A..L on sheet 1, a lone cell on sheet 3, sheet 2 empty.
    for (int r = 1; r <= 120; ++r)
        wb.setEntry(0, r, 12, u"x"_qs);
    wb.setEntry(2, 1, 1, u"seul"_qs);
    const int dpi = 600;
    const double w = 180 / 25.4 * dpi, h = 270 / 25.4 * dpi;
    const auto pages = sheetprinter::layout(wb, w, h, dpi, 0);
    // 12 default columns (about 0,9 inch each) need two pages across; 120 rows need three down.
    int sheet1 = 0;
    for (const auto &p : pages)
        sheet1 += p.sheet == 0;
    QCOMPARE(sheet1, 6);
    QCOMPARE(pages.first(), (sheetprinter::Page{0, 1, 1, pages.first().bottom, pages.first().right}));
    QCOMPARE(pages[1].left, 1); // down first, then across
    QVERIFY(pages[1].top > 1);
    QCOMPARE(pages.last(), (sheetprinter::Page{2, 1, 1, 1, 1}));
    for (const auto &p : pages)
        QVERIFY(p.sheet != 1);
    // An empty workbook still prints the page of its active sheet.
    Workbook empty;
    QCOMPARE(sheetprinter::layout(empty, w, h, dpi, 1), (QList<sheetprinter::Page>{{1, 1, 1, 1, 1}}));
}

void TestTF1Book::printShowsLettersNumbersAndCells()
{
    if (QStandardPaths::findExecutable(u"pdftotext"_qs).isEmpty())
        QSKIP("pdftotext is not installed");
    book->workbook().setEntry(0, 2, 3, u"Recettes"_qs);
    book->workbook().setEntry(0, 3, 3, u"=2+2"_qs);
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(u"p.pdf"_qs));
    book->FilePrint(printer);
    QProcess p;
    p.start(u"pdftotext"_qs, {u"-layout"_qs, dir.filePath(u"p.pdf"_qs), u"-"_qs});
    QVERIFY(p.waitForFinished());
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(text.contains(u"Recettes"_qs), qPrintable(text));
    QVERIFY(text.contains(u"Feuil1"_qs));
    QVERIFY(QRegularExpression(u"A\\s+B\\s+C"_qs).match(text).hasMatch());
    QVERIFY(QRegularExpression(u"\\n\\s*3\\s+4\\s*\\n"_qs).match(text).hasMatch());
}

// The control's alignment codes: 1 general, 2 left, 3 centre, 4 right; vertical 1 top,
// 2 middle, 3 bottom. A code out of range is general (bottom), not stored as it is.
void TestTF1Book::alignmentCodes_data()
{
    QTest::addColumn<int>("horizontal");
    QTest::addColumn<int>("vertical");
    QTest::addColumn<int>("readH");
    QTest::addColumn<int>("readV");
    QTest::addColumn<int>("shown");
    QTest::newRow("left top") << 2 << 1 << 2 << 1 << int(Qt::AlignLeft | Qt::AlignTop);
    QTest::newRow("centre middle") << 3 << 2 << 3 << 2 << int(Qt::AlignHCenter | Qt::AlignVCenter);
    QTest::newRow("right bottom") << 4 << 3 << 4 << 3 << int(Qt::AlignRight | Qt::AlignBottom);
    QTest::newRow("general, a number") << 1 << 3 << 1 << 3 << int(Qt::AlignRight | Qt::AlignBottom);
    QTest::newRow("out of range") << 9 << 0 << 1 << 3 << int(Qt::AlignRight | Qt::AlignBottom);
}

void TestTF1Book::alignmentCodes()
{
    QFETCH(int, horizontal);
    QFETCH(int, vertical);
    QFETCH(int, readH);
    QFETCH(int, readV);
    QFETCH(int, shown);
    book->workbook().setEntry(0, 1, 1, u"12"_qs);
    book->SetActiveCell(1, 1);
    book->SetAlignment(horizontal, false, vertical, 0);
    int h, v, o;
    bool wrap;
    book->GetAlignment(h, wrap, v, o);
    QCOMPARE(h, readH);
    QCOMPARE(v, readV);
    QCOMPARE(book->model()->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>().toInt(), shown);
}

QTEST_MAIN(TestTF1Book)
#include "tst_tf1book.moc"
