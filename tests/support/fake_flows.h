// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The choosers and dialogs of the modes, answered by the test: each flow calls the function the
// test put there; a flow the test did not expect fails it.

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "flows/flows.h"

namespace mhtest {

struct FakeFlows : merkhaus::DataFileChooser,
                   merkhaus::LessonChooser,
                   merkhaus::HeaderInfoViewer,
                   merkhaus::EntryViewer,
                   merkhaus::OptionsEditor,
                   merkhaus::VocabularyEntry {
  using Entry = merkhaus::TVocData;
  std::function<std::optional<std::string>(merkhaus::ChooseMode)> onChooseDataFile;
  std::function<std::optional<std::uint8_t>(const std::string& path, bool allowCreate)>
      onSelectLesson;
  std::function<void(bool forDataFile, bool editable)> onShowHeaderInfo;
  std::function<std::optional<Entry>(const Entry& entry, bool editable)> onQuickEditEntry;
  std::function<void()> onShowOptions;
  std::function<void(bool checkLesson)> onOpenEntryWindow;

  // Every flow of the bundle answered by this fake.
  merkhaus::Flows bundle() { return {*this, *this, *this, *this, *this, *this}; }

  std::optional<std::string> chooseDataFile(merkhaus::ChooseMode mode) override {
    if (onChooseDataFile) return onChooseDataFile(mode);
    ADD_FAILURE() << "unexpected DataFile choice";
    return std::nullopt;
  }
  std::optional<std::uint8_t> selectLesson(const std::string& path, bool allowCreate) override {
    if (onSelectLesson) return onSelectLesson(path, allowCreate);
    ADD_FAILURE() << "unexpected lesson choice";
    return std::nullopt;
  }
  void showHeaderInfo(bool forDataFile, bool editable) override {
    if (onShowHeaderInfo) return onShowHeaderInfo(forDataFile, editable);
    ADD_FAILURE() << "unexpected info dialog";
  }
  std::optional<Entry> quickEditEntry(const Entry& entry, bool editable) override {
    if (onQuickEditEntry) return onQuickEditEntry(entry, editable);
    ADD_FAILURE() << "unexpected quick edit";
    return std::nullopt;
  }
  void showOptions() override {
    if (onShowOptions) return onShowOptions();
    ADD_FAILURE() << "unexpected options dialog";
  }
  void saveMoreOptions() override { ++moreOptionsSaved; }
  int moreOptionsSaved = 0;
  void openEntryWindow(bool checkLesson) override {
    if (onOpenEntryWindow) return onOpenEntryWindow(checkLesson);
    ADD_FAILURE() << "unexpected entry window";
  }
};

}  // namespace mhtest
