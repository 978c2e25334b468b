// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/store_error.h"

namespace merkhaus {

// What the two restore windows ("Wieder herstellen", "Vokabeln wieder herstellen") and
// merkhaus-tool's restore-lesson do with the store's restore, in the learner's words.

// The lines a restore window offers, or nothing when the window is not to open. Nothing is said
// for a DataFile without any lesson record; an empty list is told ("Es existieren derzeit keine
// gelöschten Units/Vokabeln, die wieder hergestellt werden können."), and so is a DataFile that
// cannot be read ("RW - Fehler in Unit15!"/"...Unit16!" with the reason).
std::optional<std::vector<WinString>> OfferDeletedLessons(const std::string& path,
                                                          Messages& messages);
std::optional<std::vector<WinString>> OfferDeletedEntries(const std::string& path,
                                                          std::uint8_t unitId, Messages& messages);

// Brings back the deleted lesson of a list line; tells why when it cannot. The number of
// records brought back (0 when the line matched no deleted lesson); nothing after a message.
std::optional<std::uint32_t> RestoreLessonTold(const std::string& path, const WinString& name,
                                               Messages& messages);

// Brings back the deleted entry of a list line of lesson `unitId`. True when one came back.
bool RestoreEntryTold(const std::string& path, std::uint8_t unitId, const WinString& line,
                      Messages& messages);

}  // namespace merkhaus
