// SPDX-License-Identifier: GPL-3.0-or-later
// The lesson text files in examples/ are what a newcomer meets first: each must import whole,
// without a skipped line, and every entry must have both sides.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "maintenance/text_transfer.h"
#include "platform/cp1252.h"
#include "store/datafile.h"
#include "store/lesson_list.h"
#include "store/record_file.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> LessonFiles(const char* folder) {
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(fs::path(MERKHAUS_EXAMPLES_DIR) / folder)) {
    if (e.path().extension() == ".txt") files.push_back(e.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

struct Imported {
  std::vector<std::size_t> entriesPerLesson;
  std::vector<TVocData> entries;
};

Imported ImportAll(const char* folder, const std::string& dataFile) {
  Imported result;
  mhtest::ScriptedMessages msgs;
  EXPECT_TRUE(
      CreateDataFile(dataFile, MakeDataFileHeader(WinString("E"), WinString("F"), WinString("D"),
                                                  WinString(), WinString())));
  for (const std::string& file : LessonFiles(folder)) {
    SCOPED_TRACE(file);
    const ImportResult r = ImportLessonText(dataFile, file, 0, msgs);
    EXPECT_TRUE(r.imported && r.newLesson);
    EXPECT_EQ(std::vector<std::size_t>{}, r.skippedLines);
    result.entriesPerLesson.push_back(r.added);
    const LessonRead lesson = ReadLesson(dataFile, r.unitID, SIZE_MAX).value();
    EXPECT_TRUE(lesson.header && !lesson.header->B1.empty());
    result.entries.insert(result.entries.end(), lesson.entries.begin(), lesson.entries.end());
  }
  for (const TVocData& e : result.entries) {
    EXPECT_FALSE(e.A1.empty()) << e.B1.view();
    EXPECT_FALSE(e.B1.empty()) << e.A1.view();
  }
  return result;
}

bool AnyField(const std::vector<TVocData>& entries, std::string_view utf8) {
  const std::string bytes = FromUtf8(utf8).value().bytes();
  return std::any_of(entries.begin(), entries.end(), [&](const TVocData& e) {
    for (auto f : {Field::A1, Field::A2, Field::A3}) {
      if (WordField(e, f).view().find(bytes) != std::string_view::npos) return true;
    }
    return false;
  });
}

TEST(Examples, EnglishLessonsImportWhole) {
  mhtest::TempDir dir;
  const Imported en = ImportAll("englisch", dir.file("en.fid"));
  ASSERT_GE(en.entriesPerLesson.size(), 5u);
  for (std::size_t n : en.entriesPerLesson)
    EXPECT_GE(n, 20u);
  // Synonyms on both sides, "(to) ..." forms, comma lists and comments are all in use.
  auto count = [&](auto pred) { return std::count_if(en.entries.begin(), en.entries.end(), pred); };
  EXPECT_GE(count([](const TVocData& e) { return !e.A2.empty(); }), 10);
  EXPECT_GE(count([](const TVocData& e) { return !e.B2.empty(); }), 10);
  EXPECT_GE(count([](const TVocData& e) { return e.A1.view().starts_with("(to) "); }), 20);
  EXPECT_GE(count([](const TVocData& e) { return e.B1.view().find(", ") != std::string::npos; }),
            10);
  EXPECT_GE(count([](const TVocData& e) { return !e.Comment.empty(); }), 40);
}

TEST(Examples, FrenchLessonsUseTheSpecialCharacters) {
  mhtest::TempDir dir;
  const Imported fr = ImportAll("franzoesisch", dir.file("fr.fid"));
  ASSERT_GE(fr.entriesPerLesson.size(), 1u);
  EXPECT_TRUE(AnyField(fr.entries, "ç"));
  EXPECT_TRUE(AnyField(fr.entries, "æ"));
  EXPECT_TRUE(AnyField(fr.entries, "œ"));
}

}  // namespace
}  // namespace merkhaus
