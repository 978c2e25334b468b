// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/today.h"

#include <locale.h>

#include <cstdio>
#include <cstdlib>

#include "platform/cp1252.h"

namespace merkhaus {

namespace {

std::string GermanDate(const std::tm& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.tm_mday, date.tm_mon + 1,
                date.tm_year + 1900);
  return text;
}

bool NoLocaleChosen(const std::string& name) {
  return name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
}

}  // namespace

std::string ShortDate(const std::tm& date, const std::string& localeName) {
  if (NoLocaleChosen(localeName)) return GermanDate(date);
  const locale_t locale = newlocale(LC_TIME_MASK, localeName.c_str(), static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return GermanDate(date);
  char text[64];
  const std::size_t n = strftime_l(text, sizeof text, "%x", &date, locale);
  freelocale(locale);
  const std::string result(text, n);
  // A locale whose character set is not UTF-8 may write bytes that would print as garbage, and
  // the printed texts are Windows-1252 like every text of the program.
  if (result.empty() || !FromUtf8(result)) return GermanDate(date);
  return result;
}

std::tm SystemClock::today() const {
  const std::time_t now = std::time(nullptr);
  std::tm today{};
  localtime_r(&now, &today);
  return today;
}

std::string SystemClock::dateLocale() const {
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return value;
  }
  return {};
}

std::string TodayShortDate(const Clock& clock) {
  return ShortDate(clock.today(), clock.dateLocale());
}

WinString TodayShortDateText(const Clock& clock) {
  // ShortDate only gives dates that Windows-1252 can write.
  return FromUtf8(TodayShortDate(clock)).value_or(WinString());
}

}  // namespace merkhaus
