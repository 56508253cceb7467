#include "utilities/core/notesfile.h"

#include "common/cp1252.h"
#include "common/textfile.h"

#include <algorithm>

namespace notesfile {

QStringList parse(const QByteArray &bytes)
{
    QStringList lines;
    for (const QByteArray &line : textfile::splitLines(textfile::cutAtCtrlZ(bytes)))
        lines.append(cp1252::decode(line));
    return lines;
}

QByteArray serialize(const QStringList &lines) { return textfile::joinCrLf(lines); }

QStringList linesOf(const QString &text)
{
    if (text.isEmpty())
        return {};
    return text.split(u'\n');
}

QString textOf(const QStringList &lines) { return lines.join(u'\n'); }

QList<PageRange> paginate(int lineCount, int lineHeight, int pageHeight)
{
    QList<PageRange> pages;
    const int perPage = std::max(1, lineHeight > 0 ? pageHeight / lineHeight : lineCount);
    for (int first = 0; first < lineCount; first += perPage)
        pages.append({first, std::min(perPage, lineCount - first)});
    if (pages.isEmpty())
        pages.append({0, 0});
    return pages;
}

} // namespace notesfile
