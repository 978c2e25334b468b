#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "config/options.h"
#include "config/special_chars.h"
#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/random.h"
#include "store/shared.h"

namespace merkhaus {

class TForm1;
class TOKBottomDlg;
class TForm4;
class TForm6;
class Tstudy;
class TVocDataModule;
class TOKBottomDlg1;
class THeaderInfoDlg;
class TOptionsDLG;
class TQuickEdit;
class TAboutBox;

// The windows of the program. Each is created once at start-up, in the order of this list, and
// lives until the program ends; a window reaches the others through here.
struct Forms {
  TForm1* Form1 = nullptr;
  TOKBottomDlg* OKBottomDlg = nullptr;
  TForm4* Form4 = nullptr;
  TForm6* Form6 = nullptr;
  Tstudy* study = nullptr;
  TVocDataModule* VocDataModule = nullptr;
  TOKBottomDlg1* OKBottomDlg1 = nullptr;
  THeaderInfoDlg* HeaderInfoDlg = nullptr;
  TOptionsDLG* OptionsDLG = nullptr;
  TQuickEdit* QuickEdit = nullptr;
  TAboutBox* AboutBox = nullptr;
};

// Everything a window needs from the rest of the program, made once in main (tests make their
// own with fakes for messages and dialogs).
struct AppContext {
  Shared& shared;
  Options& options;
  Messages& messages;
  FileDialogs& fileDialogs;
  HelpViewer& help;
  Random& random;                   // the practice's and the test's pseudo-random numbers
  std::filesystem::path configDir;  // where Merkhaus.cfg and Merkhaus.soz live
  std::vector<std::string> args;    // command-line arguments after the program name
  Forms forms;
  SpecialCharTable specialChars;  // F5..F8, shared by every typing field
};

}  // namespace merkhaus
