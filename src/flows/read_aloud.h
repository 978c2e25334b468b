// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "config/options.h"
#include "flows/lesson_context.h"
#include "flows/speaker.h"
#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/vocdata.h"

namespace merkhaus {

// A language that the program knows a voice for without being told: its German name as a
// DataFile header names it, the locale of its voices and a short greeting for "Probe".
struct SpeechLanguage {
  std::string_view name;    // as the learner writes it, UTF-8
  std::string_view locale;  // "fr_FR"
  std::string_view sample;  // UTF-8
};

// The languages of the table, in the order the options list them.
const std::vector<SpeechLanguage>& SpeechLanguages();

// The key under which a language's voice is kept: the name in lower case without blanks, UTF-8;
// "Fran zösisch" and "FRANZÖSISCH" are both "französisch".
std::string SpeechLanguageKey(const WinString& name);

// The language of the table that `name` (a DataFile header's foreign language) means, whatever
// its case and blanks; nothing for a language the table does not know.
std::optional<SpeechLanguage> FindSpeechLanguage(const WinString& name);

// The foreign side as it is read: its synonyms A1, A2, A3 that are not blank, cut of blanks, one
// after another with a short pause (", ") between them. Empty when every one is blank.
std::string SpokenText(const WinString& a1, const WinString& a2, const WinString& a3);

// What a mode reads aloud, and in which voice: the text in the foreign language of the current
// DataFile, through the voice chosen in the options for that language or else the language's
// first voice. A language without either is told once per language and otherwise passed over,
// so that an unknown language does not interrupt every question.
class ReadAloud {
 public:
  ReadAloud(Speaker& speaker, const Options& options, Messages& messages,
            const LessonContext& lesson);

  // Empty when reading works; otherwise why not and what to install (the buttons' tooltip).
  std::string unavailableReason() const;
  bool available() const { return unavailableReason().empty(); }

  // Reads the foreign synonyms; a new text stops the one being read.
  void read(const WinString& a1, const WinString& a2, const WinString& a3);
  // The entry's texts are in the current DataFile's encoding (UTF-8 in a Unicode DataFile).
  void readEntry(const TVocData& entry) {
    const TextEncoding enc = lesson_.encoding();
    read(entry.A1.get(enc), entry.A2.get(enc), entry.A3.get(enc));
  }
  // The same, when the option "Fremdwort automatisch vorlesen" is on: the entry's foreign side
  // has just been shown as the question or as the solution.
  void readShown(const TVocData& entry);
  void stop() { speaker_.stop(); }

 private:
  // The voice for the DataFile's foreign language; nothing when there is none (told once).
  std::optional<SpeechVoice> voice();

  Speaker& speaker_;
  const Options& options_;
  Messages& messages_;
  const LessonContext& lesson_;
  std::set<std::string> told_;  // the languages already told to have no voice
};

}  // namespace merkhaus
