// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/unicode_convert_flow.h"

#include <filesystem>

#include "maintenance/unicode_convert.h"

namespace merkhaus {
namespace {

const char kFilter[] = "DataFile (*.fid)|*.fid|Alle (*.*)|*.*";

// The fields as lines, the first few of them; a long report would not fit on the screen.
std::string FieldLines(const std::vector<OverlongField>& fields, bool cut) {
  std::string lines;
  const std::size_t listed = std::min(fields.size(), kListedOverlongFields);
  for (std::size_t i = 0; i < listed; ++i)
    lines += (i > 0 ? "\n" : "") + OverlongLine(fields[i], cut);
  if (fields.size() > listed) {
    lines += "\n… und " + std::to_string(fields.size() - listed) + " weitere.";
  }
  return lines;
}

}  // namespace

std::string UnicodeCopyPath(const std::string& path) {
  std::filesystem::path p(path);
  const std::string extension = p.has_extension() ? p.extension().string() : ".fid";
  p.replace_filename(p.stem().string() + "-unicode" + extension);
  return p.string();
}

std::optional<std::string> ConvertDataFileToUnicode(Services& services) {
  Messages& messages = services.messages;
  const std::string from = services.lesson.dataFilePath;
  if (from.empty()) return std::nullopt;
  const auto to = services.fileDialogs.saveFile(
      {"In Unicode umwandeln", kFilter, "fid", UnicodeCopyPath(from)});
  if (!to) return std::nullopt;

  ConvertSettings settings;
  for (;;) {
    const StoreResult<ConversionReport> r = ConvertToUnicode(from, *to, settings);
    if (!r) {
      ShowFileError(messages, "Die Vokabeldatei wurde nicht umgewandelt.", r.error().file);
      return std::nullopt;
    }
    using O = ConversionReport::Outcome;
    switch (r->outcome) {
      case O::TooLong: {
        if (settings.cut) return std::nullopt;  // cannot happen: a cut always fits
        const std::string question =
            std::to_string(r->overlong.size()) +
            (r->overlong.size() == 1 ? " Feld der Vokabeldatei \""
                                     : " Felder der Vokabeldatei \"") +
            from + "\" " + (r->overlong.size() == 1 ? "ist" : "sind") +
            " in Unicode länger als erlaubt:\n\n" + FieldLines(r->overlong, false) +
            "\n\nSollen diese Felder beim Umwandeln gekürzt werden? Bei \"Nein\" wird nichts "
            "umgewandelt.";
        if (messages.show(MsgKind::Warning, question, MsgButtons::YesNoDefaultNo) != Answer::Yes) {
          return std::nullopt;
        }
        settings.cut = true;
        continue;
      }
      case O::TargetExists:
        if (settings.replace ||
            messages.show(MsgKind::Warning, ConversionRefusal(*r, from, *to) + " Überschreiben?",
                          MsgButtons::YesNoDefaultNo) != Answer::Yes) {
          return std::nullopt;
        }
        settings.replace = true;
        continue;
      case O::Written:
        break;
      default:
        messages.show(MsgKind::Warning, ConversionRefusal(*r, from, *to), MsgButtons::Ok);
        return std::nullopt;
    }
    services.progress.converted(from, r->sourceHeader, *to, r->copyHeader);
    std::string told = "Die Vokabeldatei \"" + from + "\" wurde in Unicode umgewandelt: \"" + *to +
                       "\". Die Vokabeldatei selbst ist unverändert.";
    if (!r->overlong.empty()) told += "\n\nGekürzt wurden:\n" + FieldLines(r->overlong, true);
    // With "alwaysthisfile" the editor stays on the standard DataFile.
    if (services.options.alwaysthisfile) {
      messages.show(MsgKind::Information, told, MsgButtons::Ok);
      return std::nullopt;
    }
    told += "\n\nSoll der Editor jetzt die Unicode-Vokabeldatei öffnen?";
    if (messages.show(MsgKind::Confirmation, told, MsgButtons::YesNo) != Answer::Yes) {
      return std::nullopt;
    }
    return *to;
  }
}

}  // namespace merkhaus
