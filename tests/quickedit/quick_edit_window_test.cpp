// SPDX-License-Identifier: GPL-3.0-or-later
#include "quickedit/quick_edit_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cstring>

#include "config/special_char_edit.h"
#include "support/modal.h"
#include "support/test_context.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Entry6;
using mhtest::Header;
using mhtest::Unit;

class QuickEditWindow : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  TQuickEdit dlg{t.services};
  std::string path = t.dir.file("vok.fid");
  mhtest::RawRecord entry = Entry6(1, "(to) go", "to walk", "", "gehen", "", "", "unregelmäßig");

  void SetUp() override {
    entry = Entry6(1, "(to) go", "to walk", "", "gehen", "", "", mhtest::Latin1("unregelmäßig"));
    // Two identical records: a correction rewrites both.
    mhtest::WriteRecords(
        path, {Header("V", "Englisch", "Deutsch"), Unit(1, "L"), entry, Entry(1, "x", "y"), entry});
    t.lesson.dataFilePath = path;
    t.lesson.unitId = 1;
    t.lesson.dataFileHeader.A1.set("Englisch");
    t.lesson.dataFileHeader.B2.set("Deutsch");
    std::memcpy(&record, entry.data(), 624);
  }
  TVocData record{};
};

TEST_F(QuickEditWindow, ViewModeShowsAndWritesNothing) {
  const auto before = mhtest::ReadBytes(path);
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* q = mhtest::as<TQuickEdit>(w);
    EXPECT_EQ(QStringLiteral("Quick-View"), q->windowTitle());
    EXPECT_FALSE(q->Button11->isVisible());
    EXPECT_FALSE(q->Button2->isVisible());
    EXPECT_TRUE(q->Edit1->isReadOnly() && q->Edit7->isReadOnly());
    EXPECT_EQ(QStringLiteral("Englisch"), q->Label1->text());
    EXPECT_EQ(QStringLiteral("Deutsch"), q->Label2->text());
    EXPECT_EQ(QStringLiteral("(to) go"), q->Edit1->text());
    EXPECT_EQ(QStringLiteral("gehen"), q->Edit2->text());
    EXPECT_EQ(QStringLiteral("to walk"), q->Edit3->text());
    EXPECT_EQ(QStringLiteral("unregelmäßig"), q->Edit7->text());
    q->Button1->click();
  });
  EXPECT_EQ(std::nullopt, dlg.quickEditEntry(record, false));
  EXPECT_EQ(before, mhtest::ReadBytes(path));
}

TEST_F(QuickEditWindow, UndoCancelAndTheCloseBox) {
  const auto before = mhtest::ReadBytes(path);
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* q = mhtest::as<TQuickEdit>(w);
    EXPECT_EQ(QStringLiteral("Quick-Edit"), q->windowTitle());
    q->Edit1->setText(QStringLiteral("anders"));
    q->Edit7->clear();
    q->Button11->click();  // Undo
    EXPECT_EQ(QStringLiteral("(to) go"), q->Edit1->text());
    EXPECT_EQ(QStringLiteral("unregelmäßig"), q->Edit7->text());
    q->Edit2->setText(QStringLiteral("laufen"));
    q->Button2->click();  // &Abbrechen
  });
  EXPECT_EQ(std::nullopt, dlg.quickEditEntry(record, true));
  EXPECT_EQ(before, mhtest::ReadBytes(path));

  // The close box confirms like "&OK".
  auto closed = mhtest::onNextModal([&](QWidget* w) {
    auto* q = mhtest::as<TQuickEdit>(w);
    q->Edit2->setText(QStringLiteral("  gehen,   laufen "));
    q->close();
  });
  const std::optional<TVocData> corrected = dlg.quickEditEntry(record, true);
  ASSERT_TRUE(corrected);
  EXPECT_EQ("gehen, laufen", corrected->B1.view()) << "the corrected entry comes back";
  const auto corrections =
      Entry6(1, "(to) go", "to walk", "", "gehen, laufen", "", "", mhtest::Latin1("unregelmäßig"));
  EXPECT_EQ(corrections, mhtest::ReadRecords(path)[2]);
  EXPECT_EQ(corrections, mhtest::ReadRecords(path)[4]) << "every equal record";
}

TEST_F(QuickEditWindow, TabGoesDownTheLeftColumnThenTheRight) {
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* q = mhtest::as<TQuickEdit>(w);
    QWidget* expected[] = {q->Edit3, q->Edit5, q->Edit2, q->Edit4, q->Edit6};
    QWidget* at = q->Edit1;
    for (QWidget* next : expected) {
      at = at->nextInFocusChain();
      while (!(at->focusPolicy() & Qt::TabFocus))
        at = at->nextInFocusChain();
      EXPECT_EQ(next, at);
    }
    EXPECT_FALSE(q->Edit7->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(q->Button11->focusPolicy() & Qt::TabFocus);
    q->Button2->click();
  });
  dlg.quickEditEntry(record, true);
}

}  // namespace
}  // namespace merkhaus

namespace merkhaus {
namespace {

TEST_F(QuickEditWindow, VorlesenReadsTheForeignColumnWhenThereIsSpeech) {
  auto noSpeech = mhtest::onNextModal([&](QWidget* w) {
    auto* q = mhtest::as<TQuickEdit>(w);
    EXPECT_FALSE(q->VorlesenBtn->isEnabled());
    EXPECT_EQ(QStringLiteral("Keine Sprachausgabe (Test)"), q->VorlesenBtn->toolTip());
    q->Button1->click();
  });
  dlg.quickEditEntry(record, false);

  t.speaker.withVoices();
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* q = mhtest::as<TQuickEdit>(w);
    ASSERT_TRUE(q->VorlesenBtn->isEnabled());
    ASSERT_TRUE(QTest::qWaitForWindowActive(q));
    QTest::keyClick(q->Edit1, Qt::Key_L, Qt::ControlModifier);
    q->Button1->click();
  });
  dlg.quickEditEntry(record, false);
  ASSERT_EQ(1u, t.speaker.said.size());
  EXPECT_EQ("(to) go, to walk", t.speaker.said[0].text);
  EXPECT_EQ("en_GB", t.speaker.said[0].voice.locale);
}

}  // namespace
}  // namespace merkhaus
