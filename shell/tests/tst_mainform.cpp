// The frame driven as a user would, with test doubles for the four kinds of window: the
// enabling of commands, the rule that a command reaches only the last window of its kind
// while it is active, the formatting toolbar in both directions, the check marks, the
// row clipboards, the address file, and the window menu.
#include "common/atomicsave.h"
#include "common/ui/documentcommands.h"
#include "common/ui/documentwindow.h"
#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "common/testsupport/readonlydir.h"
#include "agenda/ui/agendamodule.h"
#include "agenda/ui/tagenda.h"
#include "common/tests/testfiles.h"
#include "shell/ui/helpbrowser.h"
#include "shell/ui/spinedit.h"
#include "shell/ui/tinschp.h"
#include "shell/ui/tmainform.h"
#include "database/ui/tfichier.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/ui/tf1book.h"
#include "spreadsheet/ui/ttableur.h"
#include "text/ui/richedit.h"
#include "text/ui/textmodule.h"
#include "text/ui/ttexte.h"
#include "text/ui/tcaract.h"
#include "text/ui/tenveloppes.h"
#include "text/ui/tglos.h"
#include "utilities/ui/tbnotes.h"
#include "utilities/ui/utilitiesmodule.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QToolButton>
#include <QDialog>
#include <QTimer>
#include <QtTest>

#include <cerrno>
#include <new>

using namespace Qt::StringLiterals;
using testfiles::slurp;
using testfiles::spit;

namespace {

// Records every operation the frame calls, as "Name(args)".
struct Log
{
    QStringList calls;
};

QString alignmentName(Alignment a)
{
    return a == Alignment::Left ? u"left"_s : a == Alignment::Centre ? u"centre"_s : u"right"_s;
}

class FakeTexte
    : public DocumentWindow
    , public TexteCommands
{
public:
    FakeTexte(FrameServices &f, Log &log) : DocumentWindow(DocKind::Texte, f), m_log(log) { }
    void Charge(const QString &p) override { m_log.calls << u"Texte.Charge(%1)"_s.arg(p); }
    // Changed from the start, so that "Enregistrer" writes.
    bool Modifie() const override { return changed; }
    void setModifie(bool m) override { changed = m; }
    QString askSaveName() override
    {
        m_log.calls << u"Texte.SaveAs"_s;
        return u"nouveau.qvt"_s;
    }
    bool writeFile(const QString &) override
    {
        m_log.calls << u"Texte.Sauve"_s;
        return true;
    }
    bool changed = true;
    void Imprime() override { m_log.calls << u"Texte.Imprime"_s; }
    void Coupe() override { m_log.calls << u"Texte.Coupe"_s; }
    void Bullets(bool on) override { m_log.calls << u"Texte.Bullets(%1)"_s.arg(on); }
    void Codes(bool on) override { m_log.calls << u"Texte.Codes(%1)"_s.arg(on); }
    void ImpEnv() override { m_log.calls << u"Texte.ImpEnv"_s; }
    void FindDialog1Find(QObject *s) override
    {
        m_log.calls << u"Texte.FindDialog1Find(%1)"_s.arg(s ? s->objectName() : QString());
    }
    void FontName(const QString &n) override { m_log.calls << u"Texte.FontName(%1)"_s.arg(n); }
    void FontSize(int s) override { m_log.calls << u"Texte.FontSize(%1)"_s.arg(s); }
    void Bold(bool on) override { m_log.calls << u"Texte.Bold(%1)"_s.arg(on); }
    void Ital(bool on) override { m_log.calls << u"Texte.Ital(%1)"_s.arg(on); }
    void Justif(Alignment a) override { m_log.calls << u"Texte.Justif(%1)"_s.arg(alignmentName(a)); }
    QFont GetFont() override { return QFont(u"Liberation Serif"_s, 13); }
    void SetFont(const QFont &f, const QColor &) override
    {
        m_log.calls << u"Texte.SetFont(%1,%2)"_s.arg(f.family()).arg(f.pointSize());
    }

private:
    Log &m_log;
};

class FakeTableur
    : public DocumentWindow
    , public TableurCommands
{
public:
    FakeTableur(FrameServices &f, Log &log) : DocumentWindow(DocKind::Tableur, f), m_log(log) { }
    void Imprime() override { m_log.calls << u"Tableur.Imprime"_s; }
    void FixLigs(bool on) override { m_log.calls << u"Tableur.FixLigs(%1)"_s.arg(on); }
    void Grille(bool on) override { m_log.calls << u"Tableur.Grille(%1)"_s.arg(on); }
    void FontName(const QString &n, int s) override { m_log.calls << u"Tableur.FontName(%1,%2)"_s.arg(n).arg(s); }
    void FontStyle(bool b, bool i, bool u) override
    {
        m_log.calls << u"Tableur.FontStyle(%1,%2,%3)"_s.arg(b).arg(i).arg(u);
    }
    void Justif(Alignment a) override { m_log.calls << u"Tableur.Justif(%1)"_s.arg(alignmentName(a)); }
    void Somme() override { m_log.calls << u"Tableur.Somme"_s; }

private:
    Log &m_log;
};

class FakeFichier
    : public DocumentWindow
    , public FichierCommands
{
public:
    FakeFichier(FrameServices &f, Log &log) : DocumentWindow(DocKind::Fichier, f), m_log(log) { }
    void Charge(const QString &p) override { m_log.calls << u"Fichier.Charge(%1)"_s.arg(p); }
    void Imprime(QObject *) override { m_log.calls << u"Fichier.Imprime"_s; }
    void Coupe(QStringList &rows) override
    {
        rows = {u"rec"_s};
        clipboard = &rows;
        m_log.calls << u"Fichier.Coupe"_s;
    }
    void Colle(QStringList &rows) override { m_log.calls << u"Fichier.Colle(%1)"_s.arg(rows.join(u',')); }
    void VueFiche() override { m_log.calls << u"Fichier.VueFiche"_s; }
    void Bornes(int &a, int &b) override
    {
        a = 2;
        b = 4;
    }
    void Contenu(int r, QString &t) override { t.replace(u"[Nom]"_s, u"nom%1"_s.arg(r)); }
    QStringList *clipboard = nullptr;

private:
    Log &m_log;
};

class FakeAgenda
    : public DocumentWindow
    , public AgendaCommands
{
public:
    FakeAgenda(FrameServices &f, Log &log) : DocumentWindow(DocKind::Agenda, f), m_log(log) { }
    void Coupe(QStringList &rows) override
    {
        clipboard = &rows;
        m_log.calls << u"Agenda.Coupe"_s;
    }
    bool Modifie() const override { return changed; }
    void setModifie(bool m) override { changed = m; }
    bool writeFile(const QString &) override
    {
        m_log.calls << u"Agenda.Sauve"_s;
        return true;
    }
    bool changed = true;
    QStringList *clipboard = nullptr;

private:
    Log &m_log;
};

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fullDiskSaveKeepsTheOldFile_data();
    void fullDiskSaveKeepsTheOldFile();
    void openingWithoutMemoryLeavesNoWindow();
    void init();
    void cleanup();
    void startStateOnlyAlwaysEnabled();
    void newWindowsBookkeeping();
    void olderWindowOfKindIsReached();
    void closedWindowsDisableTheirCommands();
    void builtCommandsAreReachable_data();
    void builtCommandsAreReachable();
    void accessKeysOfTheirOwn();
    void printerSetupConfirmsWithOk();
    void setStylesDoesNotEcho();
    void toolbarActsOnText();
    void spinnerReadsTypedValue();
    void toolbarActsOnSheetWithSheetCodes();
    void fontDialogCancelledStillSetsSelectionFont();
    void openChoosesKindByLastThreeLetters();
    void checkMarks();
    void rowClipboardsAreTheFramesAndSeparate();
    void continueSendsMenuItem();
    void printRouting();
    void envelopeSenderCopiedInEveryCase();
    void mailMergeServicesForwardToCurrentBase();
    void fieldDialogOffersTheLoadedDatabasesFields();
    void statusBarHintsAndWidth();
    void minimiseAll();
    void f1OnMenuOpensItsTopic();
    void f1InWindowOpensItsTopic();
    void olderRealWindowsGetTheCommands();
    void undoFollowsWhatCanBeUndone();
    void damagedWorkbookLeavesNoWindow();
    void closeKeyClosesTheDocument();
    void newWindowTakesTheKeyboard_data();
    void newWindowTakesTheKeyboard();
    void shortcutsShownInMenus_data();
    void shortcutsShownInMenus();
    void noKeyBoundTwice();
    void cancelStopsTheQuitAtOnce();
    void saveNameRuleAsksBeforeReplacing_data();
    void saveNameRuleAsksBeforeReplacing();
    void failedSaveKeepsNameAndCaption_data();
    void failedSaveKeepsNameAndCaption();
    void dataFilesFollowTheUserFromAnyFolder();
    void toolFormsAreMadeWhenFirstNeeded();
    void toolbarPicturesArePaintedWhenAsked();

private:
    std::unique_ptr<TMainForm> form;
    Log log;
    QStringList questions;
    messageboxes::Answer answer = messageboxes::Answer::Non;
    QTemporaryDir dataDir;
    QString oldCwd;
    QTemporaryDir cwd;

    DocumentWindow *make(DocKind k, FrameServices &f)
    {
        switch (k) {
        case DocKind::Texte: return new FakeTexte(f, log);
        case DocKind::Tableur: return new FakeTableur(f, log);
        case DocKind::Fichier: return new FakeFichier(f, log);
        case DocKind::Agenda: return new FakeAgenda(f, log);
        }
        return nullptr;
    }
    void trigger(const char *name) { form->action(QString::fromLatin1(name))->trigger(); }
    QToolButton *button(const char *name)
    {
        return qobject_cast<QToolButton *>(form->control(QString::fromLatin1(name)));
    }
    void activate(DocumentWindow *w)
    {
        for (QMdiSubWindow *sw : form->mdiArea()->subWindowList())
            if (sw->widget() == w)
                form->mdiArea()->setActiveSubWindow(sw);
        QCOMPARE(form->activeDocument(), w);
    }
};

void TestMainForm::init()
{
    qputenv("XDG_DATA_HOME", dataDir.path().toLocal8Bit());
    oldCwd = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    log.calls.clear();
    questions.clear();
    // Close questions are answered "&Non" unless a test says otherwise.
    answer = messageboxes::Answer::Non;
    messageboxes::setResponder([this](const messageboxes::Shown &box) {
        questions << box.text;
        return answer;
    });
    form = std::make_unique<TMainForm>();
    form->setWindowFactory([this](DocKind k, FrameServices &f) { return make(k, f); });
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestMainForm::cleanup()
{
    form.reset();
    messageboxes::setResponder({});
    QDir::setCurrent(oldCwd);
}

void TestMainForm::startStateOnlyAlwaysEnabled()
{
    for (const char *off : {"FileSaveItem", "FileCloseItem", "CutItem", "Chercher1", "Police1", "Dateheure1",
                            "SumButton", "Champs1", "Journe1", "Publipostage1"})
        QVERIFY2(!form->action(QString::fromLatin1(off)) ? !form->control(QString::fromLatin1(off))->isEnabled()
                                                         : !form->action(QString::fromLatin1(off))->isEnabled(),
                 off);
    for (const char *on : {"Texte1", "FileOpenItem", "Calculatrice1", "HelpAboutItem", "FileExitItem"})
        QVERIFY2(form->action(QString::fromLatin1(on))->isEnabled(), on);
    QVERIFY(!button("BoldButton")->isEnabled());
    QVERIFY(button("OpenBtn")->isEnabled());
    QVERIFY(button("LeftButton")->isChecked());
    QCOMPARE(form->fontCombo()->currentText(), u"Times new Roman"_s);
    QCOMPARE(form->sizeSpin()->value(), 10);
    QVERIFY(!form->action(u"Index1"_s)->isVisible());
    QVERIFY(form->action(u"Montrerlagrille1"_s)->isChecked());
    QCOMPARE(form->action(u"FileSaveItem"_s)->shortcut(), QKeySequence(u"Ctrl+S"_s));
    QVERIFY(form->action(u"Publipostage1"_s)->shortcut().isEmpty());
}

// In each menu, a letter opens one item: the pairs below are the only ones sharing theirs
// (their captions are the program's own, the letter then goes from one to the other).
void TestMainForm::accessKeysOfTheirOwn()
{
    form = std::make_unique<TMainForm>();
    QStringList shared;
    for (QAction *top : form->menuBar()->actions()) {
        QHash<QChar, QStringList> byKey;
        for (QAction *a : top->menu()->actions()) {
            const qsizetype amp = a->text().indexOf(u'&');
            if (a->isVisible() && !a->isSeparator() && amp >= 0 && amp + 1 < a->text().size())
                byKey[a->text().at(amp + 1).toLower()] << a->text();
        }
        for (const QStringList &captions : std::as_const(byKey))
            if (captions.size() > 1)
                shared << captions.join(u" / "_s);
    }
    shared.sort();
    QCOMPARE(shared,
             (QStringList{u"&Définir Journée / &Définir étendue"_s, u"&Graphique... / Montrer la &grille"_s,
                          u"&Largeur colonne... / Figer &lignes"_s, u"Caractères &spéciaux... / &Statistiques"_s,
                          u"Con&tinuer / &Tout sélectionner"_s}));
}

void TestMainForm::builtCommandsAreReachable_data()
{
    QTest::addColumn<QString>("component");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("neighbour"); // enabled in the same cases
    QTest::addColumn<QString>("kinds"); // windows to create, in order, for it to be enabled
    QTest::newRow("preview") << u"Aperuavantimpression1"_s << u"&Aperçu avant impression"_s << u"File1"_s
                             << u"Miseenpage1"_s << u"Texte1"_s;
    QTest::newRow("merge") << u"Publipostage1"_s << u"P&ublipostage"_s << u"Tableur2"_s << u"Champbasededonne1"_s
                           << u"Texte1 Fichier1"_s;
    QTest::newRow("paragraph") << u"Paragraphe1"_s << u"Para&graphe..."_s << u"Texte2"_s << u"Dateheure1"_s
                               << u"Texte1"_s;
    QTest::newRow("sheet sort") << u"Trier2"_s << u"&Trier..."_s << u"Tableur3"_s << u"Onglets1"_s << u"Tableur1"_s;
    QTest::newRow("chart") << u"Graphique1"_s << u"&Graphique..."_s << u"Tableur3"_s << u"Onglets1"_s << u"Tableur1"_s;
    QTest::newRow("base envelopes") << u"Enveloppes2"_s << u"&Enveloppes"_s << u"Basededonnes1"_s << u"Fiche1"_s
                                    << u"Fichier1"_s;
    QTest::newRow("base sort") << u"Trier1"_s << u"&Trier..."_s << u"Basededonnes1"_s << u"Fiche1"_s << u"Fichier1"_s;
}

void TestMainForm::builtCommandsAreReachable()
{
    QFETCH(QString, component);
    QFETCH(QString, caption);
    QFETCH(QString, menu);
    QFETCH(QString, neighbour);
    QFETCH(QString, kinds);
    QAction *a = form->action(component);
    QVERIFY(a);
    QVERIFY(a->isVisible());
    QCOMPARE(a->text(), caption);
    QMenu *m = form->findChild<QMenu *>(menu);
    QVERIFY(m && m->actions().contains(a));
    QVERIFY(!a->isEnabled());
    QVERIFY(!form->action(neighbour)->isEnabled());
    for (const QString &kind : kinds.split(u' '))
        form->action(kind)->trigger();
    QVERIFY(a->isEnabled());
    QVERIFY(form->action(neighbour)->isEnabled());
}

void TestMainForm::printerSetupConfirmsWithOk()
{
    QStringList captions;
    QTimer::singleShot(0, this, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        for (auto *b : dialog->findChildren<QPushButton *>())
            if (b->isVisible())
                captions.append(b->text());
        static_cast<QDialog *>(dialog)->reject();
    });
    trigger("Configurationimprimante1");
    QVERIFY2(captions.contains(u"OK"_s), qPrintable(captions.join(u',')));
    QVERIFY(!captions.contains(u"Imprimer"_s) && !captions.contains(u"&Imprimer"_s) && !captions.contains(u"&Print"_s));
}

void TestMainForm::newWindowsBookkeeping()
{
    trigger("Tableur1");
    DocumentWindow *w = form->dernier(DocKind::Tableur);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), u"Tableur"_s);
    QCOMPARE(form->nb(DocKind::Tableur), 1);
    QVERIFY(form->action(u"SumButton"_s) == nullptr);
    QVERIFY(button("SumButton")->isEnabled());
    QVERIFY(button("BoldButton")->isEnabled());
    QVERIFY(button("LeftButton")->isEnabled()); // alignment acts on cells too
    QVERIFY(form->action(u"FileSaveItem"_s)->isEnabled());
    QVERIFY(!form->action(u"Dateheure1"_s)->isEnabled());
    trigger("Fichier1");
    trigger("Agenda1");
    QCOMPARE(form->dernier(DocKind::Agenda)->windowTitle(), u"Agenda"_s);
    QVERIFY(form->action(u"Champs1"_s)->isEnabled());
    QVERIFY(form->action(u"Grouper1"_s)->isEnabled());
}

void TestMainForm::olderWindowOfKindIsReached()
{
    trigger("Texte1");
    auto *first = dynamic_cast<FakeTexte *>(form->dernier(DocKind::Texte));
    trigger("Texte1");
    auto *second = dynamic_cast<FakeTexte *>(form->dernier(DocKind::Texte));
    QVERIFY(first != second);
    QCOMPARE(form->nb(DocKind::Texte), 2);
    activate(first);
    QCOMPARE(form->reached(DocKind::Texte), first);
    trigger("FileSaveItem");
    QVERIFY(!first->changed); // the older window is the one saved
    QVERIFY(second->changed);
    trigger("CutItem");
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    QCOMPARE(log.calls, (QStringList{u"Texte.SaveAs"_s, u"Texte.Sauve"_s, u"Texte.Coupe"_s, u"Texte.Bold(1)"_s}));
    // A command of another kind goes to the window of its kind used last: not the one
    // created last.
    trigger("Tableur1");
    auto *sheet1 = form->dernier(DocKind::Tableur);
    trigger("Tableur1");
    activate(sheet1);
    activate(second);
    QCOMPARE(form->reached(DocKind::Tableur), sheet1);
    QCOMPARE(form->reached(DocKind::Texte), second);
    // Close reaches the active window.
    trigger("FileCloseItem");
    QTRY_COMPARE(form->mdiArea()->subWindowList().size(), 3);
    QVERIFY(!form->mdiArea()->subWindowList().contains(nullptr));
}

void TestMainForm::closedWindowsDisableTheirCommands()
{
    trigger("Texte1");
    trigger("FileCloseItem");
    QTRY_VERIFY(form->mdiArea()->subWindowList().isEmpty());
    QTRY_VERIFY(!form->dernier(DocKind::Texte)); // the reference is dropped with the window
    QCOMPARE(form->nb(DocKind::Texte), 1); // the count of windows made never goes down
    QTRY_VERIFY(!form->action(u"FileSaveItem"_s)->isEnabled());
    QVERIFY(!form->action(u"Dateheure1"_s)->isEnabled()); // nothing left to act on
    trigger("Fichier1");
    QVERIFY(form->action(u"Chercher1"_s)->isEnabled());
    QVERIFY(!form->action(u"Puces1"_s)->isEnabled());
}

void TestMainForm::setStylesDoesNotEcho()
{
    trigger("Texte1");
    form->SetStyles(true, false, true, true, false, false, true, u"12"_s, u"Arial"_s);
    QVERIFY(button("BoldButton")->isChecked());
    QVERIFY(!button("ItalButton")->isChecked());
    QVERIFY(button("UnderButton")->isChecked());
    QVERIFY(button("CenterButton")->isChecked());
    QVERIFY(!button("LeftButton")->isChecked());
    QVERIFY(form->action(u"Puces1"_s)->isChecked());
    QCOMPARE(form->fontCombo()->currentText(), u"Arial"_s);
    QCOMPARE(form->sizeSpin()->value(), 12);
    QVERIFY(!form->majStyles());
    QCOMPARE(log.calls, QStringList()); // nothing was sent back to the window
    form->SetStyles(false, false, false, false, false, true, false, u"300"_s, u"Arial"_s);
    QCOMPARE(form->sizeSpin()->value(), 100); // brought to the nearer bound
    QVERIFY(button("RightButton")->isChecked());
    QVERIFY(!button("CenterButton")->isChecked());
    QCOMPARE(log.calls, QStringList());
}

void TestMainForm::toolbarActsOnText()
{
    trigger("Texte1");
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    QTest::mouseClick(button("ItalButton"), Qt::LeftButton);
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    QTest::mouseClick(button("RightButton"), Qt::LeftButton);
    QTest::mouseClick(button("CenterButton"), Qt::LeftButton);
    QTest::mouseClick(button("LeftButton"), Qt::LeftButton);
    QTest::mouseClick(button("SumButton"), Qt::LeftButton); // nothing for a text
    QCOMPARE(log.calls,
             (QStringList{u"Texte.Bold(1)"_s, u"Texte.Ital(1)"_s, u"Texte.Bold(0)"_s, u"Texte.Justif(right)"_s,
                          u"Texte.Justif(centre)"_s, u"Texte.Justif(left)"_s}));
    log.calls.clear();
    form->fontCombo()->setEditText(u"Liberation Sans"_s); // set by the program: not sent
    QCOMPARE(log.calls, QStringList());
    form->fontCombo()->lineEdit()->selectAll();
    QTest::keyClicks(form->fontCombo()->lineEdit(), u"liberation sans"_s);
    QCOMPARE(log.calls, QStringList{u"Texte.FontName(Liberation Sans)"_s}); // the list's spelling
    log.calls.clear();
    form->fontCombo()->lineEdit()->selectAll();
    QTest::keyClicks(form->fontCombo()->lineEdit(), u"Arial"_s); // not installed: on Enter
    QCOMPARE(log.calls, QStringList());
    QTest::keyClick(form->fontCombo()->lineEdit(), Qt::Key_Return);
    QCOMPARE(log.calls, QStringList{u"Texte.FontName(Arial)"_s});
}

void TestMainForm::spinnerReadsTypedValue()
{
    trigger("Texte1");
    QLineEdit *edit = form->sizeSpin()->findChild<QLineEdit *>();
    auto type = [&](const char *text) {
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(text));
    };
    type("14"); // "1" is no size: only 14 is sent
    type("200"); // 20 on the way; beyond the bounds: sent on Enter, brought into them
    QTest::keyClick(edit, Qt::Key_Return);
    type("abc"); // not an integer: reads as 4
    QTest::keyClick(edit, Qt::Key_Return);
    form->sizeSpin()->setValue(30); // set by the program: not sent
    form->sizeSpin()->stepBy(1);
    QCOMPARE(log.calls,
             (QStringList{u"Texte.FontSize(14)"_s, u"Texte.FontSize(20)"_s, u"Texte.FontSize(100)"_s,
                          u"Texte.FontSize(4)"_s, u"Texte.FontSize(31)"_s}));
}

void TestMainForm::toolbarActsOnSheetWithSheetCodes()
{
    trigger("Texte1"); // the alignment buttons need a text window in the run
    trigger("Tableur1");
    form->SetStyles(true, false, false, false, true, false, false, u"10"_s, u"Arial"_s);
    QTest::mouseClick(button("ItalButton"), Qt::LeftButton);
    QTest::mouseClick(button("CenterButton"), Qt::LeftButton);
    QTest::mouseClick(button("RightButton"), Qt::LeftButton);
    QTest::mouseClick(button("LeftButton"), Qt::LeftButton);
    QTest::mouseClick(button("SumButton"), Qt::LeftButton);
    form->sizeSpin()->findChild<QLineEdit *>()->selectAll();
    QTest::keyClicks(form->sizeSpin()->findChild<QLineEdit *>(), u"14"_s);
    QCOMPARE(log.calls,
             (QStringList{u"Tableur.FontStyle(1,1,0)"_s, u"Tableur.Justif(centre)"_s, u"Tableur.Justif(right)"_s,
                          u"Tableur.Justif(left)"_s, u"Tableur.Somme"_s, u"Tableur.FontName(Arial,14)"_s}));
}

void TestMainForm::fontDialogCancelledStillSetsSelectionFont()
{
    trigger("Texte1");
    form->setFontDialogHook([](QFont &, QColor &) { return false; });
    trigger("Police1");
    QCOMPARE(log.calls, QStringList{u"Texte.SetFont(Liberation Serif,13)"_s});
    log.calls.clear();
    form->setFontDialogHook([](QFont &f, QColor &) {
        f = QFont(u"Liberation Mono"_s, 20);
        return true;
    });
    trigger("Police1");
    QCOMPARE(log.calls, QStringList{u"Texte.SetFont(Liberation Mono,20)"_s});
}

void TestMainForm::openChoosesKindByLastThreeLetters()
{
    form->openFile(u"/tmp/docs/LETTRE.qvt"_s);
    QCOMPARE(form->dernier(DocKind::Texte)->windowTitle(), u"LETTRE.qvt"_s);
    QCOMPARE(form->nb(DocKind::Texte), 1);
    QVERIFY(form->action(u"Dateheure1"_s)->isEnabled());
    form->openFile(u"/tmp/notes.Qvb"_s);
    form->openFile(u"/tmp/rapportqvt"_s);
    QStringList shown;
    messageboxes::setResponder([&](const messageboxes::Shown &m) {
        shown.append(m.text);
        return messageboxes::Answer::Ok;
    });
    form->openFile(u"/tmp/abc.txt"_s); // another kind of file: said in French, no window
    form->openFile(u"/tmp/qv"_s);
    messageboxes::setResponder(nullptr);
    QCOMPARE(shown.size(), 2);
    QVERIFY(shown.first().contains(u"abc.txt"_s) && shown.first().contains(u"ne sait pas ouvrir"_s));
    form->openFile(u"/tmp/Courrier.RTF"_s); // RTF of other programs: a text window
    QCOMPARE(log.calls,
             (QStringList{u"Texte.Charge(/tmp/docs/LETTRE.qvt)"_s, u"Fichier.Charge(/tmp/notes.Qvb)"_s,
                          u"Texte.Charge(/tmp/rapportqvt)"_s, u"Texte.Charge(/tmp/Courrier.RTF)"_s}));
    QCOMPARE(form->mdiArea()->subWindowList().size(), 4);
    QCOMPARE(form->nb(DocKind::Texte), 3);
    QCOMPARE(form->dernier(DocKind::Texte)->windowTitle(), u"Courrier.RTF"_s);
}

void TestMainForm::checkMarks()
{
    // Not reached: the tick of "Puces" and "Voir codes RTF" stays; freezing always inverts.
    trigger("Tableur1");
    trigger("Puces1");
    QVERIFY(!form->action(u"Puces1"_s)->isChecked());
    trigger("Texte1");
    trigger("Figerlignes1"); // with the text active, the spreadsheet freezes
    QVERIFY(form->action(u"Figerlignes1"_s)->isChecked());
    trigger("Puces1");
    trigger("Voircodesrtf1");
    trigger("Voircodesrtf1");
    QVERIFY(form->action(u"Puces1"_s)->isChecked());
    QCOMPARE(log.calls,
             (QStringList{u"Tableur.FixLigs(1)"_s, u"Texte.Bullets(1)"_s, u"Texte.Codes(1)"_s, u"Texte.Codes(0)"_s}));
    log.calls.clear();
    activate(form->dernier(DocKind::Tableur));
    trigger("Figerlignes1");
    trigger("Montrerlagrille1");
    QCOMPARE(log.calls, (QStringList{u"Tableur.FixLigs(0)"_s, u"Tableur.Grille(0)"_s}));
    trigger("Fichier1");
    trigger("Fiche1");
    QVERIFY(form->action(u"Fiche1"_s)->isChecked());
    QVERIFY(!form->action(u"Liste1"_s)->isChecked());
    activate(form->dernier(DocKind::Texte));
    trigger("Liste1"); // the database used last is reached from the text
    QVERIFY(!form->action(u"Fiche1"_s)->isChecked());
    QVERIFY(form->action(u"Liste1"_s)->isChecked());
}

void TestMainForm::rowClipboardsAreTheFramesAndSeparate()
{
    trigger("Fichier1");
    auto *base = dynamic_cast<FakeFichier *>(form->dernier(DocKind::Fichier));
    trigger("CutItem");
    QCOMPARE(base->clipboard, &form->PressePapierFichier());
    trigger("Agenda1");
    auto *agenda = dynamic_cast<FakeAgenda *>(form->dernier(DocKind::Agenda));
    trigger("CutItem");
    QCOMPARE(agenda->clipboard, &form->PressePapierAgenda());
    QVERIFY(form->PressePapierAgenda().isEmpty());
    trigger("Fichier1"); // a second database pastes what the first one cut
    trigger("PasteItem");
    QVERIFY(log.calls.contains(u"Fichier.Colle(rec)"_s));
}

void TestMainForm::continueSendsMenuItem()
{
    trigger("Texte1");
    trigger("Continuer1");
    QCOMPARE(log.calls, QStringList{u"Texte.FindDialog1Find(Continuer1)"_s});
    QCOMPARE(form->action(u"Continuer1"_s)->shortcut(), QKeySequence(Qt::Key_F3));
}

void TestMainForm::printRouting()
{
    int dialogs = 0;
    form->setPrintDialogHook([&](QPrinter &) {
        ++dialogs;
        return true;
    });
    trigger("Agenda1");
    QVERIFY(!form->action(u"Imprimer1"_s)->isEnabled()); // an agenda prints nothing
    QVERIFY(!button("SpeedButton9")->isEnabled());
    trigger("Fichier1");
    QTest::mouseClick(button("SpeedButton9"), Qt::LeftButton);
    QCOMPARE(dialogs, 0); // the toolbar prints without the dialog
    QCOMPARE(log.calls, QStringList{u"Fichier.Imprime"_s});
    activate(form->dernier(DocKind::Agenda));
    form->setPrintDialogHook([&](QPrinter &) {
        ++dialogs;
        return false;
    });
    trigger("Imprimer1"); // cancelled
    QCOMPARE(dialogs, 1);
    QCOMPARE(log.calls, QStringList{u"Fichier.Imprime"_s});
    form->setPrintDialogHook([&](QPrinter &) {
        ++dialogs;
        return true;
    });
    trigger("Imprimer1"); // from the agenda: the database used last prints
    QCOMPARE(log.calls, (QStringList{u"Fichier.Imprime"_s, u"Fichier.Imprime"_s}));
}

void TestMainForm::envelopeSenderCopiedInEveryCase()
{
    form->textModule().SetExp({u"A"_s, u"B"_s, u"C"_s, u"D"_s});
    QTest::mouseClick(button("EnvButton"), Qt::LeftButton); // disabled: nothing
    QCOMPARE(form->adresseExpediteur(), QStringList(4, QString()));
    trigger("Texte1");
    trigger("Tableur1");
    trigger("Enveloppes1"); // from the spreadsheet: the text used last prints
    QCOMPARE(form->adresseExpediteur(), (QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s}));
    QCOMPARE(log.calls, QStringList{u"Texte.ImpEnv"_s});
}

void TestMainForm::mailMergeServicesForwardToCurrentBase()
{
    int a = 7, b = 7;
    QVERIFY(!form->Bornes(a, b));
    QVERIFY(a > b); // empty range with no database
    trigger("Fichier1");
    trigger("Texte1"); // the database need not be active
    QVERIFY(form->Bornes(a, b));
    QCOMPARE(a, 2);
    QCOMPARE(b, 4);
    QString t = u"Cher [Nom],"_s;
    form->Contenu(3, t);
    QCOMPARE(t, u"Cher nom3,"_s);
}

void TestMainForm::fieldDialogOffersTheLoadedDatabasesFields()
{
    form->setFieldDialogHook([](TInsChp &d) {
        QCOMPARE(d.ListBox1->count(), 0); // no database loaded: nothing to choose
        QTest::mouseClick(d.Button1, Qt::LeftButton);
    });
    QCOMPARE(form->ChoisirChamp(), QString());
    form->setFieldSource(u"carnet.qvb"_s);
    form->setFieldNames({u"Nom"_s, u"Ville"_s});
    QCOMPARE(form->insChp().Edit1->text(), u"carnet.qvb"_s);
    form->setFieldDialogHook([](TInsChp &d) {
        d.ListBox1->setCurrentRow(1);
        QTest::mouseClick(d.Button1, Qt::LeftButton);
    });
    QCOMPARE(form->ChoisirChamp(), u"Ville"_s);
    form->setFieldDialogHook([](TInsChp &d) { QTest::mouseClick(d.Button2, Qt::LeftButton); });
    QCOMPARE(form->ChoisirChamp(), QString());
    form->setFieldDialogHook([](TInsChp &d) {
        d.ListBox1->setCurrentRow(0);
        QTest::keyClick(d.ListBox1, Qt::Key_Return);
    });
    QCOMPARE(form->ChoisirChamp(), u"Nom"_s);
    // Loading a database names it after its window's caption.
    form->openFile(u"/tmp/adresses.qvb"_s);
    form->setFieldNames({u"Prénom"_s});
    QCOMPARE(form->insChp().Edit1->text(), u"adresses.qvb"_s);
    QCOMPARE(form->insChp().ListBox1->count(), 1);
}

void TestMainForm::statusBarHintsAndWidth()
{
    form->resize(694, 421);
    QTRY_COMPARE(form->statusPanel(0)->width(), 594);
    QStatusTipEvent tip(u"Ouvrir un fichier existant"_s);
    QCoreApplication::sendEvent(form.get(), &tip);
    QCOMPARE(form->statusPanel(0)->text(), u"Ouvrir un fichier existant"_s);
    QVERIFY(form->statusPanel(1)->text().startsWith(u"    "_s));
    QVERIFY(QRegularExpression(u"^    \\d\\d:\\d\\d:\\d\\d$"_s).match(form->statusPanel(1)->text()).hasMatch());
    QCOMPARE(button("OpenBtn")->toolTip(), u"Ouvrir"_s);
    QCOMPARE(button("OpenBtn")->statusTip(), QString());
    QCOMPARE(button("CutBtn")->statusTip(), u"Couper"_s);
    QCOMPARE(form->action(u"FileOpenItem"_s)->statusTip(), u"Ouvrir un fichier existant"_s);
    // What a screen reader announces for the controls that have no caption.
    auto spoken = [](QWidget *w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    QCOMPARE(form->fontCombo()->accessibleName(), u"Police"_s); // its spoken value is the font
    QCOMPARE(spoken(form->sizeSpin()), u"Taille"_s);
    QCOMPARE(spoken(button("BoldButton")), u"Gras"_s);
    QCOMPARE(spoken(button("OpenBtn")), u"Ouvrir"_s);
    QCOMPARE(spoken(button("EnvButton")), u"Enveloppe"_s);
}

void TestMainForm::minimiseAll()
{
    trigger("Texte1");
    trigger("Tableur1");
    trigger("Agenda1");
    trigger("WindowMinimizeItem");
    for (QMdiSubWindow *sw : form->mdiArea()->subWindowList())
        QVERIFY(sw->isMinimized());
    trigger("WindowCascadeItem");
    trigger("WindowArrangeItem");
    QCOMPARE(form->mdiArea()->subWindowList().size(), 3);
}

void TestMainForm::f1OnMenuOpensItsTopic()
{
    QMenu *menu = form->findChild<QMenu *>(u"Tableur3"_s);
    QVERIFY(menu);
    menu->popup(QPoint(10, 10));
    QTRY_VERIFY(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_F1);
    HelpBrowser *help = nullptr;
    QTRY_VERIFY((help = form->findChild<HelpBrowser *>()) != nullptr);
    QTRY_COMPARE(help->currentPage(), u"ctx6"_s);
    QVERIFY(!menu->isVisible());
}

void TestMainForm::f1InWindowOpensItsTopic()
{
    // With the focus in an inner control of the agenda window, the window's topic; with no
    // document window, the contents.
    trigger("Agenda1");
    DocumentWindow *agenda = form->activeDocument();
    agenda->setProperty("helpContext", 8);
    auto *inner = new QLineEdit(agenda);
    inner->show();
    form->activateWindow();
    inner->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), inner);
    QTest::keyClick(inner, Qt::Key_F1);
    HelpBrowser *help = nullptr;
    QTRY_VERIFY((help = form->findChild<HelpBrowser *>()) != nullptr);
    QTRY_COMPARE(help->currentPage(), u"ctx8"_s);

    // An inner control naming its own topic wins over its window's.
    inner->setProperty("helpContext", 5);
    form->activateWindow();
    inner->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), inner);
    QTest::keyClick(inner, Qt::Key_F1);
    QTRY_COMPARE(help->currentPage(), u"ctx5"_s);
}

namespace {
// The frame with its real windows, started from `folder`.
std::unique_ptr<TMainForm> startIn(const QString &folder)
{
    QDir::setCurrent(folder);
    auto form = std::make_unique<TMainForm>();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        return nullptr;
    return form;
}
} // namespace

// The glossary, the sender and the notes are the user's, wherever the program is started
// from: brought in once from the first folder, changed through their windows (each written
// as its window closes), and found again from two other folders, one holding older files.
void TestMainForm::dataFilesFollowTheUserFromAnyFolder()
{
    form.reset();
    QTemporaryDir xdg, first, second, third;
    qputenv("XDG_DATA_HOME", QFile::encodeName(xdg.path()));
    const QDir mine(xdg.filePath(u"velmora"_s));
    const QString programDir = QCoreApplication::applicationDirPath();
    const QStringList names{u"Velmora.glo"_s, u"Velmora.adr"_s, u"velmora.nte"_s};
    for (const QString &name : names)
        QVERIFY(!QFileInfo::exists(QDir(programDir).filePath(name)));
    QVERIFY(spit(first.filePath(u"Velmora.glo"_s), "CDT\tCordialement\r\n"));
    QVERIFY(spit(first.filePath(u"Velmora.adr"_s), "Ancienne\r\nadresse\r\n\r\n\r\n"));
    QVERIFY(spit(third.filePath(u"Velmora.glo"_s), "VIEUX\tvieux\r\n"));
    QVERIFY(spit(third.filePath(u"velmora.nte"_s), "vieilles notes\r\n"));

    form = startIn(first.path());
    QVERIFY(form);
    QCOMPARE(form->adresseExpediteur().first(), u"Ancienne"_s);
    TextTools &tools = form->textModule().tools();
    QCOMPARE(tools.glos().glossary().entries(), QStringList{u"CDT\tCordialement"_s});
    trigger("Texte1"); // the glossary and envelope commands need a text window
    tools.setDialogRunner([](QDialog &d) {
        if (auto *g = qobject_cast<TGlos *>(&d)) {
            g->Edit1->setText(u"BJR"_s);
            g->Edit2->setText(u"Bonjour"_s);
            QTest::mouseClick(g->AddButton, Qt::LeftButton);
            QTest::mouseClick(g->CloseButton, Qt::LeftButton);
        } else if (auto *e = qobject_cast<TEnveloppes *>(&d)) {
            e->Expediteur[0]->setText(u"Jeanne Durand"_s);
            e->Expediteur[1]->setText(u"3 place Nette"_s);
            QTest::mouseClick(e->CancelButton, Qt::LeftButton);
        }
    });
    trigger("Glossaire1");
    QCOMPARE(slurp(mine.filePath(u"Velmora.glo"_s)), QByteArray("CDT\tCordialement\r\nBJR\tBonjour\r\n"));
    trigger("Enveloppes1");
    QCOMPARE(slurp(mine.filePath(u"Velmora.adr"_s)), QByteArray("Jeanne Durand\r\n3 place Nette\r\n\r\n\r\n"));
    QTimer::singleShot(0, this, [] {
        auto *notes = qobject_cast<TBnotes *>(QApplication::activeModalWidget());
        QVERIFY(notes);
        QTest::keyClicks(notes->Memo1, u"Appeler Paul"_s);
        QTest::mouseClick(notes->Button1, Qt::LeftButton);
    });
    trigger("Blocnotes1");
    QCOMPARE(slurp(mine.filePath(u"velmora.nte"_s)), QByteArray("Appeler Paul\r\n"));
    form->mdiArea()->closeAllSubWindows();
    QVERIFY(form->close());

    for (const QString &folder : {second.path(), third.path()}) {
        form = startIn(folder);
        QVERIFY(form);
        QCOMPARE(form->textModule().tools().glos().glossary().entries(),
                 (QStringList{u"CDT\tCordialement"_s, u"BJR\tBonjour"_s}));
        QCOMPARE(form->adresseExpediteur().mid(0, 2), (QStringList{u"Jeanne Durand"_s, u"3 place Nette"_s}));
        QCOMPARE(form->utilitiesModule().bnotes().lines(), QStringList{u"Appeler Paul"_s});
        QVERIFY(form->close());
    }
    QDir::setCurrent(oldCwd);
    qputenv("XDG_DATA_HOME", dataDir.path().toLocal8Bit());
    // Nothing was written anywhere else.
    QCOMPARE(slurp(first.filePath(u"Velmora.glo"_s)), QByteArray("CDT\tCordialement\r\n"));
    QCOMPARE(slurp(first.filePath(u"Velmora.adr"_s)), QByteArray("Ancienne\r\nadresse\r\n\r\n\r\n"));
    QCOMPARE(slurp(third.filePath(u"Velmora.glo"_s)), QByteArray("VIEUX\tvieux\r\n"));
    QCOMPARE(QDir(second.path()).entryList(QDir::Files), QStringList());
    for (const QString &name : names)
        QVERIFY2(!QFileInfo::exists(QDir(programDir).filePath(name)), qPrintable(name));
}

// Starting builds no tool form; the data files are still read at start, and each form made
// later shows what was read then.
void TestMainForm::toolFormsAreMadeWhenFirstNeeded()
{
    form.reset();
    QTemporaryDir xdg, folder;
    qputenv("XDG_DATA_HOME", QFile::encodeName(xdg.path()));
    QVERIFY(spit(folder.filePath(u"Velmora.adr"_s), "Marie\r\n1 rue Haute\r\n\r\n\r\n"));
    QVERIFY(spit(folder.filePath(u"velmora.nte"_s), "lues au d\xe9marrage\r\n"));
    QVERIFY(spit(folder.filePath(u"Velmora.glo"_s), "CDT\tCordialement\r\n"));
    form = startIn(folder.path());
    QVERIFY(form);
    QStringList made;
    for (const QDialog *d : form->findChildren<QDialog *>())
        made.append(QString::fromLatin1(d->metaObject()->className()));
    QCOMPARE(made, QStringList());
    // The notes were read at start: a later change of the file is not what the notepad shows.
    QVERIFY(spit(folder.filePath(u"velmora.nte"_s), "changées depuis\r\n"));
    QVERIFY(spit(folder.filePath(u"Velmora.glo"_s), "XYZ\tautre\r\n"));
    // Typing expands an abbreviation of the glossary read at start, its form still unmade.
    trigger("Texte1");
    auto *texte = qobject_cast<TTexte *>(form->dernier(DocKind::Texte));
    QVERIFY(texte);
    QTest::keyClicks(texte->RichEdit1, u"Merci. CDT "_s);
    QCOMPARE(texte->RichEdit1->toPlainText(), u"Merci. Cordialement "_s);
    QVERIFY(form->findChildren<TGlos *>().isEmpty());
    TBnotes &notes = form->utilitiesModule().bnotes();
    QCOMPARE(notes.lines(), QStringList{u"lues au démarrage"_s});
    QVERIFY(!notes.isModified());
    TextTools &tools = form->textModule().tools();
    QCOMPARE(tools.glos().glossary().entries(), QStringList{u"CDT\tCordialement"_s});
    QVERIFY(!tools.glos().GloModified());
    QCOMPARE(tools.GetExp(), (QStringList{u"Marie"_s, u"1 rue Haute"_s, QString(), QString()}));
    QCOMPARE(tools.enveloppes().Expediteur[1]->text(), u"1 rue Haute"_s);
    // The special characters offer the toolbar's font list.
    QCOMPARE(tools.caract().ComboBox1->count(), form->fontCombo()->count());
    QVERIFY(form->close());
    QDir::setCurrent(oldCwd);
    qputenv("XDG_DATA_HOME", dataDir.path().toLocal8Bit());
}

// The toolbar's pictures are drawn when a button is painted: each shows something at the
// sizes asked, a disabled button a fainter picture of its own, and the program's picture
// follows the size asked too.
void TestMainForm::toolbarPicturesArePaintedWhenAsked()
{
    auto inked = [](const QImage &image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        return n;
    };
    auto opacity = [](const QImage &image) {
        qint64 sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                sum += qAlpha(image.pixel(x, y));
        return sum;
    };
    for (const char *name :
         {"OpenBtn", "SaveBtn", "SpeedButton1", "CutBtn", "CopyBtn", "PasteBtn", "SpeedButton9", "BoldButton",
          "ItalButton", "UnderButton", "LeftButton", "CenterButton", "RightButton", "SumButton", "EnvButton"}) {
        const QIcon icon = button(name)->icon();
        QVERIFY2(!icon.isNull(), name);
        for (int size : {16, 32}) {
            const QImage normal = icon.pixmap(QSize(size, size)).toImage();
            const QImage disabled = icon.pixmap(QSize(size, size), QIcon::Disabled).toImage();
            QCOMPARE(normal.size(), QSize(size, size));
            QVERIFY2(inked(normal) > size, name);
            QVERIFY2(opacity(disabled) * 10 < opacity(normal) * 7, name); // overlaps add up
            QVERIFY2(opacity(disabled) > 0, name);
            QCOMPARE(icon.pixmap(QSize(size, size)).toImage(), normal); // the same picture again
        }
    }
    const QIcon program = form->windowIcon();
    QCOMPARE(program.pixmap(QSize(48, 48)).size(), QSize(48, 48));
    QVERIFY(inked(program.pixmap(QSize(48, 48)).toImage()) > 48 * 48 / 2);
    // A painted button shows its picture.
    QToolButton *open = button("OpenBtn");
    const QImage shot = open->grab().toImage();
    QVERIFY(shot != QImage(shot.size(), shot.format()));
}

void TestMainForm::olderRealWindowsGetTheCommands()
{
    // The real windows, two of each kind: every command is tried on the older one.
    form = std::make_unique<TMainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QTemporaryDir dir;
    auto older = [this](const char *newItem, DocKind kind) {
        trigger(newItem);
        DocumentWindow *first = form->dernier(kind);
        trigger(newItem);
        activate(first);
        return first;
    };

    // Spreadsheets: copy, paste, bold and centre on the older one, no text window made.
    auto *s1 = qobject_cast<TTableur *>(older("Tableur1", DocKind::Tableur));
    auto *s2 = qobject_cast<TTableur *>(form->dernier(DocKind::Tableur));
    QVERIFY(s1 && s2 && s1 != s2);
    QVERIFY(button("CenterButton")->isEnabled());
    s1->F1Book1->workbook().setEntry(0, 1, 1, u"12"_s);
    s1->F1Book1->SetActiveCell(1, 1);
    trigger("CopyItem");
    s1->F1Book1->SetActiveCell(2, 1);
    trigger("PasteItem");
    QCOMPARE(s1->F1Book1->workbook().displayText(0, 2, 1), u"12"_s);
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    QTest::mouseClick(button("CenterButton"), Qt::LeftButton);
    QString name;
    int size = 0, horizontal = 0, vertical = 0, orientation = 0;
    bool bold = false, italic = false, underline = false, strike = false, outline = false, shadow = false, wrap = false;
    unsigned colour = 0;
    s1->F1Book1->GetFont(name, size, bold, italic, underline, strike, colour, outline, shadow);
    QVERIFY(bold);
    s1->F1Book1->GetAlignment(horizontal, wrap, vertical, orientation);
    QCOMPARE(horizontal, int(sheet::AlignCenter));
    QVERIFY(s2->F1Book1->workbook().displayText(0, 2, 1).isEmpty());
    QVERIFY(!s2->Modifie());
    s1->F1Book1->setFocus();
    QTest::keyClick(s1->F1Book1, Qt::Key_I, Qt::ControlModifier);
    s1->F1Book1->GetFont(name, size, bold, italic, underline, strike, colour, outline, shadow);
    QVERIFY(bold && italic);
    // Select all takes the whole sheet, the active cell staying where it was.
    trigger("Toutslectionner1");
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    s1->F1Book1->GetSelection(0, r1, c1, r2, c2);
    QCOMPARE(QList<int>({r1, c1, r2, c2}), QList<int>({1, 1, sheet::kMaxRows, sheet::kMaxColumns}));
    QCOMPARE(s1->F1Book1->Row(), 2);
    s2->F1Book1->GetSelection(0, r1, c1, r2, c2);
    QCOMPARE(r2, 1);

    // Databases: a record inserted and the file saved in the older one.
    const QString carnet = dir.filePath(u"carnet.qvb"_s);
    QFile f(carnet);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("0A0").repeated(32) + "\r\n000001Nom\r\n000101Dupont\r\n000201Martin\r\n");
    f.close();
    form->openFile(carnet);
    auto *d1 = qobject_cast<TFichier *>(form->dernier(DocKind::Fichier));
    trigger("Fichier1");
    activate(d1);
    d1->setCurrentCell(1, 1);
    trigger("Insrerligne1");
    QCOMPARE(d1->table().NbFiches, 3);
    trigger("FileSaveItem");
    QVERIFY(!d1->Modifie());
    QVERIFY(QFile(carnet).size() > 0);
    QVERIFY(!qobject_cast<TFichier *>(form->dernier(DocKind::Fichier))->Modifie());

    // Texts: select all and cut, then Ctrl+S, in the older one.
    auto *t1 = qobject_cast<TTexte *>(older("Texte1", DocKind::Texte));
    QTest::keyClicks(t1->RichEdit1, "Bonjour");
    trigger("Toutslectionner1");
    trigger("CutItem");
    QVERIFY(t1->RichEdit1->toPlainText().isEmpty());
    QTest::keyClicks(t1->RichEdit1, "Salut");
    const QString lettre = dir.filePath(u"lettre"_s);
    t1->setSaveDialogHook([&](QString &p, int &) {
        p = lettre;
        return true;
    });
    QTest::keyClick(t1->RichEdit1, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(QFile::exists(lettre + u".qvt"_s));
    QCOMPARE(t1->windowTitle(), u"lettre.qvt"_s);
    QVERIFY(!t1->Modifie());
}

// "Annuler", its button and "Rétablir" are enabled only when the window they reach has
// something to undo or redo: typed text, a cell's entry, the typing in an open cell editor.
void TestMainForm::undoFollowsWhatCanBeUndone()
{
    form = std::make_unique<TMainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QApplication::setActiveWindow(form.get());
    QAction *undo = form->action(u"Annuler1"_s);
    QAction *redo = form->action(u"Retablir1"_s);
    const auto state = [&] {
        if (button("SpeedButton1")->isEnabled() != undo->isEnabled())
            return u"le bouton diffère du menu"_s;
        return (undo->isEnabled() ? u"annuler"_s : u"-"_s) + u' ' + (redo->isEnabled() ? u"rétablir"_s : u"-"_s);
    };

    trigger("Texte1");
    auto *t = qobject_cast<TTexte *>(form->dernier(DocKind::Texte));
    QVERIFY(t);
    QCOMPARE(state(), u"- -"_s);
    QTest::keyClicks(t->RichEdit1, "Bonjour");
    QCOMPARE(state(), u"annuler -"_s);
    for (int i = 0; i < 20 && undo->isEnabled(); ++i)
        trigger("Annuler1");
    QVERIFY(t->RichEdit1->toPlainText().isEmpty());
    QCOMPARE(state(), u"- rétablir"_s);

    // A new sheet has nothing to undo, whatever the text behind it has.
    trigger("Tableur1");
    auto *s = qobject_cast<TTableur *>(form->dernier(DocKind::Tableur));
    QVERIFY(s);
    QCOMPARE(state(), u"- -"_s);
    s->F1Book1->setFocus();
    for (char c : {'1', '2'}) // each key to the widget that has the keyboard then: the editor once open
        QTest::keyClick(QApplication::focusWidget(), c);
    QVERIFY(s->F1Book1->IsEditing());
    QCOMPARE(state(), u"annuler -"_s); // the typing in the editor
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(!s->F1Book1->IsEditing());
    QCOMPARE(s->F1Book1->workbook().displayText(0, 1, 1), u"12"_s);
    QTRY_COMPARE(state(), u"annuler -"_s); // the entry
    trigger("Annuler1");
    QVERIFY(s->F1Book1->workbook().displayText(0, 1, 1).isEmpty());
    QCOMPARE(state(), u"- rétablir"_s);
    trigger("Retablir1");
    QCOMPARE(s->F1Book1->workbook().displayText(0, 1, 1), u"12"_s);
    QCOMPARE(state(), u"annuler -"_s);

    // Back in the text, its own history counts again.
    activate(t);
    QCOMPARE(state(), u"- rétablir"_s);
    trigger("Retablir1");
    QVERIFY(!t->RichEdit1->toPlainText().isEmpty());
    QCOMPARE(state(), u"annuler -"_s);
}

void TestMainForm::newWindowTakesTheKeyboard_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("tableur seul") << QString() << u"Tableur1"_s;
    QTest::newRow("tableur après un texte") << u"Texte1"_s << u"Tableur1"_s;
    QTest::newRow("texte après un tableur") << u"Tableur1"_s << u"Texte1"_s;
    QTest::newRow("agenda après un texte") << u"Texte1"_s << u"Agenda1"_s;
    QTest::newRow("fichier après un tableur") << u"Tableur1"_s << u"Fichier1"_s;
}

void TestMainForm::newWindowTakesTheKeyboard()
{
    // A window made from the menu takes the keyboard: what the user types goes into it.
    QFETCH(QString, first);
    QFETCH(QString, second);
    form = std::make_unique<TMainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QApplication::setActiveWindow(form.get());
    if (!first.isEmpty())
        form->action(first)->trigger();
    form->action(second)->trigger();
    DocumentWindow *w = form->activeDocument();
    QVERIFY(w);
    QTRY_VERIFY2(QApplication::focusWidget() && w->isAncestorOf(QApplication::focusWidget()),
                 qPrintable(QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                                        : "nothing"));
}

void TestMainForm::shortcutsShownInMenus_data()
{
    QTest::addColumn<QString>("component");
    QTest::addColumn<QString>("key");
    const std::pair<const char *, const char *> rows[] = {{"Texte1", "Ctrl+N"},
                                                          {"FileOpenItem", "Ctrl+O"},
                                                          {"FileCloseItem", "Ctrl+W"},
                                                          {"FileSaveItem", "Ctrl+S"},
                                                          {"FileSaveAsItem", "Ctrl+Shift+S"},
                                                          {"Imprimer1", "Ctrl+P"},
                                                          {"FileExitItem", "Ctrl+Q"},
                                                          {"Annuler1", "Ctrl+Z"},
                                                          {"Retablir1", "Ctrl+Y"},
                                                          {"CutItem", "Ctrl+X"},
                                                          {"CopyItem", "Ctrl+C"},
                                                          {"PasteItem", "Ctrl+V"},
                                                          {"Toutslectionner1", "Ctrl+A"},
                                                          {"Chercher1", "Ctrl+F"},
                                                          {"Remplacer1", "Ctrl+H"},
                                                          {"Continuer1", "F3"}};
    for (const auto &[component, key] : rows)
        QTest::newRow(component) << QString::fromLatin1(component) << QString::fromLatin1(key);
}

void TestMainForm::shortcutsShownInMenus()
{
    QFETCH(QString, component);
    QFETCH(QString, key);
    QAction *a = form->action(component);
    QVERIFY(a);
    QCOMPARE(a->shortcut(), QKeySequence(key)); // the first one is the one the menu shows
    QVERIFY(a->isVisible());
}

void TestMainForm::noKeyBoundTwice()
{
    // Two actions of the frame on one key would both be dead (an ambiguous shortcut).
    QHash<QKeySequence, QString> owner;
    for (QAction *a : form->findChildren<QAction *>()) {
        for (const QKeySequence &k : a->shortcuts()) {
            QVERIFY2(!owner.contains(k), qPrintable(k.toString() + u" "_s + owner.value(k) + u" "_s + a->objectName()));
            owner.insert(k, a->objectName());
        }
    }
    QVERIFY(owner.contains(QKeySequence(u"Ctrl+B"_s)));
    QVERIFY(owner.contains(QKeySequence(u"Ctrl+Shift+Z"_s)) || owner.contains(QKeySequence(u"Ctrl+Y"_s)));
}

void TestMainForm::cancelStopsTheQuitAtOnce()
{
    trigger("Texte1");
    auto *older = dynamic_cast<FakeTexte *>(form->dernier(DocKind::Texte));
    trigger("Agenda1");
    dynamic_cast<FakeAgenda *>(form->dernier(DocKind::Agenda))->changed = false; // nothing to ask
    trigger("Texte1");
    older->setWindowTitle(u"ancien"_s);
    // The active text is asked first; "Annuler" there: no other question, nothing closed.
    answer = messageboxes::Answer::Annuler;
    trigger("FileExitItem");
    QCOMPARE(questions, QStringList{u"Sauver modifications dans Texte ?"_s});
    QApplication::processEvents();
    QCOMPARE(form->mdiArea()->subWindowList().size(), 3);
    QVERIFY(form->isVisible());
    // "&Non" to the first, "Annuler" to the second: still nothing closed.
    int asked = 0;
    messageboxes::setResponder([&](const messageboxes::Shown &box) {
        questions << box.text;
        return ++asked == 1 ? messageboxes::Answer::Non : messageboxes::Answer::Annuler;
    });
    trigger("FileExitItem");
    QCOMPARE(questions.mid(1),
             (QStringList{u"Sauver modifications dans Texte ?"_s, u"Sauver modifications dans ancien ?"_s}));
    QApplication::processEvents();
    QCOMPARE(form->mdiArea()->subWindowList().size(), 3);
    // Every question answered: each asked once, then the frame closes.
    questions.clear();
    messageboxes::setResponder([&](const messageboxes::Shown &box) {
        questions << box.text;
        return messageboxes::Answer::Non;
    });
    trigger("FileExitItem");
    QCOMPARE(questions.size(), 2);
    QVERIFY(!form->isVisible());
    QVERIFY(log.calls.isEmpty()); // nothing saved
}

namespace {
// Makes the save dialog of a real window answer `chosen`.
void answerSaveDialog(DocumentWindow *w, const QString &chosen)
{
    w->setSaveDialogHook([chosen](QString &p, int &) {
        p = chosen;
        return true;
    });
}

// A new real window of the kind, made through the frame, whose save dialog answers `chosen`.
DocumentWindow *realWindow(TMainForm &form, DocKind kind, const QString &chosen)
{
    DocumentWindow *w = form.newDocument(kind);
    answerSaveDialog(w, chosen);
    return w;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

void TestMainForm::saveNameRuleAsksBeforeReplacing_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("chosen"); // what the user types in the save dialog
    QTest::addColumn<QString>("written"); // the file the naming rule makes of it
    QTest::newRow("text without extension") << int(DocKind::Texte) << u"lettre"_s << u"lettre.qvt"_s;
    QTest::newRow("spreadsheet cut at the first dot") << int(DocKind::Tableur) << u"bilan.2025.qvc"_s << u"bilan.qvc"_s;
    QTest::newRow("database cut at the first dot")
            << int(DocKind::Fichier) << u"clients.2025.qvb"_s << u"clients.qvb"_s;
    QTest::newRow("agenda cut at the first dot") << int(DocKind::Agenda) << u"rdv.old.qva"_s << u"rdv.qva"_s;
}

void TestMainForm::saveNameRuleAsksBeforeReplacing()
{
    QFETCH(int, kind);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    form = std::make_unique<TMainForm>(); // the real windows
    QTemporaryDir dir;
    const QString other = dir.filePath(written);
    QFile f(other);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("un autre fichier");
    f.close();
    DocumentWindow *w = realWindow(*form, DocKind(kind), dir.filePath(chosen));
    const QString caption = w->windowTitle();
    answer = messageboxes::Answer::Non;
    QVERIFY(!w->SaveAs());
    QCOMPARE(questions, QStringList{u"Le fichier %1 existe déjà. Voulez-vous le remplacer ?"_s.arg(other)});
    QCOMPARE(contents(other), QByteArray("un autre fichier"));
    QVERIFY(w->NomFichier().isEmpty());
    QCOMPARE(w->windowTitle(), caption);
    answer = messageboxes::Answer::Oui;
    QVERIFY(w->SaveAs());
    QVERIFY(contents(other) != QByteArray("un autre fichier"));
    QCOMPARE(w->NomFichier(), other);
    QCOMPARE(w->windowTitle(), written);
    // Saved under that name since: no question any more.
    questions.clear();
    QVERIFY(w->SaveAs());
    QVERIFY(questions.isEmpty());
}

void TestMainForm::failedSaveKeepsNameAndCaption_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("text") << int(DocKind::Texte) << u"lettre.qvt"_s;
    QTest::newRow("spreadsheet") << int(DocKind::Tableur) << u"bilan.qvc"_s;
    QTest::newRow("database") << int(DocKind::Fichier) << u"clients.qvb"_s;
    QTest::newRow("agenda") << int(DocKind::Agenda) << u"rdv.qva"_s;
}

void TestMainForm::failedSaveKeepsNameAndCaption()
{
    QFETCH(int, kind);
    QFETCH(QString, name);
    form = std::make_unique<TMainForm>();
    QStringList errors;
    errorhandler::setSink([&](const QString &m) { errors << m; });
    QTemporaryDir saved;
    QTemporaryDir locked;
    const QString target = locked.filePath(name);
    DocumentWindow *w = realWindow(*form, DocKind(kind), saved.filePath(name));
    QVERIFY(w->SaveAs());
    const QString before = w->NomFichier();
    QCOMPARE(w->windowTitle(), name);
    answerSaveDialog(w, target);
    bool written = true;
    {
        ReadOnlyDir readOnly(locked.path());
        if (!readOnly.active())
            QSKIP("cannot make a folder read-only here");
        written = w->SaveAs();
    }
    errorhandler::setSink({});
    QVERIFY(!written);
    QCOMPARE(errors, QStringList{u"Ne peut créer le fichier %1"_s.arg(target)});
    QCOMPARE(w->NomFichier(), before);
    QCOMPARE(w->windowTitle(), name);
    QVERIFY(!QFile::exists(target));
}

void TestMainForm::fullDiskSaveKeepsTheOldFile_data() { failedSaveKeepsNameAndCaption_data(); }

// A full disk while saving: every kind of window says so in French with the code, and the
// file saved before is left whole.
void TestMainForm::fullDiskSaveKeepsTheOldFile()
{
    QFETCH(int, kind);
    QFETCH(QString, name);
    form = std::make_unique<TMainForm>();
    QStringList errors;
    errorhandler::setSink([&](const QString &m) { errors << m; });
    QTemporaryDir dir;
    const QString target = dir.filePath(name);
    DocumentWindow *w = realWindow(*form, DocKind(kind), target);
    QVERIFY(w->SaveAs());
    const QByteArray before = contents(target);
    bool written = true;
    {
        atomicsave::SimulatedWriteError full(ENOSPC);
        written = w->SaveAs();
    }
    errorhandler::setSink({});
    QVERIFY(!written);
    QCOMPARE(errors,
             QStringList{u"Disque plein : %1 n'a pas été écrit (l'ancien fichier est intact). Erreur E/S 101"_s.arg(
                     target)});
    QCOMPARE(contents(target), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{name}); // no temporary file left
    QCOMPARE(w->NomFichier(), target);
    QVERIFY(w->SaveAs()); // once there is room again the same window saves
}

// A window whose file exhausts memory while it loads is not left half-loaded, to be saved
// over that file: the frame says why in French and closes it.
void TestMainForm::openingWithoutMemoryLeavesNoWindow()
{
    class Greedy : public DocumentWindow
    {
    public:
        using DocumentWindow::DocumentWindow;
        void Charge(const QString &) override { throw std::bad_alloc(); }
    };
    form = std::make_unique<TMainForm>();
    form->setWindowFactory([](DocKind k, FrameServices &f) { return new Greedy(k, f); });
    QStringList errors;
    errorhandler::setSink([&](const QString &m) { errors << m; });
    form->openFile(u"/tmp/enorme.qvb"_s);
    errorhandler::setSink({});
    QCOMPARE(errors, QStringList{u"Mémoire insuffisante pour ouvrir ce fichier"_s});
    QTRY_VERIFY(form->mdiArea()->subWindowList().isEmpty());
    QVERIFY(!form->action(u"FileSaveItem"_s)->isEnabled());
}

// A workbook that cannot be read is said so and leaves no empty window behind; the file
// stays as it was. A good one opened next gets its window as usual.
void TestMainForm::damagedWorkbookLeavesNoWindow()
{
    form = std::make_unique<TMainForm>();
    QTemporaryDir dir;
    const QString bad = dir.filePath(u"abime.qvc"_s);
    QVERIFY(spit(bad, "<classeur>pas fini"));
    QStringList errors;
    errorhandler::setSink([&](const QString &m) { errors << m; });
    form->openFile(bad);
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors.first().contains(u"classeur"_s));
    QTRY_VERIFY(form->mdiArea()->subWindowList().isEmpty());
    QVERIFY(!form->action(u"FileSaveItem"_s)->isEnabled());
    QCOMPARE(slurp(bad), QByteArray("<classeur>pas fini"));

    const QString good = dir.filePath(u"bon.qvc"_s);
    {
        sheet::Workbook book;
        book.setEntry(0, 1, 1, u"7"_s);
        sheet::qvc::writeFile(good, book);
    }
    form->openFile(good);
    errorhandler::setSink({});
    QCOMPARE(errors.size(), 1);
    QCOMPARE(form->mdiArea()->subWindowList().size(), 1);
    auto *s = qobject_cast<TTableur *>(form->dernier(DocKind::Tableur));
    QVERIFY(s);
    QCOMPARE(s->F1Book1->workbook().displayText(0, 1, 1), u"7"_s);
}

// Ctrl+W, shown beside "Fermer", closes the active document (the window's own system menu
// bound the key too, and a key bound twice does nothing).
void TestMainForm::closeKeyClosesTheDocument()
{
    form = std::make_unique<TMainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    trigger("Texte1");
    trigger("Tableur1");
    QCOMPARE(form->mdiArea()->subWindowList().size(), 2);
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, Qt::Key_W, Qt::ControlModifier);
    QTRY_COMPARE(form->mdiArea()->subWindowList().size(), 1);
    QCOMPARE(form->mdiArea()->subWindowList().first()->widget()->windowTitle(), u"Texte"_s);
    // Ctrl+F4 as well, as in other programs of several documents.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ControlModifier);
    QTRY_VERIFY(form->mdiArea()->subWindowList().isEmpty());
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
