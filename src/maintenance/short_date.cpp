#include "maintenance/short_date.h"

#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <string>

#include "platform/cp1252.h"

namespace merkhaus {
namespace {

std::string FormatDate(const std::tm& day, const std::locale& locale) {
  std::ostringstream text;
  text.imbue(locale);
  text << std::put_time(&day, "%x");
  return text.str();
}

}  // namespace

WinString TodayShortDate() {
  const std::time_t now = std::time(nullptr);
  std::tm day{};
  localtime_r(&now, &day);
  try {
    if (auto date = FromUtf8(FormatDate(day, std::locale("")))) return *date;
  } catch (const std::runtime_error&) {
    // An unknown locale in the environment.
  }
  return WinString(FormatDate(day, std::locale::classic()));
}

}  // namespace merkhaus
