// HTML export: the line converter on the editor's own RTF lines and the edge cases that
// catch faults, the page around the lines, the page's name and the export's failures.
#include "htmlline_reference.h"
#include "text/core/htmlexport.h"

#include "common/testsupport/readonlydir.h"
#include "common/velmoraerror.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

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
const QByteArray kHeader = "<HTML>\r\n<HEAD>\r\n<TITLE></TITLE>\r\n<META NAME=\"Velmora\"\r\n</HEAD>\r\n<BODY>\r\n";
const QByteArray kFooter = "</BODY>\r\n</HTML>\r\n";
} // namespace

class TestHtmlExport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void convertsLines_data();
    void convertsLines();
    void badEscapeIsAConversionError_data();
    void badEscapeIsAConversionError();
    void agreesWithStepByStepVersion_data();
    void agreesWithStepByStepVersion();
    void agreesOnTheEditorsParagraphs();
    void longCraftedLinesStayFast();
    void pageAroundTheLines();
    void readingStopsAtCtrlZ();
    void outputName_data();
    void outputName();
    void exportWritesThePageBesideTheDocument();
    void exportFailures();
    void failedExportLeavesExistingPage();
};

void TestHtmlExport::convertsLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("html");
    // The editor's own lines.
    QTest::newRow("document header") << QByteArray("{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}}")
                                     << QByteArray();
    QTest::newRow("first paragraph") << QByteArray("\\deflang1036\\pard\\plain\\f2\\fs20 Bonjour") << QByteArray("<P>Bonjour</P>");
    QTest::newRow("centred") << QByteArray("\\par \\pard\\qc\\plain\\f2\\fs20 Titre") << QByteArray("<P><CENTER>Titre</CENTER></P>");
    QTest::newRow("right aligned") << QByteArray("\\par \\pard\\qr\\plain\\f2\\fs20 Fin") << QByteArray("<P ALIGN=\"RIGHT\">Fin</P>");
    QTest::newRow("bold left open") << QByteArray("\\par \\plain\\f2\\fs20\\b gras") << QByteArray("<P><B>gras</P>");
    QTest::newRow("underline closed at the end") << QByteArray("\\par \\plain\\f2\\fs20\\ul souligne")
                                                 << QByteArray("<P><U>souligne</U></P>");
    QTest::newRow("bullet item")
        << QByteArray("\\par \\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\fi-360\\li720\\plain\\f2\\fs20 item")
        << QByteArray("<LI>item");
    QTest::newRow("closing brace of the document") << QByteArray("\\par }") << QByteArray();
    // Edge cases.
    QTest::newRow("three characters unchanged") << QByteArray("abc") << QByteArray("abc");
    QTest::newRow("one character unchanged") << QByteArray("x") << QByteArray("x");
    QTest::newRow("empty line") << QByteArray() << QByteArray();
    QTest::newRow("paragraph code alone") << QByteArray("\\par ") << QByteArray("<P></P>");
    QTest::newRow("second bold code stays") << QByteArray("\\par un\\b deux\\b trois")
                                            << QByteArray("<P>un<B>deux\\b trois</P>");
    QTest::newRow("escaped brace loses the text up to the next brace")
        << QByteArray("\\par a\\{b} c") << QByteArray("<P>a\\ c</P>");
    QTest::newRow("accented letters") << QByteArray("\\'e9t\\'e9") << QByteArray("&eacute;t&eacute;</P>");
    QTest::newRow("letter without entity dropped") << QByteArray("\\'e7a") << QByteArray("a</P>");
    QTest::newRow("capital escapes dropped") << QByteArray("\\par \\'c9t\\'c9") << QByteArray("<P>t</P>");
    QTest::newRow("every entity")
        << QByteArray("\\'e0\\'e2\\'e4\\'e8\\'e9\\'eb\\'ee\\'ef\\'f4\\'f6\\'f9\\'fb\\'fc")
        << QByteArray("&agrave;&acirc;&auml;&egrave;&eacute;&euml;&icirc;&iuml;&ocirc;&ouml;&ugrave;&ucirc;&uuml;</P>");
    QTest::newRow("escape cut by the end of the line reads one digit") << QByteArray("</P>a\\'e") << QByteArray("</P>a");
    QTest::newRow("plain text line gains only the end tag") << QByteArray("Une ligne simple")
                                                            << QByteArray("Une ligne simple</P>");
    QTest::newRow("closing tags read italic, underline, bold") << QByteArray("x\\b a\\i b\\ul c\\plain d")
                                                               << QByteArray("x<B>a<I>b<U>c</I></U></B>d</P>");
    QTest::newRow("each underline makes another pass for bold")
        << QByteArray("\\b 1\\b 2\\b 3\\ul 4") << QByteArray("<B>1<B>2\\b 3<U>4</U></P>");
    QTest::newRow("italic run closed, size code before the text")
        << QByteArray("\\par \\plain\\f2\\fs20\\i italique\\plain\\f2\\fs20  suite")
        << QByteArray("<P><I>italique</I>f2\\ suite</P>");
    QTest::newRow("size code without space or tag eats the rest") << QByteArray("</P>abc\\fs20xyz") << QByteArray("</P>abc\\");
    QTest::newRow("font reference found again after a deletion") << QByteArray("ff3\\3\\\\x") << QByteArray("\\x</P>");
    QTest::newRow("fonts from 4 up are kept") << QByteArray("\\par f4\\x") << QByteArray("<P>f4\\x</P>");
    QTest::newRow("unmatched closing brace: depth below zero") << QByteArray("ab}cd{e}f") << QByteArray("ab}{e}");
    QTest::newRow("nested groups go") << QByteArray("\\par a{b{c}d}e") << QByteArray("<P>ae</P>");
    QTest::newRow("pard in the middle drops what is before it") << QByteArray("xyz\\pard\\qc abc")
                                                                << QByteArray("<P><CENTER> abc</CENTER></P>");
    QTest::newRow("a line opening with a group is dropped") << QByteArray("{\\*\\generator x;}") << QByteArray();
    QTest::newRow("underline on a short line") << QByteArray("\\ul ") << QByteArray("<U></U></P>");
    QTest::newRow("underline on a line left shorter than four") << QByteArray("\\ul {</P>}") << QByteArray("</U><U>");
    QTest::newRow("8-bit text kept as it is") << QByteArray("\\par caf\xe9 \x80") << QByteArray("<P>caf\xe9 \x80</P>");
}

void TestHtmlExport::convertsLines()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, html);
    QCOMPARE(htmlexport::convertLine(line), html);
}

void TestHtmlExport::badEscapeIsAConversionError_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("message");
    QTest::newRow("letters") << QByteArray("\\par \\'zz") << u"'$zz' n'est pas une valeur entière correcte"_s;
    QTest::newRow("one bad digit") << QByteArray("a\\'9g b") << u"'$9g' n'est pas une valeur entière correcte"_s;
    QTest::newRow("nothing after it") << QByteArray("</P>\\'") << u"'$' n'est pas une valeur entière correcte"_s;
}

void TestHtmlExport::badEscapeIsAConversionError()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, message);
    QCOMPARE(errorOf([&] { htmlexport::convertLine(line); }), message);
}

// Lines assembled from the codes the rules look for, compared with the naive version.
// Lines assembled at random from codes, pieces of codes and text. Short lines make the
// codes meet in every order; long ones cross the sixteen-byte blocks the converter
// searches by, with codes on both sides of every block edge.
void TestHtmlExport::agreesWithStepByStepVersion_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("minPieces");
    QTest::addColumn<int>("maxPieces");
    QTest::newRow("short lines") << 30000 << 1 << 14;
    QTest::newRow("long lines") << 3000 << 14 << 120;
}

void TestHtmlExport::agreesWithStepByStepVersion()
{
    QFETCH(int, lines);
    QFETCH(int, minPieces);
    QFETCH(int, maxPieces);
    static const char *const pieces[] = {
        "\\par ", "\\plain", "\\plain\\f2\\fs20 ", "\\pard", "\\qc", "\\qr", "\\b ", "\\i ", "\\ul ", "\\fs20 ", "\\fs",
        "\\li720", "\\li", "\\fi-360", "\\fi", "f0\\", "f1\\", "f2\\", "f3\\", "f", "3\\", "{", "}",
        "{\\pntext\\'b7\\tab}", "{\\pntext\\f1\\'b7\\tab}", "\\'e9", "\\'E0", "\\'b7", "\\'4", "<", "</P>", "<P>", " ", "a",
        "Texte", "\\", "'", "p", "l", "ain", "ul", "b", "i", "\\u", "\\p", "x y"};
    QRandomGenerator rng(20261207 + quint32(minPieces));
    int compared = 0, errors = 0;
    for (int n = 0; n < lines; ++n) {
        QByteArray line;
        const int count = int(rng.bounded(minPieces, maxPieces));
        for (int k = 0; k < count; ++k)
            line += pieces[rng.bounded(int(std::size(pieces)))];
        QByteArray expected;
        bool expectedError = false;
        try {
            expected = reference::convertLine(line);
        } catch (const reference::BadEscape &) {
            expectedError = true;
        }
        QByteArray actual;
        bool actualError = false;
        try {
            actual = htmlexport::convertLine(line);
        } catch (const VelmoraError &) {
            actualError = true;
        }
        if (expectedError != actualError || expected != actual)
            QFAIL(qPrintable(u"line %1: expected %2, got %3"_s.arg(QString::fromLatin1(line),
                                                                 expectedError ? u"error"_s : QString::fromLatin1(expected),
                                                                 actualError ? u"error"_s : QString::fromLatin1(actual))));
        ++compared;
        errors += expectedError;
    }
    QVERIFY(errors > 0 && errors < compared / 2); // both outcomes were exercised
}

// Whole paragraphs as the editor writes them (runs, alignment, bullets, accented letters,
// paragraphs of every length) convert exactly as the step-by-step rules say, the page too.
void TestHtmlExport::agreesOnTheEditorsParagraphs()
{
    static const char *const openings[] = {"\\par \\pard\\plain\\f2\\fs20 ", "\\par \\pard\\qc\\plain\\f2\\fs20\\b ",
                                           "\\par \\pard\\qr\\plain\\f2\\fs20 ", "\\par \\plain\\f2\\fs20 ",
                                           "\\par \\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0"
                                           "{\\pntxtb\\'b7}}\\fi-360\\li720\\plain\\f2\\fs20 ",
                                           "\\deflang1036\\pard\\plain\\f2\\fs20 ", "\\par \\pard\\plain\\f3\\fs24 "};
    static const char *const runs[] = {"\\plain\\f2\\fs20\\i ", "\\plain\\f2\\fs20\\ul ", "\\plain\\f2\\fs20\\b ",
                                       "\\plain\\f2\\fs20 ", "\\plain\\f0\\fs16\\b\\i ", "\\plain\\f1\\fs20 "};
    static const char *const words[] = {"Madame", "le", "la", "fin.", "facture", "r\\'e9union", "\\'e0", "pr\\'e8s",
                                        "\\'c7a", "lieu", "fs", "\\{accolade\\}", "tabulation\\tab", "sp\\'e9cial",
                                        "soixante-dix", "ligne"};
    QRandomGenerator rng(7122026);
    QByteArray document = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}}\r\n";
    QByteArray expectedPage = kHeader;
    for (int n = 0; n < 1500; ++n) {
        QByteArray line = openings[rng.bounded(int(std::size(openings)))];
        const int count = int(rng.bounded(0, n % 10 == 0 ? 400 : 40));
        for (int k = 0; k < count; ++k) {
            if (rng.bounded(8) == 0)
                line += runs[rng.bounded(int(std::size(runs)))];
            line += words[rng.bounded(int(std::size(words)))];
            line += ' ';
        }
        QByteArray expected;
        try {
            expected = reference::convertLine(line);
        } catch (const reference::BadEscape &) {
            QFAIL("the generated paragraphs hold no bad escape");
        }
        QCOMPARE(htmlexport::convertLine(line), expected);
        document += line + "\r\n";
        if (!expected.isEmpty())
            expectedPage += expected + "\r\n";
    }
    QCOMPARE(htmlexport::convertDocument(document), expectedPage + kFooter);
}

// Repeated codes on one long line must not turn the export quadratic.
void TestHtmlExport::longCraftedLinesStayFast()
{
    const QByteArray units[] = {"f3\\", "\\ul ", "\\plain", "\\fs \\", "\\li123", "\\'e9", "f0\\f1\\f2\\f3\\", "{}"};
    // Processor time, not wall time: a busy machine must not fail the test.
    const std::clock_t start = std::clock();
    for (const QByteArray &unit : units) {
        const QByteArray line = unit.repeated(200000 / unit.size());
        htmlexport::convertLine(line);
    }
    const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
    QVERIFY2(seconds < 3.0, qPrintable(u"%1 s"_s.arg(seconds)));
}

void TestHtmlExport::pageAroundTheLines()
{
    const QByteArray rtf = "{\\rtf1\\ansi\\deff0\r\n\\deflang1036\\pard\\plain\\f2\\fs20 Bonjour\r\n\\par }\r\n";
    QCOMPARE(htmlexport::convertDocument(rtf), kHeader + "<P>Bonjour</P>\r\n" + kFooter);
    // Nothing but empty results: just the frame of the page.
    QCOMPARE(htmlexport::convertDocument("{x}\r\n\r\n"), kHeader + kFooter);
    QCOMPARE(htmlexport::convertDocument(QByteArray()), kHeader + kFooter);
    // LF and CR line ends are lines too; a last line without an end still counts.
    QCOMPARE(htmlexport::convertDocument("\\par un\n\\par deux\r\\par trois"),
             kHeader + "<P>un</P>\r\n<P>deux</P>\r\n<P>trois</P>\r\n" + kFooter);
}

void TestHtmlExport::readingStopsAtCtrlZ()
{
    QCOMPARE(htmlexport::convertDocument("\\par avant\r\n\x1a\\par apres\r\n"), kHeader + "<P>avant</P>\r\n" + kFooter);
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
    QTest::newRow("relative") << u"notes.txt"_s << u"notes.htm"_s;
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
    QCOMPARE(readAll(dir.filePath(u"lettre.htm"_s)), kHeader + "<P>Caf&eacute;</P>\r\n" + kFooter);
    // An existing page is replaced without a question.
    writeFile(doc, "\\par autre\r\n");
    htmlexport::exportFile(doc);
    QCOMPARE(readAll(dir.filePath(u"lettre.htm"_s)), kHeader + "<P>autre</P>\r\n" + kFooter);
    // An explicit output (the command line's) gets the same bytes.
    htmlexport::exportFile(doc, dir.filePath(u"ailleurs.htm"_s));
    QCOMPARE(readAll(dir.filePath(u"ailleurs.htm"_s)), readAll(dir.filePath(u"lettre.htm"_s)));
}

void TestHtmlExport::exportFailures()
{
    QTemporaryDir dir;
    QCOMPARE(errorOf([] { htmlexport::exportFile(QString()); }), u"Erreur E/S 6"_s);
    QCOMPARE(errorOf([&] { htmlexport::exportFile(dir.filePath(u"absent.qvt"_s)); }), u"Fichier introuvable"_s);
    QVERIFY(!QFile::exists(dir.filePath(u"absent.htm"_s)));
    // A document already named .htm would be its own page: refused, the document untouched.
    const QString htm = dir.filePath(u"page.htm"_s);
    writeFile(htm, "\\par texte\r\n");
    QCOMPARE(errorOf([&] { htmlexport::exportFile(htm); }), u"Erreur E/S 32"_s);
    QCOMPARE(readAll(htm), QByteArray("\\par texte\r\n"));
    // A bad escape: the conversion error, and no page at all.
    const QString bad = dir.filePath(u"bad.qvt"_s);
    writeFile(bad, "\\par un\r\n\\par \\'zz\r\n");
    QCOMPARE(errorOf([&] { htmlexport::exportFile(bad); }), u"'$zz' n'est pas une valeur entière correcte"_s);
    QVERIFY(!QFile::exists(dir.filePath(u"bad.htm"_s)));
}

void TestHtmlExport::failedExportLeavesExistingPage()
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(u"rapport.qvt"_s);
    const QString page = dir.filePath(u"rapport.htm"_s);
    writeFile(page, "ancienne page");
    writeFile(doc, "\\par \\'q1\r\n");
    QVERIFY(!errorOf([&] { htmlexport::exportFile(doc); }).isEmpty());
    QCOMPARE(readAll(page), QByteArray("ancienne page"));
    // A folder that cannot be written: the error names the page, the old page stays.
    writeFile(doc, "\\par ok\r\n");
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

QTEST_GUILESS_MAIN(TestHtmlExport)
#include "tst_htmlexport.moc"
