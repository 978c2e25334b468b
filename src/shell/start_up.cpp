// SPDX-License-Identifier: GPL-3.0-or-later
//
// How to add a working mode
//
// A mode is a folder of its own under src/ (a session class in merkhaus_core that speaks the
// domain, and one thin window class in merkhaus_ui that implements `Mode` from flows/mode.h and
// is made from a `ModeContext`: the services, the flows it may start and its help page), plus
// that folder in the list of subsystems and the layer list of the top-level CMakeLists.txt, plus
// one line in kModes below: the window, the main window's button that starts it (a new button is
// made when the main window has none of that name), its caption, its help page, what is chosen
// before it runs (DataFile, lesson), what becomes of the main window meanwhile, and the number by
// which `openreact` starts it on the command-line file. Nothing else changes: the main window,
// the command line and the other modes know modes only through these lines. A service that the
// new mode needs (progress, speech, ...) goes into Services or Flows, which every window gets
// whole, so no other constructor changes.

#include "shell/start_up.h"

#include <QByteArray>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "config/config_file.h"
#include "config/options_dialog.h"
#include "dictionary/dictionary_window.h"
#include "entry/entry_window.h"
#include "flows/speech_page.h"
#include "maintenance/editor_window.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "practice/study_window.h"
#include "printing/vocabulary_list_printer.h"
#include "progress/progress_window.h"
#include "progress/review_session.h"
#include "progress/review_window.h"
#include "quickedit/quick_edit_window.h"
#include "shell/about_box.h"
#include "shell/command_line.h"
#include "shell/header_info_dialog.h"
#include "shell/lesson_choice.h"
#include "shell/main_window.h"
#include "shell/new_datafile_form.h"
#include "shell/new_lesson_dialog.h"
#include "shell/open_datafile_dialog.h"
#include "shell/voc_data_module.h"
#include "testing/test_window.h"

namespace merkhaus {
namespace {

struct ModeRegistration {
  std::unique_ptr<Mode> (*make)(const ModeContext& context);
  ModeInfo info;
};

template <class Window>
std::unique_ptr<Mode> Make(const ModeContext& context) {
  return std::make_unique<Window>(context);
}

using enum DataFileStep;
using enum LessonStep;
using enum MainWindow;

// The modes, in the order the program has always made their windows. One line each: the window,
// then ModeInfo (flows/mode.h): button, caption, help page, DataFile, lesson, main window,
// openreact.
// clang-format off
const ModeRegistration kModes[] = {
  {Make<TForm3>,          {"Button1",  "Eingeben",   HelpContext::Entry,      DataFileOrNew, LessonOrNew, Hidden,       4}},
  {Make<Tstudy>,          {"Button2",  "Üben",       HelpContext::Study,      DataFile,      Lesson,      Hidden,       1}},
  {Make<TEditDataFile>,   {"Button11", "Editiern",   HelpContext::Editor,     OwnDataFile,   NoLesson,    HiddenByMode, 0}},
  {Make<Tbeebook>,        {"Button4",  "Wörterbuch", HelpContext::Dictionary, DataFile,      NoLesson,    Hidden,       3}},
  {Make<TTesten>,         {"Button3",  "Testen",     HelpContext::Test,       DataFile,      Lesson,      Hidden,       2}},
  {Make<VocabularyListPrinter>, {"Button8",  "Drucken",    0,                       DataFileOrNew, Lesson,      Shown,        0}},
  {Make<TReview>,         {"Button12", "Wiederholen", HelpContext::Review,     DataFile,      NoLesson,    Hidden,       0, ReviewCaption}},
  {Make<TLernstand>,      {"Button13", "Lernstand",   HelpContext::Progress,   DataFile,      NoLesson,    Shown,        0}},
};
// clang-format on

}  // namespace

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

void UseGermanSystemLocale() {
  struct Saved {
    const char* name;
    bool set;
    QByteArray value;
  };
  std::vector<Saved> saved;
  for (const char* name : {"LC_ALL", "LC_TIME", "LC_NUMERIC"})
    saved.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
  qunsetenv("LC_ALL");
  qputenv("LC_TIME", "de_DE.UTF-8");
  qputenv("LC_NUMERIC", "de_DE.UTF-8");
  // The first look at the system's locale reads the environment; Qt keeps what it read.
  (void)QLocale::system().name();
  // The C library and the printed date go on with the learner's own settings.
  for (const Saved& s : saved) {
    if (s.set) {
      qputenv(s.name, s.value);
    } else {
      qunsetenv(s.name);
    }
  }
}

void Windows::OptionsFlow::showOptions() {
  dialog->exec();
}

void Windows::OptionsFlow::saveMoreOptions() {
  dialog->saveMoreOptions();
}

void Windows::EntryFlow::openEntryWindow(bool checkLesson) {
  if (window) window->openEntryWindow(checkLesson);
}

Windows::Windows(Services& s, const std::filesystem::path& configDir)
    : services_(s),
      VocDataModule_(std::make_unique<TVocDataModule>(s.fileDialogs)),
      Form4_(std::make_unique<TForm4>(s)),
      OKBottomDlg_(std::make_unique<TOKBottomDlg>(s, *VocDataModule_, *Form4_)),
      OKBottomDlg1_(std::make_unique<TOKBottomDlg1>(s)),
      HeaderInfoDlg_(std::make_unique<THeaderInfoDlg>(s)),
      Form6_(std::make_unique<TForm6>(s, *OKBottomDlg1_, *HeaderInfoDlg_)),
      QuickEdit_(std::make_unique<TQuickEdit>(s)),
      // Making the options dialog reads Merkhaus.cfg and Merkhaus.soz.
      OptionsDLG_(std::make_unique<TOptionsDLG>(s.options, s.specialChars, s.messages,
                                                s.fileDialogs, s.help, configDir)),
      AboutBox_(std::make_unique<TAboutBox>(s.help)),
      flows_{*OKBottomDlg_, *Form6_, *HeaderInfoDlg_, *QuickEdit_, optionsFlow_, entryFlow_} {
  optionsFlow_.dialog = OptionsDLG_.get();
  // The typing fields of record text take what the current DataFile can hold.
  FollowDataFileEncoding([&lesson = s.lesson] { return lesson.encoding(); });
  auto* speech = new TSpeechPage(s.options, s.speaker, s.lesson, nullptr);
  OptionsDLG_->addPage(speech, QStringLiteral("Sprache"), [speech] { speech->ShowOptions(); });
  Form1_ = std::make_unique<TForm1>(s, flows_, *AboutBox_);
  for (const ModeRegistration& registration : kModes) {
    modes_.push_back(registration.make({s, flows_, registration.info.helpContext}));
    Form1_->AddMode(registration.info, *modes_.back());
  }
  Form1_->PlaceAsSaved();
  Form1_->savePlace = [&s, configDir] {
    ConfigFile(configDir, s.options, s.specialChars, s.messages).saveMore();
  };
  // The DataFile editor's "Neue hinzufügen" opens the entry window.
  entryFlow_.window = mode<TForm3>();
}

Windows::~Windows() {
  // The lesson context may go with the windows: a field made later must not ask it.
  FollowDataFileEncoding({});
}

void HandleCommandLine(Services& services, TForm1& main, const std::vector<std::string>& args) {
  if (!CheckCommandLineFile(services.lesson, services.messages, args)) return;
  // With "keine Aktion" (0) nothing happens now: the command-line file stays set for later
  // choices of a DataFile. The other choices run their mode on the file, after a lesson choice.
  main.RunModeOnFile(services.options.openreact, services.lesson.cmdLineFile);
}

}  // namespace merkhaus
