// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

#include "config/options.h"
#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/shared.h"

namespace merkhaus {

// The seven fields of the quick edit, named after its edit fields.
struct QuickEditTexts {
  WinString Edit1;  // A1
  WinString Edit2;  // B1
  WinString Edit3;  // A2
  WinString Edit4;  // B2
  WinString Edit5;  // A3
  WinString Edit6;  // B3
  WinString Edit7;  // Comment
  bool operator==(const QuickEditTexts&) const = default;
};

// The fields as the dialog shows them for an entry (on opening, and for "Undo").
QuickEditTexts QuickEditFields(const TVocData& entry);

// The entry the dialog stores: every text cut to 255 and given the blanks rule of typed
// vocabulary, the words cut to 60; live, in lesson `unitId` whatever the old entry held.
TVocData BuildQuickEditRecord(const QuickEditTexts& texts, const Options& options,
                              std::uint8_t unitId);

// Stores a confirmed quick edit of VocList[index]: builds the new entry in RecBuf (and copies it
// into `original`, the dialog's Undo record), rewrites every record of the DataFile that equals
// the old entry, and puts the new entry into VocList. When the DataFile cannot be opened the
// learner is told, VocList keeps the old entry and the result is false.
bool SaveQuickEdit(Shared& shared, const Options& options, Messages& messages, std::size_t index,
                   const QuickEditTexts& texts, TVocData& original);

}  // namespace merkhaus
