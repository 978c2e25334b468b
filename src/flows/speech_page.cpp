// SPDX-License-Identifier: GPL-3.0-or-later
#include "flows/speech_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "flows/read_aloud.h"
#include "platform/cp1252.h"
#include "platform/qt_text.h"
#include "text/text_rules.h"

namespace merkhaus {
namespace {

QString Q(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string Utf8(const QString& text) {
  return text.toUtf8().toStdString();
}

// What a language reads for "Probe": its greeting, or numbers, which every voice knows.
std::string SampleFor(const std::string& key) {
  for (const SpeechLanguage& language : SpeechLanguages()) {
    const auto stored = FromUtf8(language.name);
    if (stored && SpeechLanguageKey(*stored) == key) return std::string(language.sample);
  }
  return "1, 2, 3";
}

std::string LocaleFor(const std::string& key) {
  for (const SpeechLanguage& language : SpeechLanguages()) {
    const auto stored = FromUtf8(language.name);
    if (stored && SpeechLanguageKey(*stored) == key) return std::string(language.locale);
  }
  return {};
}

}  // namespace

TSpeechPage::TSpeechPage(Options& options, Speaker& speaker, const LessonContext& lesson,
                         QWidget* parent)
    : QWidget(parent), options_(options), speaker_(speaker), lesson_(lesson) {
  setObjectName(QStringLiteral("Sprache"));
  autoSpeak = new QCheckBox(QStringLiteral("Fremdwort automatisch vorlesen"), this);
  autoSpeak->setObjectName(QStringLiteral("autoSpeak"));
  reasonLabel = new QLabel(this);
  reasonLabel->setWordWrap(true);
  engineBox = new QComboBox(this);
  engineBox->setObjectName(QStringLiteral("engineBox"));
  Label1 = new QLabel(QStringLiteral("Sprachausgabe:"), this);
  Label1->setBuddy(engineBox);
  rateBox = new QSpinBox(this);
  rateBox->setObjectName(QStringLiteral("rateBox"));
  rateBox->setRange(decltype(MoreOptions::speechRate)::Min, decltype(MoreOptions::speechRate)::Max);
  rateBox->setToolTip(QStringLiteral("-10 langsam, 0 normal, 10 schnell"));
  Label2 = new QLabel(QStringLiteral("Geschwindigkeit:"), this);
  Label2->setBuddy(rateBox);
  languageBox = new QComboBox(this);
  languageBox->setObjectName(QStringLiteral("languageBox"));
  Label3 = new QLabel(QStringLiteral("Fremdsprache:"), this);
  Label3->setBuddy(languageBox);
  voiceBox = new QComboBox(this);
  voiceBox->setObjectName(QStringLiteral("voiceBox"));
  Label4 = new QLabel(QStringLiteral("Stimme:"), this);
  Label4->setBuddy(voiceBox);
  ProbeBtn = new QPushButton(QStringLiteral("Probe"), this);
  ProbeBtn->setObjectName(QStringLiteral("ProbeBtn"));
  ProbeBtn->setAutoDefault(false);

  auto* form = new QFormLayout;
  form->addRow(Label1, engineBox);
  form->addRow(Label2, rateBox);
  form->addRow(Label3, languageBox);
  form->addRow(Label4, voiceBox);
  auto* page = new QVBoxLayout(this);
  page->addWidget(autoSpeak);
  page->addLayout(form);
  page->addWidget(ProbeBtn, 0, Qt::AlignLeft);
  page->addWidget(reasonLabel);
  page->addStretch();

  connect(autoSpeak, &QCheckBox::toggled, this, [this](bool on) { options_.more.autoSpeak = on; });
  connect(rateBox, &QSpinBox::valueChanged, this, [this](int v) { options_.more.speechRate = v; });
  connect(engineBox, &QComboBox::currentIndexChanged, this, &TSpeechPage::engineBoxChange);
  connect(languageBox, &QComboBox::currentIndexChanged, this, &TSpeechPage::languageBoxChange);
  connect(voiceBox, &QComboBox::currentIndexChanged, this, &TSpeechPage::voiceBoxChange);
  connect(ProbeBtn, &QPushButton::clicked, this, &TSpeechPage::ProbeBtnClick);
}

void TSpeechPage::ShowOptions() {
  const QSignalBlocker blockAuto(autoSpeak), blockRate(rateBox), blockEngine(engineBox);
  autoSpeak->setChecked(options_.more.autoSpeak);
  rateBox->setValue(options_.more.speechRate);
  engineBox->clear();
  engineBox->addItem(QStringLiteral("Standard"), QString());
  for (const std::string& engine : speaker_.engines())
    engineBox->addItem(Q(engine), Q(engine));
  const int engine = engineBox->findData(Q(options_.more.speechEngine));
  engineBox->setCurrentIndex(std::max(0, engine));
  fillLanguages();
  fillVoices();
}

void TSpeechPage::fillLanguages() {
  const QSignalBlocker block(languageBox);
  const QString before = languageBox->currentData().toString();
  languageBox->clear();
  auto add = [this](const QString& name, const std::string& key) {
    if (languageBox->findData(Q(key)) < 0) languageBox->addItem(name, Q(key));
  };
  // The current DataFile's language first: that is the one the learner is about to hear.
  const WinString current = CutSpaces(ForeignLanguage(lesson_.dataFileHeader));
  if (!current.empty()) add(ToQString(current), SpeechLanguageKey(current));
  for (const SpeechLanguage& language : SpeechLanguages()) {
    const auto stored = FromUtf8(language.name);
    if (stored) add(Q(language.name), SpeechLanguageKey(*stored));
  }
  for (const auto& [key, voice] : options_.more.speechVoices)
    add(Q(key), key);
  const int index = languageBox->findData(before);
  languageBox->setCurrentIndex(std::max(0, index));
}

void TSpeechPage::fillVoices() {
  const QSignalBlocker block(voiceBox);
  voiceBox->clear();
  const std::string key = Utf8(languageBox->currentData().toString());
  const std::string locale = LocaleFor(key);
  voiceBox->addItem(
      locale.empty() ? QStringLiteral("(keine)") : QStringLiteral("Erste Stimme der Sprache"),
      QString());
  // A language of the table lists its own voices; any other language may take the voice of
  // any language.
  for (const VoiceInfo& voice : speaker_.voices(options_.more.speechEngine, locale))
    voiceBox->addItem(Q(voice.name + " (" + voice.locale + ")"), Q(voice.name));
  const auto chosen = options_.more.speechVoices.find(key);
  if (chosen != options_.more.speechVoices.end()) {
    if (voiceBox->findData(Q(chosen->second)) < 0)
      voiceBox->addItem(Q(chosen->second), Q(chosen->second));  // not on this system now
    voiceBox->setCurrentIndex(voiceBox->findData(Q(chosen->second)));
  }
  const std::string reason = speaker_.unavailableReason(options_.more.speechEngine);
  reasonLabel->setText(Q(reason));
  reasonLabel->setVisible(!reason.empty());
  ProbeBtn->setEnabled(reason.empty());
}

void TSpeechPage::engineBoxChange() {
  options_.more.speechEngine = Utf8(engineBox->currentData().toString());
  fillVoices();
}

void TSpeechPage::languageBoxChange() {
  fillVoices();
}

void TSpeechPage::voiceBoxChange() {
  const std::string key = Utf8(languageBox->currentData().toString());
  const std::string voice = Utf8(voiceBox->currentData().toString());
  if (key.empty()) return;
  if (voice.empty()) {
    options_.more.speechVoices.erase(key);
  } else {
    options_.more.speechVoices[key] = voice;
  }
}

void TSpeechPage::ProbeBtnClick() {
  const std::string key = Utf8(languageBox->currentData().toString());
  speaker_.say(SampleFor(key), {LocaleFor(key), Utf8(voiceBox->currentData().toString()),
                                options_.more.speechEngine, options_.more.speechRate});
}

}  // namespace merkhaus
