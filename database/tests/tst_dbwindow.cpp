// The database window driven as a user drives it: keys in the grids, the card buttons,
// the tool dialogs answered through the window's hooks, files read back from disk.
#include "common/ui/tfinddialog.h"
#include "common/ui/treplacedialog.h"
#include "common/ui/ttri.h"
#include "database/core/qvbformat.h"
#include "database/ui/cardgrid.h"
#include "database/ui/databasemodule.h"
#include "database/ui/listgrid.h"
#include "database/ui/listmodel.h"
#include "database/ui/tchamp.h"
#include "database/ui/tfichier.h"
#include "dbtesthelpers.h"
#include "common/testsupport/readonlydir.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>

using messageboxes::Answer;

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray kWidths = QByteArray("0A0").repeated(32) + "\r\n";

// Nom, Ville; Dupont/Paris, DUPUIS/Lyon, Martin/Dijon.
const QByteArray kCarnet = kWidths
        + "000001Nom\r\n000002Ville\r\n000101Dupont\r\n000102Paris\r\n"
          "000201DUPUIS\r\n000202Lyon\r\n000301Martin\r\n000302Dijon\r\n";

} // namespace

class TestDbWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void freshWindow();
    void modelPassesTheTester();
    void typingFillsTheTable();
    void enterGoesToFirstFieldOfNextRecord();
    void cellEntryStopsAt253Characters();
    void escapeRevertsAndDeleteEmpties();
    void loadRefillsFieldNames();
    void loadOfMissingFileKeepsAnEmptyNamedWindow();
    void saveUnnamedAsksForAName();
    void saveAsCancelledWritesNothing();
    void saveAppliesTheNameRule();
    void failedSaveIsReportedAndKeepsChanges();
    void unencodableCharacterAsksBeforeSaving();
    void closeQuestion_data();
    void closeQuestion();
    void cardView();
    void cardNavigationKeys();
    void cardZeroRenamesFields();
    void cardEditsSetModifie();
    void clipboardRecords();
    void clipboardInCardView();
    void pasteIntoFullDatabaseIsRefused();
    void insertAndDeleteRecords();
    void insertAndDeleteFields();
    void listOnlyCommandsInCardView();
    void findAndContinue();
    void findInCardView();
    void replaceInCurrentField();
    void sortThroughDialog();
    void sortCancelled();
    void fieldDialog();
    void fieldDialogRefuses33rdName();
    void movingARowMovesTheRecord();
    void movingAColumnMovesTheField();
    void resizingAColumnIsSaved();
    void bornesAndContenu();

private:
    TFichier *newWindow();
    void load(const QByteArray &bytes, const QString &name = QStringLiteral("carnet.qvb"));

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<DatabaseModule> m_module;
    std::unique_ptr<TestFrame> m_frame;
    std::unique_ptr<TFichier> m_w;
    MessageLog m_log;
};

void TestDbWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_module = std::make_unique<DatabaseModule>(nullptr);
    m_frame = std::make_unique<TestFrame>();
    m_log = MessageLog();
    m_log.install();
    m_w.reset(newWindow());
}

void TestDbWindow::cleanup()
{
    m_w.reset();
    m_module.reset();
    messageboxes::setResponder({});
    errorhandler::setSink({});
}

TFichier *TestDbWindow::newWindow()
{
    auto *w = static_cast<TFichier *>(m_module->createWindow(*m_frame));
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w))
        qWarning("window not active");
    w->listGrid()->setFocus();
    return w;
}

void TestDbWindow::load(const QByteArray &bytes, const QString &name)
{
    const QString path = m_dir->filePath(name);
    writeFile(path, bytes);
    m_w->Charge(path);
}

void TestDbWindow::freshWindow()
{
    QCOMPARE(m_w->windowTitle(), QStringLiteral("Fichier"));
    QCOMPARE(m_w->size(), QSize(544, 375));
    QVERIFY(!m_w->cardShown());
    QVERIFY(!m_w->Modifie());
    QVERIFY(m_w->NomFichier().isEmpty());
    ListGrid *g = m_w->listGrid();
    QCOMPARE(g->model()->rowCount(), 16384);
    QCOMPARE(g->model()->columnCount(), 32);
    QCOMPARE(g->model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
    QCOMPARE(g->model()->headerData(4095, Qt::Vertical).toString(), QStringLiteral("4096"));
    QCOMPARE(g->model()->headerData(4096, Qt::Vertical).toString(), QString());
    QCOMPARE(g->verticalHeader()->width(), 40);
    QCOMPARE(g->rowHeight(100), 24);
    QCOMPARE(g->columnWidth(31), 160);
    QCOMPARE(m_w->currentRecord(), 1);
    QCOMPARE(m_w->currentField(), 1);
}

void TestDbWindow::modelPassesTheTester()
{
    load(kCarnet);
    QAbstractItemModelTester tester(m_w->listModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_w->listModel()->setData(m_w->listModel()->cellIndex(3, 2), QStringLiteral("x"));
    m_w->InsLig();
    m_w->SupCol();
}

void TestDbWindow::typingFillsTheTable()
{
    m_w->setCurrentCell(2, 3);
    typeText(QStringLiteral("Hélène"));
    // The text reaches the table while the cell is still being edited.
    QCOMPARE(m_w->table().cell(2, 3), QStringLiteral("Hélène"));
    QVERIFY(m_w->Modifie());
    QCOMPARE(m_w->table().NbFiches, 3);
    QCOMPARE(m_w->table().NbChamps, 2);
    pressKey(Qt::Key_Tab);
    typeText(QStringLiteral("x"));
    pressKey(Qt::Key_Backspace);
    QCOMPARE(m_w->table().cell(3, 3), QString());
    QCOMPARE(m_w->table().NbChamps, 3);
}

void TestDbWindow::enterGoesToFirstFieldOfNextRecord()
{
    m_w->setCurrentCell(3, 1);
    typeText(QStringLiteral("a"));
    pressKey(Qt::Key_Return);
    QCOMPARE(m_w->currentField(), 1);
    QCOMPARE(m_w->currentRecord(), 2);
    // Past the last record, Enter makes that row the last record.
    QCOMPARE(m_w->table().NbFiches, 2);
    pressKey(Qt::Key_Return);
    QCOMPARE(m_w->currentRecord(), 3);
    QCOMPARE(m_w->table().NbFiches, 3);
    QCOMPARE(m_w->table().cell(3, 1), QStringLiteral("a"));
}

void TestDbWindow::cellEntryStopsAt253Characters()
{
    m_w->setCurrentCell(1, 1);
    typeText(QString(260, u'z'));
    pressKey(Qt::Key_Return);
    QCOMPARE(m_w->table().cell(1, 1), QString(253, u'z'));
    // Nor can a line break get in through the model.
    m_w->listModel()->setData(m_w->listModel()->cellIndex(1, 2), QStringLiteral("a\r\nb\nc"));
    QCOMPARE(m_w->table().cell(1, 2), QStringLiteral("a b c"));
}

void TestDbWindow::escapeRevertsAndDeleteEmpties()
{
    load(kCarnet);
    m_w->setCurrentCell(1, 1);
    m_w->listGrid()->setFocus();
    typeText(QStringLiteral("Durand"));
    QCOMPARE(m_w->table().cell(1, 1), QStringLiteral("Durand"));
    pressKey(Qt::Key_Escape);
    QCOMPARE(m_w->table().cell(1, 1), QStringLiteral("Dupont"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(m_w->listGrid())); // the editor is gone
    // Delete empties the selected cells.
    m_w->listGrid()->selectionModel()->select(
            QItemSelection(m_w->listModel()->cellIndex(1, 2), m_w->listModel()->cellIndex(2, 2)),
            QItemSelectionModel::ClearAndSelect);
    pressKey(Qt::Key_Delete);
    QVERIFY(m_w->table().rowIsEmpty(2));
    QCOMPARE(m_w->table().cell(1, 3), QStringLiteral("Martin"));
    QVERIFY(m_w->Modifie());
}

void TestDbWindow::loadRefillsFieldNames()
{
    load(kWidths.left(3) + "0C8" + kWidths.mid(6) + "000001 Nom \r\n000003Ville\r\n000101Dupont\r\n");
    QCOMPARE(m_frame->fieldNames, (QStringList{"Nom", "Ville"}));
    QCOMPARE(m_frame->fieldNameRefills, 1);
    QVERIFY(!m_w->Modifie());
    QCOMPARE(m_w->listGrid()->columnWidth(1), 200);
    QCOMPARE(m_w->listGrid()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral(" Nom "));
    QCOMPARE(m_w->listGrid()->model()->data(m_w->listModel()->cellIndex(1, 1)).toString(), QStringLiteral("Dupont"));
    QCOMPARE(m_w->NomFichier(), m_dir->filePath(QStringLiteral("carnet.qvb")));
}

void TestDbWindow::loadOfMissingFileKeepsAnEmptyNamedWindow()
{
    const QString path = m_dir->filePath(QStringLiteral("absent.qvb"));
    m_w->Charge(path);
    QCOMPARE(m_log.errors, QStringList{QStringLiteral("Fichier introuvable")});
    QCOMPARE(m_w->NomFichier(), path);
    QCOMPARE(m_w->table().NbFiches, 0);
    QCOMPARE(m_frame->fieldNameRefills, 1);
    QVERIFY(m_frame->fieldNames.isEmpty());
    // The user may fill it and save it under that name.
    m_w->setCurrentCell(1, 1);
    typeText(QStringLiteral("neuf"));
    m_w->Sauve();
    QCOMPARE(readFile(path), kWidths + "000101neuf\r\n");
}

void TestDbWindow::saveUnnamedAsksForAName()
{
    int asked = 0;
    m_w->setSaveDialogHook([&](QString &, int &) {
        ++asked;
        return false;
    });
    m_w->setCurrentCell(1, 1);
    typeText(QStringLiteral("x"));
    // The frame's "Enregistrer sous": SaveAs then Sauve; both dialogs cancelled.
    m_w->SaveAs();
    m_w->Sauve();
    QCOMPARE(asked, 2);
    QVERIFY(m_w->Modifie());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 0);

    const QString path = m_dir->filePath(QStringLiteral("neuf"));
    m_w->setSaveDialogHook([&](QString &p, int &) {
        p = path;
        return !p.isEmpty();
    });
    m_w->Sauve();
    QVERIFY(!m_w->Modifie());
    QCOMPARE(m_w->NomFichier(), path + QStringLiteral(".qvb"));
    QCOMPARE(m_w->windowTitle(), QStringLiteral("neuf.qvb"));
    QCOMPARE(readFile(path + QStringLiteral(".qvb")), kWidths + "000101x\r\n");
}

void TestDbWindow::saveAsCancelledWritesNothing()
{
    load(kCarnet);
    const QString path = m_w->NomFichier();
    writeFile(path, "remplacé");
    m_w->setSaveDialogHook([](QString &p, int &) {
        p = QString();
        return !p.isEmpty();
    });
    QVERIFY(!m_w->SaveAs());
    QVERIFY(!m_w->Modifie());
    QCOMPARE(readFile(path), QByteArray("remplacé"));
    // Nothing changed: Sauve writes nothing.
    writeFile(path, "intact");
    m_w->Sauve();
    QCOMPARE(readFile(path), QByteArray("intact"));
}

void TestDbWindow::saveAppliesTheNameRule()
{
    QDir(m_dir->path()).mkdir(QStringLiteral("mes.docs"));
    load(kCarnet, QStringLiteral("mes.docs/carnet.old.qvb"));
    m_w->setCurrentCell(1, 4);
    typeText(QStringLiteral("Petit"));
    m_w->Sauve();
    const QString expected = m_dir->filePath(QStringLiteral("mes.docs/carnet.qvb"));
    QCOMPARE(m_w->NomFichier(), expected);
    QCOMPARE(readFile(expected), kCarnet + "000401Petit\r\n");
    QCOMPARE(m_w->windowTitle(), QStringLiteral("carnet.qvb"));
}

void TestDbWindow::failedSaveIsReportedAndKeepsChanges()
{
    load(kCarnet);
    const QString path = m_w->NomFichier();
    m_w->setCurrentCell(1, 1);
    typeText(QStringLiteral("Z"));
    {
        ReadOnlyDir locked(m_dir->path());
        if (!locked.active())
            QSKIP("cannot make a folder read-only here");
        m_w->Sauve();
    }
    QCOMPARE(m_log.errors.size(), 1);
    QCOMPARE(m_log.errors.first(), QStringLiteral("Ne peut créer le fichier %1").arg(path));
    QVERIFY(m_w->Modifie());
    QCOMPARE(readFile(path), kCarnet);
}

void TestDbWindow::unencodableCharacterAsksBeforeSaving()
{
    load(kCarnet);
    const QString path = m_w->NomFichier();
    m_w->listModel()->setData(m_w->listModel()->cellIndex(2, 1), QStringLiteral("Łódź"));
    m_log.answer = Answer::Annuler;
    m_w->Sauve();
    QCOMPARE(m_log.shown.size(), 1);
    QVERIFY(m_log.lastText().contains(QStringLiteral("« Ł » (fiche 1, champ 2)")));
    QVERIFY(m_w->Modifie());
    QCOMPARE(readFile(path), kCarnet);
    m_log.answer = Answer::Oui;
    m_w->Sauve();
    QVERIFY(!m_w->Modifie());
    QVERIFY(readFile(path).contains("000102?\xF3"
                                    "d?\r\n"));
}

void TestDbWindow::closeQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("savedAs"); // what the save dialog answers; "-" = not asked
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("written");
    QTest::newRow("Annuler") << int(Answer::Annuler) << "-" << false << false;
    QTest::newRow("Non") << int(Answer::Non) << "-" << true << false;
    QTest::newRow("Oui, named") << int(Answer::Oui) << "carnet" << true << true;
    QTest::newRow("Oui, dialog cancelled") << int(Answer::Oui) << "" << false << false;
}

void TestDbWindow::closeQuestion()
{
    QFETCH(int, answer);
    QFETCH(QString, savedAs);
    QFETCH(bool, closed);
    QFETCH(bool, written);
    m_w->setCurrentCell(1, 1);
    typeText(QStringLiteral("a"));
    m_log.answer = Answer(answer);
    const QString path = m_dir->filePath(savedAs);
    m_w->setSaveDialogHook([&](QString &p, int &) {
        p = savedAs.isEmpty() ? QString() : path;
        return !p.isEmpty();
    });
    QCOMPARE(m_w->close(), closed);
    QCOMPARE(m_log.shown.size(), 1);
    QCOMPARE(m_log.shown.first().title, QStringLiteral("Avertissement"));
    QCOMPARE(m_log.shown.first().text, QStringLiteral("Sauver modifications dans Fichier ?"));
    QCOMPARE(QFile::exists(path + QStringLiteral(".qvb")), written);
    // An unchanged window closes without a question.
    m_log.clear();
    load(kCarnet);
    QVERIFY(m_w->close());
    QCOMPARE(m_log.shown.size(), 0);
}

void TestDbWindow::cardView()
{
    load(kCarnet);
    m_w->setCurrentCell(2, 2);
    m_w->VueFiche();
    QVERIFY(m_w->cardShown());
    QCOMPARE(m_w->ficheCourante(), 2);
    QCOMPARE(m_w->cardCaption()->text(), QStringLiteral("Fiche N° 2   "));
    CardGrid *card = m_w->cardGrid();
    QCOMPARE(card->rowCount(), 2);
    QCOMPARE(card->item(0, 0)->text(), QStringLiteral("Nom"));
    QCOMPARE(card->item(1, 1)->text(), QStringLiteral("Lyon"));
    QCOMPARE(card->columnWidth(0), 150);
    QCOMPARE(m_w->navigationButton(2)->toolTip(), QStringLiteral("Fiche suivante"));

    QTest::mouseClick(m_w->navigationButton(3), Qt::LeftButton);
    QCOMPARE(m_w->ficheCourante(), 3);
    QTest::mouseClick(m_w->navigationButton(0), Qt::LeftButton);
    QCOMPARE(m_w->ficheCourante(), 1);
    QCOMPARE(card->item(0, 1)->text(), QStringLiteral("Dupont"));
    QTest::mouseClick(m_w->navigationButton(1), Qt::LeftButton);
    QCOMPARE(m_w->ficheCourante(), 1);
    QTest::mouseClick(m_w->navigationButton(2), Qt::LeftButton);
    QCOMPARE(m_w->cardCaption()->text(), QStringLiteral("Fiche N° 2   "));

    // Choosing the card view again re-reads the list's current row; unsaved card edits go.
    card->item(0, 1)->setText(QStringLiteral("oublié"));
    m_w->VueFiche();
    QCOMPARE(card->item(0, 1)->text(), QStringLiteral("DUPUIS"));
    QVERIFY(!m_w->Modifie());
    // Back to the list: the list shows the card's record.
    QTest::mouseClick(m_w->navigationButton(3), Qt::LeftButton);
    m_w->VueListe();
    QVERIFY(!m_w->cardShown());
    QCOMPARE(m_w->currentRecord(), 3);
}

void TestDbWindow::cardNavigationKeys()
{
    load(kCarnet);
    m_w->setCurrentCell(1, 3);
    m_w->VueFiche();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(m_w->cardGrid()));
    // Page Down on the last card makes a new empty record.
    pressKey(Qt::Key_PageDown);
    QCOMPARE(m_w->ficheCourante(), 4);
    QCOMPARE(m_w->table().NbFiches, 4);
    QCOMPARE(m_w->cardGrid()->item(0, 1)->text(), QString());
    // The key also works while a value is being edited, and the edit is kept.
    typeText(QStringLiteral("Neuf"));
    pressKey(Qt::Key_PageUp);
    QCOMPARE(m_w->ficheCourante(), 3);
    QCOMPARE(m_w->table().cell(1, 4), QStringLiteral("Neuf"));
    QVERIFY(m_w->Modifie());
    for (int i = 0; i < 5; ++i)
        pressKey(Qt::Key_PageUp);
    QCOMPARE(m_w->ficheCourante(), 1);
}

void TestDbWindow::cardZeroRenamesFields()
{
    load(kWidths + "000001Nom\r\n");
    m_w->VueFiche();
    QTest::mouseClick(m_w->navigationButton(3), Qt::LeftButton);
    QCOMPARE(m_w->ficheCourante(), 0);
    QCOMPARE(m_w->cardCaption()->text(), QStringLiteral("Fiche N° 0   "));
    QCOMPARE(m_w->cardGrid()->item(0, 1)->text(), QStringLiteral("Nom"));
    m_w->cardGrid()->item(0, 1)->setText(QStringLiteral("Prénom"));
    m_w->VueListe();
    QCOMPARE(m_w->table().name(1), QStringLiteral("Prénom"));
    QCOMPARE(m_w->listGrid()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Prénom"));
    QVERIFY(m_w->Modifie());
}

void TestDbWindow::cardEditsSetModifie()
{
    load(kCarnet);
    m_w->setCurrentCell(1, 6); // past the last record
    m_w->VueFiche();
    m_w->cardGrid()->setCurrentCell(1, 1);
    typeText(QStringLiteral("Nice"));
    m_w->VueListe();
    QVERIFY(m_w->Modifie());
    QCOMPARE(m_w->table().cell(2, 6), QStringLiteral("Nice"));
    // A card past the last record that now holds text is saved with the others.
    QCOMPARE(m_w->table().NbFiches, 6);
}

void TestDbWindow::clipboardRecords()
{
    load(kCarnet);
    m_w->listModel()->setData(m_w->listModel()->cellIndex(32, 1), QStringLiteral("trente-deux"));
    QStringList &clip = m_frame->PressePapierFichier();
    m_w->setCurrentCell(2, 1);
    m_w->Coupe(clip);
    QCOMPARE(clip.size(), 31);
    QCOMPARE(clip[0], QStringLiteral("Dupont"));
    QCOMPARE(clip[1], QStringLiteral("Paris"));
    QVERIFY(m_w->table().cell(1, 1).isEmpty());
    QCOMPARE(m_w->table().cell(32, 1), QStringLiteral("trente-deux")); // field 32 stays
    QVERIFY(m_w->Modifie());

    load(kCarnet, QStringLiteral("autre.qvb"));
    m_w->Colle(clip);
    QCOMPARE(m_w->table().NbFiches, 4);
    QCOMPARE(m_w->table().cell(1, 4), QStringLiteral("Dupont"));
    QCOMPARE(m_w->table().cell(32, 4), QString());
    QVERIFY(m_w->Modifie());

    // Copy of a range of rows, whatever columns are selected.
    QItemSelectionModel *sel = m_w->listGrid()->selectionModel();
    sel->select(QItemSelection(m_w->listModel()->cellIndex(2, 2), m_w->listModel()->cellIndex(2, 3)),
                QItemSelectionModel::ClearAndSelect);
    m_w->Copie(clip);
    QCOMPARE(clip.size(), 62);
    QCOMPARE(clip[0], QStringLiteral("DUPUIS"));
    QCOMPARE(clip[31], QStringLiteral("Martin"));
    QCOMPARE(m_w->table().cell(1, 2), QStringLiteral("DUPUIS"));
    // An empty clipboard pastes nothing.
    QStringList empty;
    m_w->Colle(empty);
    QCOMPARE(m_w->table().NbFiches, 4);
}

void TestDbWindow::clipboardInCardView()
{
    load(kCarnet);
    QStringList &clip = m_frame->PressePapierFichier();
    m_w->setCurrentCell(1, 3);
    m_w->VueFiche();
    m_w->cardGrid()->item(1, 1)->setText(QStringLiteral("Beaune"));
    m_w->Copie(clip); // writes the card back first
    QCOMPARE(clip[1], QStringLiteral("Beaune"));
    QCOMPARE(m_w->table().cell(2, 3), QStringLiteral("Beaune"));
    QTest::mouseClick(m_w->navigationButton(0), Qt::LeftButton);
    m_w->Colle(clip);
    QCOMPARE(m_w->cardGrid()->item(0, 1)->text(), QStringLiteral("Martin"));
    QCOMPARE(m_w->table().cell(1, 1), QStringLiteral("Dupont")); // not yet written back
    m_w->Coupe(clip);
    QCOMPARE(m_w->table().cell(1, 1), QString());
    QCOMPARE(clip[0], QStringLiteral("Martin"));
    QCOMPARE(m_w->cardGrid()->item(0, 1)->text(), QString());
}

void TestDbWindow::pasteIntoFullDatabaseIsRefused()
{
    load(kWidths + "400001dernier\r\n");
    QCOMPARE(m_w->table().NbFiches, 16384);
    QStringList clip(31, QStringLiteral("x"));
    m_w->Colle(clip);
    QCOMPARE(m_log.shown.size(), 1);
    QVERIFY(m_log.lastText().startsWith(QStringLiteral("Collage impossible")));
    QVERIFY(!m_w->Modifie());
}

void TestDbWindow::insertAndDeleteRecords()
{
    load(kCarnet);
    m_w->setCurrentCell(1, 2);
    m_w->InsLig();
    QCOMPARE(m_w->table().NbFiches, 4);
    QCOMPARE(m_w->table().cell(1, 3), QStringLiteral("DUPUIS"));
    QCOMPARE(m_w->listModel()->headerData(1, Qt::Vertical).toString(), QString());
    QCOMPARE(m_w->listModel()->headerData(2, Qt::Vertical).toString(), QStringLiteral("2"));
    QVERIFY(m_w->Modifie());
    m_w->setCurrentCell(1, 1);
    m_w->SupLig();
    QCOMPARE(m_w->table().cell(1, 1), QString());
    QCOMPARE(m_w->table().cell(1, 2), QStringLiteral("DUPUIS"));
    QCOMPARE(m_w->table().NbFiches, 4);

    // Deleting the only record empties row 1 and leaves NbFiches at 1.
    load(kWidths + "000101seul\r\n", QStringLiteral("seul.qvb"));
    m_w->SupLig();
    QVERIFY(m_w->table().rowIsEmpty(1));
    QCOMPARE(m_w->table().NbFiches, 1);

    load(kWidths + "400001dernier\r\n", QStringLiteral("plein.qvb"));
    m_w->setCurrentCell(1, 1);
    m_w->InsLig();
    QCOMPARE(m_log.shown.size(), 1);
    QCOMPARE(m_log.lastText(),
             QStringLiteral("Insertion impossible : la base de données contient déjà 16384 fiches, le maximum."));
    QCOMPARE(m_w->table().cell(1, 16384), QStringLiteral("dernier"));
    QVERIFY(!m_w->Modifie());
}

void TestDbWindow::insertAndDeleteFields()
{
    load(kCarnet);
    m_w->setCurrentCell(1, 1);
    m_w->InsCol();
    QCOMPARE(m_w->table().NbChamps, 3);
    QCOMPARE(m_w->listModel()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Nom"));
    QCOMPARE(m_w->table().cell(2, 1), QStringLiteral("Dupont"));
    QVERIFY(m_w->Modifie());
    m_w->SupCol();
    QCOMPARE(m_w->table().name(1), QStringLiteral("Nom"));
    QCOMPARE(m_w->table().NbChamps, 3);

    QByteArray full = kWidths;
    for (int f = 1; f <= 32; ++f)
        full += "0001" + QByteArray::number(f, 16).toUpper().rightJustified(2, '0') + "v\r\n";
    load(full, QStringLiteral("large.qvb"));
    m_w->InsCol();
    QCOMPARE(m_log.lastText(),
             QStringLiteral("Insertion impossible : la base de données a déjà 32 champs, le maximum."));
    QCOMPARE(m_w->table().cell(32, 1), QStringLiteral("v"));
}

void TestDbWindow::listOnlyCommandsInCardView()
{
    load(kCarnet);
    m_w->VueFiche();
    const QList<void (TFichier::*)()> commands = {&TFichier::Champs, &TFichier::InsLig, &TFichier::InsCol,
                                                  &TFichier::SupLig, &TFichier::SupCol};
    for (auto command : commands)
        (m_w.get()->*command)();
    QCOMPARE(m_log.shown.size(), 5);
    for (const auto &s : m_log.shown) {
        QCOMPARE(s.text, QStringLiteral("Vue liste nécéssaire pour cette opération"));
        QCOMPARE(s.kind, messageboxes::Kind::Information);
    }
    QCOMPARE(m_w->table().NbChamps, 2);
    QCOMPARE(m_w->table().cell(1, 1), QStringLiteral("Dupont"));
    QVERIFY(!m_w->Modifie());
}

void TestDbWindow::findAndContinue()
{
    load(kCarnet + "000401Dupond\r\n");
    int shown = 0;
    m_w->setDialogHook([&](QDialog &d) -> int {
        auto *find = qobject_cast<TFindDialog *>(&d);
        if (!find)
            return int(QDialog::Rejected);
        ++shown;
        find->Edit1->setText(QStringLiteral("dup"));
        find->OkButton->click();
        return d.result();
    });
    m_w->setCurrentCell(1, 3);
    m_w->FindNext(); // "Continuer" with nothing asked for yet asks first
    QCOMPARE(shown, 1);
    QCOMPARE(m_w->currentRecord(), 1);
    m_w->setCurrentCell(1, 3);
    m_w->Chercher();
    QCOMPARE(shown, 2);
    QCOMPARE(m_w->currentRecord(), 1);
    m_w->FindNext();
    QCOMPARE(m_w->currentRecord(), 2);
    m_w->FindNext();
    QCOMPARE(m_w->currentRecord(), 4);
    m_w->FindNext(); // no more: nothing moves
    QCOMPARE(m_w->currentRecord(), 4);
    QCOMPARE(m_w->currentField(), 1);
    // The search looks in the current field only.
    m_w->setCurrentCell(2, 1);
    m_w->Chercher();
    QCOMPARE(m_w->currentRecord(), 1);
    QCOMPARE(m_log.shown.size(), 0);
}

void TestDbWindow::findInCardView()
{
    load(kCarnet);
    m_w->setDialogHook([&](QDialog &d) -> int {
        auto *find = qobject_cast<TFindDialog *>(&d);
        find->Edit1->setText(QStringLiteral("MART"));
        find->OkButton->click();
        return d.result();
    });
    m_w->VueFiche();
    m_w->Chercher();
    QCOMPARE(m_w->ficheCourante(), 3);
    QCOMPARE(m_w->cardCaption()->text(), QStringLiteral("Fiche N° 3   "));
    QCOMPARE(m_w->cardGrid()->item(0, 1)->text(), QStringLiteral("Martin"));
}

void TestDbWindow::replaceInCurrentField()
{
    load(kCarnet + "000402Paris-Plage\r\n");
    m_w->setDialogHook([&](QDialog &d) -> int {
        auto *rep = qobject_cast<TReplaceDialog *>(&d);
        rep->Edit1->setText(QStringLiteral("paris"));
        rep->Edit2->setText(QStringLiteral("Lutèce"));
        rep->OkButton->click();
        return d.result();
    });
    m_w->setCurrentCell(2, 1);
    m_w->Remplacer();
    QCOMPARE(m_w->table().cell(2, 1), QStringLiteral("Lutèce"));
    QCOMPARE(m_w->table().cell(2, 4), QStringLiteral("Lutèce-Plage"));
    QCOMPARE(m_log.lastText(), QStringLiteral("2 occurrences remplacées."));
    QVERIFY(m_w->Modifie());
    // Another field is not touched.
    m_w->setCurrentCell(1, 1);
    m_w->Remplacer();
    QCOMPARE(m_log.lastText(), QStringLiteral("Aucune occurrence remplacée."));
}

void TestDbWindow::sortThroughDialog()
{
    // Field 1 unnamed: the dialog lists "Ville" first, and the key is field 2 itself.
    load(kWidths + "000002Ville\r\n000101c\r\n000102Lyon\r\n000201a\r\n000202arras\r\n000301b\r\n000302Zurich\r\n");
    QStringList listed;
    int preselected = -2;
    m_w->setDialogHook([&](QDialog &d) -> int {
        auto *tri = qobject_cast<TTri *>(&d);
        for (int i = 0; i < tri->ComboBox1->count(); ++i)
            listed.append(tri->ComboBox1->itemText(i));
        preselected = tri->ComboBox1->currentIndex();
        tri->ComboBox1->setCurrentIndex(0);
        tri->Decroissant->setChecked(true);
        tri->OkButton->click();
        return d.result();
    });
    m_w->setCurrentCell(2, 1);
    m_w->Trier();
    QCOMPARE(listed, QStringList{QStringLiteral("Ville")});
    QCOMPARE(preselected, 0);
    QCOMPARE(m_w->champTri(), 1);
    QCOMPARE(m_w->table().cell(2, 1), QStringLiteral("Zurich"));
    QCOMPARE(m_w->table().cell(2, 2), QStringLiteral("Lyon"));
    QCOMPARE(m_w->table().cell(2, 3), QStringLiteral("arras"));
    QCOMPARE(m_w->table().cell(1, 3), QStringLiteral("a"));
    QCOMPARE(m_w->listModel()->headerData(0, Qt::Vertical).toString(), QStringLiteral("3"));
    QVERIFY(m_w->Modifie());
    m_w->Sauve(); // no name: nothing to check but that it does not crash without a hook
}

void TestDbWindow::sortCancelled()
{
    load(kCarnet);
    m_w->setDialogHook([&](QDialog &d) -> int {
        qobject_cast<TTri *>(&d)->CancelButton->click();
        return d.result();
    });
    m_w->Trier();
    QCOMPARE(m_w->champTri(), 0);
    QCOMPARE(m_w->table().cell(1, 1), QStringLiteral("Dupont"));
    QVERIFY(!m_w->Modifie());
}

void TestDbWindow::fieldDialog()
{
    load(kWidths + "000001 Nom \r\n000003Ville\r\n000102sans nom\r\n");
    QStringList listed;
    QString clicked;
    int afterEnter = 0;
    bool acceptedByEnter = true;
    m_w->setDialogHook([&](QDialog &d) -> int {
        auto *c = qobject_cast<TChamp *>(&d);
        for (int i = 0; i < c->ListBox1->count(); ++i)
            listed.append(c->ListBox1->item(i)->text());
        // Rename "Ville" by clicking it, add a new name with Enter.
        QListWidgetItem *ville = c->ListBox1->item(1);
        c->ListBox1->setCurrentItem(ville);
        Q_EMIT c->ListBox1->itemClicked(ville);
        clicked = c->Edit1->text();
        c->Edit1->setText(QStringLiteral("Commune"));
        QTest::mouseClick(c->SpeedButton1, Qt::LeftButton);
        c->Edit1->setText(QStringLiteral("Tél"));
        QTest::keyClick(c->Edit1, Qt::Key_Return);
        afterEnter = c->ListBox1->count();
        acceptedByEnter = c->Result(); // Enter adds, it does not close the dialog
        c->Button2->click();
        return d.result();
    });
    m_w->Champs();
    QCOMPARE(listed, (QStringList{"Nom", "Ville"}));
    QCOMPARE(clicked, QStringLiteral("Ville"));
    QCOMPARE(afterEnter, 3);
    QVERIFY(!acceptedByEnter);
    QCOMPARE(m_w->table().name(1), QStringLiteral(" Nom ")); // untouched entry keeps its blanks
    QCOMPARE(m_w->table().name(2), QStringLiteral("Tél")); // the first unnamed field
    QCOMPARE(m_w->table().name(3), QStringLiteral("Commune"));
    QCOMPARE(m_w->table().cell(2, 1), QStringLiteral("sans nom")); // data do not move
    QCOMPARE(m_w->listModel()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Commune"));
    QVERIFY(m_w->Modifie());

    // "Annuler" changes nothing.
    load(kCarnet, QStringLiteral("b.qvb"));
    m_w->setDialogHook([&](QDialog &d) -> int {
        auto *c = qobject_cast<TChamp *>(&d);
        c->Edit1->setText(QStringLiteral("X"));
        c->SpeedButton1->click();
        c->Button1->click();
        return d.result();
    });
    m_w->Champs();
    QCOMPARE(m_w->table().NbChamps, 2);
    QVERIFY(!m_w->Modifie());
}

void TestDbWindow::fieldDialogRefuses33rdName()
{
    int listed = 0;
    m_w->setDialogHook([&](QDialog &d) -> int {
        auto *c = qobject_cast<TChamp *>(&d);
        for (int i = 1; i <= 33; ++i) {
            c->Edit1->setText(QStringLiteral("C%1").arg(i));
            c->SpeedButton1->click();
        }
        listed = c->ListBox1->count();
        c->Button2->click();
        return d.result();
    });
    m_w->Champs();
    QCOMPARE(listed, 32);
    QCOMPARE(m_log.shown.size(), 1);
    QCOMPARE(m_log.lastText(), QStringLiteral("Une base de données a 32 champs au plus."));
    QCOMPARE(m_w->table().NbChamps, 32);
    QCOMPARE(m_w->table().name(32), QStringLiteral("C32"));
}

void TestDbWindow::movingARowMovesTheRecord()
{
    load(kCarnet);
    QHeaderView *rows = m_w->listGrid()->verticalHeader();
    rows->moveSection(0, 5); // record 1 dragged below the last record
    QCOMPARE(rows->visualIndex(0), 0); // the view keeps its order; the data moved
    QCOMPARE(m_w->table().cell(1, 6), QStringLiteral("Dupont"));
    QCOMPARE(m_w->table().cell(1, 1), QStringLiteral("DUPUIS"));
    QCOMPARE(m_w->table().NbFiches, 6);
    QCOMPARE(m_w->listModel()->headerData(5, Qt::Vertical).toString(), QStringLiteral("1"));
    QVERIFY(m_w->Modifie());
}

void TestDbWindow::movingAColumnMovesTheField()
{
    load(kCarnet);
    m_w->listGrid()->horizontalHeader()->resizeSection(0, 90);
    m_w->listGrid()->horizontalHeader()->moveSection(0, 1);
    QCOMPARE(m_w->table().name(1), QStringLiteral("Ville"));
    QCOMPARE(m_w->table().cell(2, 1), QStringLiteral("Dupont"));
    QCOMPARE(m_w->table().width(2), 90);
    QCOMPARE(m_w->listGrid()->columnWidth(1), 90);
    QCOMPARE(m_w->listGrid()->columnWidth(0), 160);
}

void TestDbWindow::resizingAColumnIsSaved()
{
    load(kCarnet);
    m_w->listGrid()->horizontalHeader()->resizeSection(1, 5000); // capped by the header
    QVERIFY(m_w->Modifie());
    m_w->Sauve();
    QVERIFY(readFile(m_w->NomFichier()).startsWith("0A0FFF0A0"));
}

void TestDbWindow::bornesAndContenu()
{
    load(kCarnet);
    int first = 0;
    int last = 0;
    m_w->setCurrentCell(2, 2);
    m_w->Bornes(first, last);
    QCOMPARE(first, 2);
    QCOMPARE(last, 2);
    m_w->listGrid()->selectionModel()->select(
            QItemSelection(m_w->listModel()->cellIndex(1, 1), m_w->listModel()->cellIndex(2, 3)),
            QItemSelectionModel::ClearAndSelect);
    m_w->Bornes(first, last);
    QCOMPARE(first, 1);
    QCOMPARE(last, 3);
    QString text = QStringLiteral("[Nom] à [Ville], [Nom]");
    m_w->Contenu(3, text);
    QCOMPARE(text, QStringLiteral("Martin à Dijon, [Nom]"));
}

QTEST_MAIN(TestDbWindow)
#include "tst_dbwindow.moc"
