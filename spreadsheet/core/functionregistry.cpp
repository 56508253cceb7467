#include "spreadsheet/core/functionregistry.h"

#include "spreadsheet/core/functionhelpers.h"

#include <algorithm>

namespace sheet {

const FunctionRegistry &FunctionRegistry::instance()
{
    static const FunctionRegistry registry;
    return registry;
}

FunctionRegistry::FunctionRegistry()
{
    fn::registerMath(m_functions);
    fn::registerStatistics(m_functions);
    fn::registerLogical(m_functions);
    fn::registerText(m_functions);
    fn::registerDate(m_functions);
    fn::registerFinancial(m_functions);
    fn::registerLookup(m_functions);
    std::sort(m_functions.begin(), m_functions.end(),
              [](const FunctionInfo &a, const FunctionInfo &b) { return a.name < b.name; });
    for (const auto &[english, french] : frenchNames())
        for (FunctionInfo &f : m_functions)
            if (f.name == english)
                f.frenchName = french;
}

const FunctionInfo *FunctionRegistry::findFrench(const QString &name) const
{
    const QString key = name.trimmed().toUpper();
    for (const FunctionInfo &f : m_functions)
        if (f.frenchName == key)
            return &f;
    return nullptr;
}

const FunctionInfo *FunctionRegistry::findTyped(const QString &name, int argc) const
{
    const FunctionInfo *french = findFrench(name);
    const FunctionInfo *english = find(name);
    if (!french || !english || french == english)
        return french ? french : english;
    const auto takes = [argc](const FunctionInfo *f) {
        return argc >= f->minArgs && (f->maxArgs < 0 || argc <= f->maxArgs);
    };
    return !takes(french) && takes(english) ? english : french;
}

const FunctionInfo *FunctionRegistry::find(const QString &name) const
{
    QString key = name.trimmed().toUpper();
    if (key == u"ERROR TYPE")
        key = QStringLiteral("ERROR.TYPE");
    else if (key == u"YEAR SIGN")
        key = QStringLiteral("SIGN");
    else if (key == u"ROUNDOWN")
        key = QStringLiteral("ROUNDDOWN");
    const auto it = std::lower_bound(m_functions.begin(), m_functions.end(), key,
                                     [](const FunctionInfo &f, const QString &k) { return f.name < k; });
    if (it == m_functions.end() || it->name != key)
        return nullptr;
    return &*it;
}

QStringList FunctionRegistry::dialogNames()
{
    return QStringList{
            "ABS",       "ACOS",        "ACOSH",    "AND",       "ASIN",       "ASINH",   "ATAN",    "ATAN2",
            "ATANH",     "AVERAGE",     "CEILING",  "CHAR",      "CHOOSE",     "CLEAN",   "CODE",    "COLUMN",
            "COLUMNS",   "CONCATENATE", "COS",      "COSH",      "COUNT",      "COUNTIF", "COUNTA",  "DATE",
            "DATEVALUE", "DAY",         "DB",       "DDB",       "ERROR TYPE", "EVEN",    "EXACT",   "EXP",
            "FACT",      "FALSE",       "FIND",     "FIXED",     "FLOOR",      "FV",      "HLOOKUP", "HOUR",
            "IF",        "INDEX",       "INDIRECT", "INT",       "IPMT",       "IRR",     "ISBLANK", "ISERR",
            "ISERROR",   "ISLOGICAL",   "ISNA",     "ISNONTEXT", "ISNUMBER",   "ISREF",   "ISTEXT",  "LEFT",
            "LEN",       "LN",          "LOG",      "LOG10",     "LOOKUP",     "LOWER",   "MATCH",   "MATCH",
            "MID",       "MIN",         "MINUTE",   "MIRR",      "MOD",        "MONTH",   "N",       "NOT",
            "NOW",       "NPER",        "NPV",      "ODD",       "OFFSET",     "OR",      "PI",      "PMT",
            "PPMT",      "PRODUCT",     "PROPER",   "PV",        "RAND",       "RATE",    "REPLACE", "REPT",
            "RIGHT",     "ROUND",       "ROUNDOWN", "ROUNDUP",   "ROW",        "ROWS",    "SEARCH",  "SECOND",
            "YEAR SIGN", "SIN",         "SINH",     "SLN",       "SQRT",       "STDEV",   "STDEVP",  "SUBSTITUTE",
            "SUM",       "SUMIF",       "SUMSQ",    "SYD",       "T",          "TAN",     "TANH",    "TEXT",
            "TIME",      "TIMEVALUE",   "TODAY",    "TRIM",      "TRUE",       "TRUNC",   "TYPE",    "UPPER",
            "VALUE",     "VAR",         "VARP",     "VDB",       "VLOOKUP",    "WEEKDAY", "YEAR"};
}

} // namespace sheet
