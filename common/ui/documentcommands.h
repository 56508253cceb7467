// The operations the frame routes to each kind of document window. A window class derives
// from DocumentWindow and from its kind's interface; an operation a window does not carry
// keeps the default, which does nothing (the command then has no effect, as for a kind
// that does not serve it).
#pragma once

#include "common/alignment.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

class QObject;

// Word processor window (TTexte).
class TexteCommands
{
public:
    virtual ~TexteCommands() = default;
    // "Fichier" (saving is the DocumentWindow's)
    virtual void Charge(const QString &path) { Q_UNUSED(path); }
    virtual void Imprime() { }
    virtual void Sauvehtm() { }
    virtual void Importer() { }
    virtual void SetPage() { }
    virtual void Apercu() { }
    // "Edition"
    virtual void Annule() { }
    virtual void Retablit() { } // redo what Annule undid
    // Whether Annule (Retablit) has something to act on; the window signals
    // undoStateChanged when that may have changed.
    virtual bool canUndo() const { return false; }
    virtual bool canRedo() const { return false; }
    virtual void Coupe() { }
    virtual void Copie() { }
    virtual void Colle() { }
    virtual void Chercher() { }
    virtual void FindDialog1Find(QObject *sender) { Q_UNUSED(sender); }
    virtual void Remplacer() { }
    virtual void Seltout() { }
    // "Texte" and "Format"
    virtual void DateHeure() { }
    virtual void Bullets(bool on) { Q_UNUSED(on); }
    virtual void ChangerCasse() { }
    virtual void CarSpe() { }
    virtual void Tabulations() { }
    virtual void ImpEnv() { }
    virtual void Glossaire() { }
    virtual void InsChamp() { }
    virtual void Publipostage() { }
    virtual void Statistiques() { }
    virtual void Codes(bool on) { Q_UNUSED(on); }
    virtual void Paragraphe() { }
    // Formatting toolbar and font command
    virtual void FontName(const QString &name) { Q_UNUSED(name); }
    virtual void FontSize(int size) { Q_UNUSED(size); }
    virtual void Bold(bool on) { Q_UNUSED(on); }
    virtual void Ital(bool on) { Q_UNUSED(on); }
    virtual void Under(bool on) { Q_UNUSED(on); }
    virtual void Justif(Alignment alignment) { Q_UNUSED(alignment); }
    virtual QFont GetFont() { return QFont(); }
    // The colour of the selection's characters (after GetFont).
    virtual QColor GetColour() { return QColor(Qt::black); }
    // An invalid colour leaves the colours as they are.
    virtual void SetFont(const QFont &font, const QColor &colour = QColor())
    {
        Q_UNUSED(font);
        Q_UNUSED(colour);
    }
};

// Spreadsheet window (TTableur).
class TableurCommands
{
public:
    virtual ~TableurCommands() = default;
    virtual void Charge(const QString &path) { Q_UNUSED(path); }
    virtual void Imprime() { }
    virtual void Apercu() { } // the pages of the active sheet as they would print
    virtual void Annule() { }
    virtual void Retablit() { } // redo what Annule undid
    // Whether Annule (Retablit) has something to act on; the window signals
    // undoStateChanged when that may have changed.
    virtual bool canUndo() const { return false; }
    virtual bool canRedo() const { return false; }
    virtual void Coupe() { }
    virtual void Copie() { }
    virtual void Colle() { }
    virtual void Seltout() { } // the whole active sheet
    virtual void Chercher() { } // asks for a text, then finds it
    virtual void FindNext() { } // the next cell holding the text asked for
    virtual void Remplacer() { } // asks for a text and its replacement, then replaces it
    virtual void InsLig() { }
    virtual void Inscol() { }
    virtual void SupLig() { }
    virtual void Supcol() { }
    virtual void Largeur() { }
    virtual void Hauteur() { }
    virtual void Ajuster() { }
    virtual void FixLigs(bool on) { Q_UNUSED(on); }
    virtual void FixCols(bool on) { Q_UNUSED(on); }
    // Whether the active sheet has frozen rows (columns), as a file or an earlier use left it.
    virtual bool hasFrozen(bool rows) const
    {
        Q_UNUSED(rows);
        return false;
    }
    virtual void Fonctions() { }
    virtual void Onglets() { }
    virtual void Trier() { }
    virtual void Graphique() { }
    virtual void Recalcule() { }
    virtual void Formules(bool on) { Q_UNUSED(on); }
    virtual void Grille(bool on) { Q_UNUSED(on); }
    virtual void FontName(const QString &name, int size)
    {
        Q_UNUSED(name);
        Q_UNUSED(size);
    }
    virtual void FontStyle(bool bold, bool italic, bool underline)
    {
        Q_UNUSED(bold);
        Q_UNUSED(italic);
        Q_UNUSED(underline);
    }
    virtual void Justif(Alignment alignment) { Q_UNUSED(alignment); }
    virtual void Nombre() { } // "Format › Nombre...": the number format of the selection
    virtual void Somme() { }
    virtual void GetFont(QFont &font) { Q_UNUSED(font); }
    // The colour of the active cell's characters (after GetFont).
    virtual QColor GetColour() { return QColor(Qt::black); }
    // An invalid colour leaves the colours as they are.
    virtual void SetFont(const QFont &font, const QColor &colour = QColor())
    {
        Q_UNUSED(font);
        Q_UNUSED(colour);
    }
};

// Card-file database window (TFichier).
class FichierCommands
{
public:
    virtual ~FichierCommands() = default;
    virtual void Charge(const QString &path) { Q_UNUSED(path); }
    virtual void Imprime(QObject *sender) { Q_UNUSED(sender); }
    virtual void Coupe(QStringList &rows) { Q_UNUSED(rows); }
    virtual void Copie(QStringList &rows) { Q_UNUSED(rows); }
    virtual void Colle(QStringList &rows) { Q_UNUSED(rows); }
    virtual void Chercher() { }
    virtual void FindNext() { }
    virtual void Remplacer() { }
    virtual void InsLig() { }
    virtual void InsCol() { }
    virtual void SupLig() { }
    virtual void SupCol() { }
    virtual void Champs() { }
    virtual void VueListe() { }
    virtual void VueFiche() { }
    virtual void ImpEnv() { }
    virtual void Trier() { }
    // Mail merge: the selected records, and the substitution of one field marker.
    virtual void Bornes(int &first, int &last)
    {
        first = 1;
        last = 0;
    }
    virtual void Contenu(int record, QString &text)
    {
        Q_UNUSED(record);
        Q_UNUSED(text);
    }
    // The trimmed names of the named fields in column order, as the window holds them now.
    virtual QStringList NomsChamps() const { return {}; }
};

// Day planner window (TAgenda).
class AgendaCommands
{
public:
    virtual ~AgendaCommands() = default;
    virtual void Charge(const QString &path) { Q_UNUSED(path); }
    virtual void Coupe(QStringList &rows) { Q_UNUSED(rows); }
    virtual void Copie(QStringList &rows) { Q_UNUSED(rows); }
    virtual void Colle(QStringList &rows) { Q_UNUSED(rows); }
    virtual void DefJournee() { }
    virtual void Journee() { }
    virtual void Semaine() { }
    virtual void Etendue() { }
    virtual void SupEtendue() { }
};
