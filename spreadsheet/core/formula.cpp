#include "spreadsheet/core/formula.h"

#include "common/velmoraerror.h"
#include "spreadsheet/core/formulatokenizer.h"
#include "spreadsheet/core/functionregistry.h"
#include "spreadsheet/core/numberformat.h"
#include "spreadsheet/core/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace sheet {

namespace {

// Deeper nesting than this is refused rather than risking the parser's own stack.
constexpr int kMaxNesting = 200;

[[noreturn]] void fail(const QString &what, int position)
{
    throw VelmoraError(QStringLiteral("Formule incorrecte : %1 (position %2)").arg(what).arg(position + 1));
}

// Names other spreadsheet programs write for the same functions.
QString canonicalFunctionName(const QString &name)
{
    QString n = name.toUpper();
    for (const char *prefix : {"_XLFN.", "COM.MICROSOFT.", "ORG.OPENOFFICE."})
        if (n.startsWith(QLatin1String(prefix)))
            n = n.mid(int(qstrlen(prefix)));
    return n;
}

class Parser
{
public:
    Parser(std::vector<Token> tokens, Dialect dialect, const SheetNames &sheets)
        : m_tokens(std::move(tokens)),
          m_dialect(dialect),
          m_sheets(sheets)
    { }

    Formula run()
    {
        if (peek().type == TokenType::End)
            fail(QStringLiteral("formule vide"), 0);
        parseExpression(0, 0);
        if (peek().type != TokenType::End) {
            if (peek().type == TokenType::RightParen)
                fail(QStringLiteral("parenthèse fermante en trop"), peek().position);
            fail(QStringLiteral("opérateur attendu"), peek().position);
        }
        m_formula.code.assign(m_code);
        m_formula.numbers.assign(m_numbers);
        m_formula.strings.assign(m_strings);
        m_formula.refs.shrink_to_fit();
        return std::move(m_formula);
    }

private:
    const Token &peek() const { return m_tokens[m_index]; }
    const Token &next() { return m_tokens[m_index++]; }

    void emitOp(Op op, std::uint32_t arg = 0, std::uint8_t argc = 0) { m_code.push_back(Instr{op, argc, arg}); }

    static int binaryPrecedence(const Token &t, Op &op)
    {
        if (t.type != TokenType::Operator)
            return -1;
        const QString &s = t.text;
        if (s == u"=") {
            op = Op::Eq;
            return 1;
        }
        if (s == u"<>") {
            op = Op::Ne;
            return 1;
        }
        if (s == u"<") {
            op = Op::Lt;
            return 1;
        }
        if (s == u"<=") {
            op = Op::Le;
            return 1;
        }
        if (s == u">") {
            op = Op::Gt;
            return 1;
        }
        if (s == u">=") {
            op = Op::Ge;
            return 1;
        }
        if (s == u"&") {
            op = Op::Concat;
            return 2;
        }
        if (s == u"+") {
            op = Op::Add;
            return 3;
        }
        if (s == u"-") {
            op = Op::Sub;
            return 3;
        }
        if (s == u"*") {
            op = Op::Mul;
            return 4;
        }
        if (s == u"/") {
            op = Op::Div;
            return 4;
        }
        if (s == u"^") {
            op = Op::Pow;
            return 5;
        }
        return -1;
    }

    // Precedence climbing: comparison < & < + - < * / < ^ < % < unary minus.
    void parseExpression(int minPrecedence, int depth)
    {
        if (depth > kMaxNesting)
            fail(QStringLiteral("formule trop imbriquée"), peek().position);
        parseUnary(depth);
        while (true) {
            Op op;
            const int prec = binaryPrecedence(peek(), op);
            if (prec < 0 || prec < minPrecedence)
                return;
            next();
            parseExpression(prec + 1, depth + 1);
            emitOp(op);
        }
    }

    void parseUnary(int depth)
    {
        if (depth > kMaxNesting)
            fail(QStringLiteral("formule trop imbriquée"), peek().position);
        const Token &t = peek();
        if (t.type == TokenType::Operator && (t.text == u"-" || t.text == u"+")) {
            const bool negate = t.text == u"-";
            next();
            parseUnary(depth + 1);
            emitOp(negate ? Op::Neg : Op::Plus);
            return;
        }
        parsePrimary(depth);
        while (peek().type == TokenType::Operator && peek().text == u"%") {
            next();
            emitOp(Op::Percent);
        }
    }

    std::uint32_t addString(const QString &s)
    {
        m_strings.push_back(s);
        return std::uint32_t(m_strings.size() - 1);
    }

    void parsePrimary(int depth)
    {
        const Token &t = next();
        switch (t.type) {
        case TokenType::Number:
            m_numbers.push_back(t.number);
            emitOp(Op::Number, std::uint32_t(m_numbers.size() - 1));
            return;
        case TokenType::String: emitOp(Op::String, addString(t.text)); return;
        case TokenType::Error: emitOp(Op::Error, std::uint32_t(errorFromText(t.text))); return;
        case TokenType::Reference: emitReference(t); return;
        case TokenType::Function: parseCall(t, depth); return;
        case TokenType::Name: {
            const QString upper = t.text.toUpper();
            if (upper == u"TRUE" || upper == u"FALSE") {
                emitOp(Op::Boolean, upper == u"TRUE" ? 1 : 0);
                return;
            }
            // The cells show VRAI and FAUX: typed in a formula they are the same constants.
            if (m_dialect == Dialect::French && (upper == u"VRAI" || upper == u"FAUX")) {
                emitOp(Op::Boolean, upper == u"VRAI" ? 1 : 0);
                return;
            }
            emitOp(Op::Name, addString(t.text));
            return;
        }
        case TokenType::LeftParen:
            parseExpression(0, depth + 1);
            if (next().type != TokenType::RightParen)
                fail(QStringLiteral("parenthèse fermante manquante"), t.position);
            emitOp(Op::Paren);
            return;
        case TokenType::End: fail(QStringLiteral("formule incomplète"), t.position);
        default:
            fail(QStringLiteral("« %1 » inattendu").arg(t.text.isEmpty() ? QStringLiteral(";") : t.text), t.position);
        }
    }

    static bool sameEnd(const RefEnd &x, const RefEnd &y)
    {
        return x.row == y.row && x.col == y.col && x.rowAbs == y.rowAbs && x.colAbs == y.colAbs;
    }

    void emitReference(const Token &t)
    {
        FormulaRef ref;
        ref.isRange = t.isRange;
        ref.invalid = t.invalid;
        ref.a = t.a;
        ref.b = t.isRange ? t.b : t.a;
        if (t.hasSheet) {
            ref.sheetId = m_sheets.sheetIdByName(t.sheetName);
            if (ref.sheetId < 0)
                ref.invalid = true;
        }
        if (ref.isRange) {
            // Keep corners ordered so that the range is top-left to bottom-right.
            if (ref.a.row > ref.b.row)
                std::swap(ref.a.row, ref.b.row), std::swap(ref.a.rowAbs, ref.b.rowAbs);
            if (ref.a.col > ref.b.col)
                std::swap(ref.a.col, ref.b.col), std::swap(ref.a.colAbs, ref.b.colAbs);
        }
        // A reference written again (IF(A1>0;A1;-A1)) is the same entry of the table: the
        // formula keeps fewer, and the dependency index lists it once. Looked for among the
        // first ones only, so that a formula of thousands of references stays linear.
        const auto searched = m_formula.refs.begin() + std::min<size_t>(m_formula.refs.size(), kMaxSharedRefs);
        const auto same = std::find_if(m_formula.refs.begin(), searched, [&](const FormulaRef &r) {
            return r.sheetId == ref.sheetId && r.isRange == ref.isRange && r.invalid == ref.invalid
                    && sameEnd(r.a, ref.a) && sameEnd(r.b, ref.b);
        });
        if (same != searched) {
            emitOp(Op::Ref, std::uint32_t(same - m_formula.refs.begin()));
            return;
        }
        m_formula.refs.push_back(ref);
        emitOp(Op::Ref, std::uint32_t(m_formula.refs.size() - 1));
    }

    void parseCall(const Token &nameToken, int depth)
    {
        next(); // "("
        int argc = 0;
        if (peek().type == TokenType::RightParen) {
            next();
        } else {
            while (true) {
                if (peek().type == TokenType::Separator || peek().type == TokenType::RightParen)
                    emitOp(Op::Missing);
                else
                    parseExpression(0, depth + 1);
                ++argc;
                if (argc > 255)
                    fail(QStringLiteral("trop d'arguments"), peek().position);
                const Token &sep = next();
                if (sep.type == TokenType::RightParen)
                    break;
                if (sep.type != TokenType::Separator)
                    fail(sep.type == TokenType::End ? QStringLiteral("parenthèse fermante manquante")
                                                    : QStringLiteral("« ; » ou « ) » attendu"),
                         sep.position);
            }
        }
        const FunctionRegistry &registry = FunctionRegistry::instance();
        const QString name = canonicalFunctionName(nameToken.text);
        const FunctionInfo *info = m_dialect == Dialect::French ? registry.findTyped(name, argc) : registry.find(name);
        if (!info) {
            emitOp(Op::CallUnknown, addString(nameToken.text), std::uint8_t(argc));
            return;
        }
        if (argc < info->minArgs || (info->maxArgs >= 0 && argc > info->maxArgs))
            fail(QStringLiteral("nombre d'arguments incorrect pour %1")
                         .arg(m_dialect == Dialect::French && !info->frenchName.isEmpty() ? info->frenchName
                                                                                          : info->name),
                 nameToken.position);
        if (info->isVolatile)
            m_formula.isVolatile = true;
        if (info->name == u"INDIRECT" || info->name == u"OFFSET")
            m_formula.hasDynamicRefs = true;
        emitOp(Op::Call, std::uint32_t(registry.indexOf(info)), std::uint8_t(argc));
    }

    std::vector<Token> m_tokens;
    size_t m_index = 0;
    Dialect m_dialect;
    const SheetNames &m_sheets;
    Formula m_formula;
    std::vector<Instr> m_code;
    std::vector<double> m_numbers;
    std::vector<QString> m_strings;
};

QString quoteSheetName(const QString &name, Dialect dialect)
{
    bool plain = !name.isEmpty() && !name[0].isDigit();
    for (QChar c : name)
        if (!(c.isLetterOrNumber() || c == u'_'))
            plain = false;
    if (dialect == Dialect::French) {
        // A name that reads as a cell ("AB12") must be quoted too.
        int pos = 0;
        RefEnd dummy;
        if (scanCellReference(name, pos, dummy) && pos == name.size())
            plain = false;
    }
    if (plain)
        return name;
    QString quoted = name;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

// Appends a formula's text in UTF-8, walking its postfix code as the infix tree it stands
// for: one buffer, no string per operand (every formula of a saved workbook comes here).
class FormulaTextWriter
{
public:
    FormulaTextWriter(std::string &out, const Formula &formula, Dialect dialect, const SheetNames &sheets)
        : m_out(out),
          m_formula(formula),
          m_dialect(dialect),
          m_sheets(sheets)
    { }

    void run()
    {
        const int root = buildTree();
        if (root >= 0)
            write(root);
    }

private:
    struct Node
    {
        std::uint32_t firstKid = 0; // in m_kids; -1 there stands for an operand missing
        std::uint32_t kids = 0;
    };

    static int operandCount(const Instr &in)
    {
        if (in.op >= Op::Add && in.op <= Op::Ge) // the binary operators
            return 2;
        if (in.op == Op::Call || in.op == Op::CallUnknown)
            return in.argc;
        return in.op == Op::Neg || in.op == Op::Plus || in.op == Op::Percent || in.op == Op::Paren ? 1 : 0;
    }

    // Each instruction's operands, as the postfix code's stack gives them; the root is what
    // the stack holds last (-1 for an empty formula).
    int buildTree()
    {
        const size_t n = m_formula.code.size();
        m_nodes.resize(n);
        m_kids.clear();
        static thread_local std::vector<int> stack;
        stack.clear();
        for (size_t i = 0; i < n; ++i) {
            const int count = operandCount(m_formula.code[i]);
            Node &node = m_nodes[i];
            node.firstKid = std::uint32_t(m_kids.size());
            node.kids = std::uint32_t(count);
            const size_t present = std::min(stack.size(), size_t(count));
            m_kids.insert(m_kids.end(), size_t(count) - present, -1);
            m_kids.insert(m_kids.end(), stack.end() - std::ptrdiff_t(present), stack.end());
            stack.resize(stack.size() - present);
            stack.push_back(int(i));
        }
        return stack.empty() ? -1 : stack.back();
    }

    // Depth first without recursion: a long chain such as 1+1+...+1 is as deep as it is long.
    void write(int root)
    {
        struct Frame
        {
            int node;
            std::uint32_t next; // operands written so far
        };
        static thread_local std::vector<Frame> frames;
        frames.assign(1, Frame{root, 0});
        while (!frames.empty()) {
            Frame &f = frames.back();
            const Instr &in = m_formula.code[size_t(f.node)];
            const Node &node = m_nodes[size_t(f.node)];
            if (f.next == 0)
                opening(in);
            if (f.next == node.kids) {
                closing(in);
                frames.pop_back();
                continue;
            }
            if (f.next > 0)
                separator(in);
            const int kid = m_kids[node.firstKid + f.next++];
            if (kid >= 0)
                frames.push_back({kid, 0});
        }
    }

    void opening(const Instr &in)
    {
        switch (in.op) {
        case Op::Number: number(m_formula.numbers[in.arg]); break;
        case Op::String: {
            m_out += '"';
            const std::string s = m_formula.strings[in.arg].toStdString();
            for (char c : s) {
                if (c == '"')
                    m_out += '"';
                m_out += c;
            }
            m_out += '"';
            break;
        }
        case Op::Boolean:
            if (m_dialect == Dialect::French)
                m_out += in.arg ? "VRAI" : "FAUX";
            else
                m_out += in.arg ? "TRUE()" : "FALSE()";
            break;
        case Op::Error: m_out += errorText(ErrorCode(in.arg)).toStdString(); break;
        case Op::Ref: ref(m_formula.refs[in.arg]); break;
        case Op::Name: m_out += m_formula.strings[in.arg].toStdString(); break;
        case Op::Neg: m_out += '-'; break;
        case Op::Plus: m_out += '+'; break;
        case Op::Paren: m_out += '('; break;
        case Op::Call:
            m_out += functionName(int(in.arg));
            m_out += '(';
            break;
        case Op::CallUnknown:
            m_out += m_formula.strings[in.arg].toStdString();
            m_out += '(';
            break;
        default: break;
        }
    }

    void separator(const Instr &in)
    {
        static_assert(int(Op::Ge) - int(Op::Add) == 11, "the binary operators, in this order");
        static constexpr const char *kOperators[] = {"+", "-", "*", "/", "^", "&", "=", "<>", "<", "<=", ">", ">="};
        if (in.op == Op::Call || in.op == Op::CallUnknown)
            m_out += ';';
        else if (in.op >= Op::Add && in.op <= Op::Ge)
            m_out += kOperators[int(in.op) - int(Op::Add)];
    }

    void closing(const Instr &in)
    {
        if (in.op == Op::Percent)
            m_out += '%';
        else if (in.op == Op::Paren || in.op == Op::Call || in.op == Op::CallUnknown)
            m_out += ')';
    }

    // The window shows French names, files the English ones.
    const std::string &functionName(int index) const
    {
        static const auto names = [] {
            std::pair<std::vector<std::string>, std::vector<std::string>> all; // English, French
            for (const FunctionInfo &f : FunctionRegistry::instance().all()) {
                all.first.push_back(f.name.toStdString());
                all.second.push_back((f.frenchName.isEmpty() ? f.name : f.frenchName).toStdString());
            }
            return all;
        }();
        return (m_dialect == Dialect::French ? names.second : names.first)[size_t(index)];
    }

    void number(double value)
    {
        char buffer[48];
        m_out.append(buffer, formulaNumberChars(value, m_dialect, buffer));
    }

    void end(const RefEnd &e)
    {
        if (e.colAbs)
            m_out += '$';
        if (e.col >= 1 && e.col <= kMaxColumns) {
            char letters[4];
            int n = 0;
            for (int col = e.col; col > 0; col = (col - 1) / 26)
                letters[n++] = char('A' + (col - 1) % 26);
            while (n > 0)
                m_out += letters[--n];
        }
        if (e.rowAbs)
            m_out += '$';
        char digits[16];
        const auto r = std::to_chars(digits, digits + sizeof digits, e.row);
        m_out.append(digits, r.ptr);
    }

    // The quoted name of a sheet, converted once per sheet a formula names.
    const std::string &sheetText(int sheetId)
    {
        if (sheetId != m_lastSheetId) {
            m_lastSheetId = sheetId;
            m_lastSheetText = quoteSheetName(m_sheets.sheetNameById(sheetId), m_dialect).toStdString();
        }
        return m_lastSheetText;
    }

    void ref(const FormulaRef &r)
    {
        if (m_dialect == Dialect::French) {
            if (r.invalid) {
                m_out += "#REF!";
                return;
            }
            if (r.sheetId >= 0) {
                m_out += sheetText(r.sheetId);
                m_out += '!';
            }
            end(r.a);
            if (r.isRange) {
                m_out += ':';
                end(r.b);
            }
            return;
        }
        if (r.invalid) {
            m_out += "[.#REF!]";
            return;
        }
        auto prefix = [&] {
            if (r.sheetId >= 0) {
                m_out += '$';
                m_out += sheetText(r.sheetId);
            }
            m_out += '.';
        };
        m_out += '[';
        prefix();
        end(r.a);
        if (r.isRange) {
            m_out += ':';
            prefix();
            end(r.b);
        }
        m_out += ']';
    }

    std::string &m_out;
    const Formula &m_formula;
    const Dialect m_dialect;
    const SheetNames &m_sheets;
    // Room kept from formula to formula (a workbook's formulas are written one after another).
    static inline thread_local std::vector<Node> m_nodes;
    static inline thread_local std::vector<int> m_kids;
    int m_lastSheetId = -1;
    std::string m_lastSheetText;
};

} // namespace

int formulaNumberChars(double value, Dialect dialect, char *out)
{
    // A whole number of up to 15 digits is what "%.15g" writes: its digits.
    if (std::abs(value) < 1e15 && value == std::trunc(value) && !(value == 0 && std::signbit(value)))
        return int(std::to_chars(out, out + 48, static_cast<long long>(value)).ptr - out);
    // "%.*g" without the locale machinery: every formula text written goes through here.
    char buffer[40];
    std::to_chars_result r{};
    for (int precision = 15; precision <= 17; ++precision) {
        r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
        double back = 0;
        std::from_chars(buffer, r.ptr, back);
        if (back == value)
            break;
    }
    int n = 0;
    for (const char *p = buffer; p < r.ptr; ++p) {
        if (*p == 'e') {
            out[n++] = 'E';
            if (p + 1 < r.ptr && p[1] == '+')
                ++p;
        } else {
            out[n++] = *p == '.' && dialect == Dialect::French ? ',' : *p;
        }
    }
    return n;
}

QString formatFormulaNumber(double value, Dialect dialect)
{
    char buffer[48];
    return QString::fromLatin1(buffer, formulaNumberChars(value, dialect, buffer));
}

Formula compileFormula(const QString &text, Dialect dialect, const SheetNames &sheets)
{
    return Parser(tokenizeFormula(text, dialect), dialect, sheets).run();
}

void appendFormulaText(std::string &out, const Formula &formula, Dialect dialect, const SheetNames &sheets)
{
    FormulaTextWriter(out, formula, dialect, sheets).run();
}

QString formulaToText(const Formula &formula, Dialect dialect, const SheetNames &sheets)
{
    std::string text;
    appendFormulaText(text, formula, dialect, sheets);
    return QString::fromStdString(text);
}

void shiftRelativeRefs(Formula &formula, int dRows, int dCols)
{
    auto shift = [&](RefEnd &e, bool &invalid) {
        if (!e.rowAbs)
            e.row += dRows;
        if (!e.colAbs)
            e.col += dCols;
        if (e.row < 1 || e.row > kMaxRows || e.col < 1 || e.col > kMaxColumns)
            invalid = true;
    };
    for (FormulaRef &ref : formula.refs) {
        if (ref.invalid)
            continue;
        shift(ref.a, ref.invalid);
        shift(ref.b, ref.invalid);
        if (ref.invalid)
            ref.a = ref.b = RefEnd{};
    }
}

namespace {

// One coordinate of a reference through an insertion (count > 0) or a deletion (count < 0)
// of lines starting at `at`. Returns false when the line itself was deleted.
bool moveLine(int &line, int at, int count, int limit)
{
    if (line < at)
        return true;
    if (count > 0) {
        line += count;
        return line <= limit;
    }
    const int removed = -count;
    if (line < at + removed)
        return false;
    line -= removed;
    return true;
}

bool onSheet(const FormulaRef &ref, int ownSheetId, int sheetId)
{
    return !ref.invalid && (ref.sheetId >= 0 ? ref.sheetId : ownSheetId) == sheetId;
}

} // namespace

bool adjustRefForInsertDelete(FormulaRef &ref, bool rows, int at, int count)
{
    const int limit = rows ? kMaxRows : kMaxColumns;
    int a = rows ? ref.a.row : ref.a.col;
    int b = rows ? ref.b.row : ref.b.col;
    const int oldA = a, oldB = b;
    if (!ref.isRange) {
        if (!moveLine(a, at, count, limit))
            ref.invalid = true;
        b = a;
    } else if (count > 0) {
        moveLine(a, at, count, limit);
        if (!moveLine(b, at, count, limit))
            b = limit;
        if (a > limit)
            ref.invalid = true;
    } else {
        const int removed = -count;
        const int last = at + removed - 1;
        if (a >= at && b <= last) {
            ref.invalid = true;
        } else {
            // The range keeps its cells outside the deleted lines.
            int newA = a < at ? a : (a <= last ? at : a - removed);
            int newB = b < at ? b : (b <= last ? at - 1 : b - removed);
            a = newA;
            b = newB;
        }
    }
    if (rows) {
        ref.a.row = a;
        ref.b.row = b;
    } else {
        ref.a.col = std::int16_t(a);
        ref.b.col = std::int16_t(b);
    }
    return ref.invalid || a != oldA || b != oldB;
}

bool adjustForInsertDelete(Formula &formula, int ownSheetId, int sheetId, bool rows, int at, int count)
{
    bool changed = false;
    for (FormulaRef &ref : formula.refs)
        if (onSheet(ref, ownSheetId, sheetId) && adjustRefForInsertDelete(ref, rows, at, count))
            changed = true;
    return changed;
}

RefChange insertDeleteChange(const Formula &formula, int ownSheetId, int sheetId, bool rows, int at, int count)
{
    RefChange change = RefChange::None;
    for (const FormulaRef &ref : formula.refs) {
        if (!onSheet(ref, ownSheetId, sheetId))
            continue;
        // Lines inserted inside a range move its cells against its corners, even when the
        // range, already reaching the last line, cannot grow.
        if (ref.isRange && count > 0 && (rows ? ref.a.row : ref.a.col) < at && at <= (rows ? ref.b.row : ref.b.col))
            return RefChange::Reshaped;
        FormulaRef after = ref;
        if (!adjustRefForInsertDelete(after, rows, at, count))
            continue;
        const int before = rows ? ref.b.row - ref.a.row : ref.b.col - ref.a.col;
        const int now = rows ? after.b.row - after.a.row : after.b.col - after.a.col;
        if (after.invalid || now != before)
            return RefChange::Reshaped;
        change = RefChange::Moved;
    }
    return change;
}

bool followMovedCells(Formula &formula, int ownSheetId, int sheetId, const CellRange &from, int dRows, int dCols)
{
    bool changed = false;
    auto inside = [&](const RefEnd &e) {
        return e.row >= from.top && e.row <= from.bottom && e.col >= from.left && e.col <= from.right;
    };
    for (FormulaRef &ref : formula.refs) {
        if (ref.invalid || (ref.sheetId >= 0 ? ref.sheetId : ownSheetId) != sheetId)
            continue;
        if (!inside(ref.a) || !inside(ref.b))
            continue;
        ref.a.row += dRows;
        ref.a.col += dCols;
        ref.b.row += dRows;
        ref.b.col += dCols;
        if (ref.a.row < 1 || ref.b.row > kMaxRows || ref.a.col < 1 || ref.b.col > kMaxColumns)
            ref.invalid = true;
        changed = true;
    }
    return changed;
}

bool invalidateSheet(Formula &formula, int sheetId)
{
    bool changed = false;
    for (FormulaRef &ref : formula.refs)
        if (ref.sheetId == sheetId && !ref.invalid) {
            ref.invalid = true;
            changed = true;
        }
    return changed;
}

bool convertTextCodes(Formula &formula, bool toFrench)
{
    const FunctionRegistry &registry = FunctionRegistry::instance();
    bool changed = false;
    std::vector<QString> strings = formula.strings.toVector();
    for (size_t i = 1; i < formula.code.size(); ++i) {
        const Instr &call = formula.code[i];
        // In the postfix program a literal last argument is the instruction just before the call.
        if (call.op != Op::Call || call.argc != 2 || registry.at(int(call.arg)).name != u"TEXT"
            || formula.code[i - 1].op != Op::String)
            continue;
        QString &code = strings[formula.code[i - 1].arg];
        const QString converted = toFrench ? frenchNumberCode(code) : englishNumberCode(code);
        if (converted != code) {
            code = converted;
            changed = true;
        }
    }
    if (changed)
        formula.strings.assign(strings); // the formulas sharing the old ones keep them
    return changed;
}

void shareProgram(Formula &formula, const Formula &other)
{
    if (!formula.code.sharedWith(other.code) && formula.code.size() == other.code.size()
        && std::equal(formula.code.begin(), formula.code.end(), other.code.begin(), [](const Instr &a, const Instr &b) {
               return a.op == b.op && a.argc == b.argc && a.arg == b.arg;
           }))
        formula.code = other.code;
    // Numbers compared bit for bit: 0 and -0 are written differently.
    if (!formula.numbers.sharedWith(other.numbers) && formula.numbers.size() == other.numbers.size()
        && std::memcmp(formula.numbers.begin(), other.numbers.begin(), formula.numbers.size() * sizeof(double)) == 0)
        formula.numbers = other.numbers;
    if (!formula.strings.sharedWith(other.strings) && formula.strings.size() == other.strings.size()
        && std::equal(formula.strings.begin(), formula.strings.end(), other.strings.begin()))
        formula.strings = other.strings;
}

} // namespace sheet
