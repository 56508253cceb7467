// What the database window tests share: a frame double, keys typed where the focus is,
// and message boxes and errors answered and recorded instead of shown.
#pragma once

#include "common/ui/errorhandler.h"
#include "common/ui/frameservices.h"
#include "common/ui/messageboxes.h"
#include "common/ui/printing.h"

#include <QApplication>
#include <QPrinter>
#include <QTest>

#include <memory>

class FakeFrame : public FrameServices
{
public:
    void SetStyles(bool, bool, bool, bool, bool, bool, bool, const QString &, const QString &) override {}
    void setStatusText(const QString &text) override { status = text; }
    QStringList &PressePapierFichier() override { return clipboard; }
    QStringList &PressePapierAgenda() override { return agendaClipboard; }
    QPrinter &printer() override
    {
        if (!m_printer)
            m_printer = printing::createPrinter();
        return *m_printer;
    }
    void setFieldNames(const QStringList &names) override
    {
        fieldNames = names;
        ++fieldNameRefills;
    }

    QString status;
    QStringList clipboard;
    QStringList agendaClipboard;
    QStringList fieldNames;
    int fieldNameRefills = 0;

private:
    std::unique_ptr<QPrinter> m_printer;
};

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
