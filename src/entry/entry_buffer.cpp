// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/entry_buffer.h"

#include <algorithm>
#include <vector>

#include "platform/cp1252.h"
#include "store/append.h"
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

WinString EntryLine(const TVocData& e, TextEncoding enc) {
  return e.A1.get(enc) + WinString(" = ") + e.B1.get(enc);
}

bool EntryBuffer::add(const TVocData& entry) {
  if (full()) return false;
  entries_.push_back(entry);
  return true;
}

void EntryBuffer::change(std::size_t i, const TVocData& entry) {
  if (i < size()) entries_[i] = entry;
}

void EntryBuffer::remove(std::size_t i) {
  if (i < size()) entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
}

std::optional<std::size_t> EntryBuffer::save(const std::string& path, Messages& messages,
                                             const std::map<std::uint8_t, WinString>& lessonNames) {
  if (empty()) return 0;
  const StoreResult<> saved = AppendAllOrNothing(path, [&](Appender& out) -> StoreResult<> {
    // Entries of a lesson that is gone would be in the file, but no lesson would show them.
    std::vector<std::uint8_t> missing;
    for (const TVocData& entry : entries_) {
      if (std::find(missing.begin(), missing.end(), entry.UnitID) == missing.end()) {
        missing.push_back(entry.UnitID);
      }
    }
    out.file().scan(1, [&](std::uint64_t, const TVocData& r) {
      if (r.Deleted == 0 && IsUnitHeader(r)) std::erase(missing, r.UnitID);
      return !missing.empty();
    });
    if (!missing.empty()) {
      StoreError gone(StoreError::Kind::LessonMissing);
      gone.unitId = missing.front();
      return Refused(gone);
    }
    out.add(entries_);
    return {};
  });
  if (!saved) {
    const StoreError& error = saved.error();
    if (error.kind == StoreError::Kind::LessonMissing) {
      ShowErr(messages, LessonText(error.unitId, lessonNames) + " gibt es im DataFile \"" + path +
                            "\" nicht mehr.\n" + kNothingSaved);
    } else if (!error.interrupted) {
      ShowDataFileUnusable(messages, path, error.file);
    } else {
      ShowFileError(messages, "Das Speichern ist fehlgeschlagen!", error.file,
                    error.rolledBack ? std::string("Das DataFile ist unverändert. ") + kNothingSaved
                                     : "Das DataFile konnte nicht wieder auf seinen alten Stand "
                                       "gebracht werden. Die Vokabeln bleiben im Puffer.");
    }
    return std::nullopt;
  }
  const std::size_t written = size();
  clear();
  return written;
}

std::string DataFileMissingMessage(const std::string& path) {
  return "Das Datafile \"" + path + "\" ist nicht auffindbar. Das Speichern ist fehlgeschlagen!";
}

void ShowDataFileUnusable(Messages& messages, const std::string& path, const FileError& error) {
  if (error.code == ENOENT) {
    ShowFileError(messages, DataFileMissingMessage(path), error);
    return;
  }
  // "nicht auffindbar" would be wrong for a file that is there (read-only, locked, damaged):
  // the file and the true reason come first.
  ShowErr(messages, error.text() + "\nDas Speichern ist fehlgeschlagen!");
}

}  // namespace merkhaus
