// SPDX-License-Identifier: GPL-3.0-or-later
// The reading verbs of merkhaus-tool: info, lessons, entries. They never write the DataFile.

#include <algorithm>
#include <array>
#include <ostream>
#include <vector>

#include "platform/cp1252.h"
#include "store/datafile.h"
#include "store/lesson_list.h"
#include "store/statistics.h"
#include "tool/tool_support.h"
#include "tool/verbs.h"

namespace merkhaus::tool {
namespace {

// Checks the number of positional arguments (and that no options were given).
bool Positional(const std::vector<std::string>& args, std::size_t wanted, const char* usage,
                ParsedArgs& parsed, std::ostream& err) {
  if (!ParseArgs(args, {}, {}, parsed, err)) return false;
  if (parsed.positional.size() == wanted) return true;
  err << "Aufruf: merkhaus-tool " << usage << "\n";
  return false;
}

void CannotOpen(const FileError& error, std::ostream& err) {
  err << error.text() << "\n";
}

}  // namespace

int Info(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed;
  if (!Positional(args, 1, "info FILE", parsed, err)) return 1;
  const std::string& path = parsed.positional[0];
  StreamMessages messages(err);
  if (!RequireDataFile(path, messages)) return 1;
  const StoreResult<DataFileCounts> counted = CountRecords(path);
  if (!counted) {
    CannotOpen(counted.error().file, err);
    return 1;
  }
  const DataFileCounts& counts = *counted;
  if (counts.damaged) {
    err << "Warnung: Die Datei \"" << path
        << "\" ist beschädigt: ihre Länge ist kein Vielfaches von 624 Bytes. Der unvollständige "
           "letzte Datensatz wird nicht gelesen; die nächste Änderung entfernt ihn.\n";
  }
  const TVocData& header = counts.header;
  const TextEncoding enc = EncodingOf(header);
  out << "Name: " << TsvField(DataFileName(header)) << "\n"
      << "Fremdsprache: " << TsvField(ForeignLanguage(header)) << "\n"
      << "Sprache: " << TsvField(NativeLanguage(header)) << "\n"
      << "Autor: " << TsvField(Author(header)) << "\n"
      << "Kommentar: " << TsvField(header.Comment.get(enc)) << "\n"
      << "Zeichensatz: " << EncodingName(enc) << "\n"
      << "Lektionen: " << counts.liveLessons << "\n"
      << "Vokabeln: " << counts.liveEntries << "\n"
      << "Gelöschte Vokabeln: " << counts.deletedEntries << "\n";
  return 0;
}

int Lessons(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed;
  if (!Positional(args, 1, "lessons FILE", parsed, err)) return 1;
  const std::string& path = parsed.positional[0];
  StreamMessages messages(err);
  if (!RequireDataFile(path, messages)) return 1;
  const StoreResult<LessonList> list = ReadLessonList(path);
  if (!list) {
    CannotOpen(list.error().file, err);
    return 1;
  }
  for (const LessonLine& l : list->lines)
    out << int(l.unitId) << "\t" << TsvField(l.line.view(), list->encoding) << "\n";
  return 0;
}

int Entries(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed;
  if (!Positional(args, 2, "entries FILE UNITID", parsed, err)) return 1;
  const std::string& path = parsed.positional[0];
  const auto unitId = ParseUnitId(parsed.positional[1]);
  if (!unitId) {
    err << "Ungültige UnitID: " << parsed.positional[1] << " (erlaubt sind 1 bis 255)\n";
    return 1;
  }
  StreamMessages messages(err);
  if (!RequireDataFile(path, messages)) return 1;
  const StoreResult<LessonRead> lesson = ReadLesson(path, *unitId, kMaxEntries);
  if (!lesson) {
    CannotOpen(lesson.error().file, err);
    return 1;
  }
  // A UnitID without a live lesson is a mistake in the script, not an empty lesson.
  if (!lesson->header) {
    err << "Das DataFile enthält keine Lektion mit der UnitID " << int(*unitId) << "!\n";
    return 1;
  }
  const TextEncoding enc = FileEncoding(path);
  for (const TVocData& e : lesson->entries) {
    out << TsvField(e.A1.view(), enc) << "\t" << TsvField(e.A2.view(), enc) << "\t"
        << TsvField(e.A3.view(), enc) << "\t" << TsvField(e.B1.view(), enc) << "\t"
        << TsvField(e.B2.view(), enc) << "\t" << TsvField(e.B3.view(), enc) << "\t"
        << TsvField(e.Comment.view(), enc) << "\n";
  }
  return 0;
}

}  // namespace merkhaus::tool
