// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>
#include <string>

#include "platform/win_string.h"

namespace merkhaus {

// A date in the short date format of a locale, e.g. "24.12.2025" for de_DE. A program run
// without a chosen locale ("C", "POSIX", empty) or with a locale the system does not have writes
// the German form day.month.year, the program's own language, rather than the American one of
// the C locale, and so does a locale whose date Windows-1252 cannot write. UTF-8.
std::string ShortDate(const std::tm& date, const std::string& localeName);

// Today in the short date format of the locale that the environment chooses for dates
// (LC_ALL, LC_TIME, LANG, in this order).
std::string TodayShortDate();

// The same as Windows-1252 text, for the head of an exported lesson.
WinString TodayShortDateText();

}  // namespace merkhaus
