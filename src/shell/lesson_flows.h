// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/shared.h"

namespace merkhaus {

// Writes a new name and comment into record 0 ("DataFile Info") or into the live header of
// lesson shared.CurUnitID ("Lektions Info") and updates the copy in DataFileHeader or CurUnit.
// False when nothing was written.
bool WriteHeaderInfo(Shared& shared, Messages& messages, bool dataFile, const WinString& name,
                     const WinString& comment);

}  // namespace merkhaus
