// Printing lays text out in time proportional to its length, whatever it holds: a run of
// characters without a space is wrapped anywhere, a huge paragraph is printed whole, in order,
// with its bullet and its indents as they were.
#include "text/core/pageddocument.h"
#include "text/core/richtext.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestPagedLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void longTextPrintsWholeAndInOrder_data();
    void longTextPrintsWholeAndInOrder();
    void longRunIsLaidOutInLinearTime();
    void longBulletParagraphPrintsWhole();
};

namespace {

// Prints `doc` on A4 pages into a PDF and gives the text of its pages, and the page count.
QString printedText(const QTextDocument &doc, int *pages = nullptr)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"out.pdf"_s);
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(600);
        const PagedDocument paged(doc, QRect(0, 0, writer.width(), writer.height()), 600, 600);
        QPainter painter(&writer);
        for (int page = 0; page < paged.pageCount(); ++page) {
            if (page > 0)
                writer.newPage();
            paged.drawPage(painter, page);
        }
        if (pages)
            *pages = paged.pageCount();
    }
    QProcess p;
    p.start(u"pdftotext"_s, {pdf, u"-"_s});
    if (!p.waitForFinished(60000))
        return {};
    // The last line of a page is also drawn, clipped out of sight, at the top of the next
    // one, where the PDF keeps its text: it is counted once.
    QStringList out;
    QString previousLast;
    for (const QString &page : QString::fromUtf8(p.readAllStandardOutput()).split(u'\f')) {
        QStringList lines = page.split(u'\n', Qt::SkipEmptyParts);
        if (!lines.isEmpty() && lines.first() == previousLast)
            lines.removeFirst();
        if (!lines.isEmpty())
            previousLast = lines.last();
        out += lines;
    }
    return out.join(u'\n');
}

QString withoutBlanks(QString s)
{
    s.remove(u'\f');
    s.remove(u'\n');
    s.remove(u' ');
    return s;
}

// Letters that change along the text, so that a piece lost, doubled or moved shows.
QString countingRun(int length)
{
    QString s;
    s.reserve(length);
    for (int i = 0; i < length; ++i)
        s += QChar(u'a' + (i / 7) % 26);
    return s;
}

} // namespace

void TestPagedLayout::longTextPrintsWholeAndInOrder_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("one run of 20 000 characters") << countingRun(20000);
    QTest::newRow("words around a long run") << u"Début du texte "_s + countingRun(9000) + u" fin du texte."_s;
    QString words;
    for (int i = 0; words.size() < 150000; ++i)
        words += u"mot%1 "_s.arg(i);
    QTest::newRow("paragraph of 150 000 characters with spaces") << words.trimmed();
    QTest::newRow("two long paragraphs") << countingRun(5000) + u"\n"_s + countingRun(4100);
}

void TestPagedLayout::longTextPrintsWholeAndInOrder()
{
    QFETCH(QString, text);
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext is not installed");
    QTextDocument doc;
    richtext::prepare(doc);
    doc.setPlainText(text);
    richtext::prepare(doc);
    QCOMPARE(withoutBlanks(printedText(doc)), withoutBlanks(text));
}

// Before, a run of a million characters took some forty seconds (its square); it now takes
// about as long as a million characters of words.
void TestPagedLayout::longRunIsLaidOutInLinearTime()
{
    QTextDocument doc;
    richtext::prepare(doc);
    doc.setPlainText(QString(1000000, u'x'));
    QElapsedTimer timer;
    timer.start();
    const PagedDocument paged(doc, QRect(0, 0, 4960, 7016), 600, 600);
    const int pages = paged.pageCount();
    QVERIFY2(timer.elapsed() < 15000, qPrintable(u"%1 ms"_s.arg(timer.elapsed())));
    QVERIFY2(pages > 100 && pages < 200, qPrintable(QString::number(pages))); // every line full
}

// A long bullet paragraph between two others is printed whole and in its place.
void TestPagedLayout::longBulletParagraphPrintsWhole()
{
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext is not installed");
    QTextDocument doc;
    richtext::prepare(doc);
    QTextCursor c(&doc);
    c.insertText(u"Avant"_s);
    c.insertBlock();
    c.insertText(countingRun(7000));
    richtext::setBullet(c, true);
    c.insertBlock();
    richtext::setBullet(c, false);
    c.insertText(u"Après"_s);
    QCOMPARE(withoutBlanks(printedText(doc)), u"Avant"_s + countingRun(7000) + u"Après"_s);
}

QTEST_MAIN(TestPagedLayout)
#include "tst_pagedlayout.moc"
