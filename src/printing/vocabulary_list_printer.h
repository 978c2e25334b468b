// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "flows/mode.h"
#include "flows/services.h"
#include "platform/messages.h"
#include "platform/print.h"

namespace merkhaus {

// "Drucken": prints the vocabulary list of the current lesson, after the learner chose the
// printer (or a PDF file) in the print dialog, dated by the services' clock. It keeps nothing
// between two runs; it leaves the printed lesson's header in the lesson context.
class VocabularyListPrinter : public Mode {
 public:
  explicit VocabularyListPrinter(const ModeContext& mode);

  void printList();
  void runMode(ModeHost&) override { printList(); }

 private:
  Services& services_;
};

// The PDF file offered for a DataFile's list: beside it, named after it.
std::string ProposedPdfPath(const std::string& dataFilePath);

// The list of lesson `unitId` of the DataFile at `path`, as "Drucken" would print it on the day
// `date`, for printing without the windows (`merkhaus --print-pdf`). Every problem (a missing or
// unreadable file, no DataFile, no such lesson) is told through `messages`; then nothing.
std::optional<PrintDocument> ReadVocabularyListDocument(const std::string& path,
                                                        std::uint8_t unitId, const WinString& date,
                                                        Messages& messages);

}  // namespace merkhaus
