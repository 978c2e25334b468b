// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "store/header_index.h"
#include "store/vocdata.h"

namespace merkhaus {

// How an operation uses a DataFile. Readers share it; a writer has it to itself, so that no
// other program (a second Merkhaus, merkhaus-tool) reads or changes it half-way.
enum class Access { Read, Write };

// The rollback journal of a DataFile: `NAME.fid-journal` beside it.
std::string JournalPath(const std::string& dataFilePath);

// Why the DataFile at `path` should not be changed, found when it is chosen rather than at the
// first write: it is damaged (a partial record at its end and no journal that explains it) or it
// cannot be opened for writing (no permission, a read-only file system). Nothing when it can be
// written; a file that cannot even be read is left to the reader that meets it.
std::optional<FileError> WhyReadOnly(const std::string& path);

// One DataFile, opened for one operation and closed when the object goes away. Only whole
// records count: a damaged file's trailing partial record is invisible to readers; a writer cuts
// it away first (noting the repair), so that it never builds on a record it cannot see.
//
// A change of more than one record is all-or-nothing, also when the program is killed or the
// power fails half-way: before the DataFile is touched, a journal beside it records its length
// (for an append) and the old bytes of every record that an in-place change overwrites, and is
// put on the disk. The DataFile is then changed and flushed, and the journal removed. Whoever
// opens the DataFile next and finds a journal takes the change back from it first (noting the
// repair); a journal that is not complete was cut off before the DataFile was touched and is
// simply removed. A single record written in place needs no journal: the disk writes it whole.
class RecordFile {
 public:
  // Records read by one system call while scanning.
  static constexpr std::size_t kBlockRecords = 256;

  // Opens an existing DataFile. Fails when it cannot be opened so (missing, no permission for
  // the access, not a regular file, locked by another program beyond the wait, damaged for a
  // writer), telling the path and the reason.
  static FileResult<RecordFile> open(const std::string& path, Access access);

  RecordFile() = default;
  ~RecordFile();
  RecordFile(RecordFile&&) noexcept = default;
  RecordFile& operator=(RecordFile&&) noexcept = default;

  // Puts what was written on the disk and closes the file; throws IoError when the disk refuses.
  // A writer calls it before it reports success.
  void finish();
  // Takes back what was written since the file was opened and closes it. Where the disk refuses
  // even that, the journal stays and the next opener takes the change back. False only when a
  // single record written in place without a journal may be half on the disk.
  bool rollBack() noexcept;
  // Closes; a change not finished is taken back (as rollBack does).
  void close() noexcept;
  bool isOpen() const { return file_.isOpen(); }
  const std::string& path() const { return file_.path(); }

  // Number of whole records.
  std::uint64_t count() const { return count_; }
  // True when the file ends in a partial record.
  bool damaged() const { return damaged_; }

  void read(std::uint64_t index, TVocData& out);
  // Writes a record in place. The writes of one operation reach the DataFile together when it
  // finishes (reads see the old records until then); a record added by this operation is written
  // at once. Once records were appended, in-place writes of older records are not allowed.
  void write(std::uint64_t index, const TVocData& record);

  // Writes records after the last whole one. The one all-or-nothing append of the store
  // (store/append.h) is the only writer that adds records; it cuts a failed append back.
  void append(const TVocData* records, std::size_t n);

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
  // Makes `out` a second name of this file instead of a copy, where the file system allows it
  // (AtomicFile::linkFrom). Only for a file that this operation does not change.
  bool linkTo(AtomicFile& out) { return !dirty_ && pending_.empty() && out.linkFrom(file_); }
  // Starts putting on the disk what is not there yet (File::startWriteback).
  void startWriteback() { file_.startWriteback(); }

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

  // Every lesson header, live and deleted, with its record number, in file order. Taken from the
  // index kept with the file (store/header_index.h) when each record it names still holds the
  // header it remembers, otherwise found by reading the whole file. A writer that asked keeps the
  // headers, with those it appends, as the file's index when it finishes.
  std::vector<std::pair<std::uint64_t, TVocData>> lessonHeaders();

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

  // Records the DataFile's length and the old bytes of the pending in-place writes in a new
  // journal and puts it on the disk.
  void beginJournal();
  void endJournal();
  void applyPending();

  File file_;
  bool writer_ = false;
  // Every lesson header of the file as this operation knows it, while it does.
  std::optional<std::vector<IndexedHeader>> headers_;
  std::uint64_t count_ = 0;
  bool damaged_ = false;
  bool dirty_ = false;
  std::uint64_t baseCount_ = 0;                            // whole records when the file was opened
  std::map<std::uint64_t, TVocData> pending_;              // in-place writes not yet made
  std::vector<std::pair<std::uint64_t, TVocData>> saved_;  // old records the journal holds
  File journal_;
};

// Creates a file holding the single record 0: only where nothing is (EEXIST otherwise, also for a
// file or link that appeared after the learner was asked), or, with `replace`, in place of what
// is there (a link replaced itself). An existing file is replaced only once the new one is
// complete and on the disk, so a failed write leaves it as it was.
FileResult<> CreateDataFile(const std::string& path, const TVocData& header, bool replace = true);

}  // namespace merkhaus
