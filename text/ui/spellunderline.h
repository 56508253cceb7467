// Underlines in red the words of a RichEdit that the French dictionary does not know, as
// the user types. The underline is painted over the text (the edit's extra selections):
// it is never part of the document, so it never reaches the RTF, the HTML page or the
// modified flag. Only what is on screen is checked, in slices of a few milliseconds after
// each change or scroll, so typing is never held up. Right-clicking an underlined word
// offers up to seven replacements, "Ignorer tout" and "Ajouter au dictionnaire".
#pragma once

#include "text/core/wordsplitter.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QTextEdit>
#include <QTimer>

#include <functional>

class QMenu;
class RichEdit;
class SpellChecker;

class SpellUnderline : public QObject
{
    Q_OBJECT
public:
    explicit SpellUnderline(RichEdit *edit);

    // The checker used (tests give their own); the shared French one by default.
    void setChecker(SpellChecker *checker);
    SpellChecker *checker() const;

    // Underlining on or off for this window (follows "Vérification automatique").
    bool isActive() const;
    // The unknown words now underlined: start and length in the document.
    QList<QPair<int, int>> underlined() const;
    // True while a check is under way (slices still to run from the event loop).
    bool isBusy() const { return m_timer.isActive(); }
    // The longest slice of checking so far, in wall and processor time (for the benchmarks).
    double longestSliceMs() const { return m_longestSliceNs / 1e6; }
    double longestSliceCpuMs() const { return m_longestSliceCpuMs; }
    // Checks what is on screen now, to the end (tests and the first paint).
    void refreshNow();

    // The context menu for a right click at `pos` (viewport coordinates): the spelling
    // entries above the edit's own when an underlined word is there, else null.
    QMenu *createMenu(const QPoint &pos);

    // Replaces the word of the document at [start, start + length) by `text`, one undo step.
    static void replaceWord(QTextEdit *edit, int start, int length, const QString &text);

    // A slice of checking stops after this time; a piece of text is this long at most
    // (to the next white space).
    static constexpr int kSliceMs = 2;
    static constexpr int kPieceChars = 120;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Segment
    {
        int start;
        int end;
    };
    void schedule();
    void restart();
    void collectVisible();
    void slice();
    void apply(bool finished);
    bool wordAt(int pos, spelling::Word &word);

    RichEdit *m_edit;
    SpellChecker *m_checker = nullptr;
    bool m_ownChecker = false;
    QTimer m_timer;
    QList<Segment> m_pending;
    QList<QTextEdit::ExtraSelection> m_found;
    QList<QTextEdit::ExtraSelection> m_shown;
    bool m_restart = false;
    qint64 m_longestSliceNs = 0;
    double m_longestSliceCpuMs = 0;
    int m_editPos = -1; // caret position right after typing: the word there is being written
};
