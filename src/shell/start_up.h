// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "flows/flows.h"
#include "flows/services.h"
#include "maintenance/editor_session.h"

namespace merkhaus {

class TAboutBox;
class Tbeebook;
class TEditDataFile;
class TForm1;
class TForm3;
class TForm4;
class TForm6;
class THeaderInfoDlg;
class TOKBottomDlg;
class TOKBottomDlg1;
class TOptionsDLG;
class TQuickEdit;
class Tstudy;
class TTesten;
class Ttst_ausw;
class TVocDataModule;
class UnitListPrinter;
class Tundelete;
class Tundeletevoc;

// Loads the German Qt translations, so that the standard dialogs speak German.
void InstallGermanTranslations(QApplication& app);

// Every window of the program, created once at start-up in the order the program has always
// used and kept until the end. The shell's windows implement the choosers and dialogs that the
// modes use; each mode gets them here, as the interfaces of flows/flows.h, and its entry in the
// main window. A new mode is one window member and its lines in the constructor.
class Windows final : public DataFileChooser,
                      public LessonChooser,
                      public HeaderInfoViewer,
                      public EntryViewer,
                      public OptionsEditor,
                      public VocabularyEntry,
                      public RestoreWindows {
 public:
  // `configDir` holds Merkhaus.cfg and Merkhaus.soz, read when the options dialog is made.
  Windows(Services& services, const std::filesystem::path& configDir);
  ~Windows() override;

  TForm1& main() { return *Form1_; }

  // The shell's windows, for one another.
  TOKBottomDlg& openDataFile() { return *OKBottomDlg_; }
  TForm4& newDataFile() { return *Form4_; }
  TForm6& lessonChoice() { return *Form6_; }
  TVocDataModule& fileDialogs() { return *VocDataModule_; }
  TOKBottomDlg1& newLesson() { return *OKBottomDlg1_; }
  TAboutBox& about() { return *AboutBox_; }

  std::string ChooseDataFile(ChooseMode mode) override;
  std::uint8_t SelectUnit(const std::string& path, bool allowCreate) override;
  void ShowHeaderInfo(bool forDataFile, bool editable) override;
  bool QuickEditEntry(std::size_t index, bool editable) override;
  void ShowOptions() override;
  void OpenEntryWindow(bool checkLesson) override;
  void ListDeletedUnits() override;
  void ListDeletedVocs() override;

 private:
  Services& services_;
  std::unique_ptr<TForm1> Form1_;
  std::unique_ptr<TForm3> Form3_;
  std::unique_ptr<TOKBottomDlg> OKBottomDlg_;
  std::unique_ptr<TForm4> Form4_;
  std::unique_ptr<TForm6> Form6_;
  std::unique_ptr<Tstudy> study_;
  std::unique_ptr<TVocDataModule> VocDataModule_;
  std::unique_ptr<TOKBottomDlg1> OKBottomDlg1_;
  std::unique_ptr<THeaderInfoDlg> HeaderInfoDlg_;
  std::unique_ptr<TOptionsDLG> OptionsDLG_;
  std::unique_ptr<TEditDataFile> EditDataFile_;
  std::unique_ptr<TQuickEdit> QuickEdit_;
  std::unique_ptr<Tundelete> undelete_;
  std::unique_ptr<Tundeletevoc> undeletevoc_;
  std::unique_ptr<Tbeebook> beebook_;
  std::unique_ptr<TTesten> Testen_;
  std::unique_ptr<Ttst_ausw> tst_ausw_;
  std::unique_ptr<TAboutBox> AboutBox_;
  std::unique_ptr<UnitListPrinter> printer_;  // "Drucken", no window of its own
};

// Handles a DataFile named on the command line: checks it and acts on `openreact`.
void HandleCommandLine(Services& services, TForm1& main, const std::vector<std::string>& args);

}  // namespace merkhaus
