// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/vocdata.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/datafile_builder.h"

namespace merkhaus {
namespace {

TVocData FromRaw(const mhtest::RawRecord& raw) {
  TVocData r;
  std::memcpy(&r, raw.data(), sizeof r);
  return r;
}

mhtest::RawRecord ToRaw(const TVocData& r) {
  mhtest::RawRecord raw;
  std::memcpy(raw.data(), &r, sizeof r);
  return raw;
}

TEST(TVocData, FieldsSitAtTheirDiskOffsets) {
  auto raw = mhtest::Entry6(7, "a1", "a2", "a3", "b1", "b2", "b3", "note", 1);
  const TVocData r = FromRaw(raw);
  EXPECT_EQ("a1", r.A1.view());
  EXPECT_EQ("a2", r.A2.view());
  EXPECT_EQ("a3", r.A3.view());
  EXPECT_EQ("b1", r.B1.view());
  EXPECT_EQ("b2", r.B2.view());
  EXPECT_EQ("b3", r.B3.view());
  EXPECT_EQ("note", r.Comment.view());
  EXPECT_EQ(7, r.UnitID);
  EXPECT_EQ(1, r.Deleted);
}

TEST(TVocData, StoringCutsToTheFieldAndReadingClampsDamagedLengths) {
  TVocData r{};
  r.B1.set(std::string(61, 'x'));
  r.Comment.set(std::string(300, 'c'));
  const auto raw = ToRaw(r);
  EXPECT_EQ(60, raw[mhtest::kB1]);
  EXPECT_EQ(255, raw[mhtest::kComment]);

  auto damaged = mhtest::Entry(1, "abc", "x");
  mhtest::PutLength(damaged, mhtest::kA1, 200);
  const TVocData d = FromRaw(damaged);
  EXPECT_EQ(60u, d.A1.size());
  EXPECT_EQ(60u, d.A1.get().size());
}

TEST(TVocData, UnitHeaderIsToldByItsSignatures) {
  struct Case {
    const char* name;
    mhtest::RawRecord record;
    bool header;
  };
  auto noA3 = mhtest::Unit(3, "L");
  mhtest::PutText(noA3, mhtest::kA3, "x");
  auto shortSig = mhtest::Unit(3, "L");
  mhtest::PutText(shortSig, mhtest::kB3, mhtest::kDataFileSig.substr(0, 59));
  auto lowerSig = mhtest::Unit(3, "L");
  lowerSig[mhtest::kA1 + 1] = 'm';
  // An entry whose texts happen to be the four signatures passes for a unit header.
  auto lookalike = mhtest::Entry6(9, mhtest::kUnitSig, mhtest::kUnitNoteSig, "", "Wort",
                                  mhtest::kDedicationSig, mhtest::kDataFileSig);
  const Case cases[] = {
      {"unit", mhtest::Unit(3, "L"), true},
      {"deleted unit", mhtest::Unit(3, "L", "", 1), true},
      {"A3 not empty", noA3, false},
      {"signature one short", shortSig, false},
      {"signature in other case", lowerSig, false},
      {"entry", mhtest::Entry(3, "a", "b"), false},
      {"lookalike entry", lookalike, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.header, IsUnitHeader(FromRaw(c.record))) << c.name;
  }
  EXPECT_TRUE(IsEntryOfLesson(FromRaw(mhtest::Entry(3, "a", "b")), 3));
  EXPECT_FALSE(IsEntryOfLesson(FromRaw(mhtest::Entry(3, "a", "b")), 4));
  EXPECT_FALSE(IsEntryOfLesson(FromRaw(mhtest::Entry(3, "a", "b", "", 1)), 3));
  EXPECT_FALSE(IsEntryOfLesson(FromRaw(mhtest::Unit(3, "L")), 3));
}

TEST(TVocData, RecordsEqualIgnoresTheBytesAfterTheLength) {
  auto a = mhtest::Entry(3, "Haus", "house", "n");
  auto b = a;
  b[mhtest::kA1 + 10] = 'z';  // beyond the value
  EXPECT_TRUE(RecordsEqual(FromRaw(a), FromRaw(b)));
  auto c = a;
  c[mhtest::kDeleted] = 1;
  EXPECT_FALSE(RecordsEqual(FromRaw(a), FromRaw(c)));
  auto d = a;
  d[mhtest::kUnitID] = 4;
  EXPECT_FALSE(RecordsEqual(FromRaw(a), FromRaw(d)));
  auto e = a;
  mhtest::PutText(e, mhtest::kComment, "N");
  EXPECT_FALSE(RecordsEqual(FromRaw(a), FromRaw(e)));
}

TEST(TVocData, NewHeadersAreWrittenByteForByte) {
  const auto unit = ToRaw(MakeUnitHeader(4, WinString(std::string(61, 'n')), WinString("c")));
  auto expected = mhtest::Unit(4, std::string(60, 'n'), "c");
  EXPECT_EQ(expected, unit);

  const auto header =
      ToRaw(MakeDataFileHeader(WinString("Vokabeln"), WinString("Englisch"), WinString("Deutsch"),
                               WinString("Ich"), WinString("keinen")));
  EXPECT_EQ(mhtest::Header("Vokabeln", "Englisch", "Deutsch", "Ich", "keinen"), header);
}

}  // namespace
}  // namespace merkhaus
