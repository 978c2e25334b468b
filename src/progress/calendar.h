// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace merkhaus {

// A calendar day as a number: days since 1970-01-01. Learning progress counts whole days of the
// learner's own calendar, so a word answered late in the evening and again next morning has one
// day between the two answers, whatever the hours say.
using Day = std::int32_t;

// The day of a valid date of the Gregorian calendar.
Day DayFromDate(int year, unsigned month, unsigned day);

// "YYYY-MM-DD" (ISO 8601), the form the tool reads and writes and scripts sort.
std::string FormatDay(Day day);

// Reads "YYYY-MM-DD" with a valid date from the years 1900 to 9999; nothing otherwise.
std::optional<Day> ParseDay(std::string_view text);

// Today in the local time zone.
Day LocalToday();

}  // namespace merkhaus
