// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "store/vocdata.h"

namespace merkhaus {

// The state that every working mode shares: the current DataFile and lesson, the cancel flag,
// copies of the header records and the loaded entries. One instance is made in main and handed
// to every window; tests make their own.
struct Shared {
  std::string DataFilePath;             // the current DataFile
  std::uint8_t CurUnitID = 0;           // the current lesson, 0 for none
  std::uint8_t Cancelled = 0;           // 1 when the learner abandoned a step of the running flow
  TVocData DataFileHeader{};            // copy of record 0 of the current DataFile
  TVocData CurUnit{};                   // copy of the current lesson's header
  TVocData RecBuf{};                    // scratch record of one operation
  std::array<TVocData, 256> VocList{};  // the loaded entries of the current mode, at most 255
  std::uint8_t VocCount = 0;
  std::string CmdLineFile;  // the DataFile named on the command line, or empty
};

// Most entries a mode loads from one lesson.
inline constexpr std::size_t kMaxVocs = 255;

}  // namespace merkhaus
