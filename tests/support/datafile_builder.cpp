// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/datafile_builder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace mhtest {

std::string Latin1(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
      const auto d = static_cast<unsigned char>(utf8[++i]);
      out += static_cast<char>(((c & 0x03) << 6) | (d & 0x3F));
    } else {
      throw std::invalid_argument("Latin1: only U+0000..U+00FF");
    }
  }
  return out;
}

void PutText(RawRecord& r, std::size_t offset, std::string_view text) {
  r[offset] = static_cast<unsigned char>(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    r.at(offset + 1 + i) = static_cast<unsigned char>(text[i]);
}

void PutLength(RawRecord& r, std::size_t offset, unsigned char length) {
  r[offset] = length;
}

std::string GetText(const RawRecord& r, std::size_t offset) {
  return std::string(reinterpret_cast<const char*>(r.data() + offset + 1), r[offset]);
}

RawRecord Header(std::string_view name, std::string_view foreign, std::string_view native,
                 std::string_view author, std::string_view comment) {
  RawRecord r{};
  PutText(r, kA1, foreign);
  PutText(r, kB1, name);
  PutText(r, kA2, author);
  PutText(r, kB2, native);
  PutText(r, kB3, kDataFileSig);
  PutText(r, kComment, comment);
  return r;
}

RawRecord Unit(std::uint8_t unitId, std::string_view name, std::string_view comment,
               std::uint8_t deleted) {
  RawRecord r{};
  PutText(r, kA1, kUnitSig);
  PutText(r, kB1, name);
  PutText(r, kA2, kUnitNoteSig);
  PutText(r, kB2, kDedicationSig);
  PutText(r, kB3, kDataFileSig);
  PutText(r, kComment, comment);
  r[kUnitID] = unitId;
  r[kDeleted] = deleted;
  return r;
}

RawRecord Entry(std::uint8_t unitId, std::string_view a1, std::string_view b1,
                std::string_view comment, std::uint8_t deleted) {
  return Entry6(unitId, a1, "", "", b1, "", "", comment, deleted);
}

RawRecord Entry6(std::uint8_t unitId, std::string_view a1, std::string_view a2, std::string_view a3,
                 std::string_view b1, std::string_view b2, std::string_view b3,
                 std::string_view comment, std::uint8_t deleted) {
  RawRecord r{};
  PutText(r, kA1, a1);
  PutText(r, kA2, a2);
  PutText(r, kA3, a3);
  PutText(r, kB1, b1);
  PutText(r, kB2, b2);
  PutText(r, kB3, b3);
  PutText(r, kComment, comment);
  r[kUnitID] = unitId;
  r[kDeleted] = deleted;
  return r;
}

void WriteRecords(const std::filesystem::path& path, const std::vector<RawRecord>& records,
                  std::string_view tail) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const auto& r : records)
    out.write(reinterpret_cast<const char*>(r.data()), 624);
  out.write(tail.data(), static_cast<std::streamsize>(tail.size()));
  if (!out) throw std::runtime_error("WriteRecords failed");
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<RawRecord> ReadRecords(const std::filesystem::path& path) {
  const std::string bytes = ReadBytes(path);
  std::vector<RawRecord> records(bytes.size() / 624);
  for (std::size_t i = 0; i < records.size(); ++i) {
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(i * 624), 624, records[i].begin());
  }
  return records;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "merkhaus-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

}  // namespace mhtest
