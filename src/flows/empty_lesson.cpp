// SPDX-License-Identifier: GPL-3.0-or-later
#include "flows/empty_lesson.h"

namespace merkhaus {

bool ChooseInsteadOfEmptyLesson(Shared& shared, Messages& messages, LessonChooser& lessons) {
  messages.show(MsgKind::Warning,
                "Diese Lektion enthält keine Vokabeln! Wählen sie eine andere Lektion aus, "
                "oder wählen sie 'zurück'",
                MsgButtons::Ok);
  const std::uint8_t unit = lessons.SelectUnit(shared.DataFilePath, false);
  // No lesson is no lesson, cancelled or not: taking UnitID 0 would find no entries again and
  // ask without end. The empty lesson stays the current one.
  if (shared.Cancelled || unit == 0) {
    shared.Cancelled = 1;
    return false;
  }
  shared.CurUnitID = unit;
  return true;
}

}  // namespace merkhaus
