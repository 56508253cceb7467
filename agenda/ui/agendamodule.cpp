#include "agenda/ui/agendamodule.h"

AgendaModule::AgendaModule(QWidget *dialogParent) : m_dialogParent(dialogParent) {}

AgendaModule::~AgendaModule() = default;

DocumentWindow *AgendaModule::createWindow(FrameServices &frame)
{
    Q_UNUSED(frame);
    return nullptr;
}

bool AgendaModule::showCalendrier() { return false; }

void AgendaModule::registerConverters(ConverterRegistry &registry) { Q_UNUSED(registry); }
