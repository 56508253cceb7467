// The rich edit control: positions and lines as displayed, search, attributes, indents in
// points, bullets, clipboard, undo, plain-text mode and printing into a page rectangle.
#include "common/ui/fonts.h"
#include "common/velmoraerror.h"
#include "text/core/pageddocument.h"
#include "text/core/rtfwriter.h"
#include "text/ui/richedit.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

void load(RichEdit &e, const QString &plain) { e.streamIn(plain.toLatin1()); }

QTextCharFormat bold()
{
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    return f;
}

// Words of a PDF with their boxes in points (pdftotext -bbox).
struct Word
{
    QString text;
    double xMin, yMin;
    int page;
};

QList<Word> pdfWords(const QString &pdf)
{
    QProcess p;
    p.start(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    if (!p.waitForFinished(20000))
        return {};
    QList<Word> words;
    int page = -1;
    static const QRegularExpression wordRe(uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"_s);
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n')) {
        if (line.contains(u"<page "))
            ++page;
        const auto m = wordRe.match(line);
        if (m.hasMatch())
            words.append({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble(), page});
    }
    return words;
}

} // namespace

class TestRichEdit : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void selectionAndText();
    void linesAsDisplayed();
    void findText_data();
    void findText();
    void attributesOfSelection();
    void typingFormat();
    void indentsInPoints();
    void bulletsToggle();
    void tabStops();
    void clipboardKeepsFormatting();
    void droppedFilesAreRefused();
    void undoAndLoad();
    void plainTextMode();
    void spaceTypedAfterInsertion();
    void printsIntoPageRectangle();
    void printWithoutOutputFails();
};

void TestRichEdit::initTestCase() { fonts::installSubstitutions(); }

void TestRichEdit::selectionAndText()
{
    RichEdit e;
    load(e, u"Bonjour\r\nle monde"_s);
    QCOMPARE(e.textLength(), 16);
    e.setSelection(3, 7);
    QCOMPARE(e.selStart(), 3);
    QCOMPARE(e.selLength(), 7);
    QCOMPARE(e.selText(), u"jour\r\nle"_s);
    QCOMPARE(e.textRange(0, 100), u"Bonjour\r\nle monde"_s);
    e.replaceSelection(u"soir\r\nà tout"_s);
    QCOMPARE(e.toPlainText(), u"Bonsoir\nà tout monde"_s);
    QCOMPARE(e.selStart(), 14); // the caret after the insertion
    QCOMPARE(e.selLength(), 0);
    QVERIFY(e.modified());
    e.setSelection(-5, 1000); // clamped
    QCOMPARE(e.selLength(), e.textLength());
}

void TestRichEdit::linesAsDisplayed()
{
    RichEdit e;
    e.resize(220, 300);
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    const QString longText = u"Un paragraphe assez long pour tenir sur plusieurs lignes dans une fenêtre étroite."_s;
    e.setPlainText(longText + u"\ncourt"_s);
    const QStringList lines = e.displayedLines();
    QVERIFY2(lines.size() >= 4, qPrintable(lines.join(u'|')));
    QCOMPARE(lines.last(), u"court"_s);
    QCOMPARE(e.lineCount(), lines.size());
    // The first character of each line maps back to that line.
    for (int i = 0; i < lines.size(); ++i) {
        const int pos = e.lineIndex(i);
        QCOMPARE(e.lineFromChar(pos), i);
        QCOMPARE(e.textRange(pos, int(lines[i].size())), lines[i]);
    }
    QCOMPARE(e.lineIndex(lines.size()), -1);
    QCOMPARE(e.lineFromChar(e.textLength()), lines.size() - 1);
    // The control's Lines: a last empty line does not count.
    e.setPlainText(u"a\n"_s);
    QCOMPARE(e.displayedLines(), (QStringList{u"a"_s, QString()}));
    QCOMPARE(e.Lines(), QStringList{u"a"_s});
    e.setPlainText(QString());
    QCOMPARE(e.Lines(), QStringList());
}

void TestRichEdit::findText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("found");
    const int ww = RichEdit::WholeWord, mc = RichEdit::MatchCase;
    QTest::newRow("plain") << u"le lendemain"_s << u"le"_s << 0 << 999999 << 0 << 0;
    QTest::newRow("from one") << u"le lendemain"_s << u"le"_s << 1 << 999999 << 0 << 3;
    QTest::newRow("whole word") << u"le lendemain"_s << u"le"_s << 1 << 999999 << ww << -1;
    QTest::newRow("case ignored") << u"Le chat"_s << u"le"_s << 0 << 999999 << 0 << 0;
    QTest::newRow("case matched") << u"Le chat le"_s << u"le"_s << 0 << 999999 << mc << 8;
    QTest::newRow("overlap") << u"aaa"_s << u"aa"_s << 1 << 999999 << 0 << 1;
    QTest::newRow("must end in range") << u"abc def"_s << u"def"_s << 0 << 6 << 0 << -1;
    QTest::newRow("ends at range end") << u"abc def"_s << u"def"_s << 0 << 7 << 0 << 4;
    QTest::newRow("second paragraph") << u"un\ndeux"_s << u"deux"_s << 0 << 999999 << 0 << 3;
    QTest::newRow("accents") << u"Été été"_s << u"été"_s << 1 << 999999 << mc << 4;
}

void TestRichEdit::findText()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, options);
    QFETCH(int, found);
    RichEdit e;
    e.setPlainText(text);
    QCOMPARE(e.findText(what, start, length, RichEdit::FindOptions(options)), found);
}

void TestRichEdit::attributesOfSelection()
{
    RichEdit e;
    e.setPlainText(u"gras maigre"_s);
    e.setSelection(0, 4);
    e.mergeSelAttributes(bold());
    QTextCharFormat times;
    times.setFontFamilies({u"Times New Roman"_s});
    times.setFontPointSize(14);
    e.setSelection(5, 6);
    e.mergeSelAttributes(times);

    e.setSelection(0, 4);
    QTextCharFormat a = e.selAttributes();
    QVERIFY(a.fontWeight() >= QFont::Bold);
    QCOMPARE(a.fontFamilies().toStringList().value(0), u"Arial"_s);
    QCOMPARE(a.fontPointSize(), 10.0);

    e.setSelection(0, 11); // mixed: no common family, size or bold
    a = e.selAttributes();
    QVERIFY(a.fontWeight() < QFont::Bold);
    QCOMPARE(a.fontFamilies().toStringList().value(0), QString());
    QCOMPARE(a.fontPointSize(), 0.0);

    e.setSelection(7, 0); // caret: the character before it
    QCOMPARE(e.selAttributes().fontPointSize(), 14.0);
    QCOMPARE(e.textRange(0, 11), u"gras maigre"_s); // formatting never touches the text
}

void TestRichEdit::typingFormat()
{
    RichEdit e;
    e.show();
    e.setPlainText(u"abc"_s);
    e.setSelection(3, 0);
    e.mergeDefAttributes(bold());
    QVERIFY(e.defAttributes().fontWeight() >= QFont::Bold);
    QVERIFY(e.document()->begin().begin().fragment().charFormat().fontWeight() < QFont::Bold); // text unchanged
    QTest::keyClicks(&e, "de");
    e.setSelection(3, 2);
    QVERIFY(e.selAttributes().fontWeight() >= QFont::Bold);
    e.setSelection(0, 3);
    QVERIFY(e.selAttributes().fontWeight() < QFont::Bold);
}

void TestRichEdit::indentsInPoints()
{
    RichEdit e;
    e.setPlainText(u"un\ndeux\ntrois"_s);
    e.setSelection(0, 4); // the first two paragraphs
    e.setFirstIndent(18);
    QCOMPARE(e.firstIndent(), 18.0);
    QCOMPARE(e.leftIndent(), 0.0);
    e.setLeftIndent(36); // the other lines 36 points right of the first
    QCOMPARE(e.firstIndent(), 18.0);
    QCOMPARE(e.leftIndent(), 36.0);
    e.setFirstIndent(19); // the first line moves, the others keep their offset
    QCOMPARE(e.firstIndent(), 19.0);
    QCOMPARE(e.leftIndent(), 36.0);
    e.setRightIndent(10.5);
    QCOMPARE(e.rightIndent(), 10.5);
    e.setSelection(5, 0); // "deux" got the same
    QCOMPARE(e.firstIndent(), 19.0);
    e.setSelection(9, 0); // "trois" did not
    QCOMPARE(e.firstIndent(), 0.0);
    const QList<QByteArray> lines = e.rtf().split('\n');
    QCOMPARE(lines.value(2), "\\deflang1036\\pard\\fi-720\\li1100\\ri210\\plain\\f2\\fs20 un\r");
    QCOMPARE(lines.value(3), "\\par \\plain\\f2\\fs20 deux\r");
    QCOMPARE(lines.value(4), "\\par \\pard\\plain\\f2\\fs20 trois\r");
    e.setSelection(0, 0);
    e.setFirstIndent(-50); // no text left of the margin
    QCOMPARE(e.firstIndent(), 0.0);
}

void TestRichEdit::bulletsToggle()
{
    RichEdit e;
    e.setPlainText(u"un\ndeux"_s);
    e.setSelection(0, 5);
    e.setBullets(true);
    QVERIFY(e.bullets());
    QCOMPARE(e.firstIndent(), 18.0);
    QCOMPARE(e.leftIndent(), 18.0);
    QCOMPARE(e.document()->begin().textList(), e.document()->begin().next().textList());
    QVERIFY(e.rtf().contains(
            "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\fi-360\\li720"));
    e.setBullets(false);
    QVERIFY(!e.bullets());
    QCOMPARE(e.firstIndent(), 0.0);
    QCOMPARE(e.leftIndent(), 0.0);
    QVERIFY(!e.rtf().contains("pntext"));
    // Undo restores the bullets in one step.
    e.undo();
    QVERIFY(e.bullets());
}

void TestRichEdit::tabStops()
{
    RichEdit e;
    e.setPlainText(u"a\tb"_s);
    QVERIFY(e.tabStops().isEmpty());
    e.setTabStops({56, 70, 21});
    QCOMPARE(e.tabStops(), (QList<double>{56, 70, 21}));
    QVERIFY(e.rtf().contains("\\tx1120\\tx1400\\tx420\\plain"));
}

void TestRichEdit::clipboardKeepsFormatting()
{
    RichEdit source;
    source.setPlainText(u"gras et maigre"_s);
    source.setSelection(0, 4);
    source.mergeSelAttributes(bold());
    source.setSelection(0, 7);
    source.copy();
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QVERIFY(data->hasFormat(u"text/rtf"_s));
    QCOMPARE(data->text(), u"gras et"_s);

    RichEdit target;
    target.setPlainText(u"[]"_s);
    target.setSelection(1, 0);
    target.paste();
    QCOMPARE(target.toPlainText(), u"[gras et]"_s);
    target.setSelection(1, 4);
    QVERIFY(target.selAttributes().fontWeight() >= QFont::Bold);
    target.setSelection(5, 3);
    QVERIFY(target.selAttributes().fontWeight() < QFont::Bold);

    // Plain text from another program: inserted as text, lines as paragraphs.
    auto *plain = new QMimeData;
    plain->setText(u"x\ny"_s);
    QGuiApplication::clipboard()->setMimeData(plain);
    target.setSelection(0, 0);
    target.paste();
    QCOMPARE(target.toPlainText(), u"x\ny[gras et]"_s);
}

void TestRichEdit::droppedFilesAreRefused()
{
    RichEdit e;
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(u"/tmp/lettre.qvt"_s)});
    files.setText(u"/tmp/lettre.qvt"_s);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(e.viewport(), &drop);
    QCOMPARE(e.toPlainText(), QString());
}

void TestRichEdit::undoAndLoad()
{
    RichEdit e;
    e.show();
    QTest::keyClicks(&e, "abc");
    QCOMPARE(e.toPlainText(), u"abc"_s);
    e.undo();
    QCOMPARE(e.toPlainText(), QString());
    e.streamIn("{\\rtf1 charg\\'e9\\par}");
    QCOMPARE(e.toPlainText(), u"chargé"_s);
    QVERIFY(!e.modified());
    QVERIFY(!e.document()->isUndoAvailable());
    QCOMPARE(e.selStart(), 0);
    // The caret at the start of a loaded document reports its first character's format.
    e.streamIn("{\\rtf1{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs28\\b Titre\\b0  suite\\par}");
    QVERIFY(e.selAttributes().fontWeight() >= QFont::Bold);
    QCOMPARE(e.selAttributes().fontPointSize(), 14.0);
    QTest::keyClicks(&e, "X");
    QVERIFY(e.document()->begin().begin().fragment().charFormat().fontWeight() >= QFont::Bold);
    QCOMPARE(e.toPlainText(), u"XTitre suite"_s);
}

void TestRichEdit::plainTextMode()
{
    RichEdit e;
    const QByteArray source = "{\\rtf1\\ansi {\\b gras}\\par\r\n}\r\n";
    e.setPlainTextMode(true);
    e.streamIn(source);
    QCOMPARE(e.toPlainText(), u"{\\rtf1\\ansi {\\b gras}\\par\n}\n"_s);
    QCOMPARE(e.streamOut(), source); // saved unchanged by any conversion
    e.setSelection(0, 4);
    e.mergeSelAttributes(bold()); // the code view has no formatting
    e.setBullets(true);
    QVERIFY(!e.bullets());
    e.setPlainTextMode(false);
    e.streamIn(source);
    QCOMPARE(e.toPlainText(), u"gras"_s);
}

void TestRichEdit::spaceTypedAfterInsertion()
{
    RichEdit e;
    e.show();
    QString seen;
    connect(&e, &RichEdit::spaceTyped, &e, [&] { seen = e.toPlainText(); });
    QTest::keyClicks(&e, "cdt ");
    QCOMPARE(seen, u"cdt "_s);
}

void TestRichEdit::printsIntoPageRectangle()
{
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext is not installed");
    QTemporaryDir dir;
    const QString pdf = qEnvironmentVariableIsSet("KEEP_PDF") ? u"/tmp/tt/page.pdf"_s : dir.filePath(u"page.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const int perMm = printer.width() / printer.widthMM();
    const QRect rect(20 * perMm, 30 * perMm, printer.width() - 40 * perMm, printer.height() - 60 * perMm);

    RichEdit e;
    QString text = u"Premier\n"_s;
    for (int i = 0; i < 120; ++i)
        text += u"Ligne %1\n"_s.arg(i);
    e.setPlainText(text + u"Dernier"_s);
    e.setSelection(0, 7);
    e.setFirstIndent(36); // half an inch
    e.print(printer, rect);

    const QList<Word> words = pdfWords(pdf);
    QVERIFY(!words.isEmpty());
    const double ptPerPx = 72.0 / printer.resolution();
    const double printable = printer.pageRect(QPrinter::Point).left();
    QCOMPARE(words.first().text, u"Premier"_s);
    QCOMPARE(words.first().page, 0);
    QVERIFY(qAbs(words.first().xMin - (printable + rect.left() * ptPerPx + 36)) < 1.5);
    QVERIFY(words.first().yMin >= printable + rect.top() * ptPerPx - 1);
    const Word second = words.value(1);
    QVERIFY(qAbs(second.xMin - (printable + rect.left() * ptPerPx)) < 1.5);
    QVERIFY(words.last().page >= 1); // 122 lines of 10 points need more than one page
    QCOMPARE(words.last().text, u"Dernier"_s);
    for (const Word &w : words) // nothing below the bottom margin
        QVERIFY2(w.yMin < printable + rect.bottom() * ptPerPx,
                 qPrintable(u"%1 %2 %3 > %4"_s.arg(w.text).arg(w.page).arg(w.yMin).arg(printable
                                                                                       + rect.bottom() * ptPerPx)));
    const auto paged = e.paginate(rect, printer.logicalDpiX(), printer.logicalDpiY());
    QCOMPARE(paged->pageCount(), words.last().page + 1);
}

void TestRichEdit::printWithoutOutputFails()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString());
    RichEdit e;
    QVERIFY_THROWS_EXCEPTION(VelmoraError, e.print(printer, QRect()));
}

QTEST_MAIN(TestRichEdit)
#include "tst_richedit.moc"
