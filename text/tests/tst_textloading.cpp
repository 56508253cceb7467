// Opening a large text document: the first page is on screen before the rest is read, the
// window holds exactly the document a plain load gives once it returns, and closing the
// window while the file loads loses nothing and crashes nothing.
#include "common/ui/headlessframe.h"
#include "text/core/richtext.h"
#include "text/core/rtfwriter.h"
#include "text/ui/richedit.h"
#include "text/ui/texttools.h"
#include "text/ui/ttexte.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

namespace {

// A letter of `paragraphs` paragraphs with runs, bullets and alignments, as RTF.
QByteArray letter(int paragraphs)
{
    QTextDocument doc;
    richtext::prepare(doc);
    QTextCursor c(&doc);
    QTextCharFormat bold = richtext::defaultCharFormat();
    bold.setFontWeight(QFont::Bold);
    for (int i = 0; i < paragraphs; ++i) {
        if (i > 0)
            c.insertBlock();
        QTextBlockFormat bf;
        bf.setAlignment(i % 17 == 0 ? Qt::AlignHCenter : Qt::AlignLeft);
        c.setBlockFormat(bf);
        if (i % 11 == 5)
            richtext::setBullet(c, true);
        c.insertText(QStringLiteral("Paragraphe %1 : nous avons bien reçu votre lettre du 12 février et ").arg(i),
                     richtext::defaultCharFormat());
        c.insertText(QStringLiteral("vous en remercions."), bold);
    }
    return rtf::write(doc);
}

bool spit(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Counts the viewport's paints and what the document held at the first one.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(RichEdit &edit) : m_edit(edit) { edit.viewport()->installEventFilter(this); }
    int paints = 0;
    int blocksAtFirstPaint = -1;
    bool loadingAtFirstPaint = false;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && m_edit.document()->characterCount() > 1 && paints++ == 0) {
            blocksAtFirstPaint = m_edit.document()->blockCount();
            loadingAtFirstPaint = m_edit.isLoading();
        }
        return false;
    }

private:
    RichEdit &m_edit;
};

} // namespace

class TestTextLoading : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstPageBeforeTheRest_data();
    void firstPageBeforeTheRest();
    void closedWhileLoading();
    void windowLoadsAsBefore();
};

void TestTextLoading::firstPageBeforeTheRest_data()
{
    QTest::addColumn<int>("paragraphs");
    QTest::addColumn<bool>("inBackground");
    QTest::newRow("small: read at once") << 300 << false;
    QTest::newRow("large: first page first") << 9000 << true;
}

void TestTextLoading::firstPageBeforeTheRest()
{
    QFETCH(int, paragraphs);
    QFETCH(bool, inBackground);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lettre.qvt"));
    const QByteArray bytes = letter(paragraphs);
    QVERIFY(spit(path, bytes));

    RichEdit reference;
    reference.loadFromFile(path);

    RichEdit edit;
    edit.resize(600, 400);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.setPlainText(QStringLiteral("avant")); // a previous content, replaced
    PaintWatch watch(edit);
    QVERIFY(edit.loadShowingFirstPage(path));
    QVERIFY(!edit.isLoading());

    // What the window holds is what the plain load gives, unmodified, with nothing to undo.
    QCOMPARE(edit.document()->blockCount(), paragraphs);
    QCOMPARE(edit.rtf(), reference.rtf());
    QCOMPARE(richtext::plainText(*edit.document()), richtext::plainText(*reference.document()));
    QVERIFY(!edit.modified());
    QVERIFY(!edit.document()->isUndoAvailable());
    QCOMPARE(edit.selStart(), 0);
    QCOMPARE(edit.textCursor().block().text(), reference.document()->begin().text());
    if (inBackground) {
        // The first page was painted while the rest was still being read.
        QVERIFY(watch.paints > 0);
        QVERIFY(watch.loadingAtFirstPaint);
        QVERIFY(watch.blocksAtFirstPaint > 0);
        QVERIFY(watch.blocksAtFirstPaint < paragraphs);
    } else {
        QCOMPARE(watch.paints, 0); // nothing painted before the load returned
    }
    // Typing works on the whole document.
    QTest::keyClicks(&edit, QStringLiteral("Cher ami, "));
    QVERIFY(edit.modified());
    QVERIFY(edit.document()->begin().text().startsWith(QStringLiteral("Cher ami, ")));
    QCOMPARE(edit.document()->blockCount(), paragraphs);
}

void TestTextLoading::closedWhileLoading()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lettre.qvt"));
    QVERIFY(spit(path, letter(9000)));
    auto *edit = new RichEdit;
    edit->resize(600, 400);
    edit->show();
    QPointer<RichEdit> watched(edit);
    // The window goes while the rest of the file is read (a timer still runs then).
    QTimer::singleShot(0, edit, [edit] { delete edit; });
    QVERIFY(!edit->loadShowingFirstPage(path));
    QVERIFY(watched.isNull());
    // The file is untouched.
    QCOMPARE(QFileInfo(path).size(), qint64(letter(9000).size()));
}

void TestTextLoading::windowLoadsAsBefore()
{
    // The text window opens a large file through the same path: once Charge returns it holds
    // the whole document, unmodified, caret at the start, and saving writes all of it.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lettre.qvt"));
    const QByteArray bytes = letter(9000);
    QVERIFY(spit(path, bytes));
    HeadlessFrame frame;
    TextTools tools(nullptr);
    TTexte window(frame, tools);
    window.show();
    window.Charge(path);
    QCOMPARE(window.NomFichier(), path);
    QVERIFY(!window.Modifie());
    QCOMPARE(window.RichEdit1->document()->blockCount(), 9000);
    RichEdit reference;
    reference.loadFromFile(path);
    QCOMPARE(window.RichEdit1->rtf(), reference.rtf());
    const QString copy = dir.filePath(QStringLiteral("copie.qvt"));
    window.setSaveDialogHook([copy](QString &chosen, int &) {
        chosen = copy;
        return true;
    });
    QVERIFY(window.SaveAs());
    QFile saved(copy);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), reference.rtf());
}

QTEST_MAIN(TestTextLoading)
#include "tst_textloading.moc"
