// What the spreadsheet functions share: argument walking with the usual rules (references
// give only their numbers, direct arguments are converted), criteria of COUNTIF and SUMIF,
// wildcards, and the registration helpers of each family's file.
#pragma once

#include "spreadsheet/core/evaluator.h"
#include "spreadsheet/core/functionregistry.h"

#include <QString>

#include <functional>
#include <span>
#include <vector>

namespace sheet::fn {

using Args = std::span<const Operand>;

// Numbers of the arguments as SUM sees them: in references, numbers only (texts, booleans
// and empty cells skipped, errors propagated); direct arguments converted (a text that is
// not a number gives #VALUE!). Missing arguments count as nothing.
std::vector<double> numbers(EvalContext &ctx, Args args);
// The same numbers folded in one pass, references through the context's fast loop.
NumberFold fold(EvalContext &ctx, Args args);
void forEachNumber(EvalContext &ctx, Args args, const std::function<void(double)> &visit);

// Every value of the arguments (references expanded, empty cells skipped).
void forEachValue(EvalContext &ctx, Args args, const std::function<void(const Value &, bool fromRef)> &visit);

bool hasArg(Args args, size_t i); // present and not an empty argument
double numberOr(EvalContext &ctx, Args args, size_t i, double fallback);

// Criteria of COUNTIF/SUMIF: "<5", ">=10", "<>x", "=abc", "abc" (wildcards * and ?), 5.
class Criterion
{
public:
    explicit Criterion(const Value &criterion);
    bool matches(const Value &v) const;

private:
    enum class Cmp { Eq, Ne, Lt, Le, Gt, Ge } m_cmp = Cmp::Eq;
    Value m_operand;
    bool m_wildcard = false;
};

// Wildcard match ("*" any run, "?" one character, "~" escapes), ignoring case.
bool wildcardMatch(const QString &pattern, const QString &text);
// Position of `pattern` (with wildcards) in `text` from `from`, ignoring case; -1 if none.
int wildcardFind(const QString &pattern, const QString &text, int from);

// A reference argument, or #VALUE! (thrown) when the argument is a plain value.
const RangeRef &reference(const Operand &op);

void registerMath(std::vector<FunctionInfo> &out);
void registerStatistics(std::vector<FunctionInfo> &out);
void registerLogical(std::vector<FunctionInfo> &out);
void registerText(std::vector<FunctionInfo> &out);
void registerDate(std::vector<FunctionInfo> &out);
void registerFinancial(std::vector<FunctionInfo> &out);
void registerLookup(std::vector<FunctionInfo> &out);

} // namespace sheet::fn
