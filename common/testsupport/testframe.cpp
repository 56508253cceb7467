#include "common/testsupport/testframe.h"

#include <QPageSize>
#include <QPrinter>

TestFrame::TestFrame() = default;

TestFrame::~TestFrame() = default;

void TestFrame::SetStyles(bool bold, bool italic, bool underline, bool bullets, bool left, bool right, bool center,
                          const QString &size, const QString &fontName)
{
    styles.append({bold, italic, underline, bullets, left, right, center, size, fontName});
    if (echo)
        echo();
}

QPrinter &TestFrame::printer()
{
    if (m_pdfPrinter)
        return *m_pdfPrinter;
    if (pdf.isEmpty())
        return HeadlessFrame::printer();
    m_pdfPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_pdfPrinter->setOutputFormat(QPrinter::PdfFormat);
    m_pdfPrinter->setPageSize(QPageSize(QPageSize::A4));
    m_pdfPrinter->setOutputFileName(pdf);
    return *m_pdfPrinter;
}

bool TestFrame::Bornes(int &first, int &last)
{
    first = firstRecord;
    last = lastRecord;
    return hasDatabase;
}

void TestFrame::Contenu(int record, QString &text)
{
    if (contenu)
        contenu(record, text);
}

void TestFrame::setFieldNames(const QStringList &names)
{
    fieldNames = names;
    ++fieldNameRefills;
}
