// The frame's spelling items of "&Texte": the dialog goes to the text window reached, the
// automatic check is a setting of the whole program. Without the French dictionary both
// items stay disabled and say why.
#include "shell/ui/tmainform.h"

#include "common/ui/hint.h"
#include "text/core/spellchecker.h"
#include "text/ui/ttexte.h"

#include <QAction>

void TMainForm::Orthographe1Click()
{
    if (auto *t = dynamic_cast<TTexte *>(reached(DocKind::Texte)))
        t->Orthographe();
}

void TMainForm::Verificationautomatique1Click()
{
    if (QAction *a = m_actions.value(QStringLiteral("Verificationautomatique1")))
        spelling::setAutoCheck(a->isChecked());
}

void TMainForm::updateSpellingItems()
{
    QAction *dialog = m_actions.value(QStringLiteral("Orthographe1"));
    QAction *automatic = m_actions.value(QStringLiteral("Verificationautomatique1"));
    if (!dialog || !automatic)
        return;
    const bool installed = SpellChecker::frenchInstalled();
    if (!installed) {
        for (QAction *a : {dialog, automatic}) {
            a->setStatusTip(hint::longPart(TTexte::dictionaryMissingHint()));
            a->setToolTip(hint::shortPart(TTexte::dictionaryMissingHint()));
        }
    } else {
        // Start loading the dictionary now, so that it is ready when the user types.
        SpellChecker::frenchIfLoaded();
    }
    dialog->setEnabled(installed && reached(DocKind::Texte));
    automatic->setEnabled(installed);
    automatic->setChecked(spelling::autoCheck());
}
