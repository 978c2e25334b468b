// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/unit_list_printer.h"

#include <filesystem>
#include <span>

#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "platform/today.h"
#include "printing/unit_list_layout.h"
#include "store/datafile.h"

namespace merkhaus {

namespace {

WinString DateText(const std::string& utf8) {
  return FromUtf8(utf8).value_or(WinString());
}

std::string LessonGone(const std::string& path) {
  return "Die gewählte Lektion gibt es in \"" + path + "\" nicht mehr. Es wird nichts gedruckt.";
}

}  // namespace

UnitListPrinter::UnitListPrinter(Services& services, std::function<std::string()> today)
    : services_(services), today_(today ? std::move(today) : TodayShortDate) {}

void UnitListPrinter::PrintUnitList() {
  Shared& shared = services_.shared;
  Messages& messages = services_.messages;
  // A DataFile without lessons leaves no lesson chosen (the learner was told "Keine Lektionen
  // verfügbar!"); a list of no entries under the name of whatever lesson was loaded before would
  // be wrong, so nothing is printed.
  if (shared.CurUnitID == 0) return;

  const std::unique_ptr<PrintTarget> target =
      services_.printDialog.choosePrinter(ProposedPdfPath(shared.DataFilePath));
  if (!target) return;

  // The lesson's entries (LoadUnitVocs) and its header (LoadUnitHeader) in one pass, so that
  // both come from the same state of the file.
  const LessonRead lesson = ReadLesson(shared.DataFilePath, shared.CurUnitID, kMaxVocs);
  if (!lesson.opened) {
    ShowErr(messages, WithReason("IO-Fehler 802!", lesson.error));
    shared.Cancelled = 1;
    return;
  }
  KeepEntries(shared, lesson);
  // Without the lesson's header CurUnit would still name the lesson loaded before: another
  // program may have deleted the lesson since it was chosen.
  if (!lesson.headerFound) {
    messages.show(MsgKind::Warning, LessonGone(shared.DataFilePath), MsgButtons::Ok);
    return;
  }
  shared.CurUnit = lesson.header;

  const PrintDocument document =
      LayoutUnitList(MakeUnitListHeader(shared.CurUnit, shared.DataFileHeader, DateText(today_())),
                     std::span<const TVocData>(shared.VocList.data(), shared.VocCount));
  std::string error;
  if (!target->print(document, error)) ShowErr(messages, error);
}

std::string ProposedPdfPath(const std::string& dataFilePath) {
  std::filesystem::path pdf(dataFilePath);
  pdf.replace_extension(".pdf");
  return pdf.string();
}

std::optional<PrintDocument> ReadUnitListDocument(const std::string& path, std::uint8_t unitId,
                                                  const std::string& date, Messages& messages) {
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
  TVocData dataFileHeader{};
  if (!ReadHeaderRecord(path, dataFileHeader)) {
    FileError error;
    error.path = path;
    error.code = FileError::kShortRead;
    ShowErr(messages, error.text());
    return std::nullopt;
  }
  const LessonRead lesson = ReadLesson(path, unitId, kMaxVocs);
  if (!lesson.opened) {
    ShowErr(messages, WithReason("IO-Fehler 802!", lesson.error));
    return std::nullopt;
  }
  if (!lesson.headerFound) {
    messages.show(MsgKind::Warning,
                  "Die Lektion mit der UnitID " + std::to_string(unitId) + " gibt es in \"" + path +
                      "\" nicht.",
                  MsgButtons::Ok);
    return std::nullopt;
  }
  return LayoutUnitList(MakeUnitListHeader(lesson.header, dataFileHeader, DateText(date)),
                        lesson.entries);
}

}  // namespace merkhaus
