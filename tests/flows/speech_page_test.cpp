// SPDX-License-Identifier: GPL-3.0-or-later
#include "flows/speech_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "support/test_context.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::W;

QStringList Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i)
    items << box->itemText(i);
  return items;
}

// The page "Sprache" lists the current DataFile's language first, offers a known language its
// own voices only, keeps the choice in the options, and "Probe" reads that language's sample.
TEST(SpeechPage, ChoosesAVoicePerLanguageAndProbesIt) {
  mhtest::TestContext t;
  t.speaker.withVoices();
  t.lesson.dataFileHeader = MakeDataFileHeader(W("V"), W("Klingonisch"), W("Deutsch"), {}, {});
  TSpeechPage page(t.options, t.speaker, t.lesson, nullptr);
  page.ShowOptions();
  EXPECT_FALSE(page.reasonLabel->isVisibleTo(&page));
  EXPECT_EQ(QStringLiteral("Klingonisch"), page.languageBox->currentText());
  // An unknown language may take any voice.
  EXPECT_EQ((QStringList{QStringLiteral("(keine)"), QStringLiteral("Alice (en_GB)"),
                         QStringLiteral("Amélie (fr_FR)"), QStringLiteral("Anna (de_DE)")}),
            Items(page.voiceBox));
  page.voiceBox->setCurrentIndex(3);
  EXPECT_EQ("Anna", t.options.more.speechVoices.at("klingonisch"));

  page.languageBox->setCurrentIndex(page.languageBox->findText(QStringLiteral("Französisch")));
  EXPECT_EQ(
      (QStringList{QStringLiteral("Erste Stimme der Sprache"), QStringLiteral("Amélie (fr_FR)")}),
      Items(page.voiceBox));
  page.voiceBox->setCurrentIndex(1);
  page.rateBox->setValue(3);
  page.autoSpeak->click();
  page.ProbeBtn->click();
  ASSERT_EQ(1u, t.speaker.said.size());
  EXPECT_EQ("Bonjour", t.speaker.said[0].text);
  EXPECT_EQ((SpeechVoice{"fr_FR", "Amélie", "", 3}), t.speaker.said[0].voice);
  EXPECT_TRUE(t.options.more.autoSpeak);
  // Back to the language's first voice: the choice is gone, the other language's stays.
  page.voiceBox->setCurrentIndex(0);
  EXPECT_EQ((std::map<std::string, std::string>{{"klingonisch", "Anna"}}),
            t.options.more.speechVoices);
}

TEST(SpeechPage, WithoutSpeechSaysWhyAndCannotProbe) {
  mhtest::TestContext t;
  TSpeechPage page(t.options, t.speaker, t.lesson, nullptr);
  page.ShowOptions();
  EXPECT_TRUE(page.reasonLabel->isVisibleTo(&page));
  EXPECT_EQ(QStringLiteral("Keine Sprachausgabe (Test)"), page.reasonLabel->text());
  EXPECT_FALSE(page.ProbeBtn->isEnabled());
  EXPECT_EQ(QStringList{QStringLiteral("Standard")}, Items(page.engineBox));
}

}  // namespace
}  // namespace merkhaus
