// The frame's spelling items of "&Texte": the dialog goes to the text window reached, the
// automatic check is a setting of the whole program. Without the French dictionary both
// items stay disabled and say why.
#include "shell/ui/tmainform.h"

#include "common/ui/hint.h"
#include "text/core/spellchecker.h"
#include "text/ui/ttexte.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>

namespace {

// A menu does not show the status hint of a disabled item; this one says why the spelling
// items are disabled when the mouse rests on them.
class DisabledHint : public QObject
{
public:
    DisabledHint(TMainForm *form, QMenu *menu) : QObject(menu), m_form(form)
    {
        setObjectName(QStringLiteral("spellingHint"));
        menu->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::MouseMove) {
            const QAction *a =
                    static_cast<QMenu *>(watched)->actionAt(static_cast<QMouseEvent *>(e)->position().toPoint());
            if (a && !a->isEnabled() && a->statusTip() == TTexte::dictionaryMissingHint())
                m_form->ShowStatusHint(a->statusTip());
        }
        return false;
    }

private:
    TMainForm *m_form;
};

} // namespace

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
    auto *menu = qobject_cast<QMenu *>(dialog->parent());
    if (!installed && menu && !menu->findChild<QObject *>(QStringLiteral("spellingHint"), Qt::FindDirectChildrenOnly))
        new DisabledHint(this, menu);
    if (!installed) {
        for (QAction *a : {dialog, automatic}) {
            a->setStatusTip(hint::longPart(TTexte::dictionaryMissingHint()));
            a->setToolTip(hint::shortPart(TTexte::dictionaryMissingHint()));
        }
    } else if (reached(DocKind::Texte)) {
        // A text window is open: load the dictionary now (not at start-up), so that it is
        // ready when the user types.
        SpellChecker::frenchIfLoaded();
    }
    dialog->setEnabled(installed && reached(DocKind::Texte));
    automatic->setEnabled(installed);
    automatic->setChecked(spelling::autoCheck());
}
