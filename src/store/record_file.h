// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "store/vocdata.h"

namespace merkhaus {

// How an operation uses a DataFile. Readers share it; a writer has it to itself, so that no
// other program (a second Merkhaus, merkhaus-tool) reads or changes it half-way.
enum class Access { Read, Write };

// One DataFile, opened for one operation and closed when the object goes away. Only whole
// records count: a damaged file's trailing partial record is invisible to readers, and a writer
// refuses such a file rather than build on a record it cannot see.
class RecordFile {
 public:
  // Records read by one system call while scanning.
  static constexpr std::size_t kBlockRecords = 256;

  // Opens an existing DataFile. Fails when it cannot be opened so (missing, no permission for
  // the access, not a regular file, locked by another program beyond the wait, damaged for a
  // writer), telling the path and the reason.
  static FileResult<RecordFile> open(const std::string& path, Access access);

  // Puts what was written on the disk and closes the file; throws IoError when the disk refuses.
  // A writer calls it before it reports success.
  void finish();
  // Closes without waiting for the disk (after a failure, or when nothing was written).
  void close();
  bool isOpen() const { return file_.isOpen(); }
  const std::string& path() const { return file_.path(); }

  // Number of whole records.
  std::uint64_t count() const { return count_; }
  // True when the file ends in a partial record.
  bool damaged() const { return damaged_; }

  void read(std::uint64_t index, TVocData& out);
  void write(std::uint64_t index, const TVocData& record);

  // Writes records after the last whole one. The one all-or-nothing append of the store
  // (store/append.h) is the only writer that adds records; it cuts a failed append back.
  void append(const TVocData* records, std::size_t n);

  // Cuts the file to a number of whole records.
  void truncate(std::uint64_t records);

  // Calls f(index, record) for every record from `from` on, in file order, reading blocks of
  // kBlockRecords records; f returns false to stop early. f may write through this file.
  template <class F>
  void scan(std::uint64_t from, F&& f) {
    ScanBuffer buffer;
    TVocData* block = buffer.records;
    for (std::uint64_t first = from; first < count_; first += kBlockRecords) {
      const std::size_t n =
          static_cast<std::size_t>(std::min<std::uint64_t>(kBlockRecords, count_ - first));
      readBlock(first, n, block);
      for (std::size_t i = 0; i < n; ++i) {
        if (!f(first + i, block[i])) return;
      }
    }
  }

  // Appends the whole records to `out`, copied inside the kernel where it can.
  FileResult<> copyTo(AtomicFile& out) { return out.copyFrom(file_, 0, count_ * kRecordSize); }

  // Calls f(first, records) for every block of records from `from` on, in file order; f
  // returns false to stop early. For scans that look at a whole block before its records.
  template <class F>
  void scanBlocks(std::uint64_t from, F&& f) {
    ScanBuffer buffer;
    for (std::uint64_t first = from; first < count_; first += kBlockRecords) {
      const std::size_t n =
          static_cast<std::size_t>(std::min<std::uint64_t>(kBlockRecords, count_ - first));
      readBlock(first, n, buffer.records);
      if (!f(first, std::span<const TVocData>(buffer.records, n))) return;
    }
  }

  // Reads n records starting at `first` in one call.
  void readBlock(std::uint64_t first, std::size_t n, TVocData* out);

 private:
  // The block a scan reads into, on a page boundary: the kernel copies from the page cache
  // fastest into aligned memory.
  struct ScanBuffer {
    ScanBuffer()
        : records(static_cast<TVocData*>(
              ::operator new (kBlockRecords* kRecordSize, std::align_val_t{4096}))) {}
    ~ScanBuffer() { ::operator delete (records, std::align_val_t{4096}); }
    ScanBuffer(const ScanBuffer&) = delete;
    ScanBuffer& operator=(const ScanBuffer&) = delete;
    TVocData* records;
  };

  File file_;
  std::uint64_t count_ = 0;
  bool damaged_ = false;
  bool dirty_ = false;
};

// Creates (or replaces) a file holding the single record 0. An existing file is replaced only
// once the new one is complete and on the disk, so a failed write leaves it as it was.
FileResult<> CreateDataFile(const std::string& path, const TVocData& header);

}  // namespace merkhaus
