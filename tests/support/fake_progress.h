// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A progress recorder that keeps what the modes report, for the tests to look at.

#include <string>
#include <utility>
#include <vector>

#include "flows/progress_recorder.h"
#include "store/vocdata.h"

namespace mhtest {

class RecordingProgress : public merkhaus::ProgressRecorder {
 public:
  struct Answer {
    std::string dataFile;
    merkhaus::TVocData entry;
    merkhaus::AnswerOutcome outcome;
  };
  struct Correction {
    merkhaus::TVocData oldEntry;
    merkhaus::TVocData newEntry;
  };
  struct Test {
    int unitId, right, asked, quotient;
    bool operator==(const Test&) const = default;
  };

  void answered(const merkhaus::LessonContext& lesson, const merkhaus::TVocData& entry,
                merkhaus::AnswerOutcome outcome) override {
    answers.push_back({lesson.dataFilePath, entry, outcome});
  }
  void corrected(const merkhaus::LessonContext&, const merkhaus::TVocData& oldEntry,
                 const merkhaus::TVocData& newEntry) override {
    corrections.push_back({oldEntry, newEntry});
  }
  void testFinished(const merkhaus::LessonContext& lesson, int right, int asked,
                    int quotient) override {
    tests.push_back({lesson.unitId, right, asked, quotient});
  }

  void converted(const std::string& fromPath, const merkhaus::TVocData&, const std::string& toPath,
                 const merkhaus::TVocData&) override {
    conversions.emplace_back(fromPath, toPath);
  }

  std::vector<Answer> answers;
  std::vector<Correction> corrections;
  std::vector<Test> tests;
  std::vector<std::pair<std::string, std::string>> conversions;  // from, to
};

}  // namespace mhtest
