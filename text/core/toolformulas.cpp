#include "text/core/toolformulas.h"

#include "common/cp1252.h"
#include "common/frenchformat.h"
#include "common/velmoraerror.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace texttools {

bool isWordSeparator(QChar c)
{
    switch (c.unicode()) {
    case u' ':
    case u',':
    case u'.':
    case u';':
    case u'!':
    case u':':
    case u'\r': return true;
    default: return false;
    }
}

Statistics statistics(const QStringList &displayedLines)
{
    qsizetype n = displayedLines.size();
    if (n > 0 && displayedLines.last().isEmpty())
        --n;
    Statistics s;
    s.lines = int(n);
    for (qsizetype i = 0; i < n; ++i) {
        const QString &line = displayedLines[i];
        s.characters += int(line.size());
        // A word: what lies between separators and holds a letter or a digit ("l'été" is
        // one, a lone dash none). A word cut at the end of a displayed line counts on both.
        bool inWord = false;
        for (QChar c : line) {
            if (c.isSpace() || isWordSeparator(c)) {
                inWord = false;
            } else if (!inWord && c.isLetterOrNumber()) {
                inWord = true;
                ++s.words;
            }
        }
    }
    return s;
}

QStringList dateTimeFormats()
{
    return {QStringLiteral("dd/mm/yyyy"),       QStringLiteral("dd mmm yyyy"),
            QStringLiteral("dd mmmm yyyy"),     QStringLiteral("ddd dd mmm yyyy"),
            QStringLiteral("dddd dd mmm yyyy"), QStringLiteral("dddd dd mmmm yyyy"),
            QStringLiteral("hh \"h\" nn"),      QStringLiteral("hh:nn")};
}

QString formatDateTime(const QString &format, const QDateTime &when) { return french::formatDateTime(format, when); }

QString changeCase(const QString &text, CaseChange change)
{
    if (change == CaseChange::None)
        return text;
    // Character by character, accented letters included; the length stays ("ß" stays "ß"
    // rather than becoming "SS"), which the editor's run-by-run replacement relies on.
    QString changed = text;
    for (QChar &c : changed)
        c = change == CaseChange::Upper ? c.toUpper() : c.toLower();
    return changed;
}

int characterCode(int row, int column) { return kFirstTableCode + row * kTableColumns + column; }

QString tableCharacter(int row, int column)
{
    const int code = characterCode(row, column);
    if (code < kFirstTableCode || code > 255)
        return QString();
    const QChar ch = cp1252::decodeByte(static_cast<unsigned char>(code));
    // The undefined codes decode to C1 control characters: nothing worth inserting.
    if (ch.unicode() >= 0x80 && ch.unicode() <= 0x9F)
        return QString();
    return QString(ch);
}

int tabListValue(double stopPoints, int unitWidth)
{
    if (unitWidth <= 0)
        return 0;
    const int whole = int(stopPoints); // stops are whole points in the editor's units
    const int value = whole / unitWidth;
    return value > 0 ? value : 0;
}

int parseInteger(const QString &text)
{
    QStringView t(text);
    qsizetype i = 0;
    while (i < t.size() && t[i] == u' ')
        ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
        negative = t[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < t.size() && t[i] == u'$') {
        base = 16;
        ++i;
    }
    if (i >= t.size())
        throw VelmoraError::notAnInteger(text);
    qint64 value = 0;
    for (; i < t.size(); ++i) {
        const int digit = QChar(t[i]).isDigit() && t[i].unicode() < 0x80         ? t[i].unicode() - u'0'
                : base == 16 && t[i].toLower() >= u'a' && t[i].toLower() <= u'f' ? t[i].toLower().unicode() - u'a' + 10
                                                                                 : -1;
        if (digit < 0)
            throw VelmoraError::notAnInteger(text);
        value = value * base + digit;
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            throw VelmoraError::notAnInteger(text);
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        throw VelmoraError::notAnInteger(text);
    return int(value);
}

// 72 points make an inch, 25.4 millimetres.
int pointsToMillimetres(int points) { return int(std::lround(double(points) * 25.4 / 72.0)); }

int millimetresToPoints(int millimetres)
{
    const double points = std::round(double(millimetres) * 72.0 / 25.4);
    return int(std::clamp<double>(points, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace texttools
