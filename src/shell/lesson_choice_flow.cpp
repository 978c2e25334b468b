// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/lesson_choice_flow.h"

#include "flows/lesson_loading.h"
#include "platform/cp1252.h"
#include "store/lessons.h"

namespace merkhaus {

WinString CreateLessonFromDialog(const std::string& path, const WinString& name,
                                 const WinString& comment, Messages& messages) {
  const WinString cutName = name.left(kWordCapacity);
  const StoreResult<std::uint8_t> made =
      CreateLesson(path, cutName, comment.left(kCommentCapacity));
  if (made) return cutName;
  TellLessonNotCreated(messages, made.error());
  ShowErr(messages, "Die Unit konnte nicht korrekt angelegt werden!");
  return WinString();
}

LessonChoice::LessonChoice(LessonContext& lesson, Messages& messages, NewLessonDialog& newLesson,
                           HeaderInfoViewer& headerInfo)
    : lesson_(lesson), messages_(messages), newLesson_(newLesson), headerInfo_(headerInfo) {}

bool LessonChoice::begin(const std::string& path, bool allowCreate) {
  path_ = path;
  abandoned_ = false;
  outcome_ = 0;
  view_.mayCreate = allowCreate;
  if (path.empty()) return false;

  StoreResult<LessonList> list = ReadLessonList(path);
  if (!list) {
    ShowFileError(messages_, "RW - Fehler 601!", list.error().file);
    return false;
  }
  if (list->records <= 1) {
    if (!allowCreate) {
      messages_.show(MsgKind::Information, "Keine Lektionen verfügbar!", MsgButtons::Ok);
      return false;
    }
    if (messages_.show(MsgKind::Confirmation, "Keine Lektionen verfügbar. Neue anlegen?",
                       MsgButtons::YesNo) != Answer::Yes ||
        !newLesson_.newLesson()) {
      outcome_ = std::nullopt;
      return false;
    }
    list = ReadLessonList(path);
    if (!list) {
      ShowFileError(messages_, "RW - Fehler in Unit6!", list.error().file);
      return false;
    }
  }
  lesson_.dataFileHeader = list->header;
  view_.dataFileName = DataFileName(list->header);
  view_.dataFileComment = list->header.Comment.get(list->encoding);
  view_.lines.clear();
  for (const LessonLine& l : list->lines)
    view_.lines.push_back(l.line);
  ++view_.listVersion;
  return true;
}

void LessonChoice::refill() {
  view_.lines.clear();
  ++view_.listVersion;
  const StoreResult<LessonList> list = ReadLessonList(path_);
  if (!list) {
    ShowFileError(messages_, "RW - Fehler in Unit6!", list.error().file);
    return;
  }
  for (const LessonLine& l : list->lines)
    view_.lines.push_back(l.line);
}

void LessonChoice::newLesson() {
  if (newLesson_.newLesson()) {
    refill();
  } else {
    abandoned_ = true;
  }
}

const WinString* LessonChoice::line(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= view_.lines.size()) return nullptr;
  return &view_.lines[static_cast<std::size_t>(row)];
}

bool LessonChoice::deleteLine(int row) {
  const WinString* selected = line(row);
  if (!selected) {
    messages_.show(MsgKind::Warning, "Sie haben keine Lektion ausgewählt!", MsgButtons::Ok);
    return false;
  }
  if (messages_.show(MsgKind::Warning, "Soll die Lektion wirklich gelöscht werden?",
                     MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return false;
  }
  const StoreResult<std::uint32_t> marked = DeleteLessonOfLine(path_, *selected);
  if (!marked) ShowFileError(messages_, "RW - Fehler in Unit6!", marked.error().file);
  if (marked.value_or(0) > 0) {
    // The lesson's own header is among the records marked.
    messages_.show(MsgKind::Information,
                   "Lektion \"" + ToUtf8(*selected) + "\" mit " + std::to_string(*marked - 1) +
                       " Vokabeln erfolgreich gelöscht!",
                   MsgButtons::Ok);
  } else {
    messages_.show(MsgKind::Warning, "Löschen fehlgeschlagen!", MsgButtons::Ok);
  }
  view_.lines.erase(view_.lines.begin() + row);
  return true;
}

void LessonChoice::showInfo(int row) {
  const WinString* selected = line(row);
  if (!selected) return;
  const StoreResult<std::optional<TVocData>> found = FindLessonByLine(path_, *selected);
  if (!found) {
    ShowFileError(messages_, "RW - Fehler in Unit6!", found.error().file);
    return;
  }
  if (*found) lesson_.lessonHeader = **found;
  headerInfo_.showHeaderInfo(false, false);
}

std::optional<std::uint8_t> LessonChoice::end(int row, bool back) {
  if (back || abandoned_) return std::nullopt;
  const WinString* chosen = line(row);
  if (!chosen) return 0;
  const StoreResult<std::optional<TVocData>> found = FindLessonByLine(path_, *chosen);
  return found && *found ? (*found)->UnitID : 0;
}

}  // namespace merkhaus
