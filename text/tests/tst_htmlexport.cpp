// HTML export: pages of generated documents parsed back and compared with the document as
// the window reads it (text, bold/italic/underline runs, alignment, bullets), worked
// examples of the RTF our editor and other programs write, the page around them, the
// page's name and the export's failures, and LibreOffice reading a page.
#include "text/core/htmlexport.h"

#include "common/tests/libreofficerun.h"
#include "common/testsupport/readonlydir.h"
#include "common/velmoraerror.h"
#include "text/core/richtext.h"
#include "text/core/rtfreader.h"
#include "text/core/rtfwriter.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const VelmoraError &e) {
        return e.message();
    }
    return QString();
}

// A document as the page and the window must both show it.
struct Run
{
    QString text;
    int style = 0; // 1 bold, 2 italic, 4 underline
    bool operator==(const Run &) const = default;
};
struct Paragraph
{
    QList<Run> runs;
    QString align = u"left"_s;
    bool bullet = false;
    bool operator==(const Paragraph &) const = default;
};
using Model = QList<Paragraph>;

void addRun(Paragraph &p, const QString &text, int style)
{
    if (text.isEmpty())
        return;
    if (!p.runs.isEmpty() && p.runs.last().style == style)
        p.runs.last().text += text;
    else
        p.runs.append({text, style});
}

QString describe(const Model &m)
{
    QString s;
    for (const Paragraph &p : m) {
        s += (p.bullet ? u"* "_s : u"  "_s) + p.align + u": "_s;
        for (const Run &r : p.runs)
            s += u"[%1]%2"_s.arg(r.style).arg(r.text);
        s += u'\n';
    }
    return s;
}

// The document as the window holds it after reading the RTF.
Model modelOfDocument(const QTextDocument &doc)
{
    Model m;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        Paragraph p;
        const Qt::Alignment a = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        p.align = a & Qt::AlignHCenter ? u"center"_s
                : a & Qt::AlignRight   ? u"right"_s
                : a & Qt::AlignJustify ? u"justify"_s
                                       : u"left"_s;
        p.bullet = richtext::hasBullet(b);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            addRun(p, it.fragment().text(),
                   (f.fontWeight() >= QFont::DemiBold ? 1 : 0) | (f.fontItalic() ? 2 : 0)
                           | (f.fontUnderline() ? 4 : 0));
        }
        m.append(p);
    }
    return m;
}

// The page read back, checking on the way that it is well-formed: every element closed in
// the order opened, list items only inside a list, text only inside a paragraph.
Model modelOfPage(const QByteArray &page, QString &error)
{
    const QString html = QString::fromUtf8(page);
    Model m;
    QStringList stack;
    int style = 0;
    const qsizetype body = html.indexOf(u"<BODY>"_s);
    const qsizetype bodyEnd = html.indexOf(u"</BODY>"_s);
    if (body < 0 || bodyEnd < body) {
        error = u"no body"_s;
        return m;
    }
    QString text;
    auto flush = [&] {
        if (text.isEmpty())
            return;
        if (stack.isEmpty() || (stack.contains(u"P"_s) == false && stack.contains(u"LI"_s) == false)) {
            if (!text.trimmed().isEmpty())
                error = u"text outside a paragraph: "_s + text;
        } else {
            addRun(m.last(), text, style);
        }
        text.clear();
    };
    for (qsizetype i = body + 6; i < bodyEnd;) {
        const QChar c = html[i];
        if (c == u'<') {
            flush();
            const qsizetype close = html.indexOf(u'>', i);
            const QString tag = html.mid(i + 1, close - i - 1);
            i = close + 1;
            const bool end = tag.startsWith(u'/');
            const QString name = (end ? tag.mid(1) : tag).section(u' ', 0, 0);
            if (name == u"BR") {
                // A paragraph holding only a line break is an empty paragraph.
                const bool alone = !m.isEmpty() && m.last().runs.isEmpty() && html[i - 5] == u'>'
                        && (html.mid(i, 4) == u"</P>"_s || html.mid(i, 5) == u"</LI>"_s);
                if (!alone)
                    text += QChar(0x2028);
                continue;
            }
            if (end) {
                if (stack.isEmpty() || stack.last() != name) {
                    error = u"</%1> closes %2"_s.arg(name, stack.value(stack.size() - 1));
                    return m;
                }
                stack.removeLast();
                if (name == u"B")
                    style &= ~1;
                if (name == u"I")
                    style &= ~2;
                if (name == u"U")
                    style &= ~4;
                continue;
            }
            if (name == u"LI" && stack.value(stack.size() - 1) != u"UL") {
                error = u"LI outside UL"_s;
                return m;
            }
            if (name == u"P" || name == u"LI") {
                if (!stack.isEmpty() && stack.last() != u"UL") {
                    error = u"nested paragraph"_s;
                    return m;
                }
                Paragraph p;
                p.bullet = name == u"LI";
                for (const char *a : {"center", "right", "justify"})
                    if (tag.contains(QString::fromLatin1(a), Qt::CaseInsensitive))
                        p.align = QString::fromLatin1(a);
                m.append(p);
            }
            if (name == u"B")
                style |= 1;
            if (name == u"I")
                style |= 2;
            if (name == u"U")
                style |= 4;
            stack.append(name);
            continue;
        }
        if (c == u'&') {
            const qsizetype semi = html.indexOf(u';', i);
            const QString entity = html.mid(i, semi - i + 1);
            if (entity == u"&lt;")
                text += u'<';
            else if (entity == u"&gt;")
                text += u'>';
            else if (entity == u"&amp;")
                text += u'&';
            else
                error = u"unknown entity "_s + entity;
            i = semi + 1;
            continue;
        }
        if (c == u'\r' || c == u'\n') { // between elements only
            ++i;
            continue;
        }
        text += c;
        ++i;
    }
    if (!stack.isEmpty())
        error = u"left open: "_s + stack.join(u',');
    return m;
}

// A random document with the features the page must keep.
QTextDocument *randomDocument(QRandomGenerator &random, QObject *parent)
{
    static const QStringList pieces = {u"Madame"_s, u"été"_s, u"ça"_s,  u"ÊTRE"_s,  u"À"_s,    u"où"_s,  u" "_s,
                                       u"œuvre"_s,  u"€"_s,   u"<b>"_s, u"a & b"_s, u"\\"_s,   u"{x}"_s, u"«»"_s,
                                       u"\t"_s,     u"  "_s,  u"Ω"_s,   u"naïve"_s, u"Noël"_s, u"1,5"_s};
    auto *doc = new QTextDocument(parent);
    richtext::prepare(*doc);
    QTextCursor cursor(doc);
    const int paragraphs = 1 + int(random.bounded(10));
    static const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    for (int p = 0; p < paragraphs; ++p) {
        QTextBlockFormat bf;
        bf.setAlignment(aligns[random.bounded(3)]);
        if (p == 0)
            cursor.setBlockFormat(bf);
        else
            cursor.insertBlock(bf);
        if (random.bounded(4) == 0)
            richtext::setBullet(cursor, true);
        const int runs = int(random.bounded(5)); // 0: an empty paragraph
        for (int r = 0; r < runs; ++r) {
            QTextCharFormat f = richtext::defaultCharFormat();
            const int style = int(random.bounded(8));
            f.setFontWeight(style & 1 ? QFont::Bold : QFont::Normal);
            f.setFontItalic(style & 2);
            f.setFontUnderline(style & 4);
            QString text;
            for (int k = 1 + int(random.bounded(3)); k > 0; --k)
                text += pieces[random.bounded(pieces.size())];
            cursor.insertText(text, f);
        }
    }
    return doc;
}

} // namespace

class TestHtmlExport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void generatedDocumentsReadTheSame();
    void workedExamples_data();
    void workedExamples();
    void pageAroundTheParagraphs();
    void plainTextDocument();
    void libreOfficeReadsTheSameText();
    void outputName_data();
    void outputName();
    void exportWritesThePageBesideTheDocument();
    void exportFailures();
    void failedExportLeavesExistingPage();
};

void TestHtmlExport::generatedDocumentsReadTheSame()
{
    QRandomGenerator random(20261207);
    for (int round = 0; round < 400; ++round) {
        std::unique_ptr<QTextDocument> doc(randomDocument(random, nullptr));
        const QByteArray rtf = rtf::write(*doc);
        QTextDocument read;
        rtf::read(rtf, read); // what the window shows for these bytes
        const Model expected = modelOfDocument(read);
        const QByteArray page = htmlexport::convertDocument(rtf, u"essai"_s);
        QString error;
        const Model got = modelOfPage(page, error);
        QVERIFY2(error.isEmpty(), qPrintable(error + u"\n"_s + QString::fromUtf8(page)));
        QVERIFY2(got == expected, qPrintable(u"page:\n"_s + describe(got) + u"document:\n"_s + describe(expected)));
        // No code of the RTF is left: a backslash only where the document has one.
        QCOMPARE(page.count('\\'), qsizetype(read.toPlainText().count(u'\\')));
    }
}

void TestHtmlExport::workedExamples_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("body");
    const QByteArray head =
            "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}{\\f1\\froman\\fcharset2 "
            "Symbol;}{\\f2\\fswiss Arial;}}\r\n{\\colortbl\\red0\\green0\\blue0;}\r\n\\deflang1036\\pard";
    QTest::newRow("bold closed before the next paragraph")
            << head
                    + "\\plain\\f2\\fs20 Texte normal \\plain\\f2\\fs20\\b gras\\plain\\f2\\fs20  puis\r\n\\par "
                      "\\plain\\f2\\fs20 suite\r\n\\par }\r\n"
            << QByteArray("<P>Texte normal <B>gras</B> puis</P>\r\n<P>suite</P>\r\n");
    QTest::newRow("every accented letter") << head + "\\plain\\f2\\fs20 \\'e7\\'ea\\'c9\\'c0\\'e0 \\'9c\\'80\r\n\\par }"
                                           << QByteArray("<P>çêÉÀà œ€</P>\r\n");
    QTest::newRow("nested styles close in order")
            << head + "\\plain\\f2\\fs20\\b a\\i b\\ul c\\plain\\f2\\fs20\\i\\ul d\r\n\\par }"
            << QByteArray("<P><B>a<I>b<U>c</U></I></B><I><U>d</U></I></P>\r\n");
    QTest::newRow("alignment") << head
                    + "\\qc\\plain\\f2\\fs20 Titre\r\n\\par \\pard\\qr\\plain\\f2\\fs20 Fin\r\n\\par }"
                               << QByteArray("<P ALIGN=\"CENTER\">Titre</P>\r\n<P ALIGN=\"RIGHT\">Fin</P>\r\n");
    QTest::newRow("bullets in one list") << head
                    + "{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\fi-360\\li720\\plain\\f2\\fs20 "
                      "un\r\n\\par {\\pntext\\f1\\'b7\\tab}\\plain\\f2\\fs20 deux\r\n\\par \\pard\\plain\\f2\\fs20 fin\r\n\\par }"
                                         << QByteArray(
                                                    "<UL>\r\n<LI>un</LI>\r\n<LI>deux</LI>\r\n</UL>\r\n<P>fin</P>\r\n");
    QTest::newRow("escaped braces, backslash, markup characters")
            << head + "\\plain\\f2\\fs20 \\{a\\} \\\\ <b> & \"\r\n\\par }"
            << QByteArray("<P>{a} \\ &lt;b&gt; &amp; \"</P>\r\n");
    QTest::newRow("unicode with fallback")
            << head + "\\plain\\f2\\fs20 \\u937\\'3f et \\u-10179\\'3f\\u-8694\\'3f\r\n\\par }"
            << QByteArray("<P>Ω et \xF0\x9F\x98\x8A</P>\r\n");
    QTest::newRow("empty paragraph kept")
            << head + "\\plain\\f2\\fs20 a\r\n\\par \r\n\\par \\plain\\f2\\fs20 b\r\n\\par }"
            << QByteArray("<P>a</P>\r\n<P><BR></P>\r\n<P>b</P>\r\n");
    QTest::newRow("another program's RTF")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Calibri;}}{\\info{\\title x}}\\f0 Lettre de {\\b Paul}\\line "
                          "{\\*\\unknown caché}{\\v invisible}fin\\par}")
            << QByteArray("<P>Lettre de <B>Paul</B><BR>fin</P>\r\n");
}

void TestHtmlExport::workedExamples()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, body);
    const QByteArray page = htmlexport::convertDocument(rtf);
    const qsizetype from = page.indexOf("<BODY>\r\n") + 8;
    QCOMPARE(page.mid(from, page.indexOf("</BODY>") - from), body);
}

void TestHtmlExport::pageAroundTheParagraphs()
{
    const QByteArray page = htmlexport::convertDocument("{\\rtf1 x\\par}", u"Lettre <1> & co"_s);
    QVERIFY(page.startsWith("<!DOCTYPE HTML"));
    QVERIFY(page.contains("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">"));
    QVERIFY(page.contains("<TITLE>Lettre &lt;1&gt; &amp; co</TITLE>"));
    QVERIFY(page.contains("<HEAD>\r\n") && page.contains("</HEAD>\r\n<BODY>\r\n"));
    QVERIFY(page.endsWith("<P>x</P>\r\n</BODY>\r\n</HTML>\r\n"));
    QCOMPARE(htmlexport::titleOf(u"/home/u/mes.docs/lettre.qvt"_s), u"lettre"_s);
    QCOMPARE(htmlexport::titleOf(u"/home/u/lettre"_s), u"lettre"_s);
}

void TestHtmlExport::plainTextDocument()
{
    const QByteArray page = htmlexport::convertDocument("un <1>\r\ndeux \xe9t\xe9\r\n\r\ntrois\x1a reste");
    const qsizetype from = page.indexOf("<BODY>\r\n") + 8;
    QCOMPARE(page.mid(from, page.indexOf("</BODY>") - from),
             QByteArray("<P>un &lt;1&gt;</P>\r\n<P>deux été</P>\r\n<P><BR></P>\r\n<P>trois</P>\r\n"));
}

void TestHtmlExport::libreOfficeReadsTheSameText()
{
    if (lotest::sofficePath().isEmpty())
        QSKIP("LibreOffice is not installed");
    QTemporaryDir dir;
    QRandomGenerator random(7);
    QStringList expected;
    QByteArray pages;
    for (int d = 0; d < 3; ++d) {
        std::unique_ptr<QTextDocument> doc(randomDocument(random, nullptr));
        const QString name = dir.filePath(u"page%1.htm"_s.arg(d));
        writeFile(name, htmlexport::convertDocument(rtf::write(*doc), u"page"_s));
        QTextDocument read;
        rtf::read(rtf::write(*doc), read);
        expected.append(read.toPlainText());
    }
    const QString error = lotest::runSoffice(dir.path(),
                                             {u"--convert-to"_s, u"txt:Text (encoded):UTF8"_s, u"--outdir"_s,
                                              dir.path(), dir.filePath(u"page0.htm"_s), dir.filePath(u"page1.htm"_s),
                                              dir.filePath(u"page2.htm"_s)});
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // Word for word: white space runs compare as one space; LibreOffice puts a bullet
    // character before list items.
    auto words = [](QString text) {
        text.remove(QChar(0xFEFF));
        text.replace(QChar(0x2022), u' ');
        text.replace(QChar(0x00A0), u' ');
        return text.simplified();
    };
    for (int d = 0; d < 3; ++d) {
        const QString got = QString::fromUtf8(readAll(dir.filePath(u"page%1.txt"_s.arg(d))));
        QCOMPARE(words(got), words(expected[d]));
    }
}

void TestHtmlExport::outputName_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("page");
    QTest::newRow("extension replaced") << u"/home/u/lettre.qvt"_s << u"/home/u/lettre.htm"_s;
    QTest::newRow("no extension") << u"/home/u/lettre"_s << u"/home/u/lettre.htm"_s;
    QTest::newRow("dot in the folder only") << u"/home/mes.docs/lettre"_s << u"/home/mes.docs/lettre.htm"_s;
    QTest::newRow("last dot only") << u"/d/a.b.qvt"_s << u"/d/a.b.htm"_s;
    QTest::newRow("already htm") << u"/d/page.htm"_s << u"/d/page.htm"_s;
}

void TestHtmlExport::outputName()
{
    QFETCH(QString, document);
    QFETCH(QString, page);
    QCOMPARE(htmlexport::outputName(document), page);
}

void TestHtmlExport::exportWritesThePageBesideTheDocument()
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(u"lettre.qvt"_s);
    writeFile(doc, "{\\rtf1\\ansi\r\n\\deflang1036\\pard\\plain\\f2\\fs20 Caf\\'e9\r\n\\par }\r\n");
    htmlexport::exportFile(doc);
    const QByteArray page = readAll(dir.filePath(u"lettre.htm"_s));
    QVERIFY(page.contains("<TITLE>lettre</TITLE>"));
    QVERIFY(page.contains("<P>Café</P>\r\n</BODY>"));
    // An explicit output (the command line's) gets the same bytes.
    htmlexport::exportFile(doc, dir.filePath(u"ailleurs.htm"_s));
    QCOMPARE(readAll(dir.filePath(u"ailleurs.htm"_s)), page);
}

void TestHtmlExport::exportFailures()
{
    QTemporaryDir dir;
    QCOMPARE(errorOf([&] { htmlexport::exportFile(dir.filePath(u"absent.qvt"_s)); }), u"Fichier introuvable"_s);
    QVERIFY(!QFile::exists(dir.filePath(u"absent.htm"_s)));
    // A document already named .htm would be its own page: refused, the document untouched.
    const QString htm = dir.filePath(u"page.htm"_s);
    writeFile(htm, "{\\rtf1 texte\\par}");
    QCOMPARE(errorOf([&] { htmlexport::exportFile(htm); }),
             u"La page HTML remplacerait le document lui-même : choisissez un autre nom pour la page. Erreur E/S 32"_s);
    QCOMPARE(readAll(htm), QByteArray("{\\rtf1 texte\\par}"));
}

void TestHtmlExport::failedExportLeavesExistingPage()
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(u"rapport.qvt"_s);
    const QString page = dir.filePath(u"rapport.htm"_s);
    writeFile(page, "ancienne page");
    writeFile(doc, "{\\rtf1 ok\\par}");
    // A folder that cannot be written: the error names the page, the old page stays.
    QString message;
    {
        ReadOnlyDir locked(dir.path());
        if (!locked.active())
            QSKIP("cannot make a folder read-only here (root needs the immutable flag)");
        message = errorOf([&] { htmlexport::exportFile(doc); });
    }
    QVERIFY(message.startsWith(u"Ne peut ouvrir le fichier"_s));
    QCOMPARE(readAll(page), QByteArray("ancienne page"));
}

QTEST_MAIN(TestHtmlExport)
#include "tst_htmlexport.moc"
