// The ".qvb" and CSV files of a database, byte for byte.
#include "common/cp1252.h"
#include "common/velmoraerror.h"
#include "database/core/csvformat.h"
#include "database/core/qvbformat.h"
#include "common/testsupport/readonlydir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kDefaultWidths = QByteArray("0A0").repeated(32) + "\r\n";

Table parsed(const QByteArray &bytes)
{
    Table t;
    qvb::parse(bytes, t);
    return t;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestDbFormats : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writesTheExampleDatabase();
    void namesOnlyDatabase();
    void trailingEmptyRecordsAndFieldsAreNotWritten();
    void widthLine_data();
    void widthLine();
    void wideColumnIsCappedSoTheLineNeverShifts();
    void longCellComesBackAs253Characters();
    void whatIsWrittenReadsBack_data();
    void whatIsWrittenReadsBack();
    void nonHexPrefixKeepsRowAndColumn();
    void blankAndTruncatedLinesDoNotEmptyCells();
    void rowsAndColumnsBeyondTheTableAreCounted();
    void readingStopsAtCtrlZ();
    void lineEnds_data();
    void lineEnds();
    void windows1252RoundTrip();
    void everyByteAtEveryPlaceInALine();
    void charactersAtEveryPlaceOfARowAreWritten();
    void normalizedName_data();
    void normalizedName();
    void saveAndLoadFiles();
    void failedSaveLeavesOldFile();
    void loadMissingFile();
    void csvWrite();
    void csvRead_data();
    void csvRead();
    void csvRefusesWhatDoesNotFit_data();
    void csvRefusesWhatDoesNotFit();
    void csvRoundTrip();
};

void TestDbFormats::writesTheExampleDatabase()
{
    Table t;
    t.setCell(1, 0, QStringLiteral("Nom"));
    t.setCell(2, 0, QStringLiteral("Ville"));
    t.setCell(1, 1, QStringLiteral("Dupont"));
    t.setCell(2, 1, QStringLiteral("Paris"));
    t.NbFiches = 1;
    t.NbChamps = 2;
    const QByteArray expected = kDefaultWidths + "000001Nom\r\n000002Ville\r\n000101Dupont\r\n000102Paris\r\n";
    QCOMPARE(qvb::serialize(t), expected);
    QCOMPARE(kDefaultWidths.size(), 98);

    const Table back = parsed(expected);
    QCOMPARE(back.NbFiches, 1);
    QCOMPARE(back.NbChamps, 2);
    QCOMPARE(back.cell(2, 1), QStringLiteral("Paris"));
    QCOMPARE(back.width(32), 160);
}

void TestDbFormats::namesOnlyDatabase()
{
    Table t;
    t.setCell(1, 0, QStringLiteral("Nom"));
    t.NbChamps = 1;
    QCOMPARE(qvb::serialize(t), kDefaultWidths + "000001Nom\r\n");
    const Table back = parsed(qvb::serialize(t));
    QCOMPARE(back.NbFiches, 0);
    QCOMPARE(back.NbChamps, 1);
}

void TestDbFormats::trailingEmptyRecordsAndFieldsAreNotWritten()
{
    Table t;
    t.setCell(1, 1, QStringLiteral("a"));
    t.setCell(3, 2, QStringLiteral("b"));
    t.NbFiches = 5; // rows 3..5 empty
    t.NbChamps = 4; // field 4 empty
    const QByteArray bytes = qvb::serialize(t);
    QCOMPARE(bytes, kDefaultWidths + "000101a\r\n000203b\r\n");
    const Table back = parsed(bytes);
    QCOMPARE(back.NbFiches, 2);
    QCOMPARE(back.NbChamps, 3);
}

void TestDbFormats::widthLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QList<int>>("widths"); // fields 1, 2, 3, 32

    QTest::newRow("all default") << QByteArray("0A0").repeated(32) << QList<int>{160, 160, 160, 160};
    QTest::newRow("32 groups") << (QByteArray("064") + QByteArray("0C8").repeated(30) + "FFF")
                               << QList<int>{100, 200, 200, 4095};
    QTest::newRow("short line stops") << QByteArray("01E028") << QList<int>{30, 40, 160, 160};
    QTest::newRow("partial last group") << QByteArray("01E02") << QList<int>{30, 2, 160, 160};
    QTest::newRow("lower-case hex") << QByteArray("0ff") << QList<int>{255, 160, 160, 160};
    QTest::newRow("non-hex group skipped") << QByteArray("0x1050") << QList<int>{160, 80, 160, 160};
    QTest::newRow("blank is not hex") << QByteArray(" 50050") << QList<int>{160, 80, 160, 160};
    QTest::newRow("four digits shift the rest")
            << (QByteArray("1000") + QByteArray("0A0").repeated(31)) << QList<int>{256, 10, 10, 10};
    QTest::newRow("empty line") << QByteArray() << QList<int>{160, 160, 160, 160};
}

void TestDbFormats::widthLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QList<int>, widths);
    const Table t = parsed(line + "\r\n000101x\r\n");
    QCOMPARE(t.width(1), widths[0]);
    QCOMPARE(t.width(2), widths[1]);
    QCOMPARE(t.width(3), widths[2]);
    QCOMPARE(t.width(32), widths[3]);
    QCOMPARE(t.cell(1, 1), QStringLiteral("x"));
}

void TestDbFormats::wideColumnIsCappedSoTheLineNeverShifts()
{
    Table t;
    t.setWidth(1, 5000);
    t.setWidth(2, 4095);
    t.setWidth(3, 7);
    const QByteArray bytes = qvb::serialize(t);
    QVERIFY(bytes.startsWith("FFFFFF007"));
    QCOMPARE(bytes.indexOf("\r\n"), 96);
    const Table back = parsed(bytes);
    QCOMPARE(back.width(1), 4095);
    QCOMPARE(back.width(3), 7);
    QCOMPARE(back.width(4), 160);
}

void TestDbFormats::longCellComesBackAs253Characters()
{
    // A cell holds no more than a file gives back: the longest cell is written and read whole.
    Table t;
    t.setCell(1, 1, QString(300, u'x') + u'y');
    t.NbFiches = 1;
    t.NbChamps = 1;
    QCOMPARE(t.cell(1, 1), QString(253, u'x'));
    const QByteArray bytes = qvb::serialize(t);
    QVERIFY(bytes.contains("000101" + QByteArray(253, 'x') + "\r\n"));
    QCOMPARE(parsed(bytes).cell(1, 1), QString(253, u'x'));
}

void TestDbFormats::whatIsWrittenReadsBack_data()
{
    QTest::addColumn<QString>("text"); // put in record 2, field 2
    QTest::addColumn<QString>("held"); // what the cell then holds
    QTest::newRow("plain") << u"Dupont"_s << u"Dupont"_s;
    QTest::newRow("longest") << QString(253, u'a') << QString(253, u'a');
    QTest::newRow("too long") << QString(254, u'b') << QString(253, u'b');
    QTest::newRow("line feed") << u"un\ndeux"_s << u"un deux"_s;
    QTest::newRow("carriage return") << u"un\rdeux"_s << u"un deux"_s;
    QTest::newRow("CR LF") << u"un\r\ndeux"_s << u"un deux"_s;
    QTest::newRow("Ctrl-Z") << u"fin\x1a suite"_s << u"fin? suite"_s;
    QTest::newRow("separators and quotes") << u"a;b,\"c\"\td"_s << u"a;b,\"c\"\td"_s;
    QTest::newRow("blanks only") << u"   "_s << u"   "_s;
}

// Whatever a database holds, its ".qvb" file and its CSV export give back: the same cells,
// the same counts, records left empty in the middle included.
void TestDbFormats::whatIsWrittenReadsBack()
{
    QFETCH(QString, text);
    QFETCH(QString, held);
    Table t;
    t.setCell(1, 0, u"Nom"_s);
    t.setCell(2, 0, u"Note"_s);
    t.setCell(1, 1, u"premier"_s);
    t.setCell(2, 2, text);
    t.setCell(1, 4, u"après un vide"_s);
    t.NbFiches = 4;
    t.NbChamps = 2;
    QCOMPARE(t.cell(2, 2), held);
    Table fromQvb;
    qvb::parse(qvb::serialize(t), fromQvb);
    Table fromCsv;
    csv::parse(csv::serialize(t), fromCsv);
    for (const Table *back : {&fromQvb, &fromCsv}) {
        QCOMPARE(back->NbFiches, t.NbFiches);
        QCOMPARE(back->NbChamps, t.NbChamps);
        for (int r = 0; r <= t.NbFiches; ++r)
            for (int f = 1; f <= t.NbChamps; ++f)
                QCOMPARE(back->cell(f, r), t.cell(f, r));
    }
}

void TestDbFormats::nonHexPrefixKeepsRowAndColumn()
{
    // The broken line's text lands on the last cell that parsed, the counts are unchanged.
    const Table t = parsed(kDefaultWidths + "000201Dupont\r\nZZZZ01Durand\r\n000102Paris\r\n00G102Lyon\r\n");
    QCOMPARE(t.cell(1, 2), QStringLiteral("Durand"));
    QCOMPARE(t.cell(2, 1), QStringLiteral("Lyon"));
    QCOMPARE(t.NbFiches, 2);
    QCOMPARE(t.NbChamps, 2);
    // Before any line parsed, row and column are 0: nothing to store in the labels column.
    const Table u = parsed(kDefaultWidths + "XXXX01Perdu\r\n000101Gardé\r\n");
    QCOMPARE(u.cell(1, 0), QString());
    QCOMPARE(u.label(0), 0);
    QCOMPARE(u.cell(1, 1), QStringLiteral("Gard") + QChar(0xC3) + QChar(0xA9)); // bytes as cp1252
}

void TestDbFormats::blankAndTruncatedLinesDoNotEmptyCells()
{
    const Table t = parsed(kDefaultWidths + "000101Dupont\r\n\r\n0001\r\n");
    QCOMPARE(t.cell(1, 1), QStringLiteral("Dupont"));
    QCOMPARE(t.NbFiches, 1);
}

void TestDbFormats::rowsAndColumnsBeyondTheTableAreCounted()
{
    const Table t = parsed(kDefaultWidths + "000101a\r\n500001loin\r\n0001FFlarge\r\n");
    QCOMPARE(t.NbFiches, 0x5000);
    QCOMPARE(t.NbChamps, 0xFF);
    QCOMPARE(t.lastRecord(), Table::kMaxRecords);
    QCOMPARE(t.lastField(), Table::kMaxFields);
    QCOMPARE(t.cell(1, 1), QStringLiteral("a"));
    // Saving walks the table only.
    QCOMPARE(qvb::serialize(t), kDefaultWidths + "000101a\r\n");
}

void TestDbFormats::readingStopsAtCtrlZ()
{
    const Table t = parsed(kDefaultWidths
                           + "000101avant\x1A"
                             "000201apres\r\n");
    QCOMPARE(t.cell(1, 1), QStringLiteral("avant"));
    QCOMPARE(t.NbFiches, 1);
    QCOMPARE(parsed("\x1A"
                    "064")
                     .width(1),
             160);
}

void TestDbFormats::lineEnds_data()
{
    QTest::addColumn<QByteArray>("eol");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR") << QByteArray("\r");
}

void TestDbFormats::lineEnds()
{
    QFETCH(QByteArray, eol);
    const Table t = parsed("064" + eol + "000001Nom" + eol + "000101Dupont");
    QCOMPARE(t.width(1), 100);
    QCOMPARE(t.name(1), QStringLiteral("Nom"));
    QCOMPARE(t.cell(1, 1), QStringLiteral("Dupont"));
}

void TestDbFormats::windows1252RoundTrip()
{
    Table t;
    t.setCell(1, 1, QStringLiteral("Hélène € œuvre"));
    t.NbFiches = 1;
    t.NbChamps = 1;
    const QByteArray bytes = qvb::serialize(t);
    QVERIFY(bytes.contains("000101H\xE9l\xE8ne \x80 \x9Cuvre\r\n"));
    QCOMPARE(parsed(bytes).cell(1, 1), t.cell(1, 1));
    QCOMPARE(qvb::firstUnencodable(t).field, 0);
    t.setCell(1, 0, QStringLiteral("Łódź"));
    const qvb::CellPosition bad = qvb::firstUnencodable(t);
    QCOMPARE(bad.field, 1);
    QCOMPARE(bad.row, 0);
    QCOMPARE(bad.character, QChar(0x141));
}

// The reader takes long lines several bytes at a time: every byte that is neither a line
// end nor Ctrl-Z, wherever it stands in a cell and on either side of a line end, is text
// and decodes as Windows-1252.
void TestDbFormats::everyByteAtEveryPlaceInALine()
{
    for (int b = 1; b < 256; ++b) {
        if (b == '\r' || b == '\n' || b == 0x1A)
            continue;
        for (int at = 0; at < 18; ++at) {
            QByteArray cell(24, 'a');
            cell[at] = char(b);
            QString expected(24, u'a');
            expected[at] = cp1252::decodeByte(static_cast<unsigned char>(b));
            for (const char *eol : {"\r\n", "\n", "\r"}) {
                const Table t = parsed(kDefaultWidths + "000101" + cell + eol + "000102" + cell.right(at + 1) + eol);
                QVERIFY2(t.cell(1, 1) == expected, qPrintable(QStringLiteral("byte %1 at %2").arg(b).arg(at)));
                QVERIFY2(t.cell(2, 1) == expected.right(at + 1),
                         qPrintable(QStringLiteral("byte %1 at %2").arg(b).arg(at)));
            }
        }
    }
}

// The writer and the check before saving take a whole row at once, sixteen characters at
// a time: characters of Windows-1252 outside Latin-1, Latin-1 characters that
// Windows-1252 has not, and characters of neither must each be handled right wherever
// they stand in the row.
void TestDbFormats::charactersAtEveryPlaceOfARowAreWritten()
{
    const char16_t probes[] = {u'z', u'é', u'ÿ', u'€', u'œ', u'Ÿ', u'\u0080', u'\u009F', u'\u0100', u'\u4E2D'};
    for (char16_t probe : probes) {
        unsigned char code = 0;
        const char expected = cp1252::encodeChar(QChar(probe), code) ? char(code) : '?';
        for (int at = 0; at < 40; ++at) {
            Table t;
            QString row(40, u'a');
            row[at] = QChar(probe);
            t.setCell(1, 1, row.left(19));
            t.setCell(2, 1, row.mid(19));
            t.NbFiches = 1;
            t.NbChamps = 2;
            QByteArray line = QByteArray(40, 'a');
            line[at] = expected;
            const QByteArray bytes = qvb::serialize(t);
            const QString where = QStringLiteral("U+%1 at %2").arg(int(probe), 4, 16, QChar(u'0')).arg(at);
            QVERIFY2(bytes.endsWith("000101" + line.left(19) + "\r\n000102" + line.mid(19) + "\r\n"),
                     qPrintable(where));
            const qvb::CellPosition bad = qvb::firstUnencodable(t);
            if (expected == '?' && probe != u'?') {
                QVERIFY2(bad.field == (at < 19 ? 1 : 2) && bad.row == 1 && bad.character == QChar(probe),
                         qPrintable(where));
            } else {
                QVERIFY2(bad.field == 0, qPrintable(where));
            }
        }
    }
}

void TestDbFormats::normalizedName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no extension") << "/d/carnet"
                                  << "/d/carnet.qvb";
    QTest::newRow("other extension") << "/d/carnet.txt"
                                     << "/d/carnet.qvb";
    QTest::newRow("own extension") << "/d/carnet.qvb"
                                   << "/d/carnet.qvb";
    QTest::newRow("two dots") << "/d/carnet.old.qvb"
                              << "/d/carnet.qvb";
    QTest::newRow("dot in a folder") << "/home/mes.docs/carnet"
                                     << "/home/mes.docs/carnet.qvb";
    QTest::newRow("dots in folder and name") << "/a.b/c.d/carnet.x"
                                             << "/a.b/c.d/carnet.qvb";
    QTest::newRow("relative") << "carnet"
                              << "carnet.qvb";
}

void TestDbFormats::normalizedName()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(qvb::normalizedName(path), expected);
}

void TestDbFormats::saveAndLoadFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("carnet.qvb"));
    Table t;
    t.setCell(1, 0, QStringLiteral("Nom"));
    t.setCell(1, 3, QStringLiteral("Martin"));
    t.setWidth(2, 300);
    t.NbFiches = 3;
    t.NbChamps = 1;
    qvb::save(path, t);
    QCOMPARE(readFile(path), qvb::serialize(t));
    Table back;
    qvb::load(path, back);
    QCOMPARE(back.NbFiches, 3);
    QCOMPARE(back.cell(1, 3), QStringLiteral("Martin"));
    QCOMPARE(back.width(2), 300);
}

void TestDbFormats::failedSaveLeavesOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("carnet.qvb"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("ancien");
    f.close();
    bool thrown = false;
    {
        ReadOnlyDir locked(dir.path());
        if (!locked.active())
            QSKIP("cannot make a folder read-only here");
        Table t;
        t.setCell(1, 1, QStringLiteral("nouveau"));
        t.NbFiches = t.NbChamps = 1;
        try {
            qvb::save(path, t);
        } catch (const VelmoraError &e) {
            thrown = true;
            QVERIFY(!e.message().isEmpty());
        }
    }
    QVERIFY(thrown);
    QCOMPARE(readFile(path), QByteArray("ancien"));
}

void TestDbFormats::loadMissingFile()
{
    Table t;
    try {
        qvb::load(QStringLiteral("/nonexistent/carnet.qvb"), t);
        QFAIL("no error");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), QStringLiteral("Fichier introuvable"));
    }
    QCOMPARE(t.NbFiches, 0);
    QCOMPARE(t.width(1), 160);
}

void TestDbFormats::csvWrite()
{
    Table t;
    t.setCell(1, 0, QStringLiteral("Nom"));
    t.setCell(2, 0, QStringLiteral("Note"));
    t.setCell(1, 1, QStringLiteral("Hélène"));
    t.setCell(2, 1, QStringLiteral("dit \"oui\"; puis"));
    t.setCell(2, 3, QStringLiteral("x"));
    t.setCell(3, 1, QStringLiteral("hors champs"));
    t.NbFiches = 3;
    t.NbChamps = 2;
    QCOMPARE(csv::serialize(t), QStringLiteral("Nom;Note\r\nHélène;\"dit \"\"oui\"\"; puis\"\r\n;\r\n;x\r\n").toUtf8());
}

void TestDbFormats::csvRead_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("fields");
    QTest::addColumn<QString>("cell21"); // field 2 of record 1
    QTest::addColumn<QString>("name1");

    QTest::newRow("semicolons") << QByteArray("Nom;Ville\r\nDupont;Paris\r\n") << 1 << 2 << "Paris"
                                << "Nom";
    QTest::newRow("commas, LF") << QByteArray("Nom,Ville\nDupont,\"Paris, 15e\"\n") << 1 << 2 << "Paris, 15e"
                                << "Nom";
    QTest::newRow("tabs") << QByteArray("Nom\tVille\nDupont\tLyon") << 1 << 2 << "Lyon"
                          << "Nom";
    QTest::newRow("doubled quotes") << QByteArray("a;b\r\nx;\"le \"\"bon\"\"\"\r\n") << 1 << 2 << "le \"bon\""
                                    << "a";
    QTest::newRow("break in quotes") << QByteArray("a;b\r\nx;\"12 rue\r\nParis\"\r\ny;z\r\n") << 2 << 2
                                     << "12 rue Paris"
                                     << "a";
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBFNom;Pr\xC3\xA9nom\r\nA;\xC3\x89lise\r\n") << 1 << 2
                                    << "Élise"
                                    << "Nom";
    QTest::newRow("Windows-1252") << QByteArray("Nom;Pr\xE9nom\r\nA;\xC9lise \x80\r\n") << 1 << 2 << "Élise €"
                                  << "Nom";
    QTest::newRow("blank lines at the end") << QByteArray("a;b\r\n1;2\r\n\r\n\r\n") << 1 << 2 << "2"
                                            << "a";
    QTest::newRow("blank record inside") << QByteArray("a;b\r\n\r\n1;2\r\n") << 2 << 2 << ""
                                         << "a";
    QTest::newRow("padding columns") << (QByteArray("a;b") + QByteArray(";").repeated(40) + "\r\n1;2\r\n") << 1 << 2
                                     << "2"
                                     << "a";
    QTest::newRow("names only") << QByteArray("a;b;c") << 0 << 3 << ""
                                << "a";
    QTest::newRow("empty") << QByteArray() << 0 << 0 << ""
                           << "";
}

void TestDbFormats::csvRead()
{
    QFETCH(QByteArray, data);
    Table t;
    csv::parse(data, t);
    QTEST(t.NbFiches, "records");
    QTEST(t.NbChamps, "fields");
    QTEST(t.cell(2, 1), "cell21");
    QTEST(t.name(1), "name1");
}

void TestDbFormats::csvRefusesWhatDoesNotFit_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");
    QByteArray wide = "n";
    for (int i = 0; i < 32; ++i)
        wide += ";v";
    QTest::newRow("33 fields") << ("a\r\nb\r\n" + wide + "\r\n")
                               << "Ligne 3 : plus de 32 champs (une base de données en a 32 au plus)";
    QTest::newRow("254 characters") << ("a;b\r\n1;" + QByteArray(254, 'x') + "\r\n")
                                    << "Ligne 2, champ 2 : texte de plus de 253 caractères";
    QTest::newRow("16385 records") << ("n\r\n" + QByteArray("r\r\n").repeated(16385))
                                   << "Plus de 16384 fiches : une base de données en contient 16384 au plus";
    QTest::newRow("quote never closed") << QByteArray("a;b\r\n1;\"2\r\n3;4\r\n")
                                        << "Ligne 2 : guillemet ouvrant jamais refermé";
}

void TestDbFormats::csvRefusesWhatDoesNotFit()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    Table t;
    try {
        csv::parse(data, t);
        QFAIL("accepted");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), message);
    }
    Table full;
    csv::parse("n\r\n" + QByteArray("r\r\n").repeated(16384), full);
    QCOMPARE(full.NbFiches, 16384);
}

void TestDbFormats::csvRoundTrip()
{
    Table t;
    t.setCell(1, 0, QStringLiteral("Nom"));
    t.setCell(2, 0, QStringLiteral("Adresse"));
    t.setCell(1, 1, QStringLiteral("O'Hara; \"Jim\""));
    t.setCell(2, 2, QStringLiteral(" espacé "));
    t.setCell(1, 2, QStringLiteral("a,b\tc"));
    t.setCell(2, 0, QStringLiteral("Rue, numéro, étage"));
    t.NbFiches = 2;
    t.NbChamps = 2;
    Table back;
    csv::parse(csv::serialize(t), back);
    QCOMPARE(back.NbFiches, 2);
    QCOMPARE(back.NbChamps, 2);
    for (int r = 0; r <= 2; ++r)
        for (int f = 1; f <= 2; ++f)
            QCOMPARE(back.cell(f, r), t.cell(f, r));
}

QTEST_GUILESS_MAIN(TestDbFormats)
#include "tst_dbformats.moc"
