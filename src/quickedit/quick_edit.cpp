// SPDX-License-Identifier: GPL-3.0-or-later
#include "quickedit/quick_edit.h"

#include "store/datafile.h"
#include "text/text_rules.h"

namespace merkhaus {

TVocData BuildQuickEditRecord(const EntryTexts& texts, const Options& options,
                              std::uint8_t unitId) {
  const auto clean = [&](const WinString& t) {
    return EntryCutSpaces(t.left(kCommentCapacity), options.Eingabe_SpaceCut);
  };
  TVocData r = EmptyRecord();
  r.A1.set(clean(texts.A1));  // PString cuts the words to 60
  r.B1.set(clean(texts.B1));
  r.A2.set(clean(texts.A2));
  r.B2.set(clean(texts.B2));
  r.A3.set(clean(texts.A3));
  r.B3.set(clean(texts.B3));
  r.Comment.set(clean(texts.Comment));
  r.Deleted = 0;
  r.UnitID = unitId;
  return r;
}

std::optional<TVocData> SaveQuickEdit(const LessonContext& lesson, const Options& options,
                                      Messages& messages, const TVocData& entry,
                                      const EntryTexts& texts) {
  const TVocData corrected = BuildQuickEditRecord(texts, options, lesson.unitId);
  const StoreResult<> written = ReplaceRecord(lesson.dataFilePath, entry, corrected, true);
  if (!written) {
    ShowFileError(messages, "Das Speichern ist fehlgeschlagen!", written.error().file);
    return std::nullopt;
  }
  return corrected;
}

}  // namespace merkhaus
