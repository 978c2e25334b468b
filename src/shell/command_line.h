// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "flows/lesson_context.h"
#include "platform/messages.h"

namespace merkhaus {

// Takes the first command-line argument as the context's command-line file and checks it: a
// file that does not exist or is not a DataFile is reported and forgotten. True when the
// command-line file is set afterwards.
bool CheckCommandLineFile(LessonContext& lesson, Messages& messages,
                          const std::vector<std::string>& args);

}  // namespace merkhaus
