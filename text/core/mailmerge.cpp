#include "text/core/mailmerge.h"

#include <QTextCursor>
#include <QTextDocument>

namespace mailmerge {

int fillRecord(QTextDocument &doc, int record, const Contenu &contenu)
{
    int replaced = 0;
    int from = 0;
    QTextCursor edit(&doc);
    edit.beginEditBlock();
    for (;;) {
        const QTextCursor open = doc.find(QStringLiteral("["), from);
        if (open.isNull())
            break;
        const int a = open.selectionStart();
        const QTextCursor close = doc.find(QStringLiteral("]"), a);
        if (close.isNull() || close.selectionStart() >= a + kMarkerReach) {
            from = a + 1;
            continue;
        }
        QTextCursor marker(&doc);
        marker.setPosition(a);
        marker.setPosition(close.selectionEnd(), QTextCursor::KeepAnchor);
        const QString text = marker.selectedText();
        QString value = text;
        contenu(record, value);
        if (value == text) {
            from = a + 1;
            continue;
        }
        marker.insertText(value);
        from = a + int(value.size());
        ++replaced;
    }
    edit.endEditBlock();
    return replaced;
}

} // namespace mailmerge
