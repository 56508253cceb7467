// The desk utilities: single instances for the whole run, shown modally from the
// "Utilitaires" menu; the notepad's notes are loaded at start and saved at exit.
#pragma once

#include <QString>

class QWidget;

enum class UtilityTool { Calculatrice, Horloge, Euroconvertisseur, Blocnotes, Pselettres };

class UtilitiesModule
{
public:
    explicit UtilitiesModule(QWidget *dialogParent);
    ~UtilitiesModule();

    // Shows the tool, modal; false while it is not built.
    bool show(UtilityTool tool);

    // Notes "velmora.nte": read when the frame is first shown, written when it closes
    // (to `programDir`, see datafiles.h).
    void ChargeNotes();
    void SauveNotes(const QString &programDir);

private:
    QWidget *m_dialogParent;
};
