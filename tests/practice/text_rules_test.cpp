#include "practice/text_rules.h"

#include <gtest/gtest.h>

#include "support/datafile_builder.h"
#include "win_string_printer.h"

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

}  // namespace
}  // namespace merkhaus
