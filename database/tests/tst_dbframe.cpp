// Database windows inside the real frame: menus and toolbar commands reach them, the row
// clipboard goes from one database to another, printing and the mail-merge services.
#include "common/ui/tfinddialog.h"
#include "common/ui/ttri.h"
#include "database/ui/tchamp.h"
#include "database/ui/tfenv.h"
#include "database/ui/listgrid.h"
#include "database/ui/listmodel.h"
#include "database/ui/tfichier.h"
#include "dbtesthelpers.h"
#include "shell/ui/tinschp.h"
#include "shell/ui/tmainform.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QByteArray kCarnet = QByteArray("0A0").repeated(32)
        + "\r\n000001Nom\r\n000002Ville\r\n"
          "000101Dupont\r\n000102Paris\r\n000201Martin\r\n000202Lyon\r\n";

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestDbFrame : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void newDatabaseFromTheMenu();
    void openedDatabaseAnswersTheMenus();
    void rowsCutInOneDatabasePasteIntoAnother();
    void saveAsFromTheMenu();
    void printFromTheMenu();
    void hiddenSortAndEnvelopeCommands();
    void mailMergeServices();
    void fieldChooserListsTheDatabaseAsItStands();
    void mailMergeOfThreeSelectedRecords();
    void frameCloseAsksEachDatabase();

private:
    TFichier *open(const QString &name, const QByteArray &bytes = kCarnet);
    void trigger(const char *component);

    QTemporaryDir m_dir;
    QString m_startDir;
    std::unique_ptr<TMainForm> m_form;
    MessageLog m_log;
};

void TestDbFrame::initTestCase()
{
    // The frame reads its data files from the current folder.
    m_startDir = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
}

void TestDbFrame::init()
{
    qputenv("VELMORA_PRINT_PDF",
            m_dir.filePath(QStringLiteral("%1.pdf").arg(QTest::currentTestFunction())).toLocal8Bit());
    m_log = MessageLog();
    m_log.install();
    m_form = std::make_unique<TMainForm>();
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestDbFrame::cleanup()
{
    // Closing the windows one by one: the frame itself is not closed, so that it does not
    // write its data files.
    m_log.answer = messageboxes::Answer::Non;
    m_form->mdiArea()->closeAllSubWindows();
    m_form.reset();
    messageboxes::setResponder({});
    errorhandler::setSink({});
    qunsetenv("VELMORA_PRINT_PDF");
}

TFichier *TestDbFrame::open(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    f.close();
    m_form->openFile(path);
    return dynamic_cast<TFichier *>(m_form->dernier(DocKind::Fichier));
}

void TestDbFrame::trigger(const char *component)
{
    QAction *a = m_form->action(QString::fromLatin1(component));
    QVERIFY2(a, component);
    QVERIFY2(a->isEnabled(), component);
    a->trigger();
}

void TestDbFrame::newDatabaseFromTheMenu()
{
    trigger("Fichier1");
    QCOMPARE(m_form->nb(DocKind::Fichier), 1);
    auto *w = dynamic_cast<TFichier *>(m_form->dernier(DocKind::Fichier));
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Fichier"));
    QCOMPARE(m_form->mdiArea()->currentSubWindow()->widget(), static_cast<QWidget *>(w));
    QVERIFY(m_form->mdiArea()->currentSubWindow()->width() >= 544);
}

void TestDbFrame::openedDatabaseAnswersTheMenus()
{
    TFichier *w = open(QStringLiteral("carnet.QVB"));
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("carnet.QVB"));
    QCOMPARE(w->table().cell(2, 2), QStringLiteral("Lyon"));
    trigger("Fiche1");
    QVERIFY(w->cardShown());
    QVERIFY(m_form->action(QStringLiteral("Fiche1"))->isChecked());
    QVERIFY(!m_form->action(QStringLiteral("Liste1"))->isChecked());
    trigger("Insrerligne1"); // needs the list view
    QCOMPARE(m_log.lastText(), QStringLiteral("Vue liste nécéssaire pour cette opération"));
    trigger("Liste1");
    QVERIFY(!w->cardShown());
    w->setCurrentCell(1, 1);
    trigger("Insrerligne1");
    QCOMPARE(w->table().cell(1, 2), QStringLiteral("Dupont"));
    trigger("Supprimerligne1");
    QCOMPARE(w->table().cell(1, 1), QStringLiteral("Dupont"));
    // Find, then F3.
    w->setDialogHook([](QDialog &d) -> int {
        auto *find = qobject_cast<TFindDialog *>(&d);
        find->Edit1->setText(QStringLiteral("n"));
        find->OkButton->click();
        return d.result();
    });
    trigger("Chercher1");
    QCOMPARE(w->currentRecord(), 1);
    trigger("Continuer1");
    QCOMPARE(w->currentRecord(), 2);
    // Saved under the name rule: the extension is the program's own, in lower case.
    trigger("FileSaveItem");
    QCOMPARE(w->NomFichier(), m_dir.filePath(QStringLiteral("carnet.qvb")));
    QVERIFY(readFile(w->NomFichier()).contains("000101Dupont\r\n000102Paris\r\n"));
    QVERIFY(!w->Modifie());
}

void TestDbFrame::rowsCutInOneDatabasePasteIntoAnother()
{
    TFichier *a = open(QStringLiteral("a.qvb"));
    a->setCurrentCell(2, 2);
    trigger("CutItem");
    QCOMPARE(m_form->PressePapierFichier().size(), 31);
    QVERIFY(a->table().rowIsEmpty(2));
    QVERIFY(a->Modifie());
    TFichier *b = open(QStringLiteral("b.qvb"));
    QVERIFY(b != a);
    trigger("PasteItem");
    QCOMPARE(b->table().NbFiches, 3);
    QCOMPARE(b->table().cell(1, 3), QStringLiteral("Martin"));
    QCOMPARE(b->table().cell(2, 3), QStringLiteral("Lyon"));
    // The older window, active again, is the one that pastes.
    m_form->mdiArea()->setActiveSubWindow(m_form->mdiArea()->subWindowList().first());
    trigger("PasteItem");
    QCOMPARE(a->table().NbFiches, 3);
    QCOMPARE(b->table().NbFiches, 3);
}

void TestDbFrame::saveAsFromTheMenu()
{
    TFichier *w = open(QStringLiteral("source.qvb"));
    const QString target = m_dir.filePath(QStringLiteral("copie.txt"));
    w->setSaveDialogHook([&](QString &p, int &) {
        p = target;
        return !p.isEmpty();
    });
    trigger("FileSaveAsItem");
    QCOMPARE(w->NomFichier(), m_dir.filePath(QStringLiteral("copie.qvb")));
    QCOMPARE(w->windowTitle(), QStringLiteral("copie.qvb"));
    QCOMPARE(m_form->mdiArea()->currentSubWindow()->windowTitle(), QStringLiteral("copie.qvb"));
    QCOMPARE(readFile(w->NomFichier()), kCarnet);
}

void TestDbFrame::printFromTheMenu()
{
    open(QStringLiteral("liste.qvb"));
    int asked = 0;
    m_form->setPrintDialogHook([&](QPrinter &) {
        ++asked;
        return true;
    });
    trigger("Imprimer1");
    QCOMPARE(asked, 1);
    QVERIFY(m_log.errors.isEmpty());
    const QString pdf = QString::fromLocal8Bit(qgetenv("VELMORA_PRINT_PDF"));
    QVERIFY(readFile(pdf).startsWith("%PDF"));
    // A cancelled print dialog prints nothing.
    QFile::remove(pdf);
    m_form->setPrintDialogHook([](QPrinter &) { return false; });
    trigger("Imprimer1");
    QVERIFY(!QFile::exists(pdf));
}

void TestDbFrame::hiddenSortAndEnvelopeCommands()
{
    TFichier *w = open(QStringLiteral("cache.qvb"));
    QVERIFY(m_form->action(QStringLiteral("Trier1"))->isVisible());
    QVERIFY(m_form->action(QStringLiteral("Enveloppes2"))->isVisible());
    w->setDialogHook([](QDialog &d) -> int {
        if (auto *tri = qobject_cast<TTri *>(&d)) {
            tri->Decroissant->setChecked(true);
            tri->OkButton->click();
        } else if (auto *env = qobject_cast<TFenv *>(&d)) {
            env->Edit[0]->setText(QStringLiteral("[Nom]"));
            env->Button2->click();
        }
        return d.result();
    });
    // The menu's commands reach the window.
    trigger("Trier1");
    QCOMPARE(w->table().cell(1, 1), QStringLiteral("Martin"));
    QCOMPARE(w->table().cell(2, 1), QStringLiteral("Lyon"));
    trigger("Enveloppes2");
    QVERIFY(readFile(QString::fromLocal8Bit(qgetenv("VELMORA_PRINT_PDF"))).startsWith("%PDF"));
}

void TestDbFrame::mailMergeServices()
{
    int first = 0;
    int last = 0;
    QVERIFY(!m_form->Bornes(first, last)); // no database yet
    QCOMPARE(last - first, -1);
    TFichier *w = open(QStringLiteral("fusion.qvb"));
    w->listGrid()->selectionModel()->select(
            QItemSelection(w->listModel()->cellIndex(1, 1), w->listModel()->cellIndex(1, 2)),
            QItemSelectionModel::ClearAndSelect);
    QVERIFY(m_form->Bornes(first, last));
    QCOMPARE(first, 1);
    QCOMPARE(last, 2);
    QString text = QStringLiteral("Cher [Nom] de [Ville]");
    m_form->Contenu(2, text);
    QCOMPARE(text, QStringLiteral("Cher Martin de Lyon"));
    // Once the database is closed, nothing is forwarded.
    m_form->mdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_form->Bornes(first, last));
}

// "Champ base de donnée" offers the fields of the current database window, also when it was
// built and never saved, and follows the field dialog's changes.
void TestDbFrame::fieldChooserListsTheDatabaseAsItStands()
{
    trigger("Fichier1");
    auto *w = dynamic_cast<TFichier *>(m_form->dernier(DocKind::Fichier));
    QVERIFY(w);
    auto nameFields = [w](const QStringList &names) {
        w->setDialogHook([names](QDialog &d) -> int {
            auto *c = qobject_cast<TChamp *>(&d);
            for (const QString &name : names) {
                c->Edit1->setText(name);
                QTest::keyClick(c->Edit1, Qt::Key_Return);
            }
            c->Button2->click();
            return d.result();
        });
        w->Champs();
    };
    nameFields({QStringLiteral("Nom"), QStringLiteral("Ville")});
    trigger("Texte1");
    QStringList offered;
    QString source;
    m_form->setFieldDialogHook([&](TInsChp &d) {
        offered.clear();
        for (int i = 0; i < d.ListBox1->count(); ++i)
            offered.append(d.ListBox1->item(i)->text());
        source = d.Edit1->text();
        d.ListBox1->setCurrentRow(int(offered.size()) - 1);
        QTest::keyClick(d.ListBox1, Qt::Key_Return);
    });
    QCOMPARE(m_form->ChoisirChamp(), QStringLiteral("Ville"));
    QCOMPARE(offered, (QStringList{"Nom", "Ville"}));
    QCOMPARE(source, QStringLiteral("Fichier"));
    // A field added later is offered at once.
    nameFields({QStringLiteral(" Téléphone ")});
    QCOMPARE(m_form->ChoisirChamp(), QStringLiteral("Téléphone"));
    QCOMPARE(offered, (QStringList{"Nom", "Ville", "Téléphone"}));
}

// A letter merged, from the frame's menu, with the records selected in the database window
// prints one copy per record, each with that record's values.
void TestDbFrame::mailMergeOfThreeSelectedRecords()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    TFichier *w = open(QStringLiteral("clients.qvb"),
                       kCarnet + "000301L\xe9ger\r\n000302  Orl\xe9\x61ns \r\n000401Bernard\r\n000402Nantes\r\n");
    w->selectRecords(2, 4);
    const QString letter = m_dir.filePath(QStringLiteral("lettre.qvt"));
    QFile f(letter);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("{\\rtf1\\ansi Cher [Nom],\\par vous habitez [Ville] ; [nom] reste.\\par }");
    f.close();
    m_form->openFile(letter);
    QVERIFY(m_form->dernier(DocKind::Texte));
    QCOMPARE(m_form->mdiArea()->activeSubWindow()->widget(), m_form->dernier(DocKind::Texte));
    m_form->Publipostage1Click();
    QVERIFY2(m_log.errors.isEmpty(), qPrintable(m_log.errors.join(u'|')));
    QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("Mail.tmp"))));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QString::fromLocal8Bit(qgetenv("VELMORA_PRINT_PDF")), QStringLiteral("-")});
    QVERIFY(p.waitForFinished(20000));
    const QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
    const QStringList expected{QStringLiteral("Cher Martin, vous habitez Lyon ; [nom] reste."),
                               QStringLiteral("Cher Léger, vous habitez Orléans ; [nom] reste."),
                               QStringLiteral("Cher Bernard, vous habitez Nantes ; [nom] reste.")};
    QCOMPARE(pages.size(), expected.size());
    for (qsizetype i = 0; i < pages.size(); ++i)
        QCOMPARE(pages[i].simplified(), expected[i]);
}

void TestDbFrame::frameCloseAsksEachDatabase()
{
    TFichier *w = open(QStringLiteral("ferme.qvb"));
    w->setCurrentCell(1, 3);
    w->listGrid()->setFocus();
    typeText(QStringLiteral("x"));
    m_log.answer = messageboxes::Answer::Annuler;
    QVERIFY(!m_form->close());
    QCOMPARE(m_log.shown.size(), 1);
    QCOMPARE(m_log.shown.first().text, QStringLiteral("Sauver modifications dans ferme.qvb ?"));
    QCOMPARE(m_form->mdiArea()->subWindowList().size(), 1);
    QVERIFY(w->Modifie());
}

QTEST_MAIN(TestDbFrame)
#include "tst_dbframe.moc"
