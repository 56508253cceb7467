// The ".ods" package: what Velmora writes is a valid package that reads back with all the
// workbook holds; packages laid out as the other spreadsheets write them read with their
// styles, settings and meta data; damaged, foreign and oversized packages give a French
// message and leave the open workbook as it was; LibreOffice and Gnumeric read what Velmora
// writes and Velmora reads what they write.
#include "common/tests/libreofficerun.h"
#include "common/velmoraerror.h"
#include "spreadsheet/core/odsfile.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>

using namespace sheet;

class TestOdsFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTripKeepsEverything();
    void packageLayout();
    void readsPartsAsOtherSpreadsheetsWriteThem();
    void hostileInput_data();
    void hostileInput();
    void filesByName();
    void libreOfficeReadsOurPackage();
    void readsWhatLibreOfficeWrites();
    void gnumericReadsOurPackage();
    void readsWhatGnumericWrites();

private:
    QTemporaryDir dir;
};

namespace {

using Entries = QList<QPair<QByteArray, QByteArray>>;

// A zip archive of `entries`, in that order, deflated.
QByteArray zipOf(const Entries &entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t *z = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    for (const auto &e : entries) {
        zip_source_t *s = zip_source_buffer(z, e.second.constData(), zip_uint64_t(e.second.size()), 0);
        const zip_int64_t i = zip_file_add(z, e.first.constData(), s, 0);
        zip_set_file_compression(z, zip_uint64_t(i), ZIP_CM_DEFLATE, 9);
    }
    zip_close(z);
    zip_stat_t st;
    zip_source_stat(buffer, &st);
    QByteArray out(qsizetype(st.size), Qt::Uninitialized);
    zip_source_open(buffer);
    zip_source_read(buffer, out.data(), st.size);
    zip_source_close(buffer);
    zip_source_free(buffer);
    return out;
}

// The names of a zip archive's entries, in order, with each one's bytes and whether it is stored.
struct Entry
{
    QByteArray name, bytes;
    bool stored;
};
QList<Entry> entriesOf(const QByteArray &package)
{
    QList<Entry> out;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *src = zip_source_buffer_create(package.constData(), zip_uint64_t(package.size()), 0, &error);
    zip_t *z = zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!z)
        return out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(z, zip_uint64_t(i), 0, &st);
        QByteArray bytes(qsizetype(st.size), Qt::Uninitialized);
        zip_file_t *f = zip_fopen_index(z, zip_uint64_t(i), 0);
        zip_fread(f, bytes.data(), st.size);
        zip_fclose(f);
        out.append({st.name, bytes, st.comp_method == ZIP_CM_STORE});
    }
    zip_discard(z);
    return out;
}

const QByteArray kNamespaces = "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                               "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
                               "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                               "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                               "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
                               "xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\" "
                               "xmlns:of=\"urn:oasis:names:tc:opendocument:xmlns:of:1.2\"";

const QByteArray kContent = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content " + kNamespaces
        + " office:version=\"1.2\"><office:body><office:spreadsheet><table:table table:name=\"Feuille1\">"
          "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"7\"><text:p>7</text:p>"
          "</table:table-cell></table:table-row></table:table></office:spreadsheet></office:body>"
          "</office:document-content>";

const QByteArray kType = "application/vnd.oasis.opendocument.spreadsheet";

// A workbook of three sheets with texts, numbers, formulas across sheets, formats, sizes,
// frozen panes and a chart.
void fillSample(Workbook &book)
{
    book.renameSheet(0, u"Recettes"_qs);
    book.renameSheet(1, u"Dépenses 2026"_qs);
    book.setEntry(0, 1, 1, u"Libellé"_qs);
    book.setEntry(0, 2, 1, u"12,5"_qs);
    book.setEntry(0, 3, 1, u"=A2*4"_qs);
    book.setEntry(0, 4, 1, u"=SUM('Dépenses 2026'!B1:B3)"_qs);
    book.setEntry(0, 5, 1, u"=1/0"_qs);
    book.setEntry(0, 6, 1, u"Crème & <brûlée>"_qs);
    book.setEntry(0, 7, 1, u"12/03/1999"_qs);
    book.setEntry(0, 8, 1, u"  deux  espaces"_qs);
    book.setEntry(0, 2, 2, u"1234,5"_qs);
    book.setEntry(1, 1, 2, u"1,25"_qs);
    book.setEntry(1, 2, 2, u"2"_qs);
    book.setEntry(1, 3, 2, u"=B1*B2"_qs);
    book.setEntry(2, 1, 1, u"troisième"_qs);
    book.modifyFormat(0, CellRange::single(1, 1), [](CellFormat &f) {
        f.bold = true;
        f.italic = true;
        f.colour = 0xC9211E;
    });
    book.modifyFormat(0, CellRange::single(2, 2), [](CellFormat &f) { f.numberFormat = u"# ##0,00"_qs; });
    book.setColumnWidth(0, 1, 1, 2880);
    book.setColumnWidth(1, 2, 2, 720);
    book.setRowHeight(0, 2, 2, 567);
    book.setFrozenRows(0, 2);
    book.setFrozenColumns(0, 1);
    book.addChart(0, 5, CellRange{1, 1, 3, 1});
}

// What a workbook read back from another program must still hold of the sample.
void checkSampleValues(const Workbook &back)
{
    QCOMPARE(back.sheetName(0), u"Recettes"_qs);
    QCOMPARE(back.sheetName(1), u"Dépenses 2026"_qs);
    QCOMPARE(back.displayText(0, 1, 1), u"Libellé"_qs);
    QCOMPARE(back.value(0, 3, 1).asNumber(), 50.0);
    QCOMPARE(back.value(0, 4, 1).asNumber(), 5.75);
    QCOMPARE(back.displayText(0, 5, 1), u"#DIV/0!"_qs);
    QCOMPARE(back.displayText(0, 6, 1), u"Crème & <brûlée>"_qs);
    QCOMPARE(back.value(0, 7, 1).asNumber(), 36231.0);
    QCOMPARE(back.value(0, 2, 2).asNumber(), 1234.5);
    QCOMPARE(back.value(1, 3, 2).asNumber(), 2.5);
    QCOMPARE(back.displayText(2, 1, 1), u"troisième"_qs);
}

} // namespace

void TestOdsFile::roundTripKeepsEverything()
{
    Workbook original;
    fillSample(original);
    Workbook copy;
    ods::read(ods::write(original), copy);
    QCOMPARE(copy.sheetCount(), 3);
    checkSampleValues(copy);
    for (int row = 1; row <= 8; ++row)
        for (int col = 1; col <= 2; ++col) {
            QCOMPARE(copy.displayText(0, row, col), original.displayText(0, row, col));
            QCOMPARE(copy.formulaText(0, row, col), original.formulaText(0, row, col));
            QCOMPARE(copy.format(0, row, col), original.format(0, row, col));
        }
    QCOMPARE(copy.displayText(0, 2, 2), u"1 234,50"_qs);
    QCOMPARE(copy.columnWidth(0, 1), 2880);
    QCOMPARE(copy.columnWidth(1, 2), 720);
    QCOMPARE(copy.rowHeight(0, 2), 567);
    QCOMPARE(copy.frozenRows(0), 2);
    QCOMPARE(copy.frozenColumns(0), 1);
    QCOMPARE(copy.charts(0).size(), size_t(1));
    QCOMPARE(copy.charts(0)[0].range, (CellRange{1, 1, 3, 1}));
    QVERIFY(!copy.isModified());
    // The formulas still compute.
    copy.setEntry(1, 1, 2, u"2"_qs);
    QCOMPARE(copy.value(0, 4, 1).asNumber(), 8.0);
}

void TestOdsFile::packageLayout()
{
    Workbook book;
    fillSample(book);
    const QByteArray package = ods::write(book);
    // "mimetype" first, stored, with no extra field: the type reads at byte 38.
    QCOMPARE(package.mid(30, 8), QByteArray("mimetype"));
    QCOMPARE(package.at(28) | package.at(29), 0);
    QCOMPARE(package.mid(38, kType.size()), kType);

    const QList<Entry> entries = entriesOf(package);
    QStringList names;
    for (const Entry &e : entries)
        names << QString::fromUtf8(e.name);
    QCOMPARE(names,
             (QStringList{u"mimetype"_qs, u"content.xml"_qs, u"styles.xml"_qs, u"meta.xml"_qs, u"settings.xml"_qs,
                          u"Object 1/content.xml"_qs, u"META-INF/manifest.xml"_qs}));
    QVERIFY(entries[0].stored);
    QCOMPARE(entries[0].bytes, kType);
    auto part = [&](const char *name) {
        for (const Entry &e : entries)
            if (e.name == name)
                return QString::fromUtf8(e.bytes);
        return QString();
    };
    // Each part has its own root and only what belongs to it.
    const QString content = part("content.xml");
    QVERIFY(content.contains(u"<office:document-content "_qs));
    QVERIFY(content.contains(u"<office:automatic-styles>"_qs));
    QVERIFY(content.contains(u"<office:spreadsheet>"_qs));
    QVERIFY(content.contains(u"xlink:href=\"./Object 1\""_qs));
    QVERIFY(!content.contains(u"<office:meta>"_qs));
    QVERIFY(!content.contains(u"<office:settings>"_qs));
    QVERIFY(!content.contains(u"<office:styles>"_qs));
    QVERIFY(!content.contains(u"office:mimetype"_qs));
    const QString styles = part("styles.xml");
    QVERIFY(styles.contains(u"<office:document-styles "_qs));
    QVERIFY(styles.contains(u"<office:styles>"_qs));
    QVERIFY(styles.contains(u"<office:font-face-decls>"_qs));
    QVERIFY(!styles.contains(u"<office:body>"_qs));
    QVERIFY(part("meta.xml").contains(u"<meta:generator>Velmora</meta:generator>"_qs));
    QVERIFY(part("settings.xml").contains(u"<office:document-settings "_qs));
    QVERIFY(part("Object 1/content.xml").contains(u"<chart:chart chart:class=\"chart:bar\">"_qs));
    const QString manifest = part("META-INF/manifest.xml");
    for (const QString &path : {u"/"_qs, u"content.xml"_qs, u"styles.xml"_qs, u"meta.xml"_qs, u"settings.xml"_qs,
                                u"Object 1/"_qs, u"Object 1/content.xml"_qs})
        QVERIFY2(manifest.contains(u"manifest:full-path=\"%1\""_qs.arg(path)), qPrintable(path));
    QVERIFY(manifest.contains(u"manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\""_qs));
}

// A package as the other spreadsheets lay it out: the common styles, their number styles and
// fonts in styles.xml (here under other prefixes than content.xml's), automatic styles in both
// parts under the same name, frozen panes in settings.xml, the generator in meta.xml.
void TestOdsFile::readsPartsAsOtherSpreadsheetsWriteThem()
{
    const QByteArray content = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content " + kNamespaces
            + " office:version=\"1.3\"><office:font-face-decls><style:font-face style:name=\"Liberation Sans\" "
              "svg:font-family=\"'Liberation Sans'\" "
              "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\"/></office:font-face-decls>"
              "<office:automatic-styles><style:style style:name=\"ce1\" style:family=\"table-cell\" "
              "style:parent-style-name=\"Monnaie\"><style:text-properties fo:font-style=\"italic\"/></style:style>"
              "</office:automatic-styles><office:body><office:spreadsheet><table:table table:name=\"Feuille1\">"
              "<table:table-row><table:table-cell table:style-name=\"ce1\" office:value-type=\"float\" "
              "office:value=\"1234.5\"><text:p>1 234,50 €</text:p></table:table-cell>"
              "<table:table-cell table:formula=\"of:=TEXT([.A1];&quot;0.0&quot;)\" office:value-type=\"string\" "
              "office:string-value=\"1234.5\"><text:p>1234.5</text:p></table:table-cell>"
              "<table:table-cell office:value-type=\"string\"><text:p> </text:p></table:table-cell>"
              "<table:table-cell office:value-type=\"string\"><text:p><text:span>un</text:span> "
              "<text:span>deux</text:span></text:p></table:table-cell>"
              "<table:table-cell><draw:frame xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
              "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" svg:width=\"4in\" "
              "svg:height=\"2in\"><draw:object xmlns:xl=\"http://www.w3.org/1999/xlink\" "
              "xl:href=\"./Object 1\" xl:type=\"simple\"/></draw:frame></table:table-cell>"
              "</table:table-row></table:table></office:spreadsheet></office:body></office:document-content>";
    const QByteArray styles =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<o:document-styles "
            "xmlns:o=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:s=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
            "xmlns:f=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
            "xmlns:n=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\" "
            "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" o:version=\"1.3\">"
            "<o:font-face-decls><s:font-face s:name=\"Serif Titre\" svg:font-family=\"'Liberation Serif'\"/>"
            "</o:font-face-decls><o:styles>"
            "<n:number-style s:name=\"N2\"><n:number n:decimal-places=\"2\" n:min-decimal-places=\"2\" "
            "n:min-integer-digits=\"1\" n:grouping=\"true\"/></n:number-style>"
            "<s:style s:name=\"Default\" s:family=\"table-cell\"/>"
            "<s:style s:name=\"Monnaie\" s:family=\"table-cell\" s:parent-style-name=\"Default\" "
            "s:data-style-name=\"N2\"><s:text-properties f:font-weight=\"bold\" s:font-name=\"Serif Titre\"/>"
            "</s:style></o:styles><o:automatic-styles><s:style s:name=\"ce1\" s:family=\"table-cell\">"
            "<s:text-properties s:text-underline-style=\"solid\"/></s:style><s:page-layout s:name=\"Mpm1\"/>"
            "</o:automatic-styles><o:master-styles><s:master-page s:name=\"Default\" "
            "s:page-layout-name=\"Mpm1\"/></o:master-styles></o:document-styles>";
    const QByteArray settings =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-settings "
            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\" office:version=\"1.3\">"
            "<office:settings><config:config-item-set config:name=\"ooo:view-settings\">"
            "<config:config-item-map-indexed config:name=\"Views\"><config:config-item-map-entry>"
            "<config:config-item-map-named config:name=\"Tables\"><config:config-item-map-entry "
            "config:name=\"Feuille1\"><config:config-item config:name=\"HorizontalSplitMode\" "
            "config:type=\"short\">2</config:config-item><config:config-item config:name=\"VerticalSplitMode\" "
            "config:type=\"short\">2</config:config-item><config:config-item "
            "config:name=\"HorizontalSplitPosition\" config:type=\"int\">1</config:config-item>"
            "<config:config-item config:name=\"VerticalSplitPosition\" config:type=\"int\">3</config:config-item>"
            "</config:config-item-map-entry></config:config-item-map-named><config:config-item "
            "config:name=\"ShowGrid\" config:type=\"boolean\">false</config:config-item>"
            "</config:config-item-map-entry></config:config-item-map-indexed></config:config-item-set>"
            "</office:settings></office:document-settings>";
    const QByteArray meta = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-meta "
                            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                            "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\"><office:meta>"
                            "<meta:generator>Tableur/1.0</meta:generator></office:meta></office:document-meta>";
    const QByteArray chart = "<office:document-content " + kNamespaces
            + " xmlns:chart=\"urn:oasis:names:tc:opendocument:xmlns:chart:1.0\"><office:body><office:chart>"
              "<chart:chart chart:class=\"chart:bar\"><chart:plot-area "
              "table:cell-range-address=\"Feuille1.A1:Feuille1.B1\"/></chart:chart></office:chart></office:body>"
              "</office:document-content>";
    Workbook book;
    ods::read(zipOf({{"mimetype", kType},
                     {"content.xml", content},
                     {"Object 1/content.xml", chart},
                     {"styles.xml", styles},
                     {"meta.xml", meta},
                     {"settings.xml", settings}}),
              book);
    QCOMPARE(book.sheetName(0), u"Feuille1"_qs);
    QCOMPARE(book.value(0, 1, 1).asNumber(), 1234.5);
    const CellFormat f = book.format(0, 1, 1);
    QVERIFY(f.bold); // from the common style of styles.xml
    QVERIFY(f.italic); // from the content's own automatic style
    QVERIFY(!f.underline); // not from styles.xml's automatic style of the same name
    QCOMPARE(f.fontName, u"Liberation Serif"_qs); // font declared in styles.xml
    QCOMPARE(book.displayText(0, 1, 1), u"1 234,50"_qs); // number style of styles.xml
    // The generator in meta.xml: TEXT codes are in the usual convention.
    QCOMPARE(book.value(0, 1, 2).asText(), u"1234,5"_qs);
    QCOMPARE(book.value(0, 1, 3).asText(), u" "_qs);
    QCOMPARE(book.value(0, 1, 4).asText(), u"un deux"_qs); // the space between two spans is text
    QCOMPARE(book.frozenRows(0), 3);
    QCOMPARE(book.frozenColumns(0), 1);
    QVERIFY(!book.showGridLines());
    // The chart embedded as an object of the package, with the range its own content gives.
    QCOMPARE(book.charts(0).size(), size_t(1));
    QCOMPARE(book.charts(0)[0].range, (CellRange{1, 1, 1, 2}));
}

void TestOdsFile::hostileInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    Workbook sample;
    sample.setEntry(0, 1, 1, u"1"_qs);
    const QByteArray good = ods::write(sample);
    QTest::newRow("not a zip") << QByteArray("PK\x03\x04 pas une archive", 24) << u"archive zip ne se lit pas"_qs;
    QTest::newRow("cut short") << good.left(good.size() / 2) << u"archive zip ne se lit pas"_qs;
    QByteArray corrupt = good;
    corrupt[good.indexOf("content.xml") + 20] = corrupt[good.indexOf("content.xml") + 20] ^ 0x55;
    QTest::newRow("damaged data") << corrupt << u"endommagé"_qs;
    QTest::newRow("no content.xml") << zipOf({{"mimetype", kType}, {"styles.xml", "<a/>"}}) << u"content.xml manque"_qs;
    QTest::newRow("a text document") << zipOf(
            {{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", kContent}})
                                     << u"d'un autre type (application/vnd.oasis.opendocument.text)"_qs;
    QTest::newRow("password") << zipOf({{"mimetype", kType},
                                        {"content.xml", "\x01\x02 chiffré"},
                                        {"META-INF/manifest.xml", "<manifest:encryption-data/>"}})
                              << u"protégé par un mot de passe"_qs;
    QTest::newRow("content not XML") << zipOf({{"mimetype", kType}, {"content.xml", "<office:document-content"}})
                                     << u"content.xml n'est pas un XML lisible"_qs;
    QTest::newRow("styles not XML") << zipOf({{"content.xml", kContent}, {"styles.xml", "<<"}})
                                    << u"styles.xml n'est pas un XML lisible"_qs;
    QTest::newRow("content of another kind")
            << zipOf({{"content.xml", "<office:document-styles " + kNamespaces + "/>"}}) << u"n'est pas un classeur"_qs;
    QTest::newRow("no spreadsheet in the body")
            << zipOf({{"content.xml",
                       "<office:document-content " + kNamespaces
                               + "><office:body><office:text/></office:body></office:document-content>"}})
            << u"n'est pas un classeur"_qs;
    // 130 MB of spaces in each of two parts: each alone would fit, together they do not.
    const QByteArray spaces(130 * 1024 * 1024, ' ');
    QTest::newRow("zip bomb") << zipOf({{"content.xml", spaces}, {"styles.xml", spaces}}) << u"256 Mo"_qs;
}

void TestOdsFile::hostileInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    Workbook book;
    book.setEntry(0, 1, 1, u"garde-moi"_qs);
    try {
        ods::read(bytes, book);
        QFAIL("accepted");
    } catch (const VelmoraError &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
    }
    QCOMPARE(book.value(0, 1, 1).asText(), u"garde-moi"_qs);
    QVERIFY(book.isModified());
}

// Written by name (".ods" a package, else ".qvc"), read by content whatever the name; a
// failed write leaves the file and the modified state as they were.
void TestOdsFile::filesByName()
{
    Workbook book;
    book.setEntry(0, 1, 1, u"1"_qs);
    const QString ods = dir.filePath(u"bilan.ods"_qs);
    const QString qvc = dir.filePath(u"bilan.qvc"_qs);
    workbookfile::write(ods, book);
    QVERIFY(!book.isModified());
    book.setEntry(0, 1, 1, u"2"_qs);
    workbookfile::write(qvc, book);
    QFile f(ods);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(ods::isPackage(f.readAll()));
    QFile g(qvc);
    QVERIFY(g.open(QIODevice::ReadOnly));
    QVERIFY(g.readAll().startsWith("<?xml"));
    QVERIFY(workbookfile::isOdsName(u"/tmp/a.b/Bilan.ODS"_qs));
    QVERIFY(!workbookfile::isOdsName(u"/tmp/ods/bilan.qvc"_qs));

    // A package under another name still reads as one.
    const QString renamed = dir.filePath(u"paquet.qvc"_qs);
    QVERIFY(QFile::copy(ods, renamed));
    Workbook back;
    workbookfile::read(renamed, back);
    QCOMPARE(back.value(0, 1, 1).asNumber(), 1.0);
    workbookfile::read(qvc, back);
    QCOMPARE(back.value(0, 1, 1).asNumber(), 2.0);

    book.setEntry(0, 1, 1, u"3"_qs);
    QVERIFY_THROWS_EXCEPTION(VelmoraError, workbookfile::write(dir.filePath(u"absent/bilan.ods"_qs), book));
    QVERIFY(book.isModified());
    workbookfile::read(ods, back);
    QCOMPARE(back.value(0, 1, 1).asNumber(), 1.0);
    try {
        workbookfile::read(dir.filePath(u"absent.ods"_qs), back);
        QFAIL("accepted");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), u"Fichier introuvable"_qs);
    }
}

// LibreOffice opens the package Velmora writes: turned into its own flat file, it shows the
// same values, sheets, formulas, bold cells and column widths.
void TestOdsFile::libreOfficeReadsOurPackage()
{
    if (lotest::sofficePath().isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    Workbook book;
    fillSample(book);
    const QString in = dir.filePath(u"velmora.ods"_qs);
    workbookfile::write(in, book);
    const QString outDir = dir.filePath(u"lo-fods"_qs);
    const QString failure =
            lotest::runSoffice(dir.path(), {u"--convert-to"_qs, u"fods"_qs, u"--outdir"_qs, outDir, in});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    Workbook back;
    qvc::readFile(outDir + u"/velmora.fods"_qs, back);
    QCOMPARE(back.sheetCount(), 3);
    checkSampleValues(back);
    QCOMPARE(back.formulaText(1, 3, 2), book.formulaText(1, 3, 2));
    QVERIFY(back.format(0, 1, 1).bold);
    QVERIFY(back.format(0, 1, 1).italic);
    QCOMPARE(back.displayText(0, 2, 2), u"1 234,50"_qs);
    QVERIFY2(qAbs(back.columnWidth(0, 1) - 2880) <= 30, qPrintable(QString::number(back.columnWidth(0, 1))));
    QVERIFY2(qAbs(back.columnWidth(1, 2) - 720) <= 30, qPrintable(QString::number(back.columnWidth(1, 2))));
    QCOMPARE(back.charts(0).size(), size_t(1));
    QCOMPARE(back.charts(0)[0].range, (CellRange{1, 1, 3, 1}));
}

// Velmora opens the package LibreOffice makes of a workbook (here from Velmora's own flat
// file), with values, formulas that keep computing, formats, sheets and sizes. (Frozen panes
// are view settings, which LibreOffice writes only from a window.)
void TestOdsFile::readsWhatLibreOfficeWrites()
{
    if (lotest::sofficePath().isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    Workbook book;
    fillSample(book);
    const QString fods = dir.filePath(u"lo-source.fods"_qs);
    qvc::writeFile(fods, book);
    const QString outDir = dir.filePath(u"lo-ods"_qs);
    const QString failure =
            lotest::runSoffice(dir.path(), {u"--convert-to"_qs, u"ods"_qs, u"--outdir"_qs, outDir, fods});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    Workbook back;
    workbookfile::read(outDir + u"/lo-source.ods"_qs, back);
    QCOMPARE(back.sheetCount(), 3);
    checkSampleValues(back);
    QVERIFY(back.format(0, 1, 1).bold);
    QCOMPARE(back.format(0, 1, 1).colour, 0xC9211Eu);
    QCOMPARE(back.displayText(0, 2, 2), u"1 234,50"_qs);
    QVERIFY2(qAbs(back.columnWidth(0, 1) - 2880) <= 30, qPrintable(QString::number(back.columnWidth(0, 1))));
    QVERIFY2(qAbs(back.rowHeight(0, 2) - 567) <= 30, qPrintable(QString::number(back.rowHeight(0, 2))));
    back.setEntry(1, 1, 2, u"2"_qs);
    QCOMPARE(back.value(0, 4, 1).asNumber(), 8.0);
    QCOMPARE(back.value(1, 3, 2).asNumber(), 4.0);
}

namespace {
QString ssconvertPath() { return QStandardPaths::findExecutable(u"ssconvert"_qs); }

QString runSsconvert(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(ssconvertPath(), args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return u"ssconvert did not finish in time"_qs;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return u"ssconvert failed: "_qs + QString::fromLocal8Bit(p.readAll());
    return QString();
}
} // namespace

// Gnumeric reads the package Velmora writes: each sheet as CSV shows the same values.
void TestOdsFile::gnumericReadsOurPackage()
{
    if (ssconvertPath().isEmpty())
        QSKIP("Gnumeric (ssconvert) is not installed");
    Workbook book;
    fillSample(book);
    const QString in = dir.filePath(u"pour-gnumeric.ods"_qs);
    workbookfile::write(in, book);
    const QString csv = dir.filePath(u"gnumeric-%n.csv"_qs);
    const QString failure = runSsconvert({u"-S"_qs, u"-T"_qs, u"Gnumeric_stf:stf_csv"_qs, in, csv});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    auto sheet = [&](int n) {
        QFile f(dir.filePath(u"gnumeric-%1.csv"_qs.arg(n)));
        if (!f.open(QIODevice::ReadOnly))
            return QList<QStringList>();
        return lotest::parseCsv(QString::fromUtf8(f.readAll()), u',');
    };
    const QList<QStringList> first = sheet(0);
    QVERIFY2(first.size() >= 8, qPrintable(QString::number(first.size())));
    QCOMPARE(first[0][0], u"Libellé"_qs);
    QCOMPARE(first[1][0].toDouble(), 12.5);
    QCOMPARE(first[2][0].toDouble(), 50.0); // =A2*4, computed by Gnumeric
    QCOMPARE(first[3][0].toDouble(), 5.75); // across sheets
    QCOMPARE(first[4][0], u"#DIV/0!"_qs);
    QCOMPARE(first[5][0], u"Crème & <brûlée>"_qs);
    QCOMPARE(first[7][0], u"  deux  espaces"_qs);
    QVERIFY2(QString(first[1][1]).remove(u' ').remove(QChar(0xa0)).startsWith(u"1234"_qs), qPrintable(first[1][1]));
    const QList<QStringList> second = sheet(1); // only the used columns: B
    QCOMPARE(second.size(), 3);
    QCOMPARE(second[2].last().toDouble(), 2.5); // =B1*B2
    QCOMPARE(sheet(2)[0][0], u"troisième"_qs);
}

// Velmora reads the package Gnumeric writes of a CSV file with a formula.
void TestOdsFile::readsWhatGnumericWrites()
{
    if (ssconvertPath().isEmpty())
        QSKIP("Gnumeric (ssconvert) is not installed");
    const QString in = dir.filePath(u"gnumeric-source.csv"_qs);
    QFile f(in);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Libell\xc3\xa9,Montant\nLoyer,1234.5\nVin,8\nTotal,=SUM(B2:B3)\n");
    f.close();
    const QString out = dir.filePath(u"gnumeric-made.ods"_qs);
    const QString failure = runSsconvert({in, out});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    Workbook book;
    workbookfile::read(out, book);
    QCOMPARE(book.displayText(0, 1, 1), u"Libellé"_qs);
    QCOMPARE(book.value(0, 2, 2).asNumber(), 1234.5);
    QCOMPARE(book.value(0, 4, 2).asNumber(), 1242.5);
    book.setEntry(0, 3, 2, u"10"_qs);
    QCOMPARE(book.value(0, 4, 2).asNumber(), 1244.5);
}

QTEST_MAIN(TestOdsFile)
#include "tst_odsfile.moc"
