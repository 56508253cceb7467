// What the agenda's window tests share: the stand-in frame, typing helpers and temporary files.
#pragma once

#include "common/testsupport/testframe.h"

#include <QFile>
#include <QPrinter>
#include <QString>
#include <QTest>
#include <QWidget>

#include <memory>

// QTest::keyClicks refuses non-ASCII text; accented letters go as key events.
inline void typeText(QWidget *w, const QString &s)
{
    for (QChar ch : s) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(w, char(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key(ch.toUpper().unicode()), QString(ch), Qt::NoModifier);
    }
}

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}
