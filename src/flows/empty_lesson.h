// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "flows/flows.h"
#include "platform/messages.h"
#include "store/shared.h"

namespace merkhaus {

// A lesson without entries can be neither practised nor tested: tells the learner so and offers
// the lesson choice of the same DataFile. True when another lesson was chosen (it is CurUnitID
// now); false, with Cancelled = 1, when none was.
bool ChooseInsteadOfEmptyLesson(Shared& shared, Messages& messages, LessonChooser& lessons);

}  // namespace merkhaus
