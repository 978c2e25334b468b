// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A speaker that records what it is asked to read. It starts as a machine without speech (CI):
// a test that reads aloud gives it voices first.

#include <string>
#include <vector>

#include "flows/speaker.h"

namespace mhtest {

class FakeSpeaker : public merkhaus::Speaker {
 public:
  struct Said {
    std::string text;
    merkhaus::SpeechVoice voice;
    bool operator==(const Said&) const = default;
  };

  // The system's voices; with none, speech is unavailable and tells `reason`.
  std::vector<merkhaus::VoiceInfo> systemVoices;
  std::string reason = "Keine Sprachausgabe (Test)";
  std::vector<Said> said;
  int stops = 0;

  // A machine with an English, a French and a German voice.
  FakeSpeaker& withVoices() {
    systemVoices = {{"Alice", "en_GB"}, {"Amélie", "fr_FR"}, {"Anna", "de_DE"}};
    return *this;
  }

  std::string unavailableReason(const std::string&) override {
    return systemVoices.empty() ? reason : std::string();
  }
  bool hasVoice(const std::string& locale, const std::string&) override {
    const std::string language = locale.substr(0, locale.find('_'));
    for (const auto& v : systemVoices)
      if (v.locale.substr(0, v.locale.find('_')) == language) return true;
    return false;
  }
  void say(const std::string& text, const merkhaus::SpeechVoice& voice) override {
    said.push_back({text, voice});
  }
  void stop() override { ++stops; }
  std::vector<std::string> engines() override {
    return systemVoices.empty() ? std::vector<std::string>() : std::vector<std::string>{"fake"};
  }
  std::vector<merkhaus::VoiceInfo> voices(const std::string&, const std::string& locale) override {
    std::vector<merkhaus::VoiceInfo> out;
    const std::string language = locale.substr(0, locale.find('_'));
    for (const auto& v : systemVoices)
      if (locale.empty() || v.locale.substr(0, v.locale.find('_')) == language) out.push_back(v);
    return out;
  }

  // The texts read, in order.
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const Said& s : said)
      out.push_back(s.text);
    return out;
  }
};

}  // namespace mhtest
