// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <tl/expected.hpp>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace merkhaus {

// Every file the program reads or writes goes through this layer: it opens only regular files
// (a FIFO, a device or a folder is refused at once, never waited on), takes the advisory locks
// that keep two programs from changing a DataFile at the same time, writes whole files through
// a temporary file, and tells every failure in German with the file's path and the reason.

// What went wrong with a file.
struct FileError {
  enum class Step { Open, Read, Write };
  // Reasons of the program's own, beside the errno values.
  static constexpr int kBusy = -1;        // another program holds the lock
  static constexpr int kNotRegular = -2;  // a FIFO, a device, a socket
  static constexpr int kDamaged = -3;     // a DataFile whose length is no multiple of a record
  static constexpr int kShortRead = -4;   // the file ended before the data did
  static constexpr int kNoFolder = -5;    // the folder to write into is not there
  // A change of the DataFile was cut off and cannot be taken back, as the file cannot be written.
  static constexpr int kInterrupted = -6;
  static constexpr int kSymlink = -7;  // a symbolic link where none may be

  std::string path;
  Step step = Step::Open;
  int code = 0;

  // The reason alone, e.g. "kein Speicherplatz mehr auf dem Datenträger".
  std::string reason() const;
  // A whole sentence, e.g. 'Die Datei "/home/a/vok.fid" kann nicht geschrieben werden: kein
  // Speicherplatz mehr auf dem Datenträger.'
  std::string text() const;
};

// What the file layer yields: the value, or what went wrong with which file.
template <class T = void>
using FileResult = tl::expected<T, FileError>;

inline tl::unexpected<FileError> Failed(FileError error) {
  return tl::unexpected<FileError>(std::move(error));
}

// A message of the program followed, on a line of its own, by the file's path and the reason,
// so that the learner knows what went wrong where.
std::string WithReason(const std::string& message, const FileError& error);

// The German reason of an errno value (or of one of FileError's own codes).
std::string FileReason(int code);

// An input or output error after a file was opened. It ends the learner's current action with
// one error box (RunAction) or the tool's command with its text.
class IoError : public std::runtime_error {
 public:
  explicit IoError(FileError error);
  IoError(FileError error, const std::string& text);
  const FileError& error() const { return error_; }

 private:
  FileError error_;
};

enum class Lock { None, Shared, Exclusive };

// How long a program waits for another one to finish with a DataFile.
inline constexpr int kLockWaitMs = 3000;

// One open file. Reads and writes at an offset; every failure after opening throws IoError.
class File {
 public:
  enum class Mode { Read, ReadWrite };

  // Opens an existing regular file. With a lock, waits at most kLockWaitMs for it (shared locks
  // for readers, an exclusive one for a writer) and then gives up with FileError::kBusy; a file
  // that was replaced while waiting is opened again.
  static FileResult<File> open(const std::string& path, Mode mode, Lock lock);
  // Creates a new file for reading and writing, exclusively: an existing name, a symbolic link
  // included, is never opened. The permission bits are those of a new file, less the umask.
  static FileResult<File> createNew(const std::string& path, unsigned permissions);
  // Opens a file of the program's own for reading, never through a symbolic link, without a lock.
  static FileResult<File> openOwn(const std::string& path);

  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  void close();
  bool isOpen() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }

  std::uint64_t size() const;
  // Reads up to n bytes; fewer only at the end of the file. Returns the number read.
  std::size_t readAt(void* buffer, std::size_t n, std::uint64_t offset);
  // Reads exactly n bytes, or throws (kShortRead when the file ends first).
  void readExactly(void* buffer, std::size_t n, std::uint64_t offset);
  void writeAt(const void* data, std::size_t n, std::uint64_t offset);
  void truncate(std::uint64_t size);
  // Waits until the data written so far is on the disk.
  void sync();
  // Puts a file this process has just created (createNew) on the disk whole: its bytes, its
  // attributes and its name in the folder, so that nothing of it is lost in a power cut.
  void syncNew();
  // Asks the kernel to start writing what is not on the disk yet, without waiting for it: a
  // later sync then waits less.
  void startWriteback();
  // The system's handle of the open file, for calls on this very file rather than on a path
  // that may name another by now (the store's header index: its attribute and times).
  int descriptor() const { return fd_; }

 private:
  [[noreturn]] void fail(FileError::Step step, int code) const;
  friend class AtomicFile;  // copies from a File without passing the bytes through a buffer

  int fd_ = -1;
  std::string path_;
  std::uint64_t written_ = 0;  // for the test seam's "fail after N bytes"
};

// A stream buffer that reads an open File from its start, for the text readers. A read error
// makes the stream bad; error() then tells it.
class FileReadBuffer : public std::streambuf {
 public:
  explicit FileReadBuffer(File& file) : file_(file) {}
  const FileError& error() const { return error_; }

 protected:
  int_type underflow() override;

 private:
  File& file_;
  FileError error_;
  std::uint64_t offset_ = 0;
  char block_[65536];
};

enum class PathKind { Missing, Regular, Folder, Other };

// True when anything is at the path, a dangling symbolic link included.
bool PathExists(const std::string& path);

// What is at a path, following symbolic links. A path that cannot be examined counts as Other.
PathKind KindOf(const std::string& path);

// How a file written whole takes its place.
enum class Publish {
  // Replaces what is there; a symbolic link keeps working: the file it names is replaced.
  Replace,
  // Replaces what is there; a symbolic link there is replaced by the new file, never written
  // through (an export or a new DataFile the learner chose to overwrite).
  ReplaceLink,
  // Only where nothing is yet, checked and published in one step (no file, no link that appears
  // meanwhile is ever overwritten); otherwise fails with EEXIST.
  NoReplace,
  // As Replace, but a symbolic link at the target is refused (kSymlink).
  RefuseLink,
};

// A file written whole. The bytes go to a temporary file with a short name of its own
// (".merkhaus-XXXXXX", so that a legal name of any length can be written), created exclusively
// in the target's folder and locked while it is written; commit() flushes it to the disk, gives it
// the permission bits of the file it replaces, puts it in place as `Publish` says and syncs the
// folder. Until then, and after any failure, the old file is untouched; an uncommitted temporary
// file is removed when the object goes. Temporary files that a killed program left in the folder
// (older than this process, locked by nobody) are removed when a new one is made there.
class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Fails when the target exists but is no regular file (a FIFO, a device, a folder) or the
  // temporary file cannot be created.
  FileResult<> create(const std::string& target, Publish publish = Publish::Replace);
  FileResult<> write(const void* data, std::size_t n);
  FileResult<> write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }
  // Appends n bytes of `source` from `offset` on, copied inside the kernel (copy_file_range)
  // where the file systems allow, otherwise in large blocks. A read error of the source throws
  // IoError, as File's reads do; a write error is returned.
  FileResult<> copyFrom(File& source, std::uint64_t offset, std::uint64_t n);
  // Instead of a copy of `source` (nothing written yet), its second name: where the file system
  // allows it, the new file is a hard link to it and commit() flushes and publishes that, with
  // no byte copied. False where it cannot (another file system, no links there, or a failing
  // write injected by the test seam): the caller copies then.
  bool linkFrom(File& source);
  // As File::startWriteback.
  void startWriteback();
  FileResult<> commit();

 private:
  tl::unexpected<FileError> failWith(FileError::Step step, int code);
  void discard();

  std::string target_;  // the file to replace (a link resolved)
  std::string shown_;   // the path as the caller named it, for messages and the test seam
  std::string temp_;
  int fd_ = -1;
  std::uint64_t written_ = 0;
  Publish publish_ = Publish::Replace;
  bool linked_ = false;  // the file is a second name of another (linkFrom)
};

// What opening a DataFile mended before an operation could run on it. The file layer and the
// store never talk to the learner: they note the repair here, and whoever ends the learner's
// action (RunAction, merkhaus-tool) takes the notes and tells them, once each.
struct FileRepair {
  enum class Kind {
    RolledBack,  // a change cut off by a crash was taken back from its journal
    TailCut,     // a partial record at the end (written by an older program) was cut away
  };
  std::string path;
  Kind kind = Kind::RolledBack;
  std::uint64_t bytes = 0;  // TailCut: the bytes dropped

  // The sentence for the learner, naming the file.
  std::string text() const;
};
void NoteRepair(FileRepair repair);
// The repairs noted since the last call, oldest first.
std::vector<FileRepair> TakeRepairs();

// Removes a file the program made itself (a journal, a temporary file). Only the seam fails it.
FileResult<> RemoveFile(const std::string& path);
// Puts the folder holding `path` on the disk, so that a file created or removed there stays so.
void SyncFolderOf(const std::string& path);

// True when a file can be created in the folder: a probe with a name of its own is created
// exclusively (so no planted link is ever written through) and removed again.
bool CanCreateFilesIn(const std::string& folder);

// Writes a whole file through AtomicFile.
FileResult<> WriteWholeFile(const std::string& path, std::string_view bytes,
                            Publish publish = Publish::Replace);

// The test seam of the file layer: files that fail as a full disk, a broken device or a missing
// permission would make them fail, without root tricks. A fault applies to a path exactly as it
// is handed to the layer (for a file written whole: its target's path).
struct FileFault {
  // OpenToWrite: only opening an existing file for writing fails (a write-protected file that
  // can still be read).
  enum class At { Open, OpenToWrite, Read, Write, Sync, Rename, Remove };
  std::string path;
  At at = At::Open;
  std::uint64_t afterBytes = 0;  // At::Write: the bytes that still get written
  int code = EIO;
  // The program stops dead where the fault fires (as kill -9 would stop it: no clean-up, no
  // destructor), with exit status kKilledStatus, instead of failing with `code`. Tests reach
  // every point of a write at which a crash can come this way, in a child process.
  bool kill = false;
  static constexpr int kKilledStatus = 137;
  // When set, the fault does not fail: it runs this at its point and the operation goes on (a
  // test plants a file or a link at the very moment, e.g. right before publishing).
  std::function<void()> meanwhile = {};
};
void InjectFileFault(const FileFault& fault);
void ClearFileFaults();

}  // namespace merkhaus
