// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <filesystem>

#include "maintenance/editor_window.h"
#include "platform/file_io.h"
#include "support/fake_flows.h"
#include "support/modal.h"
#include "support/test_context.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

constexpr std::string_view kUnicodeSig =
    "Merkhaus ]I[ - DataFile == signature of Unicode vocabularies";

std::string Times(int n, std::string_view s) {
  std::string out;
  for (int i = 0; i < n; ++i)
    out += s;
  return out;
}

// "In Unicode umwandeln…" in the editor: the file dialog, the questions and the answers the
// learner gives, and what lands on the disk. A field of 60 "ä" takes 120 bytes in UTF-8.
class ConvertInEditor : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  mhtest::FakeFlows flows;
  TEditDataFile form{t.mode(flows.bundle())};
  std::string path = t.dir.file("vok.fid");
  std::string copy = t.dir.file("vok-unicode.fid");
  std::string source;

  void SetUp() override {
    flows.onChooseDataFile = [this](ChooseMode) { return std::optional<std::string>(path); };
    mhtest::WriteRecords(
        path, {Header(mhtest::Latin1("Wörter")), Unit(1, "Lektion"),
               Entry(1, mhtest::Latin1(Times(60, "ä")), "lang"), Entry(1, "Haus", "house")});
    source = mhtest::ReadBytes(path);
  }
  void TearDown() override { ClearFileFaults(); }

  void Run(const std::function<void()>& steps) {
    auto driven = mhtest::onNextModal([&](QWidget*) {
      steps();
      form.Button1->click();
    });
    form.OpenEditor(nullptr);
    EXPECT_TRUE(driven.done());
    EXPECT_TRUE(t.messages.done());
    EXPECT_EQ(source, mhtest::ReadBytes(path)) << "the DataFile itself never changes";
  }

  std::string Question() const {
    return "1 Feld der Vokabeldatei \"" + path +
           "\" ist in Unicode länger als erlaubt:\n\nEintrag 2 (Lektion 1), Feld A1: \"" +
           Times(60, "ä") +
           "\" hat 120 Bytes, das Feld nur 60.\n\nSollen diese Felder beim Umwandeln gekürzt "
           "werden? Bei \"Nein\" wird nichts umgewandelt.";
  }
};

TEST_F(ConvertInEditor, RefusedUnlessTheLearnerAgreesToCut) {
  mhtest::WriteBytes(copy, "anderes");
  t.fileDialogs.answerSave(copy).answerSave(copy);
  // First "Nein" to cutting: nothing is written, the existing file stays.
  t.messages.expect(Question(), Answer::No, MsgKind::Warning, MsgButtons::YesNoDefaultNo);
  // Then "Ja" to cutting and to replacing; the editor goes on in the copy.
  t.messages.expect(Question(), Answer::Yes, MsgKind::Warning, MsgButtons::YesNoDefaultNo)
      .expect("Die Datei \"" + copy + "\" ist bereits vorhanden. Überschreiben?", Answer::Yes,
              MsgKind::Warning, MsgButtons::YesNoDefaultNo)
      .expect("Die Vokabeldatei \"" + path + "\" wurde in Unicode umgewandelt: \"" + copy +
                  "\". Die Vokabeldatei selbst ist unverändert.\n\nGekürzt wurden:\nEintrag 2 "
                  "(Lektion 1), Feld A1: \"" +
                  Times(60, "ä") + "\" hat 120 Bytes, das Feld nur 60. Gekürzt auf: \"" +
                  Times(30, "ä") + "\"\n\nSoll der Editor jetzt die Unicode-Vokabeldatei öffnen?",
              Answer::Yes, MsgKind::Confirmation, MsgButtons::YesNo);
  QStringList before, after;
  Run([&] {
    before << form.Label21->text() << QString::number(form.Button17->isEnabled());
    form.Button17->click();
    EXPECT_EQ("anderes", mhtest::ReadBytes(copy));
    form.Button17->click();
    after << form.Label21->text() << QString::number(form.Button17->isEnabled())
          << form.windowTitle();
  });
  EXPECT_EQ((QStringList{QStringLiteral("Windows-1252"), QStringLiteral("1")}), before);
  EXPECT_EQ((QStringList{QStringLiteral("Unicode"), QStringLiteral("0"),
                         QStringLiteral("DataFile-Editor -- Wörter")}),
            after);
  EXPECT_EQ(t.dir.file("vok-unicode.fid"), t.fileDialogs.saveRequests.at(0).initialPath);
  EXPECT_EQ(copy, t.lesson.dataFilePath);
  EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{path, copy}}),
            t.progress.conversions);

  const std::vector<mhtest::RawRecord> records = mhtest::ReadRecords(copy);
  ASSERT_EQ(4u, records.size());
  EXPECT_EQ(std::string(kUnicodeSig), mhtest::GetText(records[0], mhtest::kB3));
  EXPECT_EQ("Wörter", mhtest::GetText(records[0], mhtest::kB1));
  EXPECT_EQ(Times(30, "ä"), mhtest::GetText(records[2], mhtest::kA1));
  EXPECT_EQ("Haus", mhtest::GetText(records[3], mhtest::kA1));
}

// A file error names the file and the reason and leaves no copy; cancelling the file dialog
// does nothing.
TEST_F(ConvertInEditor, CancelledOrFailedWritesNothing) {
  t.fileDialogs.answerSave(std::nullopt).answerSave(copy);
  t.messages.expect(Question(), Answer::Yes, MsgKind::Warning, MsgButtons::YesNoDefaultNo)
      .expect("Die Vokabeldatei wurde nicht umgewandelt.\nDie Datei \"" + copy +
                  "\" kann nicht geschrieben werden: Ein-/Ausgabefehler des Datenträgers.",
              Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  Run([&] {
    form.Button17->click();
    InjectFileFault({copy, FileFault::At::Write, 0, EIO});
    form.Button17->click();
    ClearFileFaults();
  });
  EXPECT_FALSE(std::filesystem::exists(copy));
  EXPECT_TRUE(t.progress.conversions.empty());
  EXPECT_EQ(path, t.lesson.dataFilePath);
}

}  // namespace
}  // namespace merkhaus
