// A compiled formula: a postfix program (constants, references, operators, function calls)
// produced by the parser from the French formula language or from OpenFormula, and turned
// back into either text by the writer. References hold absolute positions plus their "$"
// flags, so moving cells and inserting rows only rewrite the reference table.
#pragma once

#include "spreadsheet/core/celladdress.h"
#include "spreadsheet/core/slabpool.h"

#include <QString>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

namespace sheet {

enum class Op : std::uint8_t {
    Number, // arg: index in numbers
    String, // arg: index in strings
    Boolean, // arg: 0 or 1
    Error, // arg: ErrorCode
    Missing, // an empty argument: IF(A1;;2)
    Ref, // arg: index in refs
    Name, // arg: index in strings; an unknown name, evaluates to #NAME?
    Neg,
    Plus,
    Percent,
    Add,
    Sub,
    Mul,
    Div,
    Pow,
    Concat,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Paren, // keeps the writer's parentheses where the user put them
    Call, // arg: function index, argc: argument count
    CallUnknown, // arg: index in strings (the name), argc: argument count; gives #NAME?
};

struct Instr
{
    Op op;
    std::uint8_t argc = 0;
    std::uint32_t arg = 0;
};

struct RefEnd
{
    int row = 1;
    std::int16_t col = 1; // a column, or one moved off the sheet by an insertion: small
    bool rowAbs = false;
    bool colAbs = false;
};

// Sets the row (rows) or the column of a reference's corner.
inline void setLine(RefEnd &end, bool rows, int line)
{
    if (rows)
        end.row = line;
    else
        end.col = std::int16_t(line);
}

struct FormulaRef
{
    int sheetId = -1; // stable id of the sheet; -1: the formula's own sheet
    bool isRange = false;
    bool invalid = false; // points to deleted cells: #REF!
    RefEnd a;
    RefEnd b; // second corner of a range (a otherwise)
};

// Sheet names and ids as the parser and the writer see them.
class SheetNames
{
public:
    virtual ~SheetNames() = default;
    virtual int sheetIdByName(const QString &name) const = 0; // -1 when unknown
    virtual QString sheetNameById(int id) const = 0;
};

enum class Dialect { French, OpenFormula };

// A fixed array of a compiled formula, read like a constant vector, that copies of the
// formula and formulas filled from one another share: one allocation holding a count of
// its owners, its size and its items, freed by the last owner. Changing it means building
// another one (assign).
template<typename T>
class SharedArray
{
public:
    SharedArray() = default;
    SharedArray(const std::vector<T> &items) { assign(items); }
    SharedArray(const SharedArray &other) : m_block(other.m_block)
    {
        if (m_block)
            m_block->owners.fetch_add(1, std::memory_order_relaxed);
    }
    SharedArray(SharedArray &&other) noexcept : m_block(other.m_block) { other.m_block = nullptr; }
    SharedArray &operator=(const SharedArray &other)
    {
        SharedArray copy(other);
        std::swap(m_block, copy.m_block);
        return *this;
    }
    SharedArray &operator=(SharedArray &&other) noexcept
    {
        std::swap(m_block, other.m_block);
        return *this;
    }
    ~SharedArray() { release(); }

    void assign(const std::vector<T> &items)
    {
        release();
        if (items.empty())
            return;
        void *raw = ::operator new(sizeof(Block) + items.size() * sizeof(T));
        m_block = new (raw) Block{{1}, items.size()};
        T *out = m_block->items();
        for (size_t i = 0; i < items.size(); ++i)
            new (out + i) T(items[i]);
    }
    std::vector<T> toVector() const { return std::vector<T>(begin(), end()); }

    const T *begin() const { return m_block ? m_block->items() : nullptr; }
    const T *end() const { return m_block ? m_block->items() + m_block->size : nullptr; }
    size_t size() const { return m_block ? m_block->size : 0; }
    bool empty() const { return !m_block; }
    const T &operator[](size_t i) const { return m_block->items()[i]; }
    // True when both are the same allocation (or both empty).
    bool sharedWith(const SharedArray &other) const { return m_block == other.m_block; }

private:
    struct alignas(T) alignas(std::uint64_t) Block
    {
        std::atomic<std::uint32_t> owners;
        size_t size;
        T *items() { return reinterpret_cast<T *>(this + 1); }
    };
    void release()
    {
        if (m_block && m_block->owners.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            T *items = m_block->items();
            for (size_t i = 0; i < m_block->size; ++i)
                items[i].~T();
            m_block->~Block();
            ::operator delete(static_cast<void *>(m_block));
        }
        m_block = nullptr;
    }
    Block *m_block = nullptr;
};

// The references of a formula, read and grown like a vector: most formulas have one or
// two, kept inside the formula itself; more go to an array of their own.
class FormulaRefs
{
public:
    static constexpr std::uint32_t kInline = 2;

    FormulaRefs() = default;
    FormulaRefs(const FormulaRefs &other) { append(other.begin(), other.end()); }
    FormulaRefs(FormulaRefs &&other) noexcept { take(other); }
    FormulaRefs &operator=(const FormulaRefs &other)
    {
        if (this != &other) {
            clear();
            append(other.begin(), other.end());
        }
        return *this;
    }
    FormulaRefs &operator=(FormulaRefs &&other) noexcept
    {
        if (this != &other) {
            freeHeap();
            m_size = m_capacity = 0;
            take(other);
        }
        return *this;
    }
    ~FormulaRefs() { freeHeap(); }

    FormulaRef *data() { return m_capacity > kInline ? m_heap : inlineItems(); }
    const FormulaRef *data() const { return m_capacity > kInline ? m_heap : inlineItems(); }
    FormulaRef *begin() { return data(); }
    FormulaRef *end() { return data() + m_size; }
    const FormulaRef *begin() const { return data(); }
    const FormulaRef *end() const { return data() + m_size; }
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    FormulaRef &operator[](size_t i) { return data()[i]; }
    const FormulaRef &operator[](size_t i) const { return data()[i]; }
    FormulaRef &back() { return data()[m_size - 1]; }
    const FormulaRef &back() const { return data()[m_size - 1]; }
    void clear() { m_size = 0; }
    void push_back(const FormulaRef &ref)
    {
        if (m_size == capacity()) {
            const FormulaRef copy = ref; // `ref` may be one of ours
            grow(m_size * 2);
            data()[m_size++] = copy;
            return;
        }
        data()[m_size++] = ref;
    }
    // Gives back spare room: a list that fits inside the formula moves back there.
    void shrink_to_fit()
    {
        if (m_capacity > kInline && m_size < m_capacity)
            grow(m_size);
    }
    size_t capacity() const { return m_capacity > kInline ? m_capacity : kInline; }

private:
    static_assert(std::is_trivially_copyable_v<FormulaRef>);
    FormulaRef *inlineItems() { return std::launder(reinterpret_cast<FormulaRef *>(m_inline)); }
    const FormulaRef *inlineItems() const { return std::launder(reinterpret_cast<const FormulaRef *>(m_inline)); }
    void append(const FormulaRef *from, const FormulaRef *to)
    {
        for (; from != to; ++from)
            push_back(*from);
    }
    // Moves the items to room for `wanted` (at least the size): inside when it fits.
    void grow(size_t wanted)
    {
        const size_t capacity = std::max<size_t>(wanted, m_size);
        FormulaRef *old = data();
        const bool wasHeap = m_capacity > kInline;
        if (capacity <= kInline) {
            if (wasHeap) {
                FormulaRef *heap = m_heap;
                std::memcpy(static_cast<void *>(m_inline), heap, m_size * sizeof(FormulaRef));
                ::operator delete(heap);
            }
            m_capacity = 0;
            return;
        }
        auto *items = static_cast<FormulaRef *>(::operator new(capacity * sizeof(FormulaRef)));
        std::memcpy(static_cast<void *>(items), old, m_size * sizeof(FormulaRef));
        if (wasHeap)
            ::operator delete(old);
        m_heap = items;
        m_capacity = std::uint32_t(capacity);
    }
    void take(FormulaRefs &other)
    {
        if (other.m_capacity > kInline)
            m_heap = other.m_heap;
        else
            std::memcpy(static_cast<void *>(m_inline), other.m_inline, sizeof(m_inline));
        m_size = other.m_size;
        m_capacity = other.m_capacity;
        other.m_size = other.m_capacity = 0;
    }
    void freeHeap()
    {
        if (m_capacity > kInline)
            ::operator delete(m_heap);
    }

    union {
        alignas(FormulaRef) unsigned char m_inline[kInline * sizeof(FormulaRef)];
        FormulaRef *m_heap;
    };
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 0; // at most kInline: the items are inside
};

// Formulas of cells come from a pool of their size.
struct Formula : SlabAllocated<Formula>
{
    // The program, its number and text constants: the same for formulas filled down a
    // column (their references differ, not their program), so shared where they are equal.
    SharedArray<Instr> code;
    SharedArray<double> numbers;
    SharedArray<QString> strings;
    FormulaRefs refs;
    bool isVolatile = false; // RAND, NOW, TODAY, INDIRECT, OFFSET
    bool hasDynamicRefs = false; // INDIRECT, OFFSET: reads cells not listed in refs
};

// A reference written again in a formula is one entry of its table when the first is among
// the first kMaxSharedRefs entries (looked for among these only, so that compiling stays
// linear).
constexpr size_t kMaxSharedRefs = 32;

// Compiles `text` (without the leading "="). Throws VelmoraError with
// a French message on a syntax error or a wrong number of arguments. A reference to an
// unknown sheet compiles to #REF!.
Formula compileFormula(const QString &text, Dialect dialect, const SheetNames &sheets);

// The formula as text, without the leading "=".
QString formulaToText(const Formula &formula, Dialect dialect, const SheetNames &sheets);
// The same text in UTF-8, appended to `out`.
void appendFormulaText(std::string &out, const Formula &formula, Dialect dialect, const SheetNames &sheets);

// A number as the formula language writes it ("1,5" or "1.5"), shortest exact form.
QString formatFormulaNumber(double value, Dialect dialect);
// The same in ASCII into `out` (room for 48 bytes); returns its length.
int formulaNumberChars(double value, Dialect dialect, char *out);

// Moves every relative part of the references by (dRows, dCols), as copying a formula does;
// parts that leave the sheet become #REF!.
void shiftRelativeRefs(Formula &formula, int dRows, int dCols);

// Row or column insertion (count > 0) or deletion (count < 0) at `at` on sheet `sheetId`,
// for a formula living on sheet `ownSheetId`: references follow the moved cells, references
// into deleted cells become #REF!, ranges grow or shrink. Returns true if anything changed.
bool adjustForInsertDelete(Formula &formula, int ownSheetId, int sheetId, bool rows, int at, int count);

// One reference to the changed sheet through that insertion or deletion: it follows the
// moved cells, becomes #REF! when its cells are deleted, grows or shrinks when lines are
// inserted or deleted inside it. Returns true if it changed.
bool adjustRefForInsertDelete(FormulaRef &ref, bool rows, int at, int count);

// What that insertion or deletion would do to the references of a formula, without changing
// them: nothing; only move them (each still names the same cells, in the same shape); or
// reshape one (a range growing or shrinking, a reference into deleted cells turning #REF!).
enum class RefChange { None, Moved, Reshaped };
RefChange insertDeleteChange(const Formula &formula, int ownSheetId, int sheetId, bool rows, int at, int count);

// Cells `from` of sheet `sheetId` were moved by (dRows, dCols) on the same sheet (cut and
// paste): references lying wholly inside `from`, absolute or relative, follow them. Returns
// true if anything changed.
bool followMovedCells(Formula &formula, int ownSheetId, int sheetId, const CellRange &from, int dRows, int dCols);

// The literal format codes of TEXT(value; "code"): files keep them in the other
// spreadsheets' convention ("0.00"), the program in the French one ("0,00"). Converts them
// one way or the other; returns true if anything changed.
bool convertTextCodes(Formula &formula, bool toFrench);

// Makes `formula` share the program and constants of `other` where they are equal (formulas
// differing only by their references), so that a filled column keeps one copy of them.
void shareProgram(Formula &formula, const Formula &other);

// References to a removed sheet become #REF!.
bool invalidateSheet(Formula &formula, int sheetId);

} // namespace sheet
