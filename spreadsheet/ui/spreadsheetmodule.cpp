#include "spreadsheet/ui/spreadsheetmodule.h"

SpreadsheetModule::SpreadsheetModule(QWidget *dialogParent) : m_dialogParent(dialogParent) {}

SpreadsheetModule::~SpreadsheetModule() = default;

DocumentWindow *SpreadsheetModule::createWindow(FrameServices &frame)
{
    Q_UNUSED(frame);
    return nullptr;
}

void SpreadsheetModule::registerConverters(ConverterRegistry &registry) { Q_UNUSED(registry); }
