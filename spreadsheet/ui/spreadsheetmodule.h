// The spreadsheet's side of the program: creates its windows, owns its tool forms
// (single instances for the whole run) and registers its headless conversions.
#pragma once

#include "common/converterregistry.h"
#include "common/ui/documentwindow.h"
#include "spreadsheet/ui/spreadsheettools.h"

class QWidget;

class SpreadsheetModule
{
public:
    explicit SpreadsheetModule(QWidget *dialogParent);
    ~SpreadsheetModule();

    // A new, empty spreadsheet window (TTableur).
    DocumentWindow *createWindow(FrameServices &frame);

    SpreadsheetTools &tools() { return m_tools; }

    // "--convert-to csv" and "--convert-to pdf" of a workbook (".qvc" or ".ods"), and
    // "--convert-to qvc" and "--convert-to ods" of a workbook or a CSV file.
    static void registerConverters(ConverterRegistry &registry);

private:
    SpreadsheetTools m_tools;
};
