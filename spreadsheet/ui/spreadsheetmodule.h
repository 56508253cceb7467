// The spreadsheet's side of the program: creates its windows, owns its tool forms
// (single instances for the whole run) and registers its headless conversions.
#pragma once

#include "common/converterregistry.h"
#include "common/ui/documentwindow.h"

class QWidget;

class SpreadsheetModule
{
public:
    explicit SpreadsheetModule(QWidget *dialogParent);
    ~SpreadsheetModule();

    // A new, empty window of the module's kind; nullptr while the module has no window.
    DocumentWindow *createWindow(FrameServices &frame);

    static void registerConverters(ConverterRegistry &registry);

private:
    QWidget *m_dialogParent;
};
