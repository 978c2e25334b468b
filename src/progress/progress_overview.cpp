// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/progress_overview.h"

#include "platform/cp1252.h"
#include "progress/datafile_read.h"

namespace merkhaus {

ProgressOverview::ProgressOverview(Services& services, ProgressKeeper* keeper)
    : services_(services), keeper_(keeper) {}

std::optional<ProgressKeeper::Link> ProgressOverview::link() {
  return LinkChosen(keeper_, path_, header_);
}

bool ProgressOverview::load() {
  Messages& messages = services_.messages;
  const auto chosen = ReadChosenDataFile(services_.lesson.dataFilePath, messages);
  if (!chosen) return false;
  path_ = chosen->path;
  header_ = chosen->header;
  view_ = OverviewView{};
  view_.caption = "Lernstand -- " + ToUtf8(DataFileName(header_));
  const bool toldBefore = !keeper_ || keeper_->told();
  if (!link()) {
    if (toldBefore) {
      messages.show(MsgKind::Warning,
                    "Der Lernstand kann nicht geführt werden; es gibt nichts anzuzeigen.",
                    MsgButtons::Ok);
    }
    return false;
  }
  if (!readFigures()) return false;
  if (view_.lessons.empty()) {
    messages.show(MsgKind::Information, "Das DataFile enthält keine Lektionen.", MsgButtons::Ok);
    return false;
  }
  // The lesson the learner works on comes first to the eye.
  for (std::size_t i = 0; i < view_.lessons.size(); ++i) {
    if (view_.lessons[i].unitId == services_.lesson.unitId) view_.selected = i;
  }
  selectLesson(view_.selected);
  return true;
}

bool ProgressOverview::readFigures() {
  const auto l = link();
  if (!l) return false;
  view_.today = keeper_->today();
  const auto states = l->store.states(l->file);
  if (!states) {
    keeper_->failed(states.error());
    return false;
  }
  auto figures = ScanFigures(path_, *states, view_.today, kForecastDays);
  if (!figures) {
    ShowFileError(services_.messages, "Das DataFile kann nicht gelesen werden.", figures.error());
    return false;
  }
  view_.lessons = std::move(figures->lessons);
  return true;
}

void ProgressOverview::selectLesson(std::size_t index) {
  if (index >= view_.lessons.size()) return;
  view_.selected = index;
  view_.history.clear();
  const auto l = link();
  if (!l) return;
  auto history = l->store.testHistory(l->file, view_.lessons[index].unitId);
  if (!history) {
    keeper_->failed(history.error());
    return;
  }
  view_.history = std::move(*history);
}

void ProgressOverview::resetLesson() {
  if (view_.lessons.empty()) return;
  const LessonFigures& lesson = view_.lessons[view_.selected];
  const std::string question = "Soll der Lernstand der Lektion \"" + ToUtf8(lesson.name) +
                               "\" wirklich zurückgesetzt werden? Alle ihre Vokabeln gelten "
                               "dann wieder als neu.";
  if (services_.messages.show(MsgKind::Confirmation, question, MsgButtons::YesNoDefaultNo) !=
      Answer::Yes) {
    return;
  }
  const auto l = link();
  if (!l) return;
  if (const auto reset = l->store.resetLesson(l->file, lesson.unitId); !reset) {
    // The learner asked for it and must hear that it did not happen, also after the message
    // that progress is not being kept.
    ShowErr(services_.messages,
            "Der Lernstand wurde nicht zurückgesetzt.\n" + reset.error().text());
    return;
  }
  const std::size_t selected = view_.selected;
  if (readFigures()) selectLesson(selected);
}

}  // namespace merkhaus
