// The text window's spelling command; the underline itself is SpellUnderline.
#include "text/ui/ttexte.h"

#include "common/ui/errorhandler.h"
#include "text/core/spellchecker.h"
#include "text/ui/torthographe.h"
#include "text/ui/spellunderline.h"

QString TTexte::dictionaryMissingHint() { return QStringLiteral("Dictionnaire français absent (paquet hunspell-fr)"); }

void TTexte::Orthographe()
{
    SpellChecker *checker = Spelling->checker();
    if (!checker)
        checker = SpellChecker::french(); // still loading: wait for it
    if (!checker) {
        errorhandler::show(this, dictionaryMissingHint());
        return;
    }
    TOrthographe dialog(RichEdit1, *checker, this);
    dialog.run();
}
