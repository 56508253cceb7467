// The day planner's side of the program: creates agenda windows, owns the agenda's tool
// forms and the desk calendar (single instances for the whole run) and registers its
// headless conversions.
#pragma once

#include "common/converterregistry.h"
#include "common/ui/documentwindow.h"

class QWidget;

class AgendaModule
{
public:
    explicit AgendaModule(QWidget *dialogParent);
    ~AgendaModule();

    // A new, empty agenda window; nullptr while the module has no agenda window.
    DocumentWindow *createWindow(FrameServices &frame);

    // Shows the desk calendar "TCalendrier", modal; false while it is not built.
    bool showCalendrier();

    static void registerConverters(ConverterRegistry &registry);

private:
    QWidget *m_dialogParent;
};
