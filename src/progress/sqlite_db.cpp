// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/sqlite_db.h"

#include <sqlite3.h>

#include <atomic>
#include <cerrno>
#include <mutex>

#include "platform/shared_library.h"

namespace merkhaus {

namespace {

// SQLite is loaded when a database is first opened: most commands of merkhaus-tool never open
// one, and loading the library would cost each of them a good part of a millisecond.
constexpr const char* kSqliteLibrary = "libsqlite3.so.0";

// clang-format off
#define MERKHAUS_SQLITE_FUNCTIONS(X) \
  X(sqlite3_open_v2) \
  X(sqlite3_close_v2) \
  X(sqlite3_extended_result_codes) \
  X(sqlite3_busy_timeout) \
  X(sqlite3_exec) \
  X(sqlite3_prepare_v3) \
  X(sqlite3_finalize) \
  X(sqlite3_step) \
  X(sqlite3_reset) \
  X(sqlite3_clear_bindings) \
  X(sqlite3_bind_int64) \
  X(sqlite3_bind_double) \
  X(sqlite3_bind_text) \
  X(sqlite3_bind_blob) \
  X(sqlite3_column_int64) \
  X(sqlite3_column_double) \
  X(sqlite3_column_blob) \
  X(sqlite3_column_bytes) \
  X(sqlite3_errstr) \
  X(sqlite3_system_errno)
// clang-format on

// The library's functions, each under its own name.
struct SqliteFunctions {
#define MERKHAUS_SQLITE_POINTER(f) decltype(&::f) f = nullptr;
  MERKHAUS_SQLITE_FUNCTIONS(MERKHAUS_SQLITE_POINTER)
#undef MERKHAUS_SQLITE_POINTER
};

SqliteFunctions api;
std::mutex loading;
std::atomic<bool> loaded{false};

// Loads the library once; the German reason when it cannot be.
tl::expected<void, std::string> LoadSqlite() {
  if (loaded.load(std::memory_order_acquire)) return {};
  const std::lock_guard<std::mutex> lock(loading);
  if (loaded.load(std::memory_order_acquire)) return {};
  const auto library = SharedLibrary::load(kSqliteLibrary);
  const auto cannot = [](const std::string& reason) {
    return tl::unexpected<std::string>(std::string("die Bibliothek \"") + kSqliteLibrary +
                                       "\" kann nicht geladen werden: " + reason);
  };
  if (!library) return cannot(library.error());
  SqliteFunctions found;
#define MERKHAUS_SQLITE_FIND(f) \
  if (auto ok = library->find(#f, found.f); !ok) return cannot(ok.error());
  MERKHAUS_SQLITE_FUNCTIONS(MERKHAUS_SQLITE_FIND)
#undef MERKHAUS_SQLITE_FIND
  api = found;
  loaded.store(true, std::memory_order_release);
  return {};
}

std::string Reason(sqlite3* db, int rc) {
  switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return FileReason(FileError::kBusy);
    case SQLITE_NOTADB:
      return "sie ist keine Datenbank (sie ist beschädigt oder gehört einem anderen Programm)";
    case SQLITE_CORRUPT:
      return "die Datenbank ist beschädigt";
    case SQLITE_FULL:
      return FileReason(ENOSPC);
    case SQLITE_NOMEM:
      return FileReason(ENOMEM);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
      if (const int code = db ? api.sqlite3_system_errno(db) : 0) return FileReason(code);
      if ((rc & 0xff) == SQLITE_READONLY) return "die Datenbank ist schreibgeschützt";
      return FileReason(EIO);
    default:
      return "Fehler " + std::to_string(rc) + " der Datenbank (" + api.sqlite3_errstr(rc) + ")";
  }
}

}  // namespace

std::string ProgressError::text() const {
  const char* what = step == FileError::Step::Open   ? "geöffnet"
                     : step == FileError::Step::Read ? "gelesen"
                                                     : "geschrieben";
  return "Die Datei \"" + path + "\" kann nicht " + what + " werden: " + reason + ".";
}

std::string ProgressNotKeptText(const ProgressError& error) {
  return "Der Lernstand kann nicht geführt werden.\n" + error.text();
}

// ---------------------------------------------------------------------------------------------

DbStatement::~DbStatement() {
  api.sqlite3_finalize(stmt_);
}

void DbStatement::check(int rc) const {
  if (rc != SQLITE_OK) throw DbFailure{{path_, step_, Reason(db_, rc)}};
}

DbStatement& DbStatement::bind(int index, std::int64_t value) {
  check(api.sqlite3_bind_int64(stmt_, index, value));
  return *this;
}

DbStatement& DbStatement::bind(int index, double value) {
  check(api.sqlite3_bind_double(stmt_, index, value));
  return *this;
}

DbStatement& DbStatement::bindText(int index, std::string_view value) {
  check(api.sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()),
                              SQLITE_TRANSIENT));
  return *this;
}

DbStatement& DbStatement::bindBlob(int index, std::string_view value) {
  // An empty blob bound with a null pointer would read as NULL.
  static const char kEmpty = 0;
  check(api.sqlite3_bind_blob(stmt_, index, value.empty() ? &kEmpty : value.data(),
                              static_cast<int>(value.size()), SQLITE_TRANSIENT));
  return *this;
}

bool DbStatement::step() {
  const int rc = api.sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  api.sqlite3_reset(stmt_);
  throw DbFailure{{path_, step_, Reason(db_, rc)}};
}

void DbStatement::reset() {
  api.sqlite3_reset(stmt_);
  api.sqlite3_clear_bindings(stmt_);
}

std::int64_t DbStatement::integer(int column) const {
  return api.sqlite3_column_int64(stmt_, column);
}

double DbStatement::real(int column) const {
  return api.sqlite3_column_double(stmt_, column);
}

std::string_view DbStatement::blob(int column) const {
  const void* data = api.sqlite3_column_blob(stmt_, column);
  const int n = api.sqlite3_column_bytes(stmt_, column);
  return data ? std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(n))
              : std::string_view();
}

// ---------------------------------------------------------------------------------------------

SqliteDb::~SqliteDb() {
  statements_.clear();
  if (db_ != nullptr) api.sqlite3_close_v2(db_);
}

void SqliteDb::open(const std::string& path, int busyTimeoutMs) {
  path_ = path;
  if (auto library = LoadSqlite(); !library)
    fail(std::move(library.error()), FileError::Step::Open);
  const int rc = api.sqlite3_open_v2(
      path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
      nullptr);
  if (rc != SQLITE_OK) fail(rc, FileError::Step::Open);
  api.sqlite3_extended_result_codes(db_, 1);
  api.sqlite3_busy_timeout(db_, busyTimeoutMs);
}

void SqliteDb::exec(const char* sql, FileError::Step step) {
  const int rc = api.sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) fail(rc, step);
}

DbStatement& SqliteDb::prepare(const char* sql, FileError::Step step) {
  auto& slot = statements_[sql];
  if (!slot) {
    sqlite3_stmt* stmt = nullptr;
    const int rc = api.sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
      statements_.erase(sql);
      fail(rc, step);
    }
    slot = std::make_unique<DbStatement>(db_, stmt, path_, step);
  } else {
    slot->reset();
  }
  return *slot;
}

void SqliteDb::fail(int rc, FileError::Step step) const {
  throw DbFailure{{path_, step, Reason(db_, rc)}};
}

void SqliteDb::fail(std::string reason, FileError::Step step) const {
  throw DbFailure{{path_, step, std::move(reason)}};
}

// ---------------------------------------------------------------------------------------------

DbTransaction::DbTransaction(SqliteDb& db) : db_(db) {
  db_.exec("BEGIN IMMEDIATE", FileError::Step::Write);
}

DbTransaction::~DbTransaction() {
  if (!open_) return;
  try {
    db_.exec("ROLLBACK", FileError::Step::Write);
  } catch (const DbFailure&) {
    // A failed statement may have ended the transaction already.
  }
}

void DbTransaction::commit() {
  db_.exec("COMMIT", FileError::Step::Write);
  open_ = false;
}

}  // namespace merkhaus
