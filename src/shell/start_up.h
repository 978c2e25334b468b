// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "flows/flows.h"
#include "flows/mode.h"
#include "flows/services.h"

namespace merkhaus {

class TAboutBox;
class TForm1;
class TForm4;
class TForm6;
class THeaderInfoDlg;
class TOKBottomDlg;
class TOKBottomDlg1;
class TOptionsDLG;
class TQuickEdit;
class TVocDataModule;

// Loads the German Qt translations, so that the standard dialogs speak German.
void InstallGermanTranslations(QApplication& app);
// Qt's own dialogs write dates and sizes in the system's locale, which Qt reads from the
// environment once: it reads German ones, whatever the system's language. Called before the
// application object; the environment is left as it was.
void UseGermanSystemLocale();

// Every window of the program, created once at start-up and kept until the end: the shell's
// windows, which implement the flows that the modes use, and one window per registered mode
// (start_up.cpp), each made with the services and the flows and handed to the main window.
class Windows final {
 public:
  // `configDir` holds Merkhaus.cfg and Merkhaus.soz, read when the options dialog is made.
  Windows(Services& services, const std::filesystem::path& configDir);
  ~Windows();

  TForm1& main() { return *Form1_; }
  // The flows as the modes get them.
  const Flows& flows() const { return flows_; }

  // The shell's windows, for a look from outside (tests).
  TOKBottomDlg& openDataFile() { return *OKBottomDlg_; }
  TForm4& newDataFile() { return *Form4_; }
  TForm6& lessonChoice() { return *Form6_; }
  THeaderInfoDlg& headerInfo() { return *HeaderInfoDlg_; }

  // The window of a registered mode, by its class; nullptr when no such mode is registered.
  template <class Window>
  Window* mode() {
    for (const auto& m : modes_) {
      if (auto* w = dynamic_cast<Window*>(m.get())) return w;
    }
    return nullptr;
  }

 private:
  // "Optionen" of the config folder, and the entry window that the DataFile editor opens, as
  // flows.
  struct OptionsFlow : OptionsEditor {
    TOptionsDLG* dialog = nullptr;
    void showOptions() override;
    void saveMoreOptions() override;
  };
  struct EntryFlow : VocabularyEntry {
    VocabularyEntry* window = nullptr;
    void openEntryWindow(bool checkLesson) override;
  };

  Services& services_;
  OptionsFlow optionsFlow_;
  EntryFlow entryFlow_;
  std::unique_ptr<TVocDataModule> VocDataModule_;
  std::unique_ptr<TForm4> Form4_;
  std::unique_ptr<TOKBottomDlg> OKBottomDlg_;
  std::unique_ptr<TOKBottomDlg1> OKBottomDlg1_;
  std::unique_ptr<THeaderInfoDlg> HeaderInfoDlg_;
  std::unique_ptr<TForm6> Form6_;
  std::unique_ptr<TQuickEdit> QuickEdit_;
  std::unique_ptr<TOptionsDLG> OptionsDLG_;
  std::unique_ptr<TAboutBox> AboutBox_;
  Flows flows_;
  std::unique_ptr<TForm1> Form1_;
  std::vector<std::unique_ptr<Mode>> modes_;
};

// Handles a DataFile named on the command line: checks it and acts on `openreact`.
void HandleCommandLine(Services& services, TForm1& main, const std::vector<std::string>& args);

}  // namespace merkhaus
