// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "platform/messages.h"
#include "store/shared.h"

namespace merkhaus {

// Takes the first command-line argument as shared.CmdLineFile and checks it: a file that does not
// exist or is not a DataFile is reported and forgotten. True when CmdLineFile is set afterwards.
bool CheckCommandLineFile(Shared& shared, Messages& messages, const std::vector<std::string>& args);

}  // namespace merkhaus
