// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/transfer_formats.h"

#include <filesystem>

#include "maintenance/csv_transfer.h"
#include "maintenance/kvtml_transfer.h"
#include "maintenance/text_transfer.h"

namespace merkhaus {

TransferFormat FormatOfPath(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (extension == ".csv") return TransferFormat::Csv;
  if (extension == ".kvtml") return TransferFormat::Kvtml;
  return TransferFormat::LessonText;
}

FileDialogRequest TransferDialogRequest() {
  FileDialogRequest request = LessonTextDialogRequest();
  request.filter =
      "Texdateien (*.txt)|*.txt|CSV-Dateien (*.csv)|*.csv|KVTML-Dateien (*.kvtml)|*.kvtml|"
      "Alle (*.*)|*.*";
  return request;
}

bool ExportLessonFile(const std::string& outPath, const TVocData& dataFileHeader,
                      const TVocData& lessonHeader, std::span<const TVocData> entries,
                      const WinString& date, Messages& messages, const ExportSettings& given) {
  ExportSettings settings = given;
  settings.source = EncodingOf(dataFileHeader);
  switch (FormatOfPath(outPath)) {
    case TransferFormat::Csv:
      return ExportCsv(outPath, entries, messages, settings);
    case TransferFormat::Kvtml: {
      if (!CheckExportable(entries.size(), messages)) return false;
      const KvtmlLesson lesson{lessonHeader, {entries.begin(), entries.end()}};
      return ExportKvtml(outPath, dataFileHeader, {&lesson, 1}, messages, settings);
    }
    case TransferFormat::LessonText:
      break;
  }
  return ExportLessonText(outPath, lessonHeader, entries, date, messages, settings);
}

ImportResult ImportFile(const std::string& dataFilePath, const std::string& path,
                        std::uint8_t intoLesson, Messages& messages, const ImportOptions& options) {
  switch (FormatOfPath(path)) {
    case TransferFormat::Csv:
      return ImportCsv(dataFilePath, path, intoLesson, messages, options);
    case TransferFormat::Kvtml:
      return ImportKvtml(dataFilePath, path, messages, options);
    case TransferFormat::LessonText:
      break;
  }
  return ImportLessonText(dataFilePath, path, intoLesson, messages, options);
}

}  // namespace merkhaus
