#include "common/ui/headlessframe.h"

#include "common/ui/printing.h"

#include <QPrinter>

HeadlessFrame::HeadlessFrame() = default;

HeadlessFrame::HeadlessFrame(QPrinter &printer) : m_given(&printer) { }

HeadlessFrame::~HeadlessFrame() = default;

QPrinter &HeadlessFrame::printer()
{
    if (m_given)
        return *m_given;
    if (!m_own)
        m_own = printing::createPrinter();
    return *m_own;
}
