// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace merkhaus {

class SpecialCharEdit;
struct SpecialCharTable;

// The part of the window that the practice and the test share: the lesson heading with "i", the
// two sides of the entry, its comment and the answer field, and the column with "Optionen",
// "Lektion" and "Ende". The column's third place (y 74) is left to the mode's own button.
struct QuestionForm {
  QLabel* Label4;            // lesson name
  QLabel* Label13;           // lesson comment
  QPushButton* Button7;      // i
  QLabel* Label2;            // foreign language
  QPushButton* VorlesenBtn;  // reads the foreign side; Ctrl+L
  QPlainTextEdit* Memo1;     // A side
  QLabel* Label1;            // native language
  QPlainTextEdit* Memo2;     // B side
  QLabel* Label3;
  QPlainTextEdit* Memo3;  // comment
  QLabel* Label12;
  SpecialCharEdit* Edit1;  // the answer
  QPushButton* Button1;    // Optionen
  QPushButton* Button8;    // Lektion
  QPushButton* Button6;    // Ende
  QFrame* buttonColumn;
};

// Places the shared part on the window; the middle panel is mainHeight high.
void BuildQuestionForm(QuestionForm& form, QWidget* window, const SpecialCharTable& specialChars,
                       int mainHeight);

// Puts a text into one of the boxes and returns what a screen reader is to be told of it: the
// box's column and the text ("Englisch: to go") when the text is new and not empty, otherwise
// nothing (the learner has heard it already).
QString ShowInBox(QPlainTextEdit* box, const QLabel* column, const QString& text);

}  // namespace merkhaus
