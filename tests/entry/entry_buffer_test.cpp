// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/entry_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/file_io.h"
#include "store/vocdata.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::Entry6;
using mhtest::Header;
using mhtest::Latin1;
using mhtest::Unit;
using mhtest::W;

struct Texts {
  const char *A1 = "", *A2 = "", *A3 = "", *B1 = "", *B2 = "", *B3 = "", *Comment = "";
};

EntryTexts Typed(const Texts& t) {
  return {W(t.A1), W(t.A2), W(t.A3), W(t.B1), W(t.B2), W(t.B3), W(t.Comment)};
}

// The record as the tests expect it on disk, built byte by byte.
TVocData Expected(std::uint8_t unit, const Texts& t) {
  const mhtest::RawRecord raw = Entry6(unit, Latin1(t.A1), Latin1(t.A2), Latin1(t.A3), Latin1(t.B1),
                                       Latin1(t.B2), Latin1(t.B3), Latin1(t.Comment));
  TVocData r;
  std::memcpy(&r, raw.data(), sizeof r);
  return r;
}

void ExpectSame(const TVocData& want, const TVocData& got, const std::string& name) {
  EXPECT_TRUE(RecordsEqual(want, got))
      << name << ": got " << ToUtf8(got.A1.get()) << " | " << ToUtf8(got.A2.get()) << " | "
      << ToUtf8(got.A3.get()) << " | " << ToUtf8(got.B1.get()) << " | " << ToUtf8(got.B2.get())
      << " | " << ToUtf8(got.B3.get()) << " | " << ToUtf8(got.Comment.get());
}

// "Eintragen" and "Ändern" build an entry from the seven typed texts under the two options.
TEST(EntryRules, NewAndChangedEntries) {
  const std::string typedLong = "a;b;" + std::string(70, 'c');
  const std::string storedLong(60, 'c');
  struct Case {
    const char* name;
    Texts typed;
    bool split, spaceCut, changed;
    Texts stored;
  } cases[] = {
      {"a second semicolon keeps the rest in the third field; what A2 held is lost",
       {"a; b; c; d", "x"},
       true,
       true,
       false,
       {"a", "b", "c; d"}},
      {"one semicolon leaves the third field alone",
       {"a;b", "", "z"},
       true,
       true,
       false,
       {"a", "b", "z"}},
      {"an empty first word still counts as typed", {";b"}, true, true, false, {"", "b"}},
      {"a trailing semicolon gives an empty second word", {"a;"}, true, true, false, {"a", ""}},
      {"without cutting, the blanks around the semicolon stay",
       {"a ; b"},
       true,
       false,
       false,
       {"a ", " b"}},
      {"with cutting they go", {"a ; b"}, true, true, false, {"a", "b"}},
      {"a first field of blanks is stored empty",
       {"   ", "", "", "x"},
       true,
       true,
       false,
       {"", "", "", "x"}},
      {"the native side is split the same way; only the first fields are sources",
       {"Haus", "p;q", "", "Haus;Gebäude;Bau;x", "", "", "c;d"},
       true,
       true,
       false,
       {"Haus", "p;q", "", "Haus", "Gebäude", "Bau;x", "c;d"}},
      {"no splitting when the option is off",
       {"a;b", "", "", "c;d"},
       false,
       true,
       false,
       {"a;b", "", "", "c;d"}},
      {"the comment is cut of blanks too",
       {"a", "", "", "b", "", "", "  viel   zu  "},
       false,
       true,
       false,
       {"a", "", "", "b", "", "", "viel zu"}},
      {"a word split off beyond 60 characters is cut",
       {typedLong.c_str(), "", "", "b"},
       true,
       true,
       false,
       {"a", "b", storedLong.c_str(), "b"}},
      {"Ändern never splits", {"a;b", "", "", "c"}, true, true, true, {"a;b", "", "", "c"}},
      {"Ändern always cuts blanks",
       {"  a   b ", "", "", " c", "", "", " k  k "},
       false,
       false,
       true,
       {"a b", "", "", "c", "", "", "k k"}},
  };
  for (const auto& c : cases) {
    const TVocData got = c.changed ? BuildChangedEntry(Typed(c.typed), 7)
                                   : BuildNewEntry(Typed(c.typed), c.split, c.spaceCut, 7);
    ExpectSame(Expected(7, c.stored), got, c.name);
  }
  EXPECT_EQ("dog = Hund",
            EntryLine(BuildNewEntry(Typed({"dog", "", "", "Hund"}), true, true, 1)).bytes());
  EXPECT_EQ(Typed({"a", "b", "c", "d", "e", "f", "k"}),
            TextsOf(Expected(3, {"a", "b", "c", "d", "e", "f", "k"})));
}

TEST(EntryRules, TheBufferHolds255AndStaysAligned) {
  EntryBuffer buffer;
  for (int i = 0; i < 255; ++i)
    EXPECT_TRUE(buffer.add(Expected(1, {std::to_string(i).c_str(), "", "", "x"})));
  EXPECT_TRUE(buffer.full());
  EXPECT_FALSE(buffer.add(Expected(1, {"zu viel", "", "", "x"})));
  EXPECT_EQ(255u, buffer.size());

  buffer.remove(0);
  EXPECT_EQ("1", buffer[0].A1.get().bytes());
  EXPECT_EQ("254", buffer[253].A1.get().bytes());
  EXPECT_TRUE(buffer.add(Expected(1, {"neu", "", "", "x"})));
  EXPECT_EQ("neu", buffer[254].A1.get().bytes());
  buffer.change(1, Expected(2, {"anders", "", "", "y"}));
  EXPECT_EQ("anders", buffer[1].A1.get().bytes());
  EXPECT_EQ(2, buffer[1].UnitID);
  buffer.clear();
  EXPECT_TRUE(buffer.empty());
}

class EntrySave : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("vok.fid");
  EntryBuffer buffer;
  mhtest::ScriptedMessages messages;

  void SetUp() override {
    mhtest::WriteRecords(path, {Header("V"), Unit(1, "Tiere"), Unit(255, "Farben"),
                                mhtest::Entry(1, "cat", "Katze")});
    buffer.add(Expected(1, {"dog", "", "", "Hund"}));
    buffer.add(Expected(255, {"red", "", "", "rot", "", "", "Farbe"}));
    buffer.add(Expected(1, {"cow", "", "", "Kuh"}));
  }
  void TearDown() override { ClearFileFaults(); }

  void ExpectKept(const std::string& before) {
    EXPECT_EQ(before, mhtest::ReadBytes(path));
    EXPECT_EQ(3u, buffer.size());
    EXPECT_TRUE(messages.done());
  }
};

TEST_F(EntrySave, AppendsTheBufferInOrderEachEntryIntoItsLesson) {
  const std::string before = mhtest::ReadBytes(path);
  EXPECT_EQ(3u, buffer.save(path, messages).value_or(0));
  EXPECT_TRUE(buffer.empty());
  const auto records = mhtest::ReadRecords(path);
  ASSERT_EQ(7u, records.size());
  EXPECT_EQ(before, mhtest::ReadBytes(path).substr(0, before.size()));
  EXPECT_EQ(mhtest::Entry(1, "dog", "Hund"), records[4]);
  EXPECT_EQ(mhtest::Entry(255, "red", "rot", "Farbe"), records[5]);
  EXPECT_EQ(mhtest::Entry(1, "cow", "Kuh"), records[6]);
}

TEST_F(EntrySave, EveryFailureLeavesTheFileAndTheBufferAsTheyWere) {
  const std::string before = mhtest::ReadBytes(path);
  const std::string writeFailed = "Das Speichern ist fehlgeschlagen!\nDie Datei \"" + path +
                                  "\" kann nicht geschrieben werden: kein Speicherplatz mehr auf "
                                  "dem Datenträger.\nDas DataFile ist unverändert. Es wurde "
                                  "nichts gespeichert; die Vokabeln bleiben im Puffer.";
  // Where the DataFile fails: the place, the bytes that still get written, the reason.
  struct Case {
    const char* name;
    FileFault::At at;
    std::uint64_t afterBytes;
    int code;
    std::string message;
  } cases[] = {
      {"the disk fills up after the first entry", FileFault::At::Write, 624, ENOSPC, writeFailed},
      // The journal takes the append back, now or when the DataFile is next opened.
      {"the disk refuses to keep what was written, and then the cut as well", FileFault::At::Sync,
       0, EIO,
       "Das Speichern ist fehlgeschlagen!\nDie Datei \"" + path +
           "\" kann nicht geschrieben werden: Ein-/Ausgabefehler des Datenträgers.\nDas DataFile "
           "ist unverändert. Es wurde nichts gespeichert; die Vokabeln bleiben im Puffer."},
      // The file is there: its true reason comes first, not "nicht auffindbar".
      {"the DataFile cannot be opened for writing", FileFault::At::Open, 0, EROFS,
       "Die Datei \"" + path +
           "\" kann nicht geöffnet werden: das Dateisystem ist schreibgeschützt.\nDas Speichern "
           "ist fehlgeschlagen!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InjectFileFault({path, c.at, c.afterBytes, c.code});
    messages.expect(c.message, Answer::Ok, MsgKind::Error, MsgButtons::Ok);
    EXPECT_FALSE(buffer.save(path, messages));
    ClearFileFaults();
    ExpectKept(before);
  }

  // Another program deleted lesson 255 meanwhile: nothing goes into the file.
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Tiere"), Unit(255, "Farben", "", 1),
                              mhtest::Entry(1, "cat", "Katze")});
  const std::string deleted = mhtest::ReadBytes(path);
  messages.expect("Die Lektion \"Farben\" gibt es im DataFile \"" + path +
                      "\" nicht mehr.\nEs wurde nichts gespeichert; die Vokabeln bleiben im "
                      "Puffer.",
                  Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  EXPECT_FALSE(buffer.save(path, messages, {{1, W("Tiere")}, {255, W("Farben")}}));
  ExpectKept(deleted);
  messages.expect("Die Lektion mit der UnitID 255 gibt es im DataFile \"" + path +
                  "\" nicht mehr.\nEs wurde nichts gespeichert; die Vokabeln bleiben im Puffer.");
  EXPECT_FALSE(buffer.save(path, messages));
  ExpectKept(deleted);
}

}  // namespace
}  // namespace merkhaus
