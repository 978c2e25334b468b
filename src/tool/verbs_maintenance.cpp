// SPDX-License-Identifier: GPL-3.0-or-later
// stats, deleted, restore-lesson, cleanup: the DataFile editor's figures, its restore lists and
// its cleanup, for scripts. Same rules and messages as the editor; nothing is asked.

#include <algorithm>
#include <ostream>

#include "maintenance/cleanup.h"
#include "maintenance/editor_session.h"
#include "maintenance/restore_flow.h"
#include "platform/cp1252.h"
#include "store/restore.h"
#include "store/statistics.h"
#include "tool/tool_support.h"
#include "tool/verbs.h"

namespace merkhaus::tool {
namespace {

// Checks the number of positional arguments (and that no options were given).
bool Positional(const std::vector<std::string>& args, std::size_t from, std::size_t to,
                const char* usage, ParsedArgs& parsed, std::ostream& err) {
  if (!ParseArgs(args, {}, {}, parsed, err)) return false;
  if (parsed.positional.size() >= from && parsed.positional.size() <= to) return true;
  err << "Aufruf: merkhaus-tool " << usage << "\n";
  return false;
}

// A list line on a line of its own: a line break inside it becomes a blank.
std::string Line(const WinString& text) {
  std::string bytes = text.bytes();
  std::replace_if(
      bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return ToUtf8(WinString(std::move(bytes), text.encoding()));
}

}  // namespace

int Stats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs p;
  if (!Positional(args, 1, 1, "stats FILE", p, err)) return 1;
  const std::string& path = p.positional[0];
  StreamMessages messages(err);
  if (!RequireDataFile(path, messages)) return 1;
  const StoreResult<DataFileCounts> counts = CountRecords(path);
  if (!counts) {
    ShowFileError(messages, "RW - Fehler in Unit11!", counts.error().file);
    return 1;
  }
  const EditorStatistics s = EditorStatisticsOf(*counts);
  out << "Units: " << s.lessons << "\n"
      << "Vokabeln: " << s.entries << " (" << SizeText(s.entries) << ")\n"
      << "Gelöschte Vokabeln: " << s.deletedEntries << " (" << SizeText(s.deletedEntries) << ")\n"
      << "Vokabeln insgesamt: " << s.totalEntries << " (" << SizeText(s.totalEntries) << ")\n";
  return 0;
}

int Deleted(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs p;
  if (!Positional(args, 1, 2, "deleted FILE [UNITID]", p, err)) return 1;
  const std::string& path = p.positional[0];
  StreamMessages messages(err);
  std::uint8_t unitId = 0;
  if (p.positional.size() == 2) {
    const auto id = UnitIdArg(p.positional[1], err);
    if (!id) return 1;
    unitId = *id;
  }
  if (!RequireDataFile(path, messages) || (unitId != 0 && !RequireLesson(path, unitId, messages))) {
    return 1;
  }
  const StoreResult<DeletedLines> list =
      unitId == 0 ? ListDeletedLessons(path) : ListDeletedEntries(path, unitId);
  if (!list) {
    ShowFileError(messages, unitId == 0 ? "RW - Fehler in Unit15!" : "RW - Fehler in Unit16!",
                  list.error().file);
    return 1;
  }
  const TextEncoding encoding = FileEncoding(path);
  for (const WinString& line : list->lines)
    out << Line(line.as(encoding)) << "\n";
  return 0;
}

int RestoreLesson(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs p;
  if (!Positional(args, 2, 2, "restore-lesson FILE NAME", p, err)) return 1;
  const std::string& path = p.positional[0];
  StreamMessages messages(err);
  const auto name = ArgText(p.positional[1], err, FileEncoding(path));
  if (!name || !RequireWritableDataFile(path, messages)) return 1;
  const std::optional<std::uint32_t> restored = RestoreLessonTold(path, *name, messages);
  if (!restored) return 1;
  if (*restored == 0) {
    err << "Eine gelöschte Lektion „" << p.positional[1]
        << "“ gibt es in diesem DataFile nicht (merkhaus-tool deleted FILE zeigt sie).\n";
    return 1;
  }
  out << *restored << "\n";
  return 0;
}

int Cleanup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs p;
  if (!Positional(args, 1, 1, "cleanup FILE", p, err)) return 1;
  const std::string& path = p.positional[0];
  StreamMessages messages(err);
  if (!RequireWritableDataFile(path, messages)) return 1;
  const CleanupResult result = CleanupDataFile(path, CleanupBackupPath(), messages);
  if (!result.ok) return 1;
  out << result.dropped << "\n";
  return 0;
}

}  // namespace merkhaus::tool
