// The spreadsheet window driven through the operations the frame calls, with its file
// dialog and tool dialogs answered by the test: files, the close question, formatting,
// sizes, freezing, sort, charts, functions, sheet tabs, the sum and the clipboard.
#include "common/testsupport/readonlydir.h"
#include "common/testsupport/testframe.h"
#include "common/ui/errorhandler.h"
#include "common/ui/fonts.h"
#include "common/ui/messageboxes.h"
#include "common/ui/printing.h"
#include "common/ui/tfinddialog.h"
#include "common/ui/treplacedialog.h"
#include "common/ui/ttri.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookundo.h"
#include "spreadsheet/ui/sheetview.h"
#include "spreadsheet/ui/spreadsheettools.h"
#include "spreadsheet/ui/tf1book.h"
#include "spreadsheet/ui/formulabar.h"
#include "spreadsheet/ui/tfonct.h"
#include "spreadsheet/ui/tlarg.h"
#include "spreadsheet/ui/tonglet.h"
#include "spreadsheet/ui/ttableur.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QFontDatabase>
#include <QtTest>

using namespace sheet;

class TestTTableur : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void newWorkbook();
    void fileNameRule_data();
    void fileNameRule();
    void saveAsExcelFilterWritesOurFormat();
    void saveAsCancelledWritesNothing();
    void saveUnchangedDoesNothing();
    void failedSaveKeepsOldFileAndChanges();
    void chargeReadsBack();
    void chargeOfABadFileNeverOverwritesIt();
    void closeQuestion_data();
    void closeQuestion();
    void centreLightsTheCentreButton();
    void toolbarStylesKeepOtherCellsFonts();
    void fontDialogCancelledChangesNothing();
    void fontDialogShowsTheStandInOfAMissingFont();
    void fontNameAndSize();
    void freezeRowsFromRow4();
    void freezeColumns();
    void sortListsColumnLetters();
    void sortLettersBeyondZ();
    void widthIsTwentyTimesTheLetterA();
    void sheetTabsAddBilan();
    void sheetTabsRemoveKeepsOtherContent();
    void sheetTabsRename();
    void sheetOrder();
    void nameBoxAddresses_data();
    void nameBoxAddresses();
    void formulaBarFollowsAndEdits();
    void fillDownAndRight();
    void functionsPutNameInEditor_data();
    void functionsPutNameInEditor();
    void functionsWhileTyping();
    void sumAboveOrLeft_data();
    void sumAboveOrLeft();
    void autoFit();
    void chartOnSelection();
    void cutCopyPaste();
    void findGoesRoundTheSheet();
    void replaceChangesEntriesInOneStep();
    void previewShowsThePages();
    void printWithoutPrinterIsReported();
    void printToPdf();

private:
    TTableur *newWindow();
    // Answers the next tool dialog shown with `answer`, which returns the dialog's result.
    void answerDialogs(std::function<int(QDialog &)> answer) { tools->setRunner(std::move(answer)); }

    std::unique_ptr<TestFrame> frame;
    std::unique_ptr<SpreadsheetTools> tools;
    std::unique_ptr<TTableur> w;
    QStringList errors;
    QList<messageboxes::Shown> boxes;
    messageboxes::Answer boxAnswer = messageboxes::Answer::Non;
    std::unique_ptr<QTemporaryDir> tmp;
    QString file(const QString &name) const { return tmp->filePath(name); }
};

void TestTTableur::initTestCase()
{
    fonts::installSubstitutions();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestTTableur::init()
{
    errors.clear();
    boxes.clear();
    boxAnswer = messageboxes::Answer::Non;
    errorhandler::setSink([this](const QString &m) { errors << m; });
    messageboxes::setResponder([this](const messageboxes::Shown &s) {
        boxes << s;
        return boxAnswer;
    });
    tmp = std::make_unique<QTemporaryDir>();
    frame = std::make_unique<TestFrame>();
    tools = std::make_unique<SpreadsheetTools>();
    w.reset(newWindow());
}

void TestTTableur::cleanup()
{
    if (w)
        w->F1Book1->SetModified(false);
    w.reset();
    tools.reset();
    errorhandler::setSink({});
    messageboxes::setResponder({});
}

TTableur *TestTTableur::newWindow()
{
    auto *t = new TTableur(*frame, *tools);
    t->show();
    if (!QTest::qWaitForWindowExposed(t))
        qWarning("window not exposed");
    return t;
}

void TestTTableur::newWorkbook()
{
    QCOMPARE(w->windowTitle(), u"Tableur"_qs);
    QVERIFY(w->NomFichier().isEmpty());
    TF1Book *b = w->F1Book1;
    QCOMPARE(b->NumSheets(), 3);
    QCOMPARE(QStringList({b->SheetName(1), b->SheetName(2), b->SheetName(3)}),
             QStringList({u"Feuil1"_qs, u"Feuil2"_qs, u"Feuil3"_qs}));
    QVERIFY(!b->Modified());
    // The toolbar shows the new workbook's font: Arial, 10 points, no style, no alignment.
    QCOMPARE(frame->styles.last().name, u"Arial"_qs);
    QCOMPARE(frame->styles.last().size, u"10"_qs);
    QVERIFY(!frame->styles.last().bold && !frame->styles.last().left && !frame->styles.last().center
            && !frame->styles.last().right && !frame->styles.last().bullets);
    QCOMPARE(b->ColWidth(1), Workbook::kDefaultColumnWidth);
    QCOMPARE(w->size(), QSize(544, 375));
}

void TestTTableur::fileNameRule_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("written");
    QTest::newRow("excel name") << u"/data/bilan.xls"_qs << u"/data/bilan.qvc"_qs;
    QTest::newRow("old name") << u"/data/bilan.old"_qs << u"/data/bilan.qvc"_qs;
    QTest::newRow("no extension") << u"/data/bilan"_qs << u"/data/bilan.qvc"_qs;
    QTest::newRow("already qvc") << u"/data/bilan.qvc"_qs << u"/data/bilan.qvc"_qs;
    QTest::newRow("dot in a directory") << u"/home/m.dupont/comptes/bilan"_qs << u"/home/m.dupont/comptes/bilan.qvc"_qs;
    QTest::newRow("two dots") << u"/data/bilan.2024.xls"_qs << u"/data/bilan.qvc"_qs;
}

void TestTTableur::fileNameRule()
{
    QFETCH(QString, given);
    QFETCH(QString, written);
    QCOMPARE(TTableur::workbookFileName(given), written);
}

void TestTTableur::saveAsExcelFilterWritesOurFormat()
{
    w->F1Book1->workbook().setEntry(0, 1, 1, u"Recettes"_qs);
    w->F1Book1->workbook().setEntry(0, 2, 1, u"1234,5"_qs);
    const QString chosen = file(u"bilan.xls"_qs);
    w->setSaveDialogHook([&](QString &p, int &) {
        p = chosen;
        return !p.isEmpty();
    });
    QVERIFY(w->SaveAs());
    QVERIFY(errors.isEmpty());
    QVERIFY(!QFile::exists(chosen));
    QFile f(file(u"bilan.qvc"_qs));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.contains("office:document"));
    QVERIFY(bytes.contains("Recettes"));
    QCOMPARE(w->NomFichier(), file(u"bilan.qvc"_qs));
    QCOMPARE(w->windowTitle(), u"bilan.qvc"_qs);
    QVERIFY(!w->F1Book1->Modified()); // writing clears it: closing asks nothing
    QVERIFY(w->close());
    QVERIFY(boxes.isEmpty());
}

void TestTTableur::saveAsCancelledWritesNothing()
{
    w->F1Book1->workbook().setEntry(0, 1, 1, u"x"_qs);
    w->setSaveDialogHook([](QString &, int &) { return false; });
    QVERIFY(!w->SaveAs());
    QVERIFY(w->NomFichier().isEmpty());
    QVERIFY(w->F1Book1->Modified());
    QVERIFY(QDir(tmp->path()).entryList(QDir::Files).isEmpty());
    // Save as of an unchanged, named workbook still writes it.
    const QString path = file(u"a.qvc"_qs);
    w->setSaveDialogHook([&](QString &p, int &) {
        p = path;
        return !p.isEmpty();
    });
    QVERIFY(w->SaveAs());
    QVERIFY(QFile::exists(path));
    QFile::remove(path);
    w->setSaveDialogHook([](QString &, int &) { return false; });
    QVERIFY(!w->SaveAs());
    QVERIFY(!QFile::exists(path)); // cancelled means cancelled: nothing written
}

void TestTTableur::saveUnchangedDoesNothing()
{
    int asked = 0;
    w->setSaveDialogHook([&](QString &, int &) {
        ++asked;
        return false;
    });
    w->Sauve();
    QCOMPARE(asked, 0);
}

void TestTTableur::failedSaveKeepsOldFileAndChanges()
{
    // A folder that has gone: the save is reported and the workbook stays changed.
    w->F1Book1->workbook().setEntry(0, 1, 1, u"ancien"_qs);
    w->setSaveDialogHook([&](QString &p, int &) {
        p = file(u"parti/compte.qvc"_qs);
        return !p.isEmpty();
    });
    QVERIFY(!w->SaveAs());
    QCOMPARE(errors, QStringList{u"Ne peut créer le fichier %1"_qs.arg(file(u"parti/compte.qvc"_qs))});
    QVERIFY(w->F1Book1->Modified());
    QVERIFY(w->NomFichier().isEmpty()); // the name and the caption stay as they were
    QCOMPARE(w->windowTitle(), u"Tableur"_qs);
    // A folder that cannot be written to: the old file is left as it was.
    const QString path = file(u"compte.qvc"_qs);
    w->setSaveDialogHook([&](QString &p, int &) {
        p = path;
        return !p.isEmpty();
    });
    QVERIFY(w->SaveAs());
    QCOMPARE(errors.size(), 1);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    w->F1Book1->workbook().setEntry(0, 1, 1, u"nouveau"_qs);
    {
        ReadOnlyDir locked(tmp->path());
        if (!locked.active())
            QSKIP("cannot make a folder read-only here (root needs the immutable flag)");
        QVERIFY(!w->Sauve());
    }
    QCOMPARE(errors.size(), 2);
    QCOMPARE(errors.last(), u"Ne peut créer le fichier %1"_qs.arg(path));
    QCOMPARE(w->windowTitle(), u"compte.qvc"_qs);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    QVERIFY(w->F1Book1->Modified());
    QCOMPARE(w->F1Book1->workbook().displayText(0, 1, 1), u"nouveau"_qs);
}

void TestTTableur::chargeReadsBack()
{
    const QString path = file(u"relu.qvc"_qs);
    TF1Book *b = w->F1Book1;
    b->workbook().setEntry(0, 2, 2, u"=3*4"_qs);
    b->workbook().renameSheet(1, u"Ventes"_qs);
    b->SetActiveCell(2, 2);
    w->Justif(Alignment::Centre);
    w->setSaveDialogHook([&](QString &p, int &) {
        p = path;
        return !p.isEmpty();
    });
    QVERIFY(w->SaveAs());
    std::unique_ptr<TTableur> other(newWindow());
    other->setWindowTitle(u"relu.qvc"_qs); // as the frame does
    other->Charge(path);
    QVERIFY(errors.isEmpty());
    QCOMPARE(other->NomFichier(), path);
    QCOMPARE(other->F1Book1->workbook().displayText(0, 2, 2), u"12"_qs);
    QCOMPARE(other->F1Book1->SheetName(2), u"Ventes"_qs);
    QVERIFY(!other->F1Book1->Modified());
    other->F1Book1->SetActiveCell(2, 2);
    QVERIFY(frame->styles.last().center);
}

void TestTTableur::chargeOfABadFileNeverOverwritesIt()
{
    const QString path = file(u"abime.qvc"_qs);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("ceci n'est pas un classeur");
    f.close();
    w->setWindowTitle(u"abime.qvc"_qs);
    w->Charge(path);
    QCOMPARE(errors.size(), 1);
    QVERIFY(w->NomFichier().isEmpty());
    QCOMPARE(w->windowTitle(), u"Tableur"_qs);
    // Saving asks for a name instead of writing over the file that could not be read.
    w->F1Book1->workbook().setEntry(0, 1, 1, u"x"_qs);
    w->setSaveDialogHook([](QString &, int &) { return false; });
    w->Sauve();
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("ceci n'est pas un classeur"));
}

void TestTTableur::closeQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("dialogGivesName");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    QTest::newRow("Annuler") << int(messageboxes::Answer::Annuler) << true << false << false;
    QTest::newRow("Non") << int(messageboxes::Answer::Non) << true << true << false;
    QTest::newRow("Oui") << int(messageboxes::Answer::Oui) << true << true << true;
    QTest::newRow("Oui then cancelled save") << int(messageboxes::Answer::Oui) << false << false << false;
}

void TestTTableur::closeQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, dialogGivesName);
    QFETCH(bool, closes);
    QFETCH(bool, written);
    // A workbook already saved under a name, changed since.
    const QString path = file(u"notes.qvc"_qs);
    w->setSaveDialogHook([&](QString &p, int &) {
        p = path;
        return !p.isEmpty();
    });
    w->F1Book1->workbook().setEntry(0, 1, 1, u"1"_qs);
    w->SaveAs();
    w->Sauve();
    QFile::remove(path);
    w->F1Book1->workbook().setEntry(0, 1, 1, u"2"_qs);
    w->setNomFichier(dialogGivesName ? path : QString());
    w->setSaveDialogHook([&](QString &p, int &) {
        p = dialogGivesName ? path : QString();
        return !p.isEmpty();
    });
    boxAnswer = messageboxes::Answer(answer);
    QCOMPARE(w->close(), closes);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, u"Avertissement"_qs);
    QCOMPARE(boxes[0].text,
             dialogGivesName ? u"Sauver modifications dans notes.qvc ?"_qs
                             : u"Sauver modifications dans bilan ?"_qs.replace(u"bilan"_qs, w->windowTitle()));
    QCOMPARE(QFile::exists(path), written);
    QCOMPARE(w->isVisible(), !closes);
}

void TestTTableur::centreLightsTheCentreButton()
{
    TF1Book *b = w->F1Book1;
    b->SetActiveCell(2, 2);
    b->workbook().setEntry(0, 2, 2, u"123"_qs);
    w->Justif(Alignment::Centre);
    QCOMPARE(b->workbook().format(0, 2, 2).horizontal, AlignCenter);
    b->SetActiveCell(3, 3);
    QVERIFY(!frame->styles.last().center);
    b->SetActiveCell(2, 2);
    QVERIFY(frame->styles.last().center);
    QVERIFY(!frame->styles.last().right);
    QVERIFY(!frame->styles.last().left);
    w->Justif(Alignment::Right);
    QVERIFY(frame->styles.last().right && !frame->styles.last().center);
    w->Justif(Alignment::Left);
    QVERIFY(frame->styles.last().left && !frame->styles.last().right);
    QCOMPARE(b->workbook().format(0, 2, 2).horizontal, AlignLeft);
}

void TestTTableur::toolbarStylesKeepOtherCellsFonts()
{
    TF1Book *b = w->F1Book1;
    Workbook &wb = b->workbook();
    wb.modifyFormat(0, CellRange::single(1, 2), [](CellFormat &f) {
        f.fontName = u"Times New Roman"_qs;
        f.fontSize = 280;
        f.horizontal = AlignRight;
    });
    b->SetSelection(1, 1, 1, 2); // A1 (Arial 10) is the active cell
    w->FontStyle(true, false, true);
    QVERIFY(wb.format(0, 1, 1).bold && wb.format(0, 1, 2).bold);
    QVERIFY(wb.format(0, 1, 2).underline);
    QCOMPARE(wb.format(0, 1, 2).fontName, u"Times New Roman"_qs);
    QCOMPARE(wb.format(0, 1, 2).fontSize, 280);
    QVERIFY(frame->styles.last().bold && frame->styles.last().underline && !frame->styles.last().italic);
    w->Justif(Alignment::Centre);
    QCOMPARE(wb.format(0, 1, 2).horizontal, AlignCenter);
    QCOMPARE(wb.format(0, 1, 2).fontSize, 280);
}

void TestTTableur::fontDialogCancelledChangesNothing()
{
    TF1Book *b = w->F1Book1;
    Workbook &wb = b->workbook();
    wb.modifyFormat(0, CellRange::single(1, 1), [](CellFormat &f) { f.fontSize = 210; }); // 10,5 points
    wb.modifyFormat(0, CellRange::single(2, 1), [](CellFormat &f) {
        f.fontName = u"Courier New"_qs;
        f.bold = true;
    });
    b->SetSelection(1, 1, 2, 1);
    QFont f;
    w->GetFont(f);
    w->SetFont(f); // the dialog was cancelled: the font as read comes back
    QCOMPARE(wb.format(0, 1, 1).fontSize, 210);
    QCOMPARE(wb.format(0, 2, 1).fontName, u"Courier New"_qs);
    QVERIFY(wb.format(0, 2, 1).bold);
}

// A workbook font this machine lacks is offered as its stand-in, so that the dialog opens on
// it; kept as it is, the cells keep the name they had; another family chosen replaces it.
void TestTTableur::fontDialogShowsTheStandInOfAMissingFont()
{
    TF1Book *b = w->F1Book1;
    Workbook &wb = b->workbook();
    const QString missing = u"Police Absente De Velmora"_qs;
    wb.modifyFormat(0, CellRange::single(1, 1), [&](CellFormat &f) { f.fontName = missing; });
    b->SetSelection(1, 1, 1, 1);
    QFont f;
    w->GetFont(f);
    QVERIFY(QFontDatabase::hasFamily(f.family()));
    f.setBold(true);
    w->SetFont(f); // only bold was changed in the dialog
    QCOMPARE(wb.format(0, 1, 1).fontName, missing);
    QVERIFY(wb.format(0, 1, 1).bold);
    w->GetFont(f);
    const QString other = f.family() == u"Liberation Serif"_qs ? u"Liberation Sans"_qs : u"Liberation Serif"_qs;
    f.setFamily(other);
    w->SetFont(f);
    QCOMPARE(wb.format(0, 1, 1).fontName, other);
}

void TestTTableur::fontNameAndSize()
{
    TF1Book *b = w->F1Book1;
    b->SetSelection(1, 1, 2, 2);
    w->FontName(u"Courier New"_qs, 14);
    const CellFormat cf = b->workbook().format(0, 2, 2);
    QCOMPARE(cf.fontName, u"Courier New"_qs);
    QCOMPARE(cf.fontSize, 280);
    // Sizes a cell cannot show are brought back within bounds; an empty name is ignored.
    w->FontName(QString(), 0);
    QCOMPARE(b->workbook().format(0, 2, 2).fontName, u"Courier New"_qs);
    QCOMPARE(b->workbook().format(0, 2, 2).fontSize, 20);
}

void TestTTableur::freezeRowsFromRow4()
{
    TF1Book *b = w->F1Book1;
    b->SetActiveCell(4, 3);
    w->FixLigs(true);
    QCOMPARE(b->FixedRows(), 4);
    QCOMPARE(b->FixedCols(), 0);
    auto *pane = b->view()->findChild<SheetView *>(u"FrozenPane1"_qs);
    QVERIFY(pane && pane->isVisible());
    w->FixLigs(false);
    QCOMPARE(b->FixedRows(), 0);
    QVERIFY(!pane->isVisible());
}

void TestTTableur::freezeColumns()
{
    TF1Book *b = w->F1Book1;
    b->SetActiveCell(7, 2);
    w->FixCols(true);
    QCOMPARE(b->FixedCols(), 2);
    b->SetActiveCell(2, 2);
    w->FixLigs(true);
    QCOMPARE(b->FixedRows(), 2);
    auto *corner = b->view()->findChild<SheetView *>(u"FrozenPane3"_qs);
    QVERIFY(corner && corner->isVisible());
    w->FixCols(false);
    QCOMPARE(b->FixedCols(), 0);
    QVERIFY(!corner->isVisible());
}

void TestTTableur::sortListsColumnLetters()
{
    TF1Book *b = w->F1Book1;
    Workbook &wb = b->workbook();
    const int cValues[] = {5, 3, 6, 1, 7, 2, 8, 4};
    for (int i = 0; i < 8; ++i) {
        wb.setEntry(0, 2 + i, 2, QStringLiteral("ligne %1").arg(i));
        wb.setEntry(0, 2 + i, 3, QString::number(cValues[i]));
    }
    b->SetSelection(2, 2, 9, 4);
    b->SetActiveCell(2, 2);
    b->SetSelection(2, 2, 9, 4);
    QStringList listed;
    int preselected = -1;
    answerDialogs([&](QDialog &d) {
        auto &tri = static_cast<TTri &>(d);
        for (int i = 0; i < tri.ComboBox1->count(); ++i)
            listed << tri.ComboBox1->itemText(i);
        preselected = tri.ComboBox1->currentIndex();
        tri.ComboBox1->setCurrentIndex(1); // "C"
        tri.Croissant->setChecked(true);
        tri.OkButton->click();
        return int(d.result());
    });
    w->Trier();
    QCOMPARE(listed, QStringList({u"B"_qs, u"C"_qs, u"D"_qs}));
    QCOMPARE(preselected, 0); // the active column
    for (int r = 2; r <= 9; ++r)
        QCOMPARE(wb.value(0, r, 3).asNumber(), double(r - 1));
    QCOMPARE(wb.displayText(0, 2, 2), u"ligne 3"_qs); // rows moved whole
    QCOMPARE(wb.displayText(0, 9, 2), u"ligne 6"_qs);
    // Descending, and a cancelled dialog sorts nothing.
    answerDialogs([&](QDialog &d) {
        auto &tri = static_cast<TTri &>(d);
        tri.ComboBox1->setCurrentIndex(1);
        tri.Decroissant->setChecked(true);
        tri.OkButton->click();
        return int(d.result());
    });
    w->Trier();
    QCOMPARE(wb.value(0, 2, 3).asNumber(), 8.0);
    answerDialogs([&](QDialog &d) {
        static_cast<TTri &>(d).CancelButton->click();
        return int(d.result());
    });
    w->Trier();
    QCOMPARE(wb.value(0, 2, 3).asNumber(), 8.0);
}

void TestTTableur::sortLettersBeyondZ()
{
    TF1Book *b = w->F1Book1;
    b->SetSelection(1, 25, 3, 28);
    b->SetActiveCell(1, 27);
    b->SetSelection(1, 25, 3, 28);
    QStringList listed;
    int preselected = -1;
    answerDialogs([&](QDialog &d) {
        auto &tri = static_cast<TTri &>(d);
        for (int i = 0; i < tri.ComboBox1->count(); ++i)
            listed << tri.ComboBox1->itemText(i);
        preselected = tri.ComboBox1->currentIndex();
        tri.CancelButton->click();
        return int(d.result());
    });
    w->Trier();
    QCOMPARE(listed, QStringList({u"Y"_qs, u"Z"_qs, u"AA"_qs, u"AB"_qs}));
    QCOMPARE(preselected, b->Col() - 25);
}

void TestTTableur::widthIsTwentyTimesTheLetterA()
{
    TF1Book *b = w->F1Book1;
    b->SetSelection(1, 2, 5, 3);
    QString caption;
    answerDialogs([&](QDialog &d) {
        auto &larg = static_cast<TLarg &>(d);
        caption = larg.windowTitle();
        larg.SpinEdit1->setValue(12);
        larg.Button2->click();
        return int(d.result());
    });
    w->Largeur();
    QCOMPARE(caption, u"Lageur colonne"_qs);
    const int a = w->fontMetrics().horizontalAdvance(QLatin1Char('A'));
    QCOMPARE(b->ColWidth(2), 240 * a);
    QCOMPARE(b->ColWidth(3), 240 * a);
    QCOMPARE(b->ColWidth(4), Workbook::kDefaultColumnWidth);
    QCOMPARE(b->view()->columnWidth(1), b->toPixels(240 * a));
    // Cancelled, zero or negative: nothing changes.
    for (int n : {0, -3}) {
        answerDialogs([n](QDialog &d) {
            auto &larg = static_cast<TLarg &>(d);
            larg.SpinEdit1->setValue(n);
            larg.Button2->click();
            return int(d.result());
        });
        w->Largeur();
        QCOMPARE(b->ColWidth(2), 240 * a);
    }
}

void TestTTableur::sheetTabsAddBilan()
{
    QStringList shown;
    answerDialogs([&](QDialog &d) {
        auto &o = static_cast<TOnglet &>(d);
        for (int i = 0; i < o.ListBox1->count(); ++i)
            shown << o.ListBox1->item(i)->text();
        o.Edit1->setText(u"Bilan"_qs);
        o.Button2->click();
        o.Button1->click();
        return int(d.result());
    });
    w->Onglets();
    QCOMPARE(shown, QStringList({u"Feuil1"_qs, u"Feuil2"_qs, u"Feuil3"_qs}));
    TF1Book *b = w->F1Book1;
    QCOMPARE(b->NumSheets(), 4);
    QCOMPARE(b->SheetName(4), u"Bilan"_qs);
    QCOMPARE(b->tabBar()->tabText(3), u"Bilan"_qs);
    QVERIFY(b->Modified());
}

void TestTTableur::sheetTabsRemoveKeepsOtherContent()
{
    TF1Book *b = w->F1Book1;
    Workbook &wb = b->workbook();
    wb.setEntry(0, 1, 1, u"un"_qs);
    wb.setEntry(1, 1, 1, u"deux"_qs);
    wb.setEntry(2, 1, 1, u"trois"_qs);
    wb.setColumnWidth(2, 1, 1, 3000);
    b->SetSheet(2); // the sheet shown goes
    answerDialogs([&](QDialog &d) {
        auto &o = static_cast<TOnglet &>(d);
        o.ListBox1->setCurrentRow(0);
        o.Button3->click(); // the first sheet is never removed
        o.ListBox1->setCurrentRow(1);
        o.Button3->click(); // "Feuil2" goes, once confirmed: it holds data
        o.Button1->click();
        return int(d.result());
    });
    boxAnswer = messageboxes::Answer::Oui;
    w->Onglets();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(b->NumSheets(), 2);
    QCOMPARE(b->SheetName(1), u"Feuil1"_qs);
    QCOMPARE(b->SheetName(2), u"Feuil3"_qs);
    QCOMPARE(wb.displayText(0, 1, 1), u"un"_qs);
    QCOMPARE(wb.displayText(1, 1, 1), u"trois"_qs);
    QCOMPARE(b->tabBar()->currentIndex(), b->Sheet() - 1);
    QCOMPARE(b->view()->model()->index(0, 0).data().toString(), u"trois"_qs);
    QCOMPARE(b->view()->columnWidth(0), b->toPixels(3000)); // the sizes of the sheet now shown
}

// "Chercher" asks for a text and goes to the next cell, row by row, that shows it or whose
// formula holds it, whatever the case; "Continuer" goes on, coming back to the top.
void TestTTableur::findGoesRoundTheSheet()
{
    TF1Book *b = w->F1Book1;
    // Sheet, row, column, entry; the second sheet is not searched.
    const std::tuple<int, int, int, const char *> entries[] = {{0, 1, 1, "Janvier"},
                                                               {0, 3, 2, "février"},
                                                               {0, 3, 3, "=SOMME(A5:A6)"},
                                                               {0, 7, 1, "JANVIER 2026"},
                                                               {1, 2, 2, "janvier ailleurs"}};
    for (const auto &[sheet, row, col, entry] : entries)
        b->workbook().setEntry(sheet, row, col, QString::fromUtf8(entry));
    b->SetActiveCell(1, 1);
    QString asked;
    answerDialogs([&](QDialog &d) {
        auto &f = static_cast<TFindDialog &>(d);
        if (asked.isEmpty()) {
            f.CancelButton->click();
        } else {
            f.Edit1->setText(asked);
            f.OkButton->click();
        }
        return int(d.result());
    });
    const auto at = [&] { return cellName(b->Row(), b->Col()); };
    w->Chercher(); // cancelled: nothing moves
    QCOMPARE(at(), u"A1"_qs);
    asked = u"janv"_qs;
    w->FindNext(); // nothing asked for yet: the question comes first
    QCOMPARE(at(), u"A7"_qs);
    b->SetActiveCell(1, 1);
    w->Chercher();
    QCOMPARE(at(), u"A7"_qs);
    w->FindNext();
    QCOMPARE(at(), u"A1"_qs);
    w->FindNext();
    QCOMPARE(at(), u"A7"_qs);
    asked = u"Février"_qs;
    w->Chercher();
    QCOMPARE(at(), u"B3"_qs);
    asked = u"somme"_qs; // in the formula, not in what the cell shows
    w->Chercher();
    QCOMPARE(at(), u"C3"_qs);
    QVERIFY(boxes.isEmpty());
    asked = u"mars"_qs;
    w->Chercher();
    QCOMPARE(at(), u"C3"_qs);
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes.first().text.contains(u"mars"_qs));
    QVERIFY(errors.isEmpty());
}

// "Remplacer" changes what was typed in the cells (texts, formulas, numbers), whatever the
// case, in the whole sheet or in the selection when there is one; each use is one step to
// undo, and what it did is said.
void TestTTableur::replaceChangesEntriesInOneStep()
{
    TF1Book *b = w->F1Book1;
    sheet::Workbook &wb = b->workbook();
    const std::tuple<int, int, int, const char *> entries[] = {{0, 1, 1, "Janvier"},
                                                               {0, 2, 1, "janvier, JANVIER"},
                                                               {0, 3, 1, "janvier"},
                                                               {0, 1, 2, "=SOMME(C1:C2)"},
                                                               {0, 1, 3, "1234,5"},
                                                               {0, 2, 3, "2"},
                                                               {1, 1, 1, "janvier ailleurs"}};
    for (const auto &[sheet, row, col, entry] : entries)
        wb.setEntry(sheet, row, col, QString::fromUtf8(entry));
    QString search, replacement;
    answerDialogs([&](QDialog &d) {
        auto &f = static_cast<TReplaceDialog &>(d);
        f.Edit1->setText(search);
        f.Edit2->setText(replacement);
        f.OkButton->click();
        return int(d.result());
    });
    auto replace = [&](const QString &s, const QString &r) {
        search = s;
        replacement = r;
        boxes.clear();
        w->Remplacer();
        return boxes.size() == 1 ? boxes.first().text : QString();
    };
    b->SetActiveCell(5, 5);
    QCOMPARE(replace(u"janvier"_qs, u"Mars"_qs), u"4 occurrences remplacées."_qs);
    QCOMPARE(wb.displayText(0, 1, 1), u"Mars"_qs);
    QCOMPARE(wb.displayText(0, 2, 1), u"Mars, Mars"_qs);
    QCOMPARE(wb.displayText(0, 3, 1), u"Mars"_qs);
    QCOMPARE(wb.displayText(1, 1, 1), u"janvier ailleurs"_qs); // another sheet
    b->EditUndo(); // the four cells at once
    QCOMPARE(wb.displayText(0, 1, 1), u"Janvier"_qs);
    QCOMPARE(wb.displayText(0, 2, 1), u"janvier, JANVIER"_qs);
    QVERIFY(!b->CanUndo());

    // Formulas and numbers are changed as typed, and computed again.
    QCOMPARE(replace(u"somme"_qs, u"MOYENNE"_qs), u"1 occurrence remplacée."_qs);
    QCOMPARE(wb.formulaText(0, 1, 2), u"=MOYENNE(C1:C2)"_qs);
    QCOMPARE(replace(u"4,5"_qs, u"4,75"_qs), u"1 occurrence remplacée."_qs);
    QCOMPARE(wb.displayText(0, 1, 2), u"618,375"_qs);
    // A formula that would break stays as it was, and is counted apart.
    const QString broken = replace(u"C2)"_qs, u"C2"_qs);
    QVERIFY2(broken.startsWith(u"Aucune occurrence remplacée."_qs) && broken.contains(u"1 cellule(s)"_qs),
             qPrintable(broken));
    QCOMPARE(wb.formulaText(0, 1, 2), u"=MOYENNE(C1:C2)"_qs);

    // Only in the selection when there is one.
    b->SetSelection(1, 1, 2, 1);
    QCOMPARE(replace(u"janvier"_qs, u"avril"_qs), u"3 occurrences remplacées."_qs);
    QCOMPARE(wb.displayText(0, 3, 1), u"janvier"_qs);
    // Nothing found: said so, and no step to undo.
    b->SetActiveCell(1, 1);
    for (int steps = 0; steps < 3; ++steps) // avril, 4,75 and MOYENNE; the broken one made none
        b->EditUndo();
    QVERIFY(!b->CanUndo());
    QCOMPARE(wb.formulaText(0, 1, 2), u"=SOMME(C1:C2)"_qs);
    QCOMPARE(replace(u"décembre"_qs, u"x"_qs), u"Aucune occurrence remplacée."_qs);
    QVERIFY(!b->CanUndo());
    QVERIFY(errors.isEmpty());
}

// "Aperçu avant impression" shows the active sheet's pages as they would print: more
// rows, more pages.
void TestTTableur::previewShowsThePages()
{
    QList<int> pages;
    answerDialogs([&](QDialog &d) {
        auto *preview = d.findChild<QPrintPreviewWidget *>();
        if (!qobject_cast<QPrintPreviewDialog *>(&d) || !preview)
            return -1;
        preview->updatePreview();
        pages.append(preview->pageCount());
        return 0;
    });
    TF1Book *b = w->F1Book1;
    b->workbook().setEntry(0, 1, 1, u"Total"_qs);
    w->Apercu();
    for (int row = 1; row <= 400; ++row)
        b->workbook().setEntry(0, row, 2, QString::number(row));
    w->Apercu();
    QCOMPARE(pages.size(), 2);
    QCOMPARE(pages[0], 1);
    QVERIFY2(pages[1] > 1, qPrintable(QString::number(pages[1])));
    QVERIFY(errors.isEmpty());
}

void TestTTableur::sheetTabsRename()
{
    TF1Book *b = w->F1Book1;
    b->workbook().setEntry(0, 1, 1, u"=Feuil2!A1+1"_qs);
    b->workbook().setEntry(1, 1, 1, u"4"_qs);
    answerDialogs([&](QDialog &d) {
        // Swap the names of sheets 2 and 3: both must come out right.
        auto &o = static_cast<TOnglet &>(d);
        o.ListBox1->setCurrentRow(1);
        o.Edit1->setText(u"Temp"_qs);
        o.Button2->click();
        o.ListBox1->setCurrentRow(2);
        o.Edit1->setText(u"Feuil2"_qs);
        o.Button2->click();
        o.ListBox1->setCurrentRow(1);
        o.Edit1->setText(u"Feuil3"_qs);
        o.Button2->click();
        o.Button1->click();
        return int(d.result());
    });
    w->Onglets();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
    QCOMPARE(b->SheetName(2), u"Feuil3"_qs);
    QCOMPARE(b->SheetName(3), u"Feuil2"_qs);
    QCOMPARE(b->workbook().displayText(1, 1, 1), u"4"_qs); // the content stayed with its sheet
    QCOMPARE(b->workbook().displayText(0, 1, 1), u"5"_qs);
}

// Sheets reordered in the dialog or by dragging a tab: formulas keep reading the sheets
// they read, the sheet shown stays shown, and each move is undone as one step.
void TestTTableur::sheetOrder()
{
    TF1Book *b = w->F1Book1;
    Workbook &wb = b->workbook();
    wb.setEntry(0, 1, 1, u"=Feuil3!A1*2"_qs);
    wb.setEntry(2, 1, 1, u"21"_qs);
    wb.setEntry(1, 1, 1, u"deux"_qs);
    b->SetSheet(2);
    answerDialogs([&](QDialog &d) {
        auto &o = static_cast<TOnglet &>(d);
        o.ListBox1->setCurrentRow(2);
        o.Button4->click(); // "Feuil3" before "Feuil2"
        o.Button4->click(); // and before "Feuil1"
        o.Edit1->setText(u"Données"_qs);
        o.Button2->click(); // renamed as well
        o.Button1->click();
        return int(d.result());
    });
    w->Onglets();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
    const QStringList moved{b->SheetName(1), b->SheetName(2), b->SheetName(3)};
    QCOMPARE(moved, (QStringList{u"Données"_qs, u"Feuil1"_qs, u"Feuil2"_qs}));
    QCOMPARE(wb.formulaText(1, 1, 1), u"=Données!A1*2"_qs);
    QCOMPARE(wb.displayText(1, 1, 1), u"42"_qs);
    QCOMPARE(b->Sheet(), 3); // "Feuil2" is still the sheet shown
    QCOMPARE(b->tabBar()->tabText(2), u"Feuil2"_qs);
    QCOMPARE(b->view()->model()->index(0, 0).data().toString(), u"deux"_qs);
    w->Annule(); // the dialog's moves and renaming: one step
    QCOMPARE(b->SheetName(1), u"Feuil1"_qs);
    QCOMPARE(b->SheetName(3), u"Feuil3"_qs);
    QCOMPARE(wb.formulaText(0, 1, 1), u"=Feuil3!A1*2"_qs);

    // A tab dragged to the end (the tab bar moves its tab, then tells).
    b->SetSheet(1);
    QTest::mousePress(b->tabBar(), Qt::LeftButton, {}, b->tabBar()->tabRect(0).center());
    b->tabBar()->moveTab(0, 2);
    QTest::mouseRelease(b->tabBar(), Qt::LeftButton, {}, b->tabBar()->tabRect(2).center());
    QTRY_COMPARE(b->SheetName(3), u"Feuil1"_qs);
    QTRY_COMPARE(b->history().undoCount(), 1); // the drag, once the button is up
    QCOMPARE(b->SheetName(1), u"Feuil2"_qs);
    QCOMPARE(b->Sheet(), 3);
    QCOMPARE(wb.displayText(2, 1, 1), u"42"_qs);
    QCOMPARE(b->tabBar()->currentIndex(), 2);
    w->Annule();
    QCOMPARE(b->SheetName(1), u"Feuil1"_qs);
    QCOMPARE(b->tabBar()->tabText(0), u"Feuil1"_qs);
    QCOMPARE(b->Sheet(), 1);
    w->Retablit();
    QCOMPARE(b->SheetName(3), u"Feuil1"_qs);
    QCOMPARE(b->Sheet(), 3);
}

void TestTTableur::nameBoxAddresses_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("sheet"); // 1-based; 0 when the address is refused
    QTest::addColumn<QString>("selected");
    QTest::newRow("cell") << u"B12"_qs << 1 << u"B12"_qs;
    QTest::newRow("lower case, dollars") << u" $c$3 "_qs << 1 << u"C3"_qs;
    QTest::newRow("other sheet") << u"Feuil2!C3"_qs << 2 << u"C3"_qs;
    QTest::newRow("quoted sheet") << u"'Mes ventes'!A2:B4"_qs << 3 << u"A2:B4"_qs;
    QTest::newRow("range backwards") << u"C5:A1"_qs << 1 << u"A1:C5"_qs;
    QTest::newRow("last cell") << u"IV1048576"_qs << 1 << u"IV1048576"_qs;
    QTest::newRow("beyond the last column") << u"IW1"_qs << 0 << u"A1"_qs;
    QTest::newRow("unknown sheet") << u"Bilan!A1"_qs << 0 << u"A1"_qs;
    QTest::newRow("not an address") << u"total"_qs << 0 << u"A1"_qs;
}

void TestTTableur::nameBoxAddresses()
{
    QFETCH(QString, typed);
    QFETCH(int, sheet);
    QFETCH(QString, selected);
    TF1Book *b = w->F1Book1;
    b->SetSheetName(3, u"Mes ventes"_qs);
    QLineEdit *box = w->Formules1->NameBox;
    QCOMPARE(box->text(), u"A1"_qs);
    QTest::mouseClick(box, Qt::LeftButton);
    box->selectAll();
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
    int r1, c1, r2, c2;
    b->GetSelection(0, r1, c1, r2, c2);
    QCOMPARE(rangeName(CellRange{r1, c1, r2, c2}), selected);
    QCOMPARE(errors.size(), sheet == 0 ? 1 : 0);
    QCOMPARE(b->Sheet(), std::max(sheet, 1));
    if (sheet > 0) {
        QCOMPARE(box->text(), cellName(r1, c1)); // the active cell, the range's first
        QVERIFY(!box->hasFocus());
    }
}

void TestTTableur::formulaBarFollowsAndEdits()
{
    TF1Book *b = w->F1Book1;
    Workbook &wb = b->workbook();
    QLineEdit *line = w->Formules1->ContentLine;
    wb.setEntry(0, 1, 1, u"2"_qs);
    wb.setEntry(0, 2, 1, u"=SUM(A1;5)"_qs);
    b->SetActiveCell(2, 1);
    QCOMPARE(w->Formules1->NameBox->text(), u"A2"_qs);
    QCOMPARE(line->text(), u"=SOMME(A1;5)"_qs); // in French
    // Typing in the cell shows in the bar.
    b->SetActiveCell(3, 1);
    b->view()->setFocus();
    QTest::keyClicks(b->view(), "4");
    QTest::keyClicks(QApplication::focusWidget(), "2");
    QCOMPARE(line->text(), u"42"_qs);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!b->IsEditing());
    QTRY_COMPARE(line->text(), QString()); // the typing given up: the bar shows the empty cell
    // Edited in the bar: Enter enters it and moves down, as in the cell.
    b->SetActiveCell(1, 1);
    QTest::mouseClick(line, Qt::LeftButton);
    line->selectAll();
    QTest::keyClicks(line, "=A2*10");
    QTest::keyClick(line, Qt::Key_Return);
    QCOMPARE(wb.formulaText(0, 1, 1), u"=A2*10"_qs);
    QCOMPARE(b->Row(), 2);
    w->Annule(); // an entry from the bar is undone like any other
    QCOMPARE(wb.displayText(0, 1, 1), u"2"_qs);
    // Escape gives back what the cell holds; a refused formula stays in the bar, cell unchanged.
    b->SetActiveCell(1, 1);
    QTest::mouseClick(line, Qt::LeftButton);
    QTest::keyClicks(line, "999");
    QTest::keyClick(line, Qt::Key_Escape);
    QCOMPARE(line->text(), u"2"_qs);
    QCOMPARE(wb.displayText(0, 1, 1), u"2"_qs);
    QTest::mouseClick(line, Qt::LeftButton);
    line->selectAll();
    QTest::keyClicks(line, "=SOMME((");
    QTest::keyClick(line, Qt::Key_Return);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(line->text(), u"=SOMME(("_qs);
    QCOMPARE(wb.displayText(0, 1, 1), u"2"_qs);
    QCOMPARE(b->Row(), 1);
    // A value changed by recalculation shows at once.
    b->SetActiveCell(2, 1);
    b->view()->setFocus();
    wb.setEntry(0, 2, 1, u"=A1*3"_qs);
    QCOMPARE(line->text(), u"=A1*3"_qs);
}

void TestTTableur::fillDownAndRight()
{
    TF1Book *b = w->F1Book1;
    Workbook &wb = b->workbook();
    wb.setEntry(0, 1, 1, u"5"_qs);
    wb.setEntry(0, 1, 2, u"=A1*2"_qs);
    wb.setEntry(0, 3, 2, u"x"_qs);
    b->SetSelection(1, 1, 4, 2);
    b->view()->setFocus();
    QTest::keyClick(b->view(), Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(wb.displayText(0, 4, 1), u"5"_qs);
    QCOMPARE(wb.formulaText(0, 4, 2), u"=A4*2"_qs);
    QCOMPARE(wb.formulaText(0, 3, 2), u"=A3*2"_qs); // written over
    w->Annule(); // the whole fill is one step
    QVERIFY(wb.value(0, 4, 1).isEmpty());
    QCOMPARE(wb.displayText(0, 3, 2), u"x"_qs);
    b->SetSelection(1, 2, 1, 4);
    QTest::keyClick(b->view(), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(wb.formulaText(0, 1, 4), u"=C1*2"_qs);
    QVERIFY(errors.isEmpty());
}

void TestTTableur::functionsPutNameInEditor_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("editor");
    QTest::newRow("ABS") << u"ABS"_qs << u"=ABS("_qs;
    QTest::newRow("SUM") << u"SUM"_qs << u"=SOMME("_qs;
    QTest::newRow("ERROR TYPE") << u"ERROR TYPE"_qs << u"=TYPE.ERREUR("_qs;
    QTest::newRow("YEAR SIGN") << u"YEAR SIGN"_qs << u"=SIGNE("_qs;
    QTest::newRow("ROUNDOWN") << u"ROUNDOWN"_qs << u"=ARRONDI.INF("_qs;
    QTest::newRow("cancelled") << QString() << QString();
}

void TestTTableur::functionsPutNameInEditor()
{
    QFETCH(QString, entry);
    QFETCH(QString, editor);
    TF1Book *b = w->F1Book1;
    b->SetActiveCell(2, 2);
    answerDialogs([&](QDialog &d) {
        auto &f = static_cast<TFonct &>(d);
        const int row = int(TFonct::names().indexOf(entry));
        if (!entry.isEmpty() && row >= 0) {
            f.ListBox1->setCurrentRow(row);
            f.Button2->click();
        } else {
            f.Button1->click();
        }
        return int(d.result());
    });
    w->Fonctions();
    QCOMPARE(b->IsEditing(), !editor.isEmpty());
    QCOMPARE(b->EditorText(), editor);
    if (editor.isEmpty())
        return;
    auto *line = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(line);
    QCOMPARE(line->cursorPosition(), editor.size());
    QVERIFY(!line->hasSelectedText());
    if (entry == u"ABS") {
        QTest::keyClicks(line, "-3)");
        QTest::keyClick(line, Qt::Key_Return);
        QTRY_VERIFY(!b->IsEditing());
        QCOMPARE(b->workbook().value(0, 2, 2).asNumber(), 3.0);
    }
}

void TestTTableur::functionsWhileTyping()
{
    TF1Book *b = w->F1Book1;
    b->SetActiveCell(1, 1);
    b->StartEdit(u"=1+"_qs);
    answerDialogs([&](QDialog &d) {
        auto &f = static_cast<TFonct &>(d);
        f.ListBox1->setCurrentRow(0); // ABS
        f.Button2->click();
        return int(d.result());
    });
    w->Fonctions();
    QCOMPARE(b->EditorText(), u"=1+ABS("_qs);
    QVERIFY(b->workbook().value(0, 1, 1).isEmpty()); // nothing entered half-typed
    QVERIFY(errors.isEmpty());
}

void TestTTableur::sumAboveOrLeft_data()
{
    QTest::addColumn<QStringList>("cells"); // "B2=..." entries
    QTest::addColumn<QString>("active");
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("shown");
    QTest::newRow("block above") << QStringList{u"B1=Montant"_qs, u"B2=10"_qs, u"B3=20"_qs, u"B4=12,5"_qs} << u"B5"_qs
                                 << u"=SOMME(B2:B4)"_qs << u"42,5"_qs;
    QTest::newRow("one number above") << QStringList{u"C3=7"_qs} << u"C4"_qs << u"=SOMME(C3)"_qs << u"7"_qs;
    QTest::newRow("left when nothing above")
            << QStringList{u"A2=1"_qs, u"B2=2"_qs, u"C2=3"_qs} << u"D2"_qs << u"=SOMME(A2:C2)"_qs << u"6"_qs;
    QTest::newRow("text above stops the block")
            << QStringList{u"B2=1"_qs, u"B3=total"_qs, u"A4=5"_qs} << u"B4"_qs << u"=SOMME(A4)"_qs << u"5"_qs;
}

void TestTTableur::sumAboveOrLeft()
{
    QFETCH(QStringList, cells);
    QFETCH(QString, active);
    QFETCH(QString, formula);
    QFETCH(QString, shown);
    TF1Book *b = w->F1Book1;
    for (const QString &c : cells) {
        int r, col;
        QVERIFY(parseCellName(c.section(u'=', 0, 0), r, col));
        b->workbook().setEntry(0, r, col, c.section(u'=', 1));
    }
    int r, c;
    QVERIFY(parseCellName(active, r, c));
    b->SetActiveCell(r, c);
    w->Somme();
    QCOMPARE(b->workbook().formulaText(0, r, c), formula);
    QCOMPARE(b->workbook().displayText(0, r, c), shown);
}

void TestTTableur::autoFit()
{
    TF1Book *b = w->F1Book1;
    b->workbook().setEntry(0, 2, 1, u"Frais de déplacement du mois de décembre"_qs);
    b->workbook().setEntry(0, 1, 3, u"1"_qs);
    b->SetColWidth(2, 2, 3000, false); // an empty column inside the used area
    w->Ajuster();
    QVERIFY(b->ColWidth(1) > Workbook::kDefaultColumnWidth);
    QVERIFY(b->ColWidth(3) < Workbook::kDefaultColumnWidth);
    QCOMPARE(b->ColWidth(2), Workbook::kDefaultColumnWidth);
    QCOMPARE(b->ColWidth(4), Workbook::kDefaultColumnWidth);
}

void TestTTableur::chartOnSelection()
{
    TF1Book *b = w->F1Book1;
    for (int r = 1; r <= 3; ++r)
        b->workbook().setEntry(0, r, 2, QString::number(r));
    b->SetSelection(1, 2, kMaxRows, 2); // the whole column B
    w->Graphique();
    const auto charts = b->workbook().charts(0);
    QCOMPARE(charts.size(), size_t(1));
    QCOMPARE(charts.front().range, (CellRange{1, 2, 3, 2}));
}

void TestTTableur::cutCopyPaste()
{
    // While a cell is being edited, the commands work on the editor's text.
    TF1Book *b = w->F1Book1;
    QGuiApplication::clipboard()->setText(u"def"_qs);
    b->SetActiveCell(8, 1);
    b->StartEdit(u"abc"_qs);
    w->Colle();
    QCOMPARE(b->EditorText(), u"abcdef"_qs);
    QVERIFY(b->workbook().value(0, 8, 1).isEmpty());
}

void TestTTableur::printWithoutPrinterIsReported()
{
    QPrinter &p = frame->printer();
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(QString());
    w->Imprime();
    QCOMPARE(errors.size(), 1);
}

void TestTTableur::printToPdf()
{
    const QString pdf = file(u"t.pdf"_qs);
    QPrinter &p = frame->printer();
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(pdf);
    w->F1Book1->workbook().setEntry(0, 1, 1, u"Imprimé"_qs);
    w->Imprime();
    QVERIFY(errors.isEmpty());
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("%PDF"));
}

QTEST_MAIN(TestTTableur)
#include "tst_ttableur.moc"
