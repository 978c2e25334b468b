// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_print.h"

#include <QApplication>
#include <QBuffer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <variant>

#include "platform/file_io.h"
#include "platform/qt_text.h"

namespace merkhaus {

namespace {

constexpr double kTenthsPerInch = 254.0;

QWidget* DialogParent() {
  QWidget* parent = QApplication::activeModalWidget();
  return parent ? parent : QApplication::activeWindow();
}

// Draws the steps of one page; positions in tenths of a millimetre become device units.
class PagePainter {
 public:
  PagePainter(QPainter& painter, const QPaintDevice& device)
      : painter_(painter),
        device_(device),
        sx_(device.logicalDpiX() / kTenthsPerInch),
        sy_(device.logicalDpiY() / kTenthsPerInch) {}

  void operator()(const PrintText& t) {
    if (t.text.empty()) return;
    QFont font(PrintFontFamily(t.family));
    // Letters the family lacks (Arabic in Liberation Sans, say) come from DejaVu Sans, which the
    // package depends on, before whatever else the system would pick.
    font.setFamilies({font.family(), QStringLiteral("DejaVu Sans")});
    font.setPointSize(t.pointSize);
    font.setWeight(t.weight == FontWeight::Bold ? QFont::Bold : QFont::Normal);
    painter_.setFont(font);
    painter_.setPen(Qt::black);
    // Each text reads in its own direction: a Hebrew or Arabic text (and its synonyms) from the
    // right, a German one from the left.
    painter_.setLayoutDirection(Qt::LayoutDirectionAuto);
    // The step names the text's top left corner; Qt draws from the baseline.
    const QFontMetricsF metrics(painter_.font(), &device_);
    const QString text = ToQString(t.text);
    const qreal x =
        t.rightEdge != 0 ? t.rightEdge * sx_ - metrics.horizontalAdvance(text) : t.x * sx_;
    painter_.drawText(QPointF(x, t.y * sy_ + metrics.ascent()), text);
  }

  void operator()(const PrintLine& l) {
    painter_.setPen(QPen(Qt::black, l.penWidth * sy_, Qt::SolidLine, Qt::FlatCap));
    painter_.drawLine(QLineF(l.x1 * sx_, l.y1 * sy_, l.x2 * sx_, l.y2 * sy_));
  }

 private:
  QPainter& painter_;
  const QPaintDevice& device_;
  double sx_;
  double sy_;
};

class PrinterTarget : public PrintTarget {
 public:
  explicit PrinterTarget(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}

  bool print(const PrintDocument& document, std::string& error) override {
    printer_->setDocName(Utf8ToQString(document.title));
    printer_->setCreator(QStringLiteral("Merkhaus 3"));
    const std::string name = QStringToPath(printer_->printerName());
    if (!PaintDocument(*printer_, document, error) || printer_->printerState() == QPrinter::Error) {
      error = "Der Drucker \"" + name + "\" hat nicht gedruckt." +
              (error.empty() ? std::string() : "\n" + error);
      return false;
    }
    return true;
  }

 private:
  std::unique_ptr<QPrinter> printer_;
};

class PdfFileTarget : public PrintTarget {
 public:
  PdfFileTarget(std::string path, QPageLayout layout)
      : path_(std::move(path)), layout_(std::move(layout)) {}

  bool print(const PrintDocument& document, std::string& error) override {
    return WritePdf(path_, document, layout_, error);
  }
  std::string pdfPath() const override { return path_; }

 private:
  std::string path_;
  QPageLayout layout_;
};

std::unique_ptr<PrintTarget> AskPdfFile(const QString& title, const std::string& proposedPdf) {
  QFileDialog dialog(DialogParent(), title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QStringLiteral("PDF-Datei (*.pdf)"));
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  if (!proposedPdf.empty()) dialog.selectFile(PathToQString(proposedPdf));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return nullptr;
  return std::make_unique<PdfFileTarget>(QStringToPath(dialog.selectedFiles().constFirst()),
                                         PdfPageLayout());
}

}  // namespace

QString PrintFontFamily(const std::string& family) {
  const QString wanted = Utf8ToQString(family);
  const QString metricTwin = QStringLiteral("Liberation Sans");
  if (wanted == QStringLiteral("Arial") && !QFontDatabase::hasFamily(wanted) &&
      QFontDatabase::hasFamily(metricTwin)) {
    return metricTwin;
  }
  return wanted;
}

bool PaintDocument(QPagedPaintDevice& device, const PrintDocument& document, std::string& error) {
  QPainter painter;
  if (!painter.begin(&device)) {
    error = "Das Drucken konnte nicht beginnen.";
    return false;
  }
  painter.setRenderHint(QPainter::Antialiasing);
  PagePainter draw(painter, device);
  bool first = true;
  for (const PrintPage& page : document.pages) {
    if (!first && !device.newPage()) {
      painter.end();
      error = "Eine neue Seite konnte nicht begonnen werden.";
      return false;
    }
    first = false;
    for (const PrintStep& step : page)
      std::visit(draw, step);
  }
  if (!painter.end()) {
    error = "Das Drucken konnte nicht abgeschlossen werden.";
    return false;
  }
  return true;
}

QPageLayout PdfPageLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(5, 5, 5, 5),
                     QPageLayout::Millimeter);
}

bool WritePdf(const std::string& path, const PrintDocument& document, const QPageLayout& layout,
              std::string& error) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(layout);
    writer.setTitle(Utf8ToQString(document.title));
    writer.setCreator(QStringLiteral("Merkhaus 3"));
    if (!PaintDocument(writer, document, error)) {
      error = "Die PDF-Datei \"" + path + "\" konnte nicht erzeugt werden.\n" + error;
      return false;
    }
  }
  const FileResult<> written =
      WriteWholeFile(path, std::string_view(bytes.constData(), bytes.size()));
  if (!written) {
    error = WithReason("Die Vokabelliste konnte nicht als PDF-Datei gespeichert werden!",
                       written.error());
    return false;
  }
  return true;
}

QString NoPrinterSaveTitle() {
  return QStringLiteral("Kein Drucker eingerichtet – Vokabelliste als PDF-Datei speichern");
}

QtPrintDialog::QtPrintDialog(std::function<QStringList()> printers)
    : printers_(printers ? std::move(printers)
                         : [] { return QPrinterInfo::availablePrinterNames(); }) {}

std::unique_ptr<PrintTarget> QtPrintDialog::choosePrinter(const std::string& proposedPdf) {
  // Without a printer the system's print dialog could only print into a file, behind a choice
  // the learner may not find; the save dialog says plainly what happens.
  if (printers_().isEmpty()) return AskPdfFile(NoPrinterSaveTitle(), proposedPdf);

  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  // The system's dialog proposes a PDF file named after the document.
  const QString stem = QFileInfo(PathToQString(proposedPdf)).completeBaseName();
  printer->setDocName(stem.isEmpty() ? QStringLiteral("Vokabelliste") : stem);
  QPrintDialog dialog(printer.get(), DialogParent());
  // The list is printed whole: no page range, no selection.
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  if (dialog.exec() != QDialog::Accepted) return nullptr;
  if (printer->outputFormat() != QPrinter::PdfFormat) {
    return std::make_unique<PrinterTarget>(std::move(printer));
  }
  // Into a file: written whole like every file the program writes.
  if (printer->outputFileName().isEmpty()) {
    return AskPdfFile(QStringLiteral("Vokabelliste als PDF-Datei speichern"), proposedPdf);
  }
  return std::make_unique<PdfFileTarget>(QStringToPath(printer->outputFileName()),
                                         printer->pageLayout());
}

}  // namespace merkhaus
