// SPDX-License-Identifier: GPL-3.0-or-later
// export, import, export-kvtml, import-kvtml: vocabulary files for scripts, the format chosen by
// the file's extension (lesson text, CSV, KVTML). Same rules and messages as the DataFile
// editor's "Exportieren" and "Importieren"; where the program asks whether to import the lines
// that can be imported, --skip-bad-lines says yes.

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "maintenance/kvtml_transfer.h"
#include "maintenance/transfer_formats.h"
#include "platform/cp1252.h"
#include "platform/today.h"
#include "store/datafile.h"
#include "tool/tool_support.h"
#include "tool/verbs.h"

namespace merkhaus::tool {
namespace {

// The tool lists every note of an import; a script's log has room for them.
ImportOptions ToolImportOptions() {
  ImportOptions options;
  options.maxListed = SIZE_MAX;
  return options;
}

// The tool's answer to the question whether to import the rest of a file with problem lines.
Answer SkipAnswer(const ParsedArgs& p) {
  return p.has("skip-bad-lines") ? Answer::Yes : Answer::No;
}

// What a failed import says beyond the program's messages.
int ImportFailed(const ImportResult& result, std::ostream& err) {
  if (result.declined) {
    err << "Es wurde nichts importiert. Mit --skip-bad-lines werden die übrigen Zeilen "
           "importiert.\n";
  }
  return 1;
}

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
  const StoreResult<LessonRead> lesson = ReadLesson(path, *id, SIZE_MAX);
  if (!lesson) {
    ShowFileError(messages, "Schwerer Fehler 602", lesson.error().file);
    return 1;
  }
  if (!lesson->header) {
    ShowErr(messages, "Die Lektion mit der UnitID " + std::to_string(*id) +
                          " gibt es in diesem DataFile nicht.");
    return 1;
  }
  const TVocData& header = *lesson->header;
  const std::vector<TVocData>& entries = lesson->entries;
  // A KVTML document takes its title and languages from the DataFile's header; every format
  // the encoding of its text.
  const TVocData dataFileHeader = ReadHeaderRecord(path).value_or(EmptyRecord());

  ExportSettings settings;
  settings.askBeforeOverwrite = !p.has("force");
  settings.encoding = p.has("utf8") ? TextEncoding::Utf8 : TextEncoding::Windows1252;
  const bool existed = KindOf(outPath) != PathKind::Missing;
  const SystemClock clock;
  if (!ExportLessonFile(outPath, dataFileHeader, header, entries, TodayShortDateText(clock),
                        messages, settings)) {
    if (existed && settings.askBeforeOverwrite && !entries.empty()) {
      err << "Mit --force wird die vorhandene Datei überschrieben.\n";
    }
    return 1;
  }
  return 0;
}

int Import(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs p;
  if (!ParseArgs(args, {"into"}, {"skip-bad-lines"}, p, err)) return 1;
  if (p.positional.size() != 2) {
    err << "Aufruf: merkhaus-tool import FILE IN.txt|IN.csv [--into UNITID] [--skip-bad-lines]\n";
    return 1;
  }
  const std::string& path = p.positional[0];
  const std::string& in = p.positional[1];
  StreamMessages messages(err, SkipAnswer(p));
  std::uint8_t into = 0;
  if (const auto text = p.value("into")) {
    const auto id = UnitIdArg(*text, err);
    if (!id) return 1;
    into = *id;
  }
  if (FormatOfPath(in) == TransferFormat::Kvtml) {
    if (into != 0) {
      err << "Eine KVTML-Datei wird immer in neue Lektionen gelesen; --into gilt dafür nicht.\n";
      return 1;
    }
    std::vector<std::string> kvtmlArgs = {path, in};
    if (p.has("skip-bad-lines")) kvtmlArgs.push_back("--skip-bad-lines");
    return ImportKvtml(kvtmlArgs, out, err);
  }
  // Whether the lesson of --into is live is checked while the import holds the DataFile, in the
  // same pass that appends the entries.
  if (!RequireWritableDataFile(path, messages)) return 1;
  const ImportResult result = ImportFile(path, in, into, messages, ToolImportOptions());
  if (!result.imported) return ImportFailed(result, err);
  out << "UnitID: " << static_cast<int>(result.unitID) << "\n"
      << "Vokabeln: " << result.added << "\n"
      << "Übersprungene Zeilen: " << result.skippedLines.size() << "\n";
  return 0;
}

int ExportKvtml(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  ParsedArgs p;
  if (!ParseArgs(args, {}, {"force"}, p, err)) return 1;
  if (p.positional.size() != 2) {
    err << "Aufruf: merkhaus-tool export-kvtml FILE OUT.kvtml [--force]\n";
    return 1;
  }
  const std::string& path = p.positional[0];
  const std::string& outPath = p.positional[1];
  StreamMessages messages(err);
  if (!RequireDataFile(path, messages)) return 1;
  ExportSettings settings;
  settings.askBeforeOverwrite = !p.has("force");
  const bool existed = KindOf(outPath) != PathKind::Missing;
  if (!ExportDataFileKvtml(path, outPath, messages, settings)) {
    if (existed && settings.askBeforeOverwrite) {
      err << "Mit --force wird die vorhandene Datei überschrieben.\n";
    }
    return 1;
  }
  return 0;
}

int ImportKvtml(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs p;
  if (!ParseArgs(args, {}, {"swap", "skip-bad-lines"}, p, err)) return 1;
  if (p.positional.size() != 2) {
    err << "Aufruf: merkhaus-tool import-kvtml FILE IN.kvtml [--swap] [--skip-bad-lines]\n";
    return 1;
  }
  const std::string& path = p.positional[0];
  StreamMessages messages(err, SkipAnswer(p));
  if (!RequireWritableDataFile(path, messages)) return 1;
  ImportOptions options = ToolImportOptions();
  options.swap = p.has("swap");
  const ImportResult result = merkhaus::ImportKvtml(path, p.positional[1], messages, options);
  if (!result.imported) return ImportFailed(result, err);
  out << "Lektionen: " << result.lessons.size() << "\n";
  for (const ImportedLesson& lesson : result.lessons) {
    out << static_cast<int>(lesson.unitID) << "\t" << ToUtf8(lesson.name) << "\t" << lesson.added
        << " Vokabeln\n";
  }
  out << "Vokabeln: " << result.added << "\n"
      << "Übersprungene Zeilen: " << result.skippedLines.size() << "\n";
  return 0;
}

}  // namespace merkhaus::tool
