// The program's printer: Qt's print support at high resolution, so that a whole number of
// printer pixels per millimetre stays within half a percent of the truth. The environment
// variable VELMORA_PRINT_PDF=path sends every job to that PDF file instead of a printer.
#pragma once

#include <QPrinter>
#include <memory>

namespace printing {

std::unique_ptr<QPrinter> createPrinter();

// Re-applies the VELMORA_PRINT_PDF redirection (a print dialog may have changed the output).
void applyRedirection(QPrinter &printer);

// False when the job would go nowhere: no printer on the system and no PDF file chosen.
bool hasOutput(const QPrinter &printer);

// Whole printer pixels per millimetre, from the page size in pixels and in millimetres
// (what the printing windows call Mh and Mv).
int pixelsPerMmX(const QPrinter &printer);
int pixelsPerMmY(const QPrinter &printer);

} // namespace printing
