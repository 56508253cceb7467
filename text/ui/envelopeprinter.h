// Printing of one envelope: the four sender lines at the top left and the four recipient
// lines lower right, in "Arial" 10 points, at positions given in millimetres.
#pragma once

#include <QStringList>

#include <functional>

class QPrinter;

namespace envelopeprinter {

// Millimetres to printer pixels (the text window's Mh and Mv).
using MmToPixels = std::function<int(int)>;

// The message of a print job that would go nowhere.
QString noPrinterMessage();

// Prints one page. Empty lines draw nothing. Throws VelmoraError when the printer has no
// output or the job cannot start.
void print(QPrinter &printer, const QStringList &recipient, const QStringList &sender, const MmToPixels &mh,
           const MmToPixels &mv);

} // namespace envelopeprinter
