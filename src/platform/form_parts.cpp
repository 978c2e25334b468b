// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/form_parts.h"

#include <QFrame>
#include <QGlyphRun>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextLayout>
#include <algorithm>
#include <limits>

#include "platform/qt_text.h"

namespace merkhaus {
namespace {

// Set by SetItalic: the widget shows its text slanted where the slanted face can draw it.
constexpr const char* kSlanted = "merkhausSlanted";

// True when the font, or a font the system stands in with, has a letter for every character of
// the text: nothing of it shows as an empty box.
bool DrawsAll(const QFont& font, const QString& text) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
    line.setLineWidth(std::numeric_limits<int>::max() / 4);
  layout.endLayout();
  for (const QGlyphRun& run : layout.glyphRuns()) {
    const QList<quint32> glyphs = run.glyphIndexes();
    if (std::find(glyphs.cbegin(), glyphs.cend(), 0u) != glyphs.cend()) return false;
  }
  return true;
}

}  // namespace

QFrame* MakePanel(QWidget* parent, const QRect& geometry) {
  auto* panel = new QFrame(parent);
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setFrameShadow(QFrame::Raised);
  panel->setGeometry(geometry);
  return panel;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, const QRect& geometry) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(geometry);
  return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, const QRect& geometry) {
  auto* button = new QPushButton(caption, parent);
  button->setGeometry(geometry);
  button->setAutoDefault(false);
  return button;
}

QPushButton* MakeClickOnlyButton(QWidget* parent, const QString& caption, const QRect& geometry) {
  auto* button = MakeButton(parent, caption, geometry);
  button->setFocusPolicy(Qt::ClickFocus);
  return button;
}

QPlainTextEdit* MakeMemo(QWidget* parent, const QRect& geometry) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setGeometry(geometry);
  memo->setReadOnly(true);
  memo->setFocusPolicy(Qt::NoFocus);
  FollowTextDirection(memo);
  return memo;
}

void ShowElided(QLabel* label, const QString& text) {
  FitSlant(label, text);
  label->setText(label->fontMetrics().elidedText(text, Qt::ElideRight, label->width()));
  label->setToolTip(text);
}

void SetBold(QWidget* w, double scale) {
  QFont font = w->font();
  font.setBold(true);
  if (scale != 1.0) font.setPointSizeF(font.pointSizeF() * scale);
  w->setFont(font);
}

void SetItalic(QWidget* w) {
  QFont font = w->font();
  font.setItalic(true);
  w->setFont(font);
  w->setProperty(kSlanted, true);
}

void FitSlant(QWidget* w, const QString& text) {
  if (!w->property(kSlanted).toBool()) return;
  QFont italic = w->font();
  italic.setItalic(true);
  QFont upright = italic;
  upright.setItalic(false);
  // A text that neither face draws whole stays as the window made it.
  w->setFont(DrawsAll(italic, text) || !DrawsAll(upright, text) ? italic : upright);
}

}  // namespace merkhaus
