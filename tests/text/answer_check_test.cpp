// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/answer_check.h"
#include "config/check_rules.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/datafile_builder.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::Latin1;

TVocData Voc(std::string_view a1, std::string_view b1, std::string_view a2 = "",
             std::string_view b2 = "", std::string_view a3 = "", std::string_view b3 = "") {
  TVocData r{};
  r.A1.set(Latin1(a1));
  r.B1.set(Latin1(b1));
  r.A2.set(Latin1(a2));
  r.B2.set(Latin1(b2));
  r.A3.set(Latin1(a3));
  r.B3.set(Latin1(b3));
  return r;
}

constexpr auto AB = QueryDirection::AB;
constexpr auto BA = QueryDirection::BA;

// smart brackets, comma rule, all variants, case sensitive
constexpr CheckRules kCommaIgnoreCase{true, true, false, false};
constexpr CheckRules kCommaCase{true, true, false, true};
constexpr CheckRules kCommaAll{true, true, true, true};
constexpr CheckRules kCommaAllIgnoreCase{true, true, true, false};
constexpr CheckRules kExactIgnoreCase{true, false, false, false};
constexpr CheckRules kExact{true, false, false, true};
constexpr CheckRules kNoBracketsComma{false, true, false, true};
constexpr CheckRules kNoBracketsExact{false, false, false, true};

TEST(CheckAnswerTest, Cases) {
  const TVocData haus = Voc("house", "Haus");
  const TVocData apfel = Voc("apple", "Apfel");
  const TVocData aepfel = Voc("apples", "Äpfel");
  const TVocData laufen = Voc("run", "laufen, rennen");
  const TVocData single = Voc("run", "laufen");
  const TVocData bank = Voc("bank", "Bank, Bank", "", "Ufer");
  const TVocData go = Voc("gehen", "(to) go");
  const TVocData hausDas = Voc("house", "Haus (das)");
  const TVocData hausBlank = Voc("house", "Haus ");
  const TVocData third = Voc("dog", "Hund", "", "", "", "Köter");
  const TVocData noB = Voc("house", "");
  const TVocData freuen = Voc("rejoice", "(sich) freuen, jubeln");
  const TVocData twoPairs = Voc("x", "(to) (be) go");
  const TVocData reversed = Voc("x", "a)b(c");

  const struct Case {
    const char* name;
    const TVocData& entry;
    const char* answer;  // UTF-8, stored as Windows-1252
    QueryDirection direction;
    CheckRules rules;
    bool right;
  } cases[] = {
      {"comma rule folds case", haus, "haus", AB, kCommaIgnoreCase, true},
      {"comma rule, case sensitive", haus, "haus", AB, kCommaCase, false},
      {"exact match ignores the case setting", haus, "haus", AB, kExactIgnoreCase, false},
      {"exact match", haus, "Haus", AB, kExact, true},
      {"umlauts are not folded", aepfel, "äpfel", AB, kCommaIgnoreCase, false},
      {"umlaut as stored", aepfel, "Äpfel", AB, kCommaIgnoreCase, true},
      {"capitals folded", apfel, "APFEL", AB, kCommaIgnoreCase, true},
      {"all variants, no commas, folded", apfel, "APFEL", AB, kCommaAllIgnoreCase, true},

      {"one of two meanings", laufen, "rennen", AB, kCommaCase, true},
      {"both, other order, no blank", laufen, "rennen,laufen", AB, kCommaCase, true},
      {"both, odd blanks", laufen, "laufen ,  rennen", AB, kCommaCase, true},
      {"one meaning twice", laufen, "rennen, rennen", AB, kCommaCase, false},
      {"one meaning too many", laufen, "laufen, rennen, gehen", AB, kCommaCase, false},
      {"trailing comma", laufen, "laufen,", AB, kCommaCase, false},
      {"unknown meaning", laufen, "gehen", AB, kCommaCase, false},
      {"all variants: one is not enough", laufen, "rennen", AB, kCommaAll, false},
      {"all variants: both", laufen, "rennen, laufen", AB, kCommaAll, true},
      {"all variants: one twice", laufen, "rennen, rennen", AB, kCommaAll, false},
      {"comma rule off: only the stored text", laufen, "rennen", AB, kExact, false},
      {"comma rule off: stored text", laufen, "laufen, rennen", AB, kExact, true},

      {"no comma stored: word", single, "laufen", AB, kCommaCase, true},
      {"no comma stored: two meanings", single, "laufen, rennen", AB, kCommaCase, false},
      {"no comma stored: trailing comma", single, "laufen,", AB, kCommaCase, false},
      {"no comma typed: blanks count", single, " laufen", AB, kCommaCase, false},

      {"repeated stored meaning never matches", bank, "Bank", AB, kCommaCase, false},
      {"the other field still counts", bank, "Ufer", AB, kCommaCase, true},
      {"third field", third, "Köter", AB, kCommaCase, true},

      {"brackets: short form", go, "go", AB, kCommaCase, true},
      {"brackets: long form", go, "to go", AB, kCommaCase, true},
      {"brackets: as stored", go, "(to) go", AB, kCommaCase, true},
      {"brackets: only the content", go, "to", AB, kCommaCase, false},
      {"brackets: short form, exact", go, "go", AB, kExact, true},
      {"no smart brackets: short form", go, "go", AB, kNoBracketsComma, false},
      {"no smart brackets: long form", go, "to go", AB, kNoBracketsExact, false},
      {"no smart brackets: as stored", go, "(to) go", AB, kNoBracketsExact, true},
      {"bracket after the word", hausDas, "Haus", AB, kExact, true},
      {"bracket after the word, long", hausDas, "Haus das", AB, kExact, true},
      {"brackets and commas", freuen, "jubeln", AB, kCommaCase, true},
      {"brackets and commas, short form", freuen, "freuen, jubeln", AB, kCommaAll, true},
      {"brackets and commas, long form", freuen, "jubeln, sich freuen", AB, kCommaAll, true},
      {"two bracket pairs, short", twoPairs, "go", AB, kExact, true},
      {"two bracket pairs, long", twoPairs, "to be go", AB, kExact, true},
      {"reversed brackets, long form", reversed, "abc", AB, kExact, true},
      {"reversed brackets, as stored", reversed, "a)b(c", AB, kExact, true},

      {"trailing blank typed, exact", haus, "Haus ", AB, kExact, false},
      {"trailing blank stored, all variants", hausBlank, "Haus", AB, kCommaAll, false},
      {"trailing blank stored, one variant", hausBlank, "Haus", AB, kCommaCase, true},
      {"trailing blank stored, as stored", hausBlank, "Haus ", AB, kCommaAll, true},

      {"A - B does not take the A side", haus, "house", AB, kCommaCase, false},
      {"B - A takes the A side", haus, "house", BA, kCommaCase, true},
      {"B - A does not take the B side", haus, "Haus", BA, kCommaCase, false},
      {"no answer side", noB, "x", AB, kCommaCase, false},
      {"no answer side, empty answer", noB, "", AB, kExact, false},
      {"no answer side, comma rule", noB, "", AB, kCommaAll, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.right, CheckAnswer(WinString(Latin1(c.answer)), c.entry, c.direction, c.rules))
        << c.name;
  }
}

TEST(CheckAnswerTest, BracketForms) {
  const struct {
    const char* field;
    const char* shortForm;
    const char* longForm;
  } cases[] = {
      {"(to) go", "go", "to go"},
      {"Haus (das)", "Haus", "Haus das"},
      {"a (b) c (d) e", "a c e", "a b c d e"},
      {"()x", "x", "x"},
      {"a)b", "b", "ab"},         // a stray ")" alone: everything up to it goes
      {"a)b(c", "a)b(c", "abc"},  // ")" before "(": rewriting ends
      {"x) y (z)", "x) y (z)", "x y z"},
      {"(a) (b", "(b", "a b"},  // a "(" without ")" ends it too
      {"((a))b", "b", "ab"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WinString(c.shortForm), ShortBracketForm(c.field)) << c.field;
    EXPECT_EQ(WinString(c.longForm), LongBracketForm(c.field)) << c.field;
  }
  // A long field of reversed brackets neither hangs nor grows past a variant's 60 characters.
  std::string reversed;
  while (reversed.size() < 255)
    reversed += ")x(";
  EXPECT_LE(ShortBracketForm(reversed).size(), kPieceCapacity);
  EXPECT_LE(LongBracketForm(reversed).size(), kPieceCapacity);
}

std::string Pieces(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) {
    if (i > 0) s += ',';
    s += static_cast<char>('A' + i / 26);
    s += static_cast<char>('a' + i % 26);
  }
  return s;
}

TEST(CheckAnswerTest, PieceTablesHold64Pieces) {
  // 64 pieces fill the table and still compare; one more makes the answer wrong.
  EXPECT_TRUE(CommaMatch(Pieces(64), Pieces(64), kCommaAll));
  EXPECT_TRUE(CommaMatch(Pieces(64), Pieces(63), kCommaCase));
  EXPECT_FALSE(CommaMatch(Pieces(65), Pieces(65), kCommaAll));
  EXPECT_FALSE(CommaMatch(Pieces(64), Pieces(65), kCommaCase));
  EXPECT_FALSE(CommaMatch("Aa", std::string(200, ','), kCommaCase));
}

TEST(CheckAnswerTest, AnAnswerLongerThanAStoredWordIsWrong) {
  const std::string word(60, 'w');
  const TVocData e = Voc("x", word);
  EXPECT_TRUE(CheckAnswer(WinString(word), e, AB, kCommaCase));
  EXPECT_FALSE(CheckAnswer(WinString(word + "xyz"), e, AB, kCommaCase));
  EXPECT_FALSE(CheckAnswer(WinString(word + "xyz, y"), e, AB, kCommaCase));
  EXPECT_FALSE(CheckAnswer(WinString(word + "xyz"), e, AB, kExact));
}

TEST(CheckAnswerTest, SettingsComeFromTheirOwnOptions) {
  Options o;
  o.SmartBrackets = true;
  o.Kommatareg = false;
  o.KnowOnlyOneVoc = true;
  o.Grossklein = false;
  o.TestenSmartBrackets = false;
  o.testenKommatareg = true;
  o.testenKnowOnlyOneVoc = false;
  o.testengrossklein = true;
  const CheckRules p = PracticeCheckRules(o);
  EXPECT_TRUE(p.smartBrackets);
  EXPECT_FALSE(p.commaRule);
  EXPECT_TRUE(p.allVariants);
  EXPECT_FALSE(p.caseSensitive);
  const CheckRules t = TestCheckRules(o);
  EXPECT_FALSE(t.smartBrackets);
  EXPECT_TRUE(t.commaRule);
  EXPECT_FALSE(t.allVariants);
  EXPECT_TRUE(t.caseSensitive);
}

TEST(CheckAnswerTest, TenThousandChecksTakeWellUnderASecond) {
  const TVocData e = Voc("to go", "(sich) freuen, jubeln, froh sein", "", "(das) Glück", "",
                         "Freude (die), Spass");
  const WinString answers[] = {WinString("froh sein ,jubeln"), WinString("Spass, Freude, x"),
                               WinString("Glueck"), WinString("sich freuen, jubeln, froh sein")};
  int right = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 10000; ++i) {
    if (CheckAnswer(answers[i % 4], e, AB, kCommaIgnoreCase)) ++right;
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(5000, right);
  // The sanitizers slow every byte access many times over; the limit is for the real program.
#if defined(__SANITIZE_ADDRESS__)
  constexpr auto kLimit = std::chrono::milliseconds(5000);
#else
  constexpr auto kLimit = std::chrono::milliseconds(500);
#endif
  EXPECT_LT(elapsed, kLimit);
}

}  // namespace
}  // namespace merkhaus
