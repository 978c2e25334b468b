// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "config/options.h"
#include "flows/progress_recorder.h"
#include "platform/messages.h"
#include "platform/today.h"
#include "progress/progress_store.h"

namespace merkhaus {

// The program's one way into the progress database: it records what practice and test report,
// and gives the review mode and "Lernstand" the store. The database is opened at its first use
// and kept open; when it cannot be used (missing folder, locked, read-only, damaged), the learner
// is told once per run that progress is not being kept and why, and every later use quietly
// tries again, so that a lock that goes away costs nothing but that one message.
class ProgressKeeper : public ProgressRecorder {
 public:
  ProgressKeeper(std::string databasePath, const Options& options, Messages& messages,
                 const Clock& clock);

  void answered(const LessonContext& lesson, const TVocData& entry, AnswerOutcome outcome) override;
  void corrected(const LessonContext& lesson, const TVocData& oldEntry,
                 const TVocData& newEntry) override;
  void testFinished(const LessonContext& lesson, int right, int asked, int quotient) override;
  void converted(const std::string& fromPath, const TVocData& fromHeader, const std::string& toPath,
                 const TVocData& toHeader) override;

  // The store with the DataFile at `path` (record 0 `header`) in it; nothing, after the one
  // message, when the database cannot be used.
  struct Link {
    ProgressStore& store;
    DataFileRef file;
  };
  std::optional<Link> link(const std::string& path, const TVocData& header);
  // A store call failed: the one message, when it has not been shown yet.
  void failed(const ProgressError& error);
  // True once the message has been shown.
  bool told() const { return told_; }

  // The scheduler's settings from the options.
  SchedulerParams params() const;
  // Today, by the program's clock.
  Day today() const;

 private:
  std::string path_;
  const Options& options_;
  Messages& messages_;
  const Clock& clock_;
  std::optional<ProgressStore> store_;
  // The DataFile found last: practice and review ask for the same one answer after answer.
  std::string linkedPath_;
  TVocData linkedHeader_{};
  std::optional<DataFileRef> linked_;
  bool told_ = false;
};

// The DataFile a progress window works on: the chosen path with its header read afresh (the
// DataFile chooser leaves the lesson context's header as it was).
struct ChosenDataFile {
  std::string path;
  TVocData header{};
};
// Tells the learner and gives nothing when the header cannot be read.
std::optional<ChosenDataFile> ReadChosenDataFile(const std::string& path, Messages& messages);
// The keeper's link to that DataFile; nothing without a keeper or a usable database.
std::optional<ProgressKeeper::Link> LinkChosen(ProgressKeeper* keeper, const std::string& path,
                                               const TVocData& header);

}  // namespace merkhaus
