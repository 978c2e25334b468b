// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "progress/progress_error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace merkhaus {

// A failure of the database, thrown inside the progress store and handed to its callers as a
// value at its surface.
struct DbFailure {
  ProgressError error;
};

// One prepared statement. Binding and reading columns count from 1 and 0 as in SQLite.
class DbStatement {
 public:
  DbStatement(sqlite3* db, sqlite3_stmt* stmt, const std::string& path, FileError::Step step)
      : db_(db), stmt_(stmt), path_(path), step_(step) {}
  ~DbStatement();
  DbStatement(const DbStatement&) = delete;
  DbStatement& operator=(const DbStatement&) = delete;

  DbStatement& bind(int index, std::int64_t value);
  DbStatement& bind(int index, double value);
  DbStatement& bindText(int index, std::string_view value);
  DbStatement& bindBlob(int index, std::string_view value);
  // Runs to the next row: true when there is one. Throws DbFailure.
  bool step();
  // Runs a statement that returns no rows.
  void run() {
    while (step()) {
    }
  }
  // Back to the start, without bindings.
  void reset();
  std::int64_t integer(int column) const;
  double real(int column) const;
  std::string_view blob(int column) const;

 private:
  void check(int rc) const;

  sqlite3* db_;
  sqlite3_stmt* stmt_;
  const std::string& path_;
  FileError::Step step_;
};

// One connection to a database file, with its statements prepared once.
class SqliteDb {
 public:
  SqliteDb() = default;
  ~SqliteDb();
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  // Opens (or creates) the file. Throws DbFailure.
  void open(const std::string& path, int busyTimeoutMs);
  const std::string& path() const { return path_; }

  // Runs SQL without results (several statements may follow one another).
  void exec(const char* sql, FileError::Step step);
  // The statement of `sql`, reset and with its bindings cleared. `sql` must be a literal: the
  // statements are kept by its address.
  DbStatement& prepare(const char* sql, FileError::Step step);

  [[noreturn]] void fail(int rc, FileError::Step step) const;
  [[noreturn]] void fail(std::string reason, FileError::Step step) const;

 private:
  sqlite3* db_ = nullptr;
  std::string path_;
  std::map<const char*, std::unique_ptr<DbStatement>> statements_;
};

// A write transaction that takes the database's write lock at once (so that reading and then
// writing cannot be overtaken by another program) and rolls back unless committed.
class DbTransaction {
 public:
  explicit DbTransaction(SqliteDb& db);
  ~DbTransaction();
  DbTransaction(const DbTransaction&) = delete;
  DbTransaction& operator=(const DbTransaction&) = delete;
  void commit();

 private:
  SqliteDb& db_;
  bool open_ = true;
};

}  // namespace merkhaus
