// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/text_rules.h"

#include <gtest/gtest.h>

#include "support/datafile_builder.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::Latin1;

TEST(TextRulesTest, CutSpaces) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"", ""},
      {"   ", ""},
      {"Haus", "Haus"},
      {"  Haus   ", "Haus"},
      {"to   go  now", "to go now"},
      {" a b ", "a b"},
      {"\tHaus\t", "\tHaus\t"},  // only blanks count
      {"a \t  b", "a \t b"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WinString(c.out), CutSpaces(WinString(c.in))) << c.in;
}

TEST(TextRulesTest, FoldCaseOnlyFoldsAsciiLetters) {
  EXPECT_EQ(WinString("HAUS 1-Z"), FoldCase(WinString("Haus 1-z"), false));
  EXPECT_EQ(WinString("Haus 1-z"), FoldCase(WinString("Haus 1-z"), true));
  EXPECT_EQ(WinString(Latin1("äPFEL ß")), FoldCase(WinString(Latin1("äpfel ß")), false));
  EXPECT_NE(FoldCase(WinString(Latin1("äpfel")), false),
            FoldCase(WinString(Latin1("Äpfel")), false));
  EXPECT_EQ(WinString("[`{@"), FoldCase(WinString("[`{@"), false));  // neighbours of a..z
}

TEST(TextRulesTest, EntryCutSpacesFollowsTheOption) {
  EXPECT_EQ(WinString("to go"), EntryCutSpaces(WinString("  to   go "), true));
  EXPECT_EQ(WinString("  to   go "), EntryCutSpaces(WinString("  to   go "), false));
}

TEST(TextRulesTest, JoinSynonyms) {
  EXPECT_EQ(WinString("a  @  b  @  c"),
            JoinSynonyms(WinString("a"), WinString("b"), WinString("c")));
  EXPECT_EQ(WinString("a  @  c"), JoinSynonyms(WinString("a"), WinString(""), WinString("c")));
  EXPECT_EQ(WinString("  @  b"), JoinSynonyms(WinString(""), WinString("b"), WinString("")));
  EXPECT_EQ(WinString("a"), JoinSynonyms(WinString("a"), WinString(""), WinString("")));
}

}  // namespace
}  // namespace merkhaus
