// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The learner's progress: one SQLite database per user (lernstand.sqlite) holding, for every
// entry ever answered, its memory state, and the results of finished tests. The DataFile itself
// is never written for it.
//
// Identity. Progress belongs to an entry, never to a record position:
// - A DataFile is known by its path (absolute, links resolved) and by its header (record 0's
//   name, languages, author, comment and signature). A known path keeps its progress whatever
//   its header says now (the info dialog renames DataFiles). A path seen for the first time
//   whose header is known belongs to that DataFile: when the old path no longer holds it, the
//   file was moved and its progress moves along; when it is still there, the file was copied
//   and the copy starts with a copy of the progress. So two DataFiles with the same header are
//   told apart by their paths.
// - An entry is known by its lesson's UnitID and its six words (A1 to A3, B1 to B3, as stored).
//   The UnitID survives renaming the lesson, the cleanup and restoring; the words survive every
//   move of the record. The comment is no part of it: a changed comment changes no vocabulary.
//   An entry whose words another program changed is a new entry; corrections made in the
//   program are told with entryCorrected(), which carries the progress over.
// - Entries with the same words in one lesson share their progress.
//
// Every call is one short transaction; the store never shows anything. A database that cannot
// be opened, is locked, read-only or damaged gives a ProgressError, which the caller words once
// (ProgressNotKeptText) while learning goes on.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <tl/expected.hpp>

#include "progress/calendar.h"
#include "progress/entry_states.h"
#include "progress/fsrs.h"
#include "progress/progress_error.h"
#include "store/vocdata.h"

namespace merkhaus {

// The file name of the database in the program's data folder.
inline constexpr const char* kProgressFileName = "lernstand.sqlite";

// Where the program and the tool keep the database: the data folder (beside the executable in
// the portable mode, otherwise $XDG_DATA_HOME/Merkhaus/).
std::string DefaultProgressPath();

// A DataFile as the database knows it.
struct DataFileRef {
  std::int64_t id = 0;
};

// How an answer in practice or a test went, for its first outcome of the day.
enum class Outcome {
  RightFirstTry,  // right at the first try, without a tip
  RightWithHelp,  // right after a tip or after wrong tries
  Failed,         // the solution shown, "?", or wrong in a test
};
// Gut, Schwer and Nochmal.
Grade GradeFor(Outcome outcome);

// A finished test of a lesson.
struct TestResult {
  std::uint8_t unitId = 0;
  Day day = 0;
  int right = 0;
  int asked = 0;
  int quotient = 0;  // the error quotient in percent
  bool operator==(const TestResult&) const = default;
};

template <class T>
using ProgressResult = tl::expected<T, ProgressError>;

class ProgressStore {
 public:
  struct Options {
    int busyTimeoutMs = kLockWaitMs;  // how long to wait for another program's write
  };

  // Opens the database at `path`, creating it (and bringing an older one up to date) when
  // needed. A file that is no progress database of Merkhaus, or one of a newer version, is
  // refused and left alone.
  static ProgressResult<ProgressStore> open(const std::string& path, Options options);
  static ProgressResult<ProgressStore> open(const std::string& path) {
    return open(path, Options{});
  }

  ProgressStore(ProgressStore&&) noexcept;
  ProgressStore& operator=(ProgressStore&&) noexcept;
  ~ProgressStore();

  const std::string& path() const;

  // The DataFile at `path` with record 0 `header` (see Identity above); registers it, moves or
  // copies progress as needed.
  ProgressResult<DataFileRef> dataFile(const std::string& path, const TVocData& header);

  // The state of one entry; a new entry when it has none.
  ProgressResult<MemoryState> state(DataFileRef file, const TVocData& entry);
  // Every state of the DataFile, or of one lesson.
  ProgressResult<EntryStates> states(DataFileRef file);
  // The states of the entries due on `today`, and which other entries have been answered: what
  // the due figures and the review queue need, read much faster than every state.
  ProgressResult<EntryStates> dueStates(DataFileRef file, Day today);
  ProgressResult<EntryStates> lessonStates(DataFileRef file, std::uint8_t unitId);

  // Records an answer graded directly (the review mode, merkhaus-tool) and gives the new state.
  ProgressResult<MemoryState> review(DataFileRef file, const TVocData& entry, Grade grade,
                                     Day today, const SchedulerParams& params);

  // Records the outcome of an answer in practice or a test, when it is the entry's first one of
  // the day: the new state; nothing when the entry was answered on this day (or later) already.
  ProgressResult<std::optional<MemoryState>> recordOutcome(DataFileRef file, const TVocData& entry,
                                                           Outcome outcome, Day today,
                                                           const SchedulerParams& params);

  // The program corrected an entry (quick edit, editor): its progress goes with the new words
  // and stays with the old ones too, for an identical entry that the correction did not touch.
  ProgressResult<void> entryCorrected(DataFileRef file, const TVocData& oldRecord,
                                      const TVocData& newRecord);

  // A Unicode copy of the DataFile `from` was written to `toPath` (record 0 `toHeader`): the copy
  // starts with the progress and the test history of `from`, its entries known by their words
  // as the copy holds them. What was known of a file the copy replaced is forgotten.
  ProgressResult<void> dataFileConverted(DataFileRef from, const std::string& toPath,
                                         const TVocData& toHeader);

  // Forgets the progress of every entry of a lesson; the test history stays.
  ProgressResult<void> resetLesson(DataFileRef file, std::uint8_t unitId);

  ProgressResult<void> addTestResult(DataFileRef file, const TestResult& result);
  // The lesson's tests, oldest first.
  ProgressResult<std::vector<TestResult>> testHistory(DataFileRef file, std::uint8_t unitId);

 private:
  struct Impl;
  explicit ProgressStore(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace merkhaus
