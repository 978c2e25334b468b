// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

#include "flows/mode.h"
#include "flows/services.h"

class QChart;
class QChartView;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace merkhaus {

class ProgressOverview;

// "Lernstand": the lessons of the chosen DataFile with how many entries are new, being learned
// and known, and for the lesson chosen in the list its forecast and its tests, each as a chart
// with the figures beside it.
class TLernstand : public QDialog, public Mode {
  Q_OBJECT
 public:
  explicit TLernstand(const ModeContext& mode);
  ~TLernstand() override;

  QTableWidget* LessonTable;  // Lektion, Neu, Lernen, Gekonnt, Fällig
  QTabWidget* Pages;
  QChartView* CountsChart;    // the lessons' counts, stacked
  QChartView* ForecastChart;  // due entries of the chosen lesson, day by day
  QTableWidget* ForecastTable;
  QChartView* HistoryChart;  // the chosen lesson's error quotients
  QTableWidget* HistoryTable;
  QPushButton* ResetButton;  // Lernstand zurücksetzen
  QPushButton* CloseButton;  // Schließen

  ProgressOverview& overview() { return *overview_; }

  void StartOverview();
  void runMode(ModeHost&) override { StartOverview(); }

  void LessonTableSelect();
  void ResetButtonClick();

 private:
  void render();
  void renderCounts();
  void renderLesson();

  Services& services_;
  std::unique_ptr<ProgressOverview> overview_;
  bool rendering_ = false;
};

}  // namespace merkhaus
