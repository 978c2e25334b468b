// SPDX-License-Identifier: GPL-3.0-or-later
#include "flows/lesson_loading.h"

#include "platform/cp1252.h"
#include "store/datafile.h"
#include "store/record_file.h"

namespace merkhaus {

void TellWhenReadOnly(LessonContext& lesson, Messages& messages) {
  lesson.readOnlyReason.clear();
  const std::optional<FileError> why = WhyReadOnly(lesson.dataFilePath);
  if (!why) return;
  lesson.readOnlyReason = why->text();
  messages.show(MsgKind::Warning, lesson.readOnlyReason + "\n" + kReadOnlyNote, MsgButtons::Ok);
}

DataFileCheck CheckDataFile(const std::string& path, Messages& messages) {
  const StoreResult<bool> check = IsDataFile(path);
  if (check) return *check ? DataFileCheck::DataFile : DataFileCheck::NotDataFile;
  const bool asText = check.error().kind == StoreError::Kind::TextFile;
  ShowFileError(messages,
                asText ? "Fehler beim öffnen der Datei als Textfile!"
                       : "Fehler beim lesen der Datei als Bin-File!",
                check.error().file, {}, MsgButtons::Yes);
  return DataFileCheck::Unreadable;
}

bool LoadLessonHeader(LessonContext& lesson, Messages& messages, std::uint8_t unitId) {
  const StoreResult<LessonRead> read = ReadLesson(lesson.dataFilePath, unitId, 0);
  if (!read) {
    ShowFileError(messages, "Schwerer Fehler 602", read.error().file);
    return false;
  }
  if (read->header) lesson.lessonHeader = *read->header;
  return read->header.has_value();
}

std::optional<std::vector<TVocData>> LoadLessonEntries(const LessonContext& lesson,
                                                       Messages& messages) {
  StoreResult<LessonRead> read = ReadLesson(lesson.dataFilePath, lesson.unitId, kMaxEntries);
  if (!read) {
    ShowFileError(messages, "IO-Fehler 802!", read.error().file);
    return std::nullopt;
  }
  return std::move(read->entries);
}

namespace {

// A lesson without entries can be neither practised nor tested: tells the learner so and offers
// the lesson choice of the same DataFile. True when another lesson was chosen (it is the current
// one now).
bool ChooseInsteadOfEmptyLesson(LessonContext& lesson, Messages& messages, LessonChooser& lessons) {
  messages.show(MsgKind::Warning,
                "Diese Lektion enthält keine Vokabeln! Wählen sie eine andere Lektion aus, "
                "oder wählen sie 'zurück'",
                MsgButtons::Ok);
  const std::optional<std::uint8_t> unit = lessons.selectLesson(lesson.dataFilePath, false);
  // No lesson is no lesson, abandoned or not: taking UnitID 0 would find no entries again and
  // ask without end. The empty lesson stays the current one.
  if (!unit || *unit == 0) return false;
  lesson.unitId = *unit;
  return true;
}

}  // namespace

bool LoadLessonToAsk(LessonContext& lesson, Messages& messages, LessonChooser& lessons,
                     const std::function<void(const std::vector<TVocData>* entries)>& take) {
  for (;;) {
    // The lesson's header and its entries come from one pass over the DataFile.
    const StoreResult<LessonRead> read =
        ReadLesson(lesson.dataFilePath, lesson.unitId, kMaxEntries);
    if (!read) {
      ShowFileError(messages, "IO-Fehler 802!", read.error().file);
      take(nullptr);
      return false;
    }
    if (read->header) {
      lesson.lessonHeader = *read->header;
    } else {
      ShowErr(messages, "Böser Fehler: 801");
    }
    TellWhenCut(lesson, messages, *read);
    take(&read->entries);
    if (!read->entries.empty()) return true;
    if (!ChooseInsteadOfEmptyLesson(lesson, messages, lessons)) return false;
  }
}

LessonHeading HeadingOf(const LessonContext& lesson) {
  return {LessonName(lesson.lessonHeader).as(lesson.encoding()),
          lesson.lessonHeader.Comment.get(lesson.encoding()),
          ForeignLanguage(lesson.dataFileHeader), NativeLanguage(lesson.dataFileHeader)};
}

void TellLessonNotCreated(Messages& messages, const StoreError& error) {
  switch (error.kind) {
    case StoreError::Kind::NoFreeUnitId:
      ShowErr(messages, "There're already 255 units in this DataFile!");
      messages.show(MsgKind::Confirmation, "Fehler 1003: Kann keine freie UnitID mehr finden!",
                    MsgButtons::Ok);
      return;
    case StoreError::Kind::NameTaken:
      ShowErr(messages, "Die Unit ist bereits vorhanden!");
      return;
    default:
      ShowFileError(messages, "RW - Fehler: 1002", error.file);
      return;
  }
}

void TellWhenCut(LessonContext& lesson, Messages& messages, const LessonRead& read) {
  if (!read.cut || !lesson.toldCut.emplace(lesson.dataFilePath, lesson.unitId).second) return;
  const std::string name =
      read.header ? ToUtf8(LessonName(*read.header).as(lesson.encoding())) : std::string();
  messages.show(MsgKind::Information,
                "Die Lektion \"" + name + "\" hat mehr als " + std::to_string(kMaxEntries) +
                    " Vokabeln. Geübt, getestet und gedruckt werden nur die ersten " +
                    std::to_string(kMaxEntries) +
                    ".\nTeilen Sie die Lektion im DataFile-Editor (\"Editiern\"): exportieren, "
                    "die Textdatei in zwei Teile trennen und die Teile als neue Lektionen "
                    "importieren.",
                MsgButtons::Ok);
}

}  // namespace merkhaus
