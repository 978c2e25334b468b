// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "flows/lesson_context.h"
#include "platform/messages.h"

namespace merkhaus {

// Takes the first command-line argument as the context's command-line file and checks it: a
// file that does not exist or is not a DataFile is reported and forgotten. True when the
// command-line file is set afterwards.
bool CheckCommandLineFile(LessonContext& lesson, Messages& messages,
                          const std::vector<std::string>& args);

// True for "--help" and "-h" as the only argument: the program then prints UsageText and ends
// before any window exists, as with "--version" (a terminal without a display asks too).
bool IsHelpRequest(const std::vector<std::string_view>& args);

// What `merkhaus --help` prints: how the program is called, in German.
std::string UsageText();

}  // namespace merkhaus
