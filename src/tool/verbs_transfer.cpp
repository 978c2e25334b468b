// export, import: lessons as text files, for scripts. Same rules and messages as the DataFile
// editor's "Exportieren" and "Importieren".

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <locale>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "maintenance/text_transfer.h"
#include "platform/cp1252.h"
#include "store/datafile.h"
#include "tool/tool_support.h"
#include "tool/verbs.h"

namespace merkhaus::tool {
namespace {

std::string FormatDate(const std::tm& day, const std::locale& locale) {
  std::ostringstream text;
  text.imbue(locale);
  text << std::put_time(&day, "%x");
  return text.str();
}

// Today in the short date format of the system's locale ("%x"); the C locale's form when the
// locale is unknown or its date does not fit into Windows-1252.
WinString TodayShortDate() {
  const std::time_t now = std::time(nullptr);
  const std::tm day = *std::localtime(&now);
  try {
    if (auto date = FromUtf8(FormatDate(day, std::locale("")))) return *date;
  } catch (const std::runtime_error&) {
  }
  return WinString(FormatDate(day, std::locale::classic()));
}

// At most this many line numbers are listed when lines were skipped.
constexpr std::size_t kListedLines = 20;

}  // namespace

int Export(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  ParsedArgs p;
  if (!ParseArgs(args, {}, {"force", "utf8"}, p, err)) return 1;
  if (p.positional.size() != 3) {
    err << "Aufruf: merkhaus-tool export FILE UNITID OUT.txt [--force] [--utf8]\n";
    return 1;
  }
  const std::string& path = p.positional[0];
  const std::string& outPath = p.positional[2];
  StreamMessages messages(err);
  const auto id = UnitIdArg(p.positional[1], err);
  if (!id || !RequireDataFile(path, messages)) return 1;

  // The whole lesson, also beyond the 255 entries that the windows load: a script that exports,
  // deletes and imports a lesson must not lose any of it.
  const LessonRead lesson = ReadLesson(path, *id, SIZE_MAX);
  if (!lesson.opened) {
    ShowErr(messages, WithReason("Schwerer Fehler 602", lesson.error));
    return 1;
  }
  if (!lesson.headerFound) {
    ShowErr(messages, "Die Lektion mit der UnitID " + std::to_string(*id) +
                          " gibt es in diesem DataFile nicht.");
    return 1;
  }
  const TVocData& header = lesson.header;
  const std::vector<TVocData>& entries = lesson.entries;

  ExportSettings settings;
  settings.askBeforeOverwrite = !p.has("force");
  settings.encoding = p.has("utf8") ? TextEncoding::Utf8 : TextEncoding::Windows1252;
  const bool existed = KindOf(outPath) != PathKind::Missing;
  if (!ExportUnit(outPath, header, entries, TodayShortDate(), messages, settings)) {
    if (existed && settings.askBeforeOverwrite && !entries.empty()) {
      err << "Mit --force wird die vorhandene Datei überschrieben.\n";
    }
    return 1;
  }
  return 0;
}

int Import(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs p;
  if (!ParseArgs(args, {"into"}, {}, p, err)) return 1;
  if (p.positional.size() != 2) {
    err << "Aufruf: merkhaus-tool import FILE IN.txt [--into UNITID]\n";
    return 1;
  }
  const std::string& path = p.positional[0];
  StreamMessages messages(err);
  std::uint8_t into = 0;
  if (const auto text = p.value("into")) {
    const auto id = UnitIdArg(*text, err);
    if (!id) return 1;
    into = *id;
  }
  if (!RequireDataFile(path, messages) || (into != 0 && !RequireLesson(path, into, messages))) {
    return 1;
  }
  const ImportResult result = ImportLessonText(path, p.positional[1], into, messages);
  if (!result.imported) return 1;
  out << "UnitID: " << static_cast<int>(result.unitID) << "\n"
      << "Vokabeln: " << result.added << "\n"
      << "Übersprungene Zeilen: " << result.skippedLines.size() << "\n";
  if (!result.skippedLines.empty()) {
    err << "Ohne \" == \" und darum übersprungen: Zeile";
    for (std::size_t i = 0; i < result.skippedLines.size() && i < kListedLines; ++i) {
      err << (i == 0 ? " " : ", ") << result.skippedLines[i];
    }
    if (result.skippedLines.size() > kListedLines) err << " …";
    err << "\n";
  }
  return 0;
}

}  // namespace merkhaus::tool
