// SPDX-License-Identifier: GPL-3.0-or-later
// The text rules on UTF-8 text (a Unicode DataFile): cuts at character boundaries, length bytes
// counting bytes, and the case-insensitive comparisons of the answer check and the search.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dictionary/dictionary_search.h"
#include "platform/cp1252.h"
#include "store/vocdata.h"
#include "text/answer_check.h"
#include "text/case_fold.h"
#include "text/text_rules.h"

namespace merkhaus {
namespace {

WinString U(std::string_view utf8) {
  return WinString(utf8, TextEncoding::Utf8);
}

std::string Repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i)
    out += s;
  return out;
}

TEST(UnicodeFieldTest, CutsAtACharacterBoundaryAndCountsBytes) {
  const std::string a58(58, 'a');
  const std::string a59(59, 'a');
  const struct Case {
    const char* name;
    std::string text;
    int lengthByte;  // what lands in the length byte of a 60-byte field
  } cases[] = {
      {"two-byte letter that fits exactly", a58 + "ж", 60},
      {"two-byte letter over the edge is dropped whole", a59 + "ж", 59},
      {"three-byte euro sign over the edge", a58 + "€", 58},
      {"four-byte emoji over the edge", a58 + "a😀", 59},
      {"Cyrillic only: 31 letters, 62 bytes", Repeat("д", 31), 60},
      {"short text stays", "Привет", 12},
  };
  for (const Case& c : cases) {
    const std::string& text = c.text;
    TVocData r{};
    r.A1.set(U(text));
    EXPECT_EQ(r.A1.Len, c.lengthByte) << c.name;
    EXPECT_TRUE(IsValidUtf8(r.A1.view())) << c.name;
    EXPECT_EQ(text.substr(0, r.A1.Len), std::string(r.A1.view())) << c.name;
    // The bytes after the value are zero, as in every field written by the program.
    for (std::size_t i = r.A1.Len; i < 60; ++i)
      EXPECT_EQ(r.A1.Chars[i], 0) << c.name << " byte " << i;
  }
  // The same 60-byte text in Windows-1252 is cut byte by byte, as always.
  TVocData r{};
  r.A1.set(WinString(a59 + "\xE4\xE4"));
  EXPECT_EQ(r.A1.Len, 60);
}

TEST(UnicodeFieldTest, HeaderSignatureTellsTheKind) {
  const TVocData unicode = MakeDataFileHeader(U("Русский"), U("Russisch"), U("Deutsch"), U(""),
                                              U(""), TextEncoding::Utf8);
  const TVocData western = MakeDataFileHeader(WinString("Englisch"), WinString("Englisch"),
                                              WinString("Deutsch"), WinString(""), WinString(""));
  // Spelt out here so that a changed constant shows.
  EXPECT_EQ(std::string(unicode.B3.view()),
            "Merkhaus ]I[ - DataFile == signature of Unicode vocabularies");
  EXPECT_EQ(unicode.B3.Len, 60);
  EXPECT_EQ(DataFileEncoding(unicode), TextEncoding::Utf8);
  EXPECT_EQ(DataFileEncoding(western), TextEncoding::Cp1252);
  EXPECT_EQ(DataFileName(unicode).encoding(), TextEncoding::Utf8);
  EXPECT_EQ(ToUtf8(DataFileName(unicode)), "Русский");
  TVocData deleted = unicode;
  deleted.Deleted = 1;
  EXPECT_FALSE(DataFileEncoding(deleted));
  // A lesson header of a Unicode DataFile is told by the described signatures.
  EXPECT_TRUE(IsUnitHeader(MakeUnitHeader(1, U("Урок"), U(""))));
  TVocData unitWithUnicodeSig = MakeUnitHeader(1, U("Урок"), U(""));
  unitWithUnicodeSig.B3.set(UnicodeDataFileSig);
  EXPECT_FALSE(IsUnitHeader(unitWithUnicodeSig));
}

TVocData Entry(std::string_view a1, std::string_view b1, std::string_view b2 = "") {
  TVocData r{};
  r.A1.set(U(a1));
  r.B1.set(U(b1));
  r.B2.set(U(b2));
  return r;
}

TEST(UnicodeCompareTest, AnswerCheckAndSearchFoldEveryScript) {
  const struct Case {
    const char* name;
    const char* stored;
    const char* typed;
    bool equalIgnoringCase;
  } cases[] = {
      {"Cyrillic capitals", "Москва", "МОСКВА", true},
      {"Cyrillic е is not ё", "ёж", "еж", false},
      {"Greek final sigma", "λόγος", "ΛΌΓΟΣ", true},
      {"Greek accent counts", "λόγος", "λογος", false},
      {"German ß as SS", "Straße", "STRASSE", true},
      {"German capital ẞ", "Straße", "STRAẞE", true},
      {"Turkish dotted capital İ", "istanbul", "İSTANBUL", true},
      {"Turkish dotless ı is a letter of its own", "ılık", "ilik", false},
      {"Turkish I is not ı", "ılık", "ILIK", false},
      {"Ukrainian ї", "їжак", "ЇЖАК", true},
      {"old Cyrillic wide es, of another length in UTF-8", "ᲃлово", "СЛОВО", true},
      {"accented Latin", "Ça va", "ÇA VA", true},
      {"different words", "дом", "дым", false},
      // Scripts beyond U+07FF and beyond the Basic Multilingual Plane, whose folding comes from
      // ICU's ranges of changing characters.
      {"Georgian Mtavruli", "ანი", "ᲐᲜᲘ", true},
      {"Cherokee small letters fold to the capitals", "ᎠᏍᎦ", "ꭰꮝꭶ", true},
      {"Glagolitic", "ⰰⰱ", "ⰀⰁ", true},
      {"fullwidth Latin", "ａｂｃ", "ＡＢＣ", true},
      {"Deseret, four bytes in UTF-8", "𐐨𐐩", "𐐀𐐁", true},
      {"Adlam", "𞤢𞤣", "𞤀𞤁", true},
      {"Adlam, other letters", "𞤢𞤣", "𞤁𞤀", false},
  };
  CheckRules ignoreCase{true, true, false, false};
  ignoreCase.encoding = TextEncoding::Utf8;
  CheckRules caseCounts = ignoreCase;
  caseCounts.caseSensitive = true;
  for (const Case& c : cases) {
    const TVocData e = Entry("x", c.stored);
    EXPECT_EQ(CheckAnswer(U(c.typed), e, QueryDirection::AB, ignoreCase), c.equalIgnoringCase)
        << c.name;
    EXPECT_EQ(CheckAnswer(U(c.typed), e, QueryDirection::AB, caseCounts),
              std::string_view(c.stored) == c.typed)
        << c.name;
    EXPECT_EQ(FoldCase(U(c.typed), false) == FoldCase(U(c.stored), false), c.equalIgnoringCase)
        << c.name;
    // The search finds the stored text by the typed one, also inside a longer field.
    const std::string field = std::string("… ") + c.stored + " …";
    EXPECT_EQ(FieldMatches(U(c.typed), field, false, false), c.equalIgnoringCase) << c.name;
    EXPECT_EQ(FieldMatches(U(c.typed), c.stored, false, true), c.equalIgnoringCase) << c.name;
    // And the other way round: a field written in capitals is found by the small letters.
    EXPECT_EQ(FieldMatches(U(c.stored), std::string("… ") + c.typed + " …", false, false),
              c.equalIgnoringCase)
        << c.name;
    EXPECT_EQ(FieldMatches(U(c.typed), field, true, false), std::string_view(c.stored) == c.typed)
        << c.name;
  }
  // The comma rule and the brackets work on UTF-8 text as on Windows-1252 text.
  const TVocData several = Entry("x", "(по)бежать, бегать");
  EXPECT_TRUE(CheckAnswer(U("БЕГАТЬ, БЕЖАТЬ"), several, QueryDirection::AB, ignoreCase));
  EXPECT_FALSE(CheckAnswer(U("бегать, бегать"), several, QueryDirection::AB, ignoreCase));
  // The search's pure-ASCII fields go through the byte table: the Kelvin sign still folds to k.
  EXPECT_TRUE(FieldMatches(U("\u212A"), "kilo", false, false));
  EXPECT_TRUE(FieldMatches(U("KILO"), "\u212Ailo", false, false));
}

// The search skips unfolded bytes by sets built from every spelling of the term, so it must find
// exactly what folding the whole field finds, also where a character folds to one of another
// length (ᲀ to в, the Kelvin sign to k, ſ to s) or to several (ß to ss, ﬆ to st, ŉ to ʼn),
// and where the term begins or ends inside such a folding. Terms of one and two pieces against
// fields of pieces drawn by a fixed sequence.
TEST(UnicodeCompareTest, SearchFindsWhatFoldingTheFieldFinds) {
  const std::vector<std::string> pieces = {
      "s", "S",   "ß",   "ẞ", "ſ", "t", "ﬆ", "ﬅ", "k", "K", "\u212A", "в", "В", "ᲀ",
      "т", "ᲄ", "ᲅ", "ʼ", "n", "ŉ", "i", "İ", "ı", "ι", "\u0345", "ΐ", "ά", " "};
  std::uint32_t state = 12345;
  const auto next = [&state](std::size_t below) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % below;
  };
  // Another piece with the same folding (or the piece itself).
  const auto respelt = [&](const std::string& piece) {
    std::vector<std::string> same;
    for (const auto& p : pieces) {
      if (FoldUtf8(p) == FoldUtf8(piece)) same.push_back(p);
    }
    return same[next(same.size())];
  };
  std::vector<std::vector<std::string>> terms;
  for (const auto& a : pieces) {
    terms.push_back({a});
    for (const auto& b : pieces)
      terms.push_back({a, b});
  }
  int found = 0;
  int wholeFound = 0;
  for (const auto& parts : terms) {
    std::string term;
    for (const auto& p : parts)
      term += p;
    const std::string foldedTerm = FoldUtf8(term);
    for (int f = 0; f < 8; ++f) {
      std::string field;
      if (f % 4 == 0) {
        // The term in other spellings, so that whole fields match too.
        for (const auto& p : parts)
          field += respelt(p);
      } else {
        for (std::size_t count = 1 + next(4); count > 0; --count)
          field += pieces[next(pieces.size())];
      }
      const std::string foldedField = FoldUtf8(field);
      const bool inside = foldedField.find(foldedTerm) != std::string::npos;
      const bool whole = foldedField == foldedTerm;
      EXPECT_EQ(FieldMatches(U(term), field, false, false), inside) << term << " in " << field;
      EXPECT_EQ(FieldMatches(U(term), field, false, true), whole) << term << " = " << field;
      found += inside;
      wholeFound += whole;
    }
  }
  // The drawn fields hold enough hits of both kinds for the comparison to mean something.
  EXPECT_GT(found, 1500);
  EXPECT_GT(wholeFound, 1500);
}

TEST(UnicodeCompareTest, WindowsTextKeepsTheAsciiRule) {
  // ä and Ä differ in a Windows-1252 DataFile whatever the case option says, as they always did.
  EXPECT_FALSE(FieldMatches(WinString("\xC4"), "\xE4", false, false));
  EXPECT_TRUE(FieldMatches(WinString("HAUS"), "haus", false, true));
  EXPECT_EQ(FoldCase(WinString("stra\xDF"
                               "e"),
                     false),
            WinString("STRA\xDF"
                      "E"));
}

}  // namespace
}  // namespace merkhaus
