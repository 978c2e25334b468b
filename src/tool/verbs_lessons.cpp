// SPDX-License-Identifier: GPL-3.0-or-later
// new, add-lesson, delete-lesson: the DataFile creation form and the lesson management of the
// lesson list, for scripts. Same rules and messages as the windows; the questions the windows
// ask are decided by flags.

#include <ostream>

#include "flows/lesson_loading.h"
#include "store/lessons.h"
#include "store/record_file.h"
#include "store/vocdata.h"
#include "tool/tool_support.h"
#include "tool/verbs.h"

namespace merkhaus::tool {
namespace {

// The length limit of one field of a form; the windows cannot take more, the tool says so.
// In a Unicode DataFile the limit counts the bytes of UTF-8.
bool FitsField(const WinString& text, std::size_t max, const char* what, Messages& messages) {
  if (text.size() <= max) return true;
  messages.show(MsgKind::Warning,
                std::string(what) + " darf höchstens " + std::to_string(max) +
                    (text.isUnicode() ? " Bytes (UTF-8) lang sein." : " Zeichen lang sein."),
                MsgButtons::Ok);
  return false;
}

}  // namespace

int New(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  ParsedArgs p;
  if (!ParseArgs(args, {"name", "foreign", "native", "author", "comment"}, {"force", "unicode"}, p,
                 err)) {
    return 1;
  }
  if (p.positional.size() != 1) {
    err << "Aufruf: merkhaus-tool new FILE --name N --foreign F --native L [--author A] "
           "[--comment C] [--unicode] [--force]\n";
    return 1;
  }
  const std::string& path = p.positional[0];
  StreamMessages messages(err);
  const TextEncoding encoding = p.has("unicode") ? TextEncoding::Utf8 : TextEncoding::Cp1252;

  WinString fields[5];
  const char* names[5] = {"name", "foreign", "native", "author", "comment"};
  for (int i = 0; i < 5; ++i) {
    auto text = ArgText(p.value(names[i]).value_or(""), err, encoding);
    if (!text) return 1;
    fields[i] = std::move(*text);
  }
  const auto& [name, foreign, native, author, comment] = fields;
  if (name.empty() || foreign.empty() || native.empty()) {
    messages.show(MsgKind::Information,
                  "Sie müssen einen Namen eine Fremdsprache und eine Sprache angeben!",
                  MsgButtons::Ok);
    return 1;
  }
  if (!FitsField(name, 59, "Der Name", messages) ||
      !FitsField(foreign, 59, "Die Fremdsprache", messages) ||
      !FitsField(native, 59, "Die Sprache", messages) ||
      !FitsField(author, 59, "Der Autor", messages) ||
      !FitsField(comment, 255, "Der Kommentar", messages)) {
    return 1;
  }

  if (!p.has("force") && PathExists(path)) {
    messages.show(MsgKind::Warning, "Dateiname vorhanden! Überschreiben?",
                  MsgButtons::YesNoDefaultNo);
    err << "Mit --force wird die vorhandene Datei überschrieben.\n";
    return 1;
  }
  const FileResult<> created = CreateDataFile(
      path, MakeDataFileHeader(name, foreign, native, author, comment, encoding), p.has("force"));
  if (!created) {
    ShowFileError(messages, "Fehler beim schreiben!", created.error(), {}, MsgButtons::Yes);
    return 1;
  }
  return 0;
}

int AddLesson(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs p;
  if (!ParseArgs(args, {"comment"}, {}, p, err)) return 1;
  if (p.positional.size() != 2) {
    err << "Aufruf: merkhaus-tool add-lesson FILE NAME [--comment C]\n";
    return 1;
  }
  const std::string& path = p.positional[0];
  StreamMessages messages(err);
  const TextEncoding encoding = FileEncoding(path);
  const auto name = ArgText(p.positional[1], err, encoding);
  const auto comment = ArgText(p.value("comment").value_or(""), err, encoding);
  if (!name || !comment) return 1;
  if (name->empty()) {
    ShowErr(messages, "Es muß zumindest ein Lektionsname eingegeben werden!");
    return 1;
  }
  if (!FitsField(*name, kWordCapacity, "Der Lektionsname", messages) ||
      !FitsField(*comment, kCommentCapacity, "Der Kommentar", messages) ||
      !RequireWritableDataFile(path, messages)) {
    return 1;
  }
  const StoreResult<std::uint8_t> id = CreateLesson(path, *name, *comment);
  if (!id) {
    TellLessonNotCreated(messages, id.error());
    ShowErr(messages, "Die Unit konnte nicht korrekt angelegt werden!");
    return 1;
  }
  out << static_cast<int>(*id) << "\n";
  return 0;
}

int DeleteLesson(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs p;
  if (!ParseArgs(args, {}, {}, p, err)) return 1;
  if (p.positional.size() != 2) {
    err << "Aufruf: merkhaus-tool delete-lesson FILE UNITID\n";
    return 1;
  }
  const std::string& path = p.positional[0];
  StreamMessages messages(err);
  const auto id = UnitIdArg(p.positional[1], err);
  if (!id || !RequireWritableDataFile(path, messages) || !RequireLesson(path, *id, messages))
    return 1;
  const StoreResult<std::uint32_t> marked = DeleteLessonRecords(path, *id);
  if (!marked) {
    ShowFileError(messages, "RW - Fehler in Unit6!", marked.error().file);
    return 1;
  }
  if (*marked == 0) {
    messages.show(MsgKind::Warning, "Löschen fehlgeschlagen!", MsgButtons::Ok);
    return 1;
  }
  // The lesson's own header is among the records marked.
  out << (*marked - 1) << "\n";
  return 0;
}

}  // namespace merkhaus::tool
