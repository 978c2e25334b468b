// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace merkhaus {

class FileDialogs;

// The standard file dialogs for DataFiles, both with the filter
// "DataFile (*.fid)|*.fid|Alle (*.*)|*.*" and an editable file-name field.
class TVocDataModule {
 public:
  explicit TVocDataModule(FileDialogs& dialogs) : dialogs_(dialogs) {}

  static constexpr const char* kFilter = "DataFile (*.fid)|*.fid|Alle (*.*)|*.*";

  // The chosen path, or nothing when the learner cancelled.
  std::optional<std::string> OpenDialog1Execute(const std::string& initialPath = {});
  std::optional<std::string> SaveDialog1Execute(const std::string& initialPath = {});

 private:
  FileDialogs& dialogs_;
};

}  // namespace merkhaus
