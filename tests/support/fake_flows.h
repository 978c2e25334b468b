// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The choosers and dialogs of the modes, answered by the test: each flow calls the function the
// test put there; a flow the test did not expect fails it.

#include <gtest/gtest.h>

#include <functional>

#include "flows/flows.h"

namespace mhtest {

struct FakeFlows : merkhaus::DataFileChooser,
                   merkhaus::LessonChooser,
                   merkhaus::HeaderInfoViewer,
                   merkhaus::EntryViewer,
                   merkhaus::OptionsEditor,
                   merkhaus::VocabularyEntry {
  std::function<std::string(merkhaus::ChooseMode)> chooseDataFile;
  std::function<std::uint8_t(const std::string& path, bool allowCreate)> selectUnit;
  std::function<void(bool forDataFile, bool editable)> showHeaderInfo;
  std::function<bool(std::size_t index, bool editable)> quickEditEntry;
  std::function<void()> showOptions;
  std::function<void(bool checkLesson)> openEntryWindow;

  std::string ChooseDataFile(merkhaus::ChooseMode mode) override {
    if (chooseDataFile) return chooseDataFile(mode);
    ADD_FAILURE() << "unexpected DataFile choice";
    return {};
  }
  std::uint8_t SelectUnit(const std::string& path, bool allowCreate) override {
    if (selectUnit) return selectUnit(path, allowCreate);
    ADD_FAILURE() << "unexpected lesson choice";
    return 0;
  }
  void ShowHeaderInfo(bool forDataFile, bool editable) override {
    if (showHeaderInfo) return showHeaderInfo(forDataFile, editable);
    ADD_FAILURE() << "unexpected info dialog";
  }
  bool QuickEditEntry(std::size_t index, bool editable) override {
    if (quickEditEntry) return quickEditEntry(index, editable);
    ADD_FAILURE() << "unexpected quick edit";
    return false;
  }
  void ShowOptions() override {
    if (showOptions) return showOptions();
    ADD_FAILURE() << "unexpected options dialog";
  }
  void OpenEntryWindow(bool checkLesson) override {
    if (openEntryWindow) return openEntryWindow(checkLesson);
    ADD_FAILURE() << "unexpected entry window";
  }
};

}  // namespace mhtest
