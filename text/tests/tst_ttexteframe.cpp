// The text window inside the real frame: opened by "Ouvrir", driven through the frame's menu
// actions and toolbar, reporting its selection to the toolbar and its caret to the status bar.
#include "common/ui/errorhandler.h"
#include "common/ui/fonts.h"
#include "common/ui/messageboxes.h"
#include "shell/ui/spinedit.h"
#include "shell/ui/tmainform.h"
#include "text/ui/richedit.h"
#include "text/ui/textfinddialogs.h"
#include "text/ui/ttexte.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestTTexteFrame : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void openCreatesALoadedWindow();
    void toolbarFollowsAndActs();
    void menuCommandsReachTheWindow();
    void saveAndCloseThroughTheFrame();

private:
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<QTemporaryDir> dir;
    QStringList questions;
    messageboxes::Answer answer = messageboxes::Answer::Annuler;

    TTexte *current() const { return qobject_cast<TTexte *>(form->activeDocument()); }
    QToolButton *button(const char *name) const
    {
        return qobject_cast<QToolButton *>(form->control(QString::fromLatin1(name)));
    }
    QString writeLetter()
    {
        const QString path = dir->filePath(u"LETTRE.qvt"_s);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\plain\\f0\\fs20 Madame,\\par"
                "\\pard\\qc\\plain\\f0\\fs24\\b Objet : facture\\par}");
        return path;
    }
};

void TestTTexteFrame::initTestCase()
{
    fonts::installSubstitutions();
    errorhandler::setSink([](const QString &m) { QFAIL(qPrintable(m)); });
    messageboxes::setResponder([this](const messageboxes::Shown &s) {
        questions.append(s.text);
        return answer;
    });
}

void TestTTexteFrame::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QDir::setCurrent(dir->path());
    form = std::make_unique<TMainForm>();
    form->resize(900, 700);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    questions.clear();
}

void TestTTexteFrame::cleanup()
{
    answer = messageboxes::Answer::Non;
    form->mdiArea()->closeAllSubWindows();
    form.reset();
}

void TestTTexteFrame::openCreatesALoadedWindow()
{
    form->openFile(writeLetter());
    TTexte *w = current();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), u"LETTRE.qvt"_s);
    QCOMPARE(form->nb(DocKind::Texte), 1);
    QCOMPARE(w->RichEdit1->toPlainText(), u"Madame,\nObjet : facture"_s);
    QVERIFY(!w->isModified());
    QCOMPARE(form->statusPanel(0)->text(), u"Ligne:   1   Col:   1"_s);
    QVERIFY(form->action(u"Dateheure1"_s)->isEnabled()); // text commands enabled at once
    form->Texte1Click();
    QCOMPARE(current()->windowTitle(), u"Texte"_s);
    QCOMPARE(form->nb(DocKind::Texte), 2);
}

void TestTTexteFrame::toolbarFollowsAndActs()
{
    form->openFile(writeLetter());
    TTexte *w = current();
    w->RichEdit1->setSelection(12, 0); // inside the bold, centred title
    QVERIFY(button("BoldButton")->isChecked());
    QVERIFY(button("CenterButton")->isChecked());
    QVERIFY(!button("LeftButton")->isChecked());
    QCOMPARE(form->fontCombo()->currentText(), u"Arial"_s);
    QCOMPARE(form->sizeSpin()->value(), 12);
    QVERIFY(!w->isModified()); // setting the toolbar sent nothing back
    w->RichEdit1->setSelection(0, 0);
    QVERIFY(!button("BoldButton")->isChecked());
    QVERIFY(button("LeftButton")->isChecked());
    QCOMPARE(form->sizeSpin()->value(), 10);

    // The toolbar acts on the selection.
    w->RichEdit1->setSelection(0, 6);
    QTest::mouseClick(button("ItalButton"), Qt::LeftButton);
    QVERIFY(w->RichEdit1->selAttributes().fontItalic());
    QTest::mouseClick(button("RightButton"), Qt::LeftButton);
    QCOMPARE(w->RichEdit1->paragraphAlignment(), RichEdit::Right);
    form->fontCombo()->setEditText(u"Times New Roman"_s);
    QCOMPARE(w->RichEdit1->selAttributes().fontFamilies().toStringList().value(0), u"Times New Roman"_s);
    QVERIFY(w->isModified());
    QCOMPARE(w->RichEdit1->toPlainText(), u"Madame,\nObjet : facture"_s);
}

void TestTTexteFrame::menuCommandsReachTheWindow()
{
    form->openFile(writeLetter());
    TTexte *w = current();
    // Bullets: the tick follows the command and the selection.
    form->action(u"Puces1"_s)->trigger();
    QVERIFY(w->RichEdit1->bullets());
    QVERIFY(form->action(u"Puces1"_s)->isChecked());
    w->RichEdit1->setSelection(10, 0);
    QVERIFY(!form->action(u"Puces1"_s)->isChecked());
    // The RTF code view and back.
    form->action(u"Voircodesrtf1"_s)->trigger();
    QVERIFY(w->RichEdit1->plainTextMode());
    QVERIFY(w->RichEdit1->toPlainText().contains(u"{\\pntext\\f1\\'b7\\tab}"_s));
    form->action(u"Voircodesrtf1"_s)->trigger();
    QVERIFY(!w->RichEdit1->plainTextMode());
    QVERIFY(w->RichEdit1->document()->begin().textList());
    // Find, then "Continuer" (F3) through the frame.
    form->action(u"Chercher1"_s)->trigger();
    QVERIFY(w->FindDialog1->isVisible());
    w->FindDialog1->FindEdit->setText(u"a"_s);
    form->action(u"Continuer1"_s)->trigger();
    QCOMPARE(w->RichEdit1->selStart(), 1);
    form->action(u"Continuer1"_s)->trigger();
    QCOMPARE(w->RichEdit1->selStart(), 3);
    w->FindDialog1->hide();
    // Select all, then undo of the bullets.
    form->action(u"Toutslectionner1"_s)->trigger();
    QCOMPARE(w->RichEdit1->selLength(), w->RichEdit1->textLength());
    QCOMPARE(form->statusPanel(0)->text(), u"Ligne:   1   Col:   1"_s);
}

void TestTTexteFrame::saveAndCloseThroughTheFrame()
{
    form->Texte1Click();
    TTexte *w = current();
    const QString target = dir->filePath(u"nouveau"_s);
    w->saveDialogHook = [&](QString &p, int &) {
        p = target;
        return true;
    };
    QTest::keyClicks(w->RichEdit1, "Bonjour");
    form->action(u"FileSaveItem"_s)->trigger();
    QVERIFY(QFile::exists(target + u".qvt"_s));
    QCOMPARE(w->windowTitle(), u"nouveau.qvt"_s);
    QTest::keyClicks(w->RichEdit1, "!");
    answer = messageboxes::Answer::Annuler;
    form->action(u"FileCloseItem"_s)->trigger();
    QCOMPARE(questions, QStringList{u"Sauver modifications dans nouveau.qvt ?"_s});
    QCOMPARE(form->mdiArea()->subWindowList().size(), 1);
    answer = messageboxes::Answer::Oui;
    form->action(u"FileCloseItem"_s)->trigger();
    QTRY_COMPARE(form->mdiArea()->subWindowList().size(), 0);
    QFile f(target + u".qvt"_s);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains(" Bonjour!\r\n\\par }"));
}

QTEST_MAIN(TestTTexteFrame)
#include "tst_ttexteframe.moc"
