// The quick paths of reading and writing workbooks give what the general ones give: formulas
// filled down a column (the reader moves the formula compiled on a row above instead of
// compiling each text again), number constants, the XML walk over long tags read from a
// device, and the CSV form of numbers.
#include "spreadsheet/core/csvexchange.h"
#include "spreadsheet/core/formula.h"
#include "spreadsheet/core/formulatokenizer.h"
#include "spreadsheet/core/odfxml.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookaccess.h"
#include "spreadsheet/core/workbooklimits.h"

#include "common/velmoraerror.h"

#include <QBuffer>
#include <QtTest>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>

using namespace sheet;

namespace {

constexpr int kRows = 40;

using Shape = std::function<QString(int row)>;

QString escaped(QString text)
{
    return text.replace(u'&', QStringLiteral("&amp;"))
            .replace(u'"', QStringLiteral("&quot;"))
            .replace(u'<', QStringLiteral("&lt;"));
}

// A workbook of four sheets, the first holding `rows`; the sheet it names last is read after it.
QByteArray document(const QString &rows, bool englishCodes)
{
    const QString meta =
            englishCodes ? QStringLiteral("<office:meta><meta:generator>x</meta:generator></office:meta>") : QString();
    const QString other = QStringLiteral("<table:table table:name=\"%1\"><table:table-row><table:table-cell "
                                         "office:value-type=\"float\" office:value=\"1\"/></table:table-row>"
                                         "</table:table>");
    return QStringLiteral(
                   "<?xml version=\"1.0\"?><office:document "
                   "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                   "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\" "
                   "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                   "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">%1<office:body><office:spreadsheet>"
                   "<table:table table:name=\"Feuil1\">%2</table:table>%3%4%5</office:spreadsheet></office:body>"
                   "</office:document>")
            .arg(meta, rows, other.arg(QStringLiteral("Feuil2")), other.arg(QStringLiteral("2024 T'1")),
                 other.arg(QStringLiteral("Dernière")))
            .toUtf8();
}

// A workbook of three sheets: the first holds `shape` on rows 1..kRows of column A, with a
// break of another shape on row 20 and a row repeated three times on row 30; the sheet it
// names last is read after it.
QByteArray workbookWith(const Shape &shape, bool englishCodes)
{
    QString rows;
    for (int r = 1; r <= kRows; ++r) {
        const QString text = r == 20 ? QStringLiteral("of:=[.B%1]*3").arg(r) : shape(r);
        const QString repeat = r == 30 ? QStringLiteral(" table:number-rows-repeated=\"3\"") : QString();
        rows += QStringLiteral("<table:table-row%1><table:table-cell table:formula=\"%2\" office:value-type=\"float\" "
                               "office:value=\"%3\"/><table:table-cell office:value-type=\"float\" "
                               "office:value=\"%3\"/></table:table-row>")
                        .arg(repeat, escaped(text))
                        .arg(r);
        if (r == 30)
            r += 2;
    }
    return document(rows, englishCodes);
}

bool sameNumber(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool sameEnd(const RefEnd &a, const RefEnd &b)
{
    return a.row == b.row && a.col == b.col && a.rowAbs == b.rowAbs && a.colAbs == b.colAbs;
}

// Empty when both are the same program over the same references, else what differs.
QString difference(const Formula &got, const Formula &want)
{
    if (got.code.size() != want.code.size())
        return QStringLiteral("code size");
    for (size_t i = 0; i < got.code.size(); ++i)
        if (got.code[i].op != want.code[i].op || got.code[i].arg != want.code[i].arg
            || got.code[i].argc != want.code[i].argc)
            return QStringLiteral("instruction %1").arg(i);
    if (got.numbers.size() != want.numbers.size())
        return QStringLiteral("number count");
    for (size_t i = 0; i < got.numbers.size(); ++i)
        if (!sameNumber(got.numbers[i], want.numbers[i]))
            return QStringLiteral("number %1: %2 instead of %3").arg(i).arg(got.numbers[i]).arg(want.numbers[i]);
    if (got.strings.toVector() != want.strings.toVector())
        return QStringLiteral("strings");
    if (got.refs.size() != want.refs.size())
        return QStringLiteral("reference count");
    for (size_t i = 0; i < got.refs.size(); ++i) {
        const FormulaRef &a = got.refs[i], &b = want.refs[i];
        if (a.sheetId != b.sheetId || a.isRange != b.isRange || a.invalid != b.invalid || !sameEnd(a.a, b.a)
            || !sameEnd(a.b, b.b))
            return QStringLiteral("reference %1: row %2 instead of %3").arg(i).arg(a.a.row).arg(b.a.row);
    }
    if (got.isVolatile != want.isVolatile || got.hasDynamicRefs != want.hasDynamicRefs)
        return QStringLiteral("flags");
    return QString();
}

// Empty when the cell holds what compiling `text` gives (or keeps the text when it does
// not compile to a formula the program runs), else what differs.
QString cellDifference(const Workbook &book, int row, int col, const QString &text, bool englishCodes)
{
    WorkbookAccess access(const_cast<Workbook &>(book));
    std::optional<Formula> want;
    if (text.startsWith(u"of:=")) {
        try {
            want = compileFormula(text.mid(4), Dialect::OpenFormula, access.sheetNames());
            if (englishCodes)
                convertTextCodes(*want, true);
            for (const Instr &in : want->code)
                if (in.op == Op::CallUnknown || in.op == Op::Name)
                    want.reset();
        } catch (const std::exception &) { }
    }
    const Formula *got = access.formulaAt(0, row, col);
    const QString where = QStringLiteral("row %1, column %2 (%3): ").arg(row).arg(col).arg(text);
    if (!want)
        return got || book.formulaText(0, row, col).isEmpty() ? where + QStringLiteral("compiled") : QString();
    if (!got)
        return where + QStringLiteral("not compiled");
    const QString why = difference(*got, *want);
    return why.isEmpty() ? QString() : where + why;
}

} // namespace

Q_DECLARE_METATYPE(Shape)

class TestFilledFormulas : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void filledColumnReadsAsCompiled_data();
    void filledColumnReadsAsCompiled();
    void randomShapesReadAsCompiled();
    void numberConstants_data();
    void numberConstants();
    void cellNumbers();
    void shownTextOfCells();
    void longTagsReadFromADevice();
    void problemLineAfterDroppedBytes();
    void csvNumbersAsPrintf();
    void csvFields();
};

void TestFilledFormulas::filledColumnReadsAsCompiled_data()
{
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<bool>("englishCodes");
    const auto add = [](const char *name, Shape shape, bool englishCodes = false) {
        QTest::newRow(name) << shape << englishCodes;
    };
    add("chain", [](int r) { return QStringLiteral("of:=[.A%1]+1").arg(r - 1); });
    add("two cells", [](int r) { return QStringLiteral("of:=[.E%1]+[.F%2]").arg(r - 1).arg(r + 1); });
    add("same cell twice", [](int r) { return QStringLiteral("of:=[.B%1]*[.B%1]").arg(r); });
    add("range", [](int r) { return QStringLiteral("of:=SUM([.B%1:.C%2])").arg(r).arg(r + 3); });
    add("range written upside down", [](int r) { return QStringLiteral("of:=SUM([.B%1:.B%2])").arg(r + 3).arg(r); });
    add("fixed and mixed", [](int r) { return QStringLiteral("of:=[.$B$1]*[.B$2]+[.$B%1]").arg(r); });
    add("range from a fixed row crossing it", [](int r) { return QStringLiteral("of:=SUM([.B$25:.B%1])").arg(r); });
    add("range to a fixed row", [](int r) { return QStringLiteral("of:=SUM([.B%1:.C$10])").arg(r); });
    add("running total", [](int r) { return QStringLiteral("of:=SUM([.B$1:.B%1])").arg(r); });
    add("whole rows", [](int r) { return QStringLiteral("of:=SUM([.%1:.%2])").arg(r).arg(r + 1); });
    add("whole rows from a fixed one", [](int r) { return QStringLiteral("of:=SUM([.$12:.%1])").arg(r); });
    add("whole columns", [](int r) { return QStringLiteral("of:=SUM([.B:.C])+[.B%1]").arg(r); });
    add("whole column alone", [](int r) { return QStringLiteral("of:=SUM([.B])+[.B%1]").arg(r); });
    add("whole column and a cell", [](int r) { return QStringLiteral("of:=SUM([.B:.C%1])").arg(r); });
    add("other sheet", [](int r) { return QStringLiteral("of:=[$Feuil2.B%1]*2+[Feuil2.$A$1]").arg(r); });
    add("quoted sheet with digits", [](int r) {
        return QStringLiteral("of:=['2024 T''1'.A%1]+['2024 T''1'.$B$7]+SUM(['2024 T''1'.A1:.A%1])").arg(r);
    });
    add("sheet read later", [](int r) { return QStringLiteral("of:=[$Dernière.A%1]+[.B%1]").arg(r); });
    add("sheet that does not exist", [](int r) { return QStringLiteral("of:=[$Nulle.A%1]").arg(r); });
    add("strings holding brackets and digits",
        [](int r) { return QStringLiteral("of:=IF([.B%1]>0;\"[.B12] vaut 12\";\"x\"\"[.C%1]\"&[.C%1])").arg(r); });
    add("rows above the sheet", [](int r) { return QStringLiteral("of:=[.B%1]+[.B%2]").arg(r - 5).arg(r); });
    add("rows below the sheet", [](int r) { return QStringLiteral("of:=[.B%1]").arg(r + 1048560); });
    add("unknown function", [](int r) { return QStringLiteral("of:=INCONNUE([.B%1])+1").arg(r); });
    add("syntax error on some rows",
        [](int r) { return r % 7 ? QStringLiteral("of:=[.B%1]+1").arg(r) : QStringLiteral("of:=[.B%1]+").arg(r); });
    add("numbers that change",
        [](int r) { return QStringLiteral("of:=VLOOKUP(MOD([.B%1]*37+%1;1000)+1;[.$A$1:.$B$1000];2;0)").arg(r); });
    add("number forms", [](int r) {
        return QStringLiteral("of:=[.B%1]*1.5e%2+%3%+0.1*7E-2+12345678901234567890").arg(r).arg(r % 3).arg(r * 0.25);
    });
    add("numbers written oddly", [](int r) { return QStringLiteral("of:=1.+.5+[.B%1]").arg(r); });
    add("function names with digits", [](int r) { return QStringLiteral("of:=LOG10([.B%1])+ATAN2(1;2)").arg(r); });
    add("error constant", [](int r) { return QStringLiteral("of:=IF([.B%1]>1;#DIV/0!;#N/A)").arg(r); });
    add("invalid reference", [](int r) { return QStringLiteral("of:=[.#REF!]+[.B%1]").arg(r); });
    add("lower case and leading zeros", [](int r) { return QStringLiteral("of:=[.b0%1]+[.$c$01]").arg(r); });
    add("spaces", [](int r) { return QStringLiteral("of:= [.B%1] +  2 ").arg(r); });
    add(
            "TEXT codes", [](int r) { return QStringLiteral("of:=TEXT([.B%1];\"0.00\")").arg(r); }, true);
    add("volatile and dynamic",
        [](int r) { return QStringLiteral("of:=OFFSET([.B%1];1;0)+INDIRECT(\"B\"&ROW())+RAND()*0").arg(r); });
    add("other formula languages", [](int r) { return QStringLiteral("oooc:=[.B%1]").arg(r); });
}

void TestFilledFormulas::filledColumnReadsAsCompiled()
{
    QFETCH(Shape, shape);
    QFETCH(bool, englishCodes);
    Workbook book;
    qvc::read(workbookWith(shape, englishCodes), book);
    QCOMPARE(book.sheetCount(), 4);
    WorkbookAccess access(book);
    for (int r = 1; r <= kRows; ++r) {
        const QString text = r == 20 ? QStringLiteral("of:=[.B%1]*3").arg(r) : shape(r >= 30 && r <= 32 ? 30 : r);
        // A repeated row holds the same text on each of its rows, naming the same cells.
        const QString why = cellDifference(book, r, 1, text, englishCodes);
        QVERIFY2(why.isEmpty(), qPrintable(why));
    }
}

// Formulas put together at random from references of every kind, constants, strings and
// functions, each filled down its own column.
void TestFilledFormulas::randomShapesReadAsCompiled()
{
    std::mt19937 random(2024);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    auto row = [&](int r) {
        // Relative (offset from the cell's row, some going above the sheet) or fixed.
        return pick(3) == 0 ? QStringLiteral("$%1").arg(1 + pick(30)) : QString::number(r + pick(9) - 4);
    };
    auto cell = [&](int r) {
        return (pick(4) == 0 ? QStringLiteral("$") : QString()) + QChar(u'A' + pick(6)) + row(r);
    };
    const QStringList sheets = {QStringLiteral("."), QStringLiteral("$Feuil2."), QStringLiteral("'2024 T''1'."),
                                QStringLiteral("$Dernière.")};
    auto reference = [&](int r, int kind) -> QString {
        const QString sheet = sheets[pick(4) == 0 ? 1 + pick(3) : 0];
        switch (kind) {
        case 0: return u'[' + sheet + cell(r) + u']';
        case 1: return u'[' + sheet + cell(r) + QStringLiteral(":.") + cell(r) + u']';
        case 2: return QStringLiteral("[.%1:.%2]").arg(row(r), row(r)); // whole rows
        default: return QStringLiteral("[.B:.%1]").arg(QChar(u'C' + pick(3)));
        }
    };
    QStringList columns; // templates: %1 stands for the row
    for (int c = 0; c < 120; ++c) {
        const int count = 1 + pick(4);
        columns << QString::number(unsigned(random())) + u':' + QString::number(count);
    }
    // Each column draws its pieces from its own seed on every row, so that its shape stays.
    auto formula = [&](const QString &column, int r) {
        const QStringList spec = column.split(u':');
        random.seed(spec[0].toUInt());
        const int count = spec[1].toInt();
        QString text;
        static const char *ops[] = {"+", "-", "*", "/", "^", "&", "=", "<>"};
        for (int i = 0; i < count; ++i) {
            if (i > 0)
                text += QString::fromLatin1(ops[pick(8)]);
            switch (pick(9)) {
            case 0: text += QStringLiteral("%1").arg(r * 3 + pick(5)); break; // a constant that changes
            case 1:
                text += QString::fromLatin1(pick(2) ? "1.5e2" : "0.25") + (pick(2) ? QStringLiteral("%") : QString());
                break;
            case 2: text += QStringLiteral("\"[.A%1]\"\"2\"").arg(r); break;
            case 3: text += QStringLiteral("SUM(%1;%2)").arg(reference(r, 1), reference(r, pick(4))); break;
            case 4:
                text += QStringLiteral("IF(%1>%2;%3;-%4)")
                                .arg(reference(r, 0), QString::number(pick(9)), reference(r, 0), reference(r, 0));
                break;
            case 5: text += QStringLiteral("ROUND(%1;2)").arg(reference(r, pick(2))); break;
            default: text += reference(r, pick(4)); break;
            }
        }
        return QStringLiteral("of:=") + text;
    };
    QString rows;
    constexpr int kRandomRows = 12;
    for (int r = 1; r <= kRandomRows; ++r) {
        rows += QStringLiteral("<table:table-row>");
        for (const QString &column : columns)
            rows += QStringLiteral("<table:table-cell table:formula=\"%1\"/>").arg(escaped(formula(column, r)));
        rows += QStringLiteral("</table:table-row>");
    }
    Workbook book;
    qvc::read(document(rows, false), book);
    for (int r = 1; r <= kRandomRows; ++r)
        for (int c = 0; c < columns.size(); ++c) {
            const QString why = cellDifference(book, r, c + 1, formula(columns[c], r), false);
            QVERIFY2(why.isEmpty(), qPrintable(why));
        }
}

void TestFilledFormulas::numberConstants_data()
{
    QTest::addColumn<QString>("text");
    const QString texts =
            QStringLiteral("0 7 0.1 0.3 1.5 3.14159265358979323846 1e-320 2.2250738585072011e-308 4.9e-324 "
                           "9007199254740993 1.7976931348623157e308 123456789012345678901234567890 1e22 "
                           "1e23 0.000001 5e-1 1E+2 1. 007 1e400 1e-400");
    for (const QString &text : texts.split(u' '))
        QTest::newRow(qPrintable(text)) << text;
}

// The tokenizer's reading of a constant is the general conversion's, to the last bit.
void TestFilledFormulas::numberConstants()
{
    QFETCH(QString, text);
    bool ok = false;
    const double want = text.toDouble(&ok);
    double got = 0;
    const bool read = formulaNumberValue(text.toStdString(), got);
    QCOMPARE(read, ok && std::isfinite(want));
    if (read)
        QVERIFY2(sameNumber(got, want), qPrintable(QString::number(got, 'g', 17)));
    try {
        const std::vector<Token> tokens = tokenizeFormula(text, Dialect::OpenFormula);
        QVERIFY(read);
        QVERIFY(tokens.front().type == TokenType::Number);
        QVERIFY(sameNumber(tokens.front().number, want));
    } catch (const std::exception &) {
        QVERIFY(!read);
    }
}

// A cell's number read straight from its bytes is the one the general conversion gives;
// what the quick reading leaves, the general one decides.
void TestFilledFormulas::cellNumbers()
{
    int quick = 0;
    for (const char *text : {"0",
                             "-0",
                             "42",
                             "-12.5",
                             "0.1",
                             "1e5",
                             "-2.5E-3",
                             "123456789012345",
                             "1234567890123456789",
                             "9007199254740993",
                             "4.9e-324",
                             "1e-310",
                             "1e309",
                             "+3",
                             " 4",
                             "4 ",
                             "0x10",
                             "inf",
                             "nan",
                             "1.",
                             ".5",
                             "-",
                             "",
                             "1e",
                             "1,5",
                             "--1"}) {
        double got = 0;
        if (!plainDecimalValue(text, got))
            continue;
        ++quick;
        bool ok = false;
        const double want = QByteArray(text).toDouble(&ok);
        QVERIFY2(ok && sameNumber(got, want), text);
    }
    QCOMPARE(quick, 10);
}

// A cell's shown text is read only where its value needs it, but its length always counts
// against the text a workbook may hold.
void TestFilledFormulas::shownTextOfCells()
{
    const auto table = [](const QByteArray &cells) {
        return "<?xml version=\"1.0\"?><office:document "
               "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
               "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
               "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\" "
               "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>"
               "<table:table table:name=\"A\"><table:table-row>"
                + cells + "</table:table-row></table:table></office:spreadsheet></office:body></office:document>";
    };
    Workbook book;
    qvc::read(table("<table:table-cell office:value-type=\"float\" office:value=\"2.5\"><text:p>2,50 \xE2\x82\xAC"
                    "</text:p></table:table-cell>"
                    "<table:table-cell office:value-type=\"float\" office:value=\"abc\"><text:p>\xC3\xA9t\xC3\xA9"
                    "<text:s text:c=\"2\"/>3</text:p></table:table-cell>"
                    "<table:table-cell office:value-type=\"string\"><text:p>a</text:p><text:p>b<text:tab/>c</text:p>"
                    "</table:table-cell>"
                    "<table:table-cell office:value-type=\"float\" office:value=\"0\" calcext:value-type=\"error\">"
                    "<text:p>#DIV/0!</text:p></table:table-cell>"),
              book);
    QCOMPARE(book.value(0, 1, 1).asNumber(), 2.5);
    QCOMPARE(book.value(0, 1, 2).asText(), QStringLiteral("\u00E9t\u00E9  3"));
    QCOMPARE(book.value(0, 1, 3).asText(), QStringLiteral("a\nb\tc"));
    QVERIFY(book.value(0, 1, 4).isError());
    QCOMPARE(book.value(0, 1, 4).errorCode(), ErrorCode::DivZero);
    const auto numberCell = [&](const QByteArray &paragraph) {
        return table("<table:table-cell office:value-type=\"float\" office:value=\"1\"><text:p>" + paragraph
                     + "</text:p></table:table-cell>");
    };
    try {
        qvc::read(numberCell("<text:s text:c=\"2000000000\"/>"), book);
        QFAIL("two billion spaces read");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), limits::tooMuchText());
    }
    // Counted in characters, not bytes: "é" and the spaces just fill the budget.
    qvc::read(numberCell("\xC3\xA9<text:s text:c=\"" + QByteArray::number(limits::kTextCharacters - 1) + "\"/>"), book);
    QCOMPARE(book.value(0, 1, 1).asNumber(), 1.0);
}

namespace {
// The elements and attributes a walk sees, and where it stopped with a problem.
QStringList walk(odf::XmlCursor &xml)
{
    QStringList seen;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == odf::XmlCursor::StartElement) {
            QString element = QString::number(int(xml.ns())) + u':' + xml.name().toString();
            xml.forEachAttribute([&](odf::Ns ns, std::string_view name, const char *value) {
                element += u' ' + QString::number(int(ns)) + u':'
                        + QString::fromUtf8(name.data(), qsizetype(name.size())) + u'=' + QString::fromUtf8(value);
            });
            seen << element;
        } else if (token == odf::XmlCursor::Characters) {
            seen << QString::fromUtf8(xml.rawText());
        }
    }
    if (xml.hasError())
        seen << QStringLiteral("problem %1 line %2").arg(xml.problem()).arg(xml.problemLine());
    return seen;
}

QByteArray documentHead()
{
    return "<?xml version=\"1.0\"?>\n<o:document xmlns:o=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:t=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\">\n<o:body>\n";
}
} // namespace

// Tags are scanned many bytes at a time: values holding ">" and the other quote, of every
// length around the width of a scan, and prefixes bound again inside, read the same from a
// device in small pieces as from the whole bytes.
void TestFilledFormulas::longTagsReadFromADevice()
{
    QByteArray bytes = documentHead();
    for (int n = 0; n < 40; ++n) {
        const QByteArray run(n, 'x');
        bytes += "<t:c t:a=\"" + run + ">'\" t:b='" + run + "\">' o:v=\"" + QByteArray::number(n) + "\">" + run
                + "</t:c>";
        if (n % 7 == 0)
            bytes += "<t:r xmlns:t=\"urn:autre\"><t:c t:a=\"1\"/></t:r>\n";
    }
    bytes += "</o:body></o:document>\n";
    odf::XmlCursor whole(bytes, qsizetype(1) << 30);
    const QStringList expected = walk(whole);
    QVERIFY(!expected.last().startsWith(u"problem"));
    QVERIFY(expected.contains(QStringLiteral("5:c 5:a=xxx>' 5:b=xxx\"> 2:v=3")));
    QVERIFY(expected.contains(QStringLiteral("1:c 1:a=1")));
    for (qsizetype piece : {64, 100, 1000}) {
        QBuffer device(&bytes);
        QVERIFY(device.open(QIODevice::ReadOnly));
        odf::XmlCursor pieces(device, piece);
        QCOMPARE(walk(pieces), expected);
    }
}

// A file read from a device drops the bytes already walked: a problem further on still
// gives its own line.
void TestFilledFormulas::problemLineAfterDroppedBytes()
{
    QByteArray bytes = documentHead();
    for (int line = 4; line < 3000; ++line)
        bytes += "<t:c t:a=\"" + QByteArray(line % 37, 'x') + "\"/>\n";
    bytes += "<t:c>&inconnue;</t:c>\n</o:body></o:document>\n";
    QBuffer device(&bytes);
    QVERIFY(device.open(QIODevice::ReadOnly));
    odf::XmlCursor xml(device, 256);
    QCOMPARE(walk(xml).last(), QStringLiteral("problem %1 line 3000").arg(odf::XmlCursor::Malformed));
}

// A number in CSV is what "%.15g" writes, whatever path writes it.
void TestFilledFormulas::csvNumbersAsPrintf()
{
    std::mt19937_64 random(12345);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.0,
                                  -1.0,
                                  0.5,
                                  0.1 * 3,
                                  1.0 / 3,
                                  2.0 / 3,
                                  1e15,
                                  1e15 - 1,
                                  -1e15 + 1,
                                  1e16,
                                  123456789012345.0,
                                  1234567890123456.0,
                                  1e-4,
                                  1e-5,
                                  0.0001234,
                                  9.999999999999999e14,
                                  999999999999999.5,
                                  5e-324,
                                  1.7976931348623157e308,
                                  0.30000000000000004,
                                  100.0,
                                  1e21,
                                  2.5e-7};
    std::uniform_int_distribution<int> small(-100000, 100000);
    std::uniform_real_distribution<double> unit(-1000, 1000);
    for (int i = 0; i < 3000; ++i) {
        values.push_back(small(random));
        values.push_back(small(random) / 8.0);
        values.push_back(small(random) / 100.0);
        values.push_back(unit(random));
        std::uint64_t bits = random();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any))
            values.push_back(any);
    }
    Workbook book;
    WorkbookAccess access(book);
    access.removeAllSheets();
    const int sheet = access.appendSheet(QStringLiteral("Feuil1"));
    for (size_t i = 0; i < values.size(); ++i)
        access.putValue(sheet, int(i) + 1, 1, Value::number(values[i]));
    access.finishLoading();
    const QList<QByteArray> lines = csv::exportSheet(book, 0).split('\n');
    QCOMPARE(lines.size(), qsizetype(values.size()) + 1);
    for (size_t i = 0; i < values.size(); ++i) {
        char want[40];
        std::snprintf(want, sizeof want, "%.15g\r", values[i]);
        QCOMPARE(lines[qsizetype(i)], QByteArray(want));
    }
}

// The other kinds of fields keep their form: text quoted where needed, dates, truth values,
// errors, empty cells between filled ones.
void TestFilledFormulas::csvFields()
{
    Workbook book;
    book.setValue(0, 1, 1, Value::text(QStringLiteral("été; \"cité\"")));
    book.setValue(0, 1, 3, Value::boolean(true));
    book.setValue(0, 2, 2, Value::error(ErrorCode::DivZero));
    book.setValue(0, 2, 1, Value::number(45000));
    book.setFormat(0, CellRange{2, 1, 3, 1}, [] {
        CellFormat f;
        f.numberFormat = QStringLiteral("dd/mm/yyyy");
        return f;
    }());
    book.setValue(0, 3, 1, Value::number(45000.75));
    book.setValue(0, 4, 3, Value::text(QStringLiteral("a\nb")));
    book.setFormula(0, 4, 1, QStringLiteral("1/3"));
    QCOMPARE(csv::exportSheet(book, 0),
             QByteArray("\"été; \"\"cité\"\"\";;TRUE\r\n"
                        "2023-03-15;#DIV/0!;\r\n"
                        "2023-03-15 18:00:00;;\r\n"
                        "0.333333333333333;;\"a\nb\"\r\n"));
}

QTEST_GUILESS_MAIN(TestFilledFormulas)
#include "tst_filledformulas.moc"
