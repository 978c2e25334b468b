// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/start_up.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "config/options_dialog.h"
#include "dictionary/dictionary_window.h"
#include "entry/entry_window.h"
#include "maintenance/editor_window.h"
#include "maintenance/restore_windows.h"
#include "practice/quick_edit_window.h"
#include "practice/study_window.h"
#include "printing/unit_list_printer.h"
#include "shell/about_box.h"
#include "shell/command_line.h"
#include "shell/header_info_dialog.h"
#include "shell/lesson_choice.h"
#include "shell/main_window.h"
#include "shell/new_datafile_form.h"
#include "shell/new_lesson_dialog.h"
#include "shell/open_datafile_dialog.h"
#include "shell/voc_data_module.h"
#include "testing/evaluation_window.h"
#include "testing/test_window.h"

namespace merkhaus {

void InstallGermanTranslations(QApplication& app) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  for (const auto* name : {"qtbase_de", "qt_de"}) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QLatin1String(name), dir)) {
      QApplication::installTranslator(translator);
    } else {
      delete translator;
    }
  }
}

Windows::Windows(Services& s, const std::filesystem::path& configDir) : services_(s) {
  Form1_ = std::make_unique<TForm1>(s, *this);
  Form3_ = std::make_unique<TForm3>(s, *this, *this, *this);
  Form1_->AddMode(Mode::Entry, [this] { Form3_->OpenEntryWindow(true); });
  OKBottomDlg_ = std::make_unique<TOKBottomDlg>(s, *this);
  Form4_ = std::make_unique<TForm4>(s);
  Form6_ = std::make_unique<TForm6>(s, *this);
  study_ = std::make_unique<Tstudy>(s, *this, *this, *this, *this);
  Form1_->AddMode(Mode::Study, [this] { study_->StartStudy(); });
  VocDataModule_ = std::make_unique<TVocDataModule>(s.fileDialogs);
  OKBottomDlg1_ = std::make_unique<TOKBottomDlg1>(s);
  HeaderInfoDlg_ = std::make_unique<THeaderInfoDlg>(s);
  // Making the options dialog reads Merkhaus.cfg and Merkhaus.soz.
  OptionsDLG_ = std::make_unique<TOptionsDLG>(s.options, s.specialChars, s.messages, s.fileDialogs,
                                              s.help, configDir);
  EditDataFile_ = std::make_unique<TEditDataFile>(s, *this, *this, *this, *this, *this, *this);
  // The editor chooses its DataFile first and hides the main window only once one was chosen.
  Form1_->AddMode(Mode::Edit, [this] { EditDataFile_->OpenEditor(Form1_.get()); });
  QuickEdit_ = std::make_unique<TQuickEdit>(s);
  undelete_ = std::make_unique<Tundelete>(s);
  undeletevoc_ = std::make_unique<Tundeletevoc>(s);
  beebook_ = std::make_unique<Tbeebook>(s, *this, *this, *this);
  Form1_->AddMode(Mode::Dictionary, [this] { beebook_->OpenDictionary(); });
  Testen_ = std::make_unique<TTesten>(s, *this, *this, *this);
  tst_ausw_ = std::make_unique<Ttst_ausw>(s, *Testen_);
  Form1_->AddMode(Mode::Test, [this] { Testen_->StartTest(); });
  AboutBox_ = std::make_unique<TAboutBox>(s.help);
  printer_ = std::make_unique<UnitListPrinter>(s);
  Form1_->AddMode(Mode::Print, [this] { printer_->PrintUnitList(); });
}

Windows::~Windows() = default;

std::string Windows::ChooseDataFile(ChooseMode mode) {
  return OKBottomDlg_->Choose(mode);
}

std::uint8_t Windows::SelectUnit(const std::string& path, bool allowCreate) {
  return Form6_->Select(path, allowCreate);
}

void Windows::ShowHeaderInfo(bool forDataFile, bool editable) {
  HeaderInfoDlg_->Show(forDataFile, editable);
}

bool Windows::QuickEditEntry(std::size_t index, bool editable) {
  return QuickEdit_->QuickEditEntry(index, editable);
}

void Windows::ShowOptions() {
  OptionsDLG_->exec();
}

void Windows::OpenEntryWindow(bool checkLesson) {
  Form3_->OpenEntryWindow(checkLesson);
}

void Windows::ListDeletedUnits() {
  undelete_->ListDeletedUnits();
}

void Windows::ListDeletedVocs() {
  undeletevoc_->ListDeletedVocs();
}

void HandleCommandLine(Services& services, TForm1& main, const std::vector<std::string>& args) {
  if (!CheckCommandLineFile(services.shared, services.messages, args)) return;
  // With "keine Aktion" (0) nothing happens now: CmdLineFile stays set for later choices of a
  // DataFile. The other choices run their mode on the file, after a lesson choice.
  const int reaction = services.options.openreact;
  if (reaction >= 1 && reaction <= 4) {
    main.RunModeOnFile(static_cast<Mode>(reaction), services.shared.CmdLineFile);
  }
}

}  // namespace merkhaus
