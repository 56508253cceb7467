#include "common/ui/hint.h"

namespace hint {

QString shortPart(const QString &h)
{
    const qsizetype bar = h.indexOf(u'|');
    return bar < 0 ? h : h.left(bar);
}

QString longPart(const QString &h)
{
    const qsizetype bar = h.indexOf(u'|');
    return bar < 0 ? h : h.mid(bar + 1);
}

} // namespace hint
