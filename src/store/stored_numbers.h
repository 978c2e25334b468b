// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The numbers of the store's own small files and attributes (the journal, the header index):
// eight bytes, least significant first, whatever the machine; and the checksum that closes them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace merkhaus {

inline void PutNumber(std::string& out, std::uint64_t n) {
  for (int i = 0; i < 8; ++i)
    out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
}

// The number at `at`; the caller has checked that eight bytes are there.
inline std::uint64_t GetNumber(std::string_view in, std::size_t at) {
  std::uint64_t n = 0;
  for (int i = 7; i >= 0; --i)
    n = (n << 8) | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
  return n;
}

// FNV-1a, 64 bits: enough to tell a torn or foreign file from one of ours.
inline std::uint64_t Checksum(std::string_view bytes) {
  std::uint64_t h = 14695981039346656037ULL;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ULL;
  }
  return h;
}

}  // namespace merkhaus
