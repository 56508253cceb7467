#include "text/core/pageddocument.h"

#include "text/core/richtext.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <QTextFrame>

namespace {

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
    m_doc->documentLayout()->setPaintDevice(layoutDevice());
    m_doc->setUseDesignMetrics(true);
    QTextFrameFormat root = m_doc->rootFrame()->frameFormat();
    root.setMargin(0);
    root.setPadding(0);
    root.setBorder(0);
    m_doc->rootFrame()->setFrameFormat(root);
    m_doc->setPageSize(m_page);
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
