// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/csv_transfer.h"

#include <gtest/gtest.h>

#include "platform/cp1252.h"
#include "store/datafile.h"
#include "store/lesson_list.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"
#include "transfer_test_support.h"

namespace merkhaus {
namespace {

using mhtest::Entry6;
using mhtest::Header;
using mhtest::Latin1;
using mhtest::ReadBytes;
using mhtest::ReadRecords;
using mhtest::Unit;
using mhtest::WriteBytes;
using mhtest::WriteRecords;

TEST(ParseCsvTest, QuotesSeparatorsAndLines) {
  using Records = std::vector<std::pair<std::size_t, std::vector<std::string>>>;
  struct Case {
    const char* what;
    std::string bytes;
    char separator;
    Records records;
    std::size_t unclosedQuoteLine = 0;
  } cases[] = {
      {"quotes", "a,b,c\r\n\"x, y\",\"say \"\"hi\"\"\",\r\n", ',',
       Records{{1, {"a", "b", "c"}}, {2, {"x, y", "say \"hi\"", ""}}}},
      {"line break in quotes counts its line", "\"one\r\ntwo\",b\nnext,c\n", ',',
       Records{{1, {"one\r\ntwo", "b"}}, {3, {"next", "c"}}}},
      {"a tab in the first line makes a tab file", "a b\tc,d\te\n", '\t',
       Records{{1, {"a b", "c,d", "e"}}}},
      {"a quoted tab does not", "\"a\tb\",c\n", ',', Records{{1, {"a\tb", "c"}}}},
      {"#separator:tab", "#separator:tab\n#html:false\na,b\tc\n", '\t', Records{{3, {"a,b", "c"}}}},
      {"#separator:Comma among other # lines", "#columns:x\n#separator:Comma \na\tb,c\n", ',',
       Records{{3, {"a\tb", "c"}}}},
      {"# after the start is data", "a,b\n#c,d\n", ',', Records{{1, {"a", "b"}}, {2, {"#c", "d"}}}},
      {"byte-order mark, CR line ends, empty rows",
       "\xEF\xBB\xBF"
       "a,b\r\r,,\rc,d",
       ',', Records{{1, {"a", "b"}}, {4, {"c", "d"}}}},
      {"a quoted empty row is meant", "\"\",,\n", ',', Records{{1, {"", "", ""}}}},
      {"text after a closing quote is kept", "\"a\"b,c", ',', Records{{1, {"ab", "c"}}}},
      {"an unclosed quote takes the rest", "a,b\n\"c,d\ne,f\n", ',', Records{{1, {"a", "b"}}}, 2},
  };
  for (const auto& c : cases) {
    const CsvTable t = ParseCsv(c.bytes);
    EXPECT_EQ(c.separator, t.separator) << c.what;
    Records records;
    for (const auto& r : t.records)
      records.emplace_back(r.line, r.fields);
    EXPECT_EQ(c.records, records) << c.what;
    EXPECT_EQ(c.unclosedQuoteLine, t.unclosedQuoteLine) << c.what;
  }
  const CsvTable other = ParseCsv("#separator:semicolon\na;b\n");
  EXPECT_EQ("semicolon", other.unknownSeparator);
  EXPECT_EQ(1u, other.unknownSeparatorLine);
  EXPECT_TRUE(other.records.empty());
}

TVocData Rec(std::string_view a1, std::string_view a2, std::string_view b1,
             std::string_view comment = "") {
  TVocData r = EmptyRecord();
  r.A1.set(a1);
  r.A2.set(a2);
  r.B1.set(b1);
  r.Comment.set(comment);
  return r;
}

TEST(CsvTextTest, QuotesOnlyWhereNeeded) {
  const TVocData entries[] = {
      Rec("to go", "to walk", "gehen", "irregular"),
      Rec("big, large", "", "say \"hi\"", "two\r\nlines"),
      Rec("#1", "", "Nummer", ""),
      Rec("", "", "", ""),
      Rec("a", "", "b\tc", ""),
      Rec(Latin1("garçon"), "", FromUtf8("Junge €")->bytes(), ""),
  };
  EXPECT_EQ(
      "to go; to walk,gehen,irregular\r\n"
      "\"big, large\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\n"
      "\"#1\",Nummer,\r\n"
      "\"\",,\r\n"
      "a,\"b\tc\",\r\n"
      "garçon,Junge €,\r\n",
      CsvText(entries));
}

class CsvImport : public ::testing::Test {
 protected:
  void SetUp() override { WriteRecords(path, {Header("V"), Unit(1, "Tiere")}); }
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  std::string file = dir.file("Tiere.csv");
  mhtest::ScriptedMessages msgs;
};

TEST_F(CsvImport, NewLessonNamedAfterTheFileAndIntoALesson) {
  WriteBytes(file,
             "#separator:comma\n"                    // 1
             "dog; hound,Hund,\"best\r\nfriend\"\n"  // 2-3
             "\"big,  large \",groß\n"               // 4
             "lonely\n"                              // 5
             "a,b,c,extra\n"                         // 6
             ",,\n"                                  // 7
             "\"multi\nline\",word\n"                // 8-9
             "alpha,α\n");                           // 10
  msgs.expect("Die Datei \"" + file +
                  "\" enthält Zeilen, die nicht importiert werden können:\n"
                  "Zeile 10: das Zeichen „α“ (U+03B1) gibt es in Windows-1252 nicht\n"
                  "Hinweise:\n"
                  "Zeile 5: nur eine Spalte, also keine Vokabel\n"
                  "Zeile 6: Spalten nach der dritten nicht übernommen\n"
                  "Sollen die übrigen Zeilen importiert werden?",
              Answer::Yes);
  ImportResult r = ImportCsv(path, file, 0, msgs);
  ASSERT_TRUE(r.imported);
  EXPECT_TRUE(r.newLesson);
  EXPECT_EQ((std::vector<std::size_t>{5, 10}), r.skippedLines);
  auto recs = ReadRecords(path);
  ASSERT_EQ(7u, recs.size());
  // The name "Tiere" is taken.
  EXPECT_EQ(Unit(255, "Tiere (2)"), recs[2]);
  EXPECT_EQ(Entry6(255, "dog", "hound", "", "Hund", "", "", "best\r\nfriend"), recs[3]);
  EXPECT_EQ(Entry6(255, "big, large", "", "", Latin1("groß"), "", ""), recs[4]);
  EXPECT_EQ(Entry6(255, "a", "", "", "b", "", "", "c"), recs[5]);
  EXPECT_EQ(Entry6(255, "multi line", "", "", "word", "", ""), recs[6]);

  // Into an existing lesson, from a tab file with a comment that has lone line breaks.
  WriteBytes(file, "cat\tKatze\t\"eins\ndrei\"\n");
  r = ImportCsv(path, file, 1, msgs);
  EXPECT_EQ(1, r.unitID);
  EXPECT_FALSE(r.newLesson);
  EXPECT_EQ(Entry6(1, "cat", "", "", "Katze", "", "", "eins\r\ndrei"), ReadRecords(path).at(7));
}

TEST_F(CsvImport, FilesWithoutEntriesChangeNothing) {
  const std::string before = ReadBytes(path);
  struct Case {
    std::string bytes, message;
  } cases[] = {
      {"#separator:tab\n\n",
       "Die Datei \"" + file + "\" enthält keine Vokabeln. Es wurde nichts importiert."},
      {"a;b\nc;d\n", "Die Datei \"" + file +
                         "\" enthält keine Vokabeln. Es wurde nichts importiert.\nGetrennt "
                         "werden die Spalten durch Kommas oder Tabs.\nZeile 1: nur eine Spalte, "
                         "also keine Vokabel\nZeile 2: nur eine Spalte, also keine Vokabel"},
      {"#separator:semicolon\na;b\n",
       "Datei nicht gültig!\nZeile 1 der Datei \"" + file +
           "\" nennt das Trennzeichen „semicolon“; gelesen werden nur „#separator:tab“ und "
           "„#separator:comma“."},
  };
  for (const auto& c : cases) {
    WriteBytes(file, c.bytes);
    msgs.expect(c.message);
    EXPECT_FALSE(ImportCsv(path, file, 0, msgs).imported) << c.bytes;
    EXPECT_EQ(before, ReadBytes(path));
  }
}

// Every lesson of the example DataFiles leaves as CSV and comes back the same.
TEST(CsvRoundTrip, ExampleLessonsComeBackUnchanged) {
  for (const char* folder : {"englisch", "franzoesisch"}) {
    SCOPED_TRACE(folder);
    mhtest::TempDir dir;
    const std::string from = dir.file("from.fid"), to = dir.file("to.fid");
    mhtest::BuildExampleDataFile(folder, from);
    ASSERT_TRUE(CreateDataFile(to, MakeDataFileHeader(WinString("N"), {}, {}, {}, {})));
    mhtest::ScriptedMessages msgs;
    const LessonList units = ReadLessonList(from).value();
    ASSERT_GE(units.lines.size(), 1u);
    for (const LessonLine& unit : units.lines) {
      const LessonRead lesson = ReadLesson(from, unit.unitId, SIZE_MAX).value();
      const std::string csv = dir.file("lesson" + std::to_string(unit.unitId) + ".csv");
      ASSERT_TRUE(ExportCsv(csv, lesson.entries, msgs));
      const ImportResult r = ImportCsv(to, csv, 0, msgs);
      ASSERT_TRUE(r.imported);
      const LessonRead back = ReadLesson(to, r.unitID, SIZE_MAX).value();
      ASSERT_EQ(lesson.entries.size(), back.entries.size());
      for (std::size_t i = 0; i < back.entries.size(); ++i) {
        TVocData expected = lesson.entries[i];
        expected.UnitID = r.unitID;
        EXPECT_TRUE(RecordsEqual(expected, back.entries[i])) << lesson.entries[i].A1.view();
      }
    }
  }
}

}  // namespace
}  // namespace merkhaus
