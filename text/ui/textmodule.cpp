#include "text/ui/textmodule.h"

#include "common/atomicsave.h"
#include "common/velmoraerror.h"
#include "text/core/pageddocument.h"
#include "text/core/richtext.h"
#include "text/core/rtfreader.h"
#include "text/core/rtftext.h"
#include "text/core/rtfwriter.h"
#include "text/ui/ttexte.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>

TextModule::TextModule(QWidget *dialogParent) : m_dialogParent(dialogParent), m_tools(dialogParent) { }

TextModule::~TextModule() = default;

DocumentWindow *TextModule::createWindow(FrameServices &frame) { return new TTexte(frame, m_tools); }

namespace {

// Reads the bytes of a text document file as the window's Charge does.
QByteArray readDocumentBytes(const QString &path)
{
    if (!QFileInfo::exists(path))
        throw VelmoraError::fileNotFound();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw VelmoraError::cannotOpen(path);
    return f.readAll();
}

// Reads a text document as the window's Charge does.
void loadDocument(const QString &path, QTextDocument &doc) { rtf::load(readDocumentBytes(path), doc); }

void convertToText(const ConversionJob &job)
{
    // The text streams from the reader to the lines: no document is built. Without a window
    // nothing wraps: one line per paragraph (and per line break).
    atomicsave::write(job.output, rtf::plainTextLines(readDocumentBytes(job.input)));
}

void convertToRtf(const ConversionJob &job)
{
    QTextDocument doc;
    loadDocument(job.input, doc);
    atomicsave::write(job.output, rtf::write(doc));
}

void convertToPdf(const ConversionJob &job)
{
    QTextDocument doc;
    loadDocument(job.input, doc);
    // The printer writes its file itself: print beside, then put the bytes in place.
    QTemporaryDir dir;
    if (!dir.isValid())
        throw VelmoraError::cannotOpen(job.output);
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setDocName(QFileInfo(job.input).fileName());
        PagedDocument pages(doc, QRect(0, 0, printer.width(), printer.height()), printer.logicalDpiX(),
                            printer.logicalDpiY());
        QPainter painter;
        if (!painter.begin(&printer))
            throw VelmoraError::cannotOpen(job.output);
        for (int page = 0; page < pages.pageCount(); ++page) {
            if (page > 0)
                printer.newPage();
            pages.drawPage(painter, page);
        }
        painter.end();
    }
    QFile f(pdf);
    if (!f.open(QIODevice::ReadOnly))
        throw VelmoraError::cannotOpen(job.output);
    atomicsave::write(job.output, f.readAll());
}

} // namespace

void TextModule::registerConverters(ConverterRegistry &registry)
{
    const QStringList inputs{QStringLiteral("qvt"), QStringLiteral("rtf")};
    registry.add(Converter{QStringLiteral("txt"), inputs, QStringLiteral("txt"), convertToText});
    registry.add(Converter{QStringLiteral("rtf"), inputs, QStringLiteral("rtf"), convertToRtf});
    registry.add(Converter{QStringLiteral("pdf"), inputs, QStringLiteral("pdf"), convertToPdf});
    TextTools::registerConverters(registry); // "htm": the HTML export
}
