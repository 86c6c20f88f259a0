#pragma once

#include <QStringList>

#include <functional>

class QWidget;

namespace sutograf {

// The printers a print would offer; a test puts in its own.
using PrinterLookup = std::function<QStringList()>;

// The system's printers (CUPS on Linux), by name.
QStringList installedPrinters();

// Without a printer, Qt's print dialog would offer nothing but a PDF file in the home folder, and
// say nothing of why: this says there is no printer and what to do, and offers the PDF instead.
// Answers whether the user took the PDF. Modal; the box is named "noPrinters".
bool offerPdfWithoutPrinter(QWidget* parent);

} // namespace sutograf
