// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/vocabulary_list_printer.h"

#include <filesystem>
#include <span>

#include "flows/lesson_loading.h"
#include "platform/file_io.h"
#include "platform/today.h"
#include "printing/vocabulary_list_layout.h"
#include "store/datafile.h"

namespace merkhaus {

namespace {

std::string LessonGone(const std::string& path) {
  return "Die gewählte Lektion gibt es in \"" + path + "\" nicht mehr. Es wird nichts gedruckt.";
}

}  // namespace

VocabularyListPrinter::VocabularyListPrinter(const ModeContext& mode) : services_(mode.services) {}

void VocabularyListPrinter::printList() {
  LessonContext& lesson = services_.lesson;
  Messages& messages = services_.messages;
  // A DataFile without lessons leaves no lesson chosen (the learner was told "Keine Lektionen
  // verfügbar!"); a list of no entries under the name of whatever lesson was loaded before would
  // be wrong, so nothing is printed.
  if (lesson.unitId == 0) return;

  const std::unique_ptr<PrintTarget> target =
      services_.printDialog.choosePrinter(ProposedPdfPath(lesson.dataFilePath));
  if (!target) return;

  // The lesson's entries and its header in one pass, so that both come from the same state of
  // the file.
  const StoreResult<LessonRead> read = ReadLesson(lesson.dataFilePath, lesson.unitId, kMaxEntries);
  if (!read) {
    ShowFileError(messages, "IO-Fehler 802!", read.error().file);
    return;
  }
  // Without the lesson's header the list would carry the name of the lesson loaded before:
  // another program may have deleted the lesson since it was chosen.
  if (!read->header) {
    messages.show(MsgKind::Warning, LessonGone(lesson.dataFilePath), MsgButtons::Ok);
    return;
  }
  lesson.lessonHeader = *read->header;
  TellWhenCut(lesson, messages, *read);

  const PrintDocument document =
      LayoutVocabularyList(MakeVocabularyListHeader(lesson.lessonHeader, lesson.dataFileHeader,
                                                    TodayShortDateText(services_.clock)),
                           read->entries);
  std::string error;
  if (!target->print(document, error)) {
    ShowErr(messages, error);
    return;
  }
  // A file appears without anything to see: the learner is told where it went.
  if (const std::string pdf = target->pdfPath(); !pdf.empty()) {
    messages.show(MsgKind::Information, "Vokabelliste gespeichert: \"" + pdf + "\"",
                  MsgButtons::Ok);
  }
}

std::string ProposedPdfPath(const std::string& dataFilePath) {
  std::filesystem::path pdf(dataFilePath);
  pdf.replace_extension(".pdf");
  return pdf.string();
}

std::optional<PrintDocument> ReadVocabularyListDocument(const std::string& path,
                                                        std::uint8_t unitId, const WinString& date,
                                                        Messages& messages) {
  if (KindOf(path) == PathKind::Missing) {
    messages.show(MsgKind::Warning, "Die Datei \"" + path + "\" ist nicht auffindbar!",
                  MsgButtons::Ok);
    return std::nullopt;
  }
  switch (CheckDataFile(path, messages)) {
    case DataFileCheck::DataFile:
      break;
    case DataFileCheck::NotDataFile:
      messages.show(
          MsgKind::Warning,
          "Kein Merkhaus ]|[ Datafile!\nDie Datei \"" + path + "\" kann nicht ausgewertet werden.",
          MsgButtons::Ok);
      return std::nullopt;
    case DataFileCheck::Unreadable:
      return std::nullopt;  // told already
  }
  const StoreResult<TVocData> dataFileHeader = ReadHeaderRecord(path);
  if (!dataFileHeader) {
    ShowFileError(messages, {}, dataFileHeader.error().file);
    return std::nullopt;
  }
  const StoreResult<LessonRead> lesson = ReadLesson(path, unitId, kMaxEntries);
  if (!lesson) {
    ShowFileError(messages, "IO-Fehler 802!", lesson.error().file);
    return std::nullopt;
  }
  if (!lesson->header) {
    messages.show(MsgKind::Warning,
                  "Die Lektion mit der UnitID " + std::to_string(unitId) + " gibt es in \"" + path +
                      "\" nicht.",
                  MsgButtons::Ok);
    return std::nullopt;
  }
  return LayoutVocabularyList(MakeVocabularyListHeader(*lesson->header, *dataFileHeader, date),
                              lesson->entries);
}

}  // namespace merkhaus
