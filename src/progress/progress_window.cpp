// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/progress_window.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "platform/action.h"
#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/picture.h"
#include "platform/qt_text.h"
#include "progress/progress_overview.h"

namespace merkhaus {
namespace {

QTableWidget* MakeTable(QWidget* parent, const QStringList& headings) {
  auto* table = new QTableWidget(0, static_cast<int>(headings.size()), parent);
  table->setHorizontalHeaderLabels(headings);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->verticalHeader()->hide();
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  return table;
}

void SetCell(QTableWidget* table, int row, int column, const QString& text, bool number) {
  auto* item = new QTableWidgetItem(text);
  if (number) {
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  } else {
    // A Hebrew or Arabic lesson name stands at the right edge, as in the lesson choice.
    AlignByDirection(*item);
  }
  table->setItem(row, column, item);
}

QChartView* MakeChartView(QWidget* parent) {
  auto* view = new QChartView(parent);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumHeight(220);
  return view;
}

// An axis of entry counts labels whole numbers only: over a range of a few entries its usual
// steps would fall between them and print the same number again ("0, 0, 0, 1").
void CountTicks(QValueAxis* axis) {
  axis->setLabelFormat(QStringLiteral("%d"));
  axis->applyNiceNumbers();
  if (axis->max() - axis->min() < axis->tickCount() - 1) {
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(1);
  }
}

// "04.12.2025", as the tables show a day.
QString DayText(Day day) {
  const std::string iso = FormatDay(day);
  return QString::fromStdString(iso.substr(8, 2) + "." + iso.substr(5, 2) + "." + iso.substr(0, 4));
}

// A fresh chart for a view, the old one deleted with its series and axes.
QChart* NewChart(QChartView* view, const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->legend()->setAlignment(Qt::AlignBottom);
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
  return chart;
}

}  // namespace

TLernstand::TLernstand(const ModeContext& mode) : QDialog(nullptr), services_(mode.services) {
  setObjectName(QStringLiteral("lernstand"));
  setWindowTitle(QStringLiteral("Lernstand"));
  resize(1000, 600);
  // On a small screen (or a large scale factor) the window keeps within it.
  if (const QScreen* shown = screen()) {
    const QSize room = shown->availableGeometry().size() * 9 / 10;
    resize(std::min(width(), room.width()), std::min(height(), room.height()));
  }

  auto* layout = new QVBoxLayout(this);
  auto* middle = new QHBoxLayout;
  LessonTable =
      MakeTable(this, {QStringLiteral("Lektion"), QStringLiteral("Neu"), QStringLiteral("Lernen"),
                       QStringLiteral("Gekonnt"), QStringLiteral("Fällig")});
  // The names take what the figures leave.
  LessonTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  LessonTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  LessonTable->setMinimumWidth(400);
  LessonTable->setAccessibleName(QStringLiteral("Lektionen"));
  middle->addWidget(LessonTable, 2);

  Pages = new QTabWidget(this);
  CountsChart = MakeChartView(Pages);
  Pages->addTab(CountsChart, QStringLiteral("&Übersicht"));

  auto* forecastPage = new QWidget(Pages);
  auto* forecastLayout = new QVBoxLayout(forecastPage);
  ForecastChart = MakeChartView(forecastPage);
  ForecastTable = MakeTable(forecastPage, {QStringLiteral("Tag"), QStringLiteral("Fällig")});
  ForecastTable->setAccessibleName(QStringLiteral("Vorschau der fälligen Vokabeln"));
  forecastLayout->addWidget(ForecastChart, 2);
  forecastLayout->addWidget(ForecastTable, 1);
  Pages->addTab(forecastPage, QStringLiteral("&Vorschau"));

  auto* historyPage = new QWidget(Pages);
  auto* historyLayout = new QVBoxLayout(historyPage);
  HistoryChart = MakeChartView(historyPage);
  HistoryTable = MakeTable(historyPage, {QStringLiteral("Datum"), QStringLiteral("Richtig"),
                                         QStringLiteral("Gefragt"), QStringLiteral("Fehler")});
  HistoryTable->setAccessibleName(QStringLiteral("Testergebnisse"));
  historyLayout->addWidget(HistoryChart, 2);
  historyLayout->addWidget(HistoryTable, 1);
  Pages->addTab(historyPage, QStringLiteral("&Tests"));
  middle->addWidget(Pages, 3);
  layout->addLayout(middle, 1);

  auto* buttons = new QHBoxLayout;
  ResetButton = new QPushButton(QStringLiteral("Lernstand &zurücksetzen..."), this);
  CloseButton = new QPushButton(QStringLiteral("&Schließen"), this);
  buttons->addWidget(ResetButton);
  buttons->addStretch();
  buttons->addWidget(CloseButton);
  layout->addLayout(buttons);

  overview_ = std::make_unique<ProgressOverview>(
      services_, dynamic_cast<ProgressKeeper*>(&services_.progress));

  Messages& m = services_.messages;
  OnEvent(LessonTable, &QTableWidget::itemSelectionChanged, this, &TLernstand::LessonTableSelect,
          m);
  OnEvent(ResetButton, &QPushButton::clicked, this, &TLernstand::ResetButtonClick, m);
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
  AttachHelp(this, services_.help, mode.helpContext);
}

TLernstand::~TLernstand() = default;

void TLernstand::StartOverview() {
  if (!overview_->load()) return;
  render();
  LessonTable->setFocus();
  exec();
}

void TLernstand::render() {
  rendering_ = true;
  const OverviewView& v = overview_->view();
  setWindowTitle(Utf8ToQString(v.caption));
  LessonTable->setRowCount(static_cast<int>(v.lessons.size()));
  for (std::size_t i = 0; i < v.lessons.size(); ++i) {
    const LessonFigures& f = v.lessons[i];
    const int row = static_cast<int>(i);
    SetCell(LessonTable, row, 0, ToQString(f.name), false);
    SetCell(LessonTable, row, 1, QString::number(f.fresh), true);
    SetCell(LessonTable, row, 2, QString::number(f.learning), true);
    SetCell(LessonTable, row, 3, QString::number(f.known), true);
    SetCell(LessonTable, row, 4, QString::number(f.due), true);
  }
  LessonTable->selectRow(static_cast<int>(v.selected));
  renderCounts();
  renderLesson();
  rendering_ = false;
}

void TLernstand::renderCounts() {
  const OverviewView& v = overview_->view();
  QChart* chart = NewChart(CountsChart, QStringLiteral("Vokabeln je Lektion"));
  auto* fresh = new QBarSet(QStringLiteral("Neu"));
  auto* learning = new QBarSet(QStringLiteral("Lernen"));
  auto* known = new QBarSet(QStringLiteral("Gekonnt"));
  QStringList names;
  for (const LessonFigures& f : v.lessons) {
    *fresh << f.fresh;
    *learning << f.learning;
    *known << f.known;
    names << ToQString(f.name);
  }
  auto* series = new QStackedBarSeries;
  series->append(fresh);
  series->append(learning);
  series->append(known);
  chart->addSeries(series);
  auto* categories = new QBarCategoryAxis;
  categories->append(names);
  chart->addAxis(categories, Qt::AlignBottom);
  series->attachAxis(categories);
  auto* counts = new QValueAxis;
  chart->addAxis(counts, Qt::AlignLeft);
  series->attachAxis(counts);
  CountTicks(counts);
}

void TLernstand::renderLesson() {
  const OverviewView& v = overview_->view();
  if (v.lessons.empty()) return;
  const LessonFigures& lesson = v.lessons[v.selected];
  const QString name = ToQString(lesson.name);

  // The forecast: today's figure holds the overdue entries too.
  QChart* forecast = NewChart(ForecastChart, QStringLiteral("Fällig in den nächsten %1 Tagen: %2")
                                                 .arg(ProgressOverview::kForecastDays)
                                                 .arg(name));
  auto* set = new QBarSet(QStringLiteral("Fällige Vokabeln"));
  ForecastTable->setRowCount(static_cast<int>(lesson.forecast.size()));
  int most = 1;
  for (std::size_t d = 0; d < lesson.forecast.size(); ++d) {
    const Day day = v.today + static_cast<Day>(d);
    const int row = static_cast<int>(d);
    *set << lesson.forecast[d];
    most = std::max(most, lesson.forecast[d]);
    SetCell(ForecastTable, row, 0, d == 0 ? QStringLiteral("heute") : DayText(day), false);
    SetCell(ForecastTable, row, 1, QString::number(lesson.forecast[d]), true);
  }
  auto* bars = new QBarSeries;
  bars->append(set);
  forecast->addSeries(bars);
  // Bars stand at their index: a value axis labels every fifth day, where thirty category
  // labels would not fit.
  auto* dayAxis = new QValueAxis;
  dayAxis->setRange(-0.5, static_cast<double>(lesson.forecast.size()) - 0.5);
  dayAxis->setTickType(QValueAxis::TicksDynamic);
  dayAxis->setTickAnchor(0);
  dayAxis->setTickInterval(5);
  dayAxis->setLabelFormat(QStringLiteral("%d"));
  dayAxis->setTitleText(QStringLiteral("Tage ab heute"));
  forecast->addAxis(dayAxis, Qt::AlignBottom);
  bars->attachAxis(dayAxis);
  auto* countAxis = new QValueAxis;
  countAxis->setRange(0, most);
  CountTicks(countAxis);
  forecast->addAxis(countAxis, Qt::AlignLeft);
  bars->attachAxis(countAxis);
  bars->setBarWidth(0.8);
  forecast->legend()->hide();

  // The tests, oldest first, one point each.
  QChart* history =
      NewChart(HistoryChart, QStringLiteral("Fehlerquozient der Tests: %1").arg(name));
  auto* line = new QLineSeries;
  line->setName(QStringLiteral("Fehlerquozient (%)"));
  auto* points = new QScatterSeries;
  points->setMarkerSize(8);
  HistoryTable->setRowCount(static_cast<int>(v.history.size()));
  for (std::size_t i = 0; i < v.history.size(); ++i) {
    const TestResult& r = v.history[i];
    const int row = static_cast<int>(i);
    line->append(static_cast<double>(i + 1), r.quotient);
    points->append(static_cast<double>(i + 1), r.quotient);
    SetCell(HistoryTable, row, 0, DayText(r.day), false);
    SetCell(HistoryTable, row, 1, QString::number(r.right), true);
    SetCell(HistoryTable, row, 2, QString::number(r.asked), true);
    SetCell(HistoryTable, row, 3, QStringLiteral("%1 %").arg(r.quotient), true);
  }
  history->addSeries(line);
  history->addSeries(points);
  auto* testAxis = new QValueAxis;
  const auto tests = static_cast<double>(v.history.size());
  testAxis->setRange(0, std::max(2.0, tests + 1));
  testAxis->setLabelFormat(QStringLiteral("%d"));
  // Whole tests only: one tick per test, or per ten when there are many.
  testAxis->setTickType(QValueAxis::TicksDynamic);
  testAxis->setTickAnchor(0);
  testAxis->setTickInterval(tests > 20 ? 10 : 1);
  testAxis->setTitleText(QStringLiteral("Test"));
  auto* quotientAxis = new QValueAxis;
  quotientAxis->setRange(0, 100);
  quotientAxis->setLabelFormat(QStringLiteral("%d %%"));
  history->addAxis(testAxis, Qt::AlignBottom);
  history->addAxis(quotientAxis, Qt::AlignLeft);
  for (QXYSeries* s : {static_cast<QXYSeries*>(line), static_cast<QXYSeries*>(points)}) {
    s->attachAxis(testAxis);
    s->attachAxis(quotientAxis);
  }
  history->legend()->hide();
}

void TLernstand::LessonTableSelect() {
  if (rendering_) return;
  const int row = LessonTable->currentRow();
  if (row < 0) return;
  overview_->selectLesson(static_cast<std::size_t>(row));
  rendering_ = true;
  renderLesson();
  rendering_ = false;
}

void TLernstand::ResetButtonClick() {
  overview_->resetLesson();
  render();
}

}  // namespace merkhaus
