// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "flows/flows.h"
#include "flows/lesson_context.h"
#include "platform/messages.h"
#include "store/datafile.h"
#include "store/store_error.h"
#include "store/vocdata.h"

namespace merkhaus {

// How the modes read the lesson they work on, and what they tell the learner when they cannot.

// Whether the file at `path` is a DataFile. A file that cannot be read is Unreadable, after its
// own message ("Fehler beim öffnen der Datei als Textfile!" or "Fehler beim lesen der Datei als
// Bin-File!" with the file and the reason); callers then do not claim it is no DataFile.
enum class DataFileCheck { DataFile, NotDataFile, Unreadable };
DataFileCheck CheckDataFile(const std::string& path, Messages& messages);

// Looks, when the current DataFile is chosen for a mode, whether it can be changed. When it is
// damaged or write-protected, the learner is told at once in one box naming the file and the
// reason, and the mode runs read-only (the context's readOnlyReason), instead of failing at the
// first "Speichern".
void TellWhenReadOnly(LessonContext& lesson, Messages& messages);
inline constexpr const char* kReadOnlyNote =
    "Das DataFile wird nur gelesen: Speichern und Schnellbearbeitung sind abgeschaltet.";

// The live header of lesson `unitId` of the current DataFile into the context's lesson header.
// False when there is none (the header keeps its contents) or the file cannot be opened
// ("Schwerer Fehler 602" with the file and the reason).
bool LoadLessonHeader(LessonContext& lesson, Messages& messages, std::uint8_t unitId);

// The live entries of the current lesson, at most 255 in file order; nothing, after
// "IO-Fehler 802!" with the file and the reason, when the DataFile cannot be opened.
std::optional<std::vector<TVocData>> LoadLessonEntries(const LessonContext& lesson,
                                                       Messages& messages);

// Reads the current lesson for the practice or the test in one pass: its header becomes the
// context's lesson header ("Böser Fehler: 801" when it is gone; the mode goes on with the header
// it has), and `take` is handed its entries (at most 255), or nothing when the DataFile cannot be
// opened ("IO-Fehler 802!" with the file and the reason: one box). A lesson without entries is
// told and another lesson of the DataFile offered, until one with entries is read. True when a
// lesson with entries was read; false when the DataFile could not be read or no other lesson was
// chosen.
bool LoadLessonToAsk(LessonContext& lesson, Messages& messages, LessonChooser& lessons,
                     const std::function<void(const std::vector<TVocData>* entries)>& take);

// What the practice and the test show of the lesson they ask: its name and comment, and the
// languages of the DataFile as the headings of the two sides.
struct LessonHeading {
  WinString lessonName;
  WinString lessonComment;
  WinString foreignLanguage;  // heading of the A side
  WinString nativeLanguage;   // heading of the B side
};
LessonHeading HeadingOf(const LessonContext& lesson);

// Why a lesson could not be made, in the boxes of the lesson management ("RW - Fehler: 1002",
// "There're already 255 units in this DataFile!" with "Fehler 1003: ...", "Die Unit ist bereits
// vorhanden!").
void TellLessonNotCreated(Messages& messages, const StoreError& error);

// A lesson with more entries than practice, test and printing take: tells the learner, once per
// lesson and run, that only the first ones are used and how the lesson can be split.
void TellWhenCut(LessonContext& lesson, Messages& messages, const LessonRead& read);

}  // namespace merkhaus
