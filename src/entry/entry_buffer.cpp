// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/entry_buffer.h"

#include <algorithm>
#include <vector>

#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "store/record_file.h"
#include "store/vocdata.h"
#include "text/text_rules.h"

namespace merkhaus {
namespace {

void SplitSide(WinString& first, WinString& second, WinString& third) {
  const std::size_t p = first.find(';');
  if (p == std::string::npos) return;
  second = first.substr(p + 1);
  first = first.left(p);
  const std::size_t q = second.find(';');
  if (q == std::string::npos) return;
  third = second.substr(q + 1);
  second = second.left(q);
}

TVocData MakeEntry(const EntryTexts& t, std::uint8_t unitId) {
  TVocData r = EmptyRecord();
  r.A1.set(t.A1);  // the fields cut the words to 60 and the comment to 255
  r.A2.set(t.A2);
  r.A3.set(t.A3);
  r.B1.set(t.B1);
  r.B2.set(t.B2);
  r.B3.set(t.B3);
  r.Comment.set(t.Comment);
  r.UnitID = unitId;
  r.Deleted = 0;
  return r;
}

template <class F>
EntryTexts Each(EntryTexts t, F f) {
  for (WinString* s : {&t.A1, &t.A2, &t.A3, &t.B1, &t.B2, &t.B3, &t.Comment})
    *s = f(*s);
  return t;
}

const char* const kNothingSaved = "Es wurde nichts gespeichert; die Vokabeln bleiben im Puffer.";

std::string LessonText(std::uint8_t unitId, const std::map<std::uint8_t, WinString>& names) {
  const auto name = names.find(unitId);
  if (name != names.end()) return "Die Lektion \"" + ToUtf8(name->second) + "\"";
  return "Die Lektion mit der UnitID " + std::to_string(unitId);
}

}  // namespace

void SplitSynonyms(WinString& A1, WinString& A2, WinString& A3, WinString& B1, WinString& B2,
                   WinString& B3) {
  SplitSide(A1, A2, A3);
  SplitSide(B1, B2, B3);
}

TVocData BuildNewEntry(EntryTexts t, bool split, bool spaceCut, std::uint8_t unitId) {
  if (split) SplitSynonyms(t.A1, t.A2, t.A3, t.B1, t.B2, t.B3);
  return MakeEntry(Each(t, [&](const WinString& s) { return EntryCutSpaces(s, spaceCut); }),
                   unitId);
}

TVocData BuildChangedEntry(const EntryTexts& texts, std::uint8_t unitId) {
  return MakeEntry(Each(texts, CutSpaces), unitId);
}

EntryTexts EntryFields(const TVocData& e) {
  return {e.A1.get(), e.A2.get(), e.A3.get(), e.B1.get(), e.B2.get(), e.B3.get(), e.Comment.get()};
}

WinString EntryLine(const TVocData& e) {
  return e.A1.get() + WinString(" = ") + e.B1.get();
}

bool EntryBuffer::add(const TVocData& entry) {
  if (full()) return false;
  shared_.VocList[size()] = entry;
  ++shared_.VocCount;
  return true;
}

void EntryBuffer::change(std::size_t i, const TVocData& entry) {
  if (i < size()) shared_.VocList[i] = entry;
}

void EntryBuffer::remove(std::size_t i) {
  if (i >= size()) return;
  std::copy(shared_.VocList.begin() + static_cast<std::ptrdiff_t>(i) + 1,
            shared_.VocList.begin() + static_cast<std::ptrdiff_t>(size()),
            shared_.VocList.begin() + static_cast<std::ptrdiff_t>(i));
  --shared_.VocCount;
}

std::optional<std::size_t> EntryBuffer::save(const std::string& path, Messages& messages,
                                             const std::map<std::uint8_t, WinString>& lessonNames) {
  if (empty()) return 0;
  // From the check of the lessons to the last byte written the DataFile is this save's alone:
  // no other program can delete a lesson in between or see half of the entries.
  RecordFile file;
  if (!file.open(path, Access::Write)) {
    ShowErr(messages, WithReason(DataFileMissingMessage(path), file.error()));
    return std::nullopt;
  }

  // Entries of a lesson that is gone would be in the file, but no lesson would show them.
  std::vector<std::uint8_t> missing;
  for (std::size_t i = 0; i < size(); ++i) {
    const std::uint8_t id = (*this)[i].UnitID;
    if (std::find(missing.begin(), missing.end(), id) == missing.end()) missing.push_back(id);
  }
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (r.Deleted == 0 && IsUnitHeader(r)) std::erase(missing, r.UnitID);
    return !missing.empty();
  });
  if (!missing.empty()) {
    file.close();
    ShowErr(messages, LessonText(missing.front(), lessonNames) + " gibt es im DataFile \"" + path +
                          "\" nicht mehr.\n" + kNothingSaved);
    return std::nullopt;
  }

  const std::uint64_t before = file.count();
  try {
    file.append(shared_.VocList.data(), size());
    file.finish();
  } catch (const IoError& e) {
    // A failed append has cut the file back already; a failed flush has not.
    std::string message = std::string("Das Speichern ist fehlgeschlagen!\n") + e.what();
    try {
      if (file.isOpen()) {
        file.truncate(before);
        file.finish();
      }
      message += "\nDas DataFile ist unverändert. ";
      message += kNothingSaved;
    } catch (const IoError&) {
      message +=
          "\nDas DataFile konnte nicht wieder auf seinen alten Stand gebracht werden. Die "
          "Vokabeln bleiben im Puffer.";
    }
    ShowErr(messages, message);
    return std::nullopt;
  }
  const std::size_t written = size();
  clear();
  return written;
}

std::string DataFileMissingMessage(const std::string& path) {
  return "Das Datafile \"" + path + "\" ist nicht auffindbar. Das Speichern ist fehlgeschlagen!";
}

}  // namespace merkhaus
