// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/entry_session.h"

#include <string>

#include "platform/cp1252.h"
#include "store/datafile.h"
#include "store/record_file.h"
#include "store/vocdata.h"

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

EntrySession::EntrySession(Shared& shared, Options& options, Messages& messages,
                           LessonChooser& lessons, HeaderInfoViewer& headerInfo)
    : shared_(shared),
      options_(options),
      messages_(messages),
      lessons_(lessons),
      headerInfo_(headerInfo),
      buffer_(shared) {}

void EntrySession::Open(bool checkLesson) {
  buffer_.clear();
  lessonNames_.clear();
  view_.fields = {};
  view_.selected = -1;
  if (checkLesson && !LoadUnitHeader(shared_, messages_, shared_.CurUnitID)) {
    ShowErr(messages_, kLessonGone);
  }
  RememberLessonName();
  ShowHeaders();
  ShowLines();
}

bool EntrySession::Add() {
  // Only the raw first fields count: a field of blanks is filled in.
  if (view_.fields.A1.empty() || view_.fields.B1.empty()) return false;
  if (buffer_.full()) {
    messages_.show(MsgKind::Warning, kBufferFull, MsgButtons::Ok);
    return false;
  }
  buffer_.add(BuildNewEntry(view_.fields, options_.Semikolacut, options_.Eingabe_SpaceCut,
                            shared_.CurUnitID));
  view_.fields = {};
  ShowLines();
  return true;
}

bool EntrySession::Change() {
  const int line = Selected();
  if (line < 0 || view_.fields.A1.empty() || view_.fields.B1.empty()) return false;
  buffer_.change(static_cast<std::size_t>(line),
                 BuildChangedEntry(view_.fields, shared_.CurUnitID));
  view_.fields = {};
  ShowLines();
  return true;
}

void EntrySession::Remove() {
  const int line = Selected();
  if (line < 0) return;
  buffer_.remove(static_cast<std::size_t>(line));
  // No line stays selected, so that a second click does not remove the next entry unasked.
  view_.selected = -1;
  ShowLines();
}

void EntrySession::LoadSelected() {
  const int line = Selected();
  if (line >= 0) view_.fields = EntryFields(buffer_[static_cast<std::size_t>(line)]);
}

void EntrySession::ClearFields() {
  view_.fields = {};
}

bool EntrySession::Save() {
  if (buffer_.empty()) return false;
  const auto written = buffer_.save(shared_.DataFilePath, messages_, lessonNames_);
  if (!written) return false;
  view_.selected = -1;
  ShowLines();
  if (showView) showView();
  messages_.show(MsgKind::Information,
                 std::to_string(*written) + " Vokabeln erfolgreich in " +
                     Quoted(shared_.CurUnit.B1.get()) + " in " +
                     Quoted(shared_.DataFileHeader.B1.get()) + " geschrieben.",
                 MsgButtons::Ok);
  return true;
}

bool EntrySession::ConfirmEnd() {
  if (buffer_.empty()) return true;
  switch (messages_.show(MsgKind::Information, kAskSave, MsgButtons::YesNoCancel)) {
    case Answer::Yes:
      // When saving fails the buffer is all the learner has: stay, so that it can be saved
      // again or dropped knowingly with "Nein".
      return Save();
    case Answer::No:
      buffer_.clear();
      ShowLines();
      return true;
    default:
      return false;
  }
}

void EntrySession::ShowLastEntry() {
  RecordFile file;
  if (!file.open(shared_.DataFilePath, Access::Read)) {
    ShowErr(messages_, WithReason(DataFileMissingMessage(shared_.DataFilePath), file.error()));
    return;
  }
  // Record 0 is the DataFile's own header; its UnitID byte means nothing.
  bool found = false;
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (r.UnitID == shared_.CurUnitID) {
      shared_.RecBuf = r;
      found = true;
    }
    return true;
  });
  file.close();
  // The lesson's own header is the last record of its UnitID until an entry is saved.
  if (!found || IsUnitHeader(shared_.RecBuf)) {
    messages_.show(MsgKind::Information,
                   "In der Lektion " + Quoted(shared_.CurUnit.B1.get()) +
                       " ist noch keine Vokabel gespeichert.",
                   MsgButtons::Ok);
    return;
  }
  messages_.show(MsgKind::Information,
                 "Die zuletzt eingegebene Vokabel lautet: " + Quoted(EntryLine(shared_.RecBuf)),
                 MsgButtons::Ok);
}

void EntrySession::ChangeLesson() {
  shared_.Cancelled = 0;
  const std::uint8_t unit = lessons_.SelectUnit(shared_.DataFilePath, true);
  if (!shared_.Cancelled && unit != 0) {
    shared_.CurUnitID = unit;
    if (!LoadUnitHeader(shared_, messages_, unit)) ShowErr(messages_, kLessonGone);
    RememberLessonName();
  }
  // The lesson choice has read the DataFile's header afresh.
  ShowHeaders();
}

void EntrySession::DataFileInfo() {
  headerInfo_.ShowHeaderInfo(true, true);
  ShowHeaders();
}

void EntrySession::LessonInfo() {
  headerInfo_.ShowHeaderInfo(false, true);
  RememberLessonName();
  ShowHeaders();
}

void EntrySession::ShowHeaders() {
  const TVocData& file = shared_.DataFileHeader;
  view_.dataFileName = file.B1.get();
  view_.dataFileComment = file.Comment.get();
  view_.foreignLanguage = file.A1.get();
  view_.nativeLanguage = file.B2.get();
  view_.lessonName = shared_.CurUnit.B1.get();
  view_.lessonComment = shared_.CurUnit.Comment.get();
}

void EntrySession::ShowLines() {
  view_.lines.clear();
  for (std::size_t i = 0; i < buffer_.size(); ++i)
    view_.lines.push_back(EntryLine(buffer_[i]));
  if (Selected() < 0) view_.selected = -1;
}

void EntrySession::RememberLessonName() {
  const TVocData& unit = shared_.CurUnit;
  if (unit.UnitID == shared_.CurUnitID && IsUnitHeader(unit)) {
    lessonNames_[unit.UnitID] = unit.B1.get();
  }
}

int EntrySession::Selected() const {
  const int line = view_.selected;
  return line >= 0 && static_cast<std::size_t>(line) < buffer_.size() ? line : -1;
}

}  // namespace merkhaus
