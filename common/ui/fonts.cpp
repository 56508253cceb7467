#include "common/ui/fonts.h"

#include <QFontDatabase>
#include <QFontInfo>

#include <cmath>

namespace fonts {

void installSubstitutions()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QString sans = QStringLiteral("Liberation Sans");
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), sans);
    QFont::insertSubstitution(QStringLiteral("System"), sans);
    QFont::insertSubstitution(QStringLiteral("Arial"), sans);
    QFont::insertSubstitution(QStringLiteral("Helvetica"), sans);
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Wingdings"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("Symbol"), QStringLiteral("DejaVu Sans"));
}

QString uiFamily() { return QStringLiteral("Liberation Sans"); }

QString plainFamily(const QString &family)
{
    QString name = family.trimmed();
    if (name.endsWith(u']')) {
        const qsizetype open = name.lastIndexOf(QLatin1String(" ["));
        if (open > 0)
            name.truncate(open);
    }
    return name;
}

QStringList families()
{
    QStringList list;
    for (const QString &family : QFontDatabase::families())
        list.append(plainFamily(family).left(31));
    list.sort(Qt::CaseInsensitive);
    list.removeDuplicates();
    return list;
}

QFont dialogFont(const QString &family)
{
    QFont font(plainFamily(family));
    if (!font.family().isEmpty() && !QFontDatabase::hasFamily(font.family()))
        font.setFamily(plainFamily(QFontInfo(font).family()));
    return font;
}

Changes changes(const QFont &shown, const QFont &chosen)
{
    Changes c;
    c.family = plainFamily(shown.family()).compare(plainFamily(chosen.family()), Qt::CaseInsensitive) != 0;
    c.size = std::lround(shown.pointSizeF() * 20) != std::lround(chosen.pointSizeF() * 20);
    c.bold = shown.bold() != chosen.bold();
    c.italic = shown.italic() != chosen.italic();
    c.underline = shown.underline() != chosen.underline();
    c.strikeOut = shown.strikeOut() != chosen.strikeOut();
    return c;
}

} // namespace fonts
