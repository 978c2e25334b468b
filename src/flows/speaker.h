// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace merkhaus {

// How a text is to be read: in a language, or by a voice chosen by name, through an engine, at a
// rate. Locales are written as "fr_FR"; names and texts are UTF-8.
struct SpeechVoice {
  std::string locale;  // empty when only the voice is known
  std::string name;    // a voice the learner chose; empty: the language's first voice
  std::string engine;  // empty: the system's first engine
  int rate = 0;        // -10 (slow) .. 10 (fast), 0 normal
  bool operator==(const SpeechVoice&) const = default;
};

// A voice that the system offers.
struct VoiceInfo {
  std::string name;
  std::string locale;
  bool operator==(const VoiceInfo&) const = default;
};

// The text-to-speech of the system. Reading never waits for the speech to end, and a new text
// stops the one being read. Without speech on the system (or while its engine is still
// starting) every call is harmless: nothing is read and the lists are empty.
class Speaker {
 public:
  virtual ~Speaker() = default;
  // Empty when the engine can speak; otherwise, in German, why not and what to install.
  virtual std::string unavailableReason(const std::string& engine) = 0;
  // True when the engine has a voice for the locale's language.
  virtual bool hasVoice(const std::string& locale, const std::string& engine) = 0;
  virtual void say(const std::string& text, const SpeechVoice& voice) = 0;
  virtual void stop() = 0;
  // What the system offers, for the options: the engines, and the voices of a locale's language
  // (for an empty locale, the first voice of every language).
  virtual std::vector<std::string> engines() = 0;
  virtual std::vector<VoiceInfo> voices(const std::string& engine, const std::string& locale) = 0;
};

}  // namespace merkhaus
