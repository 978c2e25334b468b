#pragma once

#include <cstdint>
#include <string>

#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/shared.h"

namespace merkhaus {

// Deletes the lesson of a lesson-list line: its header and every live record of its UnitID are
// marked deleted. Yields the number of records marked (the header included), 0 when the line
// matches no lesson or the DataFile cannot be opened (after "RW - Fehler in Unit6!").
std::uint32_t DeleteUnit(const std::string& path, const WinString& selectedLine,
                         Messages& messages);

// The delete flow of the lesson list ("&Löschen"): asks, deletes the lesson of the selected line
// with its entries and tells the result. `selectedLine` is null when no line is selected. True
// when the line is to be removed from the list.
bool DeleteUnitFlow(const std::string& path, const WinString* selectedLine, Messages& messages);

// Writes a new name and comment into record 0 ("DataFile Info") or into the live header of
// lesson shared.CurUnitID ("Lektions Info") and updates the copy in DataFileHeader or CurUnit.
// False when nothing was written.
bool WriteHeaderInfo(Shared& shared, Messages& messages, bool dataFile, const WinString& name,
                     const WinString& comment);

}  // namespace merkhaus
