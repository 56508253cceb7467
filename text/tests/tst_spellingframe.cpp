// The spelling items of the frame's "&Texte" menu: F7 reaches the text window's dialog,
// "Vérification automatique" switches the underline of every window and is remembered,
// and without the French dictionary both items are disabled and say why.
#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "shell/ui/tmainform.h"
#include "text/core/spellchecker.h"
#include "text/ui/richedit.h"
#include "text/ui/spellunderline.h"
#include "text/ui/torthographe.h"
#include "text/ui/ttexte.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestSpellingFrame : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TMainForm> form;
    QStringList messages;
    QAction *action(const char *name) const { return form->action(QString::fromLatin1(name)); }
    TTexte *current() const { return qobject_cast<TTexte *>(form->activeDocument()); }

    QTemporaryDir m_home;

private Q_SLOTS:
    void initTestCase()
    {
        // Settings and the personal list of this test alone (tests run side by side).
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(u"config"_s)));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"data"_s)));
        errorhandler::setSink([this](const QString &m) { messages << m; });
        messageboxes::setResponder([this](const messageboxes::Shown &s) {
            messages << s.text;
            return messageboxes::Answer::Ok;
        });
    }
    void init()
    {
        spelling::setAutoCheck(true);
        messages.clear();
        form = std::make_unique<TMainForm>();
        form->resize(900, 700);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup()
    {
        qunsetenv("VELMORA_HUNSPELL_DIR");
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<TOrthographe *>(w))
                d->reject();
        form->mdiArea()->closeAllSubWindows();
        form.reset();
    }

    void itemsFollowTheTextWindow()
    {
        if (!SpellChecker::frenchInstalled())
            QSKIP("French dictionary not installed (hunspell-fr)");
        QAction *dialog = action("Orthographe1");
        QAction *automatic = action("Verificationautomatique1");
        QVERIFY(dialog && automatic);
        QCOMPARE(dialog->text(), u"&Orthographe..."_s);
        QCOMPARE(dialog->shortcut(), QKeySequence(Qt::Key_F7));
        QCOMPARE(automatic->text(), u"Vérification auto&matique"_s);
        QVERIFY(automatic->isCheckable() && automatic->isChecked() && automatic->isEnabled());
        QVERIFY(!dialog->isEnabled()); // no text window yet
        form->Texte1Click();
        QVERIFY(dialog->isEnabled());
    }

    void automaticCheckIsSharedAndRemembered()
    {
        if (!SpellChecker::frenchInstalled())
            QSKIP("French dictionary not installed (hunspell-fr)");
        form->Texte1Click();
        TTexte *w = current();
        QVERIFY(SpellChecker::french()); // loaded (the frame started it in the background)
        QTRY_VERIFY(w->Spelling->checker());
        w->RichEdit1->setPlainText(u"Le chat est alé à l'écolle."_s);
        w->Spelling->refreshNow();
        QCOMPARE(w->Spelling->underlined().size(), 2);
        action("Verificationautomatique1")->trigger();
        QVERIFY(!spelling::autoCheck());
        QTRY_VERIFY(w->RichEdit1->extraSelections().isEmpty());
        form.reset(); // a new run reads the setting back
        form = std::make_unique<TMainForm>();
        QVERIFY(!action("Verificationautomatique1")->isChecked());
        action("Verificationautomatique1")->trigger();
        QVERIFY(spelling::autoCheck());
    }

    void f7OpensTheDialogOnTheFirstUnknownWord()
    {
        if (!SpellChecker::frenchInstalled())
            QSKIP("French dictionary not installed (hunspell-fr)");
        form->Texte1Click();
        TTexte *w = current();
        w->RichEdit1->setPlainText(u"Il est alé à la maison."_s);
        w->RichEdit1->setSelection(0, 0);
        TOrthographe *shown = nullptr;
        QTimer::singleShot(0, this, [&] {
            for (QWidget *top : QApplication::topLevelWidgets())
                if (auto *d = qobject_cast<TOrthographe *>(top); d && d->isVisible())
                    shown = d;
            if (shown) {
                QCOMPARE(shown->currentWord(), u"alé"_s);
                QTest::mouseClick(shown->IgnorerBtn, Qt::LeftButton);
            }
        });
        w->RichEdit1->setFocus();
        QTest::keyClick(w->RichEdit1, Qt::Key_F7);
        QVERIFY(shown);
        QCOMPARE(messages, QStringList{TOrthographe::finishedMessage()});
    }

    void withoutDictionaryBothItemsAreDisabled()
    {
        qputenv("VELMORA_HUNSPELL_DIR", "/nulle/part");
        form->Texte1Click();
        for (const char *name : {"Orthographe1", "Verificationautomatique1"}) {
            QAction *a = action(name);
            QVERIFY(!a->isEnabled());
            QCOMPARE(a->statusTip(), u"Dictionnaire français absent (paquet hunspell-fr)"_s);
        }
        QVERIFY(action("Dateheure1")->isEnabled()); // nothing else changes
        // A menu shows no hint for a disabled item: the reason appears when the mouse rests on it.
        auto *menu = qobject_cast<QMenu *>(action("Orthographe1")->parent());
        QVERIFY(menu);
        menu->popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QTest::mouseMove(menu, menu->actionGeometry(action("Verificationautomatique1")).center());
        QTRY_COMPARE(form->statusPanel(0)->text(), u"Dictionnaire français absent (paquet hunspell-fr)"_s);
        menu->close();
    }
};

QTEST_MAIN(TestSpellingFrame)
#include "tst_spellingframe.moc"
