#include <QIcon>
#include <cstdlib>

#include "config/options.h"
#include "platform/app_paths.h"
#include "platform/help_window.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_messages.h"
#include "platform/random.h"
#include "shell/app_context.h"
#include "shell/main_window.h"
#include "shell/start_up.h"
#include "store/shared.h"

int main(int argc, char** argv) {
  using namespace merkhaus;
  MerkhausApplication app(argc, argv);
  InstallGermanTranslations(app);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/merkhaus.svg")));

  const char* home = std::getenv("HOME");
  auto shared = std::make_unique<Shared>();
  Options options;
  QtMessages messages;
  QtFileDialogs fileDialogs;
  HelpWindow help;
  ClockRandom random;
  std::vector<std::string> args(argv + 1, argv + argc);
  AppContext ctx{*shared,
                 options,
                 messages,
                 fileDialogs,
                 help,
                 random,
                 ConfigDir(ExecutableDir(), home ? home : "."),
                 args,
                 Forms{},
                 SpecialCharTable{}};
  app.setContext(&ctx);

  Windows windows(ctx);
  HandleCommandLine(ctx);
  windows.main().show();
  return app.exec();
}
