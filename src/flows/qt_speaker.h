// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <map>
#include <memory>

#include "flows/speaker.h"

class QTextToSpeech;

namespace merkhaus {

// The Speaker on Qt TextToSpeech (on Debian: speech-dispatcher through its Qt plugin). The
// engine is started when it is first needed, not at start-up, so that a machine without speech
// starts as quickly as one with it; what an engine can do is asked once and kept.
class QtSpeaker : public Speaker {
 public:
  QtSpeaker();
  ~QtSpeaker() override;

  std::string unavailableReason(const std::string& engine) override;
  bool hasVoice(const std::string& locale, const std::string& engine) override;
  void say(const std::string& text, const SpeechVoice& voice) override;
  void stop() override;
  std::vector<std::string> engines() override;
  std::vector<VoiceInfo> voices(const std::string& engine) override;

 private:
  struct Engine;
  // The engine by name (empty: the first); null when the system has none.
  Engine* engine(const std::string& name);

  std::map<QString, std::unique_ptr<Engine>> engines_;
  QTextToSpeech* speaking_ = nullptr;
};

}  // namespace merkhaus
