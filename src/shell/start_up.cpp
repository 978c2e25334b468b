#include "shell/start_up.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

#include "config/options_dialog.h"
#include "shell/about_box.h"
#include "shell/app_context.h"
#include "shell/command_line.h"
#include "shell/main_window.h"
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
  // Creating the options dialog reads Merkhaus.cfg and Merkhaus.soz.
  OptionsDLG_ = std::make_unique<TOptionsDLG>(ctx_);
  ctx_.forms.OptionsDLG = OptionsDLG_.get();
  AboutBox_ = std::make_unique<TAboutBox>(ctx_);
  ctx_.forms.AboutBox = AboutBox_.get();
}

Windows::~Windows() {
  ctx_.forms = Forms{};
}

void HandleCommandLine(AppContext& ctx) {
  if (!CheckCommandLineFile(ctx.shared, ctx.messages, ctx.args)) return;
  switch (static_cast<int>(ctx.options.openreact)) {
    default:
      // "keine Aktion": CmdLineFile stays set for later choices of a DataFile.
      break;
  }
}

}  // namespace merkhaus
