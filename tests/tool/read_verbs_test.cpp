// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "run_tool.h"
#include "support/datafile_builder.h"

namespace {

using mhtest::Entry;
using mhtest::Entry6;
using mhtest::Header;
using mhtest::Latin1;
using mhtest::RunTool;
using mhtest::Unit;

class ReadVerbs : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("vok.fid");
};

TEST_F(ReadVerbs, InfoPrintsTheHeaderAsUtf8AndTheCounts) {
  // 0x80 is the euro sign in Windows-1252 (not a Latin-1 character).
  mhtest::WriteRecords(
      path, {Header(Latin1("Französisch für Anfänger"), Latin1("Französisch"), "Deutsch", "Anna",
                    "Preise in \x80\r\nzweite Zeile"),
             Unit(1, "eins"), Entry(1, "maison", "Haus"), Entry(1, "chat", "Katze", "", 1),
             Unit(255, "zwei", "", 1), Entry(255, "chien", "Hund", "", 1), Unit(254, "drei"),
             Entry(254, "arbre", "Baum")});
  const auto r = RunTool({"info", path});
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ(
      "Name: Französisch für Anfänger\n"
      "Fremdsprache: Französisch\n"
      "Sprache: Deutsch\n"
      "Autor: Anna\n"
      "Kommentar: Preise in €  zweite Zeile\n"
      "Zeichensatz: Westeuropäisch (Windows-1252)\n"
      "Lektionen: 2\n"
      "Vokabeln: 2\n"
      "Gelöschte Vokabeln: 2\n",
      r.out);
  EXPECT_EQ("", r.err);
}

TEST_F(ReadVerbs, LessonsListsLiveLessonsInFileOrder) {
  mhtest::WriteRecords(
      path, {Header("V"), Unit(1, Latin1("Übungen"), "Kapitel\t1"), Unit(255, "weg", "", 1),
             Entry(1, "a", "b"), Unit(254, "ohne"), Unit(7, std::string(60, 'n'), "Kommentar")});
  const auto r = RunTool({"lessons", path});
  EXPECT_EQ(0, r.status) << r.err;
  // The name part of a list line is cut to 63 characters: 60 + " - ".
  EXPECT_EQ(
      "1\tÜbungen - Kapitel 1\n"
      "254\tohne\n"
      "7\t" +
          std::string(60, 'n') + " - Kommentar\n",
      r.out);
}

TEST_F(ReadVerbs, EntriesPrintsTheSevenTextsOfTheLoadedEntries) {
  std::vector<mhtest::RawRecord> records = {
      Header("V"),
      Unit(1, "eins"),
      Unit(2, "zwei"),
      Entry6(1, "to go", "to leave", "", "gehen", Latin1("weggehen"), "fort\tgehen",
             "Zeile 1\r\nZeile 2"),
      Entry(2, "cat", "Katze"),
      Entry(1, "gone", "weg", "", 1),
      Entry(1, "house", "Haus")};
  for (int i = 0; i < 300; ++i)
    records.push_back(Entry(1, "w" + std::to_string(i), "x"));
  mhtest::WriteRecords(path, records);

  const auto r = RunTool({"entries", path, "1"});
  EXPECT_EQ(0, r.status) << r.err;
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < r.out.size();) {
    const auto end = r.out.find('\n', start);
    ASSERT_NE(std::string::npos, end);
    lines.push_back(r.out.substr(start, end - start));
    start = end + 1;
  }
  ASSERT_EQ(255u, lines.size()) << "as many as the study loads";
  EXPECT_EQ("to go\tto leave\t\tgehen\tweggehen\tfort gehen\tZeile 1  Zeile 2", lines[0]);
  EXPECT_EQ("house\t\t\tHaus\t\t\t", lines[1]);
  EXPECT_EQ("w0\t\t\tx\t\t\t", lines[2]);
  EXPECT_EQ("w252\t\t\tx\t\t\t", lines[254]);

  const auto two = RunTool({"entries", path, "2"});
  EXPECT_EQ("cat\t\t\tKatze\t\t\t\n", two.out);
}

TEST_F(ReadVerbs, FailuresGoToStderrWithStatus1) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "eins"), Unit(2, "zwei", "", 1)});
  const auto text = dir.file("liste.txt");
  mhtest::WriteBytes(text, "Dies ist keine Vokabeldatei, nur ein wenig Text.\n");
  const auto missing = dir.file("fehlt.fid");
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"info", missing}, "Die Datei \"" + missing + "\" ist nicht auffindbar!\n"},
      {{"lessons", text}, "Kein Merkhaus ]|[ Datafile!\n"},
      {{"entries", text, "1"}, "Kein Merkhaus ]|[ Datafile!\n"},
      // A folder cannot be read as records; it is not called "no DataFile" on top of that.
      {{"info", dir.path().string()},
       "Fehler beim öffnen der Datei als Textfile!\nDie Datei \"" + dir.path().string() +
           "\" kann nicht geöffnet werden: das ist ein Ordner.\n"},
      {{"entries", path, "2"}, "Das DataFile enthält keine Lektion mit der UnitID 2!\n"},
      {{"entries", path, "0"}, "Ungültige UnitID: 0 (erlaubt sind 1 bis 255)\n"},
      {{"entries", path, "256"}, "Ungültige UnitID: 256 (erlaubt sind 1 bis 255)\n"},
      {{"entries", path}, "Aufruf: merkhaus-tool entries FILE UNITID\n"},
      {{"lessons", path, "mehr"}, "Aufruf: merkhaus-tool lessons FILE\n"},
      {{"info", path, "--utf8"}, "Unbekannte Option: --utf8\n"},
  };
  for (const auto& c : cases) {
    const auto r = RunTool(c.args);
    EXPECT_EQ(1, r.status) << c.err;
    EXPECT_EQ(c.err, r.err);
    EXPECT_EQ("", r.out) << c.err;
  }
}

}  // namespace
