#pragma once

#include "platform/win_string.h"

namespace merkhaus {

// Today in the short date format of the system's locale ("%x"), as an export's head names it;
// the C locale's form when the locale is unknown or its date does not fit into Windows-1252.
WinString TodayShortDate();

}  // namespace merkhaus
