// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// DataFiles built byte by byte, independently of the code under test, and read back the same way.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mhtest {

using RawRecord = std::array<unsigned char, 624>;

// Field offsets and capacities on disk.
inline constexpr std::size_t kA1 = 0, kB1 = 61, kA2 = 122, kA3 = 183, kB2 = 244, kB3 = 305,
                             kComment = 366, kUnitID = 622, kDeleted = 623;

inline constexpr std::string_view kDataFileSig =
    "Merkhaus ]I[ - DataFile == signature of vocabulary data file";
inline constexpr std::string_view kDedicationSig =
    "Merkhaus ]I[ is dedicated to everybody who learns new words!";
inline constexpr std::string_view kUnitSig =
    "Merkhaus ]I[ - Unit == signature of one lesson record ==";
inline constexpr std::string_view kUnitNoteSig = "Something I want to say: \"Windows [r] sucks!\"";

// UTF-8 in the test source, Windows-1252 on disk: converts the Latin-1 range only, which is all
// the tests type (ä, ö, ü, ß, ç, æ ...).
std::string Latin1(std::string_view utf8);

// Writes a length byte and the bytes of `text` at `offset`; the length is written as given, so
// a test can store a length above the field's capacity on purpose.
void PutText(RawRecord& r, std::size_t offset, std::string_view text);
void PutLength(RawRecord& r, std::size_t offset, unsigned char length);
std::string GetText(const RawRecord& r, std::size_t offset);

RawRecord Header(std::string_view name, std::string_view foreign = "Englisch",
                 std::string_view native = "Deutsch", std::string_view author = "",
                 std::string_view comment = "");
RawRecord Unit(std::uint8_t unitId, std::string_view name, std::string_view comment = "",
               std::uint8_t deleted = 0);
RawRecord Entry(std::uint8_t unitId, std::string_view a1, std::string_view b1,
                std::string_view comment = "", std::uint8_t deleted = 0);
RawRecord Entry6(std::uint8_t unitId, std::string_view a1, std::string_view a2, std::string_view a3,
                 std::string_view b1, std::string_view b2, std::string_view b3,
                 std::string_view comment = "", std::uint8_t deleted = 0);

// Writes the records (and `tail`, extra bytes after them) as the whole file.
void WriteRecords(const std::filesystem::path& path, const std::vector<RawRecord>& records,
                  std::string_view tail = "");
std::vector<RawRecord> ReadRecords(const std::filesystem::path& path);
std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

// A fresh temporary directory, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string file(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace mhtest
