// The text tool forms (date and time, change of case, special characters, tab stops,
// envelopes, glossary, statistics, paragraph, page set-up, preview): single instances for
// the whole run, and the text-window operations that use them.
#pragma once

#include <QStringList>

class QWidget;
class TTexte;

class TextTools
{
public:
    explicit TextTools(QWidget *dialogParent);
    ~TextTools();

    // Glossary "Velmora.glo": loaded when the frame is first shown, saved at exit.
    void ChargeGlo();
    void SauveGlo(const QString &programDir);
    // The special-character table takes the toolbar's font list.
    void initSpecialCharacters(const QStringList &fontFamilies);
    // The four sender lines of the envelope dialog.
    void SetExp(const QStringList &lines);
    QStringList GetExp() const;

    // Automatic glossary expansion, called by the text window when a space was typed.
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

private:
    QWidget *m_dialogParent;
    QStringList m_sender;
};
