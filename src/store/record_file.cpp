#include "store/record_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace merkhaus {

RecordFile::~RecordFile() {
  close();
}

bool RecordFile::open(const std::string& path, bool readOnly) {
  close();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  file_ = std::fopen(path.c_str(), readOnly ? "rb" : "r+b");
  if (!file_) return false;
  // Unbuffered: every block read or record write is exactly one system call, and a failed write
  // is seen at once rather than at close.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  path_ = path;
  if (std::fseek(file_, 0, SEEK_END) != 0) fail("Suchen");
  const long size = std::ftell(file_);
  if (size < 0) fail("Suchen");
  count_ = static_cast<std::uint64_t>(size) / kRecordSize;
  return true;
}

void RecordFile::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  count_ = 0;
}

void RecordFile::fail(const char* what) {
  const int err = errno;
  std::string text = std::string("Ein-/Ausgabefehler (") + what + ") in der Datei \"" + path_ +
                     "\": " + (err ? std::strerror(err) : "unerwartetes Dateiende");
  throw IoError(text);
}

void RecordFile::seek(std::uint64_t index) {
  errno = 0;
  if (std::fseek(file_, static_cast<long>(index * kRecordSize), SEEK_SET) != 0) fail("Suchen");
}

void RecordFile::readBlock(std::uint64_t first, std::size_t n, TVocData* out) {
  if (first + n > count_) {
    errno = 0;
    fail("Lesen");
  }
  seek(first);
  errno = 0;
  if (std::fread(out, kRecordSize, n, file_) != n) fail("Lesen");
}

void RecordFile::read(std::uint64_t index, TVocData& out) {
  readBlock(index, 1, &out);
}

void RecordFile::write(std::uint64_t index, const TVocData& record) {
  seek(index);
  errno = 0;
  if (std::fwrite(&record, kRecordSize, 1, file_) != 1) fail("Schreiben");
  if (index >= count_) count_ = index + 1;
}

void RecordFile::append(const TVocData* records, std::size_t n) {
  const std::uint64_t before = count_;
  seek(before);
  errno = 0;
  if (std::fwrite(records, kRecordSize, n, file_) != n || std::fflush(file_) != 0) {
    const int err = errno;
    std::error_code ec;
    std::filesystem::resize_file(path_, before * kRecordSize, ec);
    errno = err;
    fail("Schreiben");
  }
  count_ = before + n;
}

void RecordFile::truncate(std::uint64_t records) {
  std::error_code ec;
  std::filesystem::resize_file(path_, records * kRecordSize, ec);
  if (ec) {
    errno = ec.value();
    fail("Kürzen");
  }
  count_ = records;
}

bool CreateDataFile(const std::string& path, const TVocData& header) {
  // Written beside the target and renamed into place: a file that is being replaced stays intact
  // until the new one is complete.
  const std::string temp = path + ".merkhaus-neu";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(&header, kRecordSize, 1, f) == 1;
  const bool closed = std::fclose(f) == 0;
  std::error_code ec;
  if (written && closed) {
    std::filesystem::rename(temp, path, ec);
    if (!ec) return true;
  }
  std::filesystem::remove(temp, ec);
  return false;
}

}  // namespace merkhaus
