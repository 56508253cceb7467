// The spreadsheet functions: one table of name, argument counts and implementation, read by
// the formula compiler (names and arity) and by the functions dialog (the listed names).
#pragma once

#include <QString>
#include <QStringList>

#include <span>
#include <utility>
#include <vector>

namespace sheet {

class Operand;
class EvalContext;
class Value;

// Returns a value, or a reference (INDEX, OFFSET, INDIRECT, CHOOSE).
using FunctionImpl = Operand (*)(EvalContext &ctx, std::span<const Operand> args);

struct FunctionInfo
{
    QString name; // upper-case English name, as written in formulas ("ERROR.TYPE")
    int minArgs = 0;
    int maxArgs = 0; // -1: no limit
    FunctionImpl impl = nullptr;
    bool isVolatile = false; // recomputed on every change and every recalculation
    bool wantsReferences = false; // gets ranges as references, not as values (ROW, OFFSET...)
    QString frenchName; // the name French users know ("TYPE.ERREUR"), shown in the window
};

class FunctionRegistry
{
public:
    // The registry of the program's functions (built once, never changed).
    static const FunctionRegistry &instance();

    // By name (case-insensitive); the listed spellings "ERROR TYPE", "YEAR SIGN" and
    // "ROUNDOWN" find ERROR.TYPE, SIGN and ROUNDDOWN. nullptr when unknown.
    const FunctionInfo *find(const QString &name) const;
    // By French name (case-insensitive), nullptr when unknown.
    const FunctionInfo *findFrench(const QString &name) const;
    // The function a name typed in the window stands for: the French name first, the
    // English one too; where both name different functions (TRIM is MIRR in French), the
    // one that takes `argc` arguments.
    const FunctionInfo *findTyped(const QString &name, int argc) const;
    // Every function's English and French names.
    static const std::vector<std::pair<QString, QString>> &frenchNames();
    const FunctionInfo &at(int index) const { return m_functions[size_t(index)]; }
    int indexOf(const FunctionInfo *info) const { return int(info - m_functions.data()); }
    const std::vector<FunctionInfo> &all() const { return m_functions; }

    // The 127 entries of the "Fonctions" dialog, in its order and spelling.
    static QStringList dialogNames();

private:
    FunctionRegistry();
    std::vector<FunctionInfo> m_functions;
};

} // namespace sheet
