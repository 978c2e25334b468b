// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "flows/lesson_context.h"
#include "platform/messages.h"
#include "platform/win_string.h"

namespace merkhaus {

// Writes a new name and comment into record 0 ("DataFile Info") or into the live header of the
// current lesson ("Lektions Info") and updates the copy in the lesson context. False when
// nothing was written ("RW - Fehler in Unit12!" with the reason when the DataFile cannot be
// opened).
bool WriteHeaderInfo(LessonContext& lesson, Messages& messages, bool dataFile,
                     const WinString& name, const WinString& comment);

}  // namespace merkhaus
