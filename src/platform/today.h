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

// Where the program learns the date and how to write it: the system's clock and the locale the
// environment chooses, or a fixed day in tests.
class Clock {
 public:
  virtual ~Clock() = default;
  // Today in local time (day, month and year are set).
  virtual std::tm today() const = 0;
  // The locale whose short date format dates are written in; "" for the German form.
  virtual std::string dateLocale() const = 0;
};

// The system's clock, and the locale for dates from the environment (LC_ALL, LC_TIME, LANG, in
// this order).
class SystemClock : public Clock {
 public:
  std::tm today() const override;
  std::string dateLocale() const override;
};

// Today in the clock's short date format.
std::string TodayShortDate(const Clock& clock);

// The same as Windows-1252 text, for the head of an exported lesson and the printed list.
WinString TodayShortDateText(const Clock& clock);

}  // namespace merkhaus
