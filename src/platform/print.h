// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/win_string.h"

namespace merkhaus {

// A printed document as the steps that draw it. Every length is in tenths of a millimetre,
// measured from the top left corner of the printable area: x to the right, y downwards. The
// steps say nothing about the printer, so the same pages go to paper or into a PDF file.

enum class FontWeight { Regular, Bold };

// A text whose top left corner is at (x, y); with a `rightEdge` (not 0) the text ends there
// instead, and x is only the left edge of its column: a Hebrew or Arabic text starts at its
// column's right edge, as it is read.
struct PrintText {
  int x = 0;
  int y = 0;
  std::string family;  // e.g. "Arial"
  int pointSize = 0;
  FontWeight weight = FontWeight::Regular;
  WinString text;
  int rightEdge = 0;
  bool operator==(const PrintText&) const = default;
};

// A straight line; the pen width is in tenths of a millimetre as well.
struct PrintLine {
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  int penWidth = 1;
  bool operator==(const PrintLine&) const = default;
};

using PrintStep = std::variant<PrintText, PrintLine>;
using PrintPage = std::vector<PrintStep>;

struct PrintDocument {
  std::string title;  // UTF-8; names the print job and the PDF
  std::vector<PrintPage> pages;
};

// Where the learner sends a document: a printer, or a PDF file.
class PrintTarget {
 public:
  virtual ~PrintTarget() = default;
  // Prints every page. False, with a German message in `error`, when the printer or the file
  // refused; a PDF file is then left as it was before.
  virtual bool print(const PrintDocument& document, std::string& error) = 0;
  // The PDF file the document goes to; empty for a printer.
  virtual std::string pdfPath() const { return {}; }
};

// The print dialog: asks the learner where to print. `proposedPdf` is the file offered when the
// learner prints into a PDF file. Nothing when the learner cancelled.
class PrintDialog {
 public:
  virtual ~PrintDialog() = default;
  virtual std::unique_ptr<PrintTarget> choosePrinter(const std::string& proposedPdf) = 0;
};

}  // namespace merkhaus
