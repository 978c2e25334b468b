// SPDX-License-Identifier: GPL-3.0-or-later
// merkhaus-tool add.

#include <gtest/gtest.h>

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

class EntryVerbs : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  void SetUp() override {
    mhtest::WriteRecords(path, {Header("V"), Unit(1, "Tiere"), Unit(255, "Alt", "", 1)});
  }
};

TEST_F(EntryVerbs, AddAppendsOneEntryAsTheEntryWindowBuildsIt) {
  const std::string long70(70, 'x');
  struct Case {
    std::vector<std::string> args;
    mhtest::RawRecord stored;
  } cases[] = {
      {{"  to go ;  to walk; x;y ", " gehen ", "--comment", "  ein   Verb "},
       Entry6(1, "to go", "to walk", "x;y", "gehen", "", "", "ein Verb")},
      {{"a ; b", "Straße", "--no-split", "--keep-spaces", "--comment", " k "},
       Entry6(1, "a ; b", "", "", Latin1("Straße"), "", "", " k ")},
      {{"a ; b", "c;d", "--keep-spaces"}, Entry6(1, "a ", " b", "", "c", "d", "")},
      {{long70, "b", "--comment", std::string(300, 'k')},
       Entry(1, std::string(60, 'x'), "b", std::string(255, 'k'))},
  };
  std::size_t count = 3;
  for (const auto& c : cases) {
    std::vector<std::string> args = {"add", path, "1"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto r = RunTool(args);
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_EQ("", r.out + r.err);
    const auto records = ReadRecords(path);
    ASSERT_EQ(++count, records.size());
    EXPECT_EQ(c.stored, records.back()) << c.args[0];
  }
}

TEST_F(EntryVerbs, AddRefusesAndLeavesTheFileAsItWas) {
  const std::string before = ReadBytes(path);
  const std::string empty =
      "FOREIGN und NATIVE dürfen nicht leer sein: eine Vokabel braucht ein Wort in der "
      "Fremdsprache und eines in der Sprache.\n";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{path, "255", "a", "b"},
       "Die Lektion mit der UnitID 255 gibt es in diesem DataFile nicht.\n"},
      {{path, "0", "a", "b"}, "Ungültige UnitID „0“: erlaubt sind die Zahlen 1 bis 255.\n"},
      {{path, "1", "", "b"}, empty},
      {{path, "1", "a", ""}, empty},
      {{path, "1", "Ωmega", "b"},
       "Der Text „Ωmega“ enthält Zeichen, die ein DataFile nicht speichern kann (möglich sind "
       "nur die Zeichen von Windows-1252).\n"},
      {{path, "1", "a", "b", "--comment", "→"},
       "Der Text „→“ enthält Zeichen, die ein DataFile nicht speichern kann (möglich sind nur "
       "die Zeichen von Windows-1252).\n"},
      {{path, "1", "a"},
       "Aufruf: merkhaus-tool add FILE UNITID FOREIGN NATIVE [--comment TEXT] [--no-split] "
       "[--keep-spaces]\n"},
      {{dir.file("fehlt.fid"), "1", "a", "b"},
       "Die Datei \"" + dir.file("fehlt.fid") + "\" ist nicht auffindbar!\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"add"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto r = RunTool(args);
    EXPECT_EQ(1, r.status) << c.err;
    EXPECT_EQ(c.err, r.err);
    EXPECT_EQ(before, ReadBytes(path));
  }
  // Blanks alone are text, as in the window: the entry is stored with an empty first word.
  const auto blanks = RunTool({"add", path, "1", "   ", "b"});
  EXPECT_EQ(0, blanks.status) << blanks.err;
  EXPECT_EQ(Entry(1, "", "b"), ReadRecords(path).back());
}

}  // namespace
