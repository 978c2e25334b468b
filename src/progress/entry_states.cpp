// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/entry_states.h"

#include <algorithm>
#include <cstring>

namespace merkhaus {

std::string_view EntryKey(std::uint8_t unitId, const TVocData& entry, EntryKeyBuffer& buffer) {
  char* out = buffer.data();
  *out++ = static_cast<char>(unitId);
  for (Field f : {Field::A1, Field::A2, Field::A3, Field::B1, Field::B2, Field::B3}) {
    const std::string_view word = WordField(entry, f).view();
    *out++ = static_cast<char>(word.size());
    std::memcpy(out, word.data(), word.size());
    out += word.size();
  }
  return {buffer.data(), static_cast<std::size_t>(out - buffer.data())};
}

std::string EntryKey(std::uint8_t unitId, const TVocData& entry) {
  EntryKeyBuffer buffer;
  return std::string(EntryKey(unitId, entry, buffer));
}

std::uint64_t EntryKeyHash(std::string_view key) {
  // Eight bytes at a time (little-endian), each word mixed in by multiplication, then the
  // finishing steps of MurmurHash3, so that every bit of the key reaches every bit of the hash.
  constexpr std::uint64_t k = 0x9e3779b97f4a7c15ull;
  std::uint64_t hash = key.size() * k;
  const auto byte = [&](std::size_t i) {
    return std::uint64_t{static_cast<unsigned char>(key[i])};
  };
  std::size_t at = 0;
  for (; at + 8 <= key.size(); at += 8) {
    // Written out, so that the compiler makes one load of it on little-endian machines.
    const std::uint64_t word = byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16 |
                               byte(at + 3) << 24 | byte(at + 4) << 32 | byte(at + 5) << 40 |
                               byte(at + 6) << 48 | byte(at + 7) << 56;
    hash = (hash ^ word) * k;
    hash ^= hash >> 32;
  }
  if (at < key.size()) {
    std::uint64_t word = 0;
    for (std::size_t i = 0; at + i < key.size(); ++i)
      word |= byte(at + i) << (8 * i);
    hash = (hash ^ word) * k;
    hash ^= hash >> 32;
  }
  hash ^= hash >> 33;
  hash *= 0xff51afd7ed558ccdull;
  hash ^= hash >> 33;
  hash *= 0xc4ceb9fe1a85ec53ull;
  hash ^= hash >> 33;
  return hash;
}

namespace {

// Both tables probe linearly from the hash's low bits and are kept at most half full, so that
// a lookup mostly touches one place.
std::size_t Start(std::uint64_t hash, std::size_t mask) {
  return static_cast<std::size_t>(hash) & mask;
}

}  // namespace

std::size_t KeyHashSet::place(std::uint64_t hash) const {
  const std::size_t mask = table_.size() - 1;
  for (std::size_t i = Start(hash, mask);; i = (i + 1) & mask) {
    if (table_[i] == 0 || table_[i] == hash) return i;
  }
}

bool KeyHashSet::insert(std::uint64_t hash) {
  if (hash == 0) hash = 1;
  if (2 * (size_ + 1) > table_.size()) {
    // A lesson's 255 entries fit the first table.
    std::vector<std::uint64_t> old(std::max<std::size_t>(512, table_.size() * 2), 0);
    table_.swap(old);
    for (const std::uint64_t h : old) {
      if (h != 0) table_[place(h)] = h;
    }
  }
  const std::size_t i = place(hash);
  if (table_[i] == hash) return false;
  table_[i] = hash;
  ++size_;
  return true;
}

bool KeyHashSet::contains(std::uint64_t hash) const {
  if (hash == 0) hash = 1;
  return !table_.empty() && table_[place(hash)] == hash;
}

std::size_t EntryStates::place(std::string_view key, std::uint64_t hash) const {
  const std::size_t mask = table_.size() - 1;
  for (std::size_t i = Start(hash, mask);; i = (i + 1) & mask) {
    const std::uint32_t at = table_[i];
    if (at == 0) return i;
    const Slot& slot = slots_[at - 1];
    if (slot.hash == hash && keyOf(slot) == key) return i;
  }
}

void EntryStates::grow() {
  std::vector<std::uint32_t> old(std::max<std::size_t>(64, table_.size() * 2), 0);
  table_.swap(old);
  for (std::uint32_t i = 0; i < slots_.size(); ++i)
    table_[place(keyOf(slots_[i]), slots_[i].hash)] = i + 1;
}

void EntryStates::set(std::string_view key, const MemoryState& state) {
  if (2 * (slots_.size() + 1) > table_.size()) grow();
  const std::uint64_t hash = EntryKeyHash(key);
  markAnswered(static_cast<std::uint8_t>(key[0]), hash);
  const std::size_t i = place(key, hash);
  if (table_[i] != 0) {
    slots_[table_[i] - 1].state = state;
    return;
  }
  slots_.push_back({hash, static_cast<std::uint32_t>(keys_.size()),
                    static_cast<std::uint32_t>(key.size()), state});
  keys_.append(key);
  table_[i] = static_cast<std::uint32_t>(slots_.size());
}

void EntryStates::markAnswered(std::uint8_t unitId, std::uint64_t hash) {
  auto& hashes = answered_[unitId];
  const auto value = static_cast<std::int64_t>(hash);
  if (!hashes.empty() && value < hashes.back()) unsorted_[unitId] = true;
  hashes.push_back(value);
}

bool EntryStates::answered(std::uint8_t unitId, std::uint64_t hash) const {
  auto& hashes = answered_[unitId];
  if (unsorted_[unitId]) {
    std::sort(hashes.begin(), hashes.end());
    unsorted_[unitId] = false;
  }
  return std::binary_search(hashes.begin(), hashes.end(), static_cast<std::int64_t>(hash));
}

const MemoryState* EntryStates::find(std::string_view key, std::uint64_t hash) const {
  if (table_.empty()) return nullptr;
  const std::uint32_t at = table_[place(key, hash)];
  return at == 0 ? nullptr : &slots_[at - 1].state;
}

}  // namespace merkhaus
