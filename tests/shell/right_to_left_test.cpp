// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextLayout>
#include <map>
#include <string>
#include <vector>

#include "config/special_char_edit.h"
#include "dictionary/dictionary_window.h"
#include "maintenance/editor_window.h"
#include "maintenance/restore_windows.h"
#include "progress/progress_keeper.h"
#include "progress/progress_window.h"
#include "shell/lesson_choice.h"
#include "shell/start_up.h"
#include "store/datafile.h"
#include "support/fake_flows.h"
#include "support/modal.h"
#include "support/test_context.h"
#include "testing/evaluation_window.h"
#include "testing/test_window.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Unit;

constexpr std::string_view kUnicodeSig =
    "Merkhaus ]I[ - DataFile == signature of Unicode vocabularies";

// The side of `area` that the ink painted into it is nearer to, read from the pixels: "rechts",
// "links", or "unsichtbar" when nothing is painted there.
std::string InkSide(QWidget* surface, const QRect& area) {
  const QImage image = surface->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
  QHash<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      ++counts[image.pixel(x, y)];
  QRgb background = 0;
  int most = -1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    if (it.value() > most) std::tie(background, most) = std::pair(it.key(), it.value());
  }
  const auto ink = [&](QRgb p) {
    return std::abs(qRed(p) - qRed(background)) + std::abs(qGreen(p) - qGreen(background)) +
               std::abs(qBlue(p) - qBlue(background)) >
           96;
  };
  int first = image.width(), last = -1;
  for (int x = 0; x < image.width(); ++x)
    for (int y = 0; y < image.height(); ++y)
      if (ink(image.pixel(x, y))) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
  if (last < 0) return "unsichtbar";
  return image.width() - 1 - last < first ? "rechts" : "links";
}

// Where a line's letters stand in its row on screen, and whether the line asks for the right
// edge itself or keeps what the view does by default.
std::string Stand(QAbstractItemView* view, const QModelIndex& index) {
  // A grid draws its lines on the cells' right and bottom edges: they are no letters.
  const std::string side =
      InkSide(view->viewport(), view->visualRect(index).adjusted(3, 2, -3, -2));
  const QVariant alignment = index.data(Qt::TextAlignmentRole);
  if (side == "rechts" &&
      alignment == QVariant(static_cast<int>(Qt::AlignRight | Qt::AlignVCenter)))
    return side;
  if (side == "links" && !alignment.isValid()) return side;
  return side + " mit Ausrichtung " + std::to_string(alignment.toInt());
}

// "ganz" when the label's font (or one standing in for it) has a letter for every character of
// its text, "mit Kästchen" when some would show as empty boxes.
std::string Drawn(const QLabel* label) {
  QTextLayout layout(label->text(), label->font());
  layout.beginLayout();
  layout.createLine().setLineWidth(100000);
  layout.endLayout();
  for (const QGlyphRun& run : layout.glyphRuns()) {
    if (run.glyphIndexes().contains(0u)) return "mit Kästchen";
  }
  return "ganz";
}

// Every DataFile text that the windows list or put into a grid stands at the right edge of its
// row when it reads from the right (its first letter is Hebrew or Arabic), and where the view
// puts it otherwise; what decides is the text as the DataFile's encoding spells it.
class RightToLeft : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  Windows windows{t.services, t.dir.path()};  // the typing fields follow the DataFile's encoding
  mhtest::FakeFlows flows;
  std::vector<std::string> seen;
  bool lessonCommentItalic = false;

  void Use(const std::string& path) {
    t.lesson.dataFilePath = path;
    t.lesson.dataFileHeader = ReadHeaderRecord(path).value();
    t.lesson.unitId = 1;
  }

  void Note(const char* window, QAbstractItemView* view, const QModelIndex& index) {
    const QString text = index.data().toString();
    if (text.isEmpty()) return;
    seen.push_back(std::string(window) + ": " + text.toStdString() + " | " + Stand(view, index));
  }
  void NoteAll(const char* window, QListWidget* list) {
    for (int i = 0; i < list->count(); ++i)
      Note(window, list, list->model()->index(i, 0));
  }

  void LessonChoice(const std::string& path) {
    auto driven = mhtest::onNextModal([&](QWidget* w) {
      auto* f = mhtest::as<TForm6>(w);
      NoteAll("Lektionsauswahl", f->ListBox1);
      f->Button4->click();
    });
    windows.lessonChoice().selectLesson(path, false);
  }

  // A test of lesson 1, every answer wrong: `answers` gives the one typed to a question, "nein"
  // to the others.
  void Evaluation(const std::map<std::string, std::string>& answers) {
    t.options.algorithmus = 1;  // in order: no draws
    TTesten testen{t.mode(flows.bundle(), HelpContext::Test)};
    Ttst_ausw& ausw = testen.evaluation();
    auto driven = mhtest::onNextModal([&](QWidget*) {
      t.messages.expect("Alle Vokabeln wurden jetzt abgefragt!", Answer::Ok);
      seen.push_back("Testen, Kommentar der Lektion: " + testen.Label13->text().toStdString() +
                     " | " + Drawn(testen.Label13));
      lessonCommentItalic = testen.Label13->font().italic();
      for (int asked = 0; asked < 4 && testen.Button2->isEnabled(); ++asked) {
        for (QPlainTextEdit* box : {testen.Memo1, testen.Memo3}) {
          if (box->toPlainText().isEmpty()) continue;
          seen.push_back("Testen: " + box->toPlainText().toStdString() + " | " +
                         InkSide(box->viewport(), box->viewport()->rect()));
        }
        const auto answer = answers.find(testen.Memo1->toPlainText().toStdString());
        mhtest::typeText(testen.Edit1,
                         QString::fromStdString(answer == answers.end() ? "nein" : answer->second));
        testen.Button2->click();
      }
      EXPECT_TRUE(ausw.isVisible());
      mhtest::pumpEvents();
      for (int r = 0; r < 255 && !ausw.StringGrid1->item(r, 1)->text().isEmpty(); ++r) {
        for (int c = 1; c < 5; ++c)
          Note("Testauswertung", ausw.StringGrid1, ausw.StringGrid1->model()->index(r, c));
      }
      testen.Button6->click();
    });
    testen.StartTest();
    EXPECT_TRUE(t.messages.done());
  }

  void Dictionary(const std::vector<std::string>& terms) {
    t.options.applyFelderRule();
    t.options.ClearList = false;
    Tbeebook beebook{t.mode(flows.bundle(), HelpContext::Dictionary)};
    auto driven = mhtest::onNextModal([&](QWidget*) {
      for (const std::string& term : terms) {
        beebook.Edit1->clear();
        mhtest::typeText(beebook.Edit1, QString::fromStdString(term));
        beebook.Button3->click();
      }
      NoteAll("Wörterbuch", beebook.ListBox1);
      beebook.Button1->click();
    });
    beebook.OpenDictionary();
  }

  // The editor's list of lesson 1 and both restore lists.
  void Editor(const std::string& path) {
    TEditDataFile form{t.mode(flows.bundle())};
    flows.onChooseDataFile = [&](ChooseMode) { return std::optional<std::string>(path); };
    flows.onSelectLesson = [](const std::string&, bool) { return std::optional<std::uint8_t>(1); };
    auto driven = mhtest::onNextModal([&](QWidget*) {
      form.Button5->click();
      NoteAll("DataFile-Editor", form.ListBox1);
      {
        auto lessons = mhtest::onNextModal([&](QWidget* w) {
          auto* d = mhtest::as<Tundelete>(w);
          NoteAll("Wieder herstellen", d->ListBox1);
          d->Button1->click();
        });
        form.Button3->click();
      }
      {
        auto entries = mhtest::onNextModal([&](QWidget* w) {
          auto* d = mhtest::as<Tundeletevoc>(w);
          NoteAll("Vokabeln wieder herstellen", d->ListBox1);
          d->Button1->click();
        });
        form.Button10->click();
      }
      form.Button1->click();
    });
    form.OpenEditor(nullptr);
  }

  // The lessons of "Lernstand", from a progress database of its own.
  void Lernstand() {
    ProgressKeeper keeper{t.dir.file("lernstand.sqlite"), t.options, t.messages, t.clock};
    Services services{t.lesson,       t.options,     t.messages, t.fileDialogs, t.help, t.random,
                      t.specialChars, t.printDialog, t.clock,    t.speaker,     keeper};
    TLernstand lernstand{{services, flows.bundle(), HelpContext::Progress}};
    auto driven = mhtest::onNextModal([&](QWidget*) {
      for (int r = 0; r < lernstand.LessonTable->rowCount(); ++r)
        Note("Lernstand", lernstand.LessonTable, lernstand.LessonTable->model()->index(r, 0));
      lernstand.CloseButton->click();
    });
    lernstand.StartOverview();
  }

  void AllWindows(const std::string& path, const std::map<std::string, std::string>& answers,
                  const std::vector<std::string>& terms) {
    Use(path);
    LessonChoice(path);
    Evaluation(answers);
    Dictionary(terms);
    Editor(path);
    Lernstand();
  }
};

TEST_F(RightToLeft, HebrewAndArabicStandAtTheRightEdge) {
  const std::string path = t.dir.file("sprachen.fid");
  mhtest::RawRecord header = mhtest::Header("Sprachen", "Fremd", "Deutsch");
  mhtest::PutText(header, mhtest::kB3, kUnicodeSig);
  mhtest::WriteRecords(path,
                       {header, Unit(1, "שיעור א", "تحيات"), Entry(1, "שלום", "Frieden", "ברכה"),
                        Entry(1, "سلام", "Frieden", "تحية"), Entry(1, "мама", "Mutter", "ж. р."),
                        Entry(1, "house", "Haus"), Entry(1, "תודה", "danke", "", 1),
                        Entry(1, "спасибо", "danke", "", 1), Unit(2, "Урок", "Семья"),
                        Entry(2, "Buch", "كتاب"), Unit(3, "درس", "", 1), Unit(4, "Alt", "", 1)});
  AllWindows(path, {{"שלום", "לא"}, {"سلام", "لا"}, {"мама", "нет"}}, {"Frieden", "كتاب"});
  const std::vector<std::string> expected = {
      "Lektionsauswahl: שיעור א - تحيات | rechts",
      "Lektionsauswahl: Урок - Семья | links",
      // The italic face has no Arabic: the comment shows upright rather than as empty boxes.
      "Testen, Kommentar der Lektion: تحيات | ganz",
      "Testen: سلام | rechts",
      "Testen: تحية | rechts",
      "Testen: мама | links",
      "Testen: ж. р. | links",
      "Testen: house | links",
      "Testen: שלום | rechts",
      "Testen: ברכה | rechts",
      "Testauswertung: שלום | rechts",
      "Testauswertung: Frieden | links",
      "Testauswertung: לא | rechts",
      "Testauswertung: ברכה | rechts",
      "Testauswertung: سلام | rechts",
      "Testauswertung: Frieden | links",
      "Testauswertung: لا | rechts",
      "Testauswertung: تحية | rechts",
      "Testauswertung: мама | links",
      "Testauswertung: Mutter | links",
      "Testauswertung: нет | links",
      "Testauswertung: ж. р. | links",
      "Testauswertung: house | links",
      "Testauswertung: Haus | links",
      "Testauswertung: nein | links",
      // A hit line begins with the native side: a German word keeps it at the left.
      "Wörterbuch: Frieden = שלום | links",
      "Wörterbuch: Frieden = سلام | links",
      "Wörterbuch: كتاب = Buch | rechts",
      "DataFile-Editor: שלום = Frieden | rechts",
      "DataFile-Editor: سلام = Frieden | rechts",
      "DataFile-Editor: мама = Mutter | links",
      "DataFile-Editor: house = Haus | links",
      "Wieder herstellen: درس | rechts",
      "Wieder herstellen: Alt | links",
      "Vokabeln wieder herstellen: תודה  =  danke | rechts",
      "Vokabeln wieder herstellen: спасибо  =  danke | links",
      "Lernstand: שיעור א | rechts",
      "Lernstand: Урок | links",
  };
  EXPECT_EQ(expected, seen);
}

// The same bytes in a Windows-1252 DataFile are Latin letters and signs: nothing reads from the
// right there.
TEST_F(RightToLeft, Windows1252BytesOfHebrewStayLeft) {
  const std::string path = t.dir.file("west.fid");
  const std::string hebrewBytes = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D";  // "שלום" in UTF-8
  mhtest::WriteRecords(
      path, {mhtest::Header("West"), Unit(1, hebrewBytes, mhtest::Latin1("Grüße")),
             Entry(1, hebrewBytes, "Frieden", hebrewBytes), Entry(1, hebrewBytes, "Frieden", "", 1),
             Unit(2, hebrewBytes, "", 1)});
  AllWindows(path, {}, {"Frieden"});
  const std::string shown = "×©×œ×•×\xC2\x9D";  // 0x9D has no letter: U+009D
  const std::vector<std::string> expected = {
      "Lektionsauswahl: " + shown + " - Grüße | links",
      "Testen, Kommentar der Lektion: Grüße | ganz",
      "Testen: " + shown + " | links",
      "Testen: " + shown + " | links",
      "Testauswertung: " + shown + " | links",
      "Testauswertung: Frieden | links",
      "Testauswertung: nein | links",
      "Testauswertung: " + shown + " | links",
      "Wörterbuch: Frieden = " + shown + " | links",
      "DataFile-Editor: " + shown + " = Frieden | links",
      "Wieder herstellen: " + shown + " | links",
      "Vokabeln wieder herstellen: " + shown + "  =  Frieden | links",
      "Lernstand: " + shown + " | links",
  };
  EXPECT_EQ(expected, seen);
  EXPECT_TRUE(lessonCommentItalic) << "a comment the italic face draws stays italic";
}

}  // namespace
}  // namespace merkhaus
