// The text tool forms (date and time, change of case, special characters, tab stops,
// envelopes, glossary, statistics, paragraph, page set-up, preview): single instances for
// the whole run, and the text-window operations that use them.
#pragma once

#include "text/core/glossary.h"

#include <QPointer>
#include <QStringList>

#include <functional>
#include <optional>

class ConverterRegistry;
class QDialog;
class QWidget;
class TCaract;
class TCasse;
class TDatHeur;
class TEcran;
class TEnveloppes;
class TGlos;
class TMep;
class TParagraf;
class TStats;
class TTabul;
class TTexte;

class TextTools
{
public:
    explicit TextTools(QWidget *dialogParent);
    ~TextTools();
    TextTools(const TextTools &) = delete;
    TextTools &operator=(const TextTools &) = delete;

    // Glossary "Velmora.glo" in the per-user data folder (see datafiles.h): loaded when the
    // frame is first shown, saved when the glossary window closes and at exit, when changed.
    // A failure is reported through the general error handler; the glossary then stays
    // changed, so that the next save tries again.
    void ChargeGlo();
    void SauveGlo();
    // The special-character table takes the toolbar's font list.
    void initSpecialCharacters(const QStringList &fontFamilies);
    // The four sender lines of the envelope dialog.
    void SetExp(const QStringList &lines);
    QStringList GetExp() const;

    // Automatic glossary expansion, called by the text window when a space was typed (the
    // space is already in the text, before the caret).
    void onSpaceTyped(TTexte &window);

    // Operations of the text window carried out with a tool form.
    void DateHeure(TTexte &window);
    void ChangerCasse(TTexte &window);
    void CarSpe(TTexte &window);
    void Tabulations(TTexte &window);
    void ImpEnv(TTexte &window);
    void Glossaire(TTexte &window);
    void Statistiques(TTexte &window);
    void Paragraphe(TTexte &window);
    void Sauvehtm(TTexte &window);
    void SetPage(TTexte &window);
    void Apercu(TTexte &window);

    // "--convert-to htm" of ".qvt" (and ".rtf") documents, the same page as the menu's.
    static void registerConverters(ConverterRegistry &registry);

    // The forms, for the frame and for tests; each is made when first asked for.
    TDatHeur &datHeur() const;
    TCasse &casse() const;
    TCaract &caract() const;
    TEnveloppes &enveloppes() const;
    TTabul &tabul() const;
    TGlos &glos() const;
    TStats &stats() const;
    TParagraf &paragraf() const;
    TMep &mep() const;
    TEcran &ecran() const;

    // Tests answer the forms through this: it gets each form already shown and must close
    // it (a form left open counts as closed with the window's close box). Without it, the
    // forms are shown modally for the user.
    using DialogRunner = std::function<void(QDialog &)>;
    void setDialogRunner(DialogRunner runner) { m_runner = std::move(runner); }

private:
    void run(QDialog &dialog);

    QWidget *m_dialogParent;
    DialogRunner m_runner;
    mutable QPointer<TDatHeur> m_datHeur;
    mutable QPointer<TCasse> m_casse;
    mutable QPointer<TCaract> m_caract;
    mutable QPointer<TEnveloppes> m_enveloppes;
    mutable QPointer<TTabul> m_tabul;
    mutable QPointer<TGlos> m_glos;
    mutable QPointer<TStats> m_stats;
    mutable QPointer<TParagraf> m_paragraf;
    mutable QPointer<TMep> m_mep;
    mutable QPointer<TEcran> m_ecran;
    // What the special-character table and the envelope form get when they are made.
    std::optional<QStringList> m_fontFamilies;
    std::optional<QStringList> m_sender;
    mutable std::optional<Glossary> m_glossaryRead; // read at start, for the form not made yet
    QString m_gloPathRead;
};
