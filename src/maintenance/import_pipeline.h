// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every import (lesson text, CSV, KVTML) has the same shape. A format reads its file into an
// import plan: the lessons it will fill, how many entries each gets, and a report of the lines it
// cannot take or had to change; or it refuses the file as a whole. Then one pipeline checks the
// plan, asks about the problem lines, adds the lessons and their entries to the DataFile in one
// all-or-nothing append, pulling the entries from the format block by block, and reports.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <tl/expected.hpp>

#include "maintenance/import_report.h"
#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/vocdata.h"

namespace merkhaus {

// A lesson that an import fills: an existing one (`into`), or a new one named `name`.
struct PlannedLesson {
  std::uint8_t into = 0;
  WinString name;
  WinString comment;
  std::size_t entries = 0;  // the entries it receives
};

// What happens when a new lesson's name is taken: the import fails (after "Die Unit ist bereits
// vorhanden!"), or the name gets " (2)", " (3)" ... cut so that the whole fits into 60
// characters.
enum class NameClash { Refuse, Number };

struct ImportPlan {
  std::vector<PlannedLesson> lessons;
  ImportReport report;
  NameClash clash = NameClash::Number;
  // A file without entries is told and not imported ("enthält keine Vokabeln"); a lesson text
  // file makes its lesson all the same.
  bool needsEntries = true;
  // Shown with the notes when a file without entries has notes on its lines (what is read).
  std::string emptyHint;
  // A lesson text whose new lesson is refused (name taken, no free UnitID) says so twice more.
  bool invalidWhenRefused = false;
};

// A file that a format has read: its plan, and its entries to be written.
class ImportSource {
 public:
  virtual ~ImportSource() = default;
  virtual const ImportPlan& plan() const = 0;
  // Hands the entries of lesson `lesson` of the plan to `take`, in file order and in blocks
  // that are the pipeline's to change: it sets their UnitID in place and writes them. Each
  // lesson's entries are asked for once.
  virtual void entries(std::size_t lesson,
                       const std::function<void(std::span<TVocData>)>& take) = 0;
};

// A source whose entries are held in memory, one list per lesson of the plan.
class HeldImport : public ImportSource {
 public:
  ImportPlan plan_;
  std::vector<std::vector<TVocData>> entries_;

  // Adds a lesson to the plan with its entries.
  void add(PlannedLesson lesson, std::vector<TVocData> entries);

  const ImportPlan& plan() const override { return plan_; }
  void entries(std::size_t lesson, const std::function<void(std::span<TVocData>)>& take) override;
};

// A format's reading of a file: what it will import, or why it imports nothing.
using ParsedImport = tl::expected<std::unique_ptr<ImportSource>, ImportRefusal>;

struct ImportedLesson {
  std::uint8_t unitID = 0;
  WinString name;
  std::size_t added = 0;
};

struct ImportResult {
  bool imported = false;                  // the entries are in the DataFile (possibly none)
  std::uint8_t unitID = 0;                // the (first) lesson that received them
  bool newLesson = false;                 // that lesson was made by the import
  std::size_t added = 0;                  // entries appended
  std::vector<std::size_t> skippedLines;  // lines of the file that were not imported
  bool dataFileChanged = false;           // records were added (refresh the statistics)
  std::vector<ImportedLesson> lessons;    // every lesson filled, in order
  bool declined = false;                  // asked about problem lines, the answer was "Nein"
};

// What the learner is told after a successful import: how many entries went into which lesson
// ("5 Vokabeln in die Lektion "Verben" importiert.") or how many lessons were made ("3 Lektionen
// mit 412 Vokabeln importiert."). `intoName` names the lesson filled when no lesson was made.
std::string ImportDoneText(const ImportResult& result, const WinString& intoName);

// The pipeline: tells a refusal; tells a file without entries; with problem lines lists them and
// the warnings and asks whether to import the rest ("Nein" is the default); then adds the
// lessons and their entries to the DataFile in one all-or-nothing append, after checking that an
// existing lesson is still live, or that the new lessons fit into the 255 UnitIDs (and, with
// NameClash::Refuse, that their names are free); and tells the warnings of an import that did
// not ask. A failed write leaves the DataFile as it was and is told.
ImportResult RunImport(const std::string& dataFilePath, const std::string& sourcePath,
                       ParsedImport parsed, Messages& messages, const ImportOptions& options);

}  // namespace merkhaus
