// SPDX-License-Identifier: GPL-3.0-or-later
#include "flows/qt_speaker.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTextToSpeech>
#include <QThread>

namespace merkhaus {
namespace {

constexpr const char* kNoEngine =
    "Vorlesen ist nicht möglich: auf diesem Rechner ist keine Sprachausgabe eingerichtet. Bitte "
    "die Pakete qt6-speech-speechd-plugin, speech-dispatcher und speech-dispatcher-espeak-ng "
    "installieren.";
constexpr const char* kNoVoice =
    "Vorlesen ist nicht möglich: die Sprachausgabe hat keine Stimme. Bitte die Pakete "
    "speech-dispatcher-espeak-ng und espeak-ng installieren (speech-dispatcher muss starten "
    "können).";
constexpr const char* kStarting = "Die Sprachausgabe wird gestartet, bitte einen Augenblick.";

QString Q(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string Utf8(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace

QtSpeaker::QtSpeaker() = default;

QtSpeaker::~QtSpeaker() {
  // An engine still starting finishes first; its object is then ours to delete.
  if (thread_) thread_->wait();
  delete started_;
}

std::vector<std::string> QtSpeaker::engines() {
  std::vector<std::string> names;
  for (const QString& name : QTextToSpeech::availableEngines())
    names.push_back(Utf8(name));
  return names;
}

QString QtSpeaker::engineName(const std::string& name) {
  const QStringList available = QTextToSpeech::availableEngines();
  if (available.isEmpty()) return {};
  return available.contains(Q(name)) ? Q(name) : available.front();
}

void QtSpeaker::prepare(const std::string& name) {
  engine(name);
}

QtSpeaker::Engine* QtSpeaker::engine(const std::string& name) {
  const QString wanted = engineName(name);
  if (wanted.isEmpty()) return nullptr;
  if (auto found = engines_.find(wanted); found != engines_.end()) return found->second.get();
  if (thread_) return nullptr;  // one engine starts at a time
  starting_ = wanted;
  QThread* mainThread = QCoreApplication::instance()->thread();
  thread_.reset(QThread::create([this, wanted, mainThread] {
    auto* speech = new QTextToSpeech(wanted);
    speech->moveToThread(mainThread);
    started_ = speech;
  }));
  QObject::connect(thread_.get(), &QThread::finished, &receiver_, [this] {
    thread_.reset();
    auto e = std::make_unique<Engine>();
    e->speech.reset(started_);
    started_ = nullptr;
    engines_[starting_] = std::move(e);
  });
  thread_->start();
  return nullptr;
}

std::string QtSpeaker::unavailableReason(const std::string& name) {
  if (engineName(name).isEmpty()) return kNoEngine;
  const Engine* e = engine(name);
  if (!e) return kStarting;
  if (e->speech->state() == QTextToSpeech::Error || e->speech->availableLocales().isEmpty()) {
    return kNoVoice;
  }
  return {};
}

bool QtSpeaker::hasVoice(const std::string& locale, const std::string& name) {
  const Engine* e = engine(name);
  if (!e) return false;
  const QLocale::Language language = QLocale(Q(locale)).language();
  for (const QLocale& available : e->speech->availableLocales())
    if (available.language() == language) return true;
  return false;
}

std::vector<VoiceInfo> QtSpeaker::listVoices(Engine& e, const QLocale& locale) {
  // Qt lists the voices of the engine's current locale only.
  const QLocale before = e.speech->locale();
  e.speech->setLocale(locale);
  std::vector<VoiceInfo> voices;
  for (const QVoice& voice : e.speech->availableVoices()) {
    voices.push_back({Utf8(voice.name()), Utf8(voice.locale().name())});
    e.known.emplace(voice.name(), voice);
  }
  e.speech->setLocale(before);
  return voices;
}

std::vector<VoiceInfo> QtSpeaker::voices(const std::string& name, const std::string& locale) {
  Engine* e = engine(name);
  if (!e || e->speech->state() == QTextToSpeech::Error) return {};
  if (!locale.empty()) {
    const QLocale::Language language = QLocale(Q(locale)).language();
    std::vector<VoiceInfo> voices;
    for (const QLocale& available : e->speech->availableLocales()) {
      if (available.language() != language) continue;
      for (VoiceInfo& voice : listVoices(*e, available))
        voices.push_back(std::move(voice));
    }
    return voices;
  }
  if (!e->listedAll) {
    for (const QLocale& available : e->speech->availableLocales()) {
      const std::vector<VoiceInfo> voices = listVoices(*e, available);
      if (!voices.empty()) e->firstVoices.push_back(voices.front());
    }
    e->listedAll = true;
  }
  return e->firstVoices;
}

void QtSpeaker::say(const std::string& text, const SpeechVoice& voice) {
  Engine* e = engine(voice.engine);
  if (!e || e->speech->state() == QTextToSpeech::Error) return;
  QTextToSpeech* speech = e->speech.get();
  // A new word stops the old one, in whichever engine it is being read.
  if (speaking_) speaking_->stop();
  speaking_ = speech;
  if (!voice.locale.empty()) speech->setLocale(QLocale(Q(voice.locale)));
  if (!voice.name.empty()) {
    // A voice chosen in the options is known by name once its language has been listed.
    if (!e->known.contains(Q(voice.name))) voices(voice.engine, voice.locale);
    if (const auto chosen = e->known.find(Q(voice.name)); chosen != e->known.end()) {
      speech->setLocale(chosen->second.locale());
      speech->setVoice(chosen->second);
    }
  }
  speech->setRate(voice.rate / 10.0);
  speech->say(Q(text));
}

void QtSpeaker::stop() {
  if (speaking_) speaking_->stop();
}

}  // namespace merkhaus
