// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/radio_group.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace merkhaus {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
  auto* grid = new QGridLayout(this);
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], this);
    group_->addButton(b, i);
    buttons_.append(b);
    grid->addWidget(b, i / columns, i % columns);
  }
  connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::itemClicked);
}

int RadioGroup::itemIndex() const {
  return group_->checkedId();
}

void RadioGroup::setItemIndex(int index) {
  if (index >= 0 && index < count()) {
    buttons_[index]->setChecked(true);
    return;
  }
  // An exclusive group keeps one button checked; it lets go only while not exclusive.
  group_->setExclusive(false);
  for (auto* b : buttons_)
    b->setChecked(false);
  group_->setExclusive(true);
}

}  // namespace merkhaus
