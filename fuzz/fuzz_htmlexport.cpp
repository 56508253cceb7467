// Fuzzes the HTML export: any bytes (RTF or not) give a page without crashing, and the
// page's elements are always closed in the order they were opened.
#include "text/core/htmlexport.h"

#include <QByteArrayView>
#include <QList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray page = htmlexport::convertDocument(input);
    static constexpr QByteArrayView kEnd("</BODY>\r\n</HTML>\r\n");
    const qsizetype body = page.indexOf("<BODY>");
    if (body < 0 || !page.endsWith(kEnd))
        std::abort();
    // The elements between the body's tags, the closing ones of the page left out.
    const qsizetype end = page.size() - kEnd.size();
    QList<QByteArray> open;
    for (qsizetype i = page.indexOf('<', body + 6); i >= 0 && i < end; i = page.indexOf('<', i + 1)) {
        const qsizetype close = page.indexOf('>', i);
        const QByteArray tag = page.mid(i + 1, close - i - 1);
        const QByteArray name = tag.startsWith('/') ? tag.mid(1) : tag.split(' ').first();
        if (name == "BR")
            continue;
        if (tag.startsWith('/')) {
            if (open.isEmpty() || open.takeLast() != name)
                std::abort();
        } else {
            open.append(name);
        }
    }
    if (!open.isEmpty())
        std::abort();
    return 0;
}
