// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/unicode_convert.h"

#include <sys/stat.h>

#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "store/record_file.h"

namespace merkhaus {
namespace {

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

template <std::size_t N>
void ConvertField(PString<N>& field, const char* name, std::uint64_t index, const TVocData& r,
                  ConversionReport& report) {
  const std::string utf8 = ToUtf8(field.get());
  const WinString text(utf8, TextEncoding::Utf8);
  if (!PString<N>::fits(text)) {
    OverlongField f;
    f.record = index;
    f.unitId = r.UnitID;
    f.unitHeader = index > 0 && IsUnitHeader(r);
    f.field = name;
    f.text = utf8;
    f.capacity = N;
    f.kept = text.left(N).bytes();
    report.overlong.push_back(std::move(f));
  }
  field.set(text);
}

void ConvertRecord(TVocData& r, std::uint64_t index, ConversionReport& report) {
  // The signatures are ASCII and stay as they are; only record 0's B3 changes afterwards.
  const TVocData before = r;
  ConvertField(r.A1, "A1", index, before, report);
  ConvertField(r.B1, "B1", index, before, report);
  ConvertField(r.A2, "A2", index, before, report);
  ConvertField(r.A3, "A3", index, before, report);
  ConvertField(r.B2, "B2", index, before, report);
  ConvertField(r.B3, "B3", index, before, report);
  ConvertField(r.Comment, "Kommentar", index, before, report);
}

}  // namespace

StoreResult<ConversionReport> ConvertToUnicode(const std::string& from, const std::string& to,
                                               const ConvertSettings& settings) {
  ConversionReport report;
  if (SameFile(from, to)) {
    report.outcome = ConversionReport::Outcome::SameFile;
    return report;
  }
  std::vector<TVocData> records;
  {
    auto file = RecordFile::open(from, Access::Read);
    if (!file) return Refused(file.error());
    try {
      records.reserve(static_cast<std::size_t>(file->count()));
      file->scan(0, [&](std::uint64_t, const TVocData& r) {
        records.push_back(r);
        return true;
      });
    } catch (const IoError& e) {
      return Refused(e.error());
    }
  }
  report.records = records.size();
  if (records.empty() || !DataFileEncoding(records[0])) {
    report.outcome = ConversionReport::Outcome::NotDataFile;
    return report;
  }
  if (EncodingOf(records[0]) == TextEncoding::Utf8) {
    report.outcome = ConversionReport::Outcome::AlreadyUnicode;
    return report;
  }
  const TVocData source0 = records[0];
  for (std::uint64_t i = 0; i < records.size(); ++i)
    ConvertRecord(records[i], i, report);
  records[0].B3.set(UnicodeDataFileSig);

  if (!report.overlong.empty() && !settings.cut) {
    report.outcome = ConversionReport::Outcome::TooLong;
    return report;
  }
  if (!settings.replace && PathExists(to)) {
    report.outcome = ConversionReport::Outcome::TargetExists;
    return report;
  }
  AtomicFile out;
  if (auto made = out.create(to, settings.replace ? Publish::ReplaceLink : Publish::NoReplace);
      !made) {
    return Refused(made.error());
  }
  if (auto w = out.write(records.data(), records.size() * kRecordSize); !w) {
    return Refused(w.error());
  }
  if (auto c = out.commit(); !c) return Refused(c.error());
  report.outcome = ConversionReport::Outcome::Written;
  report.sourceHeader = source0;
  report.copyHeader = records[0];
  return report;
}

std::string OverlongLine(const OverlongField& f, bool cut) {
  std::string line;
  if (f.record == 0) {
    line = "Kopf der Vokabeldatei";
  } else if (f.unitHeader) {
    line = "Lektion " + std::to_string(f.unitId);
  } else {
    line = "Eintrag " + std::to_string(f.record) + " (Lektion " + std::to_string(f.unitId) + ")";
  }
  line += ", Feld " + f.field + ": \"" + f.text + "\" hat " + std::to_string(f.text.size()) +
          " Bytes, das Feld nur " + std::to_string(f.capacity) + ".";
  if (cut) line += " Gekürzt auf: \"" + f.kept + "\"";
  return line;
}

std::string ConversionRefusal(const ConversionReport& report, const std::string& from,
                              const std::string& to) {
  using O = ConversionReport::Outcome;
  switch (report.outcome) {
    case O::Written:
      return {};
    case O::TooLong:
      return "Die Vokabeldatei \"" + from +
             "\" wurde nicht umgewandelt: " + std::to_string(report.overlong.size()) +
             (report.overlong.size() == 1 ? " Feld passt" : " Felder passen") +
             " in Unicode nicht mehr in die Länge des Feldes.";
    case O::AlreadyUnicode:
      return "Die Vokabeldatei \"" + from + "\" ist bereits eine Unicode-Vokabeldatei.";
    case O::NotDataFile:
      return "Die Datei \"" + from + "\" ist keine Vokabeldatei.";
    case O::SameFile:
      return "Die Unicode-Kopie kann nicht über die Vokabeldatei \"" + from +
             "\" selbst geschrieben werden.";
    case O::TargetExists:
      return "Die Datei \"" + to + "\" ist bereits vorhanden.";
  }
  return {};
}

}  // namespace merkhaus
