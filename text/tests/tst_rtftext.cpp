// The streamed plain text of a document file against the text of the document built the
// usual way (the reader filling a QTextDocument, its text split into lines), on generated
// documents, random RTF, random bytes and the real documents of the tests and fuzz corpora.
#include "common/textfile.h"
#include "text/core/richtext.h"
#include "text/core/rtfreader.h"
#include "text/core/rtftext.h"
#include "text/core/rtfwriter.h"

#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

// What the conversion wrote before it streamed: the whole document built, then its text.
QByteArray viaDocument(const QByteArray &bytes)
{
    QTextDocument doc;
    rtf::load(bytes, doc);
    QStringList lines = richtext::plainText(doc).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return textfile::joinCrLf(lines);
}

// Characters a document may hold: plain and accented letters, characters Windows-1252
// lacks, a character outside the BMP, tabs and line breaks.
QString randomText(QRandomGenerator &rng, int maxLength)
{
    static const QString pool = QStringLiteral("abcdefghijklmnopqrstuvwxyz  ABCZ0189,.;:!?'\"éèàçùôœŒ€–—“”«»ΩЖ\t")
            + QChar(QChar::LineSeparator) + QStringLiteral("😀");
    QString s;
    const int n = int(rng.bounded(maxLength + 1));
    for (int i = 0; i < n; ++i) {
        const QChar c = pool[int(rng.bounded(int(pool.size())))];
        if (c.isHighSurrogate() || c.isLowSurrogate())
            s += QStringLiteral("😀");
        else
            s += c;
    }
    return s;
}

// A document made with the editor's own operations, saved as the window saves it.
QByteArray randomEditorDocument(QRandomGenerator &rng)
{
    QTextDocument doc;
    richtext::prepare(doc);
    QTextCursor c(&doc);
    const int paragraphs = int(rng.bounded(1, 40));
    for (int p = 0; p < paragraphs; ++p) {
        if (p > 0)
            c.insertBlock();
        QTextBlockFormat bf;
        bf.setAlignment(QList<Qt::Alignment>{Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight}[rng.bounded(3)]);
        c.setBlockFormat(bf);
        if (rng.bounded(6) == 0)
            richtext::setBullet(c, true);
        const int runs = int(rng.bounded(4));
        for (int r = 0; r < runs; ++r) {
            QTextCharFormat f = richtext::defaultCharFormat();
            f.setFontWeight(rng.bounded(2) ? QFont::Bold : QFont::Normal);
            f.setFontItalic(rng.bounded(2));
            f.setFontUnderline(rng.bounded(3) == 0);
            f.setFontPointSize(QList<int>{8, 10, 12, 24}[rng.bounded(4)]);
            c.insertText(randomText(rng, 30), f);
        }
    }
    return rtf::write(doc);
}

// RTF as other programs write it, or broken: tokens in any order.
QByteArray randomRtf(QRandomGenerator &rng)
{
    static const QList<QByteArray> tokens = {"{",
                                             "}",
                                             "\\par ",
                                             "\\par\r\n",
                                             "\\line ",
                                             "\\tab ",
                                             "\\b ",
                                             "\\b0 ",
                                             "\\i ",
                                             "\\plain ",
                                             "\\pard ",
                                             "\\'e9",
                                             "\\'80",
                                             "\\'0d",
                                             "\\'0a",
                                             "\\'00",
                                             "\\'1a",
                                             "\\u8364?",
                                             "\\u-3913?",
                                             "\\u55357\\u56832 ",
                                             "\\u8233?",
                                             "\\u65532?",
                                             "\\uc0 ",
                                             "\\uc2 ",
                                             "\\*\\unknown ",
                                             "{\\*\\bkmkstart x}",
                                             "\\v ",
                                             "\\v0 ",
                                             "\\page ",
                                             "\\sect ",
                                             "\\row ",
                                             "\\cell ",
                                             "\\bin3 abc",
                                             "{\\pntext\\'b7\\tab}",
                                             "{\\pn\\pnlvlblt}",
                                             "\\ls1 ",
                                             "\\~",
                                             "\\_",
                                             "\\-",
                                             "\\\\",
                                             "\\{",
                                             "\\}",
                                             "\\\r\n",
                                             "\r\n",
                                             "\n",
                                             "\t",
                                             "\x01",
                                             "\x1a",
                                             "\\f1 ",
                                             "\\f2 ",
                                             "\\fs40 ",
                                             "\\emdash ",
                                             "\\bullet ",
                                             "{\\field{\\*\\fldinst X}{\\fldrslt lien}}",
                                             "texte ",
                                             "été ",
                                             "\x80\x9f\xff"};
    QByteArray out;
    if (rng.bounded(4) != 0)
        out += "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Cyr;}"
               "{\\f2\\fcharset2 Symbol;}}{\\colortbl;\\red255\\green0\\blue0;}";
    else
        out += "{\\rtf1 ";
    const int n = int(rng.bounded(1, 200));
    for (int i = 0; i < n; ++i)
        out += tokens[rng.bounded(int(tokens.size()))];
    if (rng.bounded(3) != 0)
        out += "}";
    return out;
}

// Not RTF at all: a plain-text file of any bytes.
QByteArray randomBytes(QRandomGenerator &rng)
{
    QByteArray out;
    const int n = int(rng.bounded(300));
    for (int i = 0; i < n; ++i) {
        const int kind = int(rng.bounded(8));
        out += kind == 0 ? '\r' : kind == 1 ? '\n' : kind == 2 ? char(rng.bounded(32)) : char(rng.bounded(256));
    }
    return out;
}

} // namespace

class TestRtfText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void equalsBuiltDocument_data();
    void equalsBuiltDocument();
    void realDocuments();
    void randomDocuments_data();
    void randomDocuments();
    void largeDocument();
};

void TestRtfText::equalsBuiltDocument_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray head = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}";
    QTest::newRow("empty file") << QByteArray() << QByteArray();
    QTest::newRow("empty rtf") << QByteArray("{\\rtf1}") << QByteArray();
    QTest::newRow("control's stream") << head + "\\plain\\f0\\fs20 Un\\par deux\\par }" << QByteArray("Un\r\ndeux\r\n");
    QTest::newRow("no final mark") << head + "Un\\par deux}" << QByteArray("Un\r\ndeux\r\n");
    QTest::newRow("empty paragraphs kept") << head + "\\par\\par x\\par\\par }" << QByteArray("\r\n\r\nx\r\n");
    QTest::newRow("line break") << head + "a\\line b\\par }" << QByteArray("a\r\nb\r\n");
    QTest::newRow("line break at the end") << head + "a\\line}" << QByteArray("a\r\n");
    QTest::newRow("accents and euro") << head + "\\'e9t\\'e9 \\'80\\par }" << QByteArray("\xe9t\xe9 \x80\r\n");
    QTest::newRow("outside Windows-1252") << head + "\\u937?\\par }" << QByteArray("?\r\n");
    QTest::newRow("hidden text") << head + "a{\\v b}c\\par }" << QByteArray("ac\r\n");
    QTest::newRow("plain text, CR LF") << QByteArray("un\r\ndeux\r\n") << QByteArray("un\r\ndeux\r\n");
    QTest::newRow("plain text, lone CR and LF") << QByteArray("a\rb\nc") << QByteArray("a\r\nb\r\nc\r\n");
    QTest::newRow("plain text, Ctrl-Z") << QByteArray("a\r\nb\x1a"
                                                      "c")
                                        << QByteArray("a\r\nb\r\n");
    QTest::newRow("plain text, controls") << QByteArray("a\x01\tb") << QByteArray("a \tb\r\n");
}

void TestRtfText::equalsBuiltDocument()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    QCOMPARE(rtf::plainTextLines(bytes), expected);
    QCOMPARE(viaDocument(bytes), expected);
}

void TestRtfText::realDocuments()
{
    QStringList roots{qEnvironmentVariable("VELMORA_TEST_DATA") + QStringLiteral("/rtf")};
#ifdef VELMORA_FUZZ_CORPUS
    roots.append(QStringLiteral(VELMORA_FUZZ_CORPUS));
#endif
    int files = 0;
    for (const QString &root : roots) {
        QDirIterator it(root, {QStringLiteral("*.rtf"), QStringLiteral("*.qvt")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
            const QByteArray bytes = f.readAll();
            const QByteArray streamed = rtf::plainTextLines(bytes);
            QVERIFY2(streamed == viaDocument(bytes), qPrintable(f.fileName()));
            files += streamed.isEmpty() ? 0 : 1;
        }
    }
    QVERIFY(files >= 2);
}

void TestRtfText::randomDocuments_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("editor documents") << 0;
    QTest::newRow("random RTF") << 1;
    QTest::newRow("random bytes") << 2;
}

void TestRtfText::randomDocuments()
{
    QFETCH(int, kind);
    QRandomGenerator rng(20261207u + quint32(kind));
    for (int i = 0; i < 300; ++i) {
        const QByteArray bytes = kind == 0 ? randomEditorDocument(rng) : kind == 1 ? randomRtf(rng) : randomBytes(rng);
        const QByteArray streamed = rtf::plainTextLines(bytes);
        const QByteArray built = viaDocument(bytes);
        if (streamed != built)
            QFAIL(qPrintable(QStringLiteral("case %1 differs:\n%2\nstreamed: %3\nbuilt:    %4")
                                     .arg(i)
                                     .arg(QString::fromLatin1(bytes.toPercentEncoding(" {}\\")))
                                     .arg(QString::fromLatin1(streamed.toPercentEncoding()))
                                     .arg(QString::fromLatin1(built.toPercentEncoding()))));
    }
}

void TestRtfText::largeDocument()
{
    // Many paragraphs of the control's stream: the buffers kept between paragraphs must not
    // carry text from one to the next.
    QByteArray bytes = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}";
    for (int i = 0; i < 5000; ++i)
        bytes += "\\pard\\plain\\f0\\fs20 ligne " + QByteArray::number(i) + (i % 7 ? " suite\\par\r\n" : "\\par\r\n");
    bytes += "}";
    QCOMPARE(rtf::plainTextLines(bytes), viaDocument(bytes));
}

QTEST_MAIN(TestRtfText)
#include "tst_rtftext.moc"
