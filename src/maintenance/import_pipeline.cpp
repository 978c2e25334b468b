// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/import_pipeline.h"

#include <algorithm>

#include "flows/lesson_loading.h"
#include "platform/cp1252.h"
#include "store/append.h"
#include "store/lessons.h"
#include "store/record_file.h"

namespace merkhaus {
namespace {

// Bytes after which the disk is asked to start on what a large import has written, so that
// the flush at its end finds most of it there already.
constexpr std::uint64_t kWritebackBytes = std::uint64_t{8} << 20;

bool HasLiveLesson(RecordFile& file, std::uint8_t unitId) {
  for (const auto& [index, r] : file.lessonHeaders()) {
    if (r.Deleted == 0 && r.UnitID == unitId) return true;
  }
  return false;
}

WinString UniqueName(const LessonRoster& roster, const WinString& wanted) {
  const WinString name = wanted.left(kWordCapacity);
  if (!roster.nameExists(name)) return name;
  for (int n = 2;; ++n) {
    const std::string suffix = " (" + std::to_string(n) + ")";
    const WinString candidate = wanted.left(kWordCapacity - suffix.size()) + WinString(suffix);
    if (!roster.nameExists(candidate)) return candidate;
  }
}

std::string LessonCount(std::size_t n) {
  return n == 1 ? "die Lektion" : "die " + std::to_string(n) + " Lektionen";
}

enum class WriteStatus { Written, NotOpened, LessonGone, NotCreated, Failed };

struct WriteOutcome {
  WriteStatus status = WriteStatus::NotOpened;
  std::vector<std::uint8_t> unitIDs;  // of the lessons, in order
  std::vector<WinString> names;       // the names given to new lessons (empty for `into`)
  bool nameTaken = false;             // NotCreated: a lesson of that name exists already
};

// Adds the planned lessons and their entries to the DataFile in one all-or-nothing append, with
// one scan of the file: either an existing lesson (one PlannedLesson with `into`), or new
// lessons, whose number is checked against the free UnitIDs before anything is written. Every
// failure is told.
WriteOutcome WriteLessons(const std::string& dataFilePath, ImportSource& source,
                          Messages& messages) {
  const ImportPlan& plan = source.plan();
  const std::vector<PlannedLesson>& lessons = plan.lessons;
  WriteOutcome outcome;
  // From the first check to the last record the DataFile is this import's alone: no other
  // program can take the UnitID of a new lesson, delete the lesson being filled, or see half of
  // the entries. The new lessons' headers go with the entries: all or nothing.
  const StoreResult<> written =
      AppendAllOrNothing(dataFilePath, [&](Appender& out) -> StoreResult<> {
        if (lessons.size() == 1 && lessons[0].into != 0) {
          if (!HasLiveLesson(out.file(), lessons[0].into)) {
            StoreError gone(StoreError::Kind::LessonMissing);
            gone.unitId = lessons[0].into;
            return Refused(gone);
          }
          outcome.unitIDs.push_back(lessons[0].into);
          outcome.names.emplace_back();
        } else {
          LessonRoster roster(out.file());
          // Everything is checked before the first lesson is made.
          if (lessons.size() > roster.freeCount()) {
            StoreError full(StoreError::Kind::NoFreeUnitId);
            full.count = 255 - roster.freeCount();
            return Refused(full);
          }
          if (plan.clash == NameClash::Refuse) {
            for (const PlannedLesson& lesson : lessons) {
              if (roster.nameExists(lesson.name.left(kWordCapacity))) {
                return Refused(StoreError(StoreError::Kind::NameTaken));
              }
            }
          }
          for (const PlannedLesson& lesson : lessons) {
            const WinString name =
                plan.clash == NameClash::Number ? UniqueName(roster, lesson.name) : lesson.name;
            outcome.unitIDs.push_back(roster.create(out, name, lesson.comment));
            outcome.names.push_back(name.left(kWordCapacity));
          }
        }
        std::uint64_t unflushed = 0;
        for (std::size_t i = 0; i < lessons.size(); ++i) {
          source.entries(i, [&](std::span<TVocData> entries) {
            for (TVocData& entry : entries)
              entry.UnitID = outcome.unitIDs[i];
            out.add(entries);
            unflushed += entries.size_bytes();
            if (unflushed >= kWritebackBytes) {
              out.file().startWriteback();
              unflushed = 0;
            }
          });
        }
        return {};
      });
  if (written) {
    outcome.status = WriteStatus::Written;
    return outcome;
  }
  outcome.unitIDs.clear();
  outcome.names.clear();
  const StoreError& error = written.error();
  switch (error.kind) {
    case StoreError::Kind::LessonMissing:
      messages.show(MsgKind::Warning,
                    "Die Lektion mit der UnitID " + std::to_string(error.unitId) +
                        " gibt es in diesem DataFile nicht (mehr). Es wurde nichts importiert.",
                    MsgButtons::Ok);
      outcome.status = WriteStatus::LessonGone;
      break;
    case StoreError::Kind::NoFreeUnitId:
      if (plan.clash == NameClash::Refuse) {
        TellLessonNotCreated(messages, error);
      } else {
        ShowErr(messages, "Für " + LessonCount(lessons.size()) +
                              " der Datei ist im DataFile kein Platz mehr: es hat schon " +
                              std::to_string(error.count) +
                              " von höchstens 255 Lektionen.\nEs wurde nichts importiert.");
      }
      outcome.status = WriteStatus::NotCreated;
      break;
    case StoreError::Kind::NameTaken:
      TellLessonNotCreated(messages, error);
      outcome.status = WriteStatus::NotCreated;
      outcome.nameTaken = true;
      break;
    default:
      if (!error.interrupted) {
        ShowFileError(messages, "Das Speichern ist fehlgeschlagen! Es wurde nichts importiert.",
                      error.file);
        outcome.status = WriteStatus::NotOpened;
      } else {
        ShowFileError(messages, {}, error.file,
                      error.rolledBack ? "Es wurde nichts importiert; das DataFile ist unverändert."
                                       : "Das DataFile konnte nicht wieder auf seinen alten "
                                         "Stand gebracht werden.");
        outcome.status = WriteStatus::Failed;
      }
      break;
  }
  return outcome;
}

void Tell(const ImportRefusal& refusal, Messages& messages) {
  for (const ImportMessage& m : refusal)
    messages.show(m.kind, m.text, m.buttons);
}

}  // namespace

void HeldImport::add(PlannedLesson lesson, std::vector<TVocData> entries) {
  lesson.entries = entries.size();
  plan_.lessons.push_back(std::move(lesson));
  entries_.push_back(std::move(entries));
}

void HeldImport::entries(std::size_t lesson, const std::function<void(std::span<TVocData>)>& take) {
  take(entries_.at(lesson));
}

std::string ImportDoneText(const ImportResult& result, const WinString& intoName) {
  const auto entries = [](std::size_t n) {
    return std::to_string(n) + (n == 1 ? " Vokabel" : " Vokabeln");
  };
  if (!result.newLesson) {
    return entries(result.added) + " in die Lektion \"" + ToUtf8(intoName) + "\" importiert.";
  }
  const std::size_t lessons = result.lessons.size();
  if (lessons == 1) {
    return "Lektion \"" + ToUtf8(result.lessons.front().name) + "\" mit " + entries(result.added) +
           " importiert.";
  }
  return std::to_string(lessons) + " Lektionen mit " + entries(result.added) + " importiert.";
}

ImportResult RunImport(const std::string& dataFilePath, const std::string& sourcePath,
                       ParsedImport parsed, Messages& messages, const ImportOptions& options) {
  ImportResult result;
  if (!parsed) {
    Tell(parsed.error(), messages);
    return result;
  }
  ImportSource& source = **parsed;
  const ImportPlan& plan = source.plan();
  const ImportReport& report = plan.report;
  std::size_t entries = 0;
  for (const PlannedLesson& lesson : plan.lessons)
    entries += lesson.entries;

  if (plan.needsEntries && entries == 0 && !report.hasProblems()) {
    std::string text =
        "Die Datei \"" + sourcePath + "\" enthält keine Vokabeln. Es wurde nichts importiert.";
    // A file read otherwise than it was meant (a CSV file with other separators) has notes on
    // its lines: say what is read.
    if (!plan.emptyHint.empty() && report.hasWarnings()) {
      text += "\n" + plan.emptyHint + "\n" + ListNotes(report.warnings(), options.maxListed);
    }
    messages.show(MsgKind::Information, text, MsgButtons::Ok);
    return result;
  }
  if (!ConfirmProblemLines(report, sourcePath, messages, options)) {
    result.declined = true;
    return result;
  }
  if (plan.needsEntries && entries == 0) {
    messages.show(MsgKind::Information,
                  "In der Datei \"" + sourcePath +
                      "\" bleiben keine Vokabeln übrig. Es wurde nichts importiert.",
                  MsgButtons::Ok);
    return result;
  }

  const WriteOutcome outcome = WriteLessons(dataFilePath, source, messages);
  if (outcome.status == WriteStatus::NotCreated && plan.invalidWhenRefused) {
    messages.show(MsgKind::Error, "Fehler beim schreiben!", MsgButtons::Yes);
    // The file was read well; what stopped the import is the DataFile, and the learner is told.
    messages.show(
        MsgKind::Error,
        std::string("Datei nicht gültig!\nDie Datei selbst ist in Ordnung: ") +
            (outcome.nameTaken
                 ? "Im DataFile gibt es schon eine Lektion dieses Namens. Benennen Sie "
                   "eine der beiden um und importieren Sie noch einmal."
                 : "Das DataFile hat schon 255 Lektionen, für eine neue ist kein Platz.") +
            " Es wurde nichts importiert.",
        MsgButtons::Yes);
  }
  if (outcome.status != WriteStatus::Written) return result;

  result.imported = true;
  result.unitID = outcome.unitIDs.empty() ? 0 : outcome.unitIDs.front();
  result.newLesson = !plan.lessons.empty() && plan.lessons.front().into == 0;
  result.skippedLines = report.skippedLines();
  for (std::size_t i = 0; i < plan.lessons.size(); ++i) {
    result.lessons.push_back({outcome.unitIDs[i], outcome.names[i], plan.lessons[i].entries});
    result.added += plan.lessons[i].entries;
  }
  result.dataFileChanged = result.newLesson || result.added > 0;
  if (!report.hasProblems()) ShowImportWarnings(report, sourcePath, messages, options);
  return result;
}

}  // namespace merkhaus
