// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/progress_keeper.h"

#include <utility>

#include "progress/datafile_read.h"

namespace merkhaus {
namespace {

Outcome StoreOutcome(AnswerOutcome outcome) {
  switch (outcome) {
    case AnswerOutcome::RightFirstTry:
      return Outcome::RightFirstTry;
    case AnswerOutcome::RightWithHelp:
      return Outcome::RightWithHelp;
    case AnswerOutcome::Failed:
      break;
  }
  return Outcome::Failed;
}

}  // namespace

ProgressKeeper::ProgressKeeper(std::string databasePath, const Options& options, Messages& messages,
                               const Clock& clock)
    : path_(std::move(databasePath)), options_(options), messages_(messages), clock_(clock) {}

void ProgressKeeper::failed(const ProgressError& error) {
  // A database that could not be used may be half-open; the next use starts afresh.
  store_.reset();
  linked_.reset();
  if (told_) return;
  told_ = true;
  messages_.show(MsgKind::Warning, ProgressNotKeptText(error), MsgButtons::Ok);
}

std::optional<ProgressKeeper::Link> ProgressKeeper::link(const std::string& path,
                                                         const TVocData& header) {
  if (!store_) {
    auto opened = ProgressStore::open(path_);
    if (!opened) {
      failed(opened.error());
      return std::nullopt;
    }
    store_ = std::move(*opened);
  }
  if (linked_ && linkedPath_ == path && RecordsEqual(linkedHeader_, header))
    return Link{*store_, *linked_};
  auto file = store_->dataFile(path, header);
  if (!file) {
    failed(file.error());
    return std::nullopt;
  }
  linkedPath_ = path;
  linkedHeader_ = header;
  linked_ = *file;
  return Link{*store_, *file};
}

void ProgressKeeper::answered(const LessonContext& lesson, const TVocData& entry,
                              AnswerOutcome outcome) {
  const auto l = link(lesson.dataFilePath, lesson.dataFileHeader);
  if (!l) return;
  const auto result =
      l->store.recordOutcome(l->file, entry, StoreOutcome(outcome), today(), params());
  if (!result) failed(result.error());
}

void ProgressKeeper::corrected(const LessonContext& lesson, const TVocData& oldEntry,
                               const TVocData& newEntry) {
  const auto l = link(lesson.dataFilePath, lesson.dataFileHeader);
  if (!l) return;
  const auto result = l->store.entryCorrected(l->file, oldEntry, newEntry);
  if (!result) failed(result.error());
}

void ProgressKeeper::converted(const std::string& fromPath, const TVocData& fromHeader,
                               const std::string& toPath, const TVocData& toHeader) {
  const auto l = link(fromPath, fromHeader);
  if (!l) return;
  const auto result = l->store.dataFileConverted(l->file, toPath, toHeader);
  if (!result) failed(result.error());
}

void ProgressKeeper::testFinished(const LessonContext& lesson, int right, int asked, int quotient) {
  const auto l = link(lesson.dataFilePath, lesson.dataFileHeader);
  if (!l) return;
  const auto result =
      l->store.addTestResult(l->file, {lesson.unitId, today(), right, asked, quotient});
  if (!result) failed(result.error());
}

SchedulerParams ProgressKeeper::params() const {
  SchedulerParams p;
  p.desiredRetention = options_.more.desiredRetentionPercent / 100.0;
  return p;
}

Day ProgressKeeper::today() const {
  const std::tm t = clock_.today();
  return DayFromDate(t.tm_year + 1900, static_cast<unsigned>(t.tm_mon + 1),
                     static_cast<unsigned>(t.tm_mday));
}

std::optional<ChosenDataFile> ReadChosenDataFile(const std::string& path, Messages& messages) {
  const auto header = ReadDataFileHeader(path);
  if (!header) {
    ShowFileError(messages, "Das DataFile kann nicht gelesen werden.", header.error());
    return std::nullopt;
  }
  return ChosenDataFile{path, *header};
}

std::optional<ProgressKeeper::Link> LinkChosen(ProgressKeeper* keeper, const std::string& path,
                                               const TVocData& header) {
  if (!keeper) return std::nullopt;
  return keeper->link(path, header);
}

}  // namespace merkhaus
