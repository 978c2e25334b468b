// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/record_file.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "platform/file_attribute.h"
#include "store/stored_numbers.h"

namespace merkhaus {
namespace {

// The journal: the magic, the DataFile's length in bytes before the change, the number of saved
// records, then per record its index and its 624 old bytes, and last a checksum (FNV-1a, 64 bits)
// of everything before it. Numbers are 8 bytes, least significant first. A journal whose
// checksum does not match was cut off while it was written, before the DataFile was touched.
constexpr std::string_view kJournalMagic = "MHJOURN1";
constexpr std::size_t kJournalHead = 8 + 8 + 8;
constexpr std::size_t kJournalEntry = 8 + kRecordSize;
// A journal that saves no record (an append's: its magic, the old length, a count of 0 and the
// checksum) is kept in this attribute of an empty journal file where the file system allows:
// such a file has no block to write, nor to free (and trim) when it goes.
constexpr const char* kJournalAttribute = "user.merkhaus.journal";

std::string EncodeJournal(std::uint64_t oldLength,
                          const std::vector<std::pair<std::uint64_t, TVocData>>& saved) {
  std::string out(kJournalMagic);
  out.reserve(kJournalHead + saved.size() * kJournalEntry + 8);
  PutNumber(out, oldLength);
  PutNumber(out, saved.size());
  for (const auto& [index, record] : saved) {
    PutNumber(out, index);
    out.append(reinterpret_cast<const char*>(&record), kRecordSize);
  }
  PutNumber(out, Checksum(out));
  return out;
}

struct Journal {
  std::uint64_t oldLength = 0;
  std::vector<std::pair<std::uint64_t, TVocData>> saved;
};

// The journal's content, or nothing when it is not complete.
std::optional<Journal> DecodeJournal(std::string_view in) {
  if (in.size() < kJournalHead + 8 || in.substr(0, kJournalMagic.size()) != kJournalMagic) {
    return std::nullopt;
  }
  const std::uint64_t n = GetNumber(in, 16);
  if (n > (in.size() - kJournalHead - 8) / kJournalEntry ||
      in.size() != kJournalHead + n * kJournalEntry + 8) {
    return std::nullopt;
  }
  const std::size_t body = in.size() - 8;
  if (Checksum(in.substr(0, body)) != GetNumber(in, body)) return std::nullopt;
  Journal journal;
  journal.oldLength = GetNumber(in, 8);
  journal.saved.resize(static_cast<std::size_t>(n));
  for (std::size_t i = 0; i < journal.saved.size(); ++i) {
    const std::size_t at = kJournalHead + i * kJournalEntry;
    journal.saved[i].first = GetNumber(in, at);
    std::memcpy(&journal.saved[i].second, in.data() + at + 8, kRecordSize);
  }
  return journal;
}

// Takes back the change that a journal left beside the DataFile records, on the DataFile opened
// for writing under its lock. A journal cut off while it was written is removed: the DataFile
// was not touched yet.
FileResult<> RollBackFromJournal(File& data, const std::string& journalPath) {
  auto opened = File::openOwn(journalPath);
  if (!opened) return Failed(opened.error());
  try {
    std::string bytes(static_cast<std::size_t>(opened->size()), '\0');
    opened->readExactly(bytes.data(), bytes.size(), 0);
    opened->close();
    if (bytes.empty()) bytes = OwnAttribute(journalPath, kJournalAttribute).value_or("");
    if (const std::optional<Journal> journal = DecodeJournal(bytes)) {
      // The index of the headers may describe the change being taken back; it goes first, for
      // good, as the times of the file may not reach the disk with its bytes.
      if (!ForgetHeaderIndex(data)) {
        return Failed(FileError{data.path(), FileError::Step::Write, errno});
      }
      const std::uint64_t records = journal->oldLength / kRecordSize;
      for (const auto& [index, record] : journal->saved) {
        if (index < records) data.writeAt(&record, kRecordSize, index * kRecordSize);
      }
      if (data.size() > journal->oldLength) data.truncate(journal->oldLength);
      data.sync();
      NoteRepair(FileRepair{data.path(), FileRepair::Kind::RolledBack, 0});
    }
  } catch (const IoError& e) {
    return Failed(e.error());
  }
  if (FileResult<> removed = RemoveFile(journalPath); !removed) return removed;
  SyncFolderOf(journalPath);
  return {};
}

}  // namespace

std::string JournalPath(const std::string& dataFilePath) {
  constexpr std::string_view kSuffix = "-journal";
  const std::size_t slash = dataFilePath.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string_view name = std::string_view(dataFilePath).substr(nameStart);
  if (name.size() + kSuffix.size() <= NAME_MAX) return dataFilePath + std::string(kSuffix);
  // A legal name too long to take the suffix: its start, cut on a character's first byte, and a
  // checksum of the whole name, so that each DataFile has a journal of its own.
  std::size_t keep = NAME_MAX - kSuffix.size() - 17;
  while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
    --keep;
  char sum[18];
  std::snprintf(sum, sizeof sum, "-%016llx", static_cast<unsigned long long>(Checksum(name)));
  return dataFilePath.substr(0, nameStart) + std::string(name.substr(0, keep)) + sum +
         std::string(kSuffix);
}

std::optional<FileError> WhyReadOnly(const std::string& path) {
  FileResult<File> file = File::open(path, File::Mode::ReadWrite, Lock::None);
  if (!file) {
    const int code = file.error().code;
    if (code != EACCES && code != EPERM && code != EROFS) return std::nullopt;
    FileError error = file.error();
    error.step = FileError::Step::Write;
    return error;
  }
  if (file->size() % kRecordSize != 0 && !PathExists(JournalPath(path))) {
    return FileError{path, FileError::Step::Write, FileError::kDamaged};
  }
  return std::nullopt;
}

FileResult<RecordFile> RecordFile::open(const std::string& path, Access access) {
  const bool write = access == Access::Write;
  const std::string journalPath = JournalPath(path);
  for (int attempt = 0;; ++attempt) {
    auto opened = File::open(path, write ? File::Mode::ReadWrite : File::Mode::Read,
                             write ? Lock::Exclusive : Lock::Shared);
    if (!opened) return Failed(opened.error());
    // Under the lock a journal can only be one that a crashed writer left behind.
    if (PathExists(journalPath)) {
      if (write) {
        if (FileResult<> back = RollBackFromJournal(*opened, journalPath); !back) {
          return Failed(back.error());
        }
      } else {
        // A reader takes the change back too, as a writer for that moment.
        opened->close();
        if (attempt >= 3) return Failed(FileError{path, FileError::Step::Open, FileError::kBusy});
        auto writer = File::open(path, File::Mode::ReadWrite, Lock::Exclusive);
        if (!writer) {
          FileError error = writer.error();
          if (error.code == EACCES || error.code == EPERM || error.code == EROFS) {
            error.code = FileError::kInterrupted;
          }
          return Failed(error);
        }
        if (PathExists(journalPath)) {
          if (FileResult<> back = RollBackFromJournal(*writer, journalPath); !back) {
            return Failed(back.error());
          }
        }
        continue;
      }
    }
    RecordFile file;
    file.file_ = std::move(*opened);
    file.writer_ = write;
    try {
      const std::uint64_t size = file.file_.size();
      file.count_ = size / kRecordSize;
      file.damaged_ = size % kRecordSize != 0;
      if (write && file.damaged_) {
        // Without a journal, a partial record at the end is the rest of an append that an older
        // program did not finish: nothing refers to it, and a file refused for it could never be
        // written (nor cleaned up) again.
        file.file_.truncate(file.count_ * kRecordSize);
        file.file_.sync();
        file.damaged_ = false;
        NoteRepair(FileRepair{path, FileRepair::Kind::TailCut, size % kRecordSize});
      }
    } catch (const IoError& e) {
      return Failed(e.error());
    }
    file.baseCount_ = file.count_;
    return file;
  }
}

RecordFile::~RecordFile() {
  close();
}

void RecordFile::beginJournal() {
  saved_.clear();
  saved_.reserve(pending_.size());
  for (const auto& [index, record] : pending_) {
    saved_.emplace_back(index, TVocData{});
    read(index, saved_.back().second);
  }
  const std::string bytes = EncodeJournal(baseCount_ * kRecordSize, saved_);
  const std::string journalPath = JournalPath(path());
  auto created = File::createNew(journalPath, 0600);
  if (!created) throw IoError(created.error());
  journal_ = std::move(*created);
  if (!saved_.empty() || !SetOwnAttribute(journalPath, kJournalAttribute, bytes)) {
    journal_.writeAt(bytes.data(), bytes.size(), 0);
  }
  // The DataFile's pages may reach the disk at any time once they are written, so the journal,
  // name included, must be there first.
  journal_.syncNew();
}

void RecordFile::applyPending() {
  // A header made in place of another record is one that an index kept with the file does not
  // name. Should the power fail, the record might reach the disk but not the file's new time: so
  // the index goes first, for good.
  for (const auto& [index, record] : pending_) {
    if (!IsUnitHeader(record)) continue;
    TVocData old;
    read(index, old);
    if (!IsUnitHeader(old)) {
      if (!ForgetHeaderIndex(file_))
        throw IoError(FileError{path(), FileError::Step::Write, errno});
      break;
    }
  }
  for (const auto& [index, record] : pending_) {
    dirty_ = true;
    file_.writeAt(&record, kRecordSize, index * kRecordSize);
  }
  pending_.clear();
}

void RecordFile::endJournal() {
  if (FileResult<> removed = RemoveFile(JournalPath(path())); !removed) {
    // Left in place, the journal would take back a change that was made later: the change is
    // taken back now (rollBack), so that the learner's "failed" holds.
    throw IoError(removed.error());
  }
  journal_.close();
  saved_.clear();
}

void RecordFile::finish() {
  if (!file_.isOpen()) return;
  if (!pending_.empty()) {
    if (!journal_.isOpen() && pending_.size() > 1) beginJournal();
    applyPending();
  }
  if (dirty_) file_.sync();
  if (journal_.isOpen()) endJournal();
  if (writer_ && headers_) KeepHeaderIndex(file_, *headers_, dirty_);
  file_.close();
  count_ = 0;
  damaged_ = false;
  dirty_ = false;
}

bool RecordFile::rollBack() noexcept {
  pending_.clear();
  // With a journal on the disk the DataFile is as it was, or becomes so when it is next opened;
  // without one, only a file not yet written is.
  bool ok = journal_.isOpen() || !dirty_;
  if (file_.isOpen() && journal_.isOpen()) {
    try {
      for (const auto& [index, record] : saved_) {
        file_.writeAt(&record, kRecordSize, index * kRecordSize);
      }
      file_.truncate(baseCount_ * kRecordSize);
      file_.sync();
      // A journal that cannot be removed takes the same change back once more, next time.
      static_cast<void>(RemoveFile(JournalPath(path())));
    } catch (const IoError&) {
      // The journal stays for the next opener.
    }
  }
  saved_.clear();
  journal_.close();
  file_.close();
  count_ = 0;
  damaged_ = false;
  dirty_ = false;
  return ok;
}

void RecordFile::close() noexcept {
  rollBack();
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
  if (index < count_) headers_.reset();
  if (index >= count_) {
    if (index != count_) throw std::logic_error("a record written beyond the end of a DataFile");
    append(&record, 1);
  } else if (index >= baseCount_) {
    // Added by this operation: the journal takes it back with the length.
    dirty_ = true;
    file_.writeAt(&record, kRecordSize, index * kRecordSize);
  } else if (journal_.isOpen()) {
    throw std::logic_error("a record changed in place after an append");
  } else {
    pending_[index] = record;
  }
}

void RecordFile::append(const TVocData* records, std::size_t n) {
  if (n == 0) return;
  if (!journal_.isOpen()) {
    beginJournal();
    applyPending();
  }
  dirty_ = true;
  file_.writeAt(records, n * kRecordSize, count_ * kRecordSize);
  if (headers_) {
    for (std::size_t i = 0; i < n; ++i) {
      if (IsUnitHeader(records[i])) {
        headers_->push_back({count_ + i, records[i].UnitID, records[i].Deleted});
      }
    }
  }
  count_ += n;
}

std::vector<std::pair<std::uint64_t, TVocData>> RecordFile::lessonHeaders() {
  std::vector<std::pair<std::uint64_t, TVocData>> found;
  if (std::optional<std::vector<IndexedHeader>> indexed = ReadHeaderIndex(file_)) {
    found.reserve(indexed->size());
    for (const IndexedHeader& h : *indexed) {
      TVocData r;
      if (h.record >= count_) break;
      read(h.record, r);
      if (!IsUnitHeader(r) || r.UnitID != h.unitId || r.Deleted != h.deleted) break;
      found.emplace_back(h.record, r);
    }
    if (found.size() == indexed->size()) {
      if (pending_.empty()) headers_ = std::move(indexed);
      return found;
    }
    found.clear();
  }
  std::vector<IndexedHeader> headers;
  scan(1, [&](std::uint64_t index, const TVocData& r) {
    if (IsUnitHeader(r)) {
      found.emplace_back(index, r);
      headers.push_back({index, r.UnitID, r.Deleted});
    }
    return true;
  });
  // Writes still to be made in place may change what is a header.
  if (pending_.empty()) headers_ = std::move(headers);
  return found;
}

FileResult<> CreateDataFile(const std::string& path, const TVocData& header, bool replace) {
  return WriteWholeFile(path, std::string_view(reinterpret_cast<const char*>(&header), kRecordSize),
                        replace ? Publish::ReplaceLink : Publish::NoReplace);
}

}  // namespace merkhaus
