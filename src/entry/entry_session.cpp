// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/entry_session.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "flows/lesson_loading.h"
#include "platform/cp1252.h"
#include "store/datafile.h"

namespace merkhaus {
namespace {

const char* const kLessonGone = "Böser Fehler: 301";
const char* const kBufferFull = "Im Buffer dieser Lektion sind bereits 255 Vokabeln!";
const char* const kAskSave =
    "Sie haben die Vokabeln im Puffer noch in keine Lektion gespeichert. Sollten die Vokabeln in "
    "die aktuelle Lektion geschrieben werden?";

std::string Quoted(const WinString& text) {
  return "\"" + ToUtf8(text) + "\"";
}

}  // namespace

EntrySession::EntrySession(Services& services, const Flows& flows, Redraw& window)
    : lesson_(services.lesson),
      options_(services.options),
      messages_(services.messages),
      flows_(flows),
      window_(window),
      speech_(services.speaker, services.options, services.messages, services.lesson) {}

void EntrySession::readAloud() {
  speech_.read(view_.fields.A1, view_.fields.A2, view_.fields.A3);
}

void EntrySession::open(bool checkLesson) {
  buffer_.clear();
  lessonNames_.clear();
  view_.fields = {};
  view_.selected = -1;
  if (checkLesson && !LoadLessonHeader(lesson_, messages_, lesson_.unitId)) {
    ShowErr(messages_, kLessonGone);
  }
  rememberLessonName();
  showHeaders();
  showLines();
}

bool EntrySession::add() {
  // Only the raw first fields count: a field of blanks is filled in.
  if (view_.fields.A1.empty() || view_.fields.B1.empty()) return false;
  if (buffer_.full()) {
    messages_.show(MsgKind::Warning, kBufferFull, MsgButtons::Ok);
    return false;
  }
  buffer_.add(
      BuildNewEntry(view_.fields, options_.Semikolacut, options_.Eingabe_SpaceCut, lesson_.unitId));
  view_.fields = {};
  showLines();
  return true;
}

bool EntrySession::change() {
  const int line = selected();
  if (line < 0 || view_.fields.A1.empty() || view_.fields.B1.empty()) return false;
  buffer_.change(static_cast<std::size_t>(line), BuildChangedEntry(view_.fields, lesson_.unitId));
  view_.fields = {};
  showLines();
  return true;
}

void EntrySession::remove() {
  const int line = selected();
  if (line < 0) return;
  buffer_.remove(static_cast<std::size_t>(line));
  // No line stays selected, so that a second click does not remove the next entry unasked.
  view_.selected = -1;
  showLines();
}

void EntrySession::loadSelected() {
  const int line = selected();
  if (line >= 0)
    view_.fields = TextsOf(buffer_[static_cast<std::size_t>(line)], lesson_.encoding());
}

void EntrySession::clearFields() {
  view_.fields = {};
}

bool EntrySession::save() {
  if (buffer_.empty()) return false;
  // Entries typed before a lesson switch go into the lesson they were typed for: counted per
  // lesson, in the order the lessons first came.
  std::vector<std::pair<std::uint8_t, std::size_t>> perLesson;
  for (std::size_t i = 0; i < buffer_.size(); ++i) {
    const std::uint8_t unit = buffer_[i].UnitID;
    auto it = std::find_if(perLesson.begin(), perLesson.end(),
                           [unit](const auto& p) { return p.first == unit; });
    if (it == perLesson.end()) {
      perLesson.emplace_back(unit, 1);
    } else {
      ++it->second;
    }
  }
  const auto written = buffer_.save(lesson_.dataFilePath, messages_, lessonNames_);
  if (!written) return false;
  view_.selected = -1;
  showLines();
  window_.redraw();
  std::string text = std::to_string(*written) + " Vokabeln erfolgreich in " +
                     Quoted(LessonName(lesson_.lessonHeader).as(lesson_.encoding())) + " in " +
                     Quoted(DataFileName(lesson_.dataFileHeader)) + " geschrieben.";
  if (perLesson.size() > 1 || (perLesson.size() == 1 && perLesson[0].first != lesson_.unitId)) {
    text += "\nDavon ";
    for (std::size_t i = 0; i < perLesson.size(); ++i) {
      const auto [unit, count] = perLesson[i];
      const auto name = lessonNames_.find(unit);
      if (i > 0) text += i + 1 == perLesson.size() ? " und " : ", ";
      text += std::to_string(count) + " in " +
              (name != lessonNames_.end() ? Quoted(name->second)
                                          : "die Lektion mit der UnitID " + std::to_string(unit));
    }
    text += ".";
  }
  messages_.show(MsgKind::Information, text, MsgButtons::Ok);
  return true;
}

bool EntrySession::confirmEnd() {
  if (buffer_.empty()) return true;
  switch (messages_.show(MsgKind::Information, kAskSave, MsgButtons::YesNoCancel)) {
    case Answer::Yes:
      // When saving fails the buffer is all the learner has: stay, so that it can be saved
      // again or dropped knowingly with "Nein".
      return save();
    case Answer::No:
      buffer_.clear();
      showLines();
      return true;
    default:
      return false;
  }
}

void EntrySession::showLastEntry() {
  const StoreResult<std::optional<TVocData>> last =
      LastRecordOf(lesson_.dataFilePath, lesson_.unitId);
  if (!last) {
    ShowDataFileUnusable(messages_, lesson_.dataFilePath, last.error().file);
    return;
  }
  // The lesson's own header is the last record of its UnitID until an entry is saved.
  if (!*last || IsUnitHeader(**last)) {
    messages_.show(MsgKind::Information,
                   "In der Lektion " +
                       Quoted(LessonName(lesson_.lessonHeader).as(lesson_.encoding())) +
                       " ist noch keine Vokabel gespeichert.",
                   MsgButtons::Ok);
    return;
  }
  messages_.show(
      MsgKind::Information,
      "Die zuletzt eingegebene Vokabel lautet: " + Quoted(EntryLine(**last, lesson_.encoding())),
      MsgButtons::Ok);
}

void EntrySession::changeLesson() {
  const std::optional<std::uint8_t> unit = flows_.lessons.selectLesson(lesson_.dataFilePath, true);
  if (unit && *unit != 0) {
    lesson_.unitId = *unit;
    if (!LoadLessonHeader(lesson_, messages_, *unit)) ShowErr(messages_, kLessonGone);
    rememberLessonName();
  }
  // The lesson choice has read the DataFile's header afresh.
  showHeaders();
}

void EntrySession::dataFileInfo() {
  flows_.headerInfo.showHeaderInfo(true, true);
  showHeaders();
}

void EntrySession::lessonInfo() {
  flows_.headerInfo.showHeaderInfo(false, true);
  rememberLessonName();
  showHeaders();
}

void EntrySession::showHeaders() {
  const TVocData& file = lesson_.dataFileHeader;
  view_.dataFileName = DataFileName(file);
  view_.dataFileComment = file.Comment.get(lesson_.encoding());
  view_.foreignLanguage = ForeignLanguage(file);
  view_.nativeLanguage = NativeLanguage(file);
  view_.lessonName = LessonName(lesson_.lessonHeader).as(lesson_.encoding());
  view_.lessonComment = lesson_.lessonHeader.Comment.get(lesson_.encoding());
}

void EntrySession::showLines() {
  view_.lines.clear();
  for (std::size_t i = 0; i < buffer_.size(); ++i)
    view_.lines.push_back(EntryLine(buffer_[i], lesson_.encoding()));
  if (selected() < 0) view_.selected = -1;
}

void EntrySession::rememberLessonName() {
  const TVocData& header = lesson_.lessonHeader;
  if (header.UnitID == lesson_.unitId && IsUnitHeader(header)) {
    lessonNames_[header.UnitID] = LessonName(header).as(lesson_.encoding());
  }
}

int EntrySession::selected() const {
  const int line = view_.selected;
  return line >= 0 && static_cast<std::size_t>(line) < buffer_.size() ? line : -1;
}

}  // namespace merkhaus
