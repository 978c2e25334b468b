// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/editor_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "maintenance/restore_windows.h"
#include "maintenance/unicode_convert_flow.h"
#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/picture.h"
#include "platform/qt_text.h"

namespace merkhaus {
namespace {

QGroupBox* MakeGroup(QWidget* parent, const QString& title, const QRect& geometry) {
  auto* group = new QGroupBox(title, parent);
  group->setGeometry(geometry);
  return group;
}

QLabel* MakeFigure(QWidget* parent, const QRect& geometry) {
  auto* label = MakeLabel(parent, QString(), geometry);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

// A text in a label of fixed width: a long one ends in "…" and is whole in the tool tip.
void SetElided(QLabel* label, const QString& text) {
  const QString line = OneLine(text);
  label->setText(label->fontMetrics().elidedText(line, Qt::ElideRight, label->width()));
  label->setToolTip(line == label->text() ? QString() : line);
}

}  // namespace

TEditDataFile::TEditDataFile(const ModeContext& mode) : QDialog(nullptr), services_(mode.services) {
  setObjectName(QStringLiteral("EditDataFile"));
  AttachHelp(this, services_.help, mode.helpContext);
  setWindowTitle(QStringLiteral("DataFile-Editor"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(660, 466);

  // The DataFile: its figures, its name, the deleted lessons and the cleanup.
  GroupBox1 = MakeGroup(this, QStringLiteral("DataFile"), QRect(8, 8, 320, 252));
  Label12 = MakeFigure(GroupBox1, QRect(150, 24, 60, 18));
  Label12->setText(QStringLiteral("Anzahl"));
  Label13 = MakeFigure(GroupBox1, QRect(216, 24, 92, 18));
  Label13->setText(QStringLiteral("Speicher"));
  SetBold(Label12);
  SetBold(Label13);
  auto row = [&](const QString& caption, int y, QLabel*& title, QLabel*& count, QLabel** size) {
    title = MakeLabel(GroupBox1, caption, QRect(12, y, 140, 20));
    count = MakeFigure(GroupBox1, QRect(150, y, 60, 20));
    if (size) *size = MakeFigure(GroupBox1, QRect(216, y, 92, 20));
  };
  row(QStringLiteral("Units:"), 46, Label2, Label1, nullptr);
  row(QStringLiteral("Vokabeln:"), 68, Label3, Label4, &Label9);
  row(QStringLiteral("Gelöschte Vokabeln:"), 90, Label5, Label6, &Label10);
  row(QStringLiteral("Vokabeln insgesamt:"), 112, Label7, Label8, &Label11);
  Button2 = MakeButton(GroupBox1, QStringLiteral("Name / Info"), QRect(12, 142, 140, 28));
  Button4 = MakeButton(GroupBox1, QStringLiteral("Bereinigen"), QRect(168, 142, 140, 28));
  Label14 = MakeLabel(GroupBox1, QStringLiteral("Gelöschte Units:"), QRect(12, 180, 150, 20));
  Button3 = MakeButton(GroupBox1, QStringLiteral("Wiederherstellen"), QRect(168, 176, 140, 28));
  // The kind of DataFile, and the way from Windows-1252 to Unicode (a copy; the file stays).
  Label21 = MakeLabel(GroupBox1, QString(), QRect(12, 214, 112, 20));
  Label21->setAccessibleName(QStringLiteral("Zeichensatz"));
  Button17 =
      MakeButton(GroupBox1, QStringLiteral("In Unicode umwandeln…"), QRect(128, 210, 180, 28));

  // The selected lesson.
  GroupBox2 = MakeGroup(this, QStringLiteral("Unit"), QRect(8, 266, 320, 152));
  Label15 = MakeLabel(GroupBox2, QStringLiteral("Name:"), QRect(12, 26, 50, 20));
  Label16 = MakeLabel(GroupBox2, QString(), QRect(64, 25, 244, 22));
  SetBold(Label16);
  Label20 = MakeLabel(GroupBox2, QStringLiteral("ID:"), QRect(12, 52, 50, 20));
  ID = MakeLabel(GroupBox2, QString(), QRect(64, 52, 60, 20));
  Label17 = MakeLabel(GroupBox2, QStringLiteral("Vokabeln:"), QRect(150, 52, 80, 20));
  Label18 = MakeLabel(GroupBox2, QString(), QRect(232, 52, 76, 20));
  Button6 = MakeButton(GroupBox2, QStringLiteral("Name / Info"), QRect(12, 80, 140, 28));
  Button7 = MakeButton(GroupBox2, QStringLiteral("Unit löschen"), QRect(168, 80, 140, 28));
  Button15 = MakeButton(GroupBox2, QStringLiteral("Exportieren"), QRect(12, 114, 140, 28));
  Button14 = MakeButton(GroupBox2, QStringLiteral("Importieren"), QRect(168, 114, 140, 28));

  // The lesson's entries.
  GroupBox3 = MakeGroup(this, QStringLiteral("Enthaltene Vokabeln"), QRect(336, 8, 316, 410));
  ListBox1 = new QListWidget(GroupBox3);
  ListBox1->setGeometry(12, 24, 292, 270);
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListBox1->setAccessibleName(QStringLiteral("Enthaltene Vokabeln"));
  // Tab goes on to the buttons; the arrow keys move in the list.
  ListBox1->setTabKeyNavigation(false);
  Button8 = MakeButton(GroupBox3, QStringLiteral("Bearbeiten"), QRect(12, 302, 140, 28));
  Button9 = MakeButton(GroupBox3, QStringLiteral("Löschen"), QRect(164, 302, 140, 28));
  Button11 = MakeButton(GroupBox3, QStringLiteral("Neue hinzufügen"), QRect(12, 336, 292, 28));
  Label19 = MakeLabel(GroupBox3, QStringLiteral("Gelöschte Vokabeln:"), QRect(12, 376, 150, 20));
  Button10 = MakeButton(GroupBox3, QStringLiteral("Wiederherstellen"), QRect(164, 372, 140, 28));

  Button5 = MakeButton(this, QStringLiteral("Unit auswählen"), QRect(8, 428, 152, 30));
  Button13 = MakeButton(this, QStringLiteral("Unit abwählen"), QRect(176, 428, 152, 30));
  Button16 = MakeButton(this, QStringLiteral("DataFile"), QRect(336, 428, 152, 30));
  Button1 = MakeButton(this, QStringLiteral("Schließen"), QRect(500, 428, 152, 30));
  SetBold(Button1);

  undelete_ = std::make_unique<Tundelete>(services_);
  undeletevoc_ = std::make_unique<Tundeletevoc>(services_);
  RestoreWindows& restore = *this;
  Redraw& window = *this;
  session_ = std::make_unique<EditorSession>(services_, mode.flows, restore, window);

  Messages& m = services_.messages;
  OnEvent(Button1, &QPushButton::clicked, this, &TEditDataFile::Button1Click, m);
  OnEvent(Button2, &QPushButton::clicked, this, &TEditDataFile::Button2Click, m);
  OnEvent(Button3, &QPushButton::clicked, this, &TEditDataFile::Button3Click, m);
  OnEvent(Button4, &QPushButton::clicked, this, &TEditDataFile::Button4Click, m);
  OnEvent(Button5, &QPushButton::clicked, this, &TEditDataFile::Button5Click, m);
  OnEvent(Button6, &QPushButton::clicked, this, &TEditDataFile::Button6Click, m);
  OnEvent(Button7, &QPushButton::clicked, this, &TEditDataFile::Button7Click, m);
  OnEvent(Button8, &QPushButton::clicked, this, &TEditDataFile::Button8Click, m);
  OnEvent(Button9, &QPushButton::clicked, this, &TEditDataFile::Button9Click, m);
  OnEvent(Button10, &QPushButton::clicked, this, &TEditDataFile::Button10Click, m);
  OnEvent(Button11, &QPushButton::clicked, this, &TEditDataFile::Button11Click, m);
  OnEvent(Button13, &QPushButton::clicked, this, &TEditDataFile::Button13Click, m);
  OnEvent(Button14, &QPushButton::clicked, this, &TEditDataFile::Button14Click, m);
  OnEvent(Button15, &QPushButton::clicked, this, &TEditDataFile::Button15Click, m);
  OnEvent(Button16, &QPushButton::clicked, this, &TEditDataFile::Button16Click, m);
  OnEvent(Button17, &QPushButton::clicked, this, &TEditDataFile::Button17Click, m);
  OnEvent(ListBox1, &QListWidget::itemDoubleClicked, this, &TEditDataFile::ListBox1DblClick, m);
  render();
}

TEditDataFile::~TEditDataFile() = default;

void TEditDataFile::listDeletedLessons() {
  undelete_->ListDeletedUnits();
}

void TEditDataFile::listDeletedEntries() {
  undeletevoc_->ListDeletedVocs();
}

template <class Action>
void TEditDataFile::act(Action action) {
  struct Render {
    TEditDataFile* window;
    ~Render() { window->render(); }
  } renderAfterwards{this};
  action();
}

void TEditDataFile::render() {
  const EditorView& v = session_->view();
  setWindowTitle(Utf8ToQString(v.caption));
  Label1->setText(Utf8ToQString(v.lessons));
  Label4->setText(Utf8ToQString(v.entries));
  Label9->setText(Utf8ToQString(v.entriesSize));
  Label6->setText(Utf8ToQString(v.deletedEntries));
  Label10->setText(Utf8ToQString(v.deletedSize));
  Label8->setText(Utf8ToQString(v.totalEntries));
  Label11->setText(Utf8ToQString(v.totalSize));
  SetElided(Label16, Utf8ToQString(v.lessonName));
  ID->setText(Utf8ToQString(v.lessonId));
  Label18->setText(Utf8ToQString(v.lessonCount));
  for (QPushButton* b : {Button13, Button6, Button15, Button8})
    b->setEnabled(v.lessonSelected);
  Button16->setEnabled(v.dataFileEnabled);
  // A DataFile that is only read: what would change it is off and says why.
  const QString readOnly = Utf8ToQString(v.readOnlyReason);
  for (QPushButton* b : {Button3, Button4, Button14, Button7, Button9, Button10, Button11}) {
    const bool forLesson = b == Button7 || b == Button9 || b == Button10 || b == Button11;
    b->setEnabled(readOnly.isEmpty() && (v.lessonSelected || !forLesson));
    b->setToolTip(readOnly);
  }
  // A Unicode DataFile holds every language already.
  const TextEncoding encoding = services_.lesson.encoding();
  Label21->setText(encoding == TextEncoding::Utf8 ? QStringLiteral("Unicode")
                                                  : QStringLiteral("Windows-1252"));
  Label21->setToolTip(QStringLiteral("Zeichensatz: ") +
                      Utf8ToQString(std::string(EncodingName(encoding))));
  Button17->setEnabled(encoding == TextEncoding::Cp1252 && !services_.lesson.dataFilePath.empty());

  QStringList lines;
  for (const WinString& line : v.lines)
    lines << OneLine(ToQString(line));
  QStringList shown;
  for (int i = 0; i < ListBox1->count(); ++i)
    shown << ListBox1->item(i)->text();
  if (lines != shown) {
    // After a change in place the same line stays chosen.
    const int row = SelectedRow();
    ListBox1->clear();
    ListBox1->addItems(lines);
    for (int i = 0; i < ListBox1->count(); ++i)
      AlignByDirection(*ListBox1->item(i));
    if (row >= 0 && row < ListBox1->count() && lines.size() == shown.size()) {
      ListBox1->setCurrentRow(row);
    }
  }
}

int TEditDataFile::SelectedRow() const {
  const QList<QListWidgetItem*> items = ListBox1->selectedItems();
  return items.isEmpty() ? -1 : ListBox1->row(items.front());
}

void TEditDataFile::OpenEditor(ModeHost* host) {
  bool open = false;
  act([&] { open = session_->openEditor(); });
  if (!open) return;
  // The main window comes back where it was, however the editor ends.
  if (host) host->hideMainWindow();
  ListBox1->clearSelection();
  exec();
}

void TEditDataFile::Button1Click() {
  accept();
}

void TEditDataFile::Button2Click() {
  act([this] { session_->dataFileInfo(); });
}

void TEditDataFile::Button3Click() {
  act([this] { session_->restoreLessons(); });
}

void TEditDataFile::Button4Click() {
  act([this] { session_->cleanup(); });
}

void TEditDataFile::Button5Click() {
  act([this] { session_->selectLesson(); });
}

void TEditDataFile::Button6Click() {
  act([this] { session_->lessonInfo(); });
}

void TEditDataFile::Button7Click() {
  act([this] { session_->deleteLesson(); });
}

void TEditDataFile::Button8Click() {
  act([this] { session_->editEntry(SelectedRow()); });
}

void TEditDataFile::Button9Click() {
  act([this] { session_->deleteEntry(SelectedRow()); });
}

void TEditDataFile::Button10Click() {
  act([this] { session_->restoreEntries(); });
}

void TEditDataFile::Button11Click() {
  act([this] { session_->addEntries(); });
}

void TEditDataFile::Button13Click() {
  act([this] { session_->deselectLesson(); });
}

void TEditDataFile::Button14Click() {
  act([this] { session_->importFile(); });
}

void TEditDataFile::Button15Click() {
  act([this] { session_->exportLesson(); });
}

void TEditDataFile::Button16Click() {
  act([this] { session_->changeDataFile(); });
}

void TEditDataFile::Button17Click() {
  act([this] {
    const std::optional<std::string> copy = ConvertDataFileToUnicode(services_);
    if (!copy) return;
    // On in the copy, as after choosing it with "DataFile"; it was just written, so it can be.
    services_.lesson.dataFilePath = *copy;
    services_.lesson.readOnlyReason.clear();
    if (session_->readDataFileHeader()) session_->showStatistics();
    session_->clearUnitPanel();
  });
}

void TEditDataFile::ListBox1DblClick() {
  Button8Click();
}

}  // namespace merkhaus
