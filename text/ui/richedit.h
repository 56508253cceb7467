// The word processor's rich edit control: a QTextEdit holding one RTF document, with what
// the text window and the text tools use of it — RTF and plain-text streaming, character and
// paragraph attributes in points, selection by character position, lines as displayed,
// search, undo, the system clipboard, the modified flag, the 6-pixel gutter and printing by
// pages into a page rectangle.
#pragma once

#include "common/textfile.h"

#include <QList>
#include <QRect>
#include <QTextCharFormat>
#include <QTextEdit>

#include <memory>

class QPainter;
class QPrinter;
class PagedDocument;

class RichEdit : public QTextEdit
{
    Q_OBJECT
public:
    // Search options of findText.
    enum FindOption { MatchCase = 1, WholeWord = 2 };
    Q_DECLARE_FLAGS(FindOptions, FindOption)

    // Paragraph alignment as the text window codes it (Justif): 0 left, 1 right, 2 centre.
    // Justified paragraphs read from other word processors report Justified.
    enum Alignment { Left = 0, Right = 1, Center = 2, Justified = 3 };

    // Left and right gutter of the edit rectangle, in pixels.
    static constexpr int kGutter = 6;

    explicit RichEdit(QWidget *parent = nullptr);
    ~RichEdit() override;

    // Streaming
    // Replaces the content with `bytes`: RTF when they start as RTF, plain Windows-1252
    // text otherwise (and always plain text in plain-text mode). Clears the modified flag
    // and the undo history; the caret goes to position 0. Never fails on malformed RTF.
    void streamIn(const QByteArray &bytes);
    // The whole content as the control writes it: RTF, or in plain-text mode the text
    // itself (Windows-1252, paragraphs joined by CR LF).
    QByteArray streamOut() const;
    // Loads a file with streamIn; throws VelmoraError ("Fichier introuvable", "Ne peut
    // ouvrir le fichier %s") and leaves the content as it was on failure.
    void loadFromFile(const QString &path);
    // Loads a file as loadFromFile does, but a large RTF file shows its first page as soon as
    // that is read: the whole document is then built by a background thread while the event
    // loop runs without user input, so no key, click or command reaches a half-loaded
    // document; it returns once the whole document is in place. Returns false when the
    // control was deleted meanwhile (the caller must then leave it alone).
    bool loadShowingFirstPage(const QString &path);
    // True while loadShowingFirstPage is waiting for the rest of a document.
    bool isLoading() const { return m_loading != nullptr; }
    // The document as RTF whatever the mode.
    QByteArray rtf() const;
    // The encoding of the plain-text file last loaded (UTF-8 when it was valid UTF-8),
    // Windows-1252 for RTF and for new documents: the plain-text save writes it back so.
    textfile::Encoding textEncoding() const { return m_textEncoding; }
    void setTextEncoding(textfile::Encoding encoding) { m_textEncoding = encoding; }

    // Plain-text mode (the RTF code view): the content is shown and streamed as plain text
    // in one font of size 10; formatting operations do nothing.
    bool plainTextMode() const { return m_plainText; }
    void setPlainTextMode(bool on);

    // Modified flag
    bool modified() const;
    void setModified(bool on);

    // Selection and caret (character positions from 0)
    int selStart() const;
    int selLength() const;
    void setSelection(int start, int length);
    QString selText() const;
    // Replaces the selection with `text` (typed-over format); the caret ends after it.
    void replaceSelection(const QString &text);
    // Number of characters of the document (paragraph ends count one each, the last none).
    int textLength() const;
    // The text between two positions, paragraph ends as "\r\n" (as the control gives it).
    QString textRange(int start, int length) const;

    // Lines as displayed (a wrapped paragraph gives several lines)
    // Line index of the character at `pos` (EM_LINEFROMCHAR), 0-based.
    int lineFromChar(int pos) const;
    // Position of the first character of `line` (EM_LINEINDEX); -1 past the last line.
    int lineIndex(int line) const;
    // Number of displayed lines; the text of each line without its line end.
    int lineCount() const;
    QStringList displayedLines() const;
    // The control's Lines: the displayed lines, less a last empty one (a document ending
    // with a paragraph mark, or an empty document, has no line after its last line end).
    QStringList Lines() const;

    // Search
    // Position of the first occurrence of `text` that starts at or after `start` and ends
    // within `start + length`; -1 when there is none.
    int findText(const QString &text, int start, int length, FindOptions options) const;
    // The last occurrence starting before `before`, -1 when none.
    int findTextBackward(const QString &text, int before, FindOptions options) const;

    // Character attributes
    // Attributes of the selection; a property that differs across it is left unset (the
    // font family reads empty, the size 0). With an empty selection, those of the caret.
    QTextCharFormat selAttributes() const;
    // Attributes of what is typed next at the caret (the control's default attributes).
    QTextCharFormat defAttributes() const;
    // Merge `format` onto the selection (one undo step), or onto the typing format when the
    // selection is empty.
    void mergeSelAttributes(const QTextCharFormat &format);
    void mergeDefAttributes(const QTextCharFormat &format);

    // Paragraph attributes of the paragraph(s) of the selection
    // In points. First = start of the first line from the left edge; Left = start of the
    // other lines relative to the first; Right = indent from the right edge. Read from the
    // paragraph of the selection start; set on every paragraph of the selection.
    double firstIndent() const;
    double leftIndent() const;
    double rightIndent() const;
    void setFirstIndent(double points);
    void setLeftIndent(double points);
    void setRightIndent(double points);
    Alignment paragraphAlignment() const;
    void setParagraphAlignment(Alignment alignment);
    bool bullets() const;
    void setBullets(bool on);
    // Tab stops of the paragraph, in points, in their order.
    QList<double> tabStops() const;
    void setTabStops(const QList<double> &points);

    // Printing by pages
    // The document laid out into pages of `pageRect` (device pixels of a device of
    // dpiX × dpiY, as a printer or a preview gives them). The result is a snapshot: later
    // edits do not change it.
    std::unique_ptr<PagedDocument> paginate(const QRect &pageRect, int dpiX, int dpiY) const;
    // Prints every page on `printer` into `pageRect` (printer pixels from the printable
    // area's origin; the printable area when empty). Throws VelmoraError when the printer
    // has no output.
    void print(QPrinter &printer, const QRect &pageRect) const;

Q_SIGNALS:
    // The selection or the caret moved, or the attributes under it changed.
    void selectionChange();
    // A space was typed (already inserted at the caret).
    void spaceTyped();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void adoptDocument(class QTextDocument *doc);
    void loadBytes(const QByteArray &bytes);
    void applyGutter();
    template<class F>
    void forEachSelectedBlock(F f);

    struct BackgroundLoad;
    std::shared_ptr<BackgroundLoad> m_loading;
    bool m_plainText = false;
    textfile::Encoding m_textEncoding = textfile::Encoding::Windows1252;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(RichEdit::FindOptions)
