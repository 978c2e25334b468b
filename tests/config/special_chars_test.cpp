// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/special_chars.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/file_io.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

using mhtest::Latin1;
using mhtest::ReadBytes;
using mhtest::WriteBytes;
using Slot = SpecialCharTable::Slot;

std::optional<char> Ch(const char* utf8) {
  return Latin1(utf8)[0];
}

struct Fixture {
  mhtest::TempDir dir;
  SpecialCharTable table;
  mhtest::ScriptedMessages messages;
  std::string soz() const { return dir.file("Merkhaus.soz"); }
};

TEST(SpecialChars, AMissingFileIsCreatedWithTheDefaults) {
  Fixture f;
  ASSERT_TRUE(LoadSpecialChars(f.dir.path(), f.table, f.messages));
  EXPECT_EQ("\xE7\xC7\r\n\xE6\xC6\r\n", ReadBytes(f.soz()));
  EXPECT_EQ((Slot{Ch("ç"), Ch("Ç")}), f.table.keys[0]);
  EXPECT_EQ((Slot{Ch("æ"), Ch("Æ")}), f.table.keys[1]);
  EXPECT_EQ(Slot{}, f.table.keys[2]);
  EXPECT_EQ(Slot{}, f.table.keys[3]);
}

TEST(SpecialChars, LinesFillTheKeysInOrder) {
  struct Case {
    const char* name;
    std::string file;
    SpecialCharTable expected;
  };
  const Case cases[] = {
      {"one character sets only the normal one", Latin1("é\r\n"), {{{Slot{Ch("é"), {}}}}}},
      {"a fifth line is ignored",
       "ab\r\ncd\r\nef\r\ngh\r\nij\r\n",
       {{{Slot{'a', 'b'}, Slot{'c', 'd'}, Slot{'e', 'f'}, Slot{'g', 'h'}}}}},
      {"an empty line leaves its key unset",
       "ab\r\n\r\ncd",
       {{{Slot{'a', 'b'}, Slot{}, Slot{'c', 'd'}}}}},
      {"the rest of a line is ignored, LF alone ends a line",
       "abcdef\nxy\n",
       {{{Slot{'a', 'b'}, Slot{'x', 'y'}}}}},
      {"an empty file unsets everything", "", {}},
      {"bytes that are not text",
       std::string("\0\xFF\r\n\x7F", 5),
       {{{Slot{'\0', '\xFF'}, Slot{'\x7F', {}}}}}},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.table.keys[3] = Slot{'z', 'Z'};  // whatever was there before goes
    WriteBytes(f.soz(), c.file);
    EXPECT_TRUE(LoadSpecialChars(f.dir.path(), f.table, f.messages)) << c.name;
    EXPECT_EQ(c.expected, f.table) << c.name;
    EXPECT_EQ(c.file, ReadBytes(f.soz())) << c.name << ": reading never writes";
  }
}

TEST(SpecialChars, SavingSkipsIncompleteKeysSoLaterOnesMoveUp) {
  Fixture f;
  SpecialCharTable fields;
  fields.keys[1] = Slot{Ch("é"), Ch("É")};
  fields.keys[2] = Slot{'x', {}};       // incomplete
  fields.keys[3] = Slot{' ', Ch("ß")};  // a blank counts as missing
  ASSERT_TRUE(SaveSpecialChars(f.dir.path(), fields, f.table, f.messages));
  EXPECT_EQ(Latin1("éÉ\r\n"), ReadBytes(f.soz()));
  SpecialCharTable expected;
  expected.keys[0] = Slot{Ch("é"), Ch("É")};
  EXPECT_EQ(expected, f.table) << "F6's pair is now on F5";

  fields.keys[0] = Slot{'a', 'A'};
  fields.keys[3] = Slot{'o', 'O'};
  ASSERT_TRUE(SaveSpecialChars(f.dir.path(), fields, f.table, f.messages));
  EXPECT_EQ(Latin1("aA\r\néÉ\r\noO\r\n"), ReadBytes(f.soz()));
}

TEST(SpecialChars, FilesThatCannotBeReadOrWrittenAreReportedAndKept) {
  Fixture f;
  // Present but unreadable: not replaced by the defaults.
  std::filesystem::create_directory(f.soz());
  f.table.keys[0] = Slot{'q', 'Q'};
  const SpecialCharTable before = f.table;
  f.messages.expect("Fehler beim Lesen der Datei!\nDie Datei \"" + f.soz() +
                        "\" kann nicht geöffnet werden: das ist ein Ordner.",
                    Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  EXPECT_FALSE(LoadSpecialChars(f.dir.path(), f.table, f.messages));
  EXPECT_EQ(before, f.table);
  EXPECT_TRUE(std::filesystem::is_directory(f.soz()));
  std::filesystem::remove(f.soz());

  // A write that fails leaves the old file and the table as they were.
  WriteBytes(f.soz(), "kK\r\n");
  InjectFileFault({f.soz(), FileFault::At::Rename, 0, EIO});
  SpecialCharTable fields;
  fields.keys[0] = Slot{'n', 'N'};
  f.messages.expect("Fehler beim Schreiben der Datei!\nDie Datei \"" + f.soz() +
                        "\" kann nicht geschrieben werden: Ein-/Ausgabefehler des Datenträgers.",
                    Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  EXPECT_FALSE(SaveSpecialChars(f.dir.path(), fields, f.table, f.messages));
  ClearFileFaults();
  EXPECT_EQ("kK\r\n", ReadBytes(f.soz()));
  EXPECT_EQ(before, f.table);

  // Creating the defaults fails in a folder that is gone.
  Fixture g;
  g.messages.expect("Fehler beim Schreiben der Datei!\nDie Datei \"" +
                        (g.dir.path() / "fehlt" / "Merkhaus.soz").string() +
                        "\" kann nicht geschrieben werden: der Ordner ist nicht vorhanden.",
                    Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  EXPECT_FALSE(LoadSpecialChars(g.dir.path() / "fehlt", g.table, g.messages));
  EXPECT_EQ(SpecialCharTable{}, g.table);
}

}  // namespace
}  // namespace merkhaus
