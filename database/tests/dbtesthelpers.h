// What the database window tests share: the stand-in frame, keys typed where the focus is,
// and message boxes and errors answered and recorded instead of shown.
#pragma once

#include "common/testsupport/testframe.h"
#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "common/ui/printing.h"

#include <QApplication>
#include <QPrinter>
#include <QTest>

#include <memory>

// Records every message box and answers with `answer`.
struct MessageLog
{
    QList<messageboxes::Shown> shown;
    QStringList errors;
    messageboxes::Answer answer = messageboxes::Answer::Ok;

    void install()
    {
        messageboxes::setResponder([this](const messageboxes::Shown &s) {
            shown.append(s);
            return answer;
        });
        errorhandler::setSink([this](const QString &m) { errors.append(m); });
    }
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    void clear()
    {
        shown.clear();
        errors.clear();
    }
};

// Types into whatever has the focus, as a user would (non-ASCII characters included).
inline void typeText(const QString &text)
{
    for (QChar ch : text) {
        QWidget *w = QApplication::focusWidget();
        QVERIFY(w);
        if (ch.unicode() < 0x80)
            QTest::keyClick(w, char(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key(ch.toUpper().unicode()), QString(ch), Qt::NoModifier);
    }
}

inline void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *w = QApplication::focusWidget();
    QVERIFY(w);
    QTest::keyClick(w, key, modifiers);
}
