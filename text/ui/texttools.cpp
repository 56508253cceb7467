#include "text/ui/texttools.h"

TextTools::TextTools(QWidget *dialogParent) : m_dialogParent(dialogParent), m_sender(4, QString()) {}
TextTools::~TextTools() = default;

void TextTools::ChargeGlo() {}
void TextTools::SauveGlo(const QString &programDir) { Q_UNUSED(programDir); }
void TextTools::initSpecialCharacters(const QStringList &fontFamilies) { Q_UNUSED(fontFamilies); }
void TextTools::SetExp(const QStringList &lines) { m_sender = lines; }
QStringList TextTools::GetExp() const { return m_sender; }
void TextTools::onSpaceTyped(TTexte &) {}
void TextTools::DateHeure(TTexte &) {}
void TextTools::ChangerCasse(TTexte &) {}
void TextTools::CarSpe(TTexte &) {}
void TextTools::Tabulations(TTexte &) {}
void TextTools::ImpEnv(TTexte &) {}
void TextTools::Glossaire(TTexte &) {}
void TextTools::Statistiques(TTexte &) {}
void TextTools::Paragraphe(TTexte &) {}
void TextTools::Sauvehtm(TTexte &) {}
void TextTools::SetPage(TTexte &) {}
void TextTools::Apercu(TTexte &) {}
