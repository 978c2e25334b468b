// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "store/vocdata.h"

namespace merkhaus {

// The lesson the learner works on, as the choosers leave it for the modes: the current DataFile,
// the current lesson and copies of their header records, and the DataFile named on the command
// line. One instance is made at start-up and handed to every mode; each mode keeps its own
// entries.
struct LessonContext {
  std::string dataFilePath;   // the current DataFile
  std::uint8_t unitId = 0;    // the current lesson, 0 for none
  TVocData dataFileHeader{};  // copy of record 0 of the current DataFile
  TVocData lessonHeader{};    // copy of the current lesson's header
  std::string cmdLineFile;    // the DataFile named on the command line, or empty
  // Why the current DataFile is not to be changed in this mode (damaged, write-protected), as
  // the learner was told when it was chosen; empty when it can be written.
  std::string readOnlyReason;
  // The lessons (DataFile, UnitID) whose learner was told in this run that only their first
  // entries are used.
  std::set<std::pair<std::string, std::uint8_t>> toldCut;

  // The encoding of the current DataFile's texts (Windows-1252 or, in a Unicode DataFile, UTF-8):
  // what every text read from it carries and every typed text is converted to.
  TextEncoding encoding() const { return EncodingOf(dataFileHeader); }
};

}  // namespace merkhaus
