#include "common/ui/fonts.h"

#include <QFont>

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

} // namespace fonts
