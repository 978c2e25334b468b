// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/command_line.h"

#include "platform/file_io.h"
#include "store/datafile.h"

namespace merkhaus {

bool CheckCommandLineFile(Shared& shared, Messages& messages,
                          const std::vector<std::string>& args) {
  shared.CmdLineFile = args.empty() ? std::string() : args.front();
  if (shared.CmdLineFile.empty()) return false;
  if (KindOf(shared.CmdLineFile) == PathKind::Missing) {
    messages.show(MsgKind::Warning,
                  "Die Datei \"" + shared.CmdLineFile + "\" ist nicht auffindbar!",
                  MsgButtons::Yes);
    shared.CmdLineFile.clear();
    return false;
  }
  switch (CheckDataFile(shared.CmdLineFile, messages)) {
    case DataFileCheck::DataFile:
      return true;
    case DataFileCheck::NotDataFile:
      messages.show(MsgKind::Warning,
                    "Kein Merkhaus ]|[ Datafile! Sie können die Datei unter "
                    "'Erweitert/Konveriteren' konvertieren, wenn es sich um ein älters Merkhaus "
                    "1.53R DataFile handelt.",
                    MsgButtons::Ok);
      break;
    case DataFileCheck::Unreadable:
      // The learner has been told that it could not be read; it may well be a DataFile.
      break;
  }
  shared.CmdLineFile.clear();
  return false;
}

}  // namespace merkhaus
