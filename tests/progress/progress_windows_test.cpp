// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <vector>

#include "config/special_char_edit.h"
#include "platform/dialogs.h"
#include "progress/datafile_read.h"
#include "progress/progress_window.h"
#include "progress/review_session.h"
#include "progress/review_window.h"
#include "store/datafile.h"
#include "support/fake_flows.h"
#include "support/modal.h"
#include "support/test_context.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

// "house" was answered ten days ago and is due; "cat" and "bird" have never been asked. The
// windows work on a real progress database; the sessions' rules are proven by their own tests.
class ProgressWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    mhtest::WriteRecords(path, {Header("Meine Vokabeln", "Englisch", "Deutsch"), Unit(1, "Tiere"),
                                Entry(1, "house", "Haus"), Entry(1, "cat", "Katze"),
                                Unit(2, mhtest::Latin1("Vögel")), Entry(2, "bird", "Vogel")});
    t.lesson.dataFilePath = path;
    t.options.more.newEntriesPerDay = 1;
    const auto lessons = ReadDataFileEntries(path)->lessons;
    house = lessons[0].entries[0];
    cat = lessons[0].entries[1];
    auto link = keeper.link(path, ReadHeaderRecord(path).value()).value();
    seeded = link.store.review(link.file, house, Grade::Good, today - 10, keeper.params()).value();
  }

  mhtest::TestContext t;
  std::string path = t.dir.file("vok.fid");
  ProgressKeeper keeper{t.dir.file("lernstand.sqlite"), t.options, t.messages, t.clock};
  Services services{t.lesson,       t.options,     t.messages, t.fileDialogs, t.help, t.random,
                    t.specialChars, t.printDialog, t.clock,    t.speaker,     keeper};
  mhtest::FakeFlows flows;
  Day today = DayFromDate(2025, 12, 4);
  TVocData house{};
  TVocData cat{};
  MemoryState seeded;
};

TEST_F(ProgressWindows, ReviewTypedThenAsCardsAndTheMainWindowCount) {
  EXPECT_EQ("Wiederholen (1)", ReviewCaption(services));
  TReview review{{services, flows.bundle(), HelpContext::Review}};
  t.speaker.withVoices();

  // Both answered "Gut" today: the closing message names the earlier of the two due days.
  const MemoryState houseAfter = Review(seeded, Grade::Good, today, keeper.params());
  const MemoryState catAfter = Review(MemoryState{}, Grade::Good, today, keeper.params());
  const Day next = std::min(houseAfter.due, catAfter.due);
  const int count = (houseAfter.due == next) + (catAfter.due == next);
  const std::string iso = FormatDay(next);
  const std::string when = iso.substr(8, 2) + "." + iso.substr(5, 2) + "." + iso.substr(0, 4);
  t.messages.expect("Sie haben 2 Vokabeln wiederholt.\nAls nächstes " +
                        std::string(count == 1 ? "ist 1 Vokabel" : "sind 2 Vokabeln") + " am " +
                        when + " fällig.",
                    Answer::Ok, MsgKind::Information, MsgButtons::Ok);

  auto driven = mhtest::onNextModal([&](QWidget* w) {
    ASSERT_EQ(&review, w);
    EXPECT_EQ(QStringLiteral("Wiederholen -- Meine Vokabeln"), review.windowTitle());
    EXPECT_EQ(QStringLiteral("Tiere"), review.LessonLabel->text());
    EXPECT_EQ(QStringLiteral("Englisch"), review.ForeignLabel->text());
    EXPECT_EQ(QStringLiteral("house"), review.ForeignMemo->toPlainText());
    EXPECT_EQ(QStringLiteral("1/2"), review.CounterLabel->text());
    EXPECT_FALSE(review.GradeButtons[0]->isVisible());
    EXPECT_FALSE(review.CorrectButton->isEnabled());
    // The question is the foreign side: "Vorlesen" and Ctrl+L read it.
    ASSERT_TRUE(review.VorlesenBtn->isEnabled());
    QTest::keySequence(&review, QKeySequence(Qt::CTRL | Qt::Key_L));
    EXPECT_EQ(std::vector<std::string>{"house"}, t.speaker.texts());

    QTest::keyClicks(review.AnswerEdit, QStringLiteral("Haus"));
    QTest::keyClick(review.AnswerEdit, Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("Haus"), review.NativeMemo->toPlainText());
    EXPECT_EQ(QStringLiteral("W&eiter"), review.AdvanceButton->text());
    EXPECT_TRUE(review.CorrectButton->isEnabled());
    QTest::keyClick(review.AnswerEdit, Qt::Key_F1);
    EXPECT_EQ(std::vector<int>{HelpContext::Review}, t.help.topics);
    review.AdvanceButton->click();

    // The next entry, "cat", is new; switched to cards before anything happened on it.
    EXPECT_EQ(QStringLiteral("cat"), review.ForeignMemo->toPlainText());
    review.CardBox->click();
    EXPECT_EQ(1, flows.moreOptionsSaved);
    EXPECT_FALSE(review.AnswerEdit->isVisible());
    EXPECT_TRUE(review.GradeButtons[2]->isVisible());
    EXPECT_FALSE(review.GradeButtons[2]->isEnabled());
    QTest::keyClick(&review, Qt::Key_Space);
    EXPECT_EQ(QStringLiteral("Katze"), review.NativeMemo->toPlainText());
    ASSERT_TRUE(review.GradeButtons[2]->isEnabled());
    const auto days = NextIntervals(MemoryState{}, today, keeper.params());
    EXPECT_EQ(
        QStringLiteral("&3 Gut\n") + QString::fromStdString(ReviewSession::IntervalText(days[2])),
        review.GradeButtons[2]->text());
    QTest::keyClick(&review, Qt::Key_3);
  });
  review.StartReview();
  EXPECT_FALSE(review.isVisible());
  EXPECT_TRUE(t.messages.done());

  auto link = keeper.link(path, ReadHeaderRecord(path).value()).value();
  EXPECT_EQ(houseAfter, link.store.state(link.file, house).value());
  EXPECT_EQ(catAfter, link.store.state(link.file, cat).value());
  EXPECT_EQ(1, static_cast<int>(t.options.more.reviewStyle));
  EXPECT_EQ("Wiederholen (0)", ReviewCaption(services));
}

TEST_F(ProgressWindows, LernstandShowsTheFiguresAndResetsALesson) {
  {
    auto link = keeper.link(path, ReadHeaderRecord(path).value()).value();
    ASSERT_TRUE(link.store.addTestResult(link.file, {1, today - 2, 1, 2, 50}));
  }
  TLernstand lernstand{{services, flows.bundle(), HelpContext::Progress}};
  auto cell = [&](QTableWidget* table, int row, int column) {
    return table->item(row, column) ? table->item(row, column)->text() : QString();
  };
  t.messages.expect(
      "Soll der Lernstand der Lektion \"Tiere\" wirklich zurückgesetzt werden? Alle ihre "
      "Vokabeln gelten dann wieder als neu.",
      Answer::No, MsgKind::Confirmation, MsgButtons::YesNoDefaultNo);
  t.messages.expect(
      "Soll der Lernstand der Lektion \"Tiere\" wirklich zurückgesetzt werden? Alle ihre "
      "Vokabeln gelten dann wieder als neu.",
      Answer::Yes, MsgKind::Confirmation, MsgButtons::YesNoDefaultNo);

  auto driven = mhtest::onNextModal([&](QWidget* w) {
    ASSERT_EQ(&lernstand, w);
    EXPECT_EQ(QStringLiteral("Lernstand -- Meine Vokabeln"), lernstand.windowTitle());
    ASSERT_EQ(2, lernstand.LessonTable->rowCount());
    // Tiere: cat new, house learning and due; Vögel: bird new.
    const QStringList tiere = {QStringLiteral("Tiere"), QStringLiteral("1"), QStringLiteral("1"),
                               QStringLiteral("0"), QStringLiteral("1")};
    for (int c = 0; c < 5; ++c)
      EXPECT_EQ(tiere[c], cell(lernstand.LessonTable, 0, c)) << c;
    EXPECT_EQ(QStringLiteral("Vögel"), cell(lernstand.LessonTable, 1, 0));
    EXPECT_EQ(1, lernstand.CountsChart->chart()->series().size());
    // Today's forecast holds the overdue entry.
    ASSERT_EQ(30, lernstand.ForecastTable->rowCount());
    EXPECT_EQ(QStringLiteral("heute"), cell(lernstand.ForecastTable, 0, 0));
    EXPECT_EQ(QStringLiteral("1"), cell(lernstand.ForecastTable, 0, 1));
    // The count axes label whole numbers only: one entry due is no "0, 0, 0, 0, 0, 1".
    for (QChartView* view : {lernstand.CountsChart, lernstand.ForecastChart}) {
      const auto* axis = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).value(0));
      ASSERT_NE(nullptr, axis);
      std::vector<double> ticks;
      if (axis->tickType() == QValueAxis::TicksDynamic) {
        for (double v = axis->tickAnchor(); v <= axis->max() + 1e-9; v += axis->tickInterval())
          ticks.push_back(v);
      } else {
        for (int i = 0; i < axis->tickCount(); ++i)
          ticks.push_back(axis->min() + i * (axis->max() - axis->min()) / (axis->tickCount() - 1));
      }
      for (const double v : ticks)
        EXPECT_DOUBLE_EQ(std::round(v), v) << view->chart()->title().toStdString();
    }
    ASSERT_EQ(1, lernstand.HistoryTable->rowCount());
    EXPECT_EQ(QStringLiteral("02.12.2025"), cell(lernstand.HistoryTable, 0, 0));
    EXPECT_EQ(QStringLiteral("50 %"), cell(lernstand.HistoryTable, 0, 3));

    lernstand.LessonTable->selectRow(1);
    EXPECT_EQ(0, lernstand.HistoryTable->rowCount());
    lernstand.LessonTable->selectRow(0);

    lernstand.ResetButton->click();  // "Nein"
    EXPECT_EQ(QStringLiteral("1"), cell(lernstand.LessonTable, 0, 2));
    lernstand.ResetButton->click();  // "Ja"
    EXPECT_EQ(QStringLiteral("2"), cell(lernstand.LessonTable, 0, 1));
    EXPECT_EQ(QStringLiteral("0"), cell(lernstand.LessonTable, 0, 2));
    EXPECT_EQ(1, lernstand.HistoryTable->rowCount()) << "the tests stay";
    lernstand.CloseButton->click();
  });
  lernstand.StartOverview();
  EXPECT_TRUE(t.messages.done());
  auto link = keeper.link(path, ReadHeaderRecord(path).value()).value();
  EXPECT_TRUE(link.store.state(link.file, house).value().isNew());
}

}  // namespace
}  // namespace merkhaus
