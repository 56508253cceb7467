#include "spreadsheet/core/celladdress.h"

namespace sheet {

QString columnName(int col)
{
    if (col < 1 || col > kMaxColumns)
        return QString();
    QString name;
    while (col > 0) {
        const int digit = (col - 1) % 26;
        name.prepend(QChar(u'A' + digit));
        col = (col - 1) / 26;
    }
    return name;
}

int columnNumber(const QString &letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int col = 0;
    for (QChar ch : letters) {
        const char16_t c = ch.toUpper().unicode();
        if (c < u'A' || c > u'Z')
            return 0;
        col = col * 26 + (c - u'A' + 1);
    }
    return col <= kMaxColumns ? col : 0;
}

QString cellName(int row, int col) { return columnName(col) + QString::number(row); }

QString rangeName(const CellRange &range)
{
    if (range.top == range.bottom && range.left == range.right)
        return cellName(range.top, range.left);
    return cellName(range.top, range.left) + u':' + cellName(range.bottom, range.right);
}

bool parseCellName(const QString &text, int &row, int &col)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isLetter() && text[i].unicode() < 128)
        ++i;
    if (i == 0 || i == text.size())
        return false;
    const int c = columnNumber(text.left(i));
    if (c == 0)
        return false;
    bool ok = false;
    const QString digits = text.mid(i);
    for (QChar ch : digits)
        if (ch < u'0' || ch > u'9')
            return false;
    const qlonglong r = digits.toLongLong(&ok);
    if (!ok || r < 1 || r > kMaxRows)
        return false;
    row = int(r);
    col = c;
    return true;
}

} // namespace sheet
