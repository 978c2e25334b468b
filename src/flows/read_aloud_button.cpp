// SPDX-License-Identifier: GPL-3.0-or-later
#include "flows/read_aloud_button.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

#include "flows/read_aloud.h"
#include "platform/form_parts.h"
#include "platform/qt_text.h"

namespace merkhaus {

QPushButton* MakeReadAloudButton(QWidget* parent, QWidget* window, const QString& caption,
                                 const QRect& geometry) {
  QPushButton* button = MakeClickOnlyButton(parent, caption, geometry);
  button->setObjectName(QStringLiteral("VorlesenBtn"));
  button->setAccessibleName(QStringLiteral("Vorlesen"));
  button->setAccessibleDescription(QStringLiteral("Liest das Fremdwort vor (Strg+L)"));
  auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), window);
  shortcut->setObjectName(QStringLiteral("VorlesenShortcut"));
  QObject::connect(shortcut, &QShortcut::activated, button, [button] {
    if (button->isEnabled() && button->isVisible()) button->click();
  });
  return button;
}

void ShowReadAloudState(QPushButton* button, const ReadAloud& speech, bool readable) {
  const std::string reason = speech.unavailableReason();
  button->setEnabled(reason.empty() && readable);
  button->setToolTip(reason.empty() ? QStringLiteral("Fremdwort vorlesen (Strg+L)")
                                    : Utf8ToQString(reason));
}

}  // namespace merkhaus
