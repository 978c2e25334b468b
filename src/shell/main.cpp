// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QIcon>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

#include "config/options.h"
#include "config/special_chars.h"
#include "flows/qt_speaker.h"
#include "flows/services.h"
#include "platform/action.h"
#include "platform/app_paths.h"
#include "platform/help_window.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_messages.h"
#include "platform/qt_print.h"
#include "platform/random.h"
#include "platform/today.h"
#include "platform/version.h"
#include "platform/window_place.h"
#include "printing/print_command.h"
#include "progress/progress_keeper.h"
#include "shell/command_line.h"
#include "shell/main_window.h"
#include "shell/start_up.h"

int main(int argc, char** argv) {
  using namespace merkhaus;
  // Before any window: a terminal without a display asks too.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << VersionText("merkhaus");
    return 0;
  }
  if (IsHelpRequest(std::vector<std::string_view>(argv + 1, argv + argc))) {
    std::cout << UsageText();
    return 0;
  }
  if (IsPrintPdfCommand(argc, argv)) return RunPrintPdfCommand(argc, argv);
  UseGermanSystemLocale();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Merkhaus 3"));
  QApplication::setApplicationVersion(QString::fromLatin1(kVersion));
  // Lets Wayland desktops match the window with its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("de.merkhaus.Merkhaus"));
  InstallGermanTranslations(app);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/merkhaus.svg")));

  LessonContext lesson;
  Options options;
  SpecialCharTable specialChars;
  QtMessages messages;
  QtFileDialogs fileDialogs;
  HelpWindow help;
  ClockRandom random;
  QtPrintDialog printDialog;
  SystemClock clock;
  QtSpeaker speaker;
  ProgressKeeper progress(DefaultProgressPath(), options, messages, clock);
  Services services{lesson,       options,     messages, fileDialogs, help,    random,
                    specialChars, printDialog, clock,    speaker,     progress};

  Windows windows(services, ConfigDir(ExecutableDir(), UserDirsFromEnvironment().config));
  // The options are read now: the engine they name starts in the background meanwhile.
  speaker.prepare(options.more.speechEngine);
  const std::vector<std::string> args(argv + 1, argv + argc);
  RunAction(messages, [&] {
    HandleCommandLine(services, windows.main(), args);
    // The command line may have named the DataFile whose due entries the main window counts.
    windows.main().UpdateModeCaptions();
  });
  KeepWindowsOnScreen(app, &windows.main());
  windows.main().show();
  return app.exec();
}
