// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/voc_data_module.h"

#include "platform/dialogs.h"

namespace merkhaus {

std::optional<std::string> TVocDataModule::OpenDialog1Execute(const std::string& initialPath) {
  return dialogs_.openFile({"DataFile öffnen", kFilter, "fid", initialPath});
}

std::optional<std::string> TVocDataModule::SaveDialog1Execute(const std::string& initialPath) {
  return dialogs_.saveFile({"Neues DataFile", kFilter, "fid", initialPath});
}

}  // namespace merkhaus
