// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/more_options.h"

#include <gtest/gtest.h>

#include <string>

#include "config/config_file.h"
#include "platform/file_io.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

using mhtest::ReadBytes;
using mhtest::WriteBytes;

MoreOptions NonDefaults() {
  MoreOptions o;
  o.desiredRetentionPercent = 85;
  o.newEntriesPerDay = 0;
  o.reviewStyle = 1;
  o.mainWindow = {true, -20, 30, 640, 480, true};
  o.autoSpeak = true;
  o.speechEngine = "speechd";
  o.speechRate = -4;
  o.speechVoices["französisch"] = "french (fr)";
  o.speechVoices["klingonisch"] = "Anna";
  o.unknown["speech.voice"] = "de=Anna";
  return o;
}

TEST(MoreOptions, EverySettingSurvivesWriteAndRead) {
  const MoreOptions written = NonDefaults();
  const std::string text = MoreOptionsText(written);
  EXPECT_EQ(
      "# Merkhaus 3: Einstellungen, die Merkhaus.cfg nicht kennt\n"
      "review.retention_percent=85\nreview.new_per_day=0\nreview.style=1\n"
      "window.main=-20,30,640,480,1\nspeech.auto=1\nspeech.engine=speechd\nspeech.rate=-4\n"
      "speech.voice.französisch=french (fr)\nspeech.voice.klingonisch=Anna\n"
      "speech.voice=de=Anna\n",
      text);
  MoreOptions read;
  ReadMoreOptions(text, read);
  EXPECT_EQ(written, read);
  // A window that was never placed writes no line and reads back as unknown.
  EXPECT_EQ(std::string::npos, MoreOptionsText(MoreOptions{}).find("window.main"));
}

// Whatever a line holds, a setting either takes a value that fits it or keeps its own.
TEST(MoreOptions, LinesThatDoNotFitLeaveTheSettingAlone) {
  const struct {
    const char* line;
    int retention;
    int newPerDay;
    bool placed;
  } cases[] = {
      {"review.retention_percent=50", 70, 10, false},  // clamped into its range
      {"review.retention_percent=100", 99, 10, false},
      {"review.retention_percent=9x", 90, 10, false},
      {"review.retention_percent=", 90, 10, false},
      {"review.new_per_day=-3", 90, 0, false},
      {"review.new_per_day=99999999999999", 90, 10, false},  // overflows: not a number
      {"window.main=1,2,3,4,1", 90, 10, true},
      {"window.main=1,2,3,4", 90, 10, false},
      {"window.main=1,2,0,4,0", 90, 10, false},
      {"window.main=1,2,3,4,2", 90, 10, false},
      {"window.main=1,2,3,4,1,5", 90, 10, false},
      {"=85", 90, 10, false},
      {"# review.retention_percent=80", 90, 10, false},
      {"review.retention_percent 80", 90, 10, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    MoreOptions o;
    ReadMoreOptions(std::string(c.line) + "\r\n", o);
    EXPECT_EQ(c.retention, o.desiredRetentionPercent);
    EXPECT_EQ(c.newPerDay, o.newEntriesPerDay);
    EXPECT_EQ(c.placed, o.mainWindow.known);
    EXPECT_TRUE(o.unknown.empty());
  }
}

// Merkhaus.cfg keeps its 77 lines byte for byte; the other settings go to a file of their own,
// and a missing one reads as the program comes.
TEST(MoreOptions, SpeechLinesThatDoNotFitAreLeftAlone) {
  const struct {
    const char* line;
    bool autoSpeak;
    int rate;
    const char* latinVoice;  // "" for none; "Cicero" before the line
  } cases[] = {
      {"speech.auto=1", true, 0, "Cicero"},
      {"speech.auto=2", false, 0, "Cicero"},
      {"speech.rate=-11", false, -10, "Cicero"},  // clamped into its range
      {"speech.voice.latein=Marcus Tullius", false, 0, "Marcus Tullius"},
      {"speech.voice.latein=", false, 0, ""},  // an empty voice is the language's first
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    MoreOptions o;
    o.speechVoices["latein"] = "Cicero";
    ReadMoreOptions(std::string(c.line) + "\n", o);
    EXPECT_EQ(c.autoSpeak, o.autoSpeak);
    EXPECT_EQ(c.rate, o.speechRate);
    const auto latin = o.speechVoices.find("latein");
    EXPECT_EQ(c.latinVoice, latin == o.speechVoices.end() ? std::string() : latin->second);
  }
  // A voice whose name would break its line is not written at all.
  MoreOptions o;
  o.speechVoices["latein"] = "Marcus\nspeech.auto=1";
  o.speechVoices["griechisch"] = "Homer";
  MoreOptions read;
  ReadMoreOptions(MoreOptionsText(o), read);
  EXPECT_FALSE(read.autoSpeak);
  EXPECT_EQ((std::map<std::string, std::string>{{"griechisch", "Homer"}}), read.speechVoices);
}

TEST(MoreOptions, LiveBesideMerkhausCfg) {
  mhtest::TempDir dir;
  Options options;
  SpecialCharTable specialChars;
  mhtest::ScriptedMessages messages;
  ConfigFile config{dir.path(), options, specialChars, messages};
  config.loadOrCreate();
  const std::string cfg = ReadBytes(dir.file("Merkhaus.cfg"));

  options.more = NonDefaults();
  ASSERT_TRUE(config.saveMore());
  EXPECT_EQ(cfg, ReadBytes(dir.file("Merkhaus.cfg")));
  EXPECT_EQ(MoreOptionsText(NonDefaults()), ReadBytes(dir.file("Merkhaus3.conf")));

  options = Options{};
  ASSERT_TRUE(config.load());
  EXPECT_EQ(NonDefaults(), options.more);

  std::filesystem::remove(dir.file("Merkhaus3.conf"));
  options = Options{};
  ASSERT_TRUE(config.load());
  EXPECT_EQ(MoreOptions{}, options.more);
  EXPECT_TRUE(messages.done());
}

TEST(MoreOptions, AFileThatCannotBeReadOrWrittenIsTold) {
  mhtest::TempDir dir;
  Options options;
  SpecialCharTable specialChars;
  mhtest::ScriptedMessages messages;
  ConfigFile config{dir.path(), options, specialChars, messages};
  config.loadOrCreate();
  const std::string more = dir.file("Merkhaus3.conf");
  WriteBytes(more, "review.style=1\n");

  InjectFileFault({more, FileFault::At::Open, 0, EACCES});
  messages.expect("Fehler beim Lesen der Datei!\nDie Datei \"" + more +
                      "\" kann nicht geöffnet werden: keine Berechtigung.",
                  Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  EXPECT_FALSE(config.load());
  EXPECT_EQ(0, options.more.reviewStyle);
  ClearFileFaults();

  options.more.reviewStyle = 1;
  InjectFileFault({more, FileFault::At::Write, 3, ENOSPC});
  messages.expect("Fehler beim Schreiben der Datei!\nDie Datei \"" + more +
                      "\" kann nicht geschrieben werden: kein Speicherplatz mehr auf dem "
                      "Datenträger.",
                  Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  EXPECT_FALSE(config.saveMore());
  ClearFileFaults();
  EXPECT_EQ("review.style=1\n", ReadBytes(more));
  EXPECT_TRUE(messages.done());
}

}  // namespace
}  // namespace merkhaus
