// SPDX-License-Identifier: GPL-3.0-or-later
// merkhaus-tool export and import.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "run_tool.h"
#include "support/datafile_builder.h"

namespace {

using mhtest::Entry;
using mhtest::Entry6;
using mhtest::Header;
using mhtest::Latin1;
using mhtest::ReadBytes;
using mhtest::ReadRecords;
using mhtest::RunTool;
using mhtest::Unit;
using mhtest::WriteBytes;

class TransferVerbs : public ::testing::Test {
 protected:
  void SetUp() override {
    mhtest::WriteRecords(
        path, {Header("V"), Unit(1, Latin1("Übung"), "Tiere"),
               Entry6(1, "dog", "hound", "", "Hund", "", "", "best friend"),
               Entry(1, "cat", "Katze"), Entry(1, "tot", "x", "", 1), Unit(255, "Leer")});
  }
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  std::string out = dir.file("l.txt");
};

// The export with its date line replaced by "Date: <date>".
std::string WithoutDate(std::string text) {
  return std::regex_replace(text, std::regex("\r\nDate: [^\r\n]+\r\n"), "\r\nDate: <date>\r\n");
}

TEST_F(TransferVerbs, ExportWritesTheLesson) {
  const auto r = RunTool({"export", path, "1", out});
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ(Latin1("<%>HEAD<%>\r\n"
                   "Exported with Merkhaus 3 - by Merkhaus Autoren\r\n"
                   "Version: Version 3.05\r\n"
                   "Date: <date>\r\n"
                   "Name: Übung\r\n"
                   "Kommentar: Tiere\r\n"
                   "Anzahl: 2\r\n"
                   "\r\n"
                   "<%>BODY<%>\r\n"
                   "dog; hound == Hund @K& best friend\r\n"
                   "cat == Katze\r\n"
                   "\r\n"
                   "<%>EOF<%>\r\n"),
            WithoutDate(ReadBytes(out)));

  // Refused over an existing file unless forced; --utf8 for UTF-8 editors.
  WriteBytes(out, "alt");
  const auto refused = RunTool({"export", path, "1", out});
  EXPECT_EQ(1, refused.status);
  EXPECT_EQ(
      "Dateiname vorhanden! Überschreiben?\n"
      "Mit --force wird die vorhandene Datei überschrieben.\n",
      refused.err);
  EXPECT_EQ("alt", ReadBytes(out));
  EXPECT_EQ(0, RunTool({"export", path, "1", out, "--force", "--utf8"}).status);
  EXPECT_NE(std::string::npos, ReadBytes(out).find("\r\nName: Übung\r\n"));
}

// After "--" nothing is an option: a file literally named "--force" is written, and is then
// not overwritten, as no --force was given.
TEST_F(TransferVerbs, AFileNamedLikeAnOptionFollowsTheEndOfOptions) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const auto written = RunTool({"export", path, "1", "--", "--force"});
  const auto again = RunTool({"export", path, "1", "--", "--force"});
  std::filesystem::current_path(before);
  EXPECT_EQ(0, written.status) << written.err;
  EXPECT_NE(std::string::npos, ReadBytes(dir.file("--force")).find("\r\ncat == Katze\r\n"));
  EXPECT_EQ(1, again.status) << "the file is there now";
  EXPECT_FALSE(std::filesystem::exists(dir.file("1"))) << "nothing else was written";
}

TEST_F(TransferVerbs, ExportFailures) {
  struct Case {
    std::string id, err;
  } cases[] = {
      {"255", "Diese Lektion enhält keine Vokabeln!\n"},
      {"7", "Die Lektion mit der UnitID 7 gibt es in diesem DataFile nicht.\n"},
      {"x", "Ungültige UnitID „x“: erlaubt sind die Zahlen 1 bis 255.\n"},
  };
  for (const auto& c : cases) {
    const auto r = RunTool({"export", path, c.id, out});
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(c.err, r.err);
    EXPECT_FALSE(std::filesystem::exists(out));
  }
  const auto r = RunTool({"export", path, "1", dir.file("fehlt/l.txt")});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(
      "Fehler beim schreiben!\nDie Datei \"" + dir.file("fehlt/l.txt") +
          "\" kann nicht geschrieben werden: der Ordner ist nicht vorhanden.\nEs wurde nichts "
          "exportiert.\n",
      r.err);
}

TEST_F(TransferVerbs, ImportIntoANewLessonAndIntoAnExistingOne) {
  const std::string in = dir.file("in.txt");
  WriteBytes(in,
             "<%>HEAD<%>\nName: Vögel\nKommentar: mit Flügeln\n<%>BODY<%>\n"
             "bird == Vogel\nnur Text\n# Bemerkung\n\nowl; ~ == Eule @K& nachts wach\n"
             "  \n");
  const auto r = RunTool({"import", path, in});
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ("UnitID: 254\nVokabeln: 2\nÜbersprungene Zeilen: 2\n", r.out);
  EXPECT_EQ("Die Datei \"" + in +
                "\" wurde importiert. Hinweise:\nZeile 6: ohne \" == \", also keine Vokabel\n"
                "Zeile 10: ohne \" == \", also keine Vokabel\n",
            r.err);
  auto recs = ReadRecords(path);
  ASSERT_EQ(9u, recs.size());
  EXPECT_EQ(Unit(254, Latin1("Vögel"), Latin1("mit Flügeln")), recs[6]);
  EXPECT_EQ(Entry(254, "bird", "Vogel"), recs[7]);
  EXPECT_EQ(Entry6(254, "owl", "~", "", "Eule", "", "", "nachts wach"), recs[8]);

  const auto into = RunTool({"import", path, in, "--into", "255"});
  EXPECT_EQ(0, into.status) << into.err;
  EXPECT_EQ("UnitID: 255\nVokabeln: 2\nÜbersprungene Zeilen: 2\n", into.out);
  recs = ReadRecords(path);
  ASSERT_EQ(11u, recs.size());
  EXPECT_EQ(Entry(255, "bird", "Vogel"), recs[9]);
}

TEST_F(TransferVerbs, ImportFailuresLeaveTheDataFileAlone) {
  const std::string in = dir.file("in.txt");
  const std::string before = ReadBytes(path);
  struct Case {
    std::string text;  // the text file's contents
    std::vector<std::string> options;
    std::string err;
  } cases[] = {
      {"<%>HEAD<%>\r\nName: Leer\r\n<%>BODY<%>\r\na == b\r\n",
       {},
       "Die Unit ist bereits vorhanden!\nFehler beim schreiben!\nDatei nicht gültig!\nDie Datei "
       "selbst ist in Ordnung: Im DataFile gibt es schon eine Lektion dieses Namens. Benennen Sie "
       "eine der beiden um und importieren Sie noch einmal. Es wurde nichts importiert.\n"},
      {"a == b\r\n", {}, "Datei nicht gültig!\n"},
      {"<%>BODY<%>\r\na == b\r\n",
       {"--into", "9"},
       "Die Lektion mit der UnitID 9 gibt es in diesem DataFile nicht (mehr). Es wurde nichts "
       "importiert.\n"},
      {"<%>BODY<%>\r\na == ☃\r\n",
       {"--into", "1"},
       "Die Datei \"" + in +
           "\" enthält Zeilen, die nicht importiert werden können:\n"
           "Zeile 2: das Zeichen „☃“ (U+2603) gibt es in Windows-1252 nicht\n"
           "Sollen die übrigen Zeilen importiert werden?\n"
           "Es wurde nichts importiert. Mit --skip-bad-lines werden die übrigen Zeilen "
           "importiert.\n"},
  };
  for (const auto& c : cases) {
    WriteBytes(in, c.text);
    std::vector<std::string> args = {"import", path, in};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const auto r = RunTool(args);
    EXPECT_EQ(1, r.status) << c.err;
    EXPECT_EQ(c.err, r.err);
    EXPECT_EQ("", r.out);
    EXPECT_EQ(before, ReadBytes(path));
  }
  const auto missing = RunTool({"import", path, dir.file("fehlt.txt")});
  EXPECT_EQ("Dateiname nicht vorhanden!\n", missing.err);
  EXPECT_EQ(before, ReadBytes(path));
}

TEST_F(TransferVerbs, ExportDeleteImportKeepsEveryEntry) {
  // More entries than the windows load at once: the tool exports all of them.
  std::vector<mhtest::RawRecord> recs = {Header("V"), Unit(1, "Viele", "k")};
  for (int i = 0; i < 300; ++i)
    recs.push_back(Entry(1, "w" + std::to_string(i), "x"));
  mhtest::WriteRecords(path, recs);
  ASSERT_EQ(0, RunTool({"export", path, "1", out}).status);
  EXPECT_EQ("300\n", RunTool({"delete-lesson", path, "1"}).out);
  const auto r = RunTool({"import", path, out});
  EXPECT_EQ("UnitID: 255\nVokabeln: 300\nÜbersprungene Zeilen: 0\n", r.out);
  const auto after = ReadRecords(path);
  ASSERT_EQ(302u + 301u, after.size());
  EXPECT_EQ(Unit(255, "Viele", "k"), after[302]);
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(Entry(255, "w" + std::to_string(i), "x"), after[303 + static_cast<std::size_t>(i)]);
  }
}

// Nothing is written while a file has problem lines, unless --skip-bad-lines takes the rest.
TEST_F(TransferVerbs, ProblemLinesNeedSkipBadLines) {
  const std::string in = dir.file("in.txt");
  WriteBytes(in, "<%>BODY<%>\nα == a\nb == \x01\nc == C\n");
  const std::string before = ReadBytes(path);
  const std::string report = "Die Datei \"" + in +
                             "\" enthält Zeilen, die nicht importiert werden können:\n"
                             "Zeile 2: das Zeichen „α“ (U+03B1) gibt es in Windows-1252 nicht\n"
                             "Zeile 3: das Steuerzeichen U+0001\n"
                             "Sollen die übrigen Zeilen importiert werden?\n";
  const auto refused = RunTool({"import", path, in, "--into", "1"});
  EXPECT_EQ(1, refused.status);
  EXPECT_EQ("", refused.out);
  EXPECT_EQ(report +
                "Es wurde nichts importiert. Mit --skip-bad-lines werden die übrigen Zeilen "
                "importiert.\n",
            refused.err);
  EXPECT_EQ(before, ReadBytes(path));

  const auto skipped = RunTool({"import", path, in, "--into", "1", "--skip-bad-lines"});
  EXPECT_EQ(0, skipped.status);
  EXPECT_EQ("UnitID: 1\nVokabeln: 1\nÜbersprungene Zeilen: 2\n", skipped.out);
  EXPECT_EQ(report, skipped.err);
  EXPECT_EQ(Entry(1, "c", "C"), ReadRecords(path).back());
}

// CSV by the file's extension; KVTML for the whole DataFile and back, the sides swapped.
TEST_F(TransferVerbs, CsvAndKvtml) {
  const std::string csv = dir.file("Übung.CSV");
  ASSERT_EQ(0, RunTool({"export", path, "1", csv}).status);
  EXPECT_EQ("dog; hound,Hund,best friend\r\ncat,Katze,\r\n", ReadBytes(csv));
  const auto imported = RunTool({"import", path, csv});
  EXPECT_EQ("UnitID: 254\nVokabeln: 2\nÜbersprungene Zeilen: 0\n", imported.out);
  EXPECT_EQ("1\tÜbung - Tiere\n255\tLeer\n254\tÜbung (2)\n", RunTool({"lessons", path}).out);

  const std::string kvtml = dir.file("v.kvtml");
  ASSERT_EQ(0, RunTool({"export-kvtml", path, kvtml}).status);
  const auto again = RunTool({"export-kvtml", path, kvtml});
  EXPECT_EQ(1, again.status);
  EXPECT_EQ(
      "Dateiname vorhanden! Überschreiben?\nMit --force wird die vorhandene Datei "
      "überschrieben.\n",
      again.err);

  const std::string other = dir.file("w.fid");
  ASSERT_EQ(0, RunTool({"new", other, "--name", "W", "--foreign", "F", "--native", "D"}).status);
  const auto r = RunTool({"import-kvtml", other, kvtml, "--swap"});
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ(
      "Lektionen: 2\n1\tÜbung\t2 Vokabeln\n255\tÜbung (2)\t2 Vokabeln\nVokabeln: 4\n"
      "Übersprungene Zeilen: 0\n",
      r.out);
  const auto recs = ReadRecords(other);
  ASSERT_EQ(7u, recs.size());
  EXPECT_EQ(Entry6(1, "Hund", "", "", "dog", "hound", "", "best friend"), recs[3]);

  const auto into = RunTool({"import", other, kvtml, "--into", "1"});
  EXPECT_EQ(1, into.status);
  EXPECT_EQ("Eine KVTML-Datei wird immer in neue Lektionen gelesen; --into gilt dafür nicht.\n",
            into.err);
}

}  // namespace
