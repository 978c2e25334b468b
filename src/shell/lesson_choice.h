#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class QLabel;
class QListWidget;
class QPushButton;

namespace merkhaus {

struct AppContext;

// "Lektionsauswahl": the live lessons of the current DataFile, to choose one, and where the flow
// allows it to create or delete lessons.
class TForm6 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm6(AppContext& ctx);

  QLabel* Label1;  // the DataFile's name
  QLabel* Label2;  // the DataFile's comment
  QListWidget* ListBox1;
  QPushButton* Button1;  // &Wählen
  QPushButton* Button4;  // &Zurück
  QPushButton* Button2;  // &Neu...
  QPushButton* Button3;  // &Löschen

  void Button1Click();
  void ListBox1DblClick();
  void Button4Click();
  void Button2Click();
  void Button3Click();
  // Enter acts as a double-click, the letter I shows the lesson's information.
  void ListBox1KeyPress(const QString& key);

  // Fills the list and shows the window; the chosen UnitID or 0 (see SelectUnit).
  std::uint8_t Select(const std::string& path, bool allowCreate);
  // Reads the list again after a lesson was created.
  void RefillUnitList();
  // The read-only lesson information of the selected line.
  void ShowUnitInfo();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  AppContext& ctx_;
};

// Lets the learner choose a lesson of the DataFile at `path`; yields its UnitID, or 0 when none
// was chosen. Refreshes DataFileHeader from record 0. The caller sets Cancelled to 0 before and
// starts its mode only when Cancelled is still 0.
std::uint8_t SelectUnit(AppContext& ctx, const std::string& path, bool allowCreate);

}  // namespace merkhaus
