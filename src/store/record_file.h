#pragma once

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "store/vocdata.h"

namespace merkhaus {

// An input or output error after a file was opened. Its text is German and names the file and
// the system's error; it ends the learner's current action.
class IoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One DataFile, opened for one operation and closed when the object goes away. Only whole
// records count: a damaged file's trailing partial record is invisible to readers, and appends
// start after the last whole record.
class RecordFile {
 public:
  // Records read by one system call while scanning.
  static constexpr std::size_t kBlockRecords = 256;

  RecordFile() = default;
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  // Opens an existing file for reading and writing (or for reading only). A file that cannot be
  // opened so (missing, read-only, a folder) gives false.
  bool open(const std::string& path, bool readOnly = false);
  void close();
  bool isOpen() const { return file_ != nullptr; }
  const std::string& path() const { return path_; }

  // Number of whole records.
  std::uint64_t count() const { return count_; }

  void read(std::uint64_t index, TVocData& out);
  void write(std::uint64_t index, const TVocData& record);

  // Appends all records after the last whole one, or none: when a write fails, the file is cut
  // back to its former length before the error is thrown.
  void append(const TVocData* records, std::size_t n);
  void append(const TVocData& record) { append(&record, 1); }

  // Cuts the file to a number of whole records.
  void truncate(std::uint64_t records);

  // Calls f(index, record) for every record from `from` on, in file order, reading blocks of
  // kBlockRecords records; f returns false to stop early. f may write through this file.
  template <class F>
  void scan(std::uint64_t from, F&& f) {
    std::vector<TVocData> block(kBlockRecords);
    for (std::uint64_t first = from; first < count_; first += kBlockRecords) {
      const std::size_t n =
          static_cast<std::size_t>(std::min<std::uint64_t>(kBlockRecords, count_ - first));
      readBlock(first, n, block.data());
      for (std::size_t i = 0; i < n; ++i) {
        if (!f(first + i, block[i])) return;
      }
    }
  }

  // Reads n records starting at `first` in one call.
  void readBlock(std::uint64_t first, std::size_t n, TVocData* out);

 private:
  [[noreturn]] void fail(const char* what);
  void seek(std::uint64_t index);

  std::FILE* file_ = nullptr;
  std::string path_;
  std::uint64_t count_ = 0;
};

// Creates (or replaces) a file holding the single record 0. False when the file cannot be
// written; an existing file is then left as it was.
bool CreateDataFile(const std::string& path, const TVocData& header);

}  // namespace merkhaus
