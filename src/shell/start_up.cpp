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

namespace {

// Makes a window, keeps it in `owner` and makes it known to the other windows through `slot`.
template <class T, class Arg>
T* Create(std::unique_ptr<T>& owner, T*& slot, Arg& arg) {
  owner = std::make_unique<T>(arg);
  slot = owner.get();
  return slot;
}

}  // namespace

Windows::Windows(AppContext& ctx) : ctx_(ctx) {
  Forms& f = ctx_.forms;
  Create(Form1_, f.Form1, ctx_);
  Create(OKBottomDlg_, f.OKBottomDlg, ctx_);
  Create(Form4_, f.Form4, ctx_);
  Create(Form6_, f.Form6, ctx_);
  Tstudy* study = Create(study_, f.study, ctx_);
  Create(VocDataModule_, f.VocDataModule, ctx_.fileDialogs);
  Create(OKBottomDlg1_, f.OKBottomDlg1, ctx_);
  Create(HeaderInfoDlg_, f.HeaderInfoDlg, ctx_);
  // Creating the options dialog reads Merkhaus.cfg and Merkhaus.soz.
  TOptionsDLG* options = Create(OptionsDLG_, f.OptionsDLG, ctx_);
  // A confirmed change of "Auto-'weiter' nach" reaches the practice timer at once.
  QObject::connect(options, &TOptionsDLG::optionsConfirmed, study,
                   [study] { study->FormActivate(); });
  Create(QuickEdit_, f.QuickEdit, ctx_);
  Create(AboutBox_, f.AboutBox, ctx_);
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
