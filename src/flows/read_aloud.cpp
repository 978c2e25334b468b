// SPDX-License-Identifier: GPL-3.0-or-later
#include "flows/read_aloud.h"

#include "platform/cp1252.h"
#include "text/text_rules.h"

namespace merkhaus {

const std::vector<SpeechLanguage>& SpeechLanguages() {
  // The languages of the DataFile creation form first, then the common ones.
  static const std::vector<SpeechLanguage> languages = {
      {"Englisch", "en_GB", "Good morning"},
      {"Französisch", "fr_FR", "Bonjour"},
      {"Latein", "la", "Salve"},
      {"Spanisch", "es_ES", "Buenos días"},
      {"Italienisch", "it_IT", "Buongiorno"},
      {"Portugiesisch", "pt_PT", "Bom dia"},
      {"Niederländisch", "nl_NL", "Goedemorgen"},
      {"Schwedisch", "sv_SE", "God morgon"},
      {"Dänisch", "da_DK", "God morgen"},
      {"Norwegisch", "nb_NO", "God morgen"},
      {"Finnisch", "fi_FI", "Hyvää huomenta"},
      {"Polnisch", "pl_PL", "Dzień dobry"},
      {"Tschechisch", "cs_CZ", "Dobré ráno"},
      {"Ungarisch", "hu_HU", "Jó reggelt"},
      {"Russisch", "ru_RU", "Доброе утро"},
      {"Griechisch", "el_GR", "Καλημέρα"},
      {"Türkisch", "tr_TR", "Günaydın"},
      {"Deutsch", "de_DE", "Guten Morgen"},
  };
  return languages;
}

std::string SpeechLanguageKey(const WinString& name) {
  std::string folded;
  for (const char c : name.view()) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == ' ') continue;
    // ASCII capitals and the Windows-1252 capitals À..Þ (but ×) have their small letter 32
    // places on.
    const bool capital =
        (byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7);
    folded += capital ? static_cast<char>(byte + 32) : c;
  }
  return ToUtf8(WinString(folded));
}

std::optional<SpeechLanguage> FindSpeechLanguage(const WinString& name) {
  const std::string key = SpeechLanguageKey(name);
  for (const SpeechLanguage& language : SpeechLanguages()) {
    const auto stored = FromUtf8(language.name);
    if (stored && SpeechLanguageKey(*stored) == key) return language;
  }
  return std::nullopt;
}

std::string SpokenText(const WinString& a1, const WinString& a2, const WinString& a3) {
  std::string text;
  for (const WinString* word : {&a1, &a2, &a3}) {
    const WinString cut = CutSpaces(*word);
    if (cut.empty()) continue;
    if (!text.empty()) text += ", ";
    text += ToUtf8(cut);
  }
  return text;
}

ReadAloud::ReadAloud(Speaker& speaker, const Options& options, Messages& messages,
                     const LessonContext& lesson)
    : speaker_(speaker), options_(options), messages_(messages), lesson_(lesson) {}

std::string ReadAloud::unavailableReason() const {
  return speaker_.unavailableReason(options_.more.speechEngine);
}

std::optional<SpeechVoice> ReadAloud::voice() {
  const WinString language = ForeignLanguage(lesson_.dataFileHeader);
  const std::optional<SpeechLanguage> known = FindSpeechLanguage(language);
  SpeechVoice voice{known ? std::string(known->locale) : std::string(), std::string(),
                    options_.more.speechEngine, options_.more.speechRate};
  const auto chosen = options_.more.speechVoices.find(SpeechLanguageKey(language));
  if (chosen != options_.more.speechVoices.end()) {
    voice.name = chosen->second;
    return voice;
  }
  if (known && speaker_.hasVoice(voice.locale, voice.engine)) return voice;
  if (told_.insert(SpeechLanguageKey(language)).second) {
    messages_.show(MsgKind::Information,
                   "Für die Sprache \"" + ToUtf8(language) + "\" ist keine Stimme eingerichtet",
                   MsgButtons::Ok);
  }
  return std::nullopt;
}

void ReadAloud::read(const WinString& a1, const WinString& a2, const WinString& a3) {
  const std::string text = SpokenText(a1, a2, a3);
  if (text.empty() || !available()) return;
  if (const auto v = voice()) speaker_.say(text, *v);
}

void ReadAloud::readShown(const TVocData& entry) {
  if (options_.more.autoSpeak) readEntry(entry);
}

}  // namespace merkhaus
