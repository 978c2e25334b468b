// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QVoice>
#include <map>
#include <memory>

#include "flows/speaker.h"

class QTextToSpeech;
class QThread;

namespace merkhaus {

// The Speaker on Qt TextToSpeech (on Debian: speech-dispatcher through its Qt plugin). Starting
// an engine can take seconds (speech-dispatcher lists every voice variant of espeak-ng), so it is
// started on a thread of its own, once, and the window goes on meanwhile; until it is there,
// nothing is read and the buttons say that speech is starting.
class QtSpeaker : public Speaker {
 public:
  QtSpeaker();
  ~QtSpeaker() override;

  // Starts the engine (empty: the system's first) before it is first needed.
  void prepare(const std::string& engine);

  std::string unavailableReason(const std::string& engine) override;
  bool hasVoice(const std::string& locale, const std::string& engine) override;
  void say(const std::string& text, const SpeechVoice& voice) override;
  void stop() override;
  std::vector<std::string> engines() override;
  std::vector<VoiceInfo> voices(const std::string& engine, const std::string& locale) override;

 private:
  struct Engine {
    std::unique_ptr<QTextToSpeech> speech;
    std::map<QString, QVoice> known;     // every voice listed so far, by name
    std::vector<VoiceInfo> firstVoices;  // the first voice of every language, once asked
    bool listedAll = false;
  };
  // The engine's name as the system has it: the one asked for, or the first when it is gone.
  static QString engineName(const std::string& name);
  // The engine, when it has started; otherwise starts it and gives null.
  Engine* engine(const std::string& name);
  // The voices of the locale's language, remembered by name.
  std::vector<VoiceInfo> listVoices(Engine& e, const QLocale& locale);

  std::map<QString, std::unique_ptr<Engine>> engines_;
  QObject receiver_;                 // the thread's result arrives here, on the window's thread
  std::unique_ptr<QThread> thread_;  // starting an engine
  QString starting_;                 // its name
  QTextToSpeech* started_ = nullptr;
  QTextToSpeech* speaking_ = nullptr;
};

}  // namespace merkhaus
