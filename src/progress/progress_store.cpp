// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/progress_store.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/app_paths.h"
#include "platform/cp1252.h"
#include "progress/datafile_read.h"
#include "progress/sqlite_db.h"

namespace merkhaus {

namespace {

constexpr auto kOpen = FileError::Step::Open;
constexpr auto kRead = FileError::Step::Read;
constexpr auto kWrite = FileError::Step::Write;

// Marks the database as Merkhaus's own ("MkLs"), so that another program's SQLite file that
// happens to lie there is never changed.
constexpr std::int64_t kApplicationId = 0x4D6B4C73;

// The schema, one step per version; a database of version n gets steps n+1 onwards, each in
// the transaction that also records the new version.
const char* const kMigrations[] = {
    // 1: DataFiles, entries, tests.
    "CREATE TABLE datafile ("
    "  id INTEGER PRIMARY KEY,"
    "  path TEXT NOT NULL UNIQUE,"
    "  header BLOB NOT NULL);"
    "CREATE INDEX datafile_by_header ON datafile(header);"
    "CREATE TABLE entry ("
    "  datafile INTEGER NOT NULL REFERENCES datafile(id) ON DELETE CASCADE,"
    "  unit INTEGER NOT NULL,"
    "  words BLOB NOT NULL,"
    "  key_hash INTEGER NOT NULL,"
    "  stability REAL NOT NULL,"
    "  difficulty REAL NOT NULL,"
    "  last_review INTEGER NOT NULL,"
    "  due INTEGER NOT NULL,"
    "  reps INTEGER NOT NULL,"
    "  lapses INTEGER NOT NULL,"
    "  PRIMARY KEY (datafile, unit, words)) WITHOUT ROWID;"
    // Which entries have been answered, and which are due, without reading every state.
    "CREATE INDEX entry_by_hash ON entry(datafile, unit, key_hash);"
    "CREATE INDEX entry_by_due ON entry(datafile, due);"
    "CREATE TABLE test_result ("
    "  id INTEGER PRIMARY KEY,"
    "  datafile INTEGER NOT NULL REFERENCES datafile(id) ON DELETE CASCADE,"
    "  unit INTEGER NOT NULL,"
    "  day INTEGER NOT NULL,"
    "  right INTEGER NOT NULL,"
    "  asked INTEGER NOT NULL,"
    "  quotient INTEGER NOT NULL);"
    "CREATE INDEX test_result_by_lesson ON test_result(datafile, unit, day);",
};
constexpr std::int64_t kSchemaVersion = std::size(kMigrations);

// The path a DataFile is known by: absolute, with links and "." and ".." resolved as far as
// the file exists.
std::string KnownPath(const std::string& path) {
  std::error_code ec;
  auto absolute = std::filesystem::absolute(path, ec);
  if (ec) return path;
  auto canonical = std::filesystem::weakly_canonical(absolute, ec);
  return (ec ? absolute.lexically_normal() : canonical).string();
}

MemoryState StateAt(const DbStatement& s, int first) {
  MemoryState m;
  m.stability = s.real(first);
  m.difficulty = s.real(first + 1);
  m.lastReview = static_cast<Day>(s.integer(first + 2));
  m.due = static_cast<Day>(s.integer(first + 3));
  m.reps = static_cast<int>(s.integer(first + 4));
  m.lapses = static_cast<int>(s.integer(first + 5));
  return m;
}

[[noreturn]] void Refuse(const std::string& path, std::string reason) {
  throw DbFailure{{path, kOpen, std::move(reason)}};
}

// Runs `f`, turning a failure of the database into an error value.
template <class F>
auto Guard(F&& f) -> ProgressResult<decltype(f())> {
  try {
    if constexpr (std::is_void_v<decltype(f())>) {
      f();
      return {};
    } else {
      return f();
    }
  } catch (const DbFailure& failure) {
    return tl::unexpected(failure.error);
  }
}

}  // namespace

std::string DefaultProgressPath() {
  return (DataDir(ExecutableDir(), UserDirsFromEnvironment().data) / kProgressFileName).string();
}

Grade GradeFor(Outcome outcome) {
  switch (outcome) {
    case Outcome::RightFirstTry:
      return Grade::Good;
    case Outcome::RightWithHelp:
      return Grade::Hard;
    case Outcome::Failed:
      break;
  }
  return Grade::Again;
}

struct ProgressStore::Impl {
  SqliteDb db;

  void open(const std::string& path, const Options& options) {
    checkFile(path);
    db.open(path, options.busyTimeoutMs);
    db.exec("PRAGMA foreign_keys = ON", kOpen);
    const std::int64_t version = checkSchema();
    // Readers never wait for a writer, and a commit appends one small log record, which is on
    // the disk when the review is reported recorded (a few milliseconds).
    db.exec("PRAGMA journal_mode = WAL", kOpen);
    db.exec("PRAGMA synchronous = FULL", kOpen);
    if (version < kSchemaVersion) migrate();
  }

  // Only regular files: SQLite would hang on a FIFO and fail obscurely on a folder. The probe
  // goes through the file layer, which tells the reason in German (and lets tests inject a
  // read-only or failing file).
  void checkFile(const std::string& path) {
    switch (KindOf(path)) {
      case PathKind::Folder:
        Refuse(path, FileReason(EISDIR));
      case PathKind::Other:
        Refuse(path, FileReason(FileError::kNotRegular));
      case PathKind::Missing: {
        const auto folder = std::filesystem::path(path).parent_path();
        if (!folder.empty() && KindOf(folder.string()) != PathKind::Folder)
          Refuse(path, FileReason(FileError::kNoFolder));
        return;
      }
      case PathKind::Regular: {
        const auto probe = File::open(path, File::Mode::ReadWrite, Lock::None);
        if (!probe) Refuse(path, probe.error().reason());
        return;
      }
    }
  }

  // The schema version of the file, after making sure that it is ours: an empty file or our
  // application id.
  std::int64_t checkSchema() {
    auto& appId = db.prepare("PRAGMA application_id", kOpen);
    appId.step();
    const std::int64_t id = appId.integer(0);
    appId.reset();
    auto& objects = db.prepare("SELECT count(*) FROM sqlite_master", kOpen);
    objects.step();
    const std::int64_t count = objects.integer(0);
    objects.reset();
    if (id == 0 && count == 0) return 0;
    if (id != kApplicationId) {
      db.fail("sie ist keine Datenbank des Lernstands von Merkhaus", kOpen);
    }
    auto& version = db.prepare("SELECT version FROM schema_version", kOpen);
    const std::int64_t v = version.step() ? version.integer(0) : 0;
    version.reset();
    if (v > kSchemaVersion) {
      db.fail("sie stammt von einer neueren Version von Merkhaus (Version " + std::to_string(v) +
                  " der Datenbank)",
              kOpen);
    }
    return v;
  }

  void migrate() {
    DbTransaction t(db);
    // Another program may have done it meanwhile.
    std::int64_t version = checkSchema();
    if (version == 0) {
      db.exec(
          "CREATE TABLE schema_version (version INTEGER NOT NULL);"
          "INSERT INTO schema_version VALUES (0);",
          kWrite);
      db.exec(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str(), kWrite);
    }
    for (; version < kSchemaVersion; ++version)
      db.exec(kMigrations[version], kWrite);
    db.prepare("UPDATE schema_version SET version = ?", kWrite).bind(1, kSchemaVersion).run();
    t.commit();
  }

  std::optional<MemoryState> find(std::int64_t file, const std::string& key) {
    auto& s = db.prepare(
        "SELECT stability, difficulty, last_review, due, reps, lapses FROM entry "
        "WHERE datafile = ? AND unit = ? AND words = ?",
        kRead);
    s.bind(1, file).bind(2, std::int64_t{static_cast<unsigned char>(key[0])});
    s.bindBlob(3, std::string_view(key).substr(1));
    std::optional<MemoryState> m;
    if (s.step()) m = StateAt(s, 0);
    s.reset();
    return m;
  }

  void put(std::int64_t file, const std::string& key, const MemoryState& m) {
    db.prepare(
          "INSERT OR REPLACE INTO entry (datafile, unit, words, key_hash, stability, difficulty, "
          "last_review, due, reps, lapses) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
          kWrite)
        .bind(1, file)
        .bind(2, std::int64_t{static_cast<unsigned char>(key[0])})
        .bindBlob(3, std::string_view(key).substr(1))
        .bind(4, static_cast<std::int64_t>(EntryKeyHash(key)))
        .bind(5, m.stability)
        .bind(6, m.difficulty)
        .bind(7, std::int64_t{m.lastReview})
        .bind(8, std::int64_t{m.due})
        .bind(9, std::int64_t{m.reps})
        .bind(10, std::int64_t{m.lapses})
        .run();
  }

  EntryStates collect(DbStatement& s) {
    EntryStates states;
    std::string key;
    while (s.step()) {
      key.assign(1, static_cast<char>(s.integer(0)));
      key.append(s.blob(1));
      states.set(key, StateAt(s, 2));
    }
    return states;
  }

  // The DataFile at a path seen for the first time, by its header: one whose old path no longer
  // holds it has moved here; otherwise this is a copy of the one used last.
  // A known DataFile whose header changed (a new name or comment, or a copy that replaced it).
  void setHeader(std::int64_t id, const std::string& header) {
    db.prepare("UPDATE datafile SET header = ? WHERE id = ?", kWrite)
        .bindBlob(1, header)
        .bind(2, id)
        .run();
  }

  std::int64_t adopt(const std::string& path, const std::string& header) {
    auto& known = db.prepare(
        "SELECT d.id, d.path FROM datafile d LEFT JOIN entry e ON e.datafile = d.id "
        "WHERE d.header = ? GROUP BY d.id ORDER BY max(e.last_review) DESC, d.id DESC",
        kRead);
    known.bindBlob(1, header);
    std::vector<std::pair<std::int64_t, std::string>> candidates;
    while (known.step())
      candidates.emplace_back(known.integer(0), std::string(known.blob(1)));
    for (const auto& [id, oldPath] : candidates) {
      if (KindOf(oldPath) != PathKind::Missing && HeaderIdentityAt(oldPath) == header) continue;
      db.prepare("UPDATE datafile SET path = ? WHERE id = ?", kWrite)
          .bindText(1, path)
          .bind(2, id)
          .run();
      return id;
    }
    db.prepare("INSERT INTO datafile (path, header) VALUES (?, ?)", kWrite)
        .bindText(1, path)
        .bindBlob(2, header)
        .run();
    const std::int64_t id = lastId();
    if (!candidates.empty()) {
      const std::int64_t from = candidates.front().first;
      db.prepare(
            "INSERT INTO entry (datafile, unit, words, key_hash, stability, difficulty, "
            "last_review, due, reps, lapses) SELECT ?, unit, words, key_hash, stability, "
            "difficulty, last_review, due, reps, lapses FROM entry WHERE datafile = ?",
            kWrite)
          .bind(1, id)
          .bind(2, from)
          .run();
      db.prepare(
            "INSERT INTO test_result (datafile, unit, day, right, asked, quotient) "
            "SELECT ?, unit, day, right, asked, quotient FROM test_result WHERE datafile = ? "
            "ORDER BY id",
            kWrite)
          .bind(1, id)
          .bind(2, from)
          .run();
    }
    return id;
  }

  std::int64_t lastId() {
    auto& s = db.prepare("SELECT last_insert_rowid()", kRead);
    s.step();
    const std::int64_t id = s.integer(0);
    s.reset();
    return id;
  }

  // The DataFile known by this path, and the header it had when last seen.
  std::optional<std::pair<std::int64_t, std::string>> byPath(const std::string& path) {
    auto& s = db.prepare("SELECT id, header FROM datafile WHERE path = ?", kRead);
    s.bindText(1, path);
    std::optional<std::pair<std::int64_t, std::string>> found;
    if (s.step()) found.emplace(s.integer(0), std::string(s.blob(1)));
    s.reset();
    return found;
  }
};

ProgressStore::ProgressStore(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ProgressStore::ProgressStore(ProgressStore&&) noexcept = default;
ProgressStore& ProgressStore::operator=(ProgressStore&&) noexcept = default;
ProgressStore::~ProgressStore() = default;

ProgressResult<ProgressStore> ProgressStore::open(const std::string& path, Options options) {
  auto impl = std::make_unique<Impl>();
  return Guard([&] {
    impl->open(path, options);
    return ProgressStore(std::move(impl));
  });
}

const std::string& ProgressStore::path() const {
  return impl_->db.path();
}

ProgressResult<DataFileRef> ProgressStore::dataFile(const std::string& path,
                                                    const TVocData& header) {
  return Guard([&] {
    const std::string known = KnownPath(path);
    const std::string identity = HeaderIdentity(header);
    if (auto found = impl_->byPath(known); found && found->second == identity) {
      return DataFileRef{found->first};
    }
    DbTransaction t(impl_->db);
    std::int64_t id;
    if (auto found = impl_->byPath(known)) {
      // The same file with a new name or comment in its header.
      id = found->first;
      impl_->setHeader(id, identity);
    } else {
      id = impl_->adopt(known, identity);
    }
    t.commit();
    return DataFileRef{id};
  });
}

namespace {

// The words of an entry key (six times a length byte and the bytes) as the Unicode copy of the
// DataFile stores them: UTF-8, each cut to its field at a character boundary as the conversion
// cuts it.
std::string WordsAsUnicode(std::string_view words) {
  std::string out;
  for (int i = 0; i < 6 && !words.empty(); ++i) {
    const std::size_t n =
        std::min<std::size_t>(static_cast<unsigned char>(words[0]), words.size() - 1);
    const WinString utf8(ToUtf8(WinString(words.substr(1, n))), TextEncoding::Utf8);
    const WinString kept = utf8.left(kWordCapacity);
    out += static_cast<char>(kept.size());
    out += kept.bytes();
    words.remove_prefix(1 + n);
  }
  return out;
}

}  // namespace

ProgressResult<void> ProgressStore::dataFileConverted(DataFileRef from, const std::string& toPath,
                                                      const TVocData& toHeader) {
  return Guard([&] {
    const std::string known = KnownPath(toPath);
    const std::string identity = HeaderIdentity(toHeader);
    DbTransaction t(impl_->db);
    std::int64_t id;
    if (auto found = impl_->byPath(known)) {
      // A file replaced by the copy: what was known of it belonged to another file.
      id = found->first;
      impl_->setHeader(id, identity);
      impl_->db.prepare("DELETE FROM entry WHERE datafile = ?", kWrite).bind(1, id).run();
      impl_->db.prepare("DELETE FROM test_result WHERE datafile = ?", kWrite).bind(1, id).run();
    } else {
      impl_->db.prepare("INSERT INTO datafile (path, header) VALUES (?, ?)", kWrite)
          .bindText(1, known)
          .bindBlob(2, identity)
          .run();
      id = impl_->lastId();
    }
    std::vector<std::pair<std::string, MemoryState>> rows;
    auto& s = impl_->db.prepare(
        "SELECT unit, words, stability, difficulty, last_review, due, reps, lapses FROM entry "
        "WHERE datafile = ?",
        kRead);
    s.bind(1, from.id);
    while (s.step()) {
      std::string key(1, static_cast<char>(s.integer(0)));
      key += WordsAsUnicode(s.blob(1));
      rows.emplace_back(std::move(key), StateAt(s, 2));
    }
    s.reset();
    for (const auto& [key, state] : rows)
      impl_->put(id, key, state);
    impl_->db
        .prepare(
            "INSERT INTO test_result (datafile, unit, day, right, asked, quotient) "
            "SELECT ?, unit, day, right, asked, quotient FROM test_result WHERE datafile = ? "
            "ORDER BY id",
            kWrite)
        .bind(1, id)
        .bind(2, from.id)
        .run();
    t.commit();
  });
}

ProgressResult<MemoryState> ProgressStore::state(DataFileRef file, const TVocData& entry) {
  return Guard(
      [&] { return impl_->find(file.id, EntryKey(entry.UnitID, entry)).value_or(MemoryState{}); });
}

ProgressResult<EntryStates> ProgressStore::states(DataFileRef file) {
  return Guard([&] {
    auto& s = impl_->db.prepare(
        "SELECT unit, words, stability, difficulty, last_review, due, reps, lapses FROM entry "
        "WHERE datafile = ?",
        kRead);
    s.bind(1, file.id);
    return impl_->collect(s);
  });
}

ProgressResult<EntryStates> ProgressStore::dueStates(DataFileRef file, Day today) {
  return Guard([&] {
    auto& s = impl_->db.prepare(
        "SELECT unit, words, stability, difficulty, last_review, due, reps, lapses FROM entry "
        "WHERE datafile = ? AND due <= ?",
        kRead);
    s.bind(1, file.id).bind(2, std::int64_t{today});
    EntryStates states = impl_->collect(s);
    auto& answered =
        impl_->db.prepare("SELECT unit, key_hash FROM entry WHERE datafile = ?", kRead);
    answered.bind(1, file.id);
    while (answered.step()) {
      states.markAnswered(static_cast<std::uint8_t>(answered.integer(0)),
                          static_cast<std::uint64_t>(answered.integer(1)));
    }
    return states;
  });
}

ProgressResult<EntryStates> ProgressStore::lessonStates(DataFileRef file, std::uint8_t unitId) {
  return Guard([&] {
    auto& s = impl_->db.prepare(
        "SELECT unit, words, stability, difficulty, last_review, due, reps, lapses FROM entry "
        "WHERE datafile = ? AND unit = ?",
        kRead);
    s.bind(1, file.id).bind(2, std::int64_t{unitId});
    return impl_->collect(s);
  });
}

ProgressResult<MemoryState> ProgressStore::review(DataFileRef file, const TVocData& entry,
                                                  Grade grade, Day today,
                                                  const SchedulerParams& params) {
  return Guard([&] {
    const std::string key = EntryKey(entry.UnitID, entry);
    DbTransaction t(impl_->db);
    const MemoryState next =
        Review(impl_->find(file.id, key).value_or(MemoryState{}), grade, today, params);
    impl_->put(file.id, key, next);
    t.commit();
    return next;
  });
}

ProgressResult<std::optional<MemoryState>> ProgressStore::recordOutcome(
    DataFileRef file, const TVocData& entry, Outcome outcome, Day today,
    const SchedulerParams& params) {
  return Guard([&]() -> std::optional<MemoryState> {
    const std::string key = EntryKey(entry.UnitID, entry);
    DbTransaction t(impl_->db);
    const MemoryState old = impl_->find(file.id, key).value_or(MemoryState{});
    // Practice repeats an entry until it is known; only the first answer of a day tells how
    // well it was remembered.
    if (!old.isNew() && today <= old.lastReview) return std::nullopt;
    const MemoryState next = Review(old, GradeFor(outcome), today, params);
    impl_->put(file.id, key, next);
    t.commit();
    return next;
  });
}

ProgressResult<void> ProgressStore::entryCorrected(DataFileRef file, const TVocData& oldRecord,
                                                   const TVocData& newRecord) {
  return Guard([&] {
    const std::string from = EntryKey(oldRecord.UnitID, oldRecord);
    const std::string to = EntryKey(newRecord.UnitID, newRecord);
    if (from == to) return;
    DbTransaction t(impl_->db);
    if (const auto state = impl_->find(file.id, from)) impl_->put(file.id, to, *state);
    t.commit();
  });
}

ProgressResult<void> ProgressStore::resetLesson(DataFileRef file, std::uint8_t unitId) {
  return Guard([&] {
    DbTransaction t(impl_->db);
    impl_->db.prepare("DELETE FROM entry WHERE datafile = ? AND unit = ?", kWrite)
        .bind(1, file.id)
        .bind(2, std::int64_t{unitId})
        .run();
    t.commit();
  });
}

ProgressResult<void> ProgressStore::addTestResult(DataFileRef file, const TestResult& result) {
  return Guard([&] {
    DbTransaction t(impl_->db);
    impl_->db
        .prepare(
            "INSERT INTO test_result (datafile, unit, day, right, asked, quotient) "
            "VALUES (?, ?, ?, ?, ?, ?)",
            kWrite)
        .bind(1, file.id)
        .bind(2, std::int64_t{result.unitId})
        .bind(3, std::int64_t{result.day})
        .bind(4, std::int64_t{result.right})
        .bind(5, std::int64_t{result.asked})
        .bind(6, std::int64_t{result.quotient})
        .run();
    t.commit();
  });
}

ProgressResult<std::vector<TestResult>> ProgressStore::testHistory(DataFileRef file,
                                                                   std::uint8_t unitId) {
  return Guard([&] {
    auto& s = impl_->db.prepare(
        "SELECT day, right, asked, quotient FROM test_result WHERE datafile = ? AND unit = ? "
        "ORDER BY day, id",
        kRead);
    s.bind(1, file.id).bind(2, std::int64_t{unitId});
    std::vector<TestResult> history;
    while (s.step()) {
      history.push_back({unitId, static_cast<Day>(s.integer(0)), static_cast<int>(s.integer(1)),
                         static_cast<int>(s.integer(2)), static_cast<int>(s.integer(3))});
    }
    return history;
  });
}

}  // namespace merkhaus
