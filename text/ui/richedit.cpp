#include "text/ui/richedit.h"

#include "common/cp1252.h"
#include "common/textfile.h"
#include "common/ui/printing.h"
#include "common/velmoraerror.h"
#include "text/core/pageddocument.h"
#include "text/core/richtext.h"
#include "text/core/rtfreader.h"
#include "text/core/rtfwriter.h"

#include <QAbstractTextDocumentLayout>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QThread>
#include <QUrl>

#include <atomic>
#include <cmath>
#include <thread>

namespace {

const QString kRtfMime = QStringLiteral("text/rtf");
const QString kRtfMimeAlt = QStringLiteral("application/rtf");

// Indents are kept in twips as the control does, so that points read back as they were set.
double pointsOf(double px) { return std::lround(px * richtext::kTwipsPerPx) / 20.0; }

double pxOf(double points) { return std::lround(points * 20.0) / richtext::kTwipsPerPx; }

// Paragraph ends as CR LF and line breaks as VT, the way the control hands text out.
QString controlText(QString text)
{
    text.replace(QChar::LineSeparator, u'\x0B');
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return text;
}

// The reverse, for text handed in: CR LF, CR and LF end a paragraph, VT breaks a line.
QString documentText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'\x0B', QChar::LineSeparator);
    for (QChar &c : text)
        if (c != u'\n' && !richtext::isTextCharacter(c.unicode()))
            c = u' ';
    return text;
}

// The bytes of a document file. Throws VelmoraError ("Fichier introuvable", "Ne peut ouvrir
// le fichier %s", or the read error).
QByteArray readDocumentFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        throw VelmoraError::fileNotFound();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw VelmoraError::cannotOpen(path);
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw VelmoraError::readError();
    return bytes;
}

// From this size on, a file shows its first page before the rest is read (smaller ones are
// read in well under a tenth of a second).
constexpr qsizetype kFirstPageFrom = 512 * 1024;
// What is built for the first page: more than the largest screen shows.
constexpr int kFirstPageParagraphs = 400;
constexpr int kFirstPageCharacters = 64 * 1024;

} // namespace

RichEdit::RichEdit(QWidget *parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("RichEdit1"));
    QFont font(richtext::defaultFamily());
    font.setPointSizeF(richtext::kDefaultPointSize);
    setFont(font);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setTabChangesFocus(false);
    setAcceptRichText(true);
    // The selection stays as visible when another window (the find dialog) has the focus.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);

    auto *doc = new QTextDocument(this);
    richtext::prepare(*doc);
    QTextCursor(doc).setBlockCharFormat(richtext::defaultCharFormat());
    doc->setModified(false);
    adoptDocument(doc);

    connect(this, &QTextEdit::cursorPositionChanged, this, &RichEdit::selectionChange);
    connect(this, &QTextEdit::selectionChanged, this, &RichEdit::selectionChange);
}

// A load in progress: the background thread builds `doc` and hands it to the control's thread.
struct RichEdit::BackgroundLoad
{
    std::atomic_bool cancelled = false;
    QEventLoop *wait = nullptr; // runs until the document is built
    QTextDocument *doc = nullptr;
};

RichEdit::~RichEdit()
{
    // Deleted while a document is loading: the load is called off and its waiting ends.
    if (m_loading) {
        m_loading->cancelled = true;
        m_loading->wait->quit();
    }
}

void RichEdit::adoptDocument(QTextDocument *doc)
{
    // The editor deletes a document of its own making; ours are our children.
    const bool wasModified = doc->isModified();
    QTextDocument *old = document();
    const bool ours = old && old != doc && old->parent() == this;
    doc->setParent(this);
    setDocument(doc);
    if (ours)
        delete old;
    applyGutter();
    doc->clearUndoRedoStacks();
    doc->setModified(wasModified);
    QTextCursor c(doc);
    c.movePosition(QTextCursor::Start);
    // In an empty first paragraph typing takes the paragraph's own format; otherwise the
    // caret at the start reports (and types in) the format of the first character.
    if (c.block().length() <= 1)
        c.setCharFormat(c.block().charFormat());
    setTextCursor(c);
    Q_EMIT selectionChange();
}

void RichEdit::applyGutter()
{
    QTextFrameFormat root = document()->rootFrame()->frameFormat();
    root.setLeftMargin(kGutter);
    root.setRightMargin(kGutter);
    root.setTopMargin(0);
    root.setBottomMargin(0);
    document()->rootFrame()->setFrameFormat(root);
}

// Streaming

void RichEdit::streamIn(const QByteArray &bytes)
{
    auto *doc = new QTextDocument;
    doc->setUndoRedoEnabled(false);
    if (m_plainText)
        richtext::setPlainText(*doc, cp1252::decode(bytes));
    else
        rtf::load(bytes, *doc);
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    adoptDocument(doc);
}

QByteArray RichEdit::streamOut() const
{
    if (m_plainText)
        return cp1252::encode(richtext::plainText(*document()));
    return rtf::write(*document());
}

QByteArray RichEdit::rtf() const { return rtf::write(*document()); }

void RichEdit::loadFromFile(const QString &path) { loadBytes(readDocumentFile(path)); }

void RichEdit::loadBytes(const QByteArray &bytes)
{
    const textfile::Encoding encoding = m_plainText || rtf::isRtf(bytes)
            ? textfile::Encoding::Windows1252
            : textfile::detect(textfile::cutAtCtrlZ(bytes));
    if (encoding == textfile::Encoding::Windows1252) {
        streamIn(bytes);
    } else { // a UTF-8 text file of another program
        auto *doc = new QTextDocument;
        doc->setUndoRedoEnabled(false);
        richtext::setPlainText(*doc, textfile::decode(textfile::cutAtCtrlZ(bytes), encoding));
        doc->setUndoRedoEnabled(true);
        doc->setModified(false);
        adoptDocument(doc);
    }
    m_textEncoding = encoding;
}

bool RichEdit::loadShowingFirstPage(const QString &path)
{
    const QByteArray bytes = readDocumentFile(path);
    if (m_plainText || bytes.size() < kFirstPageFrom || !rtf::isRtf(bytes)) {
        loadBytes(bytes);
        return true;
    }
    // The first page at once...
    auto *first = new QTextDocument;
    first->setUndoRedoEnabled(false);
    rtf::read(bytes, *first, [](const QTextDocument &d) {
        return d.blockCount() >= kFirstPageParagraphs || d.characterCount() >= kFirstPageCharacters;
    });
    first->setModified(false);
    adoptDocument(first);
    m_textEncoding = textfile::Encoding::Windows1252;

    // ... and the whole document from a background thread. The QTextDocument is built where
    // nothing else sees it, then moved to this thread.
    auto load = std::make_shared<BackgroundLoad>();
    QEventLoop wait;
    load->wait = &wait;
    QThread *here = QThread::currentThread();
    std::thread builder([load, bytes, here] {
        auto *doc = new QTextDocument;
        doc->setUndoRedoEnabled(false);
        rtf::read(bytes, *doc, [&](const QTextDocument &) { return load->cancelled.load(); });
        doc->moveToThread(here);
        load->doc = doc;
        QMetaObject::invokeMethod(load->wait, &QEventLoop::quit, Qt::QueuedConnection);
    });
    m_loading = load;
    const QPointer<RichEdit> alive(this);
    // Paints, timers and the system's events go on; keys and clicks wait for the document.
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    builder.join(); // already done, unless the wait was ended early (quit, deletion)
    std::unique_ptr<QTextDocument> doc(load->doc);
    if (!alive)
        return false;
    m_loading.reset();
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    adoptDocument(doc.release());
    return true;
}

void RichEdit::setPlainTextMode(bool on)
{
    m_plainText = on;
    setAcceptRichText(!on);
}

// Modified flag

bool RichEdit::modified() const { return document()->isModified(); }
void RichEdit::setModified(bool on) { document()->setModified(on); }

// Selection

int RichEdit::selStart() const { return textCursor().selectionStart(); }
int RichEdit::selLength() const { return textCursor().selectionEnd() - textCursor().selectionStart(); }
int RichEdit::textLength() const { return document()->characterCount() - 1; }

void RichEdit::setSelection(int start, int length)
{
    const int n = textLength();
    start = qBound(0, start, n);
    QTextCursor c = textCursor();
    c.setPosition(start);
    c.setPosition(qBound(0, start + length, n), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichEdit::selText() const { return controlText(textCursor().selectedText()); }

QString RichEdit::textRange(int start, int length) const
{
    QTextCursor c(document());
    const int n = textLength();
    c.setPosition(qBound(0, start, n));
    c.setPosition(qBound(0, start + length, n), QTextCursor::KeepAnchor);
    return controlText(c.selectedText());
}

void RichEdit::replaceSelection(const QString &text)
{
    QTextCursor c = textCursor();
    c.beginEditBlock();
    c.insertText(documentText(text));
    c.endEditBlock();
    setTextCursor(c);
}

// Lines

int RichEdit::lineFromChar(int pos) const { return richtext::displayedLineOfPosition(*document(), pos); }

int RichEdit::lineIndex(int line) const
{
    document()->documentLayout()->pageCount(); // finishes a layout still running
    return richtext::positionOfDisplayedLine(*document(), line);
}

int RichEdit::lineCount() const
{
    document()->documentLayout()->pageCount();
    return richtext::displayedLineCount(*document());
}

QStringList RichEdit::displayedLines() const
{
    document()->documentLayout()->pageCount();
    return richtext::displayedLines(*document());
}

QStringList RichEdit::Lines() const
{
    QStringList lines = displayedLines();
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Search

namespace {
QTextDocument::FindFlags findFlags(RichEdit::FindOptions options)
{
    QTextDocument::FindFlags flags;
    if (options & RichEdit::MatchCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (options & RichEdit::WholeWord)
        flags |= QTextDocument::FindWholeWords;
    return flags;
}
} // namespace

int RichEdit::findTextBackward(const QString &text, int before, FindOptions options) const
{
    if (text.isEmpty() || before <= 0)
        return -1;
    // Looked for back from far enough that an occurrence starting just before `before` is
    // seen whole; each further look starts where the last one found began.
    const QTextDocument::FindFlags flags = findFlags(options) | QTextDocument::FindBackward;
    QTextCursor found = document()->find(text, std::min(before - 1 + int(text.size()), textLength()), flags);
    while (!found.isNull()) {
        const int start = found.selectionStart();
        if (start < before)
            return start;
        found = document()->find(text, start, flags);
        if (!found.isNull() && found.selectionStart() >= start)
            break; // no further back
    }
    return -1;
}

int RichEdit::findText(const QString &text, int start, int length, FindOptions options) const
{
    if (text.isEmpty() || start < 0)
        return -1;
    const QTextCursor found = document()->find(text, start, findFlags(options));
    if (found.isNull())
        return -1;
    const qint64 limit = qint64(start) + qMax(0, length);
    if (found.selectionEnd() > limit)
        return -1;
    return found.selectionStart();
}

// Character attributes

QTextCharFormat RichEdit::selAttributes() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return cursor.charFormat();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    QTextCharFormat common;
    bool first = true;
    bool sameFamily = true, sameSize = true, sameColour = true;
    bool bold = true, italic = true, underline = true, strike = true;
    for (QTextBlock b = document()->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fr = it.fragment();
            if (fr.position() + fr.length() <= start || fr.position() >= end)
                continue;
            const QTextCharFormat f = fr.charFormat();
            if (first) {
                common = f;
                first = false;
            } else {
                sameFamily = sameFamily && f.fontFamilies() == common.fontFamilies();
                sameSize = sameSize && f.fontPointSize() == common.fontPointSize();
                sameColour = sameColour && f.foreground() == common.foreground();
            }
            bold = bold && f.fontWeight() >= QFont::DemiBold;
            italic = italic && f.fontItalic();
            underline = underline && f.fontUnderline();
            strike = strike && f.fontStrikeOut();
        }
    }
    if (first) // only paragraph ends selected
        return cursor.charFormat();
    QTextCharFormat out;
    if (sameFamily)
        out.setFontFamilies(common.fontFamilies().toStringList());
    else
        out.setFontFamilies(QStringList{QString()});
    if (sameSize)
        out.setFontPointSize(common.fontPointSize());
    if (sameColour && common.hasProperty(QTextFormat::ForegroundBrush))
        out.setForeground(common.foreground());
    out.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    out.setFontItalic(italic);
    out.setFontUnderline(underline);
    out.setFontStrikeOut(strike);
    return out;
}

QTextCharFormat RichEdit::defAttributes() const { return textCursor().charFormat(); }

void RichEdit::mergeSelAttributes(const QTextCharFormat &format)
{
    QTextCursor c = textCursor();
    if (!c.hasSelection()) {
        mergeDefAttributes(format);
        return;
    }
    c.beginEditBlock();
    c.mergeCharFormat(format);
    c.endEditBlock();
    Q_EMIT selectionChange();
}

void RichEdit::mergeDefAttributes(const QTextCharFormat &format)
{
    QTextCursor c = textCursor();
    QTextCharFormat f = c.charFormat();
    f.merge(format);
    c.setCharFormat(f);
    if (c.block().length() == 1) // an empty paragraph takes the format as its own
        c.setBlockCharFormat(f);
    setTextCursor(c);
    Q_EMIT selectionChange();
}

// Paragraph attributes

template<class F>
void RichEdit::forEachSelectedBlock(F f)
{
    QTextCursor edit = textCursor();
    const int start = edit.selectionStart();
    const int end = edit.selectionEnd();
    edit.beginEditBlock();
    QTextBlock last = document()->findBlock(end);
    for (QTextBlock b = document()->findBlock(start); b.isValid(); b = b.next()) {
        QTextCursor c(b);
        f(c);
        if (b == last)
            break;
    }
    edit.endEditBlock();
    Q_EMIT selectionChange();
}

static QTextBlock blockAtSelection(const QTextEdit *e)
{
    return e->document()->findBlock(e->textCursor().selectionStart());
}

double RichEdit::firstIndent() const
{
    const richtext::Indents in = richtext::indents(blockAtSelection(this));
    return pointsOf(in.left + in.first);
}

double RichEdit::leftIndent() const { return pointsOf(-richtext::indents(blockAtSelection(this)).first); }

double RichEdit::rightIndent() const { return pointsOf(richtext::indents(blockAtSelection(this)).right); }

void RichEdit::setFirstIndent(double points)
{
    if (m_plainText)
        return;
    forEachSelectedBlock([points](QTextCursor &c) {
        const bool bullet = richtext::hasBullet(c.block());
        QTextBlockFormat f = c.blockFormat();
        richtext::Indents in = richtext::indents(f, bullet);
        // The first line moves; the other lines keep their offset to it.
        const double start = qMax(0.0, pxOf(points));
        in.left = qMax(0.0, start - in.first);
        in.first = start - in.left;
        richtext::setIndents(f, bullet, in);
        c.setBlockFormat(f);
    });
}

void RichEdit::setLeftIndent(double points)
{
    if (m_plainText)
        return;
    forEachSelectedBlock([points](QTextCursor &c) {
        const bool bullet = richtext::hasBullet(c.block());
        QTextBlockFormat f = c.blockFormat();
        richtext::Indents in = richtext::indents(f, bullet);
        const double start = in.left + in.first; // the first line stays where it is
        in.left = qMax(0.0, start + pxOf(points));
        in.first = start - in.left;
        richtext::setIndents(f, bullet, in);
        c.setBlockFormat(f);
    });
}

void RichEdit::setRightIndent(double points)
{
    if (m_plainText)
        return;
    forEachSelectedBlock([points](QTextCursor &c) {
        const bool bullet = richtext::hasBullet(c.block());
        QTextBlockFormat f = c.blockFormat();
        richtext::Indents in = richtext::indents(f, bullet);
        in.right = qMax(0.0, pxOf(points));
        richtext::setIndents(f, bullet, in);
        c.setBlockFormat(f);
    });
}

RichEdit::Alignment RichEdit::paragraphAlignment() const
{
    const Qt::Alignment a = blockAtSelection(this).blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        return Center;
    if (a & Qt::AlignRight)
        return Right;
    if (a & Qt::AlignJustify)
        return Justified;
    return Left;
}

void RichEdit::setParagraphAlignment(Alignment alignment)
{
    if (m_plainText)
        return;
    static const Qt::Alignment kAlign[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter, Qt::AlignJustify};
    const Qt::Alignment a = kAlign[qBound(0, int(alignment), 3)];
    forEachSelectedBlock([a](QTextCursor &c) {
        QTextBlockFormat f;
        f.setAlignment(a);
        c.mergeBlockFormat(f);
    });
}

bool RichEdit::bullets() const { return richtext::hasBullet(blockAtSelection(this)); }

void RichEdit::setBullets(bool on)
{
    if (m_plainText)
        return;
    forEachSelectedBlock([on](QTextCursor &c) { richtext::setBullet(c, on); });
}

QList<double> RichEdit::tabStops() const
{
    QList<double> out;
    for (double px : richtext::tabStops(blockAtSelection(this).blockFormat()))
        out.append(pointsOf(px));
    return out;
}

void RichEdit::setTabStops(const QList<double> &points)
{
    if (m_plainText)
        return;
    QList<double> px;
    for (double p : points)
        px.append(pxOf(p));
    forEachSelectedBlock([&px](QTextCursor &c) {
        QTextBlockFormat f = c.blockFormat();
        richtext::setTabStops(f, px);
        c.setBlockFormat(f);
    });
}

// Printing

std::unique_ptr<PagedDocument> RichEdit::paginate(const QRect &pageRect, int dpiX, int dpiY) const
{
    return std::make_unique<PagedDocument>(*document(), pageRect, dpiX, dpiY);
}

void RichEdit::print(QPrinter &printer, const QRect &pageRect) const
{
    if (!printing::hasOutput(printer))
        throw VelmoraError(QStringLiteral("Aucune imprimante par défaut sélectionnée"));
    const QRect rect = pageRect.isEmpty() ? QRect(0, 0, printer.width(), printer.height()) : pageRect;
    printer.setDocName(QString());
    const auto pages = paginate(rect, printer.logicalDpiX(), printer.logicalDpiY());
    QPainter painter;
    if (!painter.begin(&printer))
        throw VelmoraError::cannotOpen(printer.outputFileName().isEmpty() ? printer.printerName()
                                                                          : printer.outputFileName());
    for (int page = 0; page < pages->pageCount(); ++page) {
        if (page > 0)
            printer.newPage();
        pages->drawPage(painter, page);
    }
    painter.end();
}

// Events

void RichEdit::keyPressEvent(QKeyEvent *e)
{
    QTextEdit::keyPressEvent(e);
    if (e->text() == QLatin1String(" ") && !isReadOnly())
        Q_EMIT spaceTyped();
    // Undo and redo may change formats only, without moving the caret.
    if (e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo))
        Q_EMIT selectionChange();
}

void RichEdit::resizeEvent(QResizeEvent *e) { QTextEdit::resizeEvent(e); }

bool RichEdit::canInsertFromMimeData(const QMimeData *source) const
{
    // Files dropped from the file manager are not opened here.
    if (source->hasUrls()) {
        bool allFiles = true;
        for (const QUrl &url : source->urls())
            allFiles = allFiles && url.isLocalFile();
        if (allFiles)
            return false;
    }
    return source->hasText() || source->hasFormat(kRtfMime) || source->hasFormat(kRtfMimeAlt);
}

QMimeData *RichEdit::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    const QTextCursor c = textCursor();
    data->setText(c.selectedText().replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n'));
    if (!m_plainText) {
        QTextDocument part;
        richtext::prepare(part);
        QTextCursor(&part).insertFragment(c.selection());
        data->setData(kRtfMime, rtf::write(part));
    }
    return data;
}

void RichEdit::insertFromMimeData(const QMimeData *source)
{
    if (source->hasUrls() && !canInsertFromMimeData(source))
        return;
    QTextCursor c = textCursor();
    const QString rtfFormat = source->hasFormat(kRtfMime) ? kRtfMime : kRtfMimeAlt;
    if (!m_plainText && source->hasFormat(rtfFormat)) {
        QTextDocument part;
        rtf::read(source->data(rtfFormat), part);
        c.beginEditBlock();
        c.insertFragment(QTextDocumentFragment(&part));
        c.endEditBlock();
    } else if (source->hasText()) {
        c.beginEditBlock();
        c.insertText(documentText(source->text()));
        c.endEditBlock();
    }
    setTextCursor(c);
    ensureCursorVisible();
}
