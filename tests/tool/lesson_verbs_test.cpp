// SPDX-License-Identifier: GPL-3.0-or-later
// merkhaus-tool new, add-lesson, delete-lesson.

#include <gtest/gtest.h>

#include <filesystem>

#include "run_tool.h"
#include "support/datafile_builder.h"

namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Latin1;
using mhtest::ReadBytes;
using mhtest::ReadRecords;
using mhtest::RunTool;
using mhtest::Unit;

class LessonVerbs : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
};

TEST_F(LessonVerbs, NewWritesOneHeaderRecord) {
  const auto r =
      RunTool({"new", path, "--name", "Englisch – Grundwortschatz", "--foreign", "Englisch",
               "--native", "Deutsch", "--author", "Jürgen", "--comment", "Für den Anfang"});
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ("", r.err);
  // The en dash is byte 0x96 in Windows-1252.
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(
                            Header("Englisch \x96 Grundwortschatz", "Englisch", "Deutsch",
                                   Latin1("Jürgen"), Latin1("Für den Anfang"))
                                .data()),
                        624),
            ReadBytes(path));

  // Over an existing file only with --force; the file is then exactly one record again.
  mhtest::WriteRecords(path, {Header("Alt"), Unit(1, "L"), Entry(1, "a", "b")});
  const std::string before = ReadBytes(path);
  const std::vector<std::string> args = {"new",       path, "--name",   "N",
                                         "--foreign", "F",  "--native", "D"};
  const auto refused = RunTool(args);
  EXPECT_EQ(1, refused.status);
  EXPECT_EQ(
      "Dateiname vorhanden! Überschreiben?\n"
      "Mit --force wird die vorhandene Datei überschrieben.\n",
      refused.err);
  EXPECT_EQ(before, ReadBytes(path));
  auto forced = args;
  forced.push_back("--force");
  EXPECT_EQ(0, RunTool(forced).status);
  const auto recs = ReadRecords(path);
  ASSERT_EQ(1u, recs.size());
  EXPECT_EQ(Header("N", "F", "D"), recs[0]);
}

TEST_F(LessonVerbs, NewRefusesWhatTheFormRefuses) {
  const std::string required =
      "Sie müssen einen Namen eine Fremdsprache und eine Sprache angeben!\n";
  struct Case {
    std::vector<std::string> options;
    std::string err;
  } cases[] = {
      {{"--foreign", "F", "--native", "D"}, required},
      {{"--name", "N", "--native", "D"}, required},
      {{"--name", "N", "--foreign", "F", "--native", ""}, required},
      {{"--name", std::string(60, 'n'), "--foreign", "F", "--native", "D"},
       "Der Name darf höchstens 59 Zeichen lang sein.\n"},
      {{"--name", "N", "--foreign", std::string(60, 'f'), "--native", "D"},
       "Die Fremdsprache darf höchstens 59 Zeichen lang sein.\n"},
      {{"--name", "N", "--foreign", "F", "--native", "D", "--author", std::string(60, 'a')},
       "Der Autor darf höchstens 59 Zeichen lang sein.\n"},
      {{"--name", "N", "--foreign", "F", "--native", "D", "--comment", std::string(256, 'k')},
       "Der Kommentar darf höchstens 255 Zeichen lang sein.\n"},
      {{"--name", "Ωmega", "--foreign", "F", "--native", "D"},
       "Der Text „Ωmega“ enthält Zeichen, die ein DataFile nicht speichern kann (möglich sind "
       "nur die Zeichen von Windows-1252).\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"new", path};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const auto r = RunTool(args);
    EXPECT_EQ(1, r.status) << c.err;
    EXPECT_EQ(c.err, r.err);
    EXPECT_FALSE(std::filesystem::exists(path)) << c.err;
  }
  // 59 characters (umlauts count as one) and a comment of 255 fit.
  const auto r = RunTool({"new", path, "--name", std::string(58, 'n') + "ä", "--foreign", "F",
                          "--native", "D", "--comment", std::string(255, 'k')});
  EXPECT_EQ(0, r.status) << r.err;
  const auto missingFolder =
      RunTool({"new", dir.file("fehlt/v.fid"), "--name", "N", "--foreign", "F", "--native", "D"});
  EXPECT_EQ(1, missingFolder.status);
  EXPECT_EQ("Fehler beim schreiben!\nDie Datei \"" + dir.file("fehlt/v.fid") +
                "\" kann nicht geschrieben werden: der Ordner ist nicht vorhanden.\n",
            missingFolder.err);
}

TEST_F(LessonVerbs, AddLessonPrintsTheNewUnitId) {
  mhtest::WriteRecords(path, {Header("V")});
  const auto first = RunTool({"add-lesson", path, "Tiere", "--comment", "Haus- und Hoftiere"});
  EXPECT_EQ(0, first.status) << first.err;
  EXPECT_EQ("1\n", first.out);
  const auto second = RunTool({"add-lesson", path, "Pflanzen"});
  EXPECT_EQ("255\n", second.out);
  auto recs = ReadRecords(path);
  ASSERT_EQ(3u, recs.size());
  EXPECT_EQ(Unit(1, "Tiere", "Haus- und Hoftiere"), recs[1]);
  EXPECT_EQ(Unit(255, "Pflanzen"), recs[2]);

  const std::string before = ReadBytes(path);
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } failures[] = {
      {{"add-lesson", path, "Tiere"},
       "Die Unit ist bereits vorhanden!\nDie Unit konnte nicht korrekt angelegt werden!\n"},
      {{"add-lesson", path, ""}, "Es muß zumindest ein Lektionsname eingegeben werden!\n"},
      {{"add-lesson", path, std::string(61, 'x')},
       "Der Lektionsname darf höchstens 60 Zeichen lang sein.\n"},
      {{"add-lesson", path, "x", "--comment", std::string(256, 'k')},
       "Der Kommentar darf höchstens 255 Zeichen lang sein.\n"},
      {{"add-lesson", dir.file("fehlt.fid"), "x"},
       "Die Datei \"" + dir.file("fehlt.fid") + "\" ist nicht auffindbar!\n"},
  };
  for (const auto& c : failures) {
    const auto r = RunTool(c.args);
    EXPECT_EQ(1, r.status) << c.err;
    EXPECT_EQ(c.err, r.err);
    EXPECT_EQ(before, ReadBytes(path));
  }
  EXPECT_EQ("254\n", RunTool({"add-lesson", path, std::string(60, 'x')}).out);
}

TEST_F(LessonVerbs, DeleteLessonCountsTheLiveEntries) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "A"), Entry(1, "a", "b"),
                              Entry(1, "c", "d", "", 1), Unit(255, "B"), Entry(1, "e", "f"),
                              Entry(255, "g", "h"), Entry(1, "i", "j"), Entry(1, "k", "l", "", 1)});
  const auto r = RunTool({"delete-lesson", path, "1"});
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ("3\n", r.out);
  const auto recs = ReadRecords(path);
  for (std::size_t i : {1, 2, 3, 5, 7, 8})
    EXPECT_EQ(1, recs[i][mhtest::kDeleted]) << i;
  for (std::size_t i : {0, 4, 6})
    EXPECT_EQ(0, recs[i][mhtest::kDeleted]) << i;

  const std::string before = ReadBytes(path);
  struct Case {
    std::string id, err;
  } failures[] = {
      {"1", "Die Lektion mit der UnitID 1 gibt es in diesem DataFile nicht.\n"},
      {"7", "Die Lektion mit der UnitID 7 gibt es in diesem DataFile nicht.\n"},
      {"0", "Ungültige UnitID „0“: erlaubt sind die Zahlen 1 bis 255.\n"},
      {"256", "Ungültige UnitID „256“: erlaubt sind die Zahlen 1 bis 255.\n"},
  };
  for (const auto& c : failures) {
    const auto f = RunTool({"delete-lesson", path, c.id});
    EXPECT_EQ(1, f.status);
    EXPECT_EQ(c.err, f.err);
  }
  EXPECT_EQ(before, ReadBytes(path));
  EXPECT_EQ("1\n", RunTool({"delete-lesson", path, "255"}).out);
}

}  // namespace
