// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/quick_edit_rules.h"

#include "store/datafile.h"
#include "text/text_rules.h"

namespace merkhaus {

QuickEditTexts QuickEditFields(const TVocData& e) {
  return {e.A1.get(), e.B1.get(), e.A2.get(), e.B2.get(), e.A3.get(), e.B3.get(), e.Comment.get()};
}

TVocData BuildQuickEditRecord(const QuickEditTexts& texts, const Options& options,
                              std::uint8_t unitId) {
  const auto clean = [&](const WinString& t) {
    return EntryCutSpaces(t.left(kCommentCapacity), options.Eingabe_SpaceCut);
  };
  TVocData r = EmptyRecord();
  r.A1.set(clean(texts.Edit1));  // PString cuts the words to 60
  r.B1.set(clean(texts.Edit2));
  r.A2.set(clean(texts.Edit3));
  r.B2.set(clean(texts.Edit4));
  r.A3.set(clean(texts.Edit5));
  r.B3.set(clean(texts.Edit6));
  r.Comment.set(clean(texts.Edit7));
  r.Deleted = 0;
  r.UnitID = unitId;
  return r;
}

bool SaveQuickEdit(Shared& shared, const Options& options, Messages& messages, std::size_t index,
                   const QuickEditTexts& texts, TVocData& original) {
  shared.RecBuf = BuildQuickEditRecord(texts, options, shared.CurUnitID);
  original = shared.RecBuf;
  FileError error;
  if (!ReplaceRecord(shared.DataFilePath, shared.VocList[index], shared.RecBuf, true, error)) {
    ShowErr(messages, WithReason("Das Speichern ist fehlgeschlagen!", error));
    return false;
  }
  shared.VocList[index] = shared.RecBuf;
  return true;
}

}  // namespace merkhaus
