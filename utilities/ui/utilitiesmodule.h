// The desk utilities: single instances for the whole run, shown modally from the
// "Utilitaires" menu; the notepad's notes are loaded at start and saved at exit.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;
class TBnotes;
class TEurof;
class THorloge;
class TPLettre;
class TPocket;

enum class UtilityTool { Calculatrice, Horloge, Euroconvertisseur, Blocnotes, Pselettres };

class UtilitiesModule
{
public:
    explicit UtilitiesModule(QWidget *dialogParent);
    ~UtilitiesModule();

    // Shows the tool, modal, and returns when it is closed.
    bool show(UtilityTool tool);

    // Notes "velmora.nte" in the per-user data folder (see datafiles.h): read when the frame
    // is first shown, written when changed, as the notepad closes and at exit. A notes file
    // that cannot be written is reported; the notes stay changed for the next try.
    void ChargeNotes();
    void SauveNotes();

    // The forms, created on first use.
    TPocket &pocket();
    THorloge &horloge();
    TEurof &eurof();
    TBnotes &bnotes();
    TPLettre &plettre();

private:
    QWidget *m_dialogParent;
    QPointer<TPocket> m_pocket;
    QPointer<THorloge> m_horloge;
    QPointer<TEurof> m_eurof;
    QPointer<TBnotes> m_bnotes;
    QPointer<TPLettre> m_plettre;
    std::optional<QStringList> m_notesRead; // read at start, for the notepad not made yet
};
