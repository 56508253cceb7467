#include "utilities/ui/utilitiesmodule.h"

UtilitiesModule::UtilitiesModule(QWidget *dialogParent) : m_dialogParent(dialogParent) {}

UtilitiesModule::~UtilitiesModule() = default;

bool UtilitiesModule::show(UtilityTool tool)
{
    Q_UNUSED(tool);
    return false;
}

void UtilitiesModule::ChargeNotes() {}

void UtilitiesModule::SauveNotes(const QString &programDir) { Q_UNUSED(programDir); }
