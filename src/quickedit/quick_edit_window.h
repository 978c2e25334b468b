// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <optional>

#include "flows/flows.h"
#include "flows/read_aloud.h"
#include "flows/services.h"
#include "store/vocdata.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace merkhaus {

class SpecialCharEdit;

// "Quick-Edit" / "Quick-View": one entry with all its fields, to look at or to correct on the
// spot. A confirmed correction is written straight back into the DataFile.
class TQuickEdit : public QDialog, public EntryViewer {
  Q_OBJECT
 public:
  explicit TQuickEdit(Services& services);

  QLabel* Label1;          // foreign language, heading of the left column
  QLabel* Label2;          // native language, heading of the right column
  SpecialCharEdit* Edit1;  // A1
  SpecialCharEdit* Edit2;  // B1
  SpecialCharEdit* Edit3;  // A2
  SpecialCharEdit* Edit4;  // B2
  SpecialCharEdit* Edit5;  // A3
  SpecialCharEdit* Edit6;  // B3
  QLabel* Label3;
  SpecialCharEdit* Edit7;    // Comment
  QPushButton* Button11;     // Undo
  QPushButton* Button1;      // &OK
  QPushButton* Button2;      // Abbre&chen
  QPushButton* VorlesenBtn;  // &Vorlesen: the foreign column; Ctrl+L

  // The entry as it was when the dialog opened; "Undo" refills the fields from it.
  TVocData QuickEditOriginal{};
  // "Abbrechen" was pressed: nothing is written.
  bool QuickEditAbandoned = false;

  // Shows the entry; in edit mode a confirmation writes the corrected entry back and returns it.
  std::optional<TVocData> quickEditEntry(const TVocData& entry, bool editable) override;

  void Button1Click();
  void Button2Click();
  void Button11Click();
  void VorlesenBtnClick();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  Services& services_;
  ReadAloud speech_;
  bool editable_ = false;
  bool closingByBox_ = false;
};

}  // namespace merkhaus
