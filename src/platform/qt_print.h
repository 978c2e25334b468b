// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPageLayout>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "platform/print.h"

class QPagedPaintDevice;

namespace merkhaus {

// Draws the pages on a printer or a PDF writer, one device page each, and ends the document.
// Lengths in tenths of a millimetre become device units; fonts keep their point sizes. False,
// with a German message, when the device refuses.
bool PaintDocument(QPagedPaintDevice& device, const PrintDocument& document, std::string& error);

// The family that draws a font family of the pages: Arial where it is installed, otherwise
// Liberation Sans, which has Arial's metrics (fonts-liberation2).
QString PrintFontFamily(const std::string& family);

// A4 portrait with its printable area 5 mm inside every edge, as on a common printer: the page
// of a PDF written without a printer.
QPageLayout PdfPageLayout();

// Writes the document as a PDF file. It is made in memory and then written whole (a temporary
// file beside the target, renamed into place), so a failure leaves an existing file as it was.
bool WritePdf(const std::string& path, const PrintDocument& document, const QPageLayout& layout,
              std::string& error);

// The print dialog. With a printer installed it is the system's print dialog, which can also
// print into a PDF file; without one (no CUPS, as on many desktops) the learner is offered a
// PDF file straight away, in a save dialog that says so.
class QtPrintDialog : public PrintDialog {
 public:
  // `printers` names the installed printers; by default the system is asked.
  explicit QtPrintDialog(std::function<QStringList()> printers = nullptr);
  std::unique_ptr<PrintTarget> choosePrinter(const std::string& proposedPdf) override;

 private:
  std::function<QStringList()> printers_;
};

// The title of the save dialog offered when no printer is installed.
QString NoPrinterSaveTitle();

}  // namespace merkhaus
