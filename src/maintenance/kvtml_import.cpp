// SPDX-License-Identifier: GPL-3.0-or-later
// Reading KVTML as a stream. The document passes through expat block by block; each entry is
// converted when its element closes and parked in a scratch file, so that what stays in memory
// is the shape of the document (which entries each lesson holds), a few bytes per entry. A
// document of any size imports with the same small buffers.
//
// Two generations of the format are read:
//   KVTML 2.0: <kvtml version="2.0"><entries><entry id="0"><translation id="0"><text>…
//              and <lessons><container><name>…</name><entry id="0"/></container></lessons>
//   KVTML 1.0: <kvtml title="…"><lesson><desc no="1">Name</desc></lesson>
//              <e m="1"><o>foreign</o><t>native</t></e></kvtml>
//              (KWordQuiz's and KVocTrain's older files; m names the lesson, by its desc number)

#include <expat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "maintenance/kvtml_transfer.h"
#include "maintenance/source_text.h"
#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "text/text_rules.h"

namespace merkhaus {
namespace {

// Bytes of the document read and parsed at once.
constexpr std::size_t kChunk = std::size_t{1} << 20;
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
        // Most of a document is ASCII: eight bytes at a time while no high bit is set.
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
    line_ += static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
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

// Converted entries wait here, one record per entry of the document in document order (a
// problem entry keeps its place with an empty record), until the pipeline writes the lessons.
class RecordSpool {
 public:
  RecordSpool() : file_(std::tmpfile()) {
    if (file_ == nullptr) error_ = errno;
    pending_.reserve(kBlockRecords);
  }
  ~RecordSpool() {
    if (file_ != nullptr) std::fclose(file_);
  }
  RecordSpool(const RecordSpool&) = delete;
  RecordSpool& operator=(const RecordSpool&) = delete;

  // The errno of the first failure, 0 while all is well.
  int error() const { return error_; }

  void add(const TVocData& record) {
    pending_.push_back(record);
    if (pending_.size() == kBlockRecords) flush();
  }
  void flush() {
    if (error_ == 0 && !pending_.empty()) write(pending_.data(), pending_.size());
    pending_.clear();
  }
  // Records `first` .. `first + n - 1`; false when the scratch file cannot be read.
  bool read(std::uint32_t first, std::size_t n, TVocData* out) const {
    auto* bytes = reinterpret_cast<char*>(out);
    std::size_t want = n * kRecordSize;
    auto offset = static_cast<off_t>(std::uint64_t{first} * kRecordSize);
    while (want > 0) {
      const ssize_t got = ::pread(fileno(file_), bytes, want, offset);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      bytes += got;
      want -= static_cast<std::size_t>(got);
      offset += got;
    }
    return true;
  }

 private:
  void write(const TVocData* records, std::size_t n) {
    const auto* bytes = reinterpret_cast<const char*>(records);
    std::size_t left = n * kRecordSize;
    while (left > 0) {
      const ssize_t put = ::pwrite(fileno(file_), bytes, left, static_cast<off_t>(written_));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        error_ = put < 0 ? errno : ENOSPC;
        return;
      }
      bytes += put;
      left -= static_cast<std::size_t>(put);
      written_ += static_cast<std::uint64_t>(put);
    }
  }

  std::FILE* file_;
  int error_ = 0;
  std::uint64_t written_ = 0;
  std::vector<TVocData> pending_;
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
  static std::size_t Hash(std::string_view id) {
    std::uint32_t h = 2166136261u;
    for (const char c : id) {
      h ^= static_cast<unsigned char>(c);
      h *= 16777619u;
    }
    return h;
  }
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

class StreamedKvtml : public ImportSource {
 public:
  const ImportPlan& plan() const override { return plan_; }
  void entries(std::size_t lesson,
               const std::function<void(std::span<const TVocData>)>& take) override {
    std::vector<TVocData> block(kBlockRecords);
    std::size_t filled = 0;
    // Entries that follow each other in the document are read with one call.
    std::uint32_t run = 0;
    std::size_t runLength = 0;
    auto readRun = [&] {
      while (runLength > 0) {
        const std::size_t n = std::min(runLength, kBlockRecords - filled);
        if (!spool_.read(run, n, block.data() + filled)) {
          throw IoError(FileError{sourcePath_, FileError::Step::Read, errno != 0 ? errno : EIO});
        }
        filled += n;
        run += static_cast<std::uint32_t>(n);
        runLength -= n;
        if (filled == kBlockRecords) {
          take(block);
          filled = 0;
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
    if (filled > 0) take(std::span<const TVocData>(block.data(), filled));
  }

  ImportPlan plan_;
  std::string sourcePath_;
  RecordSpool spool_;
  std::vector<PackedEntries> lessonEntries_;  // per lesson of the plan
};

// The parse: expat calls back into this object.
class KvtmlParse {
 public:
  KvtmlParse(StreamedKvtml& out, bool swap, TextEncoding target)
      : out_(out), report_(out.plan_.report), swap_(swap), target_(target) {}

  // The parser reading the document, for the line numbers.
  XML_Parser parser = nullptr;
  bool notKvtml = false;
  std::string refusedVersion;  // a version this reader does not know
  std::size_t depth() const { return nodes_.size(); }

  void start(const char* name, const char** attributes) {
    const std::string_view n = name;
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
      report_.problem(line(), note);
    }
  }

  // After the whole document: the lessons with their entries, the plan.
  void finish(const std::string& path);

 private:
  static std::string_view Attribute(const char** attributes, std::string_view name) {
    for (const char** a = attributes; *a != nullptr; a += 2) {
      if (name == a[0]) return a[1];
    }
    return {};
  }

  std::size_t line() const { return static_cast<std::size_t>(XML_GetCurrentLineNumber(parser)); }

  // Ids that are plain numbers are kept as numbers (most documents number their entries);
  // others as text.
  std::uint32_t KeyOf(std::string_view id) {
    if (!id.empty() && id.size() <= 9 && (id == "0" || id[0] != '0') &&
        std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      std::uint32_t number = 0;
      for (const char c : id)
        number = number * 10 + static_cast<std::uint32_t>(c - '0');
      return number;
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

  // The record of the entry that just closed, into the spool; a problem entry is told by the
  // line of its element and keeps an empty place.
  void endEntry() {
    inEntry_ = false;
    usable_.push_back(convert());
    out_.spool_.add(usable_.back() ? record_ : EmptyRecord());
  }

  bool convert() {
    if (!entryProblem_.empty()) {
      report_.problem(entryLine_, entryProblem_);
      return false;
    }
    std::vector<std::string> bad;
    auto win = [&](const std::string& utf8) {
      const auto converted = ToWinText(utf8, SourceEncoding::Utf8, bad, target_);
      if (!converted) bad.push_back("kein gültiger Text");
      return converted.value_or(WinString());
    };
    const WinString text0 = win(texts_[0]), text1 = win(texts_[1]);
    const WinString comment0 = win(comments_[0]), comment1 = win(comments_[1]);
    if (!bad.empty()) {
      report_.problem(entryLine_, DescribeBadCharacters(bad));
      return false;
    }
    SourceTexts texts;
    SplitSide(WordOneLine(swap_ ? text1 : text0).view(), &texts.words[0], target_);
    SplitSide(WordOneLine(swap_ ? text0 : text1).view(), &texts.words[3], target_);
    WinString comment = comment0;
    if (!comment0.empty() && !comment1.empty()) comment += WinString(" / ");
    comment += comment1;
    texts.comment = CommentLineBreaks(comment);
    record_ = MakeEntry(texts, entryLine_, report_);
    return true;
  }

  // The entries that the references of a lesson mean, each once, in the order of the references;
  // a reference to no entry is told.
  void settle(SourceLesson& lesson) {
    taken_.resize(std::size_t{ordinal_} + 1, false);
    for (const EntryRef& ref : lesson.refs) {
      const std::uint32_t entry = resolve(ref.key);
      if (entry == 0) {
        report_.warning(ref.line,
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
    if ((key & kTextKey) == 0) return std::to_string(key);
    return std::string(textIds_.text(key & ~kTextKey));
  }

  StreamedKvtml& out_;
  ImportReport& report_;
  bool swap_;
  TextEncoding target_;  // the encoding of the DataFile the entries go into
  std::vector<Node> nodes_;
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
  TVocData record_{};

  std::uint32_t ordinal_ = 0;               // entries so far
  std::vector<bool> usable_;                // per entry: converted without a problem
  std::vector<bool> taken_;                 // per entry: in the lesson being settled
  bool identity_ = true;                    // every id so far was its entry's number, from 0
  std::uint32_t identityCount_ = 0;         // the entries numbered so
  std::vector<std::uint32_t> byNumber_;     // numeric id -> entry (0: none)
  std::vector<std::uint32_t> entryOfText_;  // ids that are no numbers -> entry (0: none)
  std::unordered_map<std::uint32_t, std::uint32_t> byLargeNumber_;  // numbers far ahead -> entry
  TextIds textIds_;

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

void KvtmlParse::finish(const std::string& path) {
  out_.spool_.flush();
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
      if (usable_[entry - 1]) entries.push_back(entry - 1);
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
  static_cast<KvtmlParse*>(data)->start(name, attributes);
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

// Reads the document with expat, block by block, into text of the DataFile's encoding.
ParsedImport ReadWithExpat(File& file, const std::string& kvtmlPath, bool swap,
                           TextEncoding target) {
  const auto cannotRead = [](const FileError& error) {
    return Refusal(
        ImportRefusal{{MsgKind::Error, WithReason("Fehler beim lesen!", error), MsgButtons::Yes}});
  };
  auto source = std::make_unique<StreamedKvtml>();
  source->sourcePath_ = kvtmlPath;
  KvtmlParse parse(*source, swap, target);
  // Expat reads the bytes as UTF-8 whatever the declaration says: a document declared as
  // Latin-1 is converted block by block before it is parsed.
  std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreate("UTF-8"));
  if (!parser) return cannotRead(FileError{kvtmlPath, FileError::Step::Read, ENOMEM});
  parse.parser = parser.get();
  XML_SetUserData(parser.get(), &parse);
  XML_SetElementHandler(parser.get(), OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser.get(), OnText);
  XML_SetSkippedEntityHandler(parser.get(), OnSkippedEntity);
  // As if the document named an outside DTD: an entity it never declares is then passed over
  // (and told) instead of ending the whole import.
  XML_UseForeignDTD(parser.get(), XML_TRUE);

  Utf8Check utf8;
  bool latin = false;
  bool first = true;
  std::string xmlError;
  std::string chunk(kChunk, '\0');
  std::string converted;
  std::uint64_t offset = 0;
  try {
    for (;;) {
      std::size_t got = file.readAt(chunk.data(), kChunk, offset);
      offset += got;
      const bool last = got == 0;
      std::string_view bytes(chunk.data(), got);
      if (first) {
        first = false;
        if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
          return Refusal(
              InvalidFile(kvtmlPath, "ist in UTF-16 gespeichert; gelesen wird KVTML in UTF-8"));
        }
        if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
        const std::string declared = DeclaredEncoding(bytes);
        // Windows-1252 holds every character of Latin-1 where it matters; the lines stay as
        // they are.
        latin = declared == "iso-8859-1" || declared == "latin1" || declared == "iso-8859-15" ||
                declared == "windows-1252" || declared == "cp1252";
      }
      if (latin) {
        converted = ToUtf8(WinString(std::string(bytes)));
        bytes = converted;
      } else {
        utf8.add(bytes);
        if (utf8.broken() != 0) return Refusal(BrokenUtf8(kvtmlPath, utf8.broken()));
      }
      if (xmlError.empty() && XML_Parse(parser.get(), bytes.data(), static_cast<int>(bytes.size()),
                                        last) == XML_STATUS_ERROR) {
        // After an XML error the rest is only checked for broken UTF-8, which is told first.
        xmlError = "ist kein gültiges XML: Zeile " +
                   std::to_string(XML_GetCurrentLineNumber(parser.get())) + ": " +
                   ParseReason(XML_GetErrorCode(parser.get()), parse.depth() > 0);
      }
      if (last) break;
    }
  } catch (const IoError& e) {
    return cannotRead(e.error());
  }
  if (!latin) {
    if (const std::size_t broken = utf8.finish(); broken != 0) {
      return Refusal(BrokenUtf8(kvtmlPath, broken));
    }
  }
  if (!xmlError.empty()) return Refusal(InvalidFile(kvtmlPath, xmlError));
  if (parse.notKvtml) {
    return Refusal(InvalidFile(kvtmlPath, "ist kein KVTML-Dokument (das Element <kvtml> fehlt)"));
  }
  if (!parse.refusedVersion.empty()) {
    return Refusal(InvalidFile(kvtmlPath, "ist KVTML in der Version " + parse.refusedVersion +
                                              "; gelesen wird KVTML 1.0 und 2.0"));
  }
  if (source->spool_.error() != 0) {
    return cannotRead(FileError{kvtmlPath, FileError::Step::Read, source->spool_.error()});
  }
  parse.finish(kvtmlPath);
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
  return ReadWithExpat(*file, kvtmlPath, swap, target);
}

}  // namespace merkhaus
