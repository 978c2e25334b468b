// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace merkhaus {

// A captioned group of radio buttons, one of which is chosen by its index (-1: none), laid out
// in columns filled row by row.
class RadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  RadioGroup(const QString& caption, const QStringList& items, int columns,
             QWidget* parent = nullptr);

  int itemIndex() const;
  void setItemIndex(int index);
  QRadioButton* button(int index) const { return buttons_.value(index); }
  int count() const { return static_cast<int>(buttons_.size()); }

 signals:
  // The learner chose another item.
  void itemClicked(int index);

 private:
  QButtonGroup* group_;
  QList<QRadioButton*> buttons_;
};

}  // namespace merkhaus
