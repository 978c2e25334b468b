// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/entry_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "config/special_char_edit.h"
#include "entry/entry_session.h"
#include "flows/read_aloud_button.h"
#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/keyboard_access.h"
#include "platform/picture.h"
#include "platform/qt_text.h"

namespace merkhaus {
namespace {

// Only Edit1 and Edit2 are reached with Tab; everything else with the mouse or its accelerator.
QPushButton* MakeEntryButton(QWidget* parent, const QString& caption, const QRect& geometry) {
  auto* button = MakeButton(parent, caption, geometry);
  button->setFocusPolicy(Qt::ClickFocus);
  return button;
}

int SelectedRow(const QListWidget* list) {
  const QList<QListWidgetItem*> items = list->selectedItems();
  return items.isEmpty() ? -1 : list->row(items.front());
}

}  // namespace

TForm3::TForm3(const ModeContext& mode)
    : QDialog(nullptr), services_(mode.services), flows_(mode.flows) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringLiteral("Eingeben"));
  // No title-bar buttons: "Ende" is the only way out.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(560, 418);

  auto* dataFile = MakePanel(this, QRect(4, 4, 274, 54));
  Label4 = MakeLabel(dataFile, QString(), QRect(8, 4, 226, 22));
  SetBold(Label4, 1.1);
  Label5 = MakeLabel(dataFile, QString(), QRect(8, 28, 226, 20));
  SetItalic(Label5);
  Button7 = MakeEntryButton(dataFile, QStringLiteral("i"), QRect(240, 14, 26, 26));

  auto* lesson = MakePanel(this, QRect(282, 4, 274, 54));
  Label6 = MakeLabel(lesson, QString(), QRect(8, 4, 226, 22));
  SetBold(Label6, 1.1);
  Label7 = MakeLabel(lesson, QString(), QRect(8, 28, 226, 20));
  SetItalic(Label7);
  Button8 = MakeEntryButton(lesson, QStringLiteral("i"), QRect(240, 14, 26, 26));

  ListBox1 = new QListWidget(this);
  ListBox1->setGeometry(4, 64, 424, 130);
  ListBox1->setFocusPolicy(Qt::ClickFocus);
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);

  Button10 = MakeEntryButton(this, QStringLiteral("Än&dern"), QRect(436, 64, 120, 28));
  Button3 = MakeEntryButton(this, QStringLiteral("Ent&fernen"), QRect(436, 98, 120, 28));
  Button5 = MakeEntryButton(this, QStringLiteral("Letzte Vok."), QRect(436, 132, 120, 28));
  Button4 = MakeEntryButton(this, QStringLiteral("Lektion"), QRect(436, 166, 120, 28));

  auto* fields = MakePanel(this, QRect(4, 200, 424, 170));
  Label1 = MakeLabel(fields, QString(), QRect(8, 4, 200, 18));
  Label2 = MakeLabel(fields, QString(), QRect(214, 4, 200, 18));
  SetBold(Label1);
  SetBold(Label2);
  const SpecialCharTable& table = services_.specialChars;
  auto word = [&](int x, int y) {
    auto* e = new SpecialCharEdit(table, 59, fields);
    e->setGeometry(x, y, 200, 26);
    e->setFocusPolicy(Qt::ClickFocus);
    return e;
  };
  Edit1 = word(8, 24);
  Edit2 = word(214, 24);
  Edit3 = word(8, 54);
  Edit4 = word(214, 54);
  Edit5 = word(8, 84);
  Edit6 = word(214, 84);
  Label3 = MakeLabel(fields, QStringLiteral("Komment&ar:"), QRect(8, 116, 200, 18));
  Edit7 = new SpecialCharEdit(table, 255, fields);
  Edit7->setGeometry(8, 136, 406, 26);
  Edit7->setFocusPolicy(Qt::ClickFocus);
  Label3->setBuddy(Edit7);
  Edit1->setFocusPolicy(Qt::StrongFocus);
  Edit2->setFocusPolicy(Qt::StrongFocus);
  setTabOrder(Edit1, Edit2);
  // Until a DataFile names the languages.
  NameColumnFields(QStringLiteral("Fremdsprache"), {Edit1, Edit3, Edit5});
  NameColumnFields(QStringLiteral("Muttersprache"), {Edit2, Edit4, Edit6});
  ListBox1->setAccessibleName(QStringLiteral("Eingegebene Vokabeln"));
  Button7->setAccessibleDescription(QStringLiteral("Info zum DataFile"));
  Button8->setAccessibleDescription(QStringLiteral("Info zur Lektion"));
  InstallControlTabRing(this);

  Button2 = MakeEntryButton(this, QStringLiteral("&Eintragen"), QRect(436, 200, 120, 36));
  SetBold(Button2);
  Button11 = MakeEntryButton(this, QStringLiteral("&Clear"), QRect(436, 242, 120, 28));
  VorlesenBtn =
      MakeReadAloudButton(this, this, QStringLiteral("&Vorlesen"), QRect(436, 276, 120, 28));

  Button9 = MakeEntryButton(this, QStringLiteral("Optionen"), QRect(4, 380, 110, 32));
  Button1 = MakeEntryButton(this, QStringLiteral("Speichern"), QRect(310, 380, 120, 32));
  Button6 = MakeEntryButton(this, QStringLiteral("E&nde"), QRect(436, 380, 120, 32));

  Redraw& window = *this;
  session_ = std::make_unique<EntrySession>(services_, flows_, window);

  Messages& m = services_.messages;
  OnEvent(Button1, &QPushButton::clicked, this, &TForm3::Button1Click, m);
  OnEvent(Button2, &QPushButton::clicked, this, &TForm3::Button2Click, m);
  OnEvent(Button3, &QPushButton::clicked, this, &TForm3::Button3Click, m);
  OnEvent(Button4, &QPushButton::clicked, this, &TForm3::Button4Click, m);
  OnEvent(Button5, &QPushButton::clicked, this, &TForm3::Button5Click, m);
  OnEvent(Button6, &QPushButton::clicked, this, &TForm3::Button6Click, m);
  OnEvent(Button7, &QPushButton::clicked, this, &TForm3::Button7Click, m);
  OnEvent(Button8, &QPushButton::clicked, this, &TForm3::Button8Click, m);
  OnEvent(Button9, &QPushButton::clicked, this, &TForm3::Button9Click, m);
  OnEvent(Button10, &QPushButton::clicked, this, &TForm3::Button10Click, m);
  OnEvent(Button11, &QPushButton::clicked, this, &TForm3::Button11Click, m);
  OnEvent(ListBox1, &QListWidget::itemDoubleClicked, this, &TForm3::ListBox1DblClick, m);
  OnEvent(VorlesenBtn, &QPushButton::clicked, this, &TForm3::VorlesenBtnClick, m);
  Edit1->onKeyDown = [this](QKeyEvent* e) { return Edit1KeyDown(e); };
  Edit2->onKeyDown = [this](QKeyEvent* e) { return Edit2KeyDown(e); };
  Edit3->onKeyDown = [this](QKeyEvent* e) { return Edit3KeyDown(e); };
  Edit4->onKeyDown = [this](QKeyEvent* e) { return Edit4KeyDown(e); };
  Edit5->onKeyDown = [this](QKeyEvent* e) { return Edit5KeyDown(e); };
  Edit6->onKeyDown = [this](QKeyEvent* e) { return Edit6KeyDown(e); };
  Edit7->onKeyDown = [this](QKeyEvent* e) { return Edit7KeyDown(e); };
  AttachHelp(this, services_.help, mode.helpContext);
}

TForm3::~TForm3() = default;

template <class Action>
void TForm3::act(Action action) {
  session_->setFields({ToWinString(Edit1->text(), services_.lesson.encoding()),
                       ToWinString(Edit3->text(), services_.lesson.encoding()),
                       ToWinString(Edit5->text(), services_.lesson.encoding()),
                       ToWinString(Edit2->text(), services_.lesson.encoding()),
                       ToWinString(Edit4->text(), services_.lesson.encoding()),
                       ToWinString(Edit6->text(), services_.lesson.encoding()),
                       ToWinString(Edit7->text(), services_.lesson.encoding())});
  session_->setSelected(SelectedRow(ListBox1));
  action();
  render();
}

void TForm3::render() {
  const EntryView& v = session_->view();
  // Names and comments longer than their boxes end in "…" and show whole as a tooltip.
  ShowElided(Label4, OneLine(ToQString(v.dataFileName)));
  ShowElided(Label5, OneLine(ToQString(v.dataFileComment)));
  ShowElided(Label6, OneLine(ToQString(v.lessonName)));
  ShowElided(Label7, OneLine(ToQString(v.lessonComment)));
  Label1->setText(ToQString(v.foreignLanguage));
  Label2->setText(ToQString(v.nativeLanguage));
  NameColumnFields(Label1->text(), {Edit1, Edit3, Edit5});
  NameColumnFields(Label2->text(), {Edit2, Edit4, Edit6});

  // The list is built again only when it changed, so that its scroll position stays.
  bool same = ListBox1->count() == static_cast<int>(v.lines.size());
  for (int i = 0; same && i < ListBox1->count(); ++i) {
    same = ListBox1->item(i)->text() == ToQString(v.lines[static_cast<std::size_t>(i)]);
  }
  if (!same) {
    ListBox1->clear();
    for (const WinString& line : v.lines) {
      ListBox1->addItem(ToQString(line));
      AlignByDirection(*ListBox1->item(ListBox1->count() - 1));
    }
    // The newest entry stands at the end; it is shown whole.
    ListBox1->scrollToBottom();
  }
  if (v.selected < 0) {
    ListBox1->clearSelection();
  } else {
    ListBox1->setCurrentRow(v.selected);
  }

  ShowReadAloudState(VorlesenBtn, session_->speech(), true);

  const EntryTexts& f = v.fields;
  const std::pair<SpecialCharEdit*, const WinString*> fields[] = {
      {Edit1, &f.A1}, {Edit2, &f.B1}, {Edit3, &f.A2},     {Edit4, &f.B2},
      {Edit5, &f.A3}, {Edit6, &f.B3}, {Edit7, &f.Comment}};
  for (const auto& [edit, text] : fields) {
    const QString shown = ToQString(*text);
    if (edit->text() != shown) edit->setText(shown);
  }
}

void TForm3::OpenEntryWindow(bool checkLesson) {
  // A DataFile found damaged or write-protected when it was chosen is not saved to; the learner
  // was told why then, and the button says it again.
  const std::string& readOnly = services_.lesson.readOnlyReason;
  Button1->setEnabled(readOnly.empty());
  Button1->setToolTip(QString::fromStdString(readOnly));
  act([&] { session_->open(checkLesson); });
  Edit1->setFocus();
  exec();
}

void TForm3::Button1Click() {
  act([this] { session_->save(); });
}

void TForm3::Button2Click() {
  bool added = false;
  act([&] { added = session_->add(); });
  if (added) Edit1->setFocus();
}

void TForm3::Button3Click() {
  act([this] { session_->remove(); });
  backToTyping();
}

void TForm3::Button4Click() {
  act([this] { session_->changeLesson(); });
  backToTyping();
}

void TForm3::Button5Click() {
  act([this] { session_->showLastEntry(); });
  backToTyping();
}

void TForm3::Button6Click() {
  bool close = false;
  act([&] { close = session_->confirmEnd(); });
  if (close) QDialog::accept();
}

void TForm3::Button7Click() {
  act([this] { session_->dataFileInfo(); });
  backToTyping();
}

void TForm3::Button8Click() {
  act([this] { session_->lessonInfo(); });
  backToTyping();
}

void TForm3::Button9Click() {
  // The options are read live: a change applies from the next "Eintragen" on.
  flows_.options.showOptions();
  backToTyping();
}

void TForm3::Button10Click() {
  bool changed = false;
  act([&] { changed = session_->change(); });
  if (changed) Edit1->setFocus();
}

void TForm3::Button11Click() {
  act([this] { session_->clearFields(); });
}

void TForm3::ListBox1DblClick() {
  act([this] { session_->loadSelected(); });
  Edit1->setFocus();
}

void TForm3::VorlesenBtnClick() {
  act([this] { session_->readAloud(); });
}

bool TForm3::FieldKeyDown(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
  RunAction(services_.messages, [this] { Button2Click(); });
  return true;
}

bool TForm3::Edit1KeyDown(QKeyEvent* event) {
  return FieldKeyDown(event);
}
bool TForm3::Edit2KeyDown(QKeyEvent* event) {
  return FieldKeyDown(event);
}
bool TForm3::Edit3KeyDown(QKeyEvent* event) {
  return FieldKeyDown(event);
}
bool TForm3::Edit4KeyDown(QKeyEvent* event) {
  return FieldKeyDown(event);
}
bool TForm3::Edit5KeyDown(QKeyEvent* event) {
  return FieldKeyDown(event);
}
bool TForm3::Edit6KeyDown(QKeyEvent* event) {
  return FieldKeyDown(event);
}
bool TForm3::Edit7KeyDown(QKeyEvent* event) {
  return FieldKeyDown(event);
}

// After a button the learner types the next entry: the keyboard goes back to the first field, so
// that no key presses the button again.
void TForm3::backToTyping() {
  Edit1->setFocus();
}

// The window manager's close box asks like "Ende".
void TForm3::closeEvent(QCloseEvent* event) {
  event->ignore();
  RunAction(services_.messages, [this] { Button6Click(); });
}

// Escape does not leave the window: "Ende" is the only way out, so the buffer is never dropped
// unasked.
void TForm3::reject() {}

}  // namespace merkhaus
