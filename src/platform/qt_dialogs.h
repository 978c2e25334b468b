// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "platform/dialogs.h"

namespace merkhaus {

// "DataFile (*.fid)|*.fid|Alle (*.*)|*.*" in the form QFileDialog wants:
// "DataFile (*.fid);;Alle (*.*)".
QString ToQtFilter(const std::string& filter);

// The extension a file type of a dialog gives a name typed without one: "csv" for
// "CSV-Dateien (*.csv)", nothing for "Alle (*.*)".
QString SuffixOfFilter(const QString& filter);

class QtFileDialogs : public FileDialogs {
 public:
  std::optional<std::string> openFile(const FileDialogRequest& request) override;
  std::optional<std::string> saveFile(const FileDialogRequest& request) override;
};

}  // namespace merkhaus
