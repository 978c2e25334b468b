// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_io.h"

namespace merkhaus {

// Where the lesson headers of a DataFile are, kept with the DataFile in an extended attribute of
// its own (kHeaderIndexAttribute), so that a writer that must see every header (the name check,
// the free UnitID, the 255 limit) need not read a file of many megabytes to find a few hundred
// records. The attribute is metadata: no byte of the DataFile changes for it, and a copy that
// leaves it behind loses nothing.
//
// The index is a hint, never the truth. It is used only when
// - it was written for this very file as it is now: device, inode, length and modification time
//   to the nanosecond all match (a copy, a replaced file, an append, a cut, any later write show
//   up here);
// - every record it names is still within the file and still a lesson header with the same UnitID
//   and the same Deleted byte; the caller takes names and comments from those records, read now.
// Anything else means reading the whole file, as without an index, and keeping a fresh one.
//
// What a modification time cannot show is a second write within the same tick of the clock that
// stamps it (the kernel moves it in ticks of a few milliseconds). So an index is only written
// when no later write can leave the time as it is: either the clock has already moved past the
// file's time, or the writer, which has just changed the file, sets that time to the present
// instant to the nanosecond, a value between two ticks that no later write can be given. A file
// system that does not keep such times exactly, keeps no user attributes, or whose times come
// from another machine's clock, gets no index.
//
// What could still make a header appear where the index has none, without any trace in the
// time: a program that ignores the lock and writes while a writer of ours holds the file (which
// the whole-file scan cannot guard against either). This program itself never turns a record
// into a header in place without removing the index from the disk first (RecordFile), and a
// rollback from a journal removes it before it touches the file.
inline constexpr const char* kHeaderIndexAttribute = "user.merkhaus.headers";

// Which file, as which length, changed last when.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t seconds = 0;
  std::int64_t nanoseconds = 0;
  bool operator==(const FileStamp&) const = default;
};

// One lesson header (live or deleted) as the index remembers it.
struct IndexedHeader {
  std::uint64_t record = 0;
  std::uint8_t unitId = 0;
  std::uint8_t deleted = 0;
  bool operator==(const IndexedHeader&) const = default;
};

struct HeaderIndex {
  FileStamp stamp;
  std::vector<IndexedHeader> headers;  // by record, ascending, none at record 0
};

// The bytes of the attribute, and back; nothing for bytes that are not a whole, unchanged index
// (a wrong checksum, records not ascending, anything left over).
std::string EncodeHeaderIndex(const HeaderIndex& index);
std::optional<HeaderIndex> DecodeHeaderIndex(std::string_view bytes);

// The file's stamp as the file system has it now; nothing when it cannot be asked.
std::optional<FileStamp> StampOf(File& file);

// The headers the index of the open file names, when it was written for the file exactly as it
// is now; nothing otherwise. The caller still checks every record it names.
std::optional<std::vector<IndexedHeader>> ReadHeaderIndex(File& file);

// Keeps `headers`, every lesson header of the file, as its index: by a writer that holds the
// file, after its change is on the disk; `changed` says whether it wrote anything (only then may
// it set the file's modification time). Where no index can be kept safely the old one is
// removed. Never fails: without an index the next writer reads the whole file.
void KeepHeaderIndex(File& file, const std::vector<IndexedHeader>& headers, bool changed) noexcept;

// Removes the index of the open file and puts the removal on the disk, before a change that no
// stamp might show after a power cut. False when an index may remain.
bool ForgetHeaderIndex(File& file) noexcept;

}  // namespace merkhaus
