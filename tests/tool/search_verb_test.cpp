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

class SearchVerb : public ::testing::Test {
 protected:
  void SetUp() override {
    mhtest::WriteRecords(path,
                         {Header("V"), Unit(3, "Haus"), Entry(3, "house", "Haus"),
                          Entry(3, "houses", Latin1("Häuser")), Entry(3, "mouse", "Haus", "", 1),
                          Unit(1, "Eins"), Entry(1, "the\thouse", "das Haus", "Haus\r\nam See"),
                          Entry6(1, "at home", "", "", "zu Hause", "", "")});
  }
  mhtest::TempDir dir;
  std::string path = dir.file("vok.fid");
};

TEST_F(SearchVerb, PrintsTheHitLinesAsTheListShowsThem) {
  struct Case {
    std::vector<std::string> flags;
    const char* term;
    std::string out;
  };
  const Case cases[] = {
      {{}, "Haus", "Haus = house\ndas Haus = the house\nzu Hause = at home\n"},
      {{"--ignore-case"}, "HAUS", "Haus = house\ndas Haus = the house\nzu Hause = at home\n"},
      {{"--unit-ids"},
       "Haus",
       "Haus = house @> 3\ndas Haus = the house @> 1\nzu Hause = at home @> 1\n"},
      {{"--whole"}, "Haus", "Haus = house\n"},
      {{"--direction", "ba"}, "house", "Haus = house\nHäuser = houses\ndas Haus = the house\n"},
      {{"--direction", "ab"}, "house", ""},
      {{"--direction", "ba"}, "See", "das Haus = the house\n"},
      {{}, "  zu   Hause ", "zu Hause = at home\n"},
      {{"--keep-spaces"}, " zu Hause", ""},
      {{"--ignore-case"}, "HÄUSER", ""},
      {{"--ignore-case"}, "häuser", "Häuser = houses\n"},
      {{}, "", ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"search", path, c.term};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    SCOPED_TRACE(testing::PrintToString(args));
    const auto r = RunTool(args);
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_EQ(c.out, r.out);
    EXPECT_EQ("", r.err);
  }
}

TEST_F(SearchVerb, AtMost255LinesAndTheWarning) {
  std::vector<mhtest::RawRecord> records = {Header("Viele"), Unit(1, "L")};
  for (int i = 0; i < 300; ++i)
    records.push_back(Entry(1, "w", "Wort " + std::to_string(i)));
  mhtest::WriteRecords(path, records);
  const auto r = RunTool({"search", path, "Wort"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(255, std::count(r.out.begin(), r.out.end(), '\n'));
  EXPECT_TRUE(r.out.starts_with("Wort 0 = w\n"));
  EXPECT_TRUE(r.out.ends_with("\nWort 254 = w\n")) << "the first 255 in file order";
  EXPECT_EQ(
      "Es gab mehr als insgesamt 256 Fundstellen. Wählen sie einen gezielteren Suchbegriff!\nDie "
      "Liste zeigt die ersten 255 Fundstellen.\n",
      r.err);
}

TEST_F(SearchVerb, FailuresExitWithTheMessage) {
  const std::string missing = dir.file("fehlt.fid");
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"search", missing, "Haus"}, "Die Datei \"" + missing + "\" ist nicht auffindbar!\n"},
      {{"search", path, "Haus", "--direction", "rueckwaerts"},
       "Ungültige Richtung „rueckwaerts“: erlaubt sind beide, ab und ba.\n"},
      {{"search", path},
       "Aufruf: merkhaus-tool search FILE TERM [--ignore-case] [--whole] "
       "[--direction beide|ab|ba] [--unit-ids] [--keep-spaces]\n"},
      {{"search", path, "Haus", "--laut"}, "Unbekannte Option: --laut\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const auto r = RunTool(c.args);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("", r.out);
    EXPECT_EQ(c.err, r.err);
  }
}

}  // namespace
