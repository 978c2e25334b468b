// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "progress/entry_states.h"
#include "support/datafile_builder.h"

namespace {

using merkhaus::EntryKey;
using merkhaus::EntryKeyHash;
using merkhaus::MemoryState;
using merkhaus::TVocData;

TVocData Record(const mhtest::RawRecord& raw) {
  TVocData r;
  std::memcpy(&r, raw.data(), sizeof r);
  return r;
}

TEST(EntryKeys, HoldTheUnitAndTheSixWordsButNotTheComment) {
  const TVocData entry =
      Record(mhtest::Entry6(9, "to go", "", "leave", "gehen", "fort", "", "Kommentar"));
  EXPECT_EQ(std::string("\x07\x05to go\x00\x05leave\x05gehen\x04"
                        "fort\x00",
                        26),
            EntryKey(7, entry));
  TVocData other = entry;
  other.Comment.set(std::string_view("anders"));
  other.UnitID = 3;
  EXPECT_EQ(EntryKey(7, entry), EntryKey(7, other));
  // Moving a word to another field makes another entry.
  const TVocData moved =
      Record(mhtest::Entry6(9, "to go", "leave", "", "gehen", "fort", "", "Kommentar"));
  EXPECT_NE(EntryKey(7, entry), EntryKey(7, moved));
}

TEST(EntryKeys, HashesNeverChange) {
  // The database keeps these hashes: a changed hash function would make every entry new.
  const struct {
    std::string key;
    std::uint64_t hash;
  } cases[] = {
      {"", 0},
      {std::string("\x01\x05house\x00\x00\x04Haus\x00\x00", 16), 14883398003910433643ull},
      {std::string(367, '\xff'), 3592857559013107393ull},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.hash, EntryKeyHash(c.key)) << c.key.size();
}

TEST(EntryStates, FindsReplacesAndTellsAnsweredEntries) {
  merkhaus::EntryStates states;
  EXPECT_EQ(nullptr, states.find("x"));
  // Enough keys to make the tables grow several times.
  for (int i = 0; i < 5000; ++i) {
    MemoryState m;
    m.reps = i;
    states.set(std::string(1, static_cast<char>(i % 7)) + "word " + std::to_string(i), m);
  }
  MemoryState changed;
  changed.reps = 99999;
  states.set(std::string(1, '\x03') + "word 10", changed);
  EXPECT_EQ(5000, states.size());
  for (int i = 0; i < 5000; ++i) {
    const std::string key = std::string(1, static_cast<char>(i % 7)) + "word " + std::to_string(i);
    const MemoryState* m = states.find(key);
    ASSERT_NE(nullptr, m) << key;
    EXPECT_EQ(i == 10 ? 99999 : i, m->reps);
    EXPECT_TRUE(states.answered(static_cast<std::uint8_t>(i % 7), EntryKeyHash(key)));
    EXPECT_FALSE(states.answered(static_cast<std::uint8_t>(i % 7 + 1), EntryKeyHash(key)));
  }
  EXPECT_EQ(nullptr, states.find(std::string(1, '\x04') + "word 10"));
  // Answered without a state, as the due states know the others.
  states.markAnswered(200, 5);
  EXPECT_TRUE(states.answered(200, 5));
  EXPECT_FALSE(states.answered(200, 6));

  merkhaus::DuplicateFilter filter;
  EXPECT_TRUE(filter.first(1, 42));
  EXPECT_FALSE(filter.first(1, 42));
  EXPECT_TRUE(filter.first(2, 42));
}

}  // namespace
