// The formula language: what users may type, what is refused, and how formulas read back
// in French and in the file's OpenFormula.
#include "common/velmoraerror.h"
#include "spreadsheet/core/formula.h"
#include "spreadsheet/core/functionregistry.h"
#include "spreadsheet/core/numberformat.h"
#include "spreadsheet/core/workbook.h"

#include <QtTest>

#include <cmath>
#include <cstdio>
#include <random>

using namespace sheet;

namespace {
class TwoSheets : public SheetNames
{
public:
    int sheetIdByName(const QString &n) const override
    {
        if (n.compare(u"Feuil1", Qt::CaseInsensitive) == 0)
            return 1;
        if (n.compare(u"Feuil2", Qt::CaseInsensitive) == 0)
            return 2;
        if (n == u"Mon budget")
            return 3;
        return -1;
    }
    QString sheetNameById(int id) const override
    {
        return id == 1 ? QStringLiteral("Feuil1") : id == 2 ? QStringLiteral("Feuil2") : QStringLiteral("Mon budget");
    }
};
} // namespace

class TestFormulaParser : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsBack_data();
    void readsBack();
    void refused_data();
    void refused();
    void openFormula_data();
    void openFormula();
    void deepNestingIsRefusedNotCrashing();
    void longChainsAndBrokenCodeReadBack();
    void numbersReadAsPrintfWritesThem();
    void sharesWhatIsEqual_data();
    void sharesWhatIsEqual();
    void unknownFunctionGivesNameError();
    void registryCoversTheFunctionsList();
    void everyFunctionHasOneFrenchName();
};

void TestFormulaParser::everyFunctionHasOneFrenchName()
{
    const FunctionRegistry &registry = FunctionRegistry::instance();
    const auto &table = FunctionRegistry::frenchNames();
    QCOMPARE(table.size(), registry.all().size());
    QSet<QString> english, french;
    for (const auto &[en, fr] : table) {
        QVERIFY2(!english.contains(en), qPrintable(en));
        QVERIFY2(!french.contains(fr), qPrintable(fr));
        english.insert(en);
        french.insert(fr);
        const FunctionInfo *f = registry.find(en);
        QVERIFY2(f, qPrintable(en));
        QCOMPARE(f->frenchName, fr);
        QCOMPARE(registry.findFrench(fr), f);
    }
    for (const FunctionInfo &f : registry.all())
        QVERIFY2(!f.frenchName.isEmpty(), qPrintable(f.name));
    // Typed in French, written to files in English.
    TwoSheets names;
    const Formula f = compileFormula(QStringLiteral("SOMME(A1;RECHERCHEV(2;A1:B3;2;FAUX))"), Dialect::French, names);
    QCOMPARE(formulaToText(f, Dialect::OpenFormula, names),
             QStringLiteral("SUM([.A1];VLOOKUP(2;[.A1:.B3];2;FALSE()))"));
}

void TestFormulaParser::readsBack_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("sum") << "SUM(A1;B2:C3)"
                         << "SOMME(A1;B2:C3)";
    QTest::newRow("lower case") << "sum(a1;b2)"
                                << "SOMME(A1;B2)";
    QTest::newRow("decimal comma") << "1,5+2"
                                   << "1,5+2";
    QTest::newRow("spaces dropped") << " 1 + 2 * A1 "
                                    << "1+2*A1";
    QTest::newRow("absolute") << "$A$1+A$2+$A3"
                              << "$A$1+A$2+$A3";
    QTest::newRow("other sheet") << "Feuil2!A1*2"
                                 << "Feuil2!A1*2";
    QTest::newRow("quoted sheet") << "'Mon budget'!B2:C3"
                                  << "'Mon budget'!B2:C3";
    QTest::newRow("parentheses kept") << "(1+2)*3"
                                      << "(1+2)*3";
    QTest::newRow("empty argument") << "IF(A1;;2)"
                                    << "SI(A1;;2)";
    QTest::newRow("percent and minus") << "-A1%"
                                       << "-A1%";
    QTest::newRow("quotes doubled") << "\"a\"\"b\"&C1"
                                    << "\"a\"\"b\"&C1";
    QTest::newRow("listed two-word name") << "ERROR TYPE(A1)"
                                          << "TYPE.ERREUR(A1)";
    QTest::newRow("listed YEAR SIGN") << "YEAR SIGN(-3)"
                                      << "SIGNE(-3)";
    QTest::newRow("listed ROUNDOWN") << "ROUNDOWN(1,25;1)"
                                     << "ARRONDI.INF(1,25;1)";
    QTest::newRow("french name") << "somme(a1;nb.si(B1:B3;2))"
                                 << "SOMME(A1;NB.SI(B1:B3;2))";
    QTest::newRow("french dotted") << "ARRONDI.SUP(1,25;1)+SOMME.CARRES(A1)"
                                   << "ARRONDI.SUP(1,25;1)+SOMME.CARRES(A1)";
    QTest::newRow("TRIM of a text") << "TRIM(A1)"
                                    << "SUPPRESPACE(A1)";
    QTest::newRow("TRIM of cash flows") << "TRIM(A1:A3;0,1;0,1)"
                                        << "TRIM(A1:A3;0,1;0,1)";
    QTest::newRow("french constants") << "SI(vrai;FAUX;VRAI())"
                                      << "SI(VRAI;FAUX;VRAI())";
    QTest::newRow("comparison") << "A1<>B1"
                                << "A1<>B1";
    QTest::newRow("boolean literal") << "true"
                                     << "VRAI";
    QTest::newRow("error literal") << "#n/a"
                                   << "#N/A";
    QTest::newRow("reversed range") << "B3:A1"
                                    << "A1:B3";
    QTest::newRow("exponent") << "1,5E3"
                              << "1500";
    QTest::newRow("last column") << "IV1048576"
                                 << "IV1048576";
}

void TestFormulaParser::readsBack()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    TwoSheets names;
    const Formula f = compileFormula(typed, Dialect::French, names);
    QCOMPARE(formulaToText(f, Dialect::French, names), shown);
}

void TestFormulaParser::refused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("open parenthesis") << "SUM(A1";
    QTest::newRow("dangling operator") << "1+";
    QTest::newRow("english comma separator") << "SUM(A1,A2)";
    QTest::newRow("two operands") << "A1 B1";
    QTest::newRow("unterminated text") << "\"abc";
    QTest::newRow("unknown error") << "#FOO";
    QTest::newRow("stray parenthesis") << ")";
    QTest::newRow("extra parenthesis") << "(1))";
    QTest::newRow("too few arguments") << "MID(\"abc\";1)";
    QTest::newRow("too many arguments") << "ABS(1;2)";
    QTest::newRow("empty") << "";
    QTest::newRow("dot decimal") << "1.5";
}

void TestFormulaParser::refused()
{
    QFETCH(QString, typed);
    TwoSheets names;
    try {
        compileFormula(typed, Dialect::French, names);
        QFAIL("accepted");
    } catch (const VelmoraError &e) {
        QVERIFY2(e.message().startsWith(u"Formule incorrecte"), qPrintable(e.message()));
    }
}

void TestFormulaParser::openFormula_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("french");
    QTest::addColumn<QString>("written");
    QTest::newRow("range") << "SUM([.A1:.A3])"
                           << "SOMME(A1:A3)"
                           << "SUM([.A1:.A3])";
    QTest::newRow("other sheet") << "[$Feuil2.B2]*1.5"
                                 << "Feuil2!B2*1,5"
                                 << "[$Feuil2.B2]*1.5";
    QTest::newRow("quoted sheet") << "['Mon budget'.$A$1]"
                                  << "'Mon budget'!$A$1"
                                  << "[$'Mon budget'.$A$1]";
    QTest::newRow("whole column") << "SUM([.B:.B])"
                                  << "SOMME(B$1:B$1048576)"
                                  << "SUM([.B$1:.B$1048576])";
    QTest::newRow("deleted reference") << "[.#REF!]+1"
                                       << "#REF!+1"
                                       << "[.#REF!]+1";
    QTest::newRow("booleans") << "IF(TRUE();1;0)"
                              << "SI(VRAI();1;0)"
                              << "IF(TRUE();1;0)";
    QTest::newRow("prefixed name") << "COM.MICROSOFT.SUM([.A1])"
                                   << "SOMME(A1)"
                                   << "SUM([.A1])";
}

void TestFormulaParser::openFormula()
{
    QFETCH(QString, file);
    QFETCH(QString, french);
    QFETCH(QString, written);
    TwoSheets names;
    const Formula f = compileFormula(file, Dialect::OpenFormula, names);
    QCOMPARE(formulaToText(f, Dialect::French, names), french);
    QCOMPARE(formulaToText(f, Dialect::OpenFormula, names), written);
}

void TestFormulaParser::sharesWhatIsEqual_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("shared"); // c: program, n: numbers, s: texts
    const char *rows[][4] = {
            {"filled down", "A1*1,5+B1", "A2*1,5+B2", "cns"},
            {"another constant", "A1*1,5", "A1*2", "cs"},
            {"another operator", "A1+1", "A1-1", "ns"},
            {"another text", "A1&\"x\"", "A2&\"y\"", "cn"},
            {"text code", "TEXTE(A1;\"0.00\")", "TEXTE(B1;\"0.00\")", "cns"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2]) << QString::fromUtf8(row[3]);
}

// Formulas differing only by their references keep one copy of their program and constants;
// a change to one of them (its text codes made French) leaves the other as it was.
void TestFormulaParser::sharesWhatIsEqual()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, shared);
    TwoSheets names;
    const Formula a = compileFormula(first, Dialect::French, names);
    Formula b = compileFormula(second, Dialect::French, names);
    shareProgram(b, a);
    QCOMPARE(b.code.sharedWith(a.code), shared.contains(u'c'));
    QCOMPARE(b.numbers.sharedWith(a.numbers), shared.contains(u'n'));
    QCOMPARE(b.strings.sharedWith(a.strings), shared.contains(u's'));
    QCOMPARE(formulaToText(a, Dialect::French, names), first);
    QCOMPARE(formulaToText(b, Dialect::French, names), second);
    const Formula copy = b;
    if (convertTextCodes(b, true)) {
        QCOMPARE(formulaToText(b, Dialect::French, names),
                 QString(second).replace(QStringLiteral("0.00"), QStringLiteral("0,00")));
        QCOMPARE(formulaToText(a, Dialect::French, names), first);
        QCOMPARE(formulaToText(copy, Dialect::French, names), second);
    }
}

void TestFormulaParser::deepNestingIsRefusedNotCrashing()
{
    TwoSheets names;
    const QString ok = QString(150, u'(') + u'1' + QString(150, u')');
    compileFormula(ok, Dialect::French, names);
    const QString deep = QString(100000, u'(') + u'1' + QString(100000, u')');
    QVERIFY_THROWS_EXCEPTION(VelmoraError, compileFormula(deep, Dialect::French, names));
    const QString minus = QString(100000, u'-') + u'1';
    QVERIFY_THROWS_EXCEPTION(VelmoraError, compileFormula(minus, Dialect::French, names));
}

void TestFormulaParser::longChainsAndBrokenCodeReadBack()
{
    TwoSheets names;
    // A chain of additions is as deep as it is long: written back without recursion.
    QString chain = u"A1"_qs;
    for (int i = 0; i < 30000; ++i)
        chain += u"+A1"_qs;
    QCOMPARE(formulaToText(compileFormula(chain, Dialect::French, names), Dialect::French, names), chain);
    QCOMPARE(formulaToText(compileFormula(chain, Dialect::French, names), Dialect::OpenFormula, names).size(),
             5 * 30001 + 30000); // "[.A1]" and "+"

    // Code missing operands or leaving several: what the stack would give (empty operands,
    // the last value left).
    auto code = [](std::vector<Instr> instrs) {
        Formula f;
        f.code.assign(instrs);
        f.numbers.assign({1.5, 2});
        return formulaToText(f, Dialect::French, TwoSheets());
    };
    QCOMPARE(code({{Op::Add}}), u"+"_qs);
    QCOMPARE(code({{Op::Number, 0, 1}, {Op::Sub}}), u"-2"_qs);
    QCOMPARE(code({{Op::Number, 0, 0}, {Op::Number, 0, 1}}), u"2"_qs);
    const auto abs = std::uint32_t(FunctionRegistry::instance().indexOf(FunctionRegistry::instance().find(u"ABS"_qs)));
    QCOMPARE(code({{Op::Number, 0, 0}, {Op::Call, 3, abs}}), u"ABS(;;1,5)"_qs);
    QCOMPARE(code({}), QString());
}

// What "%.15g" (or more digits when needed to read back the same number) writes, and what
// the window shows in the standard format: checked against the C library over many numbers.
void TestFormulaParser::numbersReadAsPrintfWritesThem()
{
    auto written = [](double v) {
        char buffer[64];
        for (int precision = 15; precision <= 17; ++precision) {
            std::snprintf(buffer, sizeof buffer, "%.*g", precision, v);
            if (std::strtod(buffer, nullptr) == v)
                break;
        }
        QString s = QString::fromLatin1(buffer);
        return s.replace(u"e+"_qs, u"E"_qs).replace(u'e', u'E');
    };
    auto shown = [](double v) {
        const double a = std::fabs(v);
        if (v == 0 || a < 1e-5 || a >= 1e15)
            return formatStandard(v); // the other branch is not changed here
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*f", std::min(20, std::max(0, 9 - int(std::floor(std::log10(a))))), v);
        QString s = QString::fromLatin1(buffer);
        if (s.contains(u'.')) {
            while (s.endsWith(u'0'))
                s.chop(1);
            if (s.endsWith(u'.'))
                s.chop(1);
        }
        return (s == u"-0" ? u"0"_qs : s).replace(u'.', u',');
    };
    std::vector<double> numbers = {0.0,
                                   -0.0,
                                   1,
                                   -1,
                                   0.1 + 0.2,
                                   1e15,
                                   1e15 - 1,
                                   -1e15 + 1,
                                   1e16,
                                   1e21,
                                   1e-5,
                                   0.00001234,
                                   1e-300,
                                   123.456,
                                   2.5,
                                   -7.25,
                                   1e100,
                                   4503599627370496.5,
                                   999999999999999.9,
                                   0.5e-5};
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const int kind = i % 4;
        const double x = std::ldexp(double(random() >> 11), -53) * std::pow(10.0, double(int(random() % 40) - 20));
        numbers.push_back(kind == 0 ? std::round(x * 1e6) : kind == 1 ? -x : kind == 2 ? std::round(x * 100) / 100 : x);
    }
    for (double v : numbers) {
        QCOMPARE(formatFormulaNumber(v, Dialect::OpenFormula), written(v));
        QCOMPARE(formatFormulaNumber(v, Dialect::French), written(v).replace(u'.', u','));
        QCOMPARE(formatStandard(v), shown(v));
    }
}

void TestFormulaParser::unknownFunctionGivesNameError()
{
    Workbook book;
    book.setEntry(0, 1, 1, QStringLiteral("=FOO(1;2)+BAR"));
    QCOMPARE(book.value(0, 1, 1), Value::error(ErrorCode::Name));
    QCOMPARE(book.formulaText(0, 1, 1), QStringLiteral("=FOO(1;2)+BAR"));
}

void TestFormulaParser::registryCoversTheFunctionsList()
{
    const QStringList names = FunctionRegistry::dialogNames();
    QCOMPARE(names.size(), 127);
    for (const QString &n : names)
        QVERIFY2(FunctionRegistry::instance().find(n), qPrintable(n));
    QVERIFY(FunctionRegistry::instance().find(QStringLiteral("MAX")));
    QCOMPARE(FunctionRegistry::instance().all().size(), size_t(127)); // 126 listed names + MAX
}

QTEST_GUILESS_MAIN(TestFormulaParser)
#include "tst_formulaparser.moc"
