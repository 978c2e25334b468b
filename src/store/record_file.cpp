// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/record_file.h"

namespace merkhaus {

bool RecordFile::open(const std::string& path, Access access) {
  close();
  const bool write = access == Access::Write;
  if (!file_.open(path, write ? File::Mode::ReadWrite : File::Mode::Read,
                  write ? Lock::Exclusive : Lock::Shared, error_)) {
    return false;
  }
  const std::uint64_t size = file_.size();
  count_ = size / kRecordSize;
  damaged_ = size % kRecordSize != 0;
  if (write && damaged_) {
    error_ = FileError{path, FileError::Step::Write, FileError::kDamaged};
    close();
    return false;
  }
  return true;
}

void RecordFile::finish() {
  if (!file_.isOpen()) return;
  if (dirty_) file_.sync();
  close();
}

void RecordFile::close() {
  file_.close();
  count_ = 0;
  damaged_ = false;
  dirty_ = false;
}

void RecordFile::readBlock(std::uint64_t first, std::size_t n, TVocData* out) {
  if (first + n > count_) {
    throw IoError(FileError{path(), FileError::Step::Read, FileError::kShortRead});
  }
  file_.readExactly(out, n * kRecordSize, first * kRecordSize);
}

void RecordFile::read(std::uint64_t index, TVocData& out) {
  readBlock(index, 1, &out);
}

void RecordFile::write(std::uint64_t index, const TVocData& record) {
  dirty_ = true;
  file_.writeAt(&record, kRecordSize, index * kRecordSize);
  if (index >= count_) count_ = index + 1;
}

void RecordFile::append(const TVocData* records, std::size_t n) {
  const std::uint64_t before = count_;
  dirty_ = true;
  try {
    file_.writeAt(records, n * kRecordSize, before * kRecordSize);
  } catch (const IoError&) {
    try {
      file_.truncate(before * kRecordSize);
    } catch (const IoError&) {
      // The first error is the one to tell.
    }
    throw;
  }
  count_ = before + n;
}

void RecordFile::truncate(std::uint64_t records) {
  dirty_ = true;
  file_.truncate(records * kRecordSize);
  count_ = records;
}

bool CreateDataFile(const std::string& path, const TVocData& header, FileError& error) {
  AtomicFile file;
  return file.create(path, error) && file.write(&header, kRecordSize, error) && file.commit(error);
}

}  // namespace merkhaus
