// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/form_parts.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace merkhaus {

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
  return memo;
}

void ShowElided(QLabel* label, const QString& text) {
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
}

}  // namespace merkhaus
