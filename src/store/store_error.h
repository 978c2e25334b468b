// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <tl/expected.hpp>

#include <cstddef>
#include <cstdint>

#include "platform/file_io.h"
#include "platform/win_string.h"

namespace merkhaus {

// Why the store did not do what it was asked. The store never tells the learner anything: the
// session that asked chooses the words (and whether to say anything at all).
struct StoreError {
  enum class Kind {
    File,           // the DataFile could not be opened, read or written; `file` tells how
    TextFile,       // the file could not even be opened as text (the DataFile probe)
    LessonMissing,  // no live lesson holds `unitId` (any more)
    NameTaken,      // a live lesson is named `name` already
    NoFreeUnitId,   // too few free UnitIDs: `count` lessons are live
    UnitIdHeld,     // a live lesson named `name` holds `unitId`
  };

  // The DataFile could not be opened (or read) for the operation: nothing was changed.
  StoreError(FileError error)  // NOLINT: a file error is a store error
      : kind(Kind::File), file(std::move(error)) {}
  explicit StoreError(Kind kind) : kind(kind) {}
  // A write that had begun failed; `rolledBack` tells whether the DataFile is as it was.
  static StoreError writeInterrupted(FileError error, bool rolledBack) {
    StoreError e(std::move(error));
    e.interrupted = true;
    e.rolledBack = rolledBack;
    return e;
  }

  Kind kind;
  FileError file;
  bool interrupted = false;  // the failure came after the DataFile had been taken to be changed
  bool rolledBack = true;    // after an interrupted change: the DataFile is as it was
  std::uint8_t unitId = 0;
  WinString name;
  std::size_t count = 0;
};

// What the store yields: the value, or why there is none.
template <class T = void>
using StoreResult = tl::expected<T, StoreError>;

inline tl::unexpected<StoreError> Refused(StoreError error) {
  return tl::unexpected<StoreError>(std::move(error));
}

}  // namespace merkhaus
