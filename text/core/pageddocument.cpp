#include "text/core/pageddocument.h"

#include "text/core/richtext.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>

#include <vector>

namespace {

// Qt lays a paragraph out in one piece: a line break is looked for up to the end of the run
// of characters without a break, so a run of a million characters takes time in the square of
// its length, and each page drawn goes over its whole paragraph again. The copy that is
// printed has such paragraphs cut into pieces laid out one under the other: a run longer than
// kLongestRun is cut every kLongestRun characters (it is wrapped anywhere in any case, since
// no line can hold it), and a paragraph longer than kLongestParagraph is cut at a space.
constexpr qsizetype kLongestRun = 2048;
constexpr qsizetype kLongestParagraph = 65536;

// Where the paragraph `text` is cut, as offsets in it, in ascending order.
std::vector<qsizetype> cutsOf(QStringView text)
{
    std::vector<qsizetype> cuts;
    qsizetype pieceStart = 0;
    qsizetype runStart = 0; // after the last space
    qsizetype lastSpace = -1; // the last space of the piece, -1 when none
    for (qsizetype i = 0; i < text.size(); ++i) {
        // Never between the two halves of a character outside the 16-bit range.
        const bool canCut = !text[i].isLowSurrogate();
        if (text[i].isSpace()) {
            runStart = i + 1;
            lastSpace = i;
        } else if (i - runStart >= kLongestRun && canCut) {
            cuts.push_back(i);
            pieceStart = runStart = i;
            lastSpace = -1;
            continue;
        }
        if (i - pieceStart >= kLongestParagraph && (lastSpace > pieceStart || canCut)) {
            const qsizetype at = lastSpace > pieceStart ? lastSpace + 1 : i;
            cuts.push_back(at);
            pieceStart = at;
            lastSpace = -1;
        }
    }
    return cuts;
}

// Cuts the long paragraphs of `doc` as cutsOf says. A piece after a cut carries on the
// paragraph: no space above, no first-line indent, no bullet; the piece before a cut has no
// space below.
void cutLongParagraphs(QTextDocument &doc)
{
    std::vector<int> positions; // in the document, ascending
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.length() <= kLongestRun)
            continue;
        for (qsizetype cut : cutsOf(b.text()))
            positions.push_back(b.position() + int(cut));
    }
    QTextCursor cursor(&doc);
    // In one edit block the cursor does not ask the layout where it is after each move.
    cursor.beginEditBlock();
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        cursor.setPosition(*it);
        QTextBlockFormat before = cursor.blockFormat();
        QTextBlockFormat after = before;
        before.setBottomMargin(0);
        cursor.setBlockFormat(before);
        after.setTopMargin(0);
        after.setTextIndent(0);
        cursor.insertBlock(after, cursor.charFormat());
        if (QTextList *list = cursor.block().textList())
            list->remove(cursor.block());
    }
    cursor.endEditBlock();
}

// A paint device of exactly 96 dots per inch, whatever the screen: the layout resolution.
QPaintDevice *layoutDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        return image;
    }();
    return &device;
}

} // namespace

PagedDocument::PagedDocument(const QTextDocument &source, const QRect &pageRect, int dpiX, int dpiY)
    : m_doc(source.clone()),
      m_rect(pageRect)
{
    constexpr double kLayoutDpi = 96.0;
    m_scaleX = qMax(1, dpiX) / kLayoutDpi;
    m_scaleY = qMax(1, dpiY) / kLayoutDpi;
    m_page = QSizeF(qMax(1, pageRect.width()) / m_scaleX, qMax(1, pageRect.height()) / m_scaleY);
    m_doc->setUndoRedoEnabled(false);
    cutLongParagraphs(*m_doc);
    // Everything the layout depends on is set before the layout exists, and it is laid out
    // once more only for the device: each change after that would lay the whole text out again.
    m_doc->setUseDesignMetrics(true);
    QTextFrameFormat root = m_doc->rootFrame()->frameFormat();
    root.setMargin(0);
    root.setPadding(0);
    root.setBorder(0);
    m_doc->rootFrame()->setFrameFormat(root);
    m_doc->setPageSize(m_page);
    m_doc->documentLayout()->setPaintDevice(layoutDevice());
    m_doc->markContentsDirty(0, m_doc->characterCount());
}

PagedDocument::~PagedDocument() = default;

int PagedDocument::pageCount() const { return qMax(1, m_doc->pageCount()); }

void PagedDocument::drawPage(QPainter &painter, int page) const
{
    painter.save();
    painter.translate(m_rect.topLeft());
    painter.setClipRect(QRect(QPoint(0, 0), m_rect.size()), Qt::IntersectClip);
    painter.scale(m_scaleX, m_scaleY);
    painter.translate(0, -page * m_page.height());
    QAbstractTextDocumentLayout::PaintContext context;
    // A line that begins at the bottom edge (to layout precision) belongs to the next page:
    // keep it out of this one altogether (clipped text would still be in a PDF's text).
    context.clip = QRectF(0, page * m_page.height() + 0.5, m_page.width(), m_page.height() - 1);
    context.palette.setColor(QPalette::Text, Qt::black);
    m_doc->documentLayout()->draw(&painter, context);
    painter.restore();
}
