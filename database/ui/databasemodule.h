// The card-file database's side of the program: creates its windows, owns its tool forms
// (single instances for the whole run) and registers its headless conversions.
#pragma once

#include "common/converterregistry.h"
#include "common/ui/documentwindow.h"

class QWidget;

class DatabaseModule
{
public:
    explicit DatabaseModule(QWidget *dialogParent);
    ~DatabaseModule();

    // A new, empty window of the module's kind; nullptr while the module has no window.
    DocumentWindow *createWindow(FrameServices &frame);

    static void registerConverters(ConverterRegistry &registry);

private:
    QWidget *m_dialogParent;
};
