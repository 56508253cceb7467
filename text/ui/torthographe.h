// The spelling dialog ("Orthographe", F7): walks through the words the dictionary does not
// know, from the caret to the end and then from the start back to the caret, showing each
// in its sentence with suggestions. "Remplacer" and "Remplacer tout" change the document
// (one undo step each), "Ignorer" passes this occurrence, "Ignorer tout" the word until the
// program quits, "Ajouter" puts it in the personal list; at the end the dialog closes
// with "La vérification orthographique est terminée.".
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextEdit;
class RichEdit;
class SpellChecker;

class TOrthographe : public QDialog
{
    Q_OBJECT
public:
    TOrthographe(RichEdit *edit, SpellChecker &checker, QWidget *parent = nullptr);

    // Finds the first unknown word from the caret; false (and the closing message) when
    // there is none.
    bool start();
    // start(), then the dialog until the walk ends or "Fermer".
    void run();

    // The word shown, its position in the document.
    QString currentWord() const { return m_word; }
    int currentStart() const { return m_start; }

    static QString finishedMessage() { return QStringLiteral("La vérification orthographique est terminée."); }

    QTextEdit *Contexte;
    QLineEdit *Edit1; // "Remplacer par"
    QListWidget *ListBox1; // suggestions
    QPushButton *RemplacerBtn;
    QPushButton *RemplacerToutBtn;
    QPushButton *IgnorerBtn;
    QPushButton *IgnorerToutBtn;
    QPushButton *AjouterBtn;
    QPushButton *FermerBtn;

private:
    bool findNext();
    void showCurrent();
    void next();
    void advance(); // to the next unknown word, or the end
    void replaceOne();
    void replaceAll();
    void finish();

    RichEdit *m_edit;
    SpellChecker &m_checker;
    int m_pos = 0; // where the search goes on
    int m_stop = 0; // where the walk began (reached again after wrapping)
    bool m_wrapped = false;
    QString m_word;
    int m_start = -1;
};
