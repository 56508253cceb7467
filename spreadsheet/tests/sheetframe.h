// The frame with real spreadsheet windows (other kinds are empty windows), as the
// spreadsheet's frame tests drive it: errors and message boxes are recorded, and every
// message box is answered "Non".
#pragma once

#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "shell/ui/tmainform.h"
#include "spreadsheet/ui/spreadsheettools.h"
#include "spreadsheet/ui/ttableur.h"

#include <QAction>
#include <QtTest>

#include <memory>

class SheetFrame
{
protected:
    // For the test's init(): a fresh frame, shown.
    void startFrame()
    {
        errors.clear();
        boxes.clear();
        errorhandler::setSink([this](const QString &m) { errors << m; });
        messageboxes::setResponder([this](const messageboxes::Shown &s) {
            boxes << s;
            return messageboxes::Answer::Non;
        });
        tools = std::make_unique<SpreadsheetTools>();
        form = std::make_unique<TMainForm>();
        form->setWindowFactory([this](DocKind kind, FrameServices &frame) -> DocumentWindow * {
            return kind == DocKind::Tableur ? new TTableur(frame, *tools) : nullptr;
        });
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    // For the test's cleanup().
    void stopFrame()
    {
        form.reset();
        tools.reset();
        errorhandler::setSink({});
        messageboxes::setResponder({});
    }
    // Runs a menu command by its component name; it must exist and be enabled.
    void trigger(const char *name)
    {
        QAction *a = form->action(QString::fromLatin1(name));
        QVERIFY2(a, name);
        QVERIFY2(a->isEnabled(), name);
        a->trigger();
    }

    std::unique_ptr<TMainForm> form;
    std::unique_ptr<SpreadsheetTools> tools;
    QStringList errors;
    QList<messageboxes::Shown> boxes;
};
