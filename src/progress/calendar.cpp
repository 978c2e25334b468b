// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/calendar.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace merkhaus {

namespace {

std::chrono::year_month_day Date(Day day) {
  return std::chrono::year_month_day{std::chrono::sys_days{std::chrono::days{day}}};
}

}  // namespace

Day DayFromDate(int year, unsigned month, unsigned day) {
  const std::chrono::sys_days d{std::chrono::year{year} / std::chrono::month{month} /
                                std::chrono::day{day}};
  return static_cast<Day>(d.time_since_epoch().count());
}

std::string FormatDay(Day day) {
  const auto date = Date(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

std::optional<Day> ParseDay(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  int parts[3] = {0, 0, 0};
  const std::size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
  for (int p = 0; p < 3; ++p) {
    for (std::size_t i = starts[p]; i < starts[p] + lengths[p]; ++i) {
      if (text[i] < '0' || text[i] > '9') return std::nullopt;
      parts[p] = parts[p] * 10 + (text[i] - '0');
    }
  }
  const std::chrono::year_month_day date{std::chrono::year{parts[0]},
                                         std::chrono::month{static_cast<unsigned>(parts[1])},
                                         std::chrono::day{static_cast<unsigned>(parts[2])}};
  if (!date.ok() || parts[0] < 1900) return std::nullopt;
  return DayFromDate(parts[0], static_cast<unsigned>(parts[1]), static_cast<unsigned>(parts[2]));
}

Day LocalToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return DayFromDate(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                     static_cast<unsigned>(local.tm_mday));
}

}  // namespace merkhaus
