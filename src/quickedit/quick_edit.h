// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "config/options.h"
#include "flows/lesson_context.h"
#include "platform/messages.h"
#include "store/vocdata.h"

namespace merkhaus {

// The quick edit of one entry ("Quick-Edit", "Quick-View"), which the practice, the dictionary
// and the DataFile editor open. It takes an entry and gives back the corrected one.

// The entry the dialog stores: every text cut to 255 and given the blanks rule of typed
// vocabulary, the words cut to 60; live, in lesson `unitId` whatever the old entry held.
TVocData BuildQuickEditRecord(const EntryTexts& texts, const Options& options, std::uint8_t unitId);

// Stores a confirmed quick edit of `entry`: builds the new entry in the current lesson and
// rewrites every record of the current DataFile that equals the old one. The new entry; nothing
// when the DataFile cannot be written ("Das Speichern ist fehlgeschlagen!" with the file and the
// reason).
std::optional<TVocData> SaveQuickEdit(const LessonContext& lesson, const Options& options,
                                      Messages& messages, const TVocData& entry,
                                      const EntryTexts& texts);

}  // namespace merkhaus
