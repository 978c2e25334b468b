// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/today.h"

#include <gtest/gtest.h>

namespace merkhaus {
namespace {

TEST(ShortDate, WithoutAUsableLocaleTheDateIsWrittenTheGermanWay) {
  std::tm date{};
  date.tm_year = 2025 - 1900;
  date.tm_mon = 11;
  date.tm_mday = 4;
  for (const char* locale : {"", "C", "POSIX", "C.UTF-8", "xx_YY.nirgends"}) {
    EXPECT_EQ("04.12.2025", ShortDate(date, locale)) << locale;
  }
}

}  // namespace
}  // namespace merkhaus
