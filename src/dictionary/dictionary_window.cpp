// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictionary/dictionary_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <climits>

#include "config/radio_group.h"
#include "config/special_char_edit.h"
#include "dictionary/dictionary_session.h"
#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/picture.h"
#include "platform/qt_text.h"

namespace merkhaus {
namespace {

// How often a running search redraws the progress bar and lets the window redraw itself. Each
// redraw costs more than reading a hundredth of a cached DataFile, so a fast search is shown
// only when it ends.
constexpr int kRedrawMs = 50;

}  // namespace

Tbeebook::Tbeebook(const ModeContext& mode)
    : QDialog(nullptr), services_(mode.services), flows_(mode.flows) {
  setObjectName(QStringLiteral("beebook"));
  setWindowTitle(QStringLiteral("Wörterbuch"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
  setFixedSize(524, 336);

  Label1 = MakeLabel(this, QStringLiteral("&Suchbegriff:"), QRect(8, 8, 300, 18));
  Edit1 = new SpecialCharEdit(services_.specialChars, 255, this);
  Edit1->setGeometry(8, 28, 310, 26);
  Label1->setBuddy(Edit1);
  Button3 = MakeButton(this, QStringLiteral("Suchen"), QRect(324, 27, 90, 28));
  SetBold(Button3);

  Label2 = MakeLabel(this, QStringLiteral("Fundstellen:"), QRect(8, 62, 300, 18));
  ListBox1 = new QListWidget(this);
  ListBox1->setGeometry(8, 82, 406, 206);
  Label2->setBuddy(ListBox1);
  ListBox1->setAccessibleName(QStringLiteral("Fundstellen"));

  RadioGroup1 = new RadioGroup(
      QStringLiteral("Richtung"),
      {QStringLiteral("beide"), QStringLiteral("A >> B"), QStringLiteral("B >> A")}, 1, this);
  RadioGroup1->setGeometry(422, 8, 94, 108);
  RadioGroup1->setItemIndex(0);
  Button4 = MakeButton(this, QStringLiteral("&Clear"), QRect(422, 124, 94, 28));
  Button5 = MakeButton(this, QStringLiteral("Anzeigen"), QRect(422, 158, 94, 28));
  Button16 = MakeButton(this, QStringLiteral("DataFile"), QRect(422, 192, 94, 28));
  Button2 = MakeButton(this, QStringLiteral("Optionen"), QRect(422, 226, 94, 28));

  Gauge1 = new QProgressBar(this);
  Gauge1->setGeometry(8, 300, 406, 26);
  Gauge1->setRange(0, 1);
  Gauge1->setValue(0);
  Button1 = MakeButton(this, QStringLiteral("Schließen"), QRect(422, 298, 94, 30));

  Redraw& window = *this;
  session_ = std::make_unique<DictionarySession>(services_, flows_, window);

  Messages& m = services_.messages;
  OnEvent(Button1, &QPushButton::clicked, this, &Tbeebook::Button1Click, m);
  OnEvent(Button2, &QPushButton::clicked, this, &Tbeebook::Button2Click, m);
  OnEvent(Button3, &QPushButton::clicked, this, &Tbeebook::Button3Click, m);
  OnEvent(Button4, &QPushButton::clicked, this, &Tbeebook::Button4Click, m);
  OnEvent(Button5, &QPushButton::clicked, this, &Tbeebook::Button5Click, m);
  OnEvent(Button16, &QPushButton::clicked, this, &Tbeebook::Button16Click, m);
  OnEvent(ListBox1, &QListWidget::itemDoubleClicked, this, &Tbeebook::ListBox1DblClick, m);
  // Edit1KeyDown: Enter searches; F5..F8 are handled by the field itself.
  Edit1->onKeyDown = [this, &m](QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
    RunAction(m, [this] { Button3Click(); });
    return true;
  };
  AttachHelp(this, services_.help, mode.helpContext);
}

Tbeebook::~Tbeebook() = default;

void Tbeebook::redraw() {
  // While a search reads the DataFile only the progress changes; redrawing costs more than
  // reading a hundredth of a cached DataFile, so it is shown at most every kRedrawMs.
  if (searching_ && session_->view().listVersion == shownListVersion_) {
    if (sinceEvents_.elapsed() < kRedrawMs) return;
    const DictionaryView& v = session_->view();
    ShowProgress(v.progress, v.progressMax);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceEvents_.restart();
    return;
  }
  render();
}

void Tbeebook::render() {
  const DictionaryView& v = session_->view();
  setWindowTitle(Utf8ToQString(v.caption));
  if (ToWinString(Edit1->text(), services_.lesson.encoding()) != v.term)
    Edit1->setText(ToQString(v.term));
  if (shownListVersion_ != v.listVersion) {
    shownListVersion_ = v.listVersion;
    const auto& lines = session_->lines();
    // An appending search keeps the lines shown and scrolls to the first new one.
    int kept = std::min(ListBox1->count(), static_cast<int>(lines.size()));
    for (int i = 0; i < kept; ++i) {
      if (ListBox1->item(i)->text() != ToQString(lines[static_cast<std::size_t>(i)])) {
        kept = 0;
        break;
      }
    }
    if (kept < ListBox1->count()) {
      while (ListBox1->count() > kept)
        delete ListBox1->takeItem(ListBox1->count() - 1);
    }
    for (std::size_t i = static_cast<std::size_t>(kept); i < lines.size(); ++i) {
      ListBox1->addItem(ToQString(lines[i]));
      AlignByDirection(*ListBox1->item(ListBox1->count() - 1));
    }
    if (kept > 0 && ListBox1->count() > kept) {
      ListBox1->scrollToItem(ListBox1->item(kept), QAbstractItemView::PositionAtTop);
    }
  }
  ShowProgress(v.progress, v.progressMax);
}

void Tbeebook::ShowProgress(std::uint64_t read, std::uint64_t total) {
  // The bar counts in int; a file beyond that (some terabytes) is shown scaled down.
  const std::uint64_t scale = total / INT_MAX + 1;
  Gauge1->setRange(0, static_cast<int>(std::max<std::uint64_t>(1, total / scale)));
  Gauge1->setValue(static_cast<int>(read / scale));
}

void Tbeebook::OpenDictionary() {
  if (!session_->openDictionary()) return;
  render();
  Edit1->setFocus();
  exec();
}

void Tbeebook::Button1Click() {
  QDialog::accept();
}

void Tbeebook::Button2Click() {
  flows_.options.showOptions();
}

void Tbeebook::Button3Click() {
  // The window redraws itself during a search, but the learner's clicks and keys wait until it
  // has ended; this guards against anything else starting a second one meanwhile.
  if (searching_) return;
  searching_ = true;
  struct Searching {
    bool& flag;
    ~Searching() { flag = false; }
  } searching{searching_};

  session_->setTerm(ToWinString(Edit1->text(), services_.lesson.encoding()));
  session_->setDirection(static_cast<SearchDirection>(std::max(0, RadioGroup1->itemIndex())));
  Gauge1->setValue(Gauge1->minimum());
  sinceEvents_.start();
  session_->search();
  render();
  Edit1->setFocus();
}

void Tbeebook::Button4Click() {
  session_->clearDictionary();
  render();
  Edit1->setFocus();
}

void Tbeebook::Button5Click() {
  const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
  session_->showHit(selected.isEmpty() ? -1 : ListBox1->row(selected.first()));
}

void Tbeebook::ListBox1DblClick() {
  Button5Click();
}

void Tbeebook::Button16Click() {
  session_->chooseDataFile();
  render();
  // The next thing to do is a search in the DataFile chosen.
  Edit1->setFocus();
}

void Tbeebook::closeEvent(QCloseEvent* event) {
  if (searching_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void Tbeebook::reject() {
  if (!searching_) QDialog::reject();
}

}  // namespace merkhaus
