// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/vocdata.h"

namespace merkhaus {

// The semicolon rule of "Durch Semikola getrennten Wörtern eine neue Synonymebene zuordnen":
// whatever follows the first ";" of A1 replaces A2 (A1 keeps what comes before it), and if the
// new A2 holds a ";" in turn, what follows it replaces A3. The same for B1, B2, B3. Only A1 and
// B1 are sources; semicolons typed into the other fields stay where they are.
void SplitSynonyms(WinString& A1, WinString& A2, WinString& A3, WinString& B1, WinString& B2,
                   WinString& B3);

// A new entry of lesson `unitId` as "Eintragen" builds it: the semicolon rule when `split`, then
// the blanks rule of typed vocabulary on all seven texts when `spaceCut`; the words are cut to
// 60 characters and the comment to 255.
TVocData BuildNewEntry(EntryTexts texts, bool split, bool spaceCut, std::uint8_t unitId);

// A corrected entry as "Ändern" builds it: never split, blanks always cut, whatever the options
// say, so that a correction cannot bring back what the learner removed on purpose.
TVocData BuildChangedEntry(const EntryTexts& texts, std::uint8_t unitId);

// An entry's line in the buffer list: A1 = B1.
WinString EntryLine(const TVocData& entry, TextEncoding encoding = TextEncoding::Cp1252);

// The entries typed but not yet saved, at most 255. Entry i is line i of the entry window's list.
class EntryBuffer {
 public:
  static constexpr std::size_t kCapacity = 255;

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  bool full() const { return size() >= kCapacity; }
  const TVocData& operator[](std::size_t i) const { return entries_[i]; }

  void clear() { entries_.clear(); }
  // False when the buffer is full.
  bool add(const TVocData& entry);
  void change(std::size_t i, const TVocData& entry);
  // The entries after i move up by one.
  void remove(std::size_t i);

  // Appends the whole buffer, in buffer order, to the end of the DataFile at `path`, each entry
  // into its own lesson, all or nothing (AppendAllOrNothing). Every lesson of the buffer must
  // still be live (another program may have deleted one meanwhile); `lessonNames` names them in
  // that message. On success the buffer is emptied and the number of entries written is
  // returned. Otherwise the learner has been told why, the DataFile is as it was and the buffer
  // is kept.
  std::optional<std::size_t> save(const std::string& path, Messages& messages,
                                  const std::map<std::uint8_t, WinString>& lessonNames = {});

 private:
  std::vector<TVocData> entries_;
};

// The message when the DataFile cannot be opened for "Speichern" or "Letzte Vok.", before the
// line with the path and the reason.
std::string DataFileMissingMessage(const std::string& path);
// The box for a DataFile that could not be opened to save or to read the last entry: for a
// missing file the message above with the reason; for any other reason the file and the reason
// on the first line.
void ShowDataFileUnusable(Messages& messages, const std::string& path, const FileError& error);

}  // namespace merkhaus
