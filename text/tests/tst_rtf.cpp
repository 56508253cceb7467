// RTF reader and writer: the byte shape of the control's stream, round trips, RTF from other
// word processors, malformed input, plain-text files.
#include "common/tests/libreofficerun.h"
#include "text/core/mailmerge.h"
#include "text/core/richtext.h"
#include "text/core/rtfreader.h"
#include "text/core/rtfwriter.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kHeader = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}"
                           "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fswiss Arial;}}\r\n"
                           "{\\colortbl\\red0\\green0\\blue0;}\r\n";

QTextCharFormat fmt(bool bold = false, bool italic = false, bool underline = false)
{
    QTextCharFormat f = richtext::defaultCharFormat();
    if (bold)
        f.setFontWeight(QFont::Bold);
    f.setFontItalic(italic);
    f.setFontUnderline(underline);
    return f;
}

// Appends a paragraph (the first call fills the document's first block).
QTextCursor paragraph(QTextDocument &doc, const QString &text, const QTextCharFormat &f = fmt(),
                      Qt::Alignment align = Qt::AlignLeft)
{
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    QTextBlockFormat bf;
    bf.setAlignment(align);
    if (doc.characterCount() > 1 || doc.begin().next().isValid() || doc.property("used").toBool())
        c.insertBlock(bf, f);
    else
        c.setBlockFormat(bf);
    doc.setProperty("used", true);
    c.insertText(text, f);
    return c;
}

QStringList blocks(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out.append(b.text());
    return out;
}

QTextDocument *readRtf(const QByteArray &bytes)
{
    auto *doc = new QTextDocument;
    rtf::read(bytes, *doc);
    return doc;
}

QByteArray dataFile(const char *name)
{
    QFile f(qEnvironmentVariable("VELMORA_TEST_DATA") + u"/rtf/"_s + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", name);
    return f.readAll();
}

QTextCharFormat formatAt(const QTextDocument &doc, int position)
{
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    c.setPosition(position + 1);
    return c.charFormat();
}

} // namespace

class TestRtf : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void whatIsWrittenReadsBack_data();
    void whatIsWrittenReadsBack();
    void writesTheControlsShape();
    void writesOneLinePerParagraph();
    void emptyParagraphsKeepTheirSize();
    void escapesCharacters_data();
    void escapesCharacters();
    void writesFontsSizesColours();
    void writesIndentsAndTabs();
    void roundTripIsStable();
    void raisedLoweredHighlighted();
    void runsWrittenAlikeAreOneRun();
    void readsItsOwnShape();
    void lastParagraphMark();
    void readsWordPad();
    void readsOfficeSuiteRtf();
    void readsUnicodeAndCodePages_data();
    void readsUnicodeAndCodePages();
    void groupsScopeProperties();
    void malformedNeverFails_data();
    void malformedNeverFails();
    void plainTextFiles_data();
    void plainTextFiles();
    void displayedLines();
    void officeSuiteRoundTrip();
    void mailMergeMarkers_data();
    void mailMergeMarkers();
};

void TestRtf::writesTheControlsShape()
{
    QTextDocument doc;
    richtext::prepare(doc);
    paragraph(doc, u"Bonjour"_s);
    QCOMPARE(rtf::write(doc), kHeader + "\\deflang1036\\pard\\plain\\f2\\fs20 Bonjour\r\n\\par }\r\n");

    QTextDocument empty;
    richtext::prepare(empty);
    QCOMPARE(rtf::write(empty), kHeader + "\\deflang1036\\pard\\plain\\f2\\fs20 \r\n\\par }\r\n");
}

void TestRtf::writesOneLinePerParagraph()
{
    QTextDocument doc;
    richtext::prepare(doc);
    paragraph(doc, u"Bonjour"_s);
    paragraph(doc, u"gras"_s, fmt(true));
    paragraph(doc, u"souligne"_s, fmt(false, false, true));
    QTextCursor item = paragraph(doc, u"item"_s);
    richtext::setBullet(item, true);
    QTextCursor second = paragraph(doc, u"second"_s);
    QVERIFY(richtext::hasBullet(second.block()) == false);
    QTextBlockFormat bf = item.blockFormat(); // same paragraph format, joined to the list
    second.setBlockFormat(bf);
    richtext::setBullet(second, true);
    paragraph(doc, u"Titre"_s, fmt(), Qt::AlignHCenter);
    paragraph(doc, u"Fin"_s, fmt(), Qt::AlignRight);
    paragraph(doc, u"mixte "_s).insertText(u"gras"_s, fmt(true, true));

    const QList<QByteArray> lines = rtf::write(doc).split('\n');
    QCOMPARE(lines.value(2), "\\deflang1036\\pard\\plain\\f2\\fs20 Bonjour\r");
    QCOMPARE(lines.value(3), "\\par \\plain\\f2\\fs20\\b gras\r");
    QCOMPARE(lines.value(4), "\\par \\plain\\f2\\fs20\\ul souligne\r");
    QCOMPARE(lines.value(5),
             "\\par \\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}"
             "\\fi-360\\li720\\plain\\f2\\fs20 item\r");
    QCOMPARE(lines.value(6), "\\par {\\pntext\\f1\\'b7\\tab}\\plain\\f2\\fs20 second\r");
    QCOMPARE(lines.value(7), "\\par \\pard\\qc\\plain\\f2\\fs20 Titre\r");
    QCOMPARE(lines.value(8), "\\par \\pard\\qr\\plain\\f2\\fs20 Fin\r");
    QCOMPARE(lines.value(9), "\\par \\pard\\plain\\f2\\fs20 mixte \\plain\\f2\\fs20\\b \\i gras\r");
    QCOMPARE(lines.value(10), "\\par }\r");
    QCOMPARE(lines.size(), 12);
}

void TestRtf::emptyParagraphsKeepTheirSize()
{
    QTextDocument doc;
    richtext::prepare(doc);
    QTextCharFormat big = fmt(true);
    big.setFontPointSize(20);
    paragraph(doc, u"Titre"_s, big);
    paragraph(doc, QString(), big); // same as the run before: nothing to write
    paragraph(doc, QString(), fmt()); // back to the default size
    paragraph(doc, QString(), fmt());
    const QByteArray out = rtf::write(doc);
    const QList<QByteArray> lines = out.split('\n');
    QCOMPARE(lines.value(3), "\\par \r");
    QCOMPARE(lines.value(4), "\\par \\plain\\f2\\fs20 \r");
    QCOMPARE(lines.value(5), "\\par \r");
    std::unique_ptr<QTextDocument> back(readRtf(out));
    QCOMPARE(back->blockCount(), 4);
    QCOMPARE(back->findBlockByNumber(1).charFormat().fontPointSize(), 20.0);
    QCOMPARE(back->findBlockByNumber(3).charFormat().fontPointSize(), 10.0);
    QCOMPARE(rtf::write(*back), out);
}

void TestRtf::escapesCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("accents") << u"été à"_s << QByteArray("\\'e9t\\'e9 \\'e0");
    QTest::newRow("euro and quotes") << u"€ ’"_s << QByteArray("\\'80 \\'92");
    QTest::newRow("rtf specials") << u"a\\b{c}"_s << QByteArray("a\\\\b\\{c\\}");
    QTest::newRow("tab") << u"a\tb"_s << QByteArray("a\\tab b");
    QTest::newRow("line break") << u"a\u2028b"_s << QByteArray("a\\line b");
    QTest::newRow("greek") << u"Ω"_s << QByteArray("\\u937\\'3f");
    QTest::newRow("above 32767") << u"한"_s << QByteArray("\\u-10916\\'3f");
    QTest::newRow("surrogate pair") << u"😀"_s << QByteArray("\\u-10179\\'3f\\u-8704\\'3f");
}

void TestRtf::escapesCharacters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    QTextDocument doc;
    richtext::prepare(doc);
    paragraph(doc, text);
    const QByteArray out = rtf::write(doc);
    QCOMPARE(out.split('\n').value(2), "\\deflang1036\\pard\\plain\\f2\\fs20 " + written + '\r');
    std::unique_ptr<QTextDocument> back(readRtf(out));
    QCOMPARE(blocks(*back).join(u'\n'), text);
}

void TestRtf::writesFontsSizesColours()
{
    QTextDocument doc;
    richtext::prepare(doc);
    QTextCharFormat times = fmt();
    times.setFontFamilies({u"Times New Roman"_s});
    times.setFontPointSize(12.5);
    QTextCharFormat red = fmt();
    red.setForeground(QColor(255, 0, 0));
    QTextCursor c = paragraph(doc, u"Times"_s, times);
    c.insertText(u" rouge"_s, red);
    c.insertText(u" encore"_s, times);
    const QList<QByteArray> lines = rtf::write(doc).split('\n');
    QVERIFY(lines[0].endsWith("{\\f2\\fswiss Arial;}{\\f3\\fnil Times New Roman;}}\r"));
    QCOMPARE(lines[1], "{\\colortbl\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r");
    QCOMPARE(lines[2],
             "\\deflang1036\\pard\\plain\\f3\\fs25 Times\\plain\\f2\\fs20\\cf1  rouge\\plain\\f3\\fs25  encore\r");
}

void TestRtf::writesIndentsAndTabs()
{
    QTextDocument doc;
    richtext::prepare(doc);
    QTextCursor c = paragraph(doc, u"retrait"_s);
    QTextBlockFormat bf = c.blockFormat();
    richtext::setIndents(bf, false, {720 / 15.0, -360 / 15.0, 1440 / 15.0});
    richtext::setTabStops(bf, {1000 / 15.0, 2000 / 15.0});
    c.setBlockFormat(bf);
    QCOMPARE(rtf::write(doc).split('\n').value(2),
             "\\deflang1036\\pard\\fi-360\\li720\\ri1440\\tx1000\\tx2000\\plain\\f2\\fs20 retrait\r");
}

// Superscript, subscript and highlighted text of other programs' files are shown and kept
// through a save; what is written reads back the same and is written again byte for byte.
void TestRtf::raisedLoweredHighlighted()
{
    const QByteArray file = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;"
                            "\\red255\\green255\\blue0;}\\f0\\fs24 1{\\super er} H{\\sub 2}O {\\highlight2 vu} "
                            "x{\\up6 2}{\\dn4 i}{\\super a\\nosupersub b}{\\chcbpat1 c}\\par}";
    std::unique_ptr<QTextDocument> doc(readRtf(file));
    QCOMPARE(blocks(*doc), QStringList{u"1er H2O vu x2iabc"_s});
    const auto vertical = [](const QTextDocument &d, int at) { return formatAt(d, at).verticalAlignment(); };
    const auto check = [&](const QTextDocument &d) {
        QCOMPARE(vertical(d, 0), QTextCharFormat::AlignNormal); // "1"
        QCOMPARE(vertical(d, 1), QTextCharFormat::AlignSuperScript); // "er"
        QCOMPARE(vertical(d, 5), QTextCharFormat::AlignSubScript); // "2"
        QCOMPARE(vertical(d, 6), QTextCharFormat::AlignNormal); // "O"
        QCOMPARE(formatAt(d, 8).background().color(), QColor(255, 255, 0)); // "vu"
        QVERIFY(!formatAt(d, 10).hasProperty(QTextFormat::BackgroundBrush)); // " "
        QCOMPARE(vertical(d, 12), QTextCharFormat::AlignSuperScript); // \up
        QCOMPARE(vertical(d, 13), QTextCharFormat::AlignSubScript); // \dn
        QCOMPARE(vertical(d, 14), QTextCharFormat::AlignSuperScript); // "a"
        QCOMPARE(vertical(d, 15), QTextCharFormat::AlignNormal); // "b"
        QCOMPARE(formatAt(d, 16).background().color(), QColor(255, 0, 0)); // "c"
    };
    check(*doc);
    const QByteArray written = rtf::write(*doc);
    QVERIFY(written.contains("\\super ") && written.contains("\\sub ") && written.contains("\\highlight"));
    std::unique_ptr<QTextDocument> back(readRtf(written));
    QCOMPARE(blocks(*back), blocks(*doc));
    check(*back);
    QCOMPARE(rtf::write(*back), written);
}

void TestRtf::roundTripIsStable()
{
    QTextDocument doc;
    richtext::prepare(doc);
    paragraph(doc, u"Lettre à Zoé"_s, fmt(true), Qt::AlignHCenter);
    QTextCharFormat big = fmt(false, true);
    big.setFontPointSize(16);
    big.setFontFamilies({u"Courier New"_s});
    big.setForeground(QColor(0, 0, 255));
    paragraph(doc, u"Ligne\u2028suivante\tcolonne"_s, big, Qt::AlignRight);
    QTextCursor b = paragraph(doc, u"puce"_s);
    richtext::setBullet(b, true);
    paragraph(doc, QString());
    paragraph(doc, u"Ωmega {accolades} \\ fin"_s, fmt(false, false, true), Qt::AlignJustify);

    const QByteArray first = rtf::write(doc);
    std::unique_ptr<QTextDocument> back(readRtf(first));
    QCOMPARE(blocks(*back), blocks(doc));
    QCOMPARE(rtf::write(*back), first);
    QVERIFY(richtext::hasBullet(back->findBlockByNumber(2)));
    QCOMPARE(back->findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextCharFormat f = formatAt(*back, back->findBlockByNumber(1).position());
    QCOMPARE(f.fontFamilies().toStringList(), QStringList{u"Courier New"_s});
    QCOMPARE(f.fontPointSize(), 16.0);
    QVERIFY(f.fontItalic());
    QCOMPARE(f.foreground().color(), QColor(0, 0, 255));
}

// Two neighbouring runs whose formats differ only in what RTF does not hold are written as
// one run: otherwise the file read back writes different bytes from the first writing.
void TestRtf::runsWrittenAlikeAreOneRun()
{
    QTextDocument doc;
    richtext::prepare(doc);
    QTextCharFormat upper = fmt();
    upper.setFontFamilies({u"Courier New"_s});
    QTextCharFormat lower = upper;
    lower.setFontFamilies({u"courier new"_s});
    lower.setFontCapitalization(QFont::SmallCaps); // not written either
    QTextCursor c = paragraph(doc, u"un "_s, upper);
    c.insertText(u"deux"_s, lower);
    c.insertText(u" trois"_s, fmt(true));

    const QByteArray first = rtf::write(doc);
    QCOMPARE(first.count("\\plain"), 2);
    QVERIFY(first.contains("un deux\\plain"));
    std::unique_ptr<QTextDocument> back(readRtf(first));
    QCOMPARE(blocks(*back), blocks(doc));
    QCOMPARE(rtf::write(*back), first);
}

void TestRtf::readsItsOwnShape()
{
    const QByteArray control = kHeader
            + "\\deflang1036\\pard\\plain\\f2\\fs20 Bonjour\r\n"
              "\\par \\pard\\qc\\plain\\f2\\fs20 Titre\r\n"
              "\\par \\pard\\qr\\plain\\f2\\fs20 Fin\r\n"
              "\\par \\pard\\plain\\f2\\fs20\\b gras\\plain\\f2\\fs20  maigre\r\n"
              "\\par \\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\fi-360\\li720\\plain\\f2\\fs20 item\r\n"
              "\\par }\r\n";
    std::unique_ptr<QTextDocument> doc(readRtf(control));
    QCOMPARE(blocks(*doc), (QStringList{u"Bonjour"_s, u"Titre"_s, u"Fin"_s, u"gras maigre"_s, u"item"_s}));
    QCOMPARE(doc->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(doc->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    const int gras = doc->findBlockByNumber(3).position();
    QVERIFY(formatAt(*doc, gras).fontWeight() >= QFont::Bold);
    QVERIFY(formatAt(*doc, gras + 5).fontWeight() < QFont::Bold);
    QCOMPARE(formatAt(*doc, gras).fontPointSize(), 10.0);
    QCOMPARE(formatAt(*doc, gras).fontFamilies().toStringList(), QStringList{u"Arial"_s});
    const QTextBlock item = doc->findBlockByNumber(4);
    QVERIFY(richtext::hasBullet(item));
    QCOMPARE(richtext::indents(item), (richtext::Indents{48, -24, 0}));
    QCOMPARE(rtf::write(*doc), control);
}

void TestRtf::lastParagraphMark()
{
    // "\par }" ends the last paragraph; an empty paragraph before it is kept.
    std::unique_ptr<QTextDocument> two(
            readRtf(kHeader + "\\deflang1036\\pard\\plain\\f2\\fs20 A\r\n\\par \r\n\\par }\r\n"));
    QCOMPARE(blocks(*two), (QStringList{u"A"_s, QString()}));
    std::unique_ptr<QTextDocument> noMark(readRtf("{\\rtf1 sans marque}"));
    QCOMPARE(blocks(*noMark), QStringList{u"sans marque"_s});
    std::unique_ptr<QTextDocument> tail(readRtf("{\\rtf1 un\\par deux}"));
    QCOMPARE(blocks(*tail), (QStringList{u"un"_s, u"deux"_s}));
}

void TestRtf::readsWordPad()
{
    std::unique_ptr<QTextDocument> doc(readRtf(dataFile("wordpad.rtf")));
    QCOMPARE(blocks(*doc),
             (QStringList{u"Première ligne gras et italique"_s, u"Centré"_s, u"un"_s, u"deux"_s, u"souligné"_s}));
    const int first = 0;
    QCOMPARE(formatAt(*doc, first).fontFamilies().toStringList(), QStringList{u"Calibri"_s});
    QCOMPARE(formatAt(*doc, first).fontPointSize(), 11.0);
    QVERIFY(formatAt(*doc, 15).fontWeight() >= QFont::Bold); // "gras"
    QVERIFY(formatAt(*doc, 20).fontWeight() < QFont::Bold); // " et "
    QVERIFY(formatAt(*doc, 24).fontItalic()); // "italique"
    QCOMPARE(doc->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QVERIFY(richtext::hasBullet(doc->findBlockByNumber(2)));
    QVERIFY(richtext::hasBullet(doc->findBlockByNumber(3)));
    QCOMPARE(doc->findBlockByNumber(2).textList(), doc->findBlockByNumber(3).textList());
    QVERIFY(!richtext::hasBullet(doc->findBlockByNumber(4)));
    QVERIFY(formatAt(*doc, doc->findBlockByNumber(4).position()).fontUnderline());
}

void TestRtf::readsOfficeSuiteRtf()
{
    std::unique_ptr<QTextDocument> doc(readRtf(dataFile("office.rtf")));
    QCOMPARE(blocks(*doc),
             (QStringList{u"Texte avec rouge, € et été."_s, u"Gras italique ’droite"_s, u"puce un"_s, u"puce deux"_s,
                          u"šč"_s, u"lien fin"_s, u"après image\u2028seconde\tligne"_s}));
    QCOMPARE(formatAt(*doc, 0).fontFamilies().toStringList(), QStringList{u"Liberation Serif"_s});
    QCOMPARE(formatAt(*doc, 0).fontPointSize(), 12.0);
    QCOMPARE(formatAt(*doc, 11).foreground().color(), QColor(255, 0, 0)); // "rouge"
    QVERIFY(!formatAt(*doc, 17).hasProperty(QTextFormat::ForegroundBrush));
    const QTextBlock right = doc->findBlockByNumber(1);
    QCOMPARE(right.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QVERIFY(formatAt(*doc, right.position()).fontWeight() >= QFont::Bold);
    QVERIFY(formatAt(*doc, right.position()).fontItalic());
    QVERIFY(richtext::hasBullet(doc->findBlockByNumber(2)));
    QVERIFY(richtext::hasBullet(doc->findBlockByNumber(3)));
    QCOMPARE(richtext::indents(doc->findBlockByNumber(3)), (richtext::Indents{48, -24, 0}));
    QVERIFY(!richtext::hasBullet(doc->findBlockByNumber(4)));
    const QTextCharFormat link = formatAt(*doc, doc->findBlockByNumber(5).position());
    QVERIFY(link.fontUnderline());
    QCOMPARE(link.foreground().color(), QColor(0, 0, 255));
}

void TestRtf::readsUnicodeAndCodePages_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("\\u with \\uc1") << QByteArray("{\\rtf1\\ansi\\uc1 a\\u8364?b}") << u"a€b"_s;
    QTest::newRow("\\uc2 skips two") << QByteArray("{\\rtf1\\uc2 \\u937\\'3f\\'3fx}") << u"Ωx"_s;
    QTest::newRow("\\uc0 skips none") << QByteArray("{\\rtf1\\uc0\\u937 x}") << u"Ωx"_s;
    QTest::newRow("\\uc scoped by group") << QByteArray("{\\rtf1{\\uc2 \\u937??}\\u937?y}") << u"ΩΩy"_s;
    QTest::newRow("negative \\u") << QByteArray("{\\rtf1 \\u-10916?}") << u"한"_s;
    QTest::newRow("ansicpg1251") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}") << u"Аб"_s;
    QTest::newRow("font charset 238") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset238 X;}}\\f0 \\'9a}") << u"š"_s;
    QTest::newRow("symbols") << QByteArray("{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~}")
                             << u"—–•‘’“”\u00a0"_s;
    QTest::newRow("escaped braces") << QByteArray("{\\rtf1 \\{x\\}\\\\}") << u"{x}\\"_s;
    QTest::newRow("hidden text") << QByteArray("{\\rtf1 a{\\v cach\\'e9}b}") << u"ab"_s;
    QTest::newRow("unknown starred") << QByteArray("{\\rtf1 a{\\*\\inconnu {b}c}d}") << u"ad"_s;
    QTest::newRow("unknown word kept text") << QByteArray("{\\rtf1 a\\motinconnu42 b}") << u"ab"_s;
    QTest::newRow("table cells") << QByteArray("{\\rtf1\\trowd\\cellx100\\cellx200 a\\cell b\\cell\\row c}")
                                 << u"a\tb\nc"_s;
    QTest::newRow("nested table cells") << QByteArray("{\\rtf1 a\\cell x\\nestcell y\\nestcell\\nestrow b}")
                                        << u"a\tx\ty\nb"_s;
    QTest::newRow("spaces and breaks") << QByteArray(
            "{\\rtf1 a\\emspace\\enspace\\qmspace b\\line c\\tab d\\page e\\sect f}")
                                       << u"a\u2003\u2002\u2005b\u2028c\td\ne\nf"_s;
    QTest::newRow("underline kinds") << QByteArray("{\\rtf1 a\\uldb b\\ulnone c\\ulwave d\\ul0 e}") << u"abcde"_s;
    QTest::newRow("binary in skipped group") << QByteArray("{\\rtf1 a{\\pict\\bin3 }}}}b}") << u"ab"_s;
    QTest::newRow("backslash newline is a paragraph") << QByteArray("{\\rtf1 a\\\nb}") << u"a\nb"_s;
}

void TestRtf::readsUnicodeAndCodePages()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    std::unique_ptr<QTextDocument> doc(readRtf(rtf));
    QCOMPARE(blocks(*doc).join(u'\n'), text);
}

void TestRtf::groupsScopeProperties()
{
    std::unique_ptr<QTextDocument> doc(readRtf("{\\rtf1 a{\\b b{\\i c}d}e\\par\\pard{\\qc x\\par}y\\par}"));
    QCOMPARE(blocks(*doc), (QStringList{u"abcde"_s, u"x"_s, u"y"_s}));
    QVERIFY(formatAt(*doc, 0).fontWeight() < QFont::Bold);
    QVERIFY(formatAt(*doc, 1).fontWeight() >= QFont::Bold);
    QVERIFY(formatAt(*doc, 2).fontItalic());
    QVERIFY(!formatAt(*doc, 3).fontItalic());
    QVERIFY(formatAt(*doc, 4).fontWeight() < QFont::Bold);
    QCOMPARE(doc->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(doc->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

void TestRtf::malformedNeverFails_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("truncated") << QByteArray("{\\rtf1 debut {\\b gras") << u"debut gras"_s;
    QTest::newRow("extra closing") << QByteArray("{\\rtf1 a}}}b") << u"a"_s;
    QTest::newRow("only header") << QByteArray("{\\rtf") << QString();
    QTest::newRow("backslash at end") << QByteArray("{\\rtf1 a\\") << u"a"_s;
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zzb}") << u"azzb"_s;
    QTest::newRow("hex cut") << QByteArray("{\\rtf1 a\\'e") << u"ae"_s;
    QTest::newRow("huge numbers") << QByteArray("{\\rtf1\\fs99999999999999\\li-99999999999 x\\u99999999999 ?}")
                                  << u"x\uffff"_s;
    QTest::newRow("huge bin") << QByteArray("{\\rtf1 a\\bin999999999999 bbb}") << u"a"_s;
    QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << u"ab"_s;
    QTest::newRow("long word") << QByteArray("{\\rtf1 \\" + QByteArray(100, 'x') + " y}") << u"y"_s;
    QTest::newRow("deep nesting") << QByteArray("{\\rtf1 " + QByteArray(100000, '{') + "z" + QByteArray(100000, '}')
                                                + "}")
                                  << u"z"_s;
    QTest::newRow("unknown colour") << QByteArray("{\\rtf1\\cf99 x}") << u"x"_s;
    QTest::newRow("unknown font") << QByteArray("{\\rtf1\\f99 x}") << u"x"_s;
    static const char kControls[] = "{\\rtf1 a\0b\\u0 ?c\\u8233 ?d\\u65532 ?e}";
    QTest::newRow("nul and separators") << QByteArray(kControls, sizeof kControls - 1) << u"abcde"_s;
}

void TestRtf::malformedNeverFails()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    std::unique_ptr<QTextDocument> doc(readRtf(rtf));
    QCOMPARE(blocks(*doc).join(u'\n'), text);
}

void TestRtf::plainTextFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("paragraphs");
    QTest::newRow("crlf") << QByteArray("un\r\ndeux\r\n") << QStringList{u"un"_s, u"deux"_s, QString()};
    QTest::newRow("lf and cr") << QByteArray("un\ndeux\rtrois") << QStringList{u"un"_s, u"deux"_s, u"trois"_s};
    QTest::newRow("windows-1252") << QByteArray("\xe9t\xe9 \x80") << QStringList{u"été €"_s};
    QTest::newRow("stops at ctrl-z") << QByteArray("avant\x1a"
                                                   "apres")
                                     << QStringList{u"avant"_s};
    QTest::newRow("rtf-like but not rtf") << QByteArray("{\\rt pas du rtf}") << QStringList{u"{\\rt pas du rtf}"_s};
}

void TestRtf::plainTextFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, paragraphs);
    QTextDocument doc;
    rtf::load(bytes, doc);
    QCOMPARE(blocks(doc), paragraphs);
}

void TestRtf::displayedLines()
{
    QTextDocument doc;
    richtext::prepare(doc);
    paragraph(doc, u"un deux trois quatre cinq six sept huit neuf dix"_s);
    paragraph(doc, u"court\u2028apres"_s);
    // Not laid out: one line per paragraph and per line break.
    QCOMPARE(richtext::displayedLines(doc),
             (QStringList{u"un deux trois quatre cinq six sept huit neuf dix"_s, u"court"_s, u"apres"_s}));
    doc.setTextWidth(120);
    doc.documentLayout()->documentSize();
    const QStringList lines = richtext::displayedLines(doc);
    QVERIFY2(lines.size() > 4, qPrintable(lines.join(u'|')));
    QCOMPARE(lines.mid(lines.size() - 2), (QStringList{u"court"_s, u"apres"_s}));
    QCOMPARE(lines.join(QString()).remove(u' '), u"undeuxtroisquatrecinqsixsepthuitneufdixcourtapres"_s);
    const int n = richtext::displayedLineCount(doc);
    QCOMPARE(n, lines.size());
    for (int i = 0; i < n; ++i) {
        const int pos = richtext::positionOfDisplayedLine(doc, i);
        QCOMPARE(richtext::displayedLineOfPosition(doc, pos), i);
    }
    QCOMPARE(richtext::positionOfDisplayedLine(doc, n), -1);
}

// Our RTF through the office suite and back (it rewrites the file as RTF of its own): text,
// bold, italic, underline, alignment and bullets must survive both readers and writers.
void TestRtf::officeSuiteRoundTrip()
{
    if (lotest::sofficePath().isEmpty())
        QSKIP("soffice is not installed");
    QTextDocument doc;
    richtext::prepare(doc);
    paragraph(doc, u"Titre centré"_s, fmt(true), Qt::AlignHCenter);
    paragraph(doc, u"italique"_s, fmt(false, true));
    paragraph(doc, u"souligné"_s, fmt(false, false, true), Qt::AlignRight);
    QTextCursor item = paragraph(doc, u"puce"_s);
    richtext::setBullet(item, true);
    QTemporaryDir dir;
    QFile in(dir.filePath(u"lettre.rtf"_s));
    QVERIFY(in.open(QIODevice::WriteOnly));
    in.write(rtf::write(doc));
    in.close();
    const QString failure = lotest::runSoffice(
            dir.path(),
            {u"--convert-to"_s, u"rtf:Rich Text Format"_s, u"--outdir"_s, dir.filePath(u"sortie"_s), in.fileName()});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QFile out(dir.filePath(u"sortie/lettre.rtf"_s));
    QVERIFY(out.open(QIODevice::ReadOnly));
    std::unique_ptr<QTextDocument> back(readRtf(out.readAll()));
    QStringList texts = blocks(*back);
    while (!texts.isEmpty() && texts.last().isEmpty())
        texts.removeLast();
    QCOMPARE(texts, (QStringList{u"Titre centré"_s, u"italique"_s, u"souligné"_s, u"puce"_s}));
    QCOMPARE(back->findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QVERIFY(formatAt(*back, 0).fontWeight() >= QFont::Bold);
    QVERIFY(formatAt(*back, back->findBlockByNumber(1).position()).fontItalic());
    QCOMPARE(back->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QVERIFY(formatAt(*back, back->findBlockByNumber(2).position()).fontUnderline());
    QVERIFY(richtext::hasBullet(back->findBlockByNumber(3)));
}

void TestRtf::mailMergeMarkers_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("merged");
    QTest::addColumn<int>("replaced");
    QTest::newRow("two fields") << u"[Nom] habite [Ville]."_s << u"Zoé Dupré habite Paris."_s << 2;
    QTest::newRow("first character") << u"[Ville]"_s << u"Paris"_s << 1;
    QTest::newRow("not a field") << u"[Rien] et [Nom]"_s << u"[Rien] et Zoé Dupré"_s << 1;
    QTest::newRow("no closing bracket") << u"[ouvert [Nom]"_s << u"[ouvert Zoé Dupré"_s << 1;
    QTest::newRow("closing bracket too far")
            << u"["_s + QString(30, u'x') + u"] [Ville]"_s << u"["_s + QString(30, u'x') + u"] Paris"_s << 1;
    QTest::newRow("value with brackets") << u"[Code] [Ville]"_s << u"[Ville] Paris"_s << 2;
    QTest::newRow("empty brackets") << u"[] [Nom]"_s << u"[] Zoé Dupré"_s << 1;
    QTest::newRow("second paragraph") << u"Cher\n[Nom]"_s << u"Cher\nZoé Dupré"_s << 1;
}

void TestRtf::mailMergeMarkers()
{
    QFETCH(QString, letter);
    QFETCH(QString, merged);
    QFETCH(int, replaced);
    QTextDocument doc;
    doc.setPlainText(letter);
    const QHash<QString, QString> fields{
            {u"[Nom]"_s, u"Zoé Dupré"_s}, {u"[Ville]"_s, u"Paris"_s}, {u"[Code]"_s, u"[Ville]"_s}};
    int seenRecord = 0;
    const int n = mailmerge::fillRecord(doc, 7, [&](int record, QString &text) {
        seenRecord = record;
        text = fields.value(text, text);
    });
    QCOMPARE(doc.toPlainText(), merged);
    QCOMPARE(n, replaced);
    QCOMPARE(seenRecord, 7);
}

void TestRtf::whatIsWrittenReadsBack_data()
{
    QTest::addColumn<double>("pointSize");
    QTest::addColumn<int>("tabStops");
    QTest::addColumn<double>("readSize"); // what the file gives back
    QTest::addColumn<int>("readTabs");
    QTest::newRow("ordinary") << 12.0 << 3 << 12.0 << 3;
    QTest::newRow("largest size, most tab stops") << 1638.0 << 64 << 1638.0 << 64;
    QTest::newRow("beyond both") << 5000.0 << 70 << 1638.0 << 64;
    QTest::newRow("half point") << 10.5 << 0 << 10.5 << 0;
}

// The writer writes no more than the reader reads: a document beyond the file's limits is
// written as it will read back, and that file is then written again byte for byte.
void TestRtf::whatIsWrittenReadsBack()
{
    QFETCH(double, pointSize);
    QFETCH(int, tabStops);
    QFETCH(double, readSize);
    QFETCH(int, readTabs);
    QTextDocument doc;
    richtext::prepare(doc);
    QTextCursor c(&doc);
    QTextBlockFormat bf;
    QList<double> stops;
    for (int i = 1; i <= tabStops; ++i)
        stops.append(i * 12.0);
    richtext::setTabStops(bf, stops);
    c.setBlockFormat(bf);
    QTextCharFormat cf;
    cf.setFontPointSize(pointSize);
    c.insertText(u"Texte"_s, cf);
    const QByteArray written = rtf::write(doc);
    QTextDocument back;
    rtf::read(written, back);
    QCOMPARE(richtext::tabStops(back.begin().blockFormat()).size(), readTabs);
    QCOMPARE(back.begin().begin().fragment().charFormat().fontPointSize(), readSize);
    QCOMPARE(rtf::write(back), written);
}

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
