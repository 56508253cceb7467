#include "text/ui/textmodule.h"

TextModule::TextModule(QWidget *dialogParent) : m_dialogParent(dialogParent)
{
    m_sender = QStringList(4, QString());
}

TextModule::~TextModule() = default;

DocumentWindow *TextModule::createWindow(FrameServices &frame)
{
    Q_UNUSED(frame);
    return nullptr;
}

void TextModule::ChargeGlo() {}

void TextModule::SauveGlo(const QString &programDir) { Q_UNUSED(programDir); }

void TextModule::initSpecialCharacters(const QStringList &fontFamilies) { Q_UNUSED(fontFamilies); }

void TextModule::SetExp(const QStringList &lines) { m_sender = lines; }

QStringList TextModule::GetExp() const { return m_sender; }

void TextModule::registerConverters(ConverterRegistry &registry) { Q_UNUSED(registry); }
