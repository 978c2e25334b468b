// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "flows/services.h"
#include "platform/messages.h"
#include "platform/print.h"

namespace merkhaus {

// "Drucken": prints the vocabulary list of lesson CurUnitID of DataFilePath, after the learner
// chose the printer (or a PDF file) in the print dialog. It keeps nothing between two runs; it
// leaves the printed lesson's entries in VocList and its header in CurUnit.
class UnitListPrinter {
 public:
  // `today` yields the printing date (UTF-8); the system's short date unless a test fixes it.
  explicit UnitListPrinter(Services& services, std::function<std::string()> today = nullptr);

  void PrintUnitList();

 private:
  Services& services_;
  std::function<std::string()> today_;
};

// The PDF file offered for a DataFile's list: beside it, named after it.
std::string ProposedPdfPath(const std::string& dataFilePath);

// The list of lesson `unitId` of the DataFile at `path`, as "Drucken" would print it, for
// printing without the windows (`merkhaus --print-pdf`). Every problem (a missing or unreadable
// file, no DataFile, no such lesson) is told through `messages`; then nothing.
std::optional<PrintDocument> ReadUnitListDocument(const std::string& path, std::uint8_t unitId,
                                                  const std::string& date, Messages& messages);

}  // namespace merkhaus
