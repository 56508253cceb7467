// The text window's spelling as the user meets it: the red underline while typing (never in
// the document, the RTF, the HTML page or the modified flag), the context menu of an
// underlined word, "Vérification automatique", and the spelling dialog's buttons.
#include "common/ui/messageboxes.h"
#include "text/core/htmlexport.h"
#include "text/core/spellchecker.h"
#include "text/ui/richedit.h"
#include "text/ui/spellunderline.h"
#include "text/ui/torthographe.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestSpellUnderline : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SpellChecker> m_checker;
    std::unique_ptr<RichEdit> m_edit;
    SpellUnderline *m_spell = nullptr;
    QStringList m_messages;

    void setText(const QString &text)
    {
        m_edit->setPlainText(text);
        m_edit->document()->setModified(false);
        m_spell->refreshNow();
    }
    QStringList underlinedWords() const
    {
        QStringList out;
        for (const auto &[start, length] : m_spell->underlined())
            out << m_edit->toPlainText().mid(start, length);
        return out;
    }
    QPoint pointOf(int pos) const
    {
        QTextCursor c(m_edit->document());
        c.setPosition(pos);
        return m_edit->cursorRect(c).center() + QPoint(2, 0);
    }
    QAction *action(QMenu *menu, const QString &text) const
    {
        for (QAction *a : menu->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }

    QTemporaryDir m_home;

private Q_SLOTS:
    void initTestCase()
    {
        // Settings and the personal list of this test alone (tests run side by side).
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(u"config"_s)));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"data"_s)));
        messageboxes::setResponder([this](const messageboxes::Shown &s) {
            m_messages << s.text;
            return messageboxes::Answer::Ok;
        });
    }

    void init()
    {
        spelling::setAutoCheck(true);
        m_dir = std::make_unique<QTemporaryDir>();
        const QString data = qEnvironmentVariable("VELMORA_TEST_DATA") + u"/spelling/"_s;
        m_checker = std::make_unique<SpellChecker>(data + u"mini.aff"_s, data + u"mini.dic"_s,
                                                   m_dir->filePath(u"velmora.dic"_s));
        m_edit = std::make_unique<RichEdit>();
        m_edit->resize(500, 300);
        m_spell = new SpellUnderline(m_edit.get());
        m_spell->setChecker(m_checker.get());
        m_edit->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_edit.get()));
        m_messages.clear();
    }
    void cleanup()
    {
        m_edit.reset();
        m_checker.reset();
    }

    void underlineStaysOutOfTheDocument()
    {
        m_edit->streamIn(
                "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Le chat est tr\\'e9s bien, la maisson aussi.\\par}");
        const QByteArray rtfBefore = m_edit->rtf();
        m_spell->refreshNow();
        QCOMPARE(underlinedWords(), (QStringList{u"trés"_s, u"maisson"_s, u"aussi"_s}));
        QVERIFY(!m_edit->modified());
        QVERIFY(!m_edit->document()->isUndoAvailable());
        QCOMPARE(m_edit->rtf(), rtfBefore);
        QVERIFY(!m_edit->rtf().contains("\\ulwave"));
        QVERIFY(!htmlexport::convertDocument(m_edit->rtf()).contains("underline"));
        // The formats of the document itself carry no underline either.
        QTextCursor c(m_edit->document());
        c.setPosition(25);
        QCOMPARE(c.charFormat().underlineStyle(), QTextCharFormat::NoUnderline);
    }

    void underlineFollowsTyping()
    {
        setText(QString());
        m_edit->setFocus();
        QTest::keyClicks(m_edit.get(), u"le chat maisson"_s);
        m_spell->refreshNow();
        QCOMPARE(underlinedWords(), QStringList{}); // the word being typed is left alone
        QTest::keyClick(m_edit.get(), Qt::Key_Space);
        m_spell->refreshNow();
        QCOMPARE(underlinedWords(), QStringList{u"maisson"_s});
        // Corrected: back over the extra "s", delete it.
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(m_edit.get(), Qt::Key_Left);
        QTest::keyClick(m_edit.get(), Qt::Key_Backspace);
        QTest::keyClick(m_edit.get(), Qt::Key_End);
        m_spell->refreshNow();
        QCOMPARE(m_edit->toPlainText(), u"le chat maison "_s);
        QCOMPARE(underlinedWords(), QStringList{});
        QVERIFY(m_edit->extraSelections().isEmpty());
    }

    void underlineDoesNotMarkModifiedAndIsOffWithAutoCheck()
    {
        setText(u"un chien trés bien"_s);
        QCOMPARE(underlinedWords(), QStringList{u"trés"_s});
        QVERIFY(!m_edit->modified());
        spelling::setAutoCheck(false);
        QVERIFY(!spelling::autoCheck()); // remembered in the settings
        QTRY_VERIFY(m_edit->extraSelections().isEmpty());
        spelling::setAutoCheck(true);
        m_spell->refreshNow();
        QCOMPARE(underlinedWords(), QStringList{u"trés"_s});
        m_edit->setPlainTextMode(true); // the RTF codes are not French
        m_spell->refreshNow();
        QVERIFY(m_edit->extraSelections().isEmpty());
    }

    void contextMenuSuggestionReplacesInOneUndoStep()
    {
        setText(u"le chat maisson et le chien"_s);
        QVERIFY(!m_spell->createMenu(pointOf(4))); // "chat" is known: the edit's own menu
        std::unique_ptr<QMenu> menu(m_spell->createMenu(pointOf(10)));
        QVERIFY(menu);
        const QList<QAction *> actions = menu->actions();
        QCOMPARE(actions.first()->text(), u"maison"_s);
        QVERIFY(action(menu.get(), u"Ignorer tout"_s));
        QVERIFY(action(menu.get(), u"Ajouter au dictionnaire"_s));
        int suggestions = 0;
        while (!actions[suggestions]->isSeparator())
            ++suggestions;
        QVERIFY(suggestions >= 1 && suggestions <= 7);
        actions.first()->trigger();
        QCOMPARE(m_edit->toPlainText(), u"le chat maison et le chien"_s);
        QVERIFY(m_edit->modified());
        m_spell->refreshNow();
        QCOMPARE(underlinedWords(), QStringList{});
        m_edit->undo();
        QCOMPARE(m_edit->toPlainText(), u"le chat maisson et le chien"_s);
    }

    void contextMenuIgnoreAndAdd()
    {
        setText(u"Velmora et Zorglub"_s);
        QCOMPARE(underlinedWords(), (QStringList{u"Velmora"_s, u"Zorglub"_s}));
        std::unique_ptr<QMenu> menu(m_spell->createMenu(pointOf(3)));
        QVERIFY(menu);
        action(menu.get(), u"Ignorer tout"_s)->trigger();
        m_spell->refreshNow();
        QCOMPARE(underlinedWords(), QStringList{u"Zorglub"_s});
        menu.reset(m_spell->createMenu(pointOf(14)));
        QVERIFY(menu);
        action(menu.get(), u"Ajouter au dictionnaire"_s)->trigger();
        m_spell->refreshNow();
        QCOMPARE(underlinedWords(), QStringList{});
        QCOMPARE(m_checker->personalWords(), QStringList{u"Zorglub"_s});
        QVERIFY(QFile::exists(m_dir->filePath(u"velmora.dic"_s)));
        QVERIFY(!m_edit->modified());
    }

    void dialogWalksFromTheCaretAndWraps()
    {
        setText(u"aussi le chat. Un chien trés bien, trés bien. Zorglub"_s);
        m_edit->setSelection(9, 0); // in the middle: "aussi" comes last, after wrapping
        TOrthographe dlg(m_edit.get(), *m_checker);
        QVERIFY(dlg.start());
        QCOMPARE(dlg.currentWord(), u"trés"_s);
        QCOMPARE(m_edit->selText(), u"trés"_s);
        QVERIFY(dlg.ListBox1->count() >= 1 && dlg.ListBox1->count() <= 7);
        QCOMPARE(dlg.Edit1->text(), u"très"_s);
        QTest::mouseClick(dlg.RemplacerToutBtn, Qt::LeftButton);
        QCOMPARE(m_edit->toPlainText(), u"aussi le chat. Un chien très bien, très bien. Zorglub"_s);
        QCOMPARE(dlg.currentWord(), u"Zorglub"_s);
        QTest::mouseClick(dlg.AjouterBtn, Qt::LeftButton);
        QVERIFY(m_checker->isKnown(u"Zorglub"_s));
        QCOMPARE(dlg.currentWord(), u"aussi"_s); // wrapped to the start
        QCOMPARE(m_messages, QStringList{});
        QTest::mouseClick(dlg.IgnorerBtn, Qt::LeftButton);
        QCOMPARE(m_messages, QStringList{TOrthographe::finishedMessage()});
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        // "Remplacer tout" was one undo step.
        m_edit->undo();
        QCOMPARE(m_edit->toPlainText(), u"aussi le chat. Un chien trés bien, trés bien. Zorglub"_s);
    }

    void dialogReplaceIgnoreAllAndClose()
    {
        setText(u"maisson, ecole, ecole, Zorglub"_s);
        m_edit->setSelection(0, 0);
        TOrthographe dlg(m_edit.get(), *m_checker);
        QVERIFY(dlg.start());
        QCOMPARE(dlg.currentWord(), u"maisson"_s);
        dlg.Edit1->setText(u"maison"_s);
        QTest::mouseClick(dlg.RemplacerBtn, Qt::LeftButton);
        QCOMPARE(m_edit->toPlainText(), u"maison, ecole, ecole, Zorglub"_s);
        QCOMPARE(dlg.currentWord(), u"ecole"_s);
        QCOMPARE(dlg.currentStart(), 8);
        QTest::mouseClick(dlg.IgnorerToutBtn, Qt::LeftButton);
        QCOMPARE(dlg.currentWord(), u"Zorglub"_s); // the second "ecole" is ignored too
        QTest::mouseClick(dlg.FermerBtn, Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(m_messages.isEmpty());
        m_edit->undo();
        QCOMPARE(m_edit->toPlainText(), u"maisson, ecole, ecole, Zorglub"_s);
    }

    void dialogWithNothingToCorrect()
    {
        setText(u"le chat et le chien"_s);
        TOrthographe dlg(m_edit.get(), *m_checker);
        QVERIFY(!dlg.start());
        QCOMPARE(m_messages, QStringList{TOrthographe::finishedMessage()});
    }
};

QTEST_MAIN(TestSpellUnderline)
#include "tst_spellunderline.moc"
