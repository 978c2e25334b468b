// SPDX-License-Identifier: GPL-3.0-or-later
// Reading KVTML as a stream. The document passes through the parser block by block (libxml2 for
// the usual document, expat for every other: LibxmlRead); the texts of each entry go, when its
// element closes, to a second thread that converts them into a record while the parser reads on,
// and parks the record packed (the bytes its texts use) in memory up to a bound and in a scratch
// file beyond it. What stays in memory is the shape of the document (which entries each lesson
// holds), a few bytes per entry: a document of any size imports with the same small buffers.
// Parsing is the larger half of the work, so its thread does little else: the UTF-8 check of the
// document runs in the converting thread, and the records are unpacked for the write in a thread
// of their own.
//
// Two generations of the format are read:
//   KVTML 2.0: <kvtml version="2.0"><entries><entry id="0"><translation id="0"><text>…
//              and <lessons><container><name>…</name><entry id="0"/></container></lessons>
//   KVTML 1.0: <kvtml title="…"><lesson><desc no="1">Name</desc></lesson>
//              <e m="1"><o>foreign</o><t>native</t></e></kvtml>
//              (KWordQuiz's and KVocTrain's older files; m names the lesson, by its desc number)

#include <expat.h>
#include <libxml/parser.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <exception>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <type_traits>
#include <unordered_map>

#include "maintenance/kvtml_transfer.h"
#include "maintenance/source_text.h"
#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "platform/shared_library.h"
#include "store/stored_numbers.h"
#include "text/text_rules.h"

namespace merkhaus {
namespace {

// Bytes of the document read and parsed at once: a little less than 1 MiB, so that expat's
// buffer, which also keeps the unparsed end of the block before, stays at 1 MiB.
constexpr std::size_t kChunk = (std::size_t{1} << 20) - (std::size_t{64} << 10);
// Records handed to the DataFile at once.
constexpr std::size_t kBlockRecords = 256;

using Refusal = tl::unexpected<ImportRefusal>;

// Finds the first line that is not valid UTF-8 while the document passes through in blocks (a
// character may be split between two blocks).
class Utf8Check {
 public:
  void add(std::string_view bytes) {
    if (broken_ != 0) return;
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
      if (need_ == 0) {
        // Most of a document is ASCII: 32 bytes at a time while no high bit is set.
        std::uint64_t words[4];
        while (i + 32 <= n && (std::memcpy(words, bytes.data() + i, 32),
                               ((words[0] | words[1] | words[2] | words[3]) & kHighBits) == 0))
          i += 32;
        std::uint64_t word = 0;
        while (i + 8 <= n && (std::memcpy(&word, bytes.data() + i, 8), word & kHighBits) == 0)
          i += 8;
        if (i == n) break;
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 && !lead(b)) return fail(bytes, i);
      } else {
        const auto b = static_cast<unsigned char>(bytes[i]);
        // A line break inside a character breaks the line the character began on.
        if (b < lo_ || b > hi_) return fail(bytes, i);
        --need_;
        lo_ = 0x80;
        hi_ = 0xBF;
      }
      ++i;
    }
    line_ += LineBreaks(bytes);
  }
  // The first broken line (0: none), once the document has ended.
  std::size_t finish() {
    if (broken_ == 0 && need_ != 0) broken_ = line_;
    return broken_;
  }
  std::size_t broken() const { return broken_; }

 private:
  // The continuation bytes that a lead byte needs, and the range of the first one, so that
  // overlong forms, surrogates and code points beyond U+10FFFF count as broken.
  bool lead(unsigned char b) {
    lo_ = 0x80;
    hi_ = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      need_ = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need_ = 2;
      if (b == 0xE0) lo_ = 0xA0;
      if (b == 0xED) hi_ = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need_ = 3;
      if (b == 0xF0) lo_ = 0x90;
      if (b == 0xF4) hi_ = 0x8F;
    } else {
      return false;
    }
    return true;
  }

  static constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

  // The '\n' in `bytes`, eight bytes at a time: a byte of the word XOR "\n\n\n…" is zero
  // exactly where a '\n' stands, and ((x & 0x7F…) + 0x7F…) | x sets the high bit of every byte
  // of x that is not zero, without carrying into the next byte.
  static std::size_t LineBreaks(std::string_view bytes) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    constexpr std::uint64_t kBreaks = 0x0A0A0A0A0A0A0A0Aull;
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    std::size_t lines = 0;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, bytes.data() + i, 8);
      const std::uint64_t x = word ^ kBreaks;
      const std::uint64_t nonzero = ((x & kLow7) + kLow7) | x;
      // One bit a byte where a '\n' stands, summed into the top byte by the multiplication.
      lines += static_cast<std::size_t>((((~nonzero & kHighBits) >> 7) * kOnes) >> 56);
    }
    return lines + static_cast<std::size_t>(std::count(
                       bytes.begin() + static_cast<std::ptrdiff_t>(i), bytes.end(), '\n'));
  }

  // The broken byte at `at`: its line is the one it stands on (a line break counts to the line
  // it ends).
  void fail(std::string_view bytes, std::size_t at) {
    broken_ = line_ + static_cast<std::size_t>(std::count(
                          bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
  }

  int need_ = 0;
  unsigned char lo_ = 0x80, hi_ = 0xBF;
  std::size_t line_ = 1;
  std::size_t broken_ = 0;
};

// Checks the document for broken UTF-8 in the conversion's thread, reading again what the
// parse has handed to expat (the page cache serves it), so that the parse does nothing but feed
// expat.
class Utf8Behind {
 public:
  explicit Utf8Behind(File& file) : file_(file) {}
  Utf8Behind(const Utf8Behind&) = delete;
  Utf8Behind& operator=(const Utf8Behind&) = delete;

  // The parse: the bytes before `end` may be checked; kWhole: the whole file.
  static constexpr std::uint64_t kWhole = UINT64_MAX;
  void allow(std::uint64_t end) { allowed_.store(end, std::memory_order_release); }

  // The conversion's thread: checks what it may and has not checked yet.
  void catchUp() {
    const std::uint64_t end = allowed_.load(std::memory_order_acquire);
    if (checked_ >= end || check_.broken() != 0 || error_) return;
    try {
      if (block_.empty()) block_.resize(kBlock);
      while (checked_ < end && check_.broken() == 0) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, end - checked_));
        const std::size_t got = file_.readAt(block_.data(), want, checked_);
        if (got == 0) break;
        check_.add(std::string_view(block_.data(), got));
        checked_ += got;
      }
    } catch (const IoError& e) {
      error_ = e.error();
    } catch (const std::bad_alloc&) {
      error_ = FileError{file_.path(), FileError::Step::Read, ENOMEM};
    }
  }

  // Once the conversion's thread has ended: the first broken line (0: none), and whether the
  // file could be read.
  std::size_t broken() { return check_.finish(); }
  const std::optional<FileError>& error() const { return error_; }

 private:
  static constexpr std::size_t kBlock = std::size_t{256} << 10;
  File& file_;
  std::atomic<std::uint64_t> allowed_{0};
  std::uint64_t checked_ = 0;
  Utf8Check check_;
  std::string block_;
  std::optional<FileError> error_;
};

// The encoding named by the XML declaration, in small letters ("" without one).
std::string DeclaredEncoding(std::string_view text) {
  if (!text.starts_with("<?xml")) return {};
  const std::string_view declaration = text.substr(0, text.find("?>"));
  const std::size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return {};
  const std::size_t open = declaration.find_first_of("\"'", at);
  if (open == std::string_view::npos) return {};
  const std::size_t close = declaration.find(declaration[open], open + 1);
  if (close == std::string_view::npos) return {};
  std::string name(declaration.substr(open + 1, close - open - 1));
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

// The reasons of expat's parse failures, in German; `open`: an element was still open.
std::string ParseReason(XML_Error error, bool open) {
  switch (error) {
    case XML_ERROR_NO_MEMORY:
      return "der Arbeitsspeicher reicht nicht";
    case XML_ERROR_NO_ELEMENTS:
    case XML_ERROR_UNCLOSED_TOKEN:
      return open ? "ein Element wird nicht oder falsch geschlossen"
                  : "die Datei enthält kein Element";
    case XML_ERROR_TAG_MISMATCH:
      return "ein Element wird nicht oder falsch geschlossen";
    case XML_ERROR_DUPLICATE_ATTRIBUTE:
      return "ein Attribut ist fehlerhaft";
    case XML_ERROR_UNCLOSED_CDATA_SECTION:
      return "ein CDATA-Abschnitt ist fehlerhaft";
    case XML_ERROR_MISPLACED_XML_PI:
    case XML_ERROR_XML_DECL:
      return "eine Verarbeitungsanweisung (<?…?>) ist fehlerhaft";
    case XML_ERROR_JUNK_AFTER_DOC_ELEMENT:
      return "nach dem Ende des Dokuments folgt noch etwas";
    case XML_ERROR_INVALID_TOKEN:
    case XML_ERROR_PARTIAL_CHAR:
    case XML_ERROR_BAD_CHAR_REF:
      return "ein Zeichen ist an dieser Stelle nicht erlaubt";
    case XML_ERROR_RECURSIVE_ENTITY_REF:
    case XML_ERROR_AMPLIFICATION_LIMIT_BREACH:
      return "eine Entität wird zu oft oder in sich selbst verwendet";
    default:
      return "das XML ist fehlerhaft";
  }
}

// Converted entries wait here in document order (a problem entry keeps its place with an
// empty record) until the pipeline writes the lessons. A record is mostly empty room, so each is
// kept as the bytes its texts use: a tag, then each text as its length byte and its characters.
// The first few MiB stay in memory, the rest goes to a scratch file, so that a document of any
// size imports with the same memory; every kStep-th entry's place is noted for reading a lesson
// whose entries are not in document order.
class EntrySpool {
 public:
  EntrySpool() = default;
  ~EntrySpool() {
    if (file_ != nullptr) std::fclose(file_);
  }
  EntrySpool(const EntrySpool&) = delete;
  EntrySpool& operator=(const EntrySpool&) = delete;

  // The errno of the first failure of the scratch file, 0 while all is well.
  int error() const { return error_; }
  std::uint32_t size() const { return count_; }

  void add(const TVocData& record) {
    if (count_ % kStep == 0) marks_.push_back(size_);
    char packed[kMaxPacked];
    const std::size_t n = Pack(record, packed);
    if (spillFrom_ == kNotSpilled && held_.size() + n <= kHeldBytes) {
      held_.append(packed, n);
    } else {
      if (spillFrom_ == kNotSpilled) spillFrom_ = size_;
      tail_.append(packed, n);
      if (tail_.size() >= kFileBlock) flush();
    }
    size_ += n;
    ++count_;
  }
  // Puts the entries not yet in the scratch file there; the spool is complete for reading.
  void flush() {
    if (tail_.empty()) return;
    if (error_ == 0 && file_ == nullptr) {
      file_ = std::tmpfile();
      if (file_ == nullptr) error_ = errno;
    }
    const char* bytes = tail_.data();
    std::size_t left = tail_.size();
    while (error_ == 0 && left > 0) {
      const ssize_t put = ::pwrite(fileno(file_), bytes, left, static_cast<off_t>(spilled_));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        error_ = put < 0 ? errno : ENOSPC;
        break;
      }
      bytes += put;
      left -= static_cast<std::size_t>(put);
      spilled_ += static_cast<std::uint64_t>(put);
    }
    tail_.clear();
  }

  // Records `first` .. `first + n - 1` into `out`; false when the scratch file cannot be read.
  bool read(std::uint32_t first, std::size_t n, TVocData* out) {
    if (n == 0) return true;
    if (first != cursor_) {
      cursor_ = first - first % kStep;
      at_ = marks_[cursor_ / kStep];
      while (cursor_ < first) {
        const char* p = bytesAt(at_);
        if (p == nullptr) return false;
        at_ += PackedSize(p);
        ++cursor_;
      }
    }
    for (std::size_t i = 0; i < n; ++i) {
      const char* p = bytesAt(at_);
      if (p == nullptr) return false;
      at_ += Unpack(p, out[i]);
      ++cursor_;
    }
    return true;
  }

 private:
  // Bytes held in memory; entries beyond go to the scratch file.
  static constexpr std::size_t kHeldBytes = std::size_t{1} << 20;
  // Bytes written to, and read from, the scratch file at once.
  static constexpr std::size_t kFileBlock = std::size_t{128} << 10;
  static constexpr std::uint32_t kStep = 64;
  static constexpr std::uint64_t kNotSpilled = UINT64_MAX;

  enum Tag : char { kPacked, kWhole, kEmpty };
  static constexpr std::size_t kMaxPacked = 1 + kRecordSize;
  // The texts of a record in their order on disk: where each begins and how many bytes it holds.
  struct Text {
    std::size_t at, capacity;
  };
  static constexpr Text kTexts[] = {
      {offsetof(TVocData, A1), kWordCapacity},        {offsetof(TVocData, B1), kWordCapacity},
      {offsetof(TVocData, A2), kWordCapacity},        {offsetof(TVocData, A3), kWordCapacity},
      {offsetof(TVocData, B2), kWordCapacity},        {offsetof(TVocData, B3), kWordCapacity},
      {offsetof(TVocData, Comment), kCommentCapacity}};

  // Packs a record into `out`, the bytes it needs; a record whose bytes beyond its texts are not
  // all zero (never made by the conversion) is kept whole, so that it comes back byte for byte.
  static std::size_t Pack(const TVocData& record, char* out) {
    static constexpr char kZeros[kRecordSize] = {};
    const auto* bytes = reinterpret_cast<const char*>(&record);
    if (std::memcmp(bytes, kZeros, kRecordSize) == 0) {
      out[0] = kEmpty;
      return 1;
    }
    bool packable = record.UnitID == 0 && record.Deleted == 0;
    for (const Text& t : kTexts) {
      const std::size_t length = static_cast<unsigned char>(bytes[t.at]);
      packable = packable && length <= t.capacity &&
                 std::memcmp(bytes + t.at + 1 + length, kZeros, t.capacity - length) == 0;
    }
    if (!packable) {
      out[0] = kWhole;
      std::memcpy(out + 1, bytes, kRecordSize);
      return 1 + kRecordSize;
    }
    std::size_t n = 0;
    out[n++] = kPacked;
    for (const Text& t : kTexts) {
      const std::size_t length = static_cast<unsigned char>(bytes[t.at]);
      std::memcpy(out + n, bytes + t.at, 1 + length);
      n += 1 + length;
    }
    return n;
  }
  static std::size_t PackedSize(const char* p) {
    if (p[0] == kEmpty) return 1;
    if (p[0] == kWhole) return 1 + kRecordSize;
    std::size_t n = 1;
    for (std::size_t i = 0; i < std::size(kTexts); ++i)
      n += 1 + static_cast<unsigned char>(p[n]);
    return n;
  }
  static std::size_t Unpack(const char* p, TVocData& record) {
    auto* bytes = reinterpret_cast<char*>(&record);
    if (p[0] == kWhole) {
      std::memcpy(bytes, p + 1, kRecordSize);
      return 1 + kRecordSize;
    }
    std::memset(bytes, 0, kRecordSize);
    if (p[0] == kEmpty) return 1;
    std::size_t n = 1;
    for (const Text& t : kTexts) {
      const std::size_t length = static_cast<unsigned char>(p[n]);
      std::memcpy(bytes + t.at, p + n, 1 + length);
      n += 1 + length;
    }
    return n;
  }

  // The bytes of the spool from `at` on, at least one whole entry; nullptr when the scratch
  // file cannot be read.
  const char* bytesAt(std::uint64_t at) {
    if (at < spillFrom_) return held_.data() + at;
    const std::uint64_t inFile = at - spillFrom_;
    const std::uint64_t need = std::min<std::uint64_t>(kMaxPacked, spilled_ - inFile);
    if (inFile < windowAt_ || inFile + need > windowAt_ + windowLength_) {
      if (window_.size() < kFileBlock) window_.resize(kFileBlock);
      const std::size_t want =
          static_cast<std::size_t>(std::min<std::uint64_t>(kFileBlock, spilled_ - inFile));
      windowLength_ = 0;
      std::size_t got = 0;
      while (got < want) {
        const ssize_t n = ::pread(fileno(file_), window_.data() + got, want - got,
                                  static_cast<off_t>(inFile + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return nullptr;
        got += static_cast<std::size_t>(n);
      }
      windowAt_ = inFile;
      windowLength_ = got;
    }
    return window_.data() + (inFile - windowAt_);
  }

  std::string held_;                       // the first entries
  std::string tail_;                       // entries not yet in the scratch file
  std::string window_;                     // bytes read back from the scratch file
  std::uint64_t windowAt_ = 0;             // where the window begins in the file
  std::size_t windowLength_ = 0;           // the bytes it holds
  std::uint64_t spillFrom_ = kNotSpilled;  // where the file's bytes begin in the spool
  std::uint64_t spilled_ = 0;              // bytes in the file
  std::uint64_t size_ = 0;                 // bytes of all entries
  std::uint32_t count_ = 0;
  std::vector<std::uint64_t> marks_;   // where entry i * kStep begins
  std::uint32_t cursor_ = UINT32_MAX;  // the entry a read continues with, at at_
  std::uint64_t at_ = 0;
  std::FILE* file_ = nullptr;
  int error_ = 0;
};

// The entries of a lesson (their numbers in the document), packed: each as its distance to the
// one before, in as few bytes as that takes (seven bits a byte). A lesson mostly holds entries
// that follow each other, so an entry costs a byte or two in memory however large the document.
class PackedEntries {
 public:
  void push_back(std::uint32_t entry) {
    const std::int64_t delta = std::int64_t{entry} - std::int64_t{last_};
    // Distances back and forth alike: 0, -1, 1, -2, 2 ... as 0, 1, 2, 3, 4 ...
    std::uint64_t z = delta < 0 ? (static_cast<std::uint64_t>(-delta) << 1) - 1
                                : static_cast<std::uint64_t>(delta) << 1;
    do {
      const auto low = static_cast<std::uint8_t>(z & 0x7F);
      z >>= 7;
      bytes_.push_back(static_cast<std::uint8_t>(low | (z != 0 ? 0x80 : 0)));
    } while (z != 0);
    last_ = entry;
    ++size_;
  }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void shrink() { bytes_.shrink_to_fit(); }

  // Calls f(entry) for each entry in order.
  template <class F>
  void forEach(F&& f) const {
    std::int64_t entry = 0;
    for (std::size_t i = 0; i < bytes_.size();) {
      std::uint64_t z = 0;
      int shift = 0;
      std::uint8_t b = 0;
      do {
        b = bytes_[i++];
        z |= std::uint64_t{b & 0x7Fu} << shift;
        shift += 7;
      } while ((b & 0x80) != 0);
      entry += (z & 1) != 0 ? -static_cast<std::int64_t>((z + 1) >> 1)
                            : static_cast<std::int64_t>(z >> 1);
      f(static_cast<std::uint32_t>(entry));
    }
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint32_t last_ = 0;
  std::size_t size_ = 0;
};

// The ids that are no numbers, each kept once, in one block of bytes with an open hash table
// over it: a document whose every entry has such an id costs some twenty bytes per entry.
class TextIds {
 public:
  // The number of `id` (0, 1, 2 ... in the order they come), added when new.
  std::uint32_t index(std::string_view id) {
    if (2 * (at_.size() - 1) + 2 > slots_.size()) grow();
    for (std::size_t slot = Hash(id) & (slots_.size() - 1);;
         slot = (slot + 1) & (slots_.size() - 1)) {
      if (slots_[slot] == 0) {
        bytes_.append(id);
        at_.push_back(static_cast<std::uint32_t>(bytes_.size()));
        slots_[slot] = static_cast<std::uint32_t>(at_.size() - 1);
        return slots_[slot] - 1;
      }
      if (text(slots_[slot] - 1) == id) return slots_[slot] - 1;
    }
  }
  std::string_view text(std::uint32_t index) const {
    if (index + 1 >= at_.size()) return {};
    return std::string_view(bytes_).substr(at_[index], at_[index + 1] - at_[index]);
  }

 private:
  static std::size_t Hash(std::string_view id) { return static_cast<std::size_t>(Checksum(id)); }
  void grow() {
    std::vector<std::uint32_t> slots(std::max<std::size_t>(64, 2 * slots_.size()), 0);
    for (std::uint32_t i = 0; i + 1 < at_.size(); ++i) {
      std::size_t slot = Hash(text(i)) & (slots.size() - 1);
      while (slots[slot] != 0)
        slot = (slot + 1) & (slots.size() - 1);
      slots[slot] = i + 1;
    }
    slots_ = std::move(slots);
  }

  std::string bytes_;
  std::vector<std::uint32_t> at_{0};  // where each id begins in bytes_; then the end
  std::vector<std::uint32_t> slots_;  // by hash: the id's number + 1, 0 where free
};

// A reference from a lesson to an entry by its id: a number, or (high bit set) an index into
// the ids that are no numbers.
struct EntryRef {
  std::uint32_t key = 0;
  std::uint32_t line = 0;
};
constexpr std::uint32_t kTextKey = 0x80000000u;

// A top-level lesson container, a lesson of KVTML 1.0, or the lesson of the entries in none.
struct SourceLesson {
  std::string name;  // UTF-8 as the document has it
  std::size_t line = 0;
  std::size_t position = 0;    // among the lessons of the document, from 1; 0 for the loose entries
  std::vector<EntryRef> refs;  // 2.0: as the containers list them
  PackedEntries entries;       // the entries (document order numbers), each once
};

// A container while it is read: its own references, then those of the containers in it.
struct OpenContainer {
  std::vector<EntryRef> own;
  std::vector<EntryRef> nested;
};

enum class Node {
  Root,
  Information,
  Title,
  Entries,
  Entry,
  Translation0,
  Translation1,
  Text0,
  Text1,
  Comment0,
  Comment1,
  Lessons,
  Container,
  ContainerName,
  V1Entry,
  V1Foreign,
  V1Native,
  V1Lesson,
  V1Desc,
  Other,
};

// A few slots handed from one thread to another: one fills them in turn while the other empties
// those filled before, so that neither waits while both have work and the memory they share
// stays small. The parse hands entries to the conversion so, and the unpacking of the entries
// hands records to the write.
template <class Slot, std::size_t N>
class HandOverRing {
 public:
  // The filling side: the slot to fill next (waits while every slot is still to be emptied);
  // nullptr once the emptying side has given up.
  Slot* toFill() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return filled_ - emptied_ < N || cancelled_; });
    return cancelled_ ? nullptr : &slots_[filled_ % N];
  }
  void filled() { step(filled_); }
  // No more slots come.
  void close() { step(closed_); }
  // The emptying side: the next filled slot, nullptr once the ring is closed and every slot
  // emptied.
  Slot* toEmpty() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return emptied_ < filled_ || closed_; });
    return emptied_ < filled_ ? &slots_[emptied_ % N] : nullptr;
  }
  void emptied() { step(emptied_); }
  // The emptying side takes no more slots.
  void cancel() { step(cancelled_); }

 private:
  template <class T>
  void step(T& value) {
    {
      std::lock_guard lock(mutex_);
      if constexpr (std::is_same_v<T, bool>) {
        value = true;
      } else {
        ++value;
      }
    }
    changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::array<Slot, N> slots_;
  std::size_t filled_ = 0, emptied_ = 0;
  bool closed_ = false, cancelled_ = false;
};

// Records of one lesson on their way to the write.
struct RecordBlock {
  std::size_t lesson = 0;
  std::size_t count = 0;  // records in `records`
  bool last = false;      // the lesson's end (no records)
  int readError = 0;      // with `last`: the scratch file could not be read
  std::vector<TVocData> records;
};

class StreamedKvtml : public ImportSource {
 public:
  ~StreamedKvtml() override { stopUnpacking(); }

  const ImportPlan& plan() const override { return plan_; }

  // The pipeline asks for the lessons in the order of the plan: from the first one on, a thread
  // of its own unpacks the records of all of them ahead of the write. Asked otherwise, the
  // records are unpacked here.
  void entries(std::size_t lesson, const std::function<void(std::span<TVocData>)>& take) override {
    if (lesson == nextLesson_ && (lesson == 0 || unpacking_.joinable())) {
      if (lesson == 0 && !unpacking_.joinable()) {
        unpacking_ = std::thread([this] { unpackAll(); });
      }
      ++nextLesson_;
      while (RecordBlock* block = blocks_.toEmpty()) {
        if (block->last) {
          const int error = block->readError;
          blocks_.emptied();
          if (error != 0) throw IoError(FileError{sourcePath_, FileError::Step::Read, error});
          return;
        }
        take(std::span<TVocData>(block->records.data(), block->count));
        blocks_.emptied();
      }
      return;
    }
    stopUnpacking();
    nextLesson_ = SIZE_MAX;
    std::vector<TVocData> block(kBlockRecords);
    const int error = unpack(
        lesson, [&] { return block.data(); },
        [&](std::size_t n) { take(std::span<TVocData>(block.data(), n)); });
    if (error != 0) throw IoError(FileError{sourcePath_, FileError::Step::Read, error});
  }

 private:
  // Unpacks the records of `lesson` in blocks of at most kBlockRecords: `into()` gives the room
  // of the next block (nullptr: stop), `full(n)` hands over its n records. The errno of a
  // failed read of the scratch file, else 0.
  template <class Into, class Full>
  int unpack(std::size_t lesson, Into&& into, Full&& full) {
    TVocData* block = nullptr;
    std::size_t filled = 0;
    int error = 0;
    bool stopped = false;
    // Entries that follow each other in the document are read with one call.
    std::uint32_t run = 0;
    std::size_t runLength = 0;
    auto readRun = [&] {
      while (runLength > 0 && error == 0 && !stopped) {
        if (block == nullptr && (block = into()) == nullptr) {
          stopped = true;
          return;
        }
        const std::size_t n = std::min(runLength, kBlockRecords - filled);
        if (!spool_.read(run, n, block + filled)) {
          error = errno != 0 ? errno : EIO;
          return;
        }
        filled += n;
        run += static_cast<std::uint32_t>(n);
        runLength -= n;
        if (filled == kBlockRecords) {
          full(filled);
          filled = 0;
          block = nullptr;
        }
      }
    };
    lessonEntries_.at(lesson).forEach([&](std::uint32_t entry) {
      if (runLength > 0 && entry == run + runLength) {
        ++runLength;
        return;
      }
      readRun();
      run = entry;
      runLength = 1;
    });
    readRun();
    if (filled > 0 && error == 0 && !stopped) full(filled);
    return error;
  }

  // The unpacking thread: every lesson in turn, each ended by a block that says so.
  void unpackAll() {
    RecordBlock* block = nullptr;
    for (std::size_t lesson = 0; lesson < lessonEntries_.size(); ++lesson) {
      const int error = unpack(
          lesson,
          [&]() -> TVocData* {
            block = blocks_.toFill();
            if (block == nullptr) return nullptr;
            block->records.resize(kBlockRecords);
            return block->records.data();
          },
          [&](std::size_t n) {
            block->lesson = lesson;
            block->count = n;
            block->last = false;
            blocks_.filled();
          });
      RecordBlock* end = blocks_.toFill();
      if (end == nullptr) return;
      end->lesson = lesson;
      end->count = 0;
      end->last = true;
      end->readError = error;
      blocks_.filled();
      if (error != 0) break;
    }
    blocks_.close();
  }

  void stopUnpacking() {
    if (!unpacking_.joinable()) return;
    blocks_.cancel();
    unpacking_.join();
  }

 public:
  ImportPlan plan_;
  std::string sourcePath_;
  EntrySpool spool_;
  std::vector<PackedEntries> lessonEntries_;  // per lesson of the plan

 private:
  std::size_t nextLesson_ = 0;  // the lesson the unpacking thread hands over next
  HandOverRing<RecordBlock, 3> blocks_;
  std::thread unpacking_;
};

// Entries as the parse hands them to the conversion: their texts one after another.
struct EntryBatch {
  enum Part { kText0, kText1, kComment0, kComment1, kProblem, kParts };
  struct Item {
    std::uint32_t line = 0;
    std::uint32_t sizes[kParts] = {};
  };
  static constexpr std::size_t kEntries = 1024;  // entries in a full batch
  std::vector<Item> items;
  std::string bytes;
};

using BatchRing = HandOverRing<EntryBatch, 4>;

// A note and when it was made, so that the notes of the parse and of the conversion come out
// in the order a single pass makes them: the conversion's note of entry k, key 2k, comes right
// after entry k ends; the parse's note made after m entries ended, key 2m + 1, after those of
// entry m.
using AddNote = void (ImportReport::*)(std::size_t, std::string);
struct TimedNote {
  std::uint64_t key = 0;
  ImportNote note;
};
using TimedNotes = std::vector<TimedNote>;

void AddInTimeOrder(const TimedNotes& a, const TimedNotes& b, AddNote add, ImportReport& report) {
  std::size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    const bool fromA = j == b.size() || (i < a.size() && a[i].key < b[j].key);
    const ImportNote& note = fromA ? a[i++].note : b[j++].note;
    (report.*add)(note.line, note.text);
  }
}

bool HasLineBreak(const WinString& text) {
  const std::string_view s = text.view();
  return std::any_of(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; });
}

// Turns the texts of entries into records, in the DataFile's encoding, cut to its fields, and
// parks them in the spool; in its own thread while the parse goes on.
class EntryConverter {
 public:
  EntryConverter(EntrySpool& spool, bool swap, TextEncoding target)
      : spool_(spool), swap_(swap), target_(target) {}

  void convert(const EntryBatch& batch) {
    const char* bytes = batch.bytes.data();
    for (const EntryBatch::Item& item : batch.items) {
      std::string_view parts[EntryBatch::kParts];
      for (int part = 0; part < EntryBatch::kParts; ++part) {
        parts[part] = std::string_view(bytes, item.sizes[part]);
        bytes += item.sizes[part];
      }
      const bool usable = convert(item.line, parts);
      usable_.push_back(usable);
      spool_.add(usable ? record_ : EmptyRecord());
      // The notes of this entry, marked with the time they were made.
      if (report_.hasProblems() || report_.hasWarnings()) {
        const std::uint64_t key = 2 * std::uint64_t{spool_.size()};
        for (const ImportNote& note : report_.problems())
          problems_.push_back({key, note});
        for (const ImportNote& note : report_.warnings())
          warnings_.push_back({key, note});
        report_ = ImportReport();
      }
    }
  }

  // Per entry: converted without a problem.
  std::vector<bool> usable_;
  TimedNotes problems_, warnings_;

 private:
  bool convert(std::size_t line, const std::string_view (&parts)[EntryBatch::kParts]) {
    if (!parts[EntryBatch::kProblem].empty()) {
      report_.problem(line, std::string(parts[EntryBatch::kProblem]));
      return false;
    }
    std::vector<std::string> bad;
    auto win = [&](std::string_view utf8) {
      const auto converted = ToWinText(utf8, SourceEncoding::Utf8, bad, target_);
      if (!converted) bad.push_back("kein gültiger Text");
      return converted.value_or(WinString());
    };
    const WinString text0 = win(parts[EntryBatch::kText0]);
    const WinString text1 = win(parts[EntryBatch::kText1]);
    WinString comment0 = win(parts[EntryBatch::kComment0]);
    const WinString comment1 = win(parts[EntryBatch::kComment1]);
    if (!bad.empty()) {
      report_.problem(line, DescribeBadCharacters(bad));
      return false;
    }
    SourceTexts texts;
    // A text without line breaks (most of them) is split as it is, without a copy.
    auto side = [&](const WinString& text, WinString* first) {
      if (!HasLineBreak(text)) {
        SplitSide(text.view(), first, target_);
      } else {
        SplitSide(WordOneLine(text).view(), first, target_);
      }
    };
    side(swap_ ? text1 : text0, &texts.words[0]);
    side(swap_ ? text0 : text1, &texts.words[3]);
    const bool both = !comment0.empty() && !comment1.empty();
    WinString comment = std::move(comment0);
    if (both) comment += WinString(" / ");
    comment += comment1;
    texts.comment = HasLineBreak(comment) ? CommentLineBreaks(comment) : std::move(comment);
    record_ = MakeEntry(texts, line, report_);
    return true;
  }

  EntrySpool& spool_;
  bool swap_;
  TextEncoding target_;
  TVocData record_{};
  ImportReport report_;  // the notes of the entry being converted
};

// The conversion's thread, for as long as the parse runs: however the parse ends, the ring is
// closed and the thread joined before the spool or the notes are looked at.
class ConversionThread {
 public:
  ConversionThread(BatchRing& ring, EntryConverter& converter, Utf8Behind& utf8)
      : ring_(ring), thread_([this, &converter, &utf8] {
          while (const EntryBatch* batch = ring_.toEmpty()) {
            if (!failure_) {
              try {
                converter.convert(*batch);
              } catch (...) {
                // The parse learns it when it has ended; the batches still coming are passed.
                failure_ = std::current_exception();
              }
            }
            ring_.emptied();
            utf8.catchUp();
          }
          utf8.catchUp();
        }) {}
  ~ConversionThread() { join(); }
  ConversionThread(const ConversionThread&) = delete;
  ConversionThread& operator=(const ConversionThread&) = delete;

  // Waits until every batch is converted; rethrows what stopped the conversion.
  void finish() {
    join();
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  void join() {
    ring_.close();
    if (thread_.joinable()) thread_.join();
  }
  BatchRing& ring_;
  std::exception_ptr failure_;
  std::thread thread_;
};

// An element's or attribute's name as expat hands it over, compared with a fixed name byte by
// byte, in line (a document has hundreds of thousands of elements; a call into the C library
// for each comparison cost more than the comparison).
struct ElementName {
  const char* text;
  template <std::size_t N>
  bool operator==(const char (&other)[N]) const {
    // Stops at the first difference, at the latest at the end of the shorter name.
    for (std::size_t i = 0; i < N; ++i) {
      if (text[i] != other[i]) return false;
    }
    return true;
  }
};

void XMLCALL OnText(void* data, const XML_Char* s, int n);

// The attributes of a start tag as either parser hands them over: expat's names and values in
// pairs, ended by nullptr; or libxml2's five pointers each (name, prefix, namespace, value and
// the value's end).
struct TagAttributes {
  const char** expat = nullptr;
  const xmlChar** libxml = nullptr;
  int count = 0;
};

// The parse: the parser calls back into this object.
class KvtmlParse {
 public:
  KvtmlParse(StreamedKvtml& out, BatchRing& ring, TextEncoding target)
      : out_(out), ring_(ring), report_(out.plan_.report), target_(target) {}

  // The parser reading the document, for the line numbers; or, read by libxml2, the line on
  // which the element being started begins.
  XML_Parser parser = nullptr;
  const std::size_t* startLine = nullptr;
  // Read by libxml2: the document holds something that expat is to read; the text handler is
  // set and unset through this function.
  bool needsExpat = false;
  void (*switchText)(void* data, bool on) = nullptr;
  void* switchTextData = nullptr;
  bool notKvtml = false;
  std::string refusedVersion;  // a version this reader does not know
  std::size_t depth() const { return nodes_.size(); }

  void start(const char* name, const TagAttributes& attributes) {
    startElement(name, attributes);
    keepText();
  }

  void startElement(const char* name, const TagAttributes& attributes) {
    const ElementName n{name};
    const Node parent = nodes_.empty() ? Node::Other : nodes_.back();
    const std::size_t level = nodes_.size();
    Node node = Node::Other;
    if (level == 0) {
      node = Node::Root;
      if (n != "kvtml") {
        notKvtml = true;
      } else if (const std::string_view version = Attribute(attributes, "version");
                 !version.empty() && !version.starts_with("2") && !version.starts_with("1")) {
        refusedVersion = version;
      }
      title_ = Attribute(attributes, "title");
    } else if (notKvtml || !refusedVersion.empty()) {
      node = Node::Other;
    } else if (parent == Node::Root) {
      if (n == "information" && !seenInformation_) {
        seenInformation_ = true;
        node = Node::Information;
      } else if (n == "entries" && !seenEntries_) {
        seenEntries_ = true;
        node = Node::Entries;
      } else if (n == "lessons" && !seenLessons_) {
        seenLessons_ = true;
        node = Node::Lessons;
      } else if (n == "e") {
        node = Node::V1Entry;
        beginEntry(Attribute(attributes, "id"), false);
        const std::string_view m = Attribute(attributes, "m");
        if (!m.empty() && m != "0") lessons_[v1Lesson(std::string(m))].entries.push_back(ordinal_);
      } else if (n == "lesson") {
        node = Node::V1Lesson;
      }
    } else if (parent == Node::Information) {
      if (n == "title" && !seenTitle_) {
        seenTitle_ = true;
        title_.clear();
        node = Node::Title;
      }
    } else if (parent == Node::Entries) {
      if (n == "entry") {
        node = Node::Entry;
        beginEntry(Attribute(attributes, "id"), true);
      }
    } else if (parent == Node::Entry) {
      if (n == "translation") {
        const std::string_view id = Attribute(attributes, "id");
        if (id == "0" && !seen_[0]) {
          seen_[0] = true;
          node = Node::Translation0;
        } else if (id == "1" && !seen_[1]) {
          seen_[1] = true;
          node = Node::Translation1;
        }
      }
    } else if (parent == Node::Translation0 || parent == Node::Translation1) {
      const int side = parent == Node::Translation0 ? 0 : 1;
      if (n == "text" && !seenText_[side]) {
        seenText_[side] = true;
        node = side == 0 ? Node::Text0 : Node::Text1;
      } else if (n == "comment" && !seenComment_[side]) {
        seenComment_[side] = true;
        node = side == 0 ? Node::Comment0 : Node::Comment1;
      }
    } else if (parent == Node::V1Entry) {
      if (n == "o" && !seenText_[0]) {
        seenText_[0] = true;
        node = Node::V1Foreign;
      } else if (n == "t" && !seenText_[1]) {
        seenText_[1] = true;
        node = Node::V1Native;
      }
    } else if (parent == Node::V1Lesson) {
      if (n == "desc") {
        node = Node::V1Desc;
        const std::string_view no = Attribute(attributes, "no");
        const std::size_t lesson =
            v1Lesson(no.empty() ? "#" + std::to_string(++v1Unnumbered_) : std::string(no));
        lessons_[lesson].line = line();
        lessons_[lesson].name.clear();
        described_ = lesson;
      }
    } else if (parent == Node::Lessons || parent == Node::Container) {
      if (n == "container") {
        node = Node::Container;
        if (parent == Node::Lessons) {
          SourceLesson lesson;
          lesson.line = line();
          lesson.position = ++containers_;
          lessons_.push_back(std::move(lesson));
          seenName_ = false;
        }
        open_.emplace_back();
      } else if (n == "entry" && parent == Node::Container) {
        open_.back().own.push_back(
            {KeyOf(Attribute(attributes, "id")), static_cast<std::uint32_t>(line())});
      } else if (n == "name" && parent == Node::Container && open_.size() == 1 && !seenName_) {
        seenName_ = true;
        node = Node::ContainerName;
      }
    }
    nodes_.push_back(node);
  }

  void end() {
    const Node node = nodes_.back();
    nodes_.pop_back();
    if (node == Node::Entry || node == Node::V1Entry) endEntry();
    if (node == Node::Container) {
      OpenContainer done = std::move(open_.back());
      open_.pop_back();
      // Nested containers follow the entries of their parent, in their order.
      done.own.insert(done.own.end(), done.nested.begin(), done.nested.end());
      if (!open_.empty()) {
        open_.back().nested.insert(open_.back().nested.end(), done.own.begin(), done.own.end());
      } else {
        lessons_.back().refs = std::move(done.own);
        // Where the entries came first (as they do), the references are settled now, so that a
        // lesson keeps only its entries' numbers, not the references.
        SourceLesson& lesson = lessons_.back();
        if (std::all_of(lesson.refs.begin(), lesson.refs.end(),
                        [&](const EntryRef& ref) { return resolve(ref.key) != 0; })) {
          settle(lesson);
        }
      }
    }
    if (node == Node::V1Desc) described_ = kNone;
    keepText();
  }

  void text(std::string_view s) {
    if (nodes_.empty()) return;
    switch (nodes_.back()) {
      case Node::Title:
        title_ += s;
        break;
      case Node::Text0:
      case Node::V1Foreign:
        texts_[0] += s;
        break;
      case Node::Text1:
      case Node::V1Native:
        texts_[1] += s;
        break;
      case Node::Comment0:
        comments_[0] += s;
        break;
      case Node::Comment1:
        comments_[1] += s;
        break;
      case Node::ContainerName:
        lessons_.back().name += s;
        break;
      case Node::V1Desc:
        if (described_ != kNone) lessons_[described_].name += s;
        break;
      default:
        break;
    }
  }

  // An entity that the document never declared: its text is unknown, so the entry that holds it
  // is not imported, and the line is told.
  void skippedEntity(const char* name) {
    const std::string note = "die Entität „&" + std::string(name) + ";“ ist nicht erklärt";
    if (inEntry_) {
      if (entryProblem_.empty()) entryProblem_ = note;
    } else if (depth() > 0) {
      this->note(&ImportReport::problem, line(), note);
    }
  }

  // After the whole document: the lessons with their entries, the plan.
  void finish(const std::string& path, const EntryConverter& converter);

 private:
  template <std::size_t N>
  std::string_view Attribute(const TagAttributes& attributes, const char (&name)[N]) {
    if (attributes.expat != nullptr) {
      for (const char** a = attributes.expat; *a != nullptr; a += 2) {
        if (ElementName{a[0]} == name) return a[1];
      }
      return {};
    }
    for (int i = 0; i < attributes.count; ++i) {
      const xmlChar* const* a = attributes.libxml + 5 * i;
      // A name with a prefix is never one looked for, as expat's "p:id" is not.
      if (a[1] != nullptr || !(ElementName{reinterpret_cast<const char*>(a[0])} == name)) continue;
      const std::string_view value(reinterpret_cast<const char*>(a[3]),
                                   static_cast<std::size_t>(a[4] - a[3]));
      // libxml2 hands a reference over as it stands ("&#38;"), expat resolved.
      if (value.find('&') != std::string_view::npos) needsExpat = true;
      return value;
    }
    return {};
  }

  // The parser hands over the text between elements too, the indentation of a document around
  // every element: the handler is set only while an element whose text is read is the innermost
  // one.
  void keepText() {
    bool wanted = false;
    if (!nodes_.empty()) {
      switch (nodes_.back()) {
        case Node::Title:
        case Node::Text0:
        case Node::V1Foreign:
        case Node::Text1:
        case Node::V1Native:
        case Node::Comment0:
        case Node::Comment1:
        case Node::ContainerName:
        case Node::V1Desc:
          wanted = true;
          break;
        default:
          break;
      }
    }
    if (wanted == textHandler_) return;
    textHandler_ = wanted;
    if (parser != nullptr) {
      XML_SetCharacterDataHandler(parser, wanted ? OnText : nullptr);
    } else if (switchText != nullptr) {
      switchText(switchTextData, wanted);
    }
  }

  std::size_t line() const {
    return startLine != nullptr ? *startLine
                                : static_cast<std::size_t>(XML_GetCurrentLineNumber(parser));
  }

  // Ids that are plain numbers are kept as numbers (most documents number their entries), and
  // so are ids made of a fixed text and a number ("e17", as some programs write them): the first
  // such id names that text for the whole document (none for plain numbers), so that the table
  // of the other ids stays empty for them. Others are kept as text.
  std::uint32_t KeyOf(std::string_view id) {
    std::size_t digits = 0;
    while (digits < id.size() && id[id.size() - 1 - digits] >= '0' &&
           id[id.size() - 1 - digits] <= '9')
      ++digits;
    const std::string_view number = id.substr(id.size() - digits);
    const std::string_view prefix = id.substr(0, id.size() - digits);
    if (!number.empty() && number.size() <= 9 && (number == "0" || number[0] != '0')) {
      if (!numberPrefix_) numberPrefix_ = std::string(prefix);
      if (prefix == *numberPrefix_) {
        std::uint32_t value = 0;
        for (const char c : number)
          value = value * 10 + static_cast<std::uint32_t>(c - '0');
        return value;
      }
    }
    return kTextKey | textIds_.index(id);
  }

  // The lesson of KVTML 1.0 with the number `no`, made when it is first named (by its
  // description or by an entry); its index.
  std::size_t v1Lesson(const std::string& no) {
    const auto [it, added] = v1Lessons_.emplace(no, lessons_.size());
    if (added) {
      SourceLesson lesson;
      lesson.line = line();
      lesson.position = ++containers_;
      lessons_.push_back(std::move(lesson));
    }
    return it->second;
  }

  void beginEntry(std::string_view id, bool v2) {
    inEntry_ = true;
    entryLine_ = line();
    seen_[0] = seen_[1] = false;
    seenText_[0] = seenText_[1] = seenComment_[0] = seenComment_[1] = false;
    for (std::string& t : texts_)
      t.clear();
    for (std::string& t : comments_)
      t.clear();
    entryProblem_.clear();
    ++ordinal_;
    if (v2) {
      // The first entry of an id is the one its references mean.
      const std::uint32_t key = KeyOf(id);
      // Documents number their entries 0, 1, 2 ... in order: that needs no table until an id
      // breaks the rule.
      if (identity_ && key == identityCount_ && ordinal_ == identityCount_ + 1) {
        ++identityCount_;
        return;
      }
      if (identity_) {
        identity_ = false;
        byNumber_.resize(identityCount_);
        for (std::uint32_t i = 0; i < identityCount_; ++i)
          byNumber_[i] = i + 1;
      }
      if ((key & kTextKey) == 0 && key < ordinal_ + 65536u) {
        if (byNumber_.size() <= key) byNumber_.resize(key + 1, 0);
        if (byNumber_[key] == 0) byNumber_[key] = ordinal_;
      } else if ((key & kTextKey) != 0) {
        const std::uint32_t index = key & ~kTextKey;
        if (entryOfText_.size() <= index) entryOfText_.resize(index + 1, 0);
        if (entryOfText_[index] == 0) entryOfText_[index] = ordinal_;
      } else {
        byLargeNumber_.emplace(key, ordinal_);
      }
    }
  }

  // The texts of the entry that just closed go to the conversion; a problem entry is told there
  // by the line of its element and keeps an empty place.
  void endEntry() {
    inEntry_ = false;
    if (batch_ == nullptr) {
      // The conversion never gives up on the ring, so a batch always comes.
      batch_ = ring_.toFill();
      batch_->items.clear();
      batch_->bytes.clear();
    }
    EntryBatch::Item item;
    item.line = static_cast<std::uint32_t>(entryLine_);
    auto add = [&](EntryBatch::Part part, const std::string& text) {
      item.sizes[part] = static_cast<std::uint32_t>(text.size());
      batch_->bytes += text;
    };
    if (entryProblem_.empty()) {
      add(EntryBatch::kText0, texts_[0]);
      add(EntryBatch::kText1, texts_[1]);
      add(EntryBatch::kComment0, comments_[0]);
      add(EntryBatch::kComment1, comments_[1]);
    } else {
      add(EntryBatch::kProblem, entryProblem_);
    }
    batch_->items.push_back(item);
    if (batch_->items.size() == EntryBatch::kEntries) handOver();
  }

 public:
  // The entries read so far go to the conversion.
  void handOver() {
    if (batch_ == nullptr) return;
    batch_ = nullptr;
    ring_.filled();
  }

 private:
  // Notes made while the document is read; once it is read (the conversion has ended), they go
  // straight into the report.
  void note(AddNote add, std::size_t line, std::string text) {
    if (converted_) {
      (report_.*add)(line, std::move(text));
      return;
    }
    const std::uint64_t ended = ordinal_ - (inEntry_ ? 1 : 0);
    (add == &ImportReport::problem ? problems_ : warnings_)
        .push_back({2 * ended + 1, {line, std::move(text)}});
  }

  // The entries that the references of a lesson mean, each once, in the order of the references;
  // a reference to no entry is told.
  void settle(SourceLesson& lesson) {
    taken_.resize(std::size_t{ordinal_} + 1, false);
    for (const EntryRef& ref : lesson.refs) {
      const std::uint32_t entry = resolve(ref.key);
      if (entry == 0) {
        note(&ImportReport::warning, ref.line,
             "Verweis auf den Eintrag „" + textOfKey(ref.key) + "“, den es nicht gibt");
      } else if (!taken_[entry]) {
        taken_[entry] = true;
        lesson.entries.push_back(entry);
      }
    }
    // A vector keeps its room when it is merely emptied.
    std::vector<EntryRef>().swap(lesson.refs);
    lesson.entries.forEach([&](std::uint32_t entry) { taken_[entry] = false; });
  }

  // The entry (document order number, from 1) that a reference means; 0 for none.
  std::uint32_t resolve(std::uint32_t key) const {
    if (identity_) {
      return (key & kTextKey) == 0 && key < identityCount_ ? key + 1 : 0;
    }
    if ((key & kTextKey) == 0 && key < byNumber_.size() && byNumber_[key] != 0) {
      return byNumber_[key];
    }
    if ((key & kTextKey) != 0) {
      const std::uint32_t index = key & ~kTextKey;
      return index < entryOfText_.size() ? entryOfText_[index] : 0;
    }
    const auto it = byLargeNumber_.find(key);
    return it == byLargeNumber_.end() ? 0 : it->second;
  }

  std::string textOfKey(std::uint32_t key) const {
    if ((key & kTextKey) == 0) return numberPrefix_.value_or("") + std::to_string(key);
    return std::string(textIds_.text(key & ~kTextKey));
  }

  StreamedKvtml& out_;
  BatchRing& ring_;
  EntryBatch* batch_ = nullptr;  // the batch being filled
  ImportReport& report_;
  // The parse's notes until the conversion has ended.
  TimedNotes problems_, warnings_;
  bool converted_ = false;
  TextEncoding target_;  // the encoding of the DataFile the entries go into
  std::vector<Node> nodes_;
  bool textHandler_ = false;  // the character data handler is set
  std::string title_;
  bool seenInformation_ = false, seenEntries_ = false, seenLessons_ = false, seenTitle_ = false;
  bool seenName_ = false;

  // The entry being read.
  bool inEntry_ = false;
  std::size_t entryLine_ = 0;
  bool seen_[2] = {false, false};
  bool seenText_[2] = {false, false}, seenComment_[2] = {false, false};
  std::string texts_[2], comments_[2];
  std::string entryProblem_;

  std::uint32_t ordinal_ = 0;               // entries so far
  std::vector<bool> taken_;                 // per entry: in the lesson being settled
  bool identity_ = true;                    // every id so far was its entry's number, from 0
  std::uint32_t identityCount_ = 0;         // the entries numbered so
  std::vector<std::uint32_t> byNumber_;     // numeric id -> entry (0: none)
  std::vector<std::uint32_t> entryOfText_;  // ids that are no numbers -> entry (0: none)
  std::unordered_map<std::uint32_t, std::uint32_t> byLargeNumber_;  // numbers far ahead -> entry
  TextIds textIds_;
  std::optional<std::string> numberPrefix_;  // the text before the number of a numbered id

  std::vector<SourceLesson> lessons_;
  std::vector<OpenContainer> open_;
  std::size_t containers_ = 0;
  std::unordered_map<std::string, std::size_t> v1Lessons_;
  static constexpr std::size_t kNone = SIZE_MAX;
  std::size_t described_ = kNone;  // the lesson whose description is being read
  std::size_t v1Unnumbered_ = 0;
};

// The name of a new lesson from the document: blank-cut, "?" for what Windows-1252 cannot hold;
// empty when there is none.
WinString NameOfSourceLesson(const SourceLesson& lesson, ImportReport& report,
                             TextEncoding target) {
  bool changed = false;
  WinString name = CutSpaces(WordOneLine(NameFromUtf8(lesson.name, changed, target)));
  if (changed) {
    report.warning(lesson.line,
                   "im Namen der Lektion Zeichen, die es in Windows-1252 nicht gibt, "
                   "durch „?“ ersetzt");
  }
  if (name.size() > kWordCapacity) {
    report.warning(lesson.line, "Name der Lektion auf 60 Zeichen gekürzt");
  }
  return name;
}

void KvtmlParse::finish(const std::string& path, const EntryConverter& converter) {
  AddInTimeOrder(converter.problems_, problems_, &ImportReport::problem, report_);
  AddInTimeOrder(converter.warnings_, warnings_, &ImportReport::warning, report_);
  TimedNotes().swap(problems_);
  TimedNotes().swap(warnings_);
  converted_ = true;
  // Each lesson holds an entry once; an entry that no lesson holds goes to the lesson of the
  // loose entries.
  std::vector<bool> referenced(std::size_t{ordinal_} + 1, false);
  for (SourceLesson& lesson : lessons_) {
    if (!lesson.refs.empty()) settle(lesson);
    lesson.entries.forEach([&](std::uint32_t entry) { referenced[entry] = true; });
  }
  SourceLesson loose;
  loose.name = title_;
  for (std::uint32_t entry = 1; entry <= ordinal_; ++entry) {
    if (!referenced[entry]) loose.entries.push_back(entry);
  }
  if (!loose.entries.empty()) lessons_.push_back(std::move(loose));

  for (SourceLesson& source : lessons_) {
    if (source.entries.empty()) continue;
    PlannedLesson lesson;
    // Lessons without a name are numbered as the document orders them; the lesson of the
    // entries in no container is named after the document, or after the file.
    lesson.name = NameOfSourceLesson(source, report_, target_);
    if (lesson.name.empty()) {
      lesson.name = source.position == 0
                        ? LessonNameOfFile(path, report_, target_)
                        : WinString("Lektion " + std::to_string(source.position), target_);
    }
    // Without the problem entries; the spool counts from 0.
    PackedEntries entries;
    source.entries.forEach([&](std::uint32_t entry) {
      if (converter.usable_[entry - 1]) entries.push_back(entry - 1);
    });
    source.entries = {};
    // A lesson whose every entry is a problem entry is not made at all.
    if (entries.empty()) continue;
    entries.shrink();
    lesson.entries = entries.size();
    out_.plan_.lessons.push_back(std::move(lesson));
    out_.lessonEntries_.push_back(std::move(entries));
  }
  // The notes in the order of the document's lines.
  report_.sortByLine();
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  static_cast<KvtmlParse*>(data)->start(name, TagAttributes{attributes, nullptr, 0});
}
void XMLCALL OnEnd(void* data, const XML_Char*) {
  static_cast<KvtmlParse*>(data)->end();
}
void XMLCALL OnText(void* data, const XML_Char* s, int n) {
  static_cast<KvtmlParse*>(data)->text(std::string_view(s, static_cast<std::size_t>(n)));
}
void XMLCALL OnSkippedEntity(void* data, const XML_Char* name, int parameterEntity) {
  if (parameterEntity == 0) static_cast<KvtmlParse*>(data)->skippedEntity(name);
}

struct ParserDeleter {
  void operator()(XML_ParserStruct* p) const { XML_ParserFree(p); }
};

// libxml2 is loaded when a document is first read, not when a program starts: it brings ICU,
// zlib and liblzma along, which would make every start of merkhaus-tool a millisecond slower.
// Where it cannot be loaded, expat reads every document.
struct LibxmlFunctions {
  decltype(&::xmlInitParser) initParser = nullptr;
  decltype(&::xmlCreateIOParserCtxt) createIOParserCtxt = nullptr;
  decltype(&::xmlCtxtUseOptions) ctxtUseOptions = nullptr;
  decltype(&::xmlParseDocument) parseDocument = nullptr;
  decltype(&::xmlFreeParserCtxt) freeParserCtxt = nullptr;
  decltype(&::xmlStopParser) stopParser = nullptr;
  decltype(&::xmlFreeEnumeration) freeEnumeration = nullptr;
};

constexpr const char* kLibxmlLibrary = "libxml2.so.2";
std::mutex libxmlLoading;
const char* libxmlName = kLibxmlLibrary;
bool libxmlTried = false;
std::optional<LibxmlFunctions> libxmlLoaded;

// The functions, nullptr where the library or one of them is missing.
const LibxmlFunctions* Libxml() {
  const std::lock_guard<std::mutex> lock(libxmlLoading);
  if (!libxmlTried) {
    libxmlTried = true;
    if (auto library = SharedLibrary::load(libxmlName)) {
      LibxmlFunctions f;
      const bool all = library->find("xmlInitParser", f.initParser) &&
                       library->find("xmlCreateIOParserCtxt", f.createIOParserCtxt) &&
                       library->find("xmlCtxtUseOptions", f.ctxtUseOptions) &&
                       library->find("xmlParseDocument", f.parseDocument) &&
                       library->find("xmlFreeParserCtxt", f.freeParserCtxt) &&
                       library->find("xmlStopParser", f.stopParser) &&
                       library->find("xmlFreeEnumeration", f.freeEnumeration);
      if (all) {
        f.initParser();
        libxmlLoaded = f;
      }
    }
  }
  return libxmlLoaded ? &*libxmlLoaded : nullptr;
}

// Bytes of the document read at once for libxml2, which takes them over a few KiB at a time.
constexpr std::size_t kLibxmlChunk = std::size_t{256} << 10;

// The usual document, well-formed UTF-8 without declarations of its own, is read by libxml2,
// which parses it about twice as fast as expat. Its events are handed to the same KvtmlParse, so
// the result is the same; only where the two parsers could read a document differently does the
// reading give up, and expat reads the document from its start as it always did: any error or
// warning (expat words the message), an entity other than the predefined ones, a declaration, a
// name with a prefix (expat, reading without namespaces, sees "p:name"), an attribute value with
// a reference (libxml2 hands "&#38;" over as it stands), a carriage return without a line feed
// (expat counts it as a line break, libxml2 does not).
class LibxmlRead {
 public:
  LibxmlRead(const LibxmlFunctions& libxml, KvtmlParse& parse) : libxml_(libxml), parse_(parse) {
    parse_.startLine = &startLine_;
    parse_.switchText = SwitchText;
    parse_.switchTextData = this;
  }
  LibxmlRead(const LibxmlRead&) = delete;
  LibxmlRead& operator=(const LibxmlRead&) = delete;

  static xmlSAXHandler Handler() {
    xmlSAXHandler h{};
    h.initialized = XML_SAX2_MAGIC;
    h.startElementNs = OnStart;
    h.endElementNs = OnEnd;
    // The text handlers are set while the parse wants text (SwitchText); a CDATA section is
    // handed over always, as it is rare.
    h.cdataBlock = OnText;
    h.getEntity = OnEntity;
    h.getParameterEntity = OnEntity;
    h.entityDecl = OnEntityDecl;
    h.elementDecl = OnElementDecl;
    h.attributeDecl = OnAttributeDecl;
    h.notationDecl = OnNotationDecl;
    h.unparsedEntityDecl = OnUnparsedEntityDecl;
    h.serror = OnError;
    h.warning = OnMessage;
    h.error = OnMessage;
    h.fatalError = OnMessage;
    return h;
  }

  xmlParserCtxtPtr context = nullptr;
  bool gaveUp() const { return gaveUp_; }

 private:
  static LibxmlRead& Of(void* data) { return *static_cast<LibxmlRead*>(data); }
  void giveUp() {
    gaveUp_ = true;
    libxml_.stopParser(context);
  }
  static void SwitchText(void* data, bool on) {
    xmlSAXHandler& sax = *Of(data).context->sax;
    // Both or neither: where they differ, libxml2 asks of every text whether it is blank.
    sax.characters = on ? OnText : nullptr;
    sax.ignorableWhitespace = on ? OnText : nullptr;
  }
  // Expat tells an element by the line its start tag begins on; libxml2 has read the whole tag
  // when it hands it over, so the line breaks inside the tag (between its "<" and the place
  // libxml2 has come to; a value holds no "<") are counted back. The tag is still in libxml2's
  // buffer then: it parses a tag again from its start when the buffer moves under it. False
  // where the start cannot be found.
  bool findStartLine() {
    const xmlParserInputPtr in = context->input;
    if (context->inputNr != 1 || in == nullptr || in->base == nullptr || in->cur == nullptr) {
      return false;
    }
    const auto* base = reinterpret_cast<const char*>(in->base);
    const auto* cur = reinterpret_cast<const char*>(in->cur);
    const auto* open =
        static_cast<const char*>(memrchr(base, '<', static_cast<std::size_t>(cur - base)));
    if (open == nullptr) return false;
    const auto breaks = static_cast<std::size_t>(std::count(open, cur, '\n'));
    if (static_cast<std::size_t>(in->line) <= breaks) return false;
    startLine_ = static_cast<std::size_t>(in->line) - breaks;
    return true;
  }

  static void OnStart(void* data, const xmlChar* localName, const xmlChar* prefix, const xmlChar*,
                      int, const xmlChar**, int count, int defaulted, const xmlChar** attributes) {
    LibxmlRead& r = Of(data);
    if (r.gaveUp_) return;
    if (prefix != nullptr || defaulted != 0) return r.giveUp();
    if (!r.findStartLine()) return r.giveUp();
    // Nothing is thrown through libxml2's frames: expat reads the document instead.
    try {
      r.parse_.start(reinterpret_cast<const char*>(localName),
                     TagAttributes{nullptr, attributes, count});
    } catch (...) {
      return r.giveUp();
    }
    if (r.parse_.needsExpat) r.giveUp();
  }
  static void OnEnd(void* data, const xmlChar*, const xmlChar*, const xmlChar*) {
    LibxmlRead& r = Of(data);
    if (r.gaveUp_) return;
    try {
      r.parse_.end();
    } catch (...) {
      r.giveUp();
    }
  }
  static void OnText(void* data, const xmlChar* text, int n) {
    LibxmlRead& r = Of(data);
    if (r.gaveUp_) return;
    try {
      r.parse_.text(
          std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(n)));
    } catch (...) {
      r.giveUp();
    }
  }
  static xmlEntityPtr OnEntity(void* data, const xmlChar*) {
    Of(data).giveUp();
    return nullptr;
  }
  static void OnEntityDecl(void* data, const xmlChar*, int, const xmlChar*, const xmlChar*,
                           xmlChar*) {
    Of(data).giveUp();
  }
  static void OnElementDecl(void* data, const xmlChar*, int, xmlElementContentPtr) {
    Of(data).giveUp();
  }
  static void OnAttributeDecl(void* data, const xmlChar*, const xmlChar*, int, int, const xmlChar*,
                              xmlEnumerationPtr tree) {
    // The handler owns the list of values.
    if (tree != nullptr) Of(data).libxml_.freeEnumeration(tree);
    Of(data).giveUp();
  }
  static void OnNotationDecl(void* data, const xmlChar*, const xmlChar*, const xmlChar*) {
    Of(data).giveUp();
  }
  static void OnUnparsedEntityDecl(void* data, const xmlChar*, const xmlChar*, const xmlChar*,
                                   const xmlChar*) {
    Of(data).giveUp();
  }
  static void OnError(void* data, xmlErrorPtr) {
    if (data != nullptr) Of(data).giveUp();
  }
  static void OnMessage(void* data, const char*, ...) {
    if (data != nullptr) Of(data).giveUp();
  }

  const LibxmlFunctions& libxml_;
  KvtmlParse& parse_;
  std::size_t startLine_ = 1;
  bool gaveUp_ = false;
};

// Whether `bytes` hold a carriage return that no line feed follows, which expat counts as a line
// break and libxml2 does not; `pending`: the block before ended in a return (an empty block ends
// the document).
bool LoneReturn(std::string_view bytes, bool& pending) {
  std::size_t i = 0;
  if (pending) {
    if (bytes.empty() || bytes[0] != '\n') return true;
    pending = false;
    i = 1;
  }
  while (i < bytes.size()) {
    const void* found = std::memchr(bytes.data() + i, '\r', bytes.size() - i);
    if (found == nullptr) return false;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
    if (at + 1 == bytes.size()) {
      pending = true;
      return false;
    }
    if (bytes[at + 1] != '\n') return true;
    i = at + 2;
  }
  return false;
}

// The document as libxml2 asks for it, a few KiB at a time, from blocks read here: each block
// is looked for lone carriage returns, and allowed to the UTF-8 check, as it comes.
class LibxmlInput {
 public:
  LibxmlInput(File& file, Utf8Behind& utf8)
      : file_(file), utf8_(utf8), block_(kLibxmlChunk, '\0') {}

  // The document's first bytes, for a look at its start before libxml2 reads it.
  std::string_view start() {
    fill();
    return std::string_view(block_.data(), size_);
  }
  void skip(std::size_t n) { at_ = n; }
  // Why libxml2 could not read on: a lone carriage return, or the file could not be read.
  bool stopped() const { return stopped_; }

  static int Read(void* data, char* buffer, int wanted) {
    LibxmlInput& in = *static_cast<LibxmlInput*>(data);
    try {
      if (in.at_ == in.size_ && !in.fill()) return -1;
      const std::size_t n = std::min(static_cast<std::size_t>(wanted), in.size_ - in.at_);
      std::memcpy(buffer, in.block_.data() + in.at_, n);
      in.at_ += n;
      return static_cast<int>(n);
    } catch (...) {
      // Expat reads the document again and tells what went wrong.
      in.stopped_ = true;
      return -1;
    }
  }

 private:
  bool fill() {
    size_ = file_.readAt(block_.data(), block_.size(), offset_);
    at_ = 0;
    offset_ += size_;
    utf8_.allow(offset_);
    stopped_ = LoneReturn(std::string_view(block_.data(), size_), returnPending_);
    return !stopped_;
  }

  File& file_;
  Utf8Behind& utf8_;
  std::string block_;
  std::size_t at_ = 0, size_ = 0;
  std::uint64_t offset_ = 0;
  bool returnPending_ = false;
  bool stopped_ = false;
};

struct LibxmlDeleter {
  const LibxmlFunctions* libxml;
  void operator()(xmlParserCtxt* context) const { libxml->freeParserCtxt(context); }
};

// The document read by libxml2 (LibxmlRead); nullptr where expat is to read it.
std::unique_ptr<StreamedKvtml> ReadWithLibxml(File& file, const std::string& kvtmlPath, bool swap,
                                              TextEncoding target) {
  const LibxmlFunctions* libxml = Libxml();
  if (libxml == nullptr) return nullptr;
  try {
    Utf8Behind utf8(file);
    LibxmlInput input(file, utf8);
    const std::string_view start = input.start();
    // Expat reads every document as UTF-8 (converting Latin-1 first); libxml2 would follow the
    // declaration, so it reads only what is declared as UTF-8 or not at all.
    if (input.stopped() || start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF")) {
      return nullptr;
    }
    std::size_t skip = 0;
    if (start.starts_with("\xEF\xBB\xBF")) skip = 3;
    const std::string declared = DeclaredEncoding(start.substr(skip));
    if (!declared.empty() && declared != "utf-8") return nullptr;
    input.skip(skip);

    auto source = std::make_unique<StreamedKvtml>();
    source->sourcePath_ = kvtmlPath;
    BatchRing ring;
    EntryConverter converter(source->spool_, swap, target);
    KvtmlParse parse(*source, ring, target);
    LibxmlRead read(*libxml, parse);
    xmlSAXHandler handler = LibxmlRead::Handler();
    // libxml2 pulls the document through LibxmlInput::Read (the parse of a pushed block looks
    // ahead for the end of each tag first, which costs about a tenth more).
    const std::unique_ptr<xmlParserCtxt, LibxmlDeleter> context(
        libxml->createIOParserCtxt(&handler, &read, LibxmlInput::Read, nullptr, &input,
                                   XML_CHAR_ENCODING_NONE),
        LibxmlDeleter{libxml});
    if (!context) return nullptr;
    read.context = context.get();
    libxml->ctxtUseOptions(context.get(), XML_PARSE_NONET);
    bool failed = false;
    {
      ConversionThread conversion(ring, converter, utf8);
      try {
        failed = libxml->parseDocument(context.get()) != 0 || context->wellFormed == 0 ||
                 read.gaveUp() || input.stopped();
        parse.handOver();
        conversion.finish();
      } catch (...) {
        failed = true;
      }
    }
    if (failed || utf8.broken() != 0 || utf8.error() || parse.notKvtml ||
        !parse.refusedVersion.empty()) {
      return nullptr;
    }
    source->spool_.flush();
    if (source->spool_.error() != 0) return nullptr;
    parse.finish(kvtmlPath, converter);
    return source;
  } catch (const IoError&) {
    return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// Reads the document with expat, block by block, into text of the DataFile's encoding. The
// blocks are read straight into expat's buffer; the entries' texts are converted in a second
// thread while expat goes on with the document.
ParsedImport ReadWithExpat(File& file, const std::string& kvtmlPath, bool swap,
                           TextEncoding target) {
  const auto cannotRead = [](const FileError& error) {
    return Refusal(
        ImportRefusal{{MsgKind::Error, WithReason("Fehler beim lesen!", error), MsgButtons::Yes}});
  };
  auto source = std::make_unique<StreamedKvtml>();
  source->sourcePath_ = kvtmlPath;
  // Expat reads the bytes as UTF-8 whatever the declaration says: a document declared as
  // Latin-1 is converted block by block before it is parsed.
  std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreate("UTF-8"));
  if (!parser) return cannotRead(FileError{kvtmlPath, FileError::Step::Read, ENOMEM});
  BatchRing ring;
  EntryConverter converter(source->spool_, swap, target);
  KvtmlParse parse(*source, ring, target);
  parse.parser = parser.get();
  XML_SetUserData(parser.get(), &parse);
  // The character data handler is set by the parse for the elements whose text it keeps.
  XML_SetElementHandler(parser.get(), OnStart, OnEnd);
  XML_SetSkippedEntityHandler(parser.get(), OnSkippedEntity);
  // As if the document named an outside DTD: an entity it never declares is then passed over
  // (and told) instead of ending the whole import.
  XML_UseForeignDTD(parser.get(), XML_TRUE);

  Utf8Behind utf8(file);
  bool latin = false;
  bool first = true;
  std::string xmlError;
  std::optional<FileError> readError;
  std::string raw;  // a block read for conversion from Latin-1
  std::string converted;
  std::uint64_t offset = 0;
  ConversionThread conversion(ring, converter, utf8);
  try {
    for (;;) {
      // Straight into expat's buffer while it parses the bytes as they are.
      char* block = nullptr;
      if (!latin) {
        block = static_cast<char*>(XML_GetBuffer(parser.get(), static_cast<int>(kChunk)));
        if (block == nullptr) {
          return cannotRead(FileError{kvtmlPath, FileError::Step::Read, ENOMEM});
        }
      } else {
        raw.resize(kChunk);
        block = raw.data();
      }
      std::size_t got = file.readAt(block, kChunk, offset);
      offset += got;
      const bool last = got == 0;
      if (first) {
        first = false;
        const std::string_view start(block, got);
        if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF")) {
          return Refusal(
              InvalidFile(kvtmlPath, "ist in UTF-16 gespeichert; gelesen wird KVTML in UTF-8"));
        }
        if (start.starts_with("\xEF\xBB\xBF")) {
          got -= 3;
          std::memmove(block, block + 3, got);
        }
        const std::string declared = DeclaredEncoding(std::string_view(block, got));
        // Windows-1252 holds every character of Latin-1 where it matters; the lines stay as
        // they are.
        latin = declared == "iso-8859-1" || declared == "latin1" || declared == "iso-8859-15" ||
                declared == "windows-1252" || declared == "cp1252";
        if (latin) {
          // This block was read into expat's buffer; it goes to expat converted, as the
          // following ones do.
          raw.assign(block, got);
          block = raw.data();
        }
      }
      XML_Status status = XML_STATUS_OK;
      if (latin) {
        converted = ToUtf8(WinString(std::string(block, got)));
        status =
            XML_Parse(parser.get(), converted.data(), static_cast<int>(converted.size()), last);
      } else {
        utf8.allow(offset);
        status = XML_ParseBuffer(parser.get(), static_cast<int>(got), last);
      }
      if (status == XML_STATUS_ERROR) {
        // The rest of the document is only checked for broken UTF-8, which is told first.
        xmlError = "ist kein gültiges XML: Zeile " +
                   std::to_string(XML_GetCurrentLineNumber(parser.get())) + ": " +
                   ParseReason(XML_GetErrorCode(parser.get()), parse.depth() > 0);
        utf8.allow(Utf8Behind::kWhole);
        break;
      }
      if (last) break;
    }
  } catch (const IoError& e) {
    readError = e.error();
  }
  parse.handOver();
  conversion.finish();
  if (!latin) {
    if (const std::size_t broken = utf8.broken(); broken != 0) {
      return Refusal(BrokenUtf8(kvtmlPath, broken));
    }
    if (!readError && utf8.error()) readError = utf8.error();
  }
  if (readError) return cannotRead(*readError);
  if (!xmlError.empty()) return Refusal(InvalidFile(kvtmlPath, xmlError));
  if (parse.notKvtml) {
    return Refusal(InvalidFile(kvtmlPath, "ist kein KVTML-Dokument (das Element <kvtml> fehlt)"));
  }
  if (!parse.refusedVersion.empty()) {
    return Refusal(InvalidFile(kvtmlPath, "ist KVTML in der Version " + parse.refusedVersion +
                                              "; gelesen wird KVTML 1.0 und 2.0"));
  }
  source->spool_.flush();
  if (source->spool_.error() != 0) {
    return cannotRead(FileError{kvtmlPath, FileError::Step::Read, source->spool_.error()});
  }
  parse.finish(kvtmlPath, converter);
  return ParsedImport(std::move(source));
}

}  // namespace

ParsedImport ReadKvtmlImport(const std::string& kvtmlPath, bool swap, TextEncoding target) {
  if (KindOf(kvtmlPath) == PathKind::Missing) {
    return Refusal(
        ImportRefusal{{MsgKind::Warning, "Dateiname nicht vorhanden!", MsgButtons::Yes}});
  }
  // Only a regular file is opened, so a FIFO or a device never keeps the import waiting.
  auto file = File::open(kvtmlPath, File::Mode::Read, Lock::None);
  if (!file) {
    return Refusal(ImportRefusal{
        {MsgKind::Error, WithReason("Fehler beim lesen!", file.error()), MsgButtons::Yes}});
  }
  if (std::unique_ptr<StreamedKvtml> read = ReadWithLibxml(*file, kvtmlPath, swap, target)) {
    return ParsedImport(std::move(read));
  }
  return ReadWithExpat(*file, kvtmlPath, swap, target);
}

bool UseLibxmlForTesting(const char* library) {
  {
    const std::lock_guard<std::mutex> lock(libxmlLoading);
    libxmlName = library != nullptr ? library : kLibxmlLibrary;
    libxmlTried = false;
    libxmlLoaded.reset();
  }
  return Libxml() != nullptr;
}

}  // namespace merkhaus
