// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "maintenance/text_transfer.h"
#include "platform/messages.h"
#include "store/record_file.h"
#include "support/fakes.h"

namespace mhtest {

// Messages for imports whose texts a test cannot know beforehand (random bytes): every box is
// answered alike and kept for a look afterwards.
class AnswerEverything : public merkhaus::Messages {
 public:
  explicit AnswerEverything(merkhaus::Answer answer) : answer_(answer) {}
  merkhaus::Answer show(merkhaus::MsgKind, const std::string& text,
                        merkhaus::MsgButtons buttons) override {
    texts.push_back(text);
    if (buttons == merkhaus::MsgButtons::Ok) return merkhaus::Answer::Ok;
    return answer_;
  }
  std::vector<std::string> texts;

 private:
  merkhaus::Answer answer_;
};

// A DataFile made of the lesson text files of examples/<folder>, one lesson per file, as the
// build makes the example DataFiles.
inline void BuildExampleDataFile(const char* folder, const std::string& dataFile) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(fs::path(MERKHAUS_EXAMPLES_DIR) / folder)) {
    if (e.path().extension() == ".txt") files.push_back(e.path().string());
  }
  std::sort(files.begin(), files.end());
  ASSERT_TRUE(merkhaus::CreateDataFile(
      dataFile,
      merkhaus::MakeDataFileHeader(merkhaus::WinString("Beispiel"), merkhaus::WinString("Englisch"),
                                   merkhaus::WinString("Deutsch"), merkhaus::WinString("A"),
                                   merkhaus::WinString("K"))));
  ScriptedMessages quiet;
  for (const std::string& file : files) {
    ASSERT_TRUE(merkhaus::ImportLessonText(dataFile, file, 0, quiet).imported) << file;
  }
}

}  // namespace mhtest
