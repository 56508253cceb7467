// "Glossaire": the one glossary of the program. Keeps the list of abbreviations and their
// texts, loaded at start-up and written at exit when changed, lets the user edit it and
// choose a text to insert, and answers the expansion lookups of the text windows.
#pragma once

#include "text/core/glossary.h"
#include "text/ui/tooldialog.h"

class QLineEdit;
class QListWidget;

class TGlos : public ToolDialog
{
    Q_OBJECT
public:
    explicit TGlos(QWidget *parent = nullptr);

    // Loads the glossary file (current directory, else the per-user data directory);
    // a missing file gives an empty list. Throws VelmoraError when it cannot be read.
    void ChargeGlo();
    // Takes a glossary read before the form was made, with the path it was read from.
    void setGlossary(const Glossary &glossary, const QString &path);
    // Writes the list to `path` when it changed since loading. Throws VelmoraError.
    void SauveGlo(const QString &path);
    // Expansion lookup (see Glossary::Cherche).
    void Cherche(QString &word, int &length) const { m_glossary.Cherche(word, length); }
    // After the dialog closed: the selected entry's text when "Insérer" was chosen.
    QString Result() const;

    const Glossary &glossary() const { return m_glossary; }
    QString GloPath() const { return m_gloPath; }
    bool GloModified() const { return m_glossary.isModified(); }

    QLineEdit *Edit1; // abbreviation, letters A to Z
    QLineEdit *Edit2; // text
    QListWidget *ListBox1;
    QPushButton *AddButton; // "Ajouter"
    QPushButton *DeleteButton; // "Supprimer"
    QPushButton *CloseButton; // "Fermer"
    QPushButton *CancelButton; // "Annuler"
    QPushButton *InsertButton; // "Insérer"

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void refreshList();
    void add();
    void remove();
    void entryClicked();
    int selectedRow() const;

    Glossary m_glossary;
    QString m_gloPath;
    bool m_insertChosen = false;
};
