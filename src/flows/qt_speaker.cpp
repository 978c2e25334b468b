// SPDX-License-Identifier: GPL-3.0-or-later
#include "flows/qt_speaker.h"

#include <QLocale>
#include <QTextToSpeech>
#include <QVoice>

#include "platform/qt_text.h"

namespace merkhaus {
namespace {

constexpr const char* kNoEngine =
    "Vorlesen ist nicht möglich: auf diesem Rechner ist keine Sprachausgabe eingerichtet. "
    "Bitte die Pakete qt6-speech-speechd-plugin, speech-dispatcher und espeak-ng installieren.";
constexpr const char* kNoVoice =
    "Vorlesen ist nicht möglich: die Sprachausgabe hat keine Stimme. Bitte die Pakete "
    "speech-dispatcher und espeak-ng installieren (und speech-dispatcher starten können).";

QString Q(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string Utf8(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace

// An engine and the voices it offers, asked once.
struct QtSpeaker::Engine {
  std::unique_ptr<QTextToSpeech> speech;
  std::vector<VoiceInfo> voices;
  std::vector<QVoice> qtVoices;  // in the order of `voices`
};

QtSpeaker::QtSpeaker() = default;
QtSpeaker::~QtSpeaker() = default;

std::vector<std::string> QtSpeaker::engines() {
  std::vector<std::string> names;
  for (const QString& name : QTextToSpeech::availableEngines())
    names.push_back(Utf8(name));
  return names;
}

QtSpeaker::Engine* QtSpeaker::engine(const std::string& name) {
  const QStringList available = QTextToSpeech::availableEngines();
  if (available.isEmpty()) return nullptr;
  // An engine chosen once and since removed falls back to the first one.
  const QString wanted = available.contains(Q(name)) ? Q(name) : available.front();
  auto& slot = engines_[wanted];
  if (!slot) {
    slot = std::make_unique<Engine>();
    slot->speech = std::make_unique<QTextToSpeech>(wanted);
    if (slot->speech->state() != QTextToSpeech::Error) {
      // Qt lists the voices of the current locale only: every locale in turn.
      const QLocale before = slot->speech->locale();
      for (const QLocale& locale : slot->speech->availableLocales()) {
        slot->speech->setLocale(locale);
        for (const QVoice& voice : slot->speech->availableVoices()) {
          slot->voices.push_back({Utf8(voice.name()), Utf8(voice.locale().name())});
          slot->qtVoices.push_back(voice);
        }
      }
      slot->speech->setLocale(before);
    }
  }
  return slot.get();
}

std::string QtSpeaker::unavailableReason(const std::string& engineName) {
  const Engine* e = engine(engineName);
  if (!e) return kNoEngine;
  if (e->speech->state() == QTextToSpeech::Error || e->voices.empty()) return kNoVoice;
  return {};
}

std::vector<VoiceInfo> QtSpeaker::voices(const std::string& engineName) {
  const Engine* e = engine(engineName);
  return e ? e->voices : std::vector<VoiceInfo>();
}

bool QtSpeaker::hasVoice(const std::string& locale, const std::string& engineName) {
  const QLocale::Language language = QLocale(Q(locale)).language();
  for (const VoiceInfo& voice : voices(engineName))
    if (QLocale(Q(voice.locale)).language() == language) return true;
  return false;
}

void QtSpeaker::say(const std::string& text, const SpeechVoice& voice) {
  const Engine* engineFound = engine(voice.engine);
  if (!engineFound || engineFound->speech->state() == QTextToSpeech::Error) return;
  const Engine& e = *engineFound;
  QTextToSpeech* speech = e.speech.get();
  // A new word stops the old one, in whichever engine it is being read.
  if (speaking_) speaking_->stop();
  speaking_ = speech;
  bool found = false;
  for (std::size_t i = 0; i < e.voices.size() && !voice.name.empty(); ++i) {
    if (e.voices[i].name != voice.name) continue;
    speech->setLocale(e.qtVoices[i].locale());
    speech->setVoice(e.qtVoices[i]);
    found = true;
    break;
  }
  if (!found && !voice.locale.empty()) speech->setLocale(QLocale(Q(voice.locale)));
  speech->setRate(voice.rate / 10.0);
  speech->say(Q(text));
}

void QtSpeaker::stop() {
  if (speaking_) speaking_->stop();
}

}  // namespace merkhaus
