// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/datafile_choice.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

TEST(DataFileChoice, FidExtensionRule) {
  const std::pair<const char*, const char*> cases[] = {
      {"vokabeln", "vokabeln.fid"},
      {"vokabeln.txt", "vokabeln.txt"},
      {"abc", "abc"},  // three characters without a dot stay as they are
      {"ab", "ab.fid"},
      {"C:\\my.data\\vok.fid", "C:\\my.data\\vok.fid.fid"},
      {"/home/a.b/vok.fid", "/home/a.b/vok.fid.fid"},
      {"/home/ab/vok.fid", "/home/ab/vok.fid"},
      {"vok.fi", "vok.fi.fid"},
  };
  for (const auto& [in, out] : cases)
    EXPECT_EQ(out, WithFidExtension(in)) << in;
}

TEST(DataFileChoice, OptionsDecideWhetherToAsk) {
  struct Case {
    const char* name;
    std::string cmdLine;
    bool alwaysThat, alwaysThis;
    std::string stdDF, field;
    bool ask;
    std::string result, fieldAfter;
  };
  const Case cases[] = {
      {"nothing set", "", false, false, "", "last.fid", true, "", "last.fid"},
      {"StdDF offered", "", false, false, "std.fid", "last.fid", true, "", "std.fid"},
      {"StdDF without asking", "", false, true, "std.fid", "", false, "std.fid", "std.fid"},
      {"empty StdDF without asking", "", false, true, "", "last.fid", false, "", "last.fid"},
      {"alwaysthatfile without command line", "", true, false, "", "last.fid", true, "",
       "last.fid"},
      {"command line fills an empty field", "cmd.fid", false, false, "std.fid", "", true, "",
       "cmd.fid"},
      {"command line keeps the last path", "cmd.fid", false, false, "std.fid", "last.fid", true, "",
       "last.fid"},
      {"command line without asking", "cmd.fid", true, false, "std.fid", "", false, "cmd.fid",
       "cmd.fid"},
      {"standard DataFile wins over the command line", "cmd.fid", false, true, "std.fid", "", false,
       "std.fid", "std.fid"},
      {"both set: the command line", "cmd.fid", true, true, "std.fid", "", false, "cmd.fid",
       "cmd.fid"},
  };
  for (const auto& c : cases) {
    Options o;
    o.alwaysthatfile = c.alwaysThat;
    o.alwaysthisfile = c.alwaysThis;
    o.StdDF = c.stdDF;
    const auto plan = PlanDataFileChoice(c.cmdLine, o, c.field);
    EXPECT_EQ(c.ask, plan.ask) << c.name;
    EXPECT_EQ(c.result, plan.result) << c.name;
    EXPECT_EQ(c.fieldAfter, plan.fieldText) << c.name;
  }
}

TEST(DataFileChoice, AcceptingThePathField) {
  mhtest::TempDir dir;
  mhtest::ScriptedMessages msgs;
  const auto good = dir.file("vok.fid");
  mhtest::WriteRecords(good, {mhtest::Header("V")});
  const auto text = dir.file("text.fid");
  mhtest::WriteBytes(text, "kein DataFile");

  const auto folder = dir.file("ordner.fid");
  std::filesystem::create_directory(folder);
  struct Case {
    std::string field;
    std::string message;  // empty: none
    std::string fieldAfter;
    bool usable;
  };
  const Case cases[] = {
      {dir.file("vok"), "", good, true},
      {"", "Sie müssen einen Dateinamen angeben!", "", false},
      {text, "Kein Merkhaus ]|[ Datafile!\nDie Datei kann nicht ausgewertet werden.", text, false},
      // A file that cannot be opened is reported as such, not as "no DataFile".
      {folder,
       "Fehler beim öffnen der Datei als Textfile!\nDie Datei \"" + folder +
           "\" kann nicht geöffnet werden: das ist ein Ordner.",
       folder, false},
      {dir.file("fehlt"), "Datei nicht vorhanden!", "", false},  // the field is emptied
  };
  for (const Case& c : cases) {
    if (!c.message.empty()) msgs.expect(c.message);
    const AcceptedPath accepted = AcceptDataFilePath(c.field, msgs);
    EXPECT_EQ(c.fieldAfter, accepted.fieldText) << c.field;
    EXPECT_EQ(c.usable, accepted.usable) << c.field;
    EXPECT_TRUE(msgs.done()) << c.field;
  }
}

TEST(DataFileChoice, NewDataFileDetailsAreChecked) {
  mhtest::ScriptedMessages msgs;
  NewDataFileDetails d{WinString("Vok"), WinString(), WinString("Englisch"), WinString("Deutsch"),
                       WinString("Ich")};
  EXPECT_TRUE(AcceptNewDataFileDetails(d, msgs));

  for (auto missing : {&NewDataFileDetails::name, &NewDataFileDetails::foreignLanguage,
                       &NewDataFileDetails::nativeLanguage}) {
    NewDataFileDetails m = d;
    m.*missing = WinString();
    msgs.expect("Sie müssen einen Namen eine Fremdsprache und eine Sprache angeben!", Answer::Ok,
                MsgKind::Information, MsgButtons::Ok);
    EXPECT_FALSE(AcceptNewDataFileDetails(m, msgs));
  }

  const char* question =
      "Sind sie sicher, daß sie keinen Autoren eingeben wollen? Dieses Feld kann später nicht "
      "mehr verändert werden! Doch noch einen Namen eingeben?";
  d.author = WinString();
  msgs.expect(question, Answer::Yes, MsgKind::Confirmation, MsgButtons::YesNo);
  EXPECT_FALSE(AcceptNewDataFileDetails(d, msgs)) << "Yes: stay for the author";
  msgs.expect(question, Answer::No);
  EXPECT_TRUE(AcceptNewDataFileDetails(d, msgs));
}

TEST(DataFileChoice, CreatingADataFile) {
  mhtest::TempDir dir;
  mhtest::ScriptedMessages msgs;
  const auto path = dir.file("neu.fid");
  const NewDataFileDetails d{WinString("Vokabeln"), WinString("keinen"), WinString("Englisch"),
                             WinString("Deutsch"), WinString("Ich")};
  const std::string ask = "Soll die Vokabeldatei " + path + " angelegt werden?";

  msgs.expect(ask, Answer::No, MsgKind::Information, MsgButtons::YesNo);
  EXPECT_FALSE(CreateNewDataFile(path, d, msgs));
  EXPECT_FALSE(std::filesystem::exists(path));

  msgs.expect(ask, Answer::Yes);
  EXPECT_TRUE(CreateNewDataFile(path, d, msgs));
  EXPECT_EQ((std::vector<mhtest::RawRecord>{
                mhtest::Header("Vokabeln", "Englisch", "Deutsch", "Ich", "keinen")}),
            mhtest::ReadRecords(path));

  // Over an existing file: asked first; No keeps it, Yes leaves exactly one record.
  mhtest::WriteRecords(path, {mhtest::Header("Alt"), mhtest::Unit(1, "L")});
  const auto old = mhtest::ReadBytes(path);
  msgs.expect(ask, Answer::Yes)
      .expect("Dateiname vorhanden! Überschreiben?", Answer::No, MsgKind::Warning,
              MsgButtons::YesNoDefaultNo);
  EXPECT_FALSE(CreateNewDataFile(path, d, msgs));
  EXPECT_EQ(old, mhtest::ReadBytes(path));
  msgs.expect(ask, Answer::Yes).expect("Dateiname vorhanden! Überschreiben?", Answer::Yes);
  EXPECT_TRUE(CreateNewDataFile(path, d, msgs));
  EXPECT_EQ(624u, std::filesystem::file_size(path));

  // A folder that does not exist: nothing can be written.
  const auto nowhere = dir.file("fehlt/neu.fid");
  msgs.expect("Soll die Vokabeldatei " + nowhere + " angelegt werden?", Answer::Yes)
      .expect("Fehler beim schreiben!\nDie Datei \"" + nowhere +
                  "\" kann nicht geschrieben werden: der Ordner ist nicht vorhanden.",
              Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  EXPECT_FALSE(CreateNewDataFile(nowhere, d, msgs));
}

}  // namespace
}  // namespace merkhaus
