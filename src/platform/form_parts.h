#pragma once

#include <QRect>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

namespace merkhaus {

// The building blocks of the windows, placed at fixed positions as on their forms.

// A framed panel that groups controls.
QFrame* MakePanel(QWidget* parent, const QRect& geometry);
QLabel* MakeLabel(QWidget* parent, const QString& text, const QRect& geometry);
// A button that Enter does not press unless the window makes it its default button.
QPushButton* MakeButton(QWidget* parent, const QString& caption, const QRect& geometry);

// Font styles of captions and names.
void SetBold(QWidget* w, double scale = 1.0);
void SetItalic(QWidget* w);

}  // namespace merkhaus
