#include "shell/command_line.h"

#include <filesystem>
#include <system_error>

#include "store/datafile.h"

namespace merkhaus {

bool CheckCommandLineFile(Shared& shared, Messages& messages,
                          const std::vector<std::string>& args) {
  shared.CmdLineFile = args.empty() ? std::string() : args.front();
  if (shared.CmdLineFile.empty()) return false;
  std::error_code ec;
  if (!std::filesystem::exists(shared.CmdLineFile, ec)) {
    messages.show(MsgKind::Warning,
                  "Die Datei \"" + shared.CmdLineFile + "\" ist nicht auffindbar!",
                  MsgButtons::Yes);
    shared.CmdLineFile.clear();
    return false;
  }
  if (!IsDataFile(shared.CmdLineFile, messages)) {
    messages.show(MsgKind::Warning,
                  "Kein Merkhaus ]|[ Datafile! Sie können die Datei unter "
                  "'Erweitert/Konveriteren' konvertieren, wenn es sich um ein älters Merkhaus "
                  "1.53R DataFile handelt.",
                  MsgButtons::Ok);
    shared.CmdLineFile.clear();
    return false;
  }
  return true;
}

}  // namespace merkhaus
