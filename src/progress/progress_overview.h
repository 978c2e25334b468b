// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "flows/services.h"
#include "progress/progress_figures.h"
#include "progress/progress_keeper.h"

namespace merkhaus {

// What "Lernstand" shows of the chosen DataFile.
struct OverviewView {
  std::string caption = "Lernstand";  // UTF-8
  Day today = 0;
  std::vector<LessonFigures> lessons;  // in the order of the lesson list
  std::size_t selected = 0;            // index into lessons
  std::vector<TestResult> history;     // the selected lesson's tests, oldest first
};

// "Lernstand": per lesson how many entries are new, still being learned and known, what falls
// due in the next days, and how the lesson's tests went; a lesson's progress can be reset.
class ProgressOverview {
 public:
  static constexpr int kForecastDays = 30;

  ProgressOverview(Services& services, ProgressKeeper* keeper);

  const OverviewView& view() const { return view_; }

  // Reads the figures of the context's DataFile. False, after a message, when there are none to
  // show (no lessons, the DataFile or the database cannot be read).
  bool load();
  // Shows the lesson at `index` of the list.
  void selectLesson(std::size_t index);
  // After the question, forgets the progress of the selected lesson (its test history stays).
  void resetLesson();

 private:
  std::optional<ProgressKeeper::Link> link();
  bool readFigures();

  Services& services_;
  ProgressKeeper* keeper_;
  std::string path_;
  TVocData header_{};
  OverviewView view_;
};

}  // namespace merkhaus
