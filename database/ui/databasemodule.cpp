#include "database/ui/databasemodule.h"

DatabaseModule::DatabaseModule(QWidget *dialogParent) : m_dialogParent(dialogParent) {}

DatabaseModule::~DatabaseModule() = default;

DocumentWindow *DatabaseModule::createWindow(FrameServices &frame)
{
    Q_UNUSED(frame);
    return nullptr;
}

void DatabaseModule::registerConverters(ConverterRegistry &registry) { Q_UNUSED(registry); }
