// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_io.h"

#include "platform/file_attribute.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace merkhaus {
namespace {

std::vector<FileFault>& Faults() {
  static std::vector<FileFault> faults;
  return faults;
}

const FileFault* FindFault(const std::string& path, FileFault::At at) {
  for (const FileFault& f : Faults()) {
    if (f.at == at && f.path == path) return &f;
  }
  return nullptr;
}

// A fault that stands for a crash ends the program on the spot.
void KillIfAsked(const FileFault* f) {
  if (f && f->kill) std::_Exit(FileFault::kKilledStatus);
}

// The number of bytes a write of n bytes may still make before the seam's fault fires, or n.
std::size_t WritableBefore(const std::string& path, std::uint64_t written, std::size_t n,
                           int& code) {
  const FileFault* f = FindFault(path, FileFault::At::Write);
  if (!f) return n;
  code = f->code;
  if (written >= f->afterBytes) {
    KillIfAsked(f);
    return 0;
  }
  return static_cast<std::size_t>(std::min<std::uint64_t>(n, f->afterBytes - written));
}

bool FaultAt(const std::string& path, FileFault::At at, int& code) {
  const FileFault* f = FindFault(path, at);
  KillIfAsked(f);
  if (f && f->meanwhile) {
    f->meanwhile();
    return false;
  }
  if (f) code = f->code;
  return f != nullptr;
}

int KindCode(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return EISDIR;
  return S_ISREG(st.st_mode) ? 0 : FileError::kNotRegular;
}

// Waits for an advisory lock of the whole file, at most kLockWaitMs.
bool WaitForLock(int fd, Lock lock) {
  const int op = (lock == Lock::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockWaitMs);
  auto pause = std::chrono::milliseconds(2);
  for (;;) {
    if (::flock(fd, op) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

std::string Dirname(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// When this process began, near enough: a temporary file older than that was left by another.
const auto kStarted = std::chrono::system_clock::now();

constexpr std::string_view kTempPrefix = ".merkhaus-";
constexpr std::size_t kTempRandom = 6;

// A temporary file of this program by its name: ".merkhaus-XXXXXX", or the longer
// ".NAME.merkhaus-XXXXXX" of earlier versions.
bool IsTempName(std::string_view name) {
  if (name.size() < kTempPrefix.size() + kTempRandom || name[0] != '.') return false;
  const std::string_view tail = name.substr(name.size() - kTempRandom - kTempPrefix.size());
  return tail.substr(0, kTempPrefix.size()) == kTempPrefix;
}

// Removes the temporary files that a killed program left in the folder: regular files with the
// program's names, made before this process began, that no writer holds locked.
void SweepStaleTemps(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const int dirFd = ::dirfd(dir);
  // To the nanosecond: a program killed within the second in which this one began left files
  // that are older all the same.
  const auto started = kStarted.time_since_epoch();
  while (const dirent* e = ::readdir(dir)) {
    if (!IsTempName(e->d_name)) continue;
    const int fd = ::openat(dirFd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const auto modified =
        std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec);
    if (regular && modified < started && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      ::unlinkat(dirFd, e->d_name, 0);
    }
    ::close(fd);
  }
  ::closedir(dir);
}

// True when flushing a file that was just created puts its name on the disk as well, so that the
// folder needs no flush of its own. So on ext4 (with its journal, the name is committed with or
// before the file's own metadata; without, the flush writes the folders of a new file too), XFS
// and Btrfs (the flush logs the new name), F2FS, and memory. Elsewhere (FAT on a USB stick, for
// instance) the folder is flushed.
bool FlushCoversNewName(int fd) {
  struct statfs fs {};
  if (::fstatfs(fd, &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:      // ext4 (and ext2, ext3, which current kernels mount with it)
    case 0x58465342:  // XFS
    case 0x9123683E:  // Btrfs
    case 0xF2F52010:  // F2FS
    case 0x01021994:  // tmpfs
      return true;
    default:
      return false;
  }
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

}  // namespace

std::string FileReason(int code) {
  switch (code) {
    case FileError::kBusy:
      return "sie wird gerade von einem anderen Programm benutzt oder geändert";
    case FileError::kNotRegular:
      return "das ist keine gewöhnliche Datei (sondern etwa eine Pipe oder ein Gerät)";
    case FileError::kDamaged:
      return "die Datei ist beschädigt (ihre Länge ist kein Vielfaches von 624 Bytes)";
    case FileError::kShortRead:
      return "die Datei endet unerwartet";
    case FileError::kNoFolder:
      return "der Ordner ist nicht vorhanden";
    case ENOSPC:
    case EDQUOT:
      return "kein Speicherplatz mehr auf dem Datenträger";
    case EACCES:
    case EPERM:
      return "keine Berechtigung";
    case EROFS:
      return "das Dateisystem ist schreibgeschützt";
    case ENOENT:
      return "die Datei ist nicht vorhanden";
    case EISDIR:
      return "das ist ein Ordner";
    case ENOTDIR:
      return "ein Teil des Pfades ist kein Ordner";
    case ENAMETOOLONG:
      return "der Name ist zu lang";
    case ELOOP:
      return "zu viele symbolische Verknüpfungen";
    case EMFILE:
    case ENFILE:
      return "zu viele offene Dateien";
    case EFBIG:
      return "die Datei wird zu groß";
    case EBUSY:
    case ETXTBSY:
      return "die Datei wird gerade benutzt";
    case EIO:
      return "Ein-/Ausgabefehler des Datenträgers";
    case ENOMEM:
      return "nicht genügend Arbeitsspeicher";
    case EEXIST:
      return "eine Datei dieses Namens ist schon vorhanden";
    case FileError::kSymlink:
      return "das ist eine symbolische Verknüpfung";
    case FileError::kInterrupted:
      return "eine Änderung wurde abgebrochen und kann nicht zurückgenommen werden, da die Datei "
             "nicht geschrieben werden kann";
    default:
      return "Systemfehler " + std::to_string(code);
  }
}

std::string FileError::reason() const {
  return FileReason(code);
}

std::string FileError::text() const {
  const char* what = step == Step::Open   ? "geöffnet"
                     : step == Step::Read ? "gelesen"
                                          : "geschrieben";
  return "Die Datei \"" + path + "\" kann nicht " + what + " werden: " + reason() + ".";
}

std::string WithReason(const std::string& message, const FileError& error) {
  return message + "\n" + error.text();
}

IoError::IoError(FileError error) : std::runtime_error(error.text()), error_(std::move(error)) {}

IoError::IoError(FileError error, const std::string& text)
    : std::runtime_error(text), error_(std::move(error)) {}

// ---------------------------------------------------------------------------------------------
// File

File::~File() {
  close();
}

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)), written_(other.written_) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    written_ = other.written_;
  }
  return *this;
}

FileResult<File> File::open(const std::string& path, Mode mode, Lock lock) {
  FileError error{path, FileError::Step::Open, 0};
  if (FaultAt(path, FileFault::At::Open, error.code)) return Failed(error);
  if (mode == Mode::ReadWrite && FaultAt(path, FileFault::At::OpenToWrite, error.code)) {
    return Failed(error);
  }
  // Refused before opening: opening a device can have effects of its own.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    error.code = errno;
    return Failed(error);
  }
  if ((error.code = KindCode(st)) != 0) return Failed(error);

  const int flags = (mode == Mode::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  // A writer that renamed a new file into place while we waited leaves us the old one, which
  // nobody reads any more: open the path again.
  for (int attempt = 0; attempt < 5; ++attempt) {
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
      error.code = errno;
      return Failed(error);
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || (error.code = KindCode(opened)) != 0) {
      if (error.code == 0) error.code = errno;
      ::close(fd);
      return Failed(error);
    }
    if (lock != Lock::None) {
      if (!WaitForLock(fd, lock)) {
        error.code = errno == EWOULDBLOCK || errno == EINTR ? FileError::kBusy : errno;
        ::close(fd);
        return Failed(error);
      }
      struct stat now {};
      if (::stat(path.c_str(), &now) != 0 || now.st_ino != opened.st_ino ||
          now.st_dev != opened.st_dev) {
        ::close(fd);
        continue;
      }
    }
    File file;
    file.fd_ = fd;
    file.path_ = path;
    return file;
  }
  error.code = FileError::kBusy;
  return Failed(error);
}

FileResult<File> File::createNew(const std::string& path, unsigned permissions) {
  FileError error{path, FileError::Step::Write, 0};
  if (FaultAt(path, FileFault::At::Open, error.code)) return Failed(error);
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                        static_cast<mode_t>(permissions));
  if (fd < 0) {
    error.code = errno;
    return Failed(error);
  }
  File file;
  file.fd_ = fd;
  file.path_ = path;
  return file;
}

FileResult<File> File::openOwn(const std::string& path) {
  FileError error{path, FileError::Step::Open, 0};
  if (FaultAt(path, FileFault::At::Open, error.code)) return Failed(error);
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error.code = errno;
    return Failed(error);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || (error.code = KindCode(st)) != 0) {
    if (error.code == 0) error.code = errno;
    ::close(fd);
    return Failed(error);
  }
  File file;
  file.fd_ = fd;
  file.path_ = path;
  return file;
}

void File::close() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  fd_ = -1;
}

void File::fail(FileError::Step step, int code) const {
  throw IoError(FileError{path_, step, code});
}

std::uint64_t File::size() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) fail(FileError::Step::Read, errno);
  return static_cast<std::uint64_t>(st.st_size);
}

std::size_t File::readAt(void* buffer, std::size_t n, std::uint64_t offset) {
  int code = 0;
  if (FaultAt(path_, FileFault::At::Read, code)) fail(FileError::Step::Read, code);
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      fail(FileError::Step::Read, errno);
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void File::readExactly(void* buffer, std::size_t n, std::uint64_t offset) {
  if (readAt(buffer, n, offset) != n) fail(FileError::Step::Read, FileError::kShortRead);
}

void File::writeAt(const void* data, std::size_t n, std::uint64_t offset) {
  int code = 0;
  const std::size_t allowed = WritableBefore(path_, written_, n, code);
  const auto* in = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < allowed) {
    const ssize_t put = ::pwrite(fd_, in + done, allowed - done, static_cast<off_t>(offset + done));
    if (put < 0) {
      if (errno == EINTR) continue;
      written_ += done;
      fail(FileError::Step::Write, errno);
    }
    done += static_cast<std::size_t>(put);
  }
  written_ += done;
  if (done < n) {
    KillIfAsked(FindFault(path_, FileFault::At::Write));
    fail(FileError::Step::Write, code);
  }
}

void File::truncate(std::uint64_t size) {
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) fail(FileError::Step::Write, errno);
}

void File::sync() {
  int code = 0;
  if (FaultAt(path_, FileFault::At::Sync, code)) fail(FileError::Step::Write, code);
  if (::fdatasync(fd_) != 0) fail(FileError::Step::Write, errno);
}

void File::syncNew() {
  int code = 0;
  if (FaultAt(path_, FileFault::At::Sync, code)) fail(FileError::Step::Write, code);
  // The metadata too, as a small file may keep its bytes in an attribute.
  if (::fsync(fd_) != 0) fail(FileError::Step::Write, errno);
  if (!FlushCoversNewName(fd_)) SyncFolderOf(path_);
}

bool SetOwnAttribute(const std::string& path, const char* name, std::string_view bytes) {
  int code = 0;
  if (WritableBefore(path, 0, bytes.size(), code) < bytes.size()) {
    KillIfAsked(FindFault(path, FileFault::At::Write));
    throw IoError(FileError{path, FileError::Step::Write, code});
  }
  if (::lsetxattr(path.c_str(), name, bytes.data(), bytes.size(), 0) == 0) return true;
  if (errno == ENOTSUP || errno == EOPNOTSUPP || errno == ENOSYS || errno == E2BIG ||
      errno == ERANGE || errno == EPERM) {
    return false;
  }
  throw IoError(FileError{path, FileError::Step::Write, errno});
}

std::optional<std::string> OwnAttribute(const std::string& path, const char* name) {
  std::string bytes(256, '\0');
  const ssize_t n = ::lgetxattr(path.c_str(), name, bytes.data(), bytes.size());
  if (n < 0) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(n));
  return bytes;
}

void File::startWriteback() {
  if (fd_ >= 0) ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
}

FileReadBuffer::int_type FileReadBuffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  std::size_t n = 0;
  try {
    n = file_.readAt(block_, sizeof block_, offset_);
  } catch (const IoError& e) {
    error_ = e.error();
    throw;  // the stream turns it into its bad state
  }
  if (n == 0) return traits_type::eof();
  offset_ += n;
  setg(block_, block_, block_ + n);
  return traits_type::to_int_type(*gptr());
}

bool PathExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

PathKind KindOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? PathKind::Missing : PathKind::Other;
  if (S_ISREG(st.st_mode)) return PathKind::Regular;
  return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::Other;
}

// ---------------------------------------------------------------------------------------------
// AtomicFile

AtomicFile::~AtomicFile() {
  discard();
}

void AtomicFile::discard() {
  linked_ = false;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

tl::unexpected<FileError> AtomicFile::failWith(FileError::Step step, int code) {
  discard();
  return Failed(FileError{shown_, step, code});
}

FileResult<> AtomicFile::create(const std::string& target, Publish publish) {
  discard();
  shown_ = target;
  target_ = target;
  publish_ = publish;
  int code = 0;
  if (FaultAt(shown_, FileFault::At::Open, code)) return failWith(FileError::Step::Write, code);

  struct stat link {};
  const bool isLink = ::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
  if (isLink && publish == Publish::RefuseLink) {
    return failWith(FileError::Step::Write, FileError::kSymlink);
  }
  if (isLink && (publish == Publish::Replace || publish == Publish::RefuseLink)) {
    // Replace the file the link names, so that the learner's link keeps working. A dangling
    // link is replaced itself.
    char resolved[PATH_MAX];
    if (::realpath(target.c_str(), resolved)) target_ = resolved;
  }
  mode_t mode = 0666 & ~CurrentUmask();
  // What is replaced: the file itself or the one a link names; a link replaced itself (or a
  // dangling one) has no bits to keep.
  if (publish != Publish::NoReplace && (!isLink || target_ != target)) {
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
      if ((code = KindCode(st)) != 0) return failWith(FileError::Step::Write, code);
      // A file the learner made read-only is not replaced behind their back.
      if ((st.st_mode & S_IWUSR) == 0) return failWith(FileError::Step::Write, EACCES);
      mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
      return failWith(FileError::Step::Write, errno);
    }
  }

  const std::string folder = Dirname(target_);
  SweepStaleTemps(folder);
  std::string pattern = folder + "/" + std::string(kTempPrefix) + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  // mkostemp creates the file exclusively: an existing name, a planted link included, is
  // never opened.
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    return failWith(FileError::Step::Write, errno == ENOENT ? FileError::kNoFolder : errno);
  }
  fd_ = fd;
  temp_ = name.data();
  written_ = 0;
  // Held until the file is in place or gone: a sweep of another program leaves it alone.
  ::flock(fd_, LOCK_EX | LOCK_NB);
  if (::fchmod(fd_, mode) != 0) return failWith(FileError::Step::Write, errno);
  return {};
}

FileResult<> AtomicFile::write(const void* data, std::size_t n) {
  int code = 0;
  const std::size_t allowed = WritableBefore(shown_, written_, n, code);
  const auto* in = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < allowed) {
    const ssize_t put = ::write(fd_, in + done, allowed - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return failWith(FileError::Step::Write, errno);
    }
    done += static_cast<std::size_t>(put);
  }
  written_ += done;
  if (done < n) {
    KillIfAsked(FindFault(shown_, FileFault::At::Write));
    return failWith(FileError::Step::Write, code);
  }
  return {};
}

FileResult<> AtomicFile::copyFrom(File& source, std::uint64_t offset, std::uint64_t n) {
  int code = 0;
  const std::uint64_t allowed = WritableBefore(shown_, written_, static_cast<std::size_t>(n), code);
  const std::uint64_t end = written_ + allowed;
  bool inKernel = true;
  std::vector<char> block;
  while (written_ < end) {
    const std::uint64_t done = allowed - (end - written_);
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(end - written_, 1u << 30));
    if (inKernel) {
      auto from = static_cast<off_t>(offset + done);
      const ssize_t put = ::copy_file_range(source.fd_, &from, fd_, nullptr, want, 0);
      if (put > 0) {
        written_ += static_cast<std::uint64_t>(put);
        continue;
      }
      if (put < 0 && errno == EINTR) continue;
      if (put == 0) source.fail(FileError::Step::Read, FileError::kShortRead);
      if (errno == EIO) source.fail(FileError::Step::Read, errno);
      if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
        return failWith(FileError::Step::Write, errno);
      }
      // Across file systems, or where the kernel cannot: the bytes pass through a buffer.
      inKernel = false;
      block.resize(std::size_t{4} << 20);
    }
    const std::size_t got =
        source.readAt(block.data(), std::min(want, block.size()), offset + done);
    if (got == 0) source.fail(FileError::Step::Read, FileError::kShortRead);
    for (std::size_t put = 0; put < got;) {
      const ssize_t w = ::write(fd_, block.data() + put, got - put);
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) return failWith(FileError::Step::Write, errno);
      put += static_cast<std::size_t>(w);
      written_ += static_cast<std::uint64_t>(w);
    }
  }
  if (allowed < n) return failWith(FileError::Step::Write, code);
  return {};
}

bool AtomicFile::linkFrom(File& source) {
  if (fd_ < 0 || written_ != 0 || source.fd_ < 0 ||
      FindFault(shown_, FileFault::At::Write) != nullptr) {
    return false;
  }
  const std::uint64_t size = source.size();
  // The link gets a unique name of its own first and then takes the place of the empty
  // temporary file in one rename, so that the temporary name is never free for another file.
  std::string pattern = temp_.substr(0, temp_.size() - 6) + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int probe = ::mkostemp(name.data(), O_CLOEXEC);
  if (probe < 0) return false;
  ::close(probe);
  ::unlink(name.data());
  // The file that is open (and locked), not whatever its path names by now.
  const std::string open = "/proc/self/fd/" + std::to_string(source.fd_);
  if (::linkat(AT_FDCWD, open.c_str(), AT_FDCWD, name.data(), AT_SYMLINK_FOLLOW) != 0) {
    return false;
  }
  const int fd = ::dup(source.fd_);
  if (fd < 0 || ::rename(name.data(), temp_.c_str()) != 0) {
    if (fd >= 0) ::close(fd);
    ::unlink(name.data());
    return false;
  }
  ::close(fd_);
  fd_ = fd;
  written_ = size;
  linked_ = true;
  return true;
}

void AtomicFile::startWriteback() {
  if (fd_ >= 0) ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
}

FileResult<> AtomicFile::commit() {
  int code = 0;
  if (FaultAt(shown_, FileFault::At::Sync, code)) return failWith(FileError::Step::Write, code);
  if (::fsync(fd_) != 0) return failWith(FileError::Step::Write, errno);
  if (FaultAt(shown_, FileFault::At::Rename, code)) return failWith(FileError::Step::Write, code);
  if (publish_ == Publish::NoReplace) {
    if (::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) != 0) {
      if (errno != EINVAL && errno != ENOSYS) return failWith(FileError::Step::Write, errno);
      // A file system without it: a hard link is made only where no name is, too.
      if (::link(temp_.c_str(), target_.c_str()) != 0) {
        return failWith(FileError::Step::Write, errno);
      }
      ::unlink(temp_.c_str());
    }
  } else if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    return failWith(FileError::Step::Write, errno);
  }
  // A rename between two names of one file leaves both; the temporary one goes.
  if (linked_) {
    struct stat st {
    }, own{};
    if (::stat(temp_.c_str(), &st) == 0 && ::fstat(fd_, &own) == 0 && st.st_ino == own.st_ino &&
        st.st_dev == own.st_dev) {
      ::unlink(temp_.c_str());
    }
  }
  temp_.clear();
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) return failWith(FileError::Step::Write, errno);
  // The new name is only safe once the folder is on the disk too.
  const int dir = ::open(Dirname(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

std::string FileRepair::text() const {
  if (kind == Kind::TailCut) {
    return "Das DataFile \"" + path + "\" endete in einem unvollständigen Datensatz; die letzten " +
           std::to_string(bytes) + " Bytes wurden entfernt.";
  }
  return "Das DataFile \"" + path +
         "\" wurde nach einem Abbruch wiederhergestellt: die abgebrochene Änderung wurde "
         "zurückgenommen.";
}

namespace {
std::vector<FileRepair>& Repairs() {
  static std::vector<FileRepair> repairs;
  return repairs;
}
}  // namespace

void NoteRepair(FileRepair repair) {
  Repairs().push_back(std::move(repair));
}

std::vector<FileRepair> TakeRepairs() {
  return std::exchange(Repairs(), {});
}

FileResult<> RemoveFile(const std::string& path) {
  int code = 0;
  if (FaultAt(path, FileFault::At::Remove, code)) {
    return Failed(FileError{path, FileError::Step::Write, code});
  }
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
    return Failed(FileError{path, FileError::Step::Write, errno});
  }
  return {};
}

void SyncFolderOf(const std::string& path) {
  const int dir = ::open(Dirname(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

bool CanCreateFilesIn(const std::string& folder) {
  int code = 0;
  if (FaultAt(folder, FileFault::At::Open, code)) return false;
  std::string name = folder + "/.merkhaus-write-probe-XXXXXX";
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(name.c_str());
  return true;
}

FileResult<> WriteWholeFile(const std::string& path, std::string_view bytes, Publish publish) {
  AtomicFile file;
  return file.create(path, publish).and_then([&] { return file.write(bytes); }).and_then([&] {
    return file.commit();
  });
}

// ---------------------------------------------------------------------------------------------
// The test seam

void InjectFileFault(const FileFault& fault) {
  Faults().push_back(fault);
}

void ClearFileFaults() {
  Faults().clear();
}

}  // namespace merkhaus
