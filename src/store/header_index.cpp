// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/header_index.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "store/stored_numbers.h"

namespace merkhaus {
namespace {

// The attribute: the magic, the stamp (device, inode, length, seconds, nanoseconds), the number
// of headers, then per header the distance of its record from the one before (from record 0 for
// the first) as a base-128 number, its UnitID and its Deleted byte; last a checksum (FNV-1a, 64
// bits) of everything before it. Fixed numbers are 8 bytes, least significant first. A few
// hundred lessons take about a kilobyte, which every file system that has attributes holds.
constexpr std::string_view kMagic = "MHHEADS1";
constexpr std::size_t kFixed = 8 + 6 * 8;

// File systems on this machine whose times are stamped by this machine's clock and kept to the
// nanosecond (ext4 with small inodes keeps seconds only: the times are checked besides).
bool KeepsExactLocalTimes(File& file) {
  struct statfs fs {};
  if (::fstatfs(file.descriptor(), &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC:  // also ext2 and ext3
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case F2FS_SUPER_MAGIC:
      return true;
    default:
      return false;
  }
}

bool Before(const FileStamp& stamp, const timespec& t) {
  return stamp.seconds < t.tv_sec || (stamp.seconds == t.tv_sec && stamp.nanoseconds < t.tv_nsec);
}

void RemoveIndex(File& file) {
  static_cast<void>(::fremovexattr(file.descriptor(), kHeaderIndexAttribute));
}

}  // namespace

std::string EncodeHeaderIndex(const HeaderIndex& index) {
  std::string out(kMagic);
  PutNumber(out, index.stamp.device);
  PutNumber(out, index.stamp.inode);
  PutNumber(out, index.stamp.size);
  PutNumber(out, static_cast<std::uint64_t>(index.stamp.seconds));
  PutNumber(out, static_cast<std::uint64_t>(index.stamp.nanoseconds));
  PutNumber(out, index.headers.size());
  std::uint64_t previous = 0;
  for (const IndexedHeader& h : index.headers) {
    for (std::uint64_t d = h.record - previous;; d >>= 7) {
      if (d < 0x80) {
        out.push_back(static_cast<char>(d));
        break;
      }
      out.push_back(static_cast<char>(0x80 | (d & 0x7F)));
    }
    out.push_back(static_cast<char>(h.unitId));
    out.push_back(static_cast<char>(h.deleted));
    previous = h.record;
  }
  PutNumber(out, Checksum(out));
  return out;
}

std::optional<HeaderIndex> DecodeHeaderIndex(std::string_view in) {
  if (in.size() < kFixed + 8 || in.substr(0, kMagic.size()) != kMagic) return std::nullopt;
  const std::size_t body = in.size() - 8;
  if (Checksum(in.substr(0, body)) != GetNumber(in, body)) return std::nullopt;
  HeaderIndex index;
  index.stamp.device = GetNumber(in, 8);
  index.stamp.inode = GetNumber(in, 16);
  index.stamp.size = GetNumber(in, 24);
  index.stamp.seconds = static_cast<std::int64_t>(GetNumber(in, 32));
  index.stamp.nanoseconds = static_cast<std::int64_t>(GetNumber(in, 40));
  const std::uint64_t count = GetNumber(in, 48);
  // Each header takes three bytes at least.
  if (count > (body - kFixed) / 3) return std::nullopt;
  index.headers.reserve(static_cast<std::size_t>(count));
  std::size_t at = kFixed;
  std::uint64_t record = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    std::uint64_t distance = 0;
    for (int shift = 0;; shift += 7) {
      if (at >= body || shift > 63) return std::nullopt;
      const auto byte = static_cast<unsigned char>(in[at++]);
      distance |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) break;
    }
    // Ascending, none at record 0, no overflow.
    if (distance == 0 || record + distance < record || at + 2 > body) return std::nullopt;
    record += distance;
    index.headers.push_back(
        {record, static_cast<std::uint8_t>(in[at]), static_cast<std::uint8_t>(in[at + 1])});
    at += 2;
  }
  if (at != body) return std::nullopt;
  return index;
}

std::optional<FileStamp> StampOf(File& file) {
  struct stat st {};
  if (::fstat(file.descriptor(), &st) != 0) return std::nullopt;
  return FileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                   static_cast<std::uint64_t>(st.st_size), st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

std::optional<std::vector<IndexedHeader>> ReadHeaderIndex(File& file) {
  const int fd = file.descriptor();
  std::string bytes(4096, '\0');
  ssize_t n = ::fgetxattr(fd, kHeaderIndexAttribute, bytes.data(), bytes.size());
  if (n < 0 && errno == ERANGE) {
    n = ::fgetxattr(fd, kHeaderIndexAttribute, nullptr, 0);
    if (n <= 0) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(n));
    n = ::fgetxattr(fd, kHeaderIndexAttribute, bytes.data(), bytes.size());
  }
  if (n < 0) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(n));
  std::optional<HeaderIndex> index = DecodeHeaderIndex(bytes);
  if (!index) return std::nullopt;
  const std::optional<FileStamp> now = StampOf(file);
  if (!now || *now != index->stamp) return std::nullopt;
  return std::move(index->headers);
}

void KeepHeaderIndex(File& file, const std::vector<IndexedHeader>& headers, bool changed) noexcept {
  if (!KeepsExactLocalTimes(file)) return RemoveIndex(file);
  std::optional<FileStamp> stamp = StampOf(file);
  if (!stamp) return RemoveIndex(file);
  // The clock that stamps writes moves in ticks; every later write is given the tick it falls
  // in (or, on newer kernels, a finer time still later).
  timespec tick{};
  ::clock_gettime(CLOCK_REALTIME_COARSE, &tick);
  // A time of whole seconds may come from a file system that keeps no more.
  const bool settled = stamp->nanoseconds != 0 && Before(*stamp, tick);
  if (!settled) {
    // The file's time may be the tick of this instant, which a later write could be given too:
    // only a writer that has just changed the file may move its time to the present instant.
    if (!changed) return RemoveIndex(file);
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    ::clock_gettime(CLOCK_REALTIME_COARSE, &tick);
    // A clock that moves in ticks only gives no instant between two of them.
    if ((tick.tv_sec == now.tv_sec && tick.tv_nsec == now.tv_nsec) || now.tv_nsec == 0) {
      return RemoveIndex(file);
    }
    const timespec times[2] = {{0, UTIME_OMIT}, now};
    if (::futimens(file.descriptor(), times) != 0) return RemoveIndex(file);
    stamp = StampOf(file);
    // Kept as set, not cut to a coarser unit.
    if (!stamp || stamp->seconds != now.tv_sec || stamp->nanoseconds != now.tv_nsec) {
      return RemoveIndex(file);
    }
  }
  const std::string bytes = EncodeHeaderIndex({*stamp, headers});
  if (::fsetxattr(file.descriptor(), kHeaderIndexAttribute, bytes.data(), bytes.size(), 0) != 0) {
    RemoveIndex(file);
  }
}

bool ForgetHeaderIndex(File& file) noexcept {
  if (::fremovexattr(file.descriptor(), kHeaderIndexAttribute) != 0) {
    return errno == ENODATA || errno == ENOTSUP || errno == EOPNOTSUPP;
  }
  return ::fsync(file.descriptor()) == 0;
}

}  // namespace merkhaus
