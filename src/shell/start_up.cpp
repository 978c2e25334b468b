#include "shell/start_up.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

#include "config/options_dialog.h"
#include "practice/quick_edit_window.h"
#include "practice/study_window.h"
#include "shell/about_box.h"
#include "shell/app_context.h"
#include "shell/command_line.h"
#include "shell/header_info_dialog.h"
#include "shell/lesson_choice.h"
#include "shell/main_window.h"
#include "shell/new_datafile_form.h"
#include "shell/new_lesson_dialog.h"
#include "shell/open_datafile_dialog.h"
#include "shell/voc_data_module.h"
#include "store/record_file.h"

namespace merkhaus {

MerkhausApplication::MerkhausApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Merkhaus 3"));
  setApplicationDisplayName(QStringLiteral("Merkhaus 3"));
  setApplicationVersion(QStringLiteral("3.05"));
}

bool MerkhausApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const IoError& e) {
    if (ctx_) ShowErr(ctx_->messages, e.what());
  } catch (const std::bad_alloc&) {
    if (ctx_) ShowErr(ctx_->messages, "Nicht genügend Arbeitsspeicher!");
  } catch (const std::exception& e) {
    // Whatever else goes wrong ends the learner's action, not the program.
    if (ctx_) ShowErr(ctx_->messages, std::string("Unerwarteter Fehler: ") + e.what());
  }
  return false;
}

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

Windows::Windows(AppContext& ctx) : ctx_(ctx) {
  Form1_ = std::make_unique<TForm1>(ctx_);
  ctx_.forms.Form1 = Form1_.get();
  OKBottomDlg_ = std::make_unique<TOKBottomDlg>(ctx_);
  ctx_.forms.OKBottomDlg = OKBottomDlg_.get();
  Form4_ = std::make_unique<TForm4>(ctx_);
  ctx_.forms.Form4 = Form4_.get();
  Form6_ = std::make_unique<TForm6>(ctx_);
  ctx_.forms.Form6 = Form6_.get();
  study_ = std::make_unique<Tstudy>(ctx_);
  ctx_.forms.study = study_.get();
  VocDataModule_ = std::make_unique<TVocDataModule>(ctx_.fileDialogs);
  ctx_.forms.VocDataModule = VocDataModule_.get();
  OKBottomDlg1_ = std::make_unique<TOKBottomDlg1>(ctx_);
  ctx_.forms.OKBottomDlg1 = OKBottomDlg1_.get();
  HeaderInfoDlg_ = std::make_unique<THeaderInfoDlg>(ctx_);
  ctx_.forms.HeaderInfoDlg = HeaderInfoDlg_.get();
  // Creating the options dialog reads Merkhaus.cfg and Merkhaus.soz.
  OptionsDLG_ = std::make_unique<TOptionsDLG>(ctx_);
  ctx_.forms.OptionsDLG = OptionsDLG_.get();
  // A confirmed change of "Auto-'weiter' nach" reaches the practice timer at once.
  QObject::connect(OptionsDLG_.get(), &TOptionsDLG::optionsConfirmed, study_.get(),
                   [study = study_.get()] { study->FormActivate(); });
  QuickEdit_ = std::make_unique<TQuickEdit>(ctx_);
  ctx_.forms.QuickEdit = QuickEdit_.get();
  AboutBox_ = std::make_unique<TAboutBox>(ctx_);
  ctx_.forms.AboutBox = AboutBox_.get();
}

Windows::~Windows() {
  ctx_.forms = Forms{};
}

void HandleCommandLine(AppContext& ctx) {
  if (!CheckCommandLineFile(ctx.shared, ctx.messages, ctx.args)) return;
  // With "keine Aktion" (0) nothing happens now: CmdLineFile stays set for later choices of a
  // DataFile. The other choices run their mode on the file, after a lesson choice.
  const int reaction = ctx.options.openreact;
  if (reaction >= 1 && reaction <= 4) {
    ctx.forms.Form1->RunModeOnFile(static_cast<Mode>(reaction), ctx.shared.CmdLineFile);
  }
}

}  // namespace merkhaus
