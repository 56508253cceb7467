// What the agenda's window tests share: a frame double, typing helpers and temporary files.
#pragma once

#include "common/ui/frameservices.h"

#include <QFile>
#include <QPrinter>
#include <QString>
#include <QTest>
#include <QWidget>

#include <memory>

class FakeFrame : public FrameServices
{
public:
    void SetStyles(bool, bool, bool, bool, bool, bool, bool, const QString &, const QString &) override {}
    void setStatusText(const QString &text) override { status = text; }
    QStringList &PressePapierFichier() override { return fichier; }
    QStringList &PressePapierAgenda() override { return agenda; }
    QPrinter &printer() override
    {
        if (!m_printer)
            m_printer = std::make_unique<QPrinter>();
        return *m_printer;
    }

    QString status;
    QStringList fichier;
    QStringList agenda;

private:
    std::unique_ptr<QPrinter> m_printer;
};

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
