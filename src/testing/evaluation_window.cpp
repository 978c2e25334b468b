// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/evaluation_window.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/picture.h"
#include "platform/qt_text.h"
#include "testing/test_window.h"

namespace merkhaus {
namespace {

constexpr int kRows = 255;  // data rows below the header row
constexpr int kColumns = 5;
constexpr int kWidths[kColumns] = {36, 119, 119, 118, 404};

}  // namespace

Ttst_ausw::Ttst_ausw(Services& services, TTesten& test, int helpContext)
    : QWidget(&test, Qt::Window), services_(services), test_(test) {
  setObjectName(QStringLiteral("tst_ausw"));
  // It comes up beside the test while the learner goes on typing there.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowTitle(QStringLiteral("Testauswertung"));
  resize(583, 353);

  StringGrid1 = new QTableWidget(kRows, kColumns, this);
  StringGrid1->verticalHeader()->hide();
  // Left-aligned like the cells, so that the caption of a column cut at the window's edge shows.
  StringGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  StringGrid1->verticalHeader()->setMinimumSectionSize(16);
  StringGrid1->verticalHeader()->setDefaultSectionSize(16);
  StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  for (int c = 0; c < kColumns; ++c)
    StringGrid1->setColumnWidth(c, kWidths[c]);
  StringGrid1->viewport()->installEventFilter(this);
  StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->setWordWrap(false);
  StringGrid1->setAccessibleName(QStringLiteral("Testauswertung"));
  // Tab goes on to "Nur falsche anzeigen"; the arrow keys move in the table.
  StringGrid1->setTabKeyNavigation(false);

  Panel1 = new QFrame(this);
  Panel1->setFixedHeight(33);
  CheckBox1 = new QCheckBox(QStringLiteral("Nur falsche anzeigen"), Panel1);
  CheckBox1->setGeometry(8, 8, 150, 17);
  CheckBox1->setChecked(true);
  Bevel1 = new QFrame(Panel1);
  Bevel1->setFrameShape(QFrame::Box);
  Bevel1->setFrameShadow(QFrame::Sunken);
  Bevel1->setGeometry(164, 8, 9, 17);
  Label1 = MakeLabel(Panel1, QStringLiteral("Richtig"), QRect(184, 8, 48, 17));
  Label2 = MakeLabel(Panel1, QStringLiteral("<"), QRect(234, 8, 70, 17));
  Label3 = MakeLabel(Panel1, QStringLiteral("Fehlerquozient:"), QRect(306, 8, 100, 17));
  Label4 = MakeLabel(Panel1, QStringLiteral("<"), QRect(410, 8, 70, 17));
  SetBold(Label2);
  SetBold(Label4);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(StringGrid1);
  layout->addWidget(Panel1);

  evaluation_ = std::make_unique<TestEvaluation>(test.session(), services_.messages);
  FormCreate();

  OnEvent(CheckBox1, &QCheckBox::clicked, this, &Ttst_ausw::CheckBox1Click, services_.messages);
  AttachHelp(this, services_.help, helpContext);
}

Ttst_ausw::~Ttst_ausw() = default;

void Ttst_ausw::FormCreate() {
  StringGrid1->setHorizontalHeaderLabels(
      {QStringLiteral("Nr"), QStringLiteral("Fremdwort"), QStringLiteral("Übersetzung"),
       QStringLiteral("Ihre Eingabe"), QStringLiteral("Kommentare")});
  // The first column numbers the rows (not the entries) and, like the header, is no data.
  const QBrush fixed = palette().brush(QPalette::Button);
  for (int r = 0; r < kRows; ++r) {
    auto* number = new QTableWidgetItem(QString::number(r + 1));
    number->setFlags(Qt::ItemIsEnabled);
    number->setBackground(fixed);
    StringGrid1->setItem(r, 0, number);
    for (int c = 1; c < kColumns; ++c)
      StringGrid1->setItem(r, c, new QTableWidgetItem);
  }
}

void Ttst_ausw::ShowEvaluation() {
  PlaceBesideTest();
  show();
  raise();
  FitColumns();
  if (evaluation_->fill(CheckBox1->isChecked())) render();
}

bool Ttst_ausw::eventFilter(QObject* watched, QEvent* event) {
  if (watched == StringGrid1->viewport() && event->type() == QEvent::Resize) FitColumns();
  return QWidget::eventFilter(watched, event);
}

void Ttst_ausw::FitColumns() {
  const int width = StringGrid1->viewport()->width();
  int designed = 0;
  for (int c = 1; c < kColumns; ++c)
    designed += kWidths[c];
  // The row numbers keep their width; the texts share the rest, the last one takes what rounding
  // left over.
  int left = std::max(0, width - kWidths[0]);
  const int shared = left;
  for (int c = 1; c < kColumns; ++c) {
    const int w = c == kColumns - 1 ? left : shared * kWidths[c] / designed;
    StringGrid1->setColumnWidth(c, w);
    left -= w;
  }
}

void Ttst_ausw::CheckBox1Click() {
  ShowEvaluation();
}

void Ttst_ausw::render() {
  const EvaluationView& v = evaluation_->view();
  Label2->setText(Utf8ToQString(v.right));
  Label4->setText(Utf8ToQString(v.quotient));
  for (int r = 0; r < kRows; ++r) {
    const bool filled = static_cast<std::size_t>(r) < v.rows.size();
    const EvaluationRow empty;
    const EvaluationRow& row = filled ? v.rows[static_cast<std::size_t>(r)] : empty;
    const WinString* texts[] = {&row.foreign, &row.native, &row.answer, &row.comment};
    // The grid shows the wrong answers in their words only; a screen reader also hears the
    // verdict with the row's number and each cell.
    const QString verdict =
        !filled ? QString() : (row.right ? QStringLiteral("Richtig") : QStringLiteral("Falsch"));
    QTableWidgetItem* number = StringGrid1->item(r, 0);
    number->setData(Qt::AccessibleTextRole,
                    filled ? QStringLiteral("%1, %2").arg(r + 1).arg(verdict) : QVariant());
    for (int c = 1; c < kColumns; ++c) {
      const QString text = ToQString(*texts[c - 1]);
      QTableWidgetItem* item = StringGrid1->item(r, c);
      item->setText(text);
      AlignByDirection(*item);
      // A text longer than its column shows whole on hover.
      item->setToolTip(text);
      item->setData(Qt::AccessibleDescriptionRole, filled ? QVariant(verdict) : QVariant());
    }
  }
}

void Ttst_ausw::PlaceBesideTest() {
  if (placed_ || !test_.isVisible()) return;
  placed_ = true;
  const QRect screen = test_.screen()->availableGeometry();
  const QRect anchor = test_.frameGeometry();
  // Not shown yet, this window's frame is unknown; it is the test window's.
  const QSize outer = size() + (anchor.size() - test_.geometry().size());
  constexpr int kGap = 8;
  const auto clampX = [&](int x) {
    return std::clamp(x, screen.left(),
                      std::max(screen.left(), screen.right() + 1 - outer.width()));
  };
  const auto clampY = [&](int y) {
    return std::clamp(y, screen.top(),
                      std::max(screen.top(), screen.bottom() + 1 - outer.height()));
  };
  const QPoint beside[] = {
      {anchor.right() + 1 + kGap, clampY(anchor.top())},
      {anchor.left() - kGap - outer.width(), clampY(anchor.top())},
      {clampX(anchor.left()), anchor.bottom() + 1 + kGap},
      {clampX(anchor.left()), anchor.top() - kGap - outer.height()},
  };
  for (const QPoint& p : beside) {
    if (screen.contains(QRect(p, outer))) {
      move(p);
      return;
    }
  }
  // A small screen: the test window goes to the top and the evaluation below it, when both fit.
  if (anchor.height() + kGap + outer.height() <= screen.height()) {
    test_.move(anchor.left(), screen.top());
    move(clampX(anchor.left()), screen.top() + anchor.height() + kGap);
  }
}

}  // namespace merkhaus
