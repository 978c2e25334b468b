// SPDX-License-Identifier: GPL-3.0-or-later
// The learning progress verbs of merkhaus-tool: review, progress, due. They read the DataFile
// and keep the progress in the same database as the program (progress/progress_store.h); the
// DataFile is never written. "--date" sets the day the verb acts on, so that a script can
// replay a history.

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "platform/stream_messages.h"
#include "progress/datafile_read.h"
#include "progress/progress_figures.h"
#include "progress/progress_store.h"
#include "tool/tool_support.h"
#include "tool/verbs.h"

namespace merkhaus::tool {
namespace {

// What every progress verb works with: its arguments, the DataFile, the day, and the database
// with the DataFile's place in it.
struct ProgressRun {
  ParsedArgs args;
  std::string path;
  Day today = 0;
  std::optional<ProgressStore> store;
  DataFileRef ref;
};

// Checks the arguments common to the verbs and the DataFile.
bool Start(const std::vector<std::string>& args, std::size_t positional, const char* usage,
           ProgressRun& run, std::ostream& err) {
  if (!ParseArgs(args, {"date"}, {}, run.args, err)) return false;
  if (run.args.positional.size() != positional) {
    err << "Aufruf: merkhaus-tool " << usage << "\n";
    return false;
  }
  run.today = LocalToday();
  if (const auto date = run.args.value("date")) {
    const auto day = ParseDay(*date);
    if (!day) {
      err << "Ungültiges Datum „" << *date << "“: erwartet wird JJJJ-MM-TT, z. B. 2025-03-31.\n";
      return false;
    }
    run.today = *day;
  }
  run.path = run.args.positional[0];
  StreamMessages messages(err);
  return RequireDataFile(run.path, messages);
}

// Opens the database and finds the DataFile in it, once the arguments have been checked.
bool Connect(ProgressRun& run, std::ostream& err) {
  const auto header = ReadDataFileHeader(run.path);
  if (!header) {
    err << header.error().text() << "\n";
    return false;
  }
  auto store = ProgressStore::open(DefaultProgressPath());
  auto ref = store ? store->dataFile(run.path, *header)
                   : ProgressResult<DataFileRef>(tl::unexpected(store.error()));
  if (!ref) {
    err << ProgressNotKeptText(ref.error()) << "\n";
    return false;
  }
  run.store = std::move(*store);
  run.ref = *ref;
  return true;
}

std::optional<LessonEntries> FindLesson(const ProgressRun& run, const std::string& arg,
                                        std::ostream& err) {
  const auto unitId = UnitIdArg(arg, err);
  if (!unitId) return std::nullopt;
  auto lesson = ReadLessonEntries(run.path, *unitId);
  if (!lesson) {
    err << lesson.error().text() << "\n";
    return std::nullopt;
  }
  if (!*lesson)
    err << "Das DataFile enthält keine Lektion mit der UnitID " << int(*unitId) << "!\n";
  return std::move(*lesson);
}

// A number from `low` to `high`, as a person writes it.
std::optional<int> NumberArg(const std::string& text, int low, int high) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != text.npos)
    return std::nullopt;
  const int n = std::stoi(text);
  if (n < low || n > high) return std::nullopt;
  return n;
}

std::string Decimal6(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6f", value);
  return text;
}

// N, the A side's first synonym, neu/gelernt, stability, difficulty, last review, due,
// reviews, lapses.
void PrintLine(std::ostream& out, std::size_t n, const TVocData& entry, const MemoryState& m,
               TextEncoding enc) {
  out << n << "\t" << TsvField(entry.A1.view(), enc) << "\t";
  if (m.isNew()) {
    out << "neu\t-\t-\t-\t-\t0\t0\n";
    return;
  }
  out << "gelernt\t" << Decimal6(m.stability) << "\t" << Decimal6(m.difficulty) << "\t"
      << FormatDay(m.lastReview) << "\t" << FormatDay(m.due) << "\t" << m.reps << "\t" << m.lapses
      << "\n";
}

int NotKept(const ProgressError& error, std::ostream& err) {
  err << ProgressNotKeptText(error) << "\n";
  return 1;
}

}  // namespace

int Review(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ProgressRun run;
  if (!Start(args, 4, "review FILE UNITID N GRADE [--date YYYY-MM-DD]", run, err)) return 1;
  const auto lesson = FindLesson(run, run.args.positional[1], err);
  if (!lesson) return 1;
  const auto n = NumberArg(run.args.positional[2], 1, static_cast<int>(lesson->entries.size()));
  if (!n) {
    err << "Ungültige Nummer „" << run.args.positional[2] << "“: die Lektion hat "
        << lesson->entries.size() << " Vokabeln, gezählt ab 1 wie bei „entries“.\n";
    return 1;
  }
  const auto grade = NumberArg(run.args.positional[3], 1, 4);
  if (!grade) {
    err << "Ungültige Bewertung „" << run.args.positional[3]
        << "“: erlaubt sind 1 (Nochmal), 2 (Schwer), 3 (Gut) und 4 (Leicht).\n";
    return 1;
  }
  if (!Connect(run, err)) return 1;
  const TVocData& entry = lesson->entries[static_cast<std::size_t>(*n - 1)];
  const auto state =
      run.store->review(run.ref, entry, static_cast<Grade>(*grade), run.today, SchedulerParams{});
  if (!state) return NotKept(state.error(), err);
  PrintLine(out, static_cast<std::size_t>(*n), entry, *state, FileEncoding(run.path));
  return 0;
}

int Progress(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ProgressRun run;
  if (!Start(args, 2, "progress FILE UNITID [--date YYYY-MM-DD]", run, err)) return 1;
  const auto lesson = FindLesson(run, run.args.positional[1], err);
  if (!lesson) return 1;
  if (!Connect(run, err)) return 1;
  const auto states = run.store->lessonStates(run.ref, lesson->unitId);
  if (!states) return NotKept(states.error(), err);
  for (std::size_t i = 0; i < lesson->entries.size(); ++i) {
    const MemoryState* state = states->find(lesson->unitId, lesson->entries[i]);
    PrintLine(out, i + 1, lesson->entries[i], state ? *state : MemoryState{},
              FileEncoding(run.path));
  }
  return 0;
}

int Due(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ProgressRun run;
  if (!Start(args, 1, "due FILE [--date YYYY-MM-DD]", run, err) || !Connect(run, err)) return 1;
  const auto states = run.store->dueStates(run.ref, run.today);
  if (!states) return NotKept(states.error(), err);
  const auto figures = ScanDue(run.path, *states, {run.today});
  if (!figures) {
    err << figures.error().text() << "\n";
    return 1;
  }
  for (const LessonDue& lesson : figures->lessons) {
    out << int(lesson.unitId) << "\t" << TsvField(lesson.name.view(), FileEncoding(run.path))
        << "\t" << lesson.due << "\t" << lesson.fresh << "\n";
  }
  out << "\tinsgesamt\t" << figures->due << "\t" << figures->fresh << "\n";
  return 0;
}

}  // namespace merkhaus::tool
