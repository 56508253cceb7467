// A spreadsheet window inside the real frame: every command of the "Tableur" menu, of the
// edit menu and of the toolbar tried as a user would, through the frame's actions and buttons.
#include "common/ui/errorhandler.h"
#include "common/ui/fonts.h"
#include "common/ui/messageboxes.h"
#include "common/ui/ttri.h"
#include "shell/ui/spinedit.h"
#include "shell/ui/tmainform.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/ui/sheetmodel.h"
#include "spreadsheet/ui/sheetview.h"
#include "spreadsheet/ui/spreadsheettools.h"
#include "spreadsheet/ui/tf1book.h"
#include "spreadsheet/ui/tfonct.h"
#include "spreadsheet/ui/tlarg.h"
#include "spreadsheet/ui/tnombre.h"
#include "spreadsheet/ui/tonglet.h"
#include "spreadsheet/ui/ttableur.h"
#include "spreadsheet/tests/sheetframe.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QFontInfo>
#include <QMenu>
#include <QtTest>

using namespace sheet;

class TestTTableurFrame
    : public QObject
    , protected SheetFrame
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void newSpreadsheetFromTheMenu();
    void centreButtonFollowsTheCell();
    void styleButtonsAndFontBoxes();
    void fontCommand();
    void tabMovesAlongTheRow();
    void toolbarFollowsTheActiveWindow();
    void sumButton();
    void freezeMenuItems();
    void showFormulasAndGrid();
    void sizeCommands();
    void sheetTabsFunctionsSortChart();
    void autoFitAndRecalculate();
    void editMenu();
    void undoAndRedo();
    void numberFormatMenu();
    void saveAsOpenPrintClose();

private:
    TTableur *newSheet();
    void clickCell(TTableur *t, int row, int col);
    QToolButton *button(const char *name);

    QTemporaryDir dir;
};

void TestTTableurFrame::initTestCase()
{
    fonts::installSubstitutions();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    qputenv("VELMORA_PRINT_PDF", dir.filePath(u"sortie.pdf"_qs).toLocal8Bit());
}

void TestTTableurFrame::init() { startFrame(); }

void TestTTableurFrame::cleanup() { stopFrame(); }

TTableur *TestTTableurFrame::newSheet()
{
    trigger("Tableur1"); // "Nouveau tableur"
    auto *t = qobject_cast<TTableur *>(form->activeDocument());
    if (t)
        t->F1Book1->view()->setFocus();
    return t;
}

QToolButton *TestTTableurFrame::button(const char *name)
{
    return qobject_cast<QToolButton *>(form->control(QString::fromLatin1(name)));
}

void TestTTableurFrame::clickCell(TTableur *t, int row, int col)
{
    SheetView *v = t->F1Book1->view();
    v->scrollTo(v->model()->index(row - 1, col - 1));
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(v->model()->index(row - 1, col - 1)).center());
    QTest::qWait(1); // the selection event follows the click
}

void TestTTableurFrame::newSpreadsheetFromTheMenu()
{
    TTableur *t = newSheet();
    QVERIFY(t);
    QCOMPARE(t->windowTitle(), u"Tableur"_qs);
    QCOMPARE(form->mdiArea()->currentSubWindow()->widget(), t);
    QCOMPARE(form->fontCombo()->currentText(), u"Arial"_qs);
    QCOMPARE(form->sizeSpin()->value(), 10);
    // Typing in the grid goes into the cell.
    QTest::keyClick(t->F1Book1->view(), Qt::Key_4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_2); // the editor has opened
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(t->F1Book1->workbook().displayText(0, 1, 1), u"42"_qs);
}

void TestTTableurFrame::centreButtonFollowsTheCell()
{
    trigger("Texte1"); // the alignment buttons serve once a text window exists
    TTableur *t = newSheet();
    clickCell(t, 2, 2);
    QTest::mouseClick(button("CenterButton"), Qt::LeftButton);
    QCOMPARE(t->F1Book1->workbook().format(0, 2, 2).horizontal, AlignCenter);
    clickCell(t, 3, 3);
    QTRY_VERIFY(!button("CenterButton")->isChecked());
    clickCell(t, 2, 2);
    QTRY_VERIFY(button("CenterButton")->isChecked());
    QVERIFY(!button("RightButton")->isChecked());
    QVERIFY(!button("LeftButton")->isChecked());
    QTest::mouseClick(button("RightButton"), Qt::LeftButton);
    QCOMPARE(t->F1Book1->workbook().format(0, 2, 2).horizontal, AlignRight);
    QTest::mouseClick(button("LeftButton"), Qt::LeftButton);
    QCOMPARE(t->F1Book1->workbook().format(0, 2, 2).horizontal, AlignLeft);
}

void TestTTableurFrame::styleButtonsAndFontBoxes()
{
    TTableur *t = newSheet();
    clickCell(t, 1, 1);
    QTest::mouseClick(button("ItalButton"), Qt::LeftButton);
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    CellFormat f = t->F1Book1->workbook().format(0, 1, 1);
    QVERIFY(f.bold && f.italic && !f.underline);
    QTest::mouseClick(button("ItalButton"), Qt::LeftButton);
    QVERIFY(!t->F1Book1->workbook().format(0, 1, 1).italic);
    // Typing 14 in the size box: the cell gets the box's font name with 14 points.
    form->fontCombo()->setEditText(u"Courier New"_qs);
    form->sizeSpin()->selectAll();
    QTest::keyClicks(form->sizeSpin(), "14");
    f = t->F1Book1->workbook().format(0, 1, 1);
    QCOMPARE(f.fontName, u"Courier New"_qs);
    QCOMPARE(f.fontSize, 280);
    QVERIFY(f.bold);
    // Another cell, and back: the boxes show each cell's font.
    clickCell(t, 5, 5);
    QTRY_COMPARE(form->fontCombo()->currentText(), u"Arial"_qs);
    QCOMPARE(form->sizeSpin()->value(), 10);
    QVERIFY(!button("BoldButton")->isChecked());
    clickCell(t, 1, 1);
    QTRY_COMPARE(form->fontCombo()->currentText(), u"Courier New"_qs);
    QCOMPARE(form->sizeSpin()->value(), 14);
    QVERIFY(button("BoldButton")->isChecked());
}

void TestTTableurFrame::fontCommand()
{
    TTableur *t = newSheet();
    clickCell(t, 2, 1);
    QFont shown;
    form->setFontDialogHook([&](QFont &f, QColor &) {
        shown = f;
        f.setBold(true);
        f.setItalic(true);
        return true;
    });
    trigger("Police1");
    // The dialog opens on the family the screen shows for "Arial" (itself where installed);
    // the cell keeps the name it had.
    QCOMPARE(shown.family(), QFontInfo(QFont(u"Arial"_qs)).family());
    const CellFormat f = t->F1Book1->workbook().format(0, 2, 1);
    QCOMPARE(f.fontName, u"Arial"_qs);
    QVERIFY(f.bold && f.italic);
    QVERIFY(button("BoldButton")->isChecked());
    QVERIFY(button("ItalButton")->isChecked());
    // Cancelled: nothing changes.
    form->setFontDialogHook([](QFont &, QColor &) { return false; });
    trigger("Police1");
    QVERIFY(t->F1Book1->workbook().format(0, 2, 1).bold);
    // A colour, the rest as it was.
    form->setFontDialogHook([](QFont &, QColor &c) {
        c = QColor(0, 0, 255);
        return true;
    });
    trigger("Police1");
    QCOMPARE(t->F1Book1->workbook().format(0, 2, 1).colour, 0x0000FFu);
    QVERIFY(t->F1Book1->workbook().format(0, 2, 1).bold);
}

// Tab and Shift+Tab move between cells in the real window, where other widgets (the
// formula bar) would take the keyboard focus.
void TestTTableurFrame::tabMovesAlongTheRow()
{
    TTableur *t = newSheet();
    clickCell(t, 3, 3);
    QWidget *view = QApplication::focusWidget();
    QVERIFY(view);
    QTest::keyClick(view, Qt::Key_Tab);
    QCOMPARE(t->F1Book1->Col(), 4);
    QCOMPARE(QApplication::focusWidget(), view);
    QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(t->F1Book1->Col(), 2);
    QCOMPARE(t->F1Book1->Row(), 3);
}

void TestTTableurFrame::toolbarFollowsTheActiveWindow()
{
    TTableur *first = newSheet();
    clickCell(first, 1, 1);
    QTest::mouseClick(button("ItalButton"), Qt::LeftButton);
    TTableur *second = newSheet();
    clickCell(second, 1, 1);
    QTRY_VERIFY(!button("ItalButton")->isChecked());
    // Back to the first window: its italic cell shows again before any command reads it.
    form->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(first->parentWidget()));
    QTRY_VERIFY(button("ItalButton")->isChecked());
    form->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(second->parentWidget()));
    QTRY_VERIFY(!button("ItalButton")->isChecked());
}

void TestTTableurFrame::sumButton()
{
    TTableur *t = newSheet();
    Workbook &wb = t->F1Book1->workbook();
    wb.setEntry(0, 1, 2, u"Montant"_qs);
    wb.setEntry(0, 2, 2, u"100"_qs);
    wb.setEntry(0, 3, 2, u"250,5"_qs);
    clickCell(t, 4, 2);
    QTest::mouseClick(button("SumButton"), Qt::LeftButton);
    QCOMPARE(wb.formulaText(0, 4, 2), u"=SOMME(B2:B3)"_qs);
    QCOMPARE(wb.displayText(0, 4, 2), u"350,5"_qs);
    // Nothing to add up: the editor opens on the sum for the user to fill in.
    clickCell(t, 10, 5);
    QTest::mouseClick(button("SumButton"), Qt::LeftButton);
    QCOMPARE(t->F1Book1->EditorText(), u"=SUM()"_qs);
}

void TestTTableurFrame::freezeMenuItems()
{
    TTableur *t = newSheet();
    clickCell(t, 4, 2);
    trigger("Figerlignes1");
    QVERIFY(form->action(u"Figerlignes1"_qs)->isChecked());
    QCOMPARE(t->F1Book1->FixedRows(), 4);
    trigger("Figerlignes1");
    QVERIFY(!form->action(u"Figerlignes1"_qs)->isChecked());
    QCOMPARE(t->F1Book1->FixedRows(), 0);
    trigger("Figercolonnes1");
    QCOMPARE(t->F1Book1->FixedCols(), 2);
    trigger("Figercolonnes1");
    QCOMPARE(t->F1Book1->FixedCols(), 0);
    // Frozen rows brought by a file, or by another sheet: the tick shows them when the menu
    // opens, and the command then unfreezes.
    t->F1Book1->SetFixedRows(3);
    QVERIFY(!form->action(u"Figerlignes1"_qs)->isChecked());
    QMenu *menu = form->action(u"Tableur3"_qs)->menu();
    QVERIFY(menu);
    QMetaObject::invokeMethod(menu, "aboutToShow");
    QVERIFY(form->action(u"Figerlignes1"_qs)->isChecked());
    QVERIFY(!form->action(u"Figercolonnes1"_qs)->isChecked());
    trigger("Figerlignes1");
    QCOMPARE(t->F1Book1->FixedRows(), 0);
}

void TestTTableurFrame::showFormulasAndGrid()
{
    TTableur *t = newSheet();
    t->F1Book1->workbook().setEntry(0, 1, 1, u"=6*7"_qs);
    trigger("Montrerlesformules1");
    QCOMPARE(t->F1Book1->view()->model()->index(0, 0).data().toString(), u"=6*7"_qs);
    trigger("Montrerlesformules1");
    QCOMPARE(t->F1Book1->view()->model()->index(0, 0).data().toString(), u"42"_qs);
    QVERIFY(form->action(u"Montrerlagrille1"_qs)->isChecked());
    trigger("Montrerlagrille1");
    QVERIFY(!t->F1Book1->view()->showGrid());
    trigger("Montrerlagrille1");
    QVERIFY(t->F1Book1->view()->showGrid());
}

void TestTTableurFrame::sizeCommands()
{
    TTableur *t = newSheet();
    clickCell(t, 1, 2);
    tools->setRunner([](QDialog &d) {
        auto &l = static_cast<TLarg &>(d);
        l.SpinEdit1->setValue(12);
        l.Button2->click();
        return int(d.result());
    });
    trigger("Largeurcolonne1");
    QCOMPARE(t->F1Book1->ColWidth(2), 240 * t->fontMetrics().horizontalAdvance(QLatin1Char('A')));
    trigger("Hauteurligne1");
    QCOMPARE(t->F1Book1->RowHeight(1), 240 * t->fontMetrics().height());
}

void TestTTableurFrame::sheetTabsFunctionsSortChart()
{
    TTableur *t = newSheet();
    TF1Book *b = t->F1Book1;
    Workbook &wb = b->workbook();
    tools->setRunner([](QDialog &d) {
        auto &o = static_cast<TOnglet &>(d);
        o.Edit1->setText(u"Bilan"_qs);
        QTest::keyClick(o.Edit1, Qt::Key_Return);
        o.Button1->click();
        return int(d.result());
    });
    trigger("Onglets1");
    QCOMPARE(b->NumSheets(), 4);
    QCOMPARE(b->tabBar()->tabText(3), u"Bilan"_qs);

    clickCell(t, 1, 1);
    tools->setRunner([](QDialog &d) {
        auto &f = static_cast<TFonct &>(d);
        f.ListBox1->setCurrentRow(TFonct::names().indexOf(u"SQRT"_qs));
        f.Button2->click();
        return int(d.result());
    });
    trigger("Fonctions1");
    QCOMPARE(b->EditorText(), u"=RACINE("_qs);
    QTest::keyClicks(QApplication::focusWidget(), "16)");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(wb.displayText(0, 1, 1), u"4"_qs);

    for (int r = 2; r <= 4; ++r)
        wb.setEntry(0, r, 1, QString::number(10 - r));
    b->SetSelection(2, 1, 4, 1);
    tools->setRunner([](QDialog &d) {
        static_cast<TTri &>(d).OkButton->click();
        return int(d.result());
    });
    // Hidden menu items: their handlers are reached directly.
    form->Trier2Click();
    QCOMPARE(wb.displayText(0, 2, 1), u"6"_qs);
    form->Graphique1Click();
    QCOMPARE(wb.charts(0).size(), size_t(1));
}

void TestTTableurFrame::autoFitAndRecalculate()
{
    TTableur *t = newSheet();
    Workbook &wb = t->F1Book1->workbook();
    wb.setEntry(0, 1, 1, u"Un libellé bien plus large que la colonne"_qs);
    trigger("Ajustementautomatique1");
    QVERIFY(t->F1Book1->ColWidth(1) > Workbook::kDefaultColumnWidth);
    wb.setEntry(0, 2, 1, u"=RAND()"_qs);
    const double before = wb.value(0, 2, 1).asNumber();
    trigger("Recalculermaintenant1");
    QVERIFY(wb.value(0, 2, 1).asNumber() != before);
}

void TestTTableurFrame::editMenu()
{
    TTableur *t = newSheet();
    TF1Book *b = t->F1Book1;
    Workbook &wb = b->workbook();
    wb.setEntry(0, 1, 1, u"5"_qs);
    wb.setEntry(0, 2, 1, u"=A1+1"_qs);
    b->SetSelection(1, 1, 2, 1);
    trigger("CopyItem");
    clickCell(t, 1, 3);
    trigger("PasteItem");
    QCOMPARE(wb.formulaText(0, 2, 3), u"=C1+1"_qs);
    b->SetSelection(1, 3, 2, 3);
    trigger("CutItem");
    QVERIFY(wb.value(0, 1, 3).isEmpty());
    clickCell(t, 1, 1);
    trigger("Insrerligne1");
    QCOMPARE(wb.displayText(0, 2, 1), u"5"_qs);
    QCOMPARE(wb.formulaText(0, 3, 1), u"=A2+1"_qs);
    trigger("Supprimerligne1");
    QCOMPARE(wb.displayText(0, 1, 1), u"5"_qs);
    trigger("Insrercolonne1");
    QCOMPARE(wb.displayText(0, 1, 2), u"5"_qs);
    trigger("Supprimercolonne1");
    QCOMPARE(wb.displayText(0, 1, 1), u"5"_qs);
    QVERIFY(errors.isEmpty());
}

// Undo and redo through the edit menu, the toolbar button and the keys, each user action
// one step, with the history kept across a save.
void TestTTableurFrame::undoAndRedo()
{
    TTableur *t = newSheet();
    TF1Book *b = t->F1Book1;
    Workbook &wb = b->workbook();
    auto type = [&](int row, int col, const char *text) {
        clickCell(t, row, col);
        QTest::keyClicks(b->view(), QByteArray(text).left(1)); // opens the editor
        QTest::keyClicks(QApplication::focusWidget(), QByteArray(text).mid(1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!b->IsEditing());
    };
    type(1, 1, "5");
    type(2, 1, "=A1*2");
    QCOMPARE(wb.displayText(0, 2, 1), u"10"_qs);
    // A paste of a block is one step.
    b->SetSelection(1, 1, 2, 1);
    trigger("CopyItem");
    clickCell(t, 1, 2);
    trigger("PasteItem");
    QCOMPARE(wb.formulaText(0, 2, 2), u"=B1*2"_qs);
    trigger("Annuler1");
    QVERIFY(wb.value(0, 1, 2).isEmpty());
    QVERIFY(wb.value(0, 2, 2).isEmpty());
    int r1, c1, r2, c2;
    b->GetSelection(0, r1, c1, r2, c2);
    QCOMPARE(rangeName(CellRange{r1, c1, r2, c2}), u"B1:B2"_qs); // what came back is selected
    trigger("Retablir1");
    QCOMPARE(wb.formulaText(0, 2, 2), u"=B1*2"_qs);

    // Deleting row 1 turns A2's formula to #REF!; undoing brings the row and the formula back.
    clickCell(t, 1, 1);
    trigger("Supprimerligne1");
    QCOMPARE(wb.displayText(0, 1, 1), u"#REF!"_qs);
    QTest::keyClick(b->view(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(wb.formulaText(0, 2, 1), u"=A1*2"_qs);
    QCOMPARE(wb.displayText(0, 2, 1), u"10"_qs);
    QTest::keyClick(b->view(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(wb.displayText(0, 1, 1), u"#REF!"_qs);
    QTest::keyClick(b->view(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(wb.displayText(0, 1, 1), u"5"_qs);

    // Saving keeps the history.
    t->setSaveDialogHook([this](QString &path, int &) {
        path = dir.filePath(u"annuler.qvc"_qs);
        return true;
    });
    trigger("FileSaveItem");
    QVERIFY(!t->Modifie());
    button("SpeedButton1")->click(); // undoes the paste
    QVERIFY(wb.value(0, 1, 2).isEmpty());
    QVERIFY(t->Modifie());
    QTest::keyClick(b->view(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(wb.displayText(0, 1, 2), u"5"_qs);

    // The sheet-tab dialog's changes are one step.
    tools->setRunner([](QDialog &d) {
        auto &o = static_cast<TOnglet &>(d);
        o.ListBox1->setCurrentRow(2);
        o.Button3->click(); // "Supprimer"
        o.Edit1->setText(u"Bilan"_qs);
        o.Button2->click(); // "Ajouter"
        o.Button1->click();
        return int(d.result());
    });
    trigger("Onglets1");
    QCOMPARE(b->NumSheets(), 3);
    QCOMPARE(b->SheetName(3), u"Bilan"_qs);
    trigger("Annuler1");
    QCOMPARE(b->SheetName(3), u"Feuil3"_qs);
    QCOMPARE(b->tabBar()->tabText(2), u"Feuil3"_qs);

    // While a cell is being typed, undo acts on the typing only.
    clickCell(t, 5, 1);
    QTest::keyClicks(b->view(), "7");
    QTest::keyClicks(QApplication::focusWidget(), "7");
    trigger("Annuler1");
    QVERIFY(b->IsEditing());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(wb.displayText(0, 1, 2), u"5"_qs);
    QVERIFY(errors.isEmpty());
}

// "Format › Nombre..." shows while a spreadsheet is the active window and formats its selection.
void TestTTableurFrame::numberFormatMenu()
{
    QAction *item = form->action(u"Nombre1"_qs);
    QVERIFY(item);
    QVERIFY(!item->isVisible());
    TTableur *t = newSheet();
    QVERIFY(item->isVisible());
    t->F1Book1->workbook().setEntry(0, 1, 1, u"0,125"_qs);
    tools->setRunner([](QDialog &d) {
        auto &n = static_cast<TNombre &>(d);
        n.ListBox1->setCurrentRow(int(NumberFormatChoice::Percent));
        n.SpinEdit1->setValue(1);
        n.Button2->click();
        return int(d.result());
    });
    trigger("Nombre1");
    QCOMPARE(t->F1Book1->workbook().displayText(0, 1, 1), u"12,5%"_qs);
    trigger("Texte1"); // another kind of window comes forward
    QVERIFY(!item->isVisible());
    form->mdiArea()->setActiveSubWindow(form->mdiArea()->subWindowList().first());
    QVERIFY(item->isVisible());
}

void TestTTableurFrame::saveAsOpenPrintClose()
{
    TTableur *t = newSheet();
    t->F1Book1->workbook().setEntry(0, 1, 1, u"Bilan 2024"_qs);
    t->F1Book1->workbook().setEntry(0, 2, 1, u"=1/0"_qs);
    t->setSaveDialogHook([&](QString &p, int &) {
        p = dir.filePath(u"bilan.xls"_qs);
        return !p.isEmpty();
    });
    trigger("FileSaveAsItem");
    QVERIFY(QFile::exists(dir.filePath(u"bilan.qvc"_qs)));
    QCOMPARE(form->mdiArea()->currentSubWindow()->windowTitle(), u"bilan.qvc"_qs);
    QFile::remove(dir.filePath(u"sortie.pdf"_qs));
    QTest::mouseClick(button("SpeedButton9"), Qt::LeftButton); // print from the toolbar
    QVERIFY(QFileInfo(dir.filePath(u"sortie.pdf"_qs)).size() > 0);

    form->openFile(dir.filePath(u"bilan.qvc"_qs));
    auto *opened = qobject_cast<TTableur *>(form->activeDocument());
    QVERIFY(opened && opened != t);
    QCOMPARE(opened->F1Book1->workbook().displayText(0, 1, 1), u"Bilan 2024"_qs);
    QCOMPARE(opened->F1Book1->workbook().displayText(0, 2, 1), u"#DIV/0!"_qs);
    // Changed, then closed with "Non": the window goes, the file stays as it was.
    opened->F1Book1->workbook().setEntry(0, 3, 1, u"x"_qs);
    trigger("FileCloseItem");
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, u"Sauver modifications dans bilan.qvc ?"_qs);
    QTRY_COMPARE(form->mdiArea()->subWindowList().size(), 1);
}

QTEST_MAIN(TestTTableurFrame)
#include "tst_ttableurframe.moc"
