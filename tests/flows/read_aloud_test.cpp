// SPDX-License-Identifier: GPL-3.0-or-later
#include "flows/read_aloud.h"

#include <gtest/gtest.h>

#include "support/test_context.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::W;

TEST(SpeechLanguages, NamesFindTheirLocaleWhateverTheirCaseAndBlanks) {
  const struct {
    const char* name;  // as a DataFile header holds it (typed in UTF-8 here)
    const char* locale;
  } cases[] = {
      {"Englisch", "en_GB"},
      {"englisch", "en_GB"},
      {" ENGLISCH ", "en_GB"},
      {"Französisch", "fr_FR"},
      {"FRANZÖSISCH", "fr_FR"},  // the umlaut's capital folds too
      {"Fran zösisch", "fr_FR"},
      {"Latein", "la"},
      {"Spanisch", "es_ES"},
      {"Italienisch", "it_IT"},
      {"Portugiesisch", "pt_PT"},
      {"Niederländisch", "nl_NL"},
      {"Schwedisch", "sv_SE"},
      {"Dänisch", "da_DK"},
      {"Norwegisch", "nb_NO"},
      {"Polnisch", "pl_PL"},
      {"Tschechisch", "cs_CZ"},
      {"Russisch", "ru_RU"},
      {"Griechisch", "el_GR"},
      {"Türkisch", "tr_TR"},
      {"Deutsch", "de_DE"},
      {"Klingonisch", ""},
      {"Englisch (USA)", ""},  // not a name of the table: the learner chooses its voice
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto found = FindSpeechLanguage(W(c.name));
    EXPECT_EQ(c.locale, found ? std::string(found->locale) : std::string());
  }
  EXPECT_EQ("französisch", SpeechLanguageKey(W(" Fran ZÖSISCH")));
}

TEST(SpeechLanguages, TheForeignSideIsReadSynonymBySynonym) {
  const struct {
    const char* a1;
    const char* a2;
    const char* a3;
    const char* spoken;
  } cases[] = {
      {"house", "", "", "house"},
      {"house", "home", "building", "house, home, building"},
      {"  to  go ", "", " went", "to go, went"},  // blanks cut, a blank synonym passed over
      {"", "", "café", "café"},
      {" ", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.spoken);
    EXPECT_EQ(c.spoken, SpokenText(W(c.a1), W(c.a2), W(c.a3)));
  }
}

class ReadAloudTest : public ::testing::Test {
 protected:
  void Language(const char* name) {
    t.lesson.dataFileHeader = MakeDataFileHeader(W("Vokabeln"), W(name), W("Deutsch"), {}, {});
  }
  mhtest::TestContext t;
  mhtest::FakeSpeaker& speaker = t.speaker;
  ReadAloud speech{t.speaker, t.options, t.messages, t.lesson};
};

// The voice comes from the options for the DataFile's language, else from the table; a language
// with neither is told once.
TEST_F(ReadAloudTest, TheVoiceFollowsTheDataFilesLanguage) {
  speaker.withVoices();
  t.options.more.speechEngine = "fake";
  t.options.more.speechRate = -3;
  const struct {
    const char* language;
    const char* chosenKey;  // the options' voice for this key, or none
    const char* chosenVoice;
    const char* locale;  // what is read; nothing read when both are empty
    const char* voice;
  } cases[] = {
      {"Englisch", "", "", "en_GB", ""},
      {"französisch", "", "", "fr_FR", ""},
      {"Französisch", "französisch", "Alice", "fr_FR", "Alice"},  // the learner's choice wins
      {"Klingonisch", "klingonisch", "Anna", "", "Anna"},
      {"Spanisch", "", "", "", ""},  // in the table, but no Spanish voice here
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    Language(c.language);
    t.options.more.speechVoices.clear();
    if (*c.chosenKey) t.options.more.speechVoices[c.chosenKey] = c.chosenVoice;
    speaker.said.clear();
    if (!*c.locale && !*c.voice) {
      t.messages.expect(
          std::string("Für die Sprache \"") + c.language + "\" ist keine Stimme eingerichtet",
          Answer::Ok, MsgKind::Information, MsgButtons::Ok);
    }
    speech.read(W("ja"), W(""), W("sí"));
    if (!*c.locale && !*c.voice) {
      EXPECT_TRUE(speaker.said.empty());
      EXPECT_TRUE(t.messages.done());
      continue;
    }
    ASSERT_EQ(1u, speaker.said.size());
    EXPECT_EQ("ja, sí", speaker.said[0].text);
    EXPECT_EQ((SpeechVoice{c.locale, c.voice, "fake", -3}), speaker.said[0].voice);
  }
}

TEST_F(ReadAloudTest, AnUnknownLanguageIsToldOnceAndNothingIsReadWithoutSpeech) {
  speaker.withVoices();
  Language("Klingonisch");
  t.messages.expect("Für die Sprache \"Klingonisch\" ist keine Stimme eingerichtet");
  speech.read(W("Qapla'"), {}, {});
  speech.read(W("Qapla'"), {}, {});
  EXPECT_TRUE(speaker.said.empty());
  // Blank fields are not read and ask for no voice.
  Language("Latein");
  speech.read(W(" "), {}, {});

  speaker.systemVoices.clear();  // a machine without speech: silence, and no box
  Language("Englisch");
  speech.read(W("house"), {}, {});
  EXPECT_TRUE(speaker.said.empty());
  EXPECT_EQ("Keine Sprachausgabe (Test)", speech.unavailableReason());
  EXPECT_EQ(1u, t.messages.shown().size());
}

TEST_F(ReadAloudTest, OnlyTheOptionReadsWhatIsShown) {
  speaker.withVoices();
  Language("Englisch");
  TVocData entry{};
  entry.A1.set("house");
  entry.B1.set("Haus");
  speech.readShown(entry);
  EXPECT_TRUE(speaker.said.empty());
  t.options.more.autoSpeak = true;
  speech.readShown(entry);
  EXPECT_EQ(std::vector<std::string>{"house"}, speaker.texts());
}

// The entry's words are read as its DataFile holds them: Windows-1252 bytes, or UTF-8 in a
// Unicode DataFile (not taken for Windows-1252, which would read "Ð¿Ð°Ð¿Ð°").
TEST_F(ReadAloudTest, AnEntryIsReadInItsDataFilesEncoding) {
  speaker.withVoices();
  const struct {
    TextEncoding encoding;
    std::string a1, a2;  // as stored
    const char* spoken;  // UTF-8
  } cases[] = {
      {TextEncoding::Cp1252, "caf\xE9", "", "café"},
      {TextEncoding::Utf8, "папа", " отец ", "папа, отец"},
      {TextEncoding::Utf8, "café", "", "café"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.spoken);
    t.lesson.dataFileHeader =
        MakeDataFileHeader(W("Vokabeln"), W("Englisch"), W("Deutsch"), {}, {}, c.encoding);
    TVocData entry{};
    entry.A1.set(WinString(c.a1, c.encoding));
    entry.A2.set(WinString(c.a2, c.encoding));
    speaker.said.clear();
    speech.readEntry(entry);
    EXPECT_EQ(std::vector<std::string>{c.spoken}, speaker.texts());
  }
}

}  // namespace
}  // namespace merkhaus
