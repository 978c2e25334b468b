// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/lesson_flows.h"

#include "store/datafile.h"

namespace merkhaus {

bool WriteHeaderInfo(LessonContext& lesson, Messages& messages, bool dataFile,
                     const WinString& name, const WinString& comment) {
  const StoreResult<std::optional<TVocData>> written = WriteNameAndComment(
      lesson.dataFilePath, dataFile ? std::nullopt : std::optional(lesson.unitId), name, comment);
  if (!written) {
    ShowFileError(messages, "RW - Fehler in Unit12!", written.error().file);
    return false;
  }
  if (!*written) return false;
  (dataFile ? lesson.dataFileHeader : lesson.lessonHeader) = **written;
  return true;
}

}  // namespace merkhaus
