// The word-processor document window: one document in a RichEdit under a ruler with three
// draggable indent markers. Loads and saves ".qvt" (RTF), ".rtf" and ".txt", reports the
// caret position and the selection's formatting to the frame, and carries out the text
// commands the frame routes to it; the text tools do their part through TextTools.
#pragma once

#include "common/ui/documentcommands.h"
#include "common/ui/documentwindow.h"

#include <QRect>
#include <QTextCharFormat>

#include <functional>
#include <optional>

class RichEdit;
class Ruler;
class RulerMarker;
class SpellUnderline;
class TextFindDialog;
class TextReplaceDialog;
class TextTools;

class TTexte
    : public DocumentWindow
    , public TexteCommands
{
    Q_OBJECT
public:
    TTexte(FrameServices &frame, TextTools &tools, QWidget *parent = nullptr);
    ~TTexte() override;

    // Operations the frame calls
    void Charge(const QString &path) override;
    void Imprime() override;
    void Sauvehtm() override;
    void Importer() override;
    void SetPage() override;
    void Apercu() override;
    void Annule() override;
    void Retablit() override;
    bool canUndo() const override;
    bool canRedo() const override;
    void Coupe() override;
    void Copie() override;
    void Colle() override;
    void Chercher() override;
    void FindDialog1Find(QObject *sender = nullptr) override;
    void Remplacer() override;
    void Seltout() override;
    void DateHeure() override;
    void Bullets(bool on) override;
    void ChangerCasse() override;
    void CarSpe() override;
    void Tabulations() override;
    void ImpEnv() override;
    void Glossaire() override;
    void InsChamp() override;
    void Publipostage() override;
    void Statistiques() override;
    void Codes(bool on) override;
    void Paragraphe() override;
    void FontName(const QString &name) override;
    void FontSize(int size) override;
    void Bold(bool on) override;
    void Ital(bool on) override;
    void Under(bool on) override;
    void Justif(Alignment alignment) override;
    QFont GetFont() override;
    QColor GetColour() override;
    void SetFont(const QFont &font, const QColor &colour = QColor()) override;

    // French spelling: the dialog (F7) and the red underline of unknown words.
    void Orthographe();
    SpellUnderline *Spelling = nullptr;
    static QString dictionaryMissingHint();

    // Plain-text save: the control's lines as displayed, each followed by CR LF.
    void Sauvetxt();
    // The replace dialog's buttons.
    void ReplaceDialog1Find();
    void ReplaceDialog1Replace();
    // Replaces every occurrence in the document, in one undo step.
    void ReplaceDialog1ReplaceAll();

    // What the text tools use
    RichEdit *RichEdit1 = nullptr;
    Ruler *RulerPanel = nullptr; // the ruler ("Ruler")
    RulerMarker *FirstInd = nullptr;
    RulerMarker *LeftInd = nullptr;
    RulerMarker *RightInd = nullptr;
    TextFindDialog *FindDialog1 = nullptr;
    TextReplaceDialog *ReplaceDialog1 = nullptr;

    // Page margins in mm; 20 mm each until the user sets them up.
    static constexpr int kDefaultMargin = 20;
    int MarginLeft = kDefaultMargin, MarginTop = kDefaultMargin, MarginRight = kDefaultMargin,
        MarginBottom = kDefaultMargin;

    // The page rectangle Imprime prints into, in printer pixels from the printable area's
    // origin; an empty rectangle (never set) prints on the whole printable area.
    QRect pageRect() const { return m_pageRect; }
    void setPageRect(const QRect &rect) { m_pageRect = rect; }
    // Where printing lays out the document: the page rectangle, or while none was set the
    // default margins on the printer selected now.
    QRect printRect() const;

    // Whole printer pixels per millimetre of the frame's printer, times `mm`.
    int Mh(int mm) const;
    int Mv(int mm) const;

    // The selection's attributes when it is not empty, else the typing attributes.
    QTextCharFormat CurrText() const;
    // Merges `format` onto what CurrText designates.
    void setCurrText(const QTextCharFormat &format);

    // Reports the ruler, caret position and formatting under the caret to the frame.
    void SelectionChange();
    void UpdateCursorPos();
    bool Modifie() const override;
    bool updating() const { return m_updating; }
    // The save dialog's filter index (1 ".qvt", 2 ".rtf", 3 ".txt") of its last use.
    int filterIndex() const { return m_filterIndex; }

    // Tests answer the import dialog here: returns the chosen path, empty when cancelled.
    std::function<QString()> importDialogHook;

    // The window's design size, which the frame's sub-window takes.
    QSize sizeHint() const override { return QSize(542, 369); }

protected:
    void setModifie(bool modified) override;
    QString askSaveName() override;
    QString saveName(const QString &chosen) const override;
    bool writeFile(const QString &path) override;
    void showEvent(QShowEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void FormCreate();
    void RulerItemMouseDown(RulerMarker *marker, int x);
    void RulerItemMouseMove(RulerMarker *marker, int x);
    void FirstIndMouseUp();
    void LeftIndMouseUp();
    void RightIndMouseUp();
    void search(const QString &text, bool wholeWord, bool matchCase, bool upward = false);
    bool runSaveDialog(QString &path, int &filterIndex);
    bool writePlainText(const QString &path);
    bool confirmLossyText(const QString &text);

    TextTools &m_tools;
    std::optional<QFont> m_fontShown; // what the font dialog was opened on
    QRect m_pageRect;
    int m_filterIndex = 1;
    bool m_updating = false;
    bool m_dragging = false;
    bool m_holdMarkers = false;
    struct MarkerHold;
    int m_dragOffset = 0;
    bool m_shown = false;

    // Crash recovery (ttexte_recovery.cpp)
public:
    RecoveryState recoveryState(bool withWriter) const override;
    void restoreRecoveryCopy(const QString &copy, const QString &fileName) override;
};
