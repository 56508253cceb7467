#include "spreadsheet/ui/spreadsheetmodule.h"

#include "common/atomicsave.h"
#include "common/velmoraerror.h"
#include "spreadsheet/core/csvexchange.h"
#include "spreadsheet/core/odsfile.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/ui/sheetprinter.h"
#include "spreadsheet/ui/ttableur.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

SpreadsheetModule::SpreadsheetModule(QWidget *dialogParent) : m_tools(dialogParent) { }

SpreadsheetModule::~SpreadsheetModule() = default;

DocumentWindow *SpreadsheetModule::createWindow(FrameServices &frame) { return new TTableur(frame, m_tools); }

namespace {

// "--sheet N": the sheet to convert, counted from 1 (the first by default).
int sheetOption(const ConversionJob &job, const sheet::Workbook &book)
{
    const QString text = job.options.value(QStringLiteral("sheet"), QStringLiteral("1")).trimmed();
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok)
        throw VelmoraError::notAnInteger(text);
    if (n < 1 || n > book.sheetCount())
        throw VelmoraError(
                QStringLiteral("Le classeur n'a pas de feuille %1 (il en a %2).").arg(n).arg(book.sheetCount()));
    return n - 1;
}

void toCsv(const ConversionJob &job)
{
    sheet::Workbook book;
    sheet::workbookfile::read(job.input, book);
    sheet::csv::exportSheetToFile(book, sheetOption(job, book), job.output);
}

void toPdf(const ConversionJob &job)
{
    sheet::Workbook book;
    sheet::workbookfile::read(job.input, book);
    // The printer writes its file itself: it writes into a private folder, and the result
    // replaces the target in one step.
    QTemporaryDir dir;
    if (!dir.isValid())
        throw VelmoraError::cannotOpen(job.output);
    const QString pdf = dir.filePath(QStringLiteral("impression.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setDocName(QFileInfo(job.input).fileName());
        sheetprinter::print(book, printer, 0);
    }
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        throw VelmoraError::cannotOpen(job.output);
    atomicsave::write(job.output, file.readAll());
}

// A re-save: what the window's load and save make of the workbook, in the form the output's
// name asks for (".qvc" or ".ods").
void resave(const ConversionJob &job)
{
    sheet::Workbook book;
    sheet::workbookfile::read(job.input, book);
    sheet::workbookfile::write(job.output, book);
}

void fromCsv(const ConversionJob &job)
{
    sheet::Workbook book;
    sheet::csv::importFile(job.input, book);
    sheet::workbookfile::write(job.output, book);
}

} // namespace

void SpreadsheetModule::registerConverters(ConverterRegistry &registry)
{
    const QStringList sheetOption{QStringLiteral("sheet")};
    const QStringList workbooks{QStringLiteral("qvc"), QStringLiteral("ods")};
    registry.add({QStringLiteral("csv"), workbooks, QStringLiteral("csv"), toCsv, sheetOption});
    registry.add({QStringLiteral("pdf"), workbooks, QStringLiteral("pdf"), toPdf});
    for (const QString &format : workbooks) {
        registry.add({format, workbooks, format, resave});
        registry.add({format, {QStringLiteral("csv")}, format, fromCsv});
    }
}
