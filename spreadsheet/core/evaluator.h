// Third stage of the formula engine: a stack machine that runs a compiled formula, reading
// cells through EvalContext (the workbook, or a test double). Also the conversions and
// comparisons every function shares, so that "1"+1, "abc"=ABC and empty cells behave the
// same everywhere.
#pragma once

#include "spreadsheet/core/celladdress.h"
#include "spreadsheet/core/formula.h"
#include "spreadsheet/core/value.h"

#include <functional>
#include <span>
#include <vector>

namespace sheet {

struct RangeRef
{
    int sheetId = 0;
    CellRange area;
};

// A value on the machine's stack, or a reference that functions read as they need.
class Operand
{
public:
    Operand() = default;
    Operand(Value v) : value(std::move(v)) { } // NOLINT: functions return plain values
    Operand(const RangeRef &r) : ref(r), isRef(true) { }

    Value value;
    RangeRef ref;
    bool isRef = false;
    bool missing = false; // an empty argument
};

// Thrown inside functions to give an error value (caught by the evaluator).
struct EvalError
{
    ErrorCode code;
};

// Numbers of a range folded in one pass (SUM, AVERAGE, MIN, MAX, COUNT, SUMSQ).
struct NumberFold
{
    double sum = 0;
    double sumSquares = 0;
    double min = 0;
    double max = 0;
    int count = 0;
    void add(double v)
    {
        sum += v;
        sumSquares += v * v;
        min = count == 0 || v < min ? v : min;
        max = count == 0 || v > max ? v : max;
        ++count;
    }
    void merge(const NumberFold &o)
    {
        if (o.count == 0)
            return;
        sum += o.sum;
        sumSquares += o.sumSquares;
        min = count == 0 || o.min < min ? o.min : min;
        max = count == 0 || o.max > max ? o.max : max;
        count += o.count;
    }
};

class EvalContext
{
public:
    virtual ~EvalContext() = default;
    // Folds the numbers of the range (texts, booleans and empty cells skipped); throws
    // EvalError at an error value. Contexts may override it with a faster loop.
    virtual void foldNumbers(const RangeRef &range, NumberFold &fold);
    // Exact lookup in a one-column or one-row range: the 0-based position of the first cell
    // equal to `key`, -1 when absent, -2 when the context has no quick answer.
    virtual int findExact(const RangeRef &line, const Value &key)
    {
        (void)line;
        (void)key;
        return -2;
    }

    // Told of every lookup VLOOKUP, HLOOKUP and MATCH make in a table: an exact one with its
    // key and the 0-based position found along the key line (-1: none; `givesPosition`: the
    // position is the result, as MATCH has it), or another kind. The workbook keeps them to
    // know which lookups a change in the table can affect.
    virtual void noteExactLookup(const RangeRef &table, bool vertical, const Value &key, int pos,
                                 bool givesPosition = false)
    {
        (void)table;
        (void)vertical;
        (void)key;
        (void)pos;
        (void)givesPosition;
    }
    virtual void noteOtherLookup() { }

    virtual Value cellValue(int sheetId, int row, int col) = 0;
    // The stored value of a cell without copying it (an empty value for an empty cell), or
    // nullptr when the context cannot lend it; lets arithmetic skip the copy.
    virtual const Value *peekCell(int sheetId, int row, int col)
    {
        (void)sheetId;
        (void)row;
        (void)col;
        return nullptr;
    }
    // Visits the cells of the range that have a value (empty cells skipped).
    virtual void forEachValue(const RangeRef &range,
                              const std::function<void(int row, int col, const Value &)> &visit) = 0;
    virtual int sheetIdByName(const QString &name) = 0; // -1 when unknown
    virtual double now() = 0; // date serial, fixed for one recalculation
    virtual double random() = 0; // in [0, 1)

    // The cell being computed.
    int sheetId = 0;
    int row = 1;
    int col = 1;

    // Helpers shared by the functions
    // A reference as a single value: one cell, or the cell of a one-column (one-row) range on
    // the formula's row (column); else #VALUE!. Plain values come back as they are.
    Value scalar(const Operand &op);
    double number(const Operand &op); // throws EvalError
    QString text(const Operand &op); // throws EvalError on an error value
    bool boolean(const Operand &op); // throws EvalError
    int integer(const Operand &op); // number truncated toward zero, within int
};

// Conversions with spreadsheet rules: empty is 0 or "", a text is read as a French number,
// date or time; a boolean is 1/0. They throw EvalError (#VALUE!, or the error carried).
double toNumber(const Value &v);
QString toText(const Value &v);
bool toBoolean(const Value &v);
// A number as text in the standard format ("1,5"), as used by & and text functions.
QString numberToText(double v);
// Result kept within the numbers a cell can hold: NaN and infinities become #NUM!.
Value checkedNumber(double v);

// Orders values as comparison operators and sorting do: numbers < texts < booleans;
// texts compared ignoring case; empty counts as 0, "" or FALSE by the other side.
// Returns <0, 0, >0. Errors must be handled by the caller.
int compareValues(const Value &a, const Value &b);

// False only when an exact lookup of `key` (VLOOKUP, HLOOKUP, MATCH with exact match) can
// never stop at a cell holding `candidate`.
bool exactLookupMayMatch(const Value &key, const Value &candidate);

class Evaluator
{
public:
    // Runs the formula in `ctx`'s current cell. A reference result is read as a value; an
    // empty cell gives 0.
    Value run(const Formula &formula, EvalContext &ctx);

private:
    // The steps of a program, each on the operand stack.
    Value popScalar(EvalContext &ctx);
    void pushReference(const FormulaRef &ref, int ownSheetId);
    void unary(Op op, EvalContext &ctx);
    void arithmeticStep(Op op, EvalContext &ctx);
    void concatenate(EvalContext &ctx);
    void call(const Instr &in, EvalContext &ctx);

    std::vector<Operand> m_stack;
};

// The sheet id a formula reference points to, given the formula's own sheet.
inline int refSheet(const FormulaRef &ref, int ownSheetId) { return ref.sheetId >= 0 ? ref.sheetId : ownSheetId; }

} // namespace sheet
