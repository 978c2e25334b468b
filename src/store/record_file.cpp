// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/record_file.h"

namespace merkhaus {

FileResult<RecordFile> RecordFile::open(const std::string& path, Access access) {
  const bool write = access == Access::Write;
  auto opened = File::open(path, write ? File::Mode::ReadWrite : File::Mode::Read,
                           write ? Lock::Exclusive : Lock::Shared);
  if (!opened) return Failed(opened.error());
  RecordFile file;
  file.file_ = std::move(*opened);
  const std::uint64_t size = file.file_.size();
  file.count_ = size / kRecordSize;
  file.damaged_ = size % kRecordSize != 0;
  if (write && file.damaged_)
    return Failed(FileError{path, FileError::Step::Write, FileError::kDamaged});
  return file;
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
  dirty_ = true;
  file_.writeAt(records, n * kRecordSize, count_ * kRecordSize);
  count_ += n;
}

void RecordFile::truncate(std::uint64_t records) {
  dirty_ = true;
  file_.truncate(records * kRecordSize);
  count_ = records;
}

FileResult<> CreateDataFile(const std::string& path, const TVocData& header) {
  return WriteWholeFile(path,
                        std::string_view(reinterpret_cast<const char*>(&header), kRecordSize));
}

}  // namespace merkhaus
