#include "spreadsheet/core/formulatokenizer.h"

#include "common/velmoraerror.h"
#include "spreadsheet/core/value.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace sheet {

namespace {

bool isAsciiDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

bool isWordStart(QChar c) { return c.isLetter() || c == u'_' || c == u'$'; }

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'.'; }

[[noreturn]] void fail(const QString &what, int position)
{
    throw VelmoraError(QStringLiteral("Formule incorrecte : %1 (position %2)").arg(what).arg(position + 1));
}

class Tokenizer
{
public:
    Tokenizer(const QString &text, Dialect dialect) : m_text(text), m_dialect(dialect) { }

    std::vector<Token> run()
    {
        std::vector<Token> tokens;
        // Room for the usual formula at once: a token every four characters or so.
        tokens.reserve(size_t(m_text.size()) / 4 + 4);
        while (true) {
            skipSpaces();
            Token t;
            t.position = m_pos;
            if (m_pos >= m_text.size()) {
                tokens.push_back(t);
                return tokens;
            }
            readToken(t);
            tokens.push_back(std::move(t));
        }
    }

private:
    QChar at(int i) const { return i < m_text.size() ? m_text[i] : QChar(); }
    QChar cur() const { return at(m_pos); }

    void skipSpaces()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    QChar decimalSeparator() const { return m_dialect == Dialect::French ? u',' : u'.'; }

    void readToken(Token &t)
    {
        const QChar c = cur();
        if (c == u'"')
            return readString(t);
        if (c.isDigit() || (c == decimalSeparator() && at(m_pos + 1).isDigit()))
            return readNumber(t);
        if (c == u'#')
            return readError(t);
        if (m_dialect == Dialect::OpenFormula && c == u'[')
            return readBracketReference(t);
        if (m_dialect == Dialect::French && c == u'\'')
            return readQuotedSheetReference(t);
        if (isWordStart(c))
            return readWord(t);
        readPunctuation(t);
    }

    void readString(Token &t)
    {
        t.type = TokenType::String;
        ++m_pos;
        while (true) {
            if (m_pos >= m_text.size())
                fail(QStringLiteral("guillemet fermant manquant"), t.position);
            if (m_text[m_pos] == u'"') {
                if (at(m_pos + 1) == u'"') {
                    t.text += u'"';
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                return;
            }
            t.text += m_text[m_pos++];
        }
    }

    void readNumber(Token &t)
    {
        t.type = TokenType::Number;
        // The digits in ASCII with "." for the decimal point, whatever the dialect.
        std::string digits;
        auto take = [&] { digits.push_back(char(m_text[m_pos++].unicode())); };
        while (isAsciiDigit(cur()))
            take();
        if (cur() == decimalSeparator()) {
            digits.push_back('.');
            ++m_pos;
            while (isAsciiDigit(cur()))
                take();
        }
        if ((cur() == u'e' || cur() == u'E')
            && (isAsciiDigit(at(m_pos + 1))
                || ((at(m_pos + 1) == u'+' || at(m_pos + 1) == u'-') && isAsciiDigit(at(m_pos + 2))))) {
            digits.push_back('e');
            ++m_pos;
            if (cur() == u'+' || cur() == u'-')
                take();
            while (isAsciiDigit(cur()))
                take();
        }
        if (!formulaNumberValue(digits, t.number) || cur().isDigit())
            fail(QStringLiteral("nombre incorrect"), t.position);
        if (isWordStart(cur()))
            fail(QStringLiteral("nombre incorrect"), t.position);
    }

    bool matchError(QString &text)
    {
        static const ErrorCode codes[] = {ErrorCode::Null, ErrorCode::DivZero, ErrorCode::Value, ErrorCode::Ref,
                                          ErrorCode::Name, ErrorCode::Num,     ErrorCode::NA,    ErrorCode::Circular};
        for (ErrorCode code : codes) {
            const QString e = errorText(code);
            if (QStringView(m_text).mid(m_pos).startsWith(e, Qt::CaseInsensitive)) {
                m_pos += int(e.size());
                text = e;
                return true;
            }
        }
        return false;
    }

    void readError(Token &t)
    {
        t.type = TokenType::Error;
        if (!matchError(t.text))
            fail(QStringLiteral("valeur d'erreur inconnue"), t.position);
    }

    // French: Feuil2!A1, 'Mon budget'!A1:B3
    void readQuotedSheetReference(Token &t)
    {
        ++m_pos;
        QString name;
        while (true) {
            if (m_pos >= m_text.size())
                fail(QStringLiteral("apostrophe fermante manquante"), t.position);
            if (cur() == u'\'') {
                if (at(m_pos + 1) == u'\'') {
                    name += u'\'';
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                break;
            }
            name += m_text[m_pos++];
        }
        if (cur() != u'!')
            fail(QStringLiteral("« ! » attendu après le nom de feuille"), m_pos);
        ++m_pos;
        readCellsAfterSheet(t, name);
    }

    void readCellsAfterSheet(Token &t, const QString &sheetName)
    {
        t.type = TokenType::Reference;
        t.hasSheet = true;
        t.sheetName = sheetName;
        if (QStringView(m_text).mid(m_pos).startsWith(u"#REF!", Qt::CaseInsensitive)) {
            m_pos += 5;
            t.invalid = true;
            return;
        }
        if (!scanCellReference(m_text, m_pos, t.a))
            fail(QStringLiteral("référence incorrecte"), m_pos);
        t.b = t.a;
        readRangeEnd(t);
    }

    void readRangeEnd(Token &t)
    {
        if (cur() != u':')
            return;
        int p = m_pos + 1;
        RefEnd end;
        if (!scanCellReference(m_text, p, end))
            fail(QStringLiteral("référence incorrecte"), p);
        m_pos = p;
        t.isRange = true;
        t.b = end;
    }

    void readWord(Token &t)
    {
        const int start = m_pos;
        if (m_dialect == Dialect::French) {
            // A reference first: the word stops at ":" or "!".
            int p = m_pos;
            RefEnd a;
            if (scanCellReference(m_text, p, a) && !isWordChar(at(p)) && at(p) != u'(' && at(p) != u'!') {
                m_pos = p;
                t.type = TokenType::Reference;
                t.a = t.b = a;
                readRangeEnd(t);
                return;
            }
        }
        while (m_pos < m_text.size() && isWordChar(m_text[m_pos]))
            ++m_pos;
        const QString word = m_text.mid(start, m_pos - start);
        if (m_dialect == Dialect::French && cur() == u'!') {
            if (word.contains(u'$'))
                fail(QStringLiteral("nom de feuille incorrect"), start);
            ++m_pos;
            readCellsAfterSheet(t, word);
            return;
        }
        if (cur() == u'(') {
            t.type = TokenType::Function;
            t.text = word;
            return;
        }
        // The functions list spells two names with a space: "ERROR TYPE", "YEAR SIGN".
        const QString upper = word.toUpper();
        if (upper == u"ERROR" || upper == u"YEAR") {
            int p = m_pos;
            while (at(p) == u' ')
                ++p;
            const QString second = upper == u"ERROR" ? QStringLiteral("TYPE") : QStringLiteral("SIGN");
            if (p > m_pos && QStringView(m_text).mid(p, 4).compare(second, Qt::CaseInsensitive) == 0) {
                int q = p + 4;
                while (at(q) == u' ')
                    ++q;
                if (at(q) == u'(') {
                    m_pos = q;
                    t.type = TokenType::Function;
                    t.text = upper + u' ' + second;
                    return;
                }
            }
        }
        t.type = TokenType::Name;
        t.text = word;
    }

    // OpenFormula: [.A1], [.A1:.B3], [$Feuil2.A1], ['Mon budget'.A1], [.A:.A], [.#REF!]
    void readBracketReference(Token &t)
    {
        t.type = TokenType::Reference;
        ++m_pos;
        readOpenFormulaEnd(t, t.a, true);
        t.b = t.a;
        if (cur() == u':') {
            ++m_pos;
            readOpenFormulaEnd(t, t.b, false);
            t.isRange = true;
        }
        if (cur() != u']')
            fail(QStringLiteral("« ] » attendu"), m_pos);
        ++m_pos;
        if (t.isRange)
            completeWholeLines(t);
    }

    void readOpenFormulaEnd(Token &t, RefEnd &end, bool first)
    {
        if (cur() == u'$')
            ++m_pos;
        QString sheetName;
        bool hasSheet = false;
        if (cur() == u'\'') {
            ++m_pos;
            while (true) {
                if (m_pos >= m_text.size())
                    fail(QStringLiteral("apostrophe fermante manquante"), t.position);
                if (cur() == u'\'') {
                    if (at(m_pos + 1) == u'\'') {
                        sheetName += u'\'';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                sheetName += m_text[m_pos++];
            }
            hasSheet = true;
        } else {
            while (m_pos < m_text.size() && cur() != u'.' && cur() != u']' && cur() != u':')
                sheetName += m_text[m_pos++];
            hasSheet = !sheetName.isEmpty();
        }
        if (hasSheet && sheetName.compare(u"#REF!", Qt::CaseInsensitive) == 0) {
            t.invalid = true;
            hasSheet = false;
        }
        if (first && hasSheet) {
            t.hasSheet = true;
            t.sheetName = sheetName;
        }
        if (cur() != u'.') {
            if (hasSheet && !first)
                return;
            fail(QStringLiteral("« . » attendu dans la référence"), m_pos);
        }
        ++m_pos;
        if (QStringView(m_text).mid(m_pos).startsWith(u"#REF!", Qt::CaseInsensitive)) {
            m_pos += 5;
            t.invalid = true;
            return;
        }
        if (!scanOpenFormulaCell(end))
            fail(QStringLiteral("référence incorrecte"), m_pos);
    }

    // A cell, or a whole column ("A") or row ("3") written as half of a range; the missing
    // part is marked with 0 and completed by completeWholeLines.
    bool scanOpenFormulaCell(RefEnd &end)
    {
        int p = m_pos;
        if (scanCellReference(m_text, p, end)) {
            m_pos = p;
            return true;
        }
        bool abs = false;
        if (at(p) == u'$') {
            abs = true;
            ++p;
        }
        QString letters;
        while (at(p).isLetter() && at(p).unicode() < 128)
            letters += at(p++);
        if (!letters.isEmpty()) {
            const int col = columnNumber(letters);
            if (col == 0)
                return false;
            end = RefEnd{0, std::int16_t(col), false, abs}; // col is at most 256
            m_pos = p;
            return true;
        }
        QString digits;
        while (at(p).isDigit())
            digits += at(p++);
        const int row = digits.toInt();
        if (row < 1 || row > kMaxRows)
            return false;
        end = RefEnd{row, 0, abs, false};
        m_pos = p;
        return true;
    }

    void completeWholeLines(Token &t)
    {
        if (t.a.row == 0 || t.b.row == 0) {
            t.a.row = 1;
            t.b.row = kMaxRows;
            t.a.rowAbs = t.b.rowAbs = true;
        }
        if (t.a.col == 0 || t.b.col == 0) {
            t.a.col = 1;
            t.b.col = kMaxColumns;
            t.a.colAbs = t.b.colAbs = true;
        }
    }

    void readPunctuation(Token &t)
    {
        const QChar c = cur();
        ++m_pos;
        switch (c.unicode()) {
        case u'(': t.type = TokenType::LeftParen; return;
        case u')': t.type = TokenType::RightParen; return;
        case u';': t.type = TokenType::Separator; return;
        case u'+':
        case u'-':
        case u'*':
        case u'/':
        case u'^':
        case u'&':
        case u'=':
        case u'%':
            t.type = TokenType::Operator;
            t.text = c;
            return;
        case u'<':
            t.type = TokenType::Operator;
            t.text = c;
            if (cur() == u'=' || cur() == u'>')
                t.text += m_text[m_pos++];
            return;
        case u'>':
            t.type = TokenType::Operator;
            t.text = c;
            if (cur() == u'=')
                t.text += m_text[m_pos++];
            return;
        default: break;
        }
        if (c == u',' && m_dialect == Dialect::French)
            fail(QStringLiteral("« , » inattendue ; les arguments se séparent par « ; »"), t.position);
        fail(QStringLiteral("caractère « %1 » inattendu").arg(c), t.position);
    }

    const QString &m_text;
    Dialect m_dialect;
    int m_pos = 0;
};

} // namespace

bool scanCellReference(const QString &text, int &pos, RefEnd &out)
{
    int p = pos;
    auto at = [&](int i) { return i < text.size() ? text[i] : QChar(); };
    RefEnd r;
    if (at(p) == u'$') {
        r.colAbs = true;
        ++p;
    }
    int col = 0;
    int letters = 0;
    while (at(p).unicode() < 128 && at(p).isLetter()) {
        col = col * 26 + (at(p).toUpper().unicode() - u'A' + 1);
        ++p;
        if (++letters > 3)
            return false;
    }
    if (letters == 0 || col > kMaxColumns)
        return false;
    if (at(p) == u'$') {
        r.rowAbs = true;
        ++p;
    }
    qint64 row = 0;
    int digits = 0;
    while (at(p).isDigit() && at(p).unicode() < 128) {
        row = row * 10 + (at(p).unicode() - u'0');
        ++p;
        if (++digits > 8)
            return false;
    }
    if (digits == 0 || row < 1 || row > kMaxRows)
        return false;
    r.row = int(row);
    r.col = col;
    out = r;
    pos = p;
    return true;
}

bool plainDecimalValue(std::string_view text, double &value)
{
    const char *p = text.data(), *end = p + text.size();
    const char *q = p + (p < end && *p == '-');
    auto digits = [&] {
        const char *from = q;
        while (q < end && *q >= '0' && *q <= '9')
            ++q;
        return q > from;
    };
    if (!digits())
        return false;
    const char *integerEnd = q;
    if (q < end && *q == '.' && (++q, !digits()))
        return false;
    if (q < end && (*q == 'e' || *q == 'E')) {
        ++q;
        if (q < end && (*q == '+' || *q == '-'))
            ++q;
        if (!digits())
            return false;
    }
    if (q != end)
        return false;
    // Whole numbers of up to fifteen digits are exact as they are.
    if (integerEnd == end && end - p <= 15) {
        const bool negative = *p == '-';
        std::int64_t n = 0;
        for (const char *d = p + negative; d < end; ++d)
            n = n * 10 + (*d - '0');
        value = negative ? -double(n) : double(n);
        return true;
    }
    const auto [ptr, ec] = std::from_chars(p, end, value);
    // Below the normal range the general conversion decides, as it did.
    return ec == std::errc() && ptr == end && (std::isnormal(value) || value == 0);
}

bool formulaNumberValue(std::string_view digits, double &value)
{
    if (plainDecimalValue(digits, value))
        return true;
    // Anything else (an exponent out of range, "1.") goes through the general conversion,
    // which decides as before.
    bool ok = false;
    value = QString::fromLatin1(digits.data(), qsizetype(digits.size())).toDouble(&ok);
    return ok && std::isfinite(value);
}

std::vector<Token> tokenizeFormula(const QString &text, Dialect dialect) { return Tokenizer(text, dialect).run(); }

} // namespace sheet
