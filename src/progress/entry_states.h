// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "progress/fsrs.h"
#include "store/vocdata.h"

namespace merkhaus {

// What identifies an entry (see progress_store.h): its lesson's UnitID, then its six words A1,
// A2, A3, B1, B2, B3, each as a length byte and its bytes.
inline constexpr std::size_t kMaxEntryKey = 1 + 6 * (1 + kWordCapacity);
using EntryKeyBuffer = std::array<char, kMaxEntryKey>;

// The key built in `buffer`, without allocating: a DataFile's entries are keyed by the ten
// thousand.
std::string_view EntryKey(std::uint8_t unitId, const TVocData& entry, EntryKeyBuffer& buffer);
std::string EntryKey(std::uint8_t unitId, const TVocData& entry);

// A 64-bit hash of a key, stored in the database beside the key: it must never change.
std::uint64_t EntryKeyHash(std::string_view key);

// A set of key hashes (of one lesson: small enough to stay in the processor's cache while a
// pass over the DataFile is in that lesson).
class KeyHashSet {
 public:
  // True when the hash was not there yet.
  bool insert(std::uint64_t hash);
  bool contains(std::uint64_t hash) const;
  std::size_t size() const { return size_; }

 private:
  std::size_t place(std::uint64_t hash) const;

  std::vector<std::uint64_t> table_;  // 0 for an empty place; a hash of 0 is kept as 1
  std::size_t size_ = 0;
};

// The memory states of a DataFile's entries by their keys: a hash table over one block of key
// bytes, so that reading tens of thousands of states allocates almost nothing. It may hold the
// states of some entries only (the due ones) and know of the others only that they have been
// answered.
class EntryStates {
 public:
  // Sets the state of a key (replacing one there); the key counts as answered.
  void set(std::string_view key, const MemoryState& state);
  // Records that the entry of a key hash has been answered, without its state.
  void markAnswered(std::uint8_t unitId, std::uint64_t hash);

  // The state of a key; null when it is not held.
  const MemoryState* find(std::string_view key) const { return find(key, EntryKeyHash(key)); }
  const MemoryState* find(std::string_view key, std::uint64_t hash) const;
  const MemoryState* find(std::uint8_t unitId, const TVocData& entry) const {
    EntryKeyBuffer buffer;
    return find(EntryKey(unitId, entry, buffer));
  }
  // False for an entry never answered. (Sorts what it was given on first use: one thread at a
  // time.)
  bool answered(std::uint8_t unitId, std::uint64_t hash) const;
  // The number of states held.
  std::size_t size() const { return slots_.size(); }

 private:
  struct Slot {
    std::uint64_t hash;
    std::uint32_t offset;
    std::uint32_t length;
    MemoryState state;
  };
  std::string_view keyOf(const Slot& slot) const {
    return {keys_.data() + slot.offset, slot.length};
  }
  // The table position of a key, or of the empty place where it belongs.
  std::size_t place(std::string_view key, std::uint64_t hash) const;
  void grow();

  std::string keys_;
  std::vector<Slot> slots_;
  std::vector<std::uint32_t> table_;  // slot index + 1, 0 for an empty place
  // The hashes of the answered entries by UnitID, as signed numbers: the database hands them
  // over in that order, so they need no sorting then.
  mutable std::array<std::vector<std::int64_t>, 256> answered_;
  mutable std::array<bool, 256> unsorted_{};
};

// Tells the first of entries with the same key from the others, lesson by lesson.
class DuplicateFilter {
 public:
  // True the first time an entry's key hash comes.
  bool first(std::uint8_t unitId, std::uint64_t hash) { return seen_[unitId].insert(hash); }

 private:
  std::array<KeyHashSet, 256> seen_;
};

}  // namespace merkhaus
