// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/print_command.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string_view>
#include <system_error>

#include "platform/action.h"
#include "platform/messages.h"
#include "platform/qt_print.h"
#include "platform/stream_messages.h"
#include "platform/today.h"
#include "printing/vocabulary_list_printer.h"
#include "store/lesson_list.h"

namespace merkhaus {

namespace {

constexpr std::string_view kOption = "--print-pdf";
constexpr const char* kUsage = "Aufruf: merkhaus --print-pdf AUSGABE.pdf DATEI.fid UNITID";

// Swapped arguments must never turn the DataFile itself into a PDF.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec);
}

}  // namespace

bool IsPrintPdfCommand(int argc, char** argv) {
  return argc >= 2 && argv[1] == kOption;
}

int RunPrintPdfCommand(int argc, char** argv) {
  const std::vector<std::string> args(argv + 2, argv + argc);
  // The error stream carries the command's own messages for scripts; Qt's remarks about its
  // environment (no XDG_RUNTIME_DIR, say) are no failure of the command.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << "\n";
  });
  // No window is shown. A display that cannot be reached would end the program before it wrote
  // anything, so the offscreen platform is taken unless the caller chose another.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
  }
  QGuiApplication app(argc, argv);
  return PrintPdfCommand(args, std::cerr);
}

int PrintPdfCommand(const std::vector<std::string>& args, std::ostream& err) {
  if (args.size() != 3) {
    err << kUsage << "\n";
    return 1;
  }
  const std::string& out = args[0];
  const std::string& path = args[1];
  const std::optional<std::uint8_t> unitId = ParseUnitId(args[2]);
  if (!unitId) {
    err << "Ungültige UnitID „" << args[2] << "“: erlaubt sind die Zahlen 1 bis 255.\n";
    return 1;
  }
  if (SameFile(out, path)) {
    err << "Die PDF-Datei \"" << out
        << "\" ist das DataFile selbst; es wird nicht überschrieben.\n";
    return 1;
  }
  StreamMessages messages(err);
  bool written = false;
  RunAction(messages, [&] {
    const SystemClock clock;
    const std::optional<PrintDocument> document =
        ReadVocabularyListDocument(path, *unitId, TodayShortDateText(clock), messages);
    if (!document) return;
    std::string error;
    if (!WritePdf(out, *document, PdfPageLayout(), error)) {
      messages.show(MsgKind::Error, error, MsgButtons::Ok);
      return;
    }
    written = true;
  });
  return written ? 0 : 1;
}

}  // namespace merkhaus
