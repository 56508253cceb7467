// A document laid out into pages of a page rectangle on a device of a given resolution (a
// printer, or the preview's picture of one), painted page by page with QPainter in device
// pixels. The layout runs at 96 dots per inch with design metrics and is scaled to the
// device, so indents, tab stops and font sizes keep their true size at any resolution.
#pragma once

#include <QRect>
#include <QSizeF>

#include <memory>

class QPainter;
class QTextDocument;

class PagedDocument
{
public:
    // `pageRect` in device pixels, relative to the painter's origin when drawing.
    PagedDocument(const QTextDocument &source, const QRect &pageRect, int dpiX, int dpiY);
    ~PagedDocument();
    PagedDocument(const PagedDocument &) = delete;
    PagedDocument &operator=(const PagedDocument &) = delete;

    int pageCount() const;
    QRect pageRect() const { return m_rect; }
    // Paints page `page` (from 0) into the page rectangle.
    void drawPage(QPainter &painter, int page) const;

private:
    std::unique_ptr<QTextDocument> m_doc;
    QRect m_rect;
    double m_scaleX = 1;
    double m_scaleY = 1;
    QSizeF m_page; // one page in layout pixels
};
