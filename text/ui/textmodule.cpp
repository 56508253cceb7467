#include "text/ui/textmodule.h"

TextModule::TextModule(QWidget *dialogParent) : m_dialogParent(dialogParent), m_tools(dialogParent) {}

TextModule::~TextModule() = default;

DocumentWindow *TextModule::createWindow(FrameServices &frame)
{
    Q_UNUSED(frame);
    return nullptr;
}

void TextModule::registerConverters(ConverterRegistry &registry) { Q_UNUSED(registry); }
