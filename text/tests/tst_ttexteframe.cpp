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
#include <QApplication>
#include <QComboBox>
#include <QStatusTipEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QSet>
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
    void sizeBoxTypedArrowsAndKeys_data();
    void sizeBoxTypedArrowsAndKeys();
    void fontBoxKeepsTypedSpaces();
    void fontListHasPlainFamilies();
    void fontDialogKeepsWhatIsNotTouched();
    void undoShowsFormatAtCaret();

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
    // A menu's hint shows while the mouse is on the item; the position comes back after it.
    QStatusTipEvent hint(u"Insérer la date"_s);
    QCoreApplication::sendEvent(form.get(), &hint);
    QCOMPARE(form->statusPanel(0)->text(), u"Insérer la date"_s);
    QStatusTipEvent ended{QString()};
    QCoreApplication::sendEvent(form.get(), &ended);
    QCOMPARE(form->statusPanel(0)->text(), u"Ligne:   1   Col:   1"_s);
    QVERIFY(form->action(u"Dateheure1"_s)->isEnabled()); // text commands enabled at once
    // RTF of another word processor opens in a text window too.
    QFile rtf(dir->filePath(u"autre.rtf"_s));
    QVERIFY(rtf.open(QIODevice::WriteOnly));
    rtf.write("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fnil Calibri;}}\\f0\\fs22 Lettre de {\\b Paul}\\par}");
    rtf.close();
    form->openFile(rtf.fileName());
    QCOMPARE(current()->windowTitle(), u"autre.rtf"_s);
    QCOMPARE(current()->RichEdit1->toPlainText(), u"Lettre de Paul"_s);
    QCOMPARE(form->nb(DocKind::Texte), 2);
    form->Texte1Click();
    QCOMPARE(current()->windowTitle(), u"Texte"_s);
    QCOMPARE(form->nb(DocKind::Texte), 3);
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
    // A name that is not installed applies on Enter.
    form->fontCombo()->lineEdit()->selectAll();
    QTest::keyClicks(form->fontCombo()->lineEdit(), "Times New Roman");
    QVERIFY(w->RichEdit1->selAttributes().fontFamilies().toStringList().value(0) != u"Times New Roman"_s);
    QTest::keyClick(form->fontCombo()->lineEdit(), Qt::Key_Return);
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
    w->setSaveDialogHook([&](QString &p, int &) {
        p = target;
        return true;
    });
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

// The user types into a toolbar box that has the focus, as with the mouse and keyboard.
static void focusBox(QWidget *box)
{
    box->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(box->window()));
    box->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(box->hasFocus());
}

void TestTTexteFrame::sizeBoxTypedArrowsAndKeys_data()
{
    QTest::addColumn<bool>("selectFirst"); // the box's text selected before typing, or emptied
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("size");
    for (const bool select : {true, false}) {
        const char *how = select ? "over selection" : "into empty box";
        QTest::addRow("12 %s", how) << select << u"12"_s << 12;
        QTest::addRow("16 %s", how) << select << u"16"_s << 16;
        QTest::addRow("36 %s", how) << select << u"36"_s << 36;
        QTest::addRow("100 %s", how) << select << u"100"_s << 100;
    }
}

void TestTTexteFrame::sizeBoxTypedArrowsAndKeys()
{
    QFETCH(bool, selectFirst);
    QFETCH(QString, typed);
    QFETCH(int, size);
    form->openFile(writeLetter());
    TTexte *w = current();
    w->RichEdit1->setSelection(0, 6);
    SpinEdit *spin = form->sizeSpin();
    QLineEdit *edit = spin->findChild<QLineEdit *>();
    focusBox(spin);
    if (selectFirst)
        edit->selectAll();
    else
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier), QTest::keyClick(edit, Qt::Key_Backspace);
    for (const QChar c : typed) {
        QTest::keyClick(edit, c.toLatin1());
        // The box shows what is typed, never the window's answer mixed into it.
        QVERIFY(typed.startsWith(edit->text()));
    }
    QCOMPARE(edit->text(), typed);
    QCOMPARE(w->RichEdit1->selAttributes().fontPointSize(), double(size));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(w->RichEdit1->selAttributes().fontPointSize(), double(size));
    // Up and Down, then the arrows.
    QTest::keyClick(edit, Qt::Key_Down);
    QCOMPARE(w->RichEdit1->selAttributes().fontPointSize(), double(size - 1));
    QTest::keyClick(edit, Qt::Key_Up);
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(w->RichEdit1->selAttributes().fontPointSize(), double(qMin(size + 1, 100)));
    spin->stepDown();
    QCOMPARE(w->RichEdit1->selAttributes().fontPointSize(), double(qMin(size + 1, 100) - 1));
    QCOMPARE(w->RichEdit1->toPlainText(), u"Madame,\nObjet : facture"_s);
    // Back in the document, the box follows the selection again.
    w->RichEdit1->setFocus();
    w->RichEdit1->setSelection(12, 0);
    QCOMPARE(spin->value(), 12);
}

void TestTTexteFrame::fontBoxKeepsTypedSpaces()
{
    form->openFile(writeLetter());
    TTexte *w = current();
    w->RichEdit1->setSelection(0, 6);
    QLineEdit *edit = form->fontCombo()->lineEdit();
    focusBox(form->fontCombo());
    for (const char *family : {"DejaVu Sans", "Liberation Serif", "DejaVu Sans Mono"}) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QString::fromLatin1(family));
        QCOMPARE(edit->text(), QString::fromLatin1(family));
        QCOMPARE(w->RichEdit1->selAttributes().fontFamilies().toStringList().value(0), QString::fromLatin1(family));
    }
    // Picking from the list works as before.
    const int i = form->fontCombo()->findText(u"Liberation Mono"_s);
    QVERIFY(i >= 0);
    form->fontCombo()->setCurrentIndex(i);
    Q_EMIT form->fontCombo()->activated(i);
    QCOMPARE(w->RichEdit1->selAttributes().fontFamilies().toStringList().value(0), u"Liberation Mono"_s);
    QVERIFY(w->RichEdit1->rtf().contains("Liberation Mono;"));
}

void TestTTexteFrame::fontListHasPlainFamilies()
{
    QComboBox *box = form->fontCombo();
    QVERIFY(box->count() > 3);
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        QVERIFY2(!box->itemText(i).contains(u" ["_s), qPrintable(box->itemText(i)));
        items.append(box->itemText(i));
    }
    QCOMPARE(items.size(), QSet<QString>(items.begin(), items.end()).size()); // one entry per family
    QCOMPARE(fonts::plainFamily(u"C059 [UKWN]"_s), u"C059"_s);
    QCOMPARE(fonts::plainFamily(u"Noto Sans [GOOG]"_s), u"Noto Sans"_s);
    QCOMPARE(fonts::plainFamily(u"DejaVu Sans"_s), u"DejaVu Sans"_s);
}

void TestTTexteFrame::fontDialogKeepsWhatIsNotTouched()
{
    form->Texte1Click();
    TTexte *w = current();
    QTest::keyClicks(w->RichEdit1, "Bonjour");
    w->RichEdit1->selectAll();
    QFont shown;
    // OK without a change: the document keeps "Arial" (not installed), no style changes.
    form->setFontDialogHook([&](QFont &f, QColor &) {
        shown = f;
        return true;
    });
    form->action(u"Police1"_s)->trigger();
    QCOMPARE(shown.family(), QFontInfo(QFont(u"Arial"_s)).family()); // the family shown on screen
    QVERIFY(QFontDatabase::hasFamily(shown.family()));
    QVERIFY(!shown.bold() && !shown.italic());
    QCOMPARE(shown.pointSize(), 10);
    QTextCharFormat a = w->RichEdit1->selAttributes();
    QCOMPARE(a.fontFamilies().toStringList().value(0), u"Arial"_s);
    QVERIFY(a.fontWeight() < QFont::DemiBold && !a.fontItalic() && !a.fontUnderline());
    QVERIFY(!w->isModified() || w->RichEdit1->rtf().contains("Arial;"));
    // Only the size changed: the name stays "Arial", the styles stay.
    form->setFontDialogHook([](QFont &f, QColor &) {
        f.setPointSize(16);
        return true;
    });
    form->action(u"Police1"_s)->trigger();
    a = w->RichEdit1->selAttributes();
    QCOMPARE(a.fontFamilies().toStringList().value(0), u"Arial"_s);
    QCOMPARE(a.fontPointSize(), 16.0);
    QVERIFY(a.fontWeight() < QFont::DemiBold && !a.fontItalic());
    // Italic and another family picked: both applied, bold untouched.
    form->setFontDialogHook([](QFont &f, QColor &) {
        f.setFamily(u"DejaVu Serif"_s);
        f.setItalic(true);
        return true;
    });
    form->action(u"Police1"_s)->trigger();
    a = w->RichEdit1->selAttributes();
    QCOMPARE(a.fontFamilies().toStringList().value(0), u"DejaVu Serif"_s);
    QVERIFY(a.fontItalic() && a.fontWeight() < QFont::DemiBold);
    // Cancelled: nothing changes.
    form->setFontDialogHook([](QFont &f, QColor &) {
        f.setBold(true);
        return false;
    });
    form->action(u"Police1"_s)->trigger();
    QVERIFY(w->RichEdit1->selAttributes().fontWeight() < QFont::DemiBold);
    QVERIFY(w->RichEdit1->hasFocus() || !QApplication::activeWindow());
    // A colour: shown black at first, applied, written to the file, and kept when the
    // dialog is confirmed without a change of colour.
    QColor colourShown;
    form->setFontDialogHook([&](QFont &, QColor &c) {
        colourShown = c;
        c = QColor(128, 0, 0);
        return true;
    });
    form->action(u"Police1"_s)->trigger();
    QCOMPARE(colourShown, QColor(Qt::black));
    QCOMPARE(w->RichEdit1->selAttributes().foreground().color(), QColor(128, 0, 0));
    QVERIFY(w->RichEdit1->rtf().contains("\\red128\\green0\\blue0;"));
    QVERIFY(w->RichEdit1->selAttributes().fontItalic()); // the rest untouched
    form->setFontDialogHook([&](QFont &f, QColor &c) {
        colourShown = c;
        f.setBold(true);
        return true;
    });
    form->action(u"Police1"_s)->trigger();
    QCOMPARE(colourShown, QColor(128, 0, 0));
    QCOMPARE(w->RichEdit1->selAttributes().foreground().color(), QColor(128, 0, 0));
    QVERIFY(w->RichEdit1->selAttributes().fontWeight() >= QFont::DemiBold);
}

void TestTTexteFrame::undoShowsFormatAtCaret()
{
    form->openFile(writeLetter());
    TTexte *w = current();
    w->RichEdit1->setSelection(0, 6);
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    QVERIFY(w->RichEdit1->selAttributes().fontWeight() >= QFont::Bold);
    QTest::keyClick(w->RichEdit1, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(w->RichEdit1->selAttributes().fontWeight() < QFont::DemiBold);
    QVERIFY(!button("BoldButton")->isChecked());
    QTest::keyClick(w->RichEdit1, Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(button("BoldButton")->isChecked());
    form->action(u"Annuler1"_s)->trigger(); // "Annuler" of the menu too
    QVERIFY(!button("BoldButton")->isChecked());
}

QTEST_MAIN(TestTTexteFrame)
#include "tst_ttexteframe.moc"
