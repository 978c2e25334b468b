// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <span>
#include <string>

#include "store/record_file.h"
#include "store/store_error.h"
#include "store/vocdata.h"

namespace merkhaus {

// Adds records at the end of a DataFile that the one all-or-nothing append holds for itself.
class Appender {
 public:
  explicit Appender(RecordFile& file) : file_(file) {}

  // The DataFile as it is now, for the checks before anything is added.
  RecordFile& file() { return file_; }

  void add(const TVocData& record) { add(std::span<const TVocData>(&record, 1)); }
  // A block of records; an import hands its entries over block by block.
  void add(std::span<const TVocData> records) {
    if (!records.empty()) file_.append(records.data(), records.size());
  }

 private:
  RecordFile& file_;
};

// What an append adds: it checks the DataFile first (refusing leaves it untouched), then adds
// its records.
using AppendFill = std::function<StoreResult<>(Appender& out)>;

// The one way records are added to a DataFile (saved entries, new lessons, every import). The
// DataFile is held for this append alone from the first check to the last byte, so no other
// program can take a UnitID, delete a lesson being filled or see half of the records. Everything
// `fill` adds is put on the disk, or nothing is: a failed write, or a read error while checking,
// cuts the DataFile back to its former length and yields the file error (`rolledBack` false when
// even that failed).
StoreResult<> AppendAllOrNothing(const std::string& path, const AppendFill& fill);

}  // namespace merkhaus
