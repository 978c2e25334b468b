// SPDX-License-Identifier: GPL-3.0-or-later
#include "flows/question_form.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "config/special_char_edit.h"
#include "flows/read_aloud_button.h"
#include "platform/form_parts.h"
#include "platform/keyboard_access.h"

namespace merkhaus {

void BuildQuestionForm(QuestionForm& form, QWidget* window, const SpecialCharTable& specialChars,
                       int mainHeight) {
  auto* top = MakePanel(window, QRect(4, 4, 380, 50));
  form.Label4 = MakeLabel(top, QString(), QRect(8, 4, 330, 20));
  QFont bold = form.Label4->font();
  bold.setBold(true);
  bold.setPixelSize(16);
  form.Label4->setFont(bold);
  form.Label13 = MakeLabel(top, QString(), QRect(8, 26, 330, 18));
  SetItalic(form.Label13);
  form.Button7 = MakeClickOnlyButton(top, QStringLiteral("i"), QRect(346, 12, 26, 26));

  auto* main = MakePanel(window, QRect(4, 58, 380, mainHeight));
  form.Label2 = MakeLabel(main, QString(), QRect(8, 4, 100, 16));
  form.VorlesenBtn =
      MakeReadAloudButton(main, window, QStringLiteral("&Vorlesen"), QRect(110, 1, 76, 20));
  form.Memo1 = MakeMemo(main, QRect(8, 22, 178, 62));
  form.Label1 = MakeLabel(main, QString(), QRect(194, 4, 178, 16));
  form.Memo2 = MakeMemo(main, QRect(194, 22, 178, 62));
  form.Label3 = MakeLabel(main, QStringLiteral("Kommentar:"), QRect(8, 90, 178, 16));
  form.Memo3 = MakeMemo(main, QRect(8, 108, 364, 52));
  auto* line = new QFrame(main);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(8, 166, 364, 4);
  form.Label12 = MakeLabel(main, QStringLiteral("&Antwort:"), QRect(8, 174, 178, 18));
  form.Edit1 = new SpecialCharEdit(specialChars, 255, main);
  form.Edit1->setGeometry(8, 194, 364, 24);
  form.Label12->setBuddy(form.Edit1);
  // The boxes are named after their column ("Englisch", "Deutsch"), which comes with the
  // DataFile (ShowInBox); until then after what they hold.
  form.Label2->setBuddy(form.Memo1);
  form.Label1->setBuddy(form.Memo2);
  form.Label3->setBuddy(form.Memo3);
  form.Memo1->setAccessibleName(QStringLiteral("Fremdsprache"));
  form.Memo2->setAccessibleName(QStringLiteral("Muttersprache"));
  form.Memo3->setAccessibleName(QStringLiteral("Kommentar"));
  form.Button7->setAccessibleDescription(QStringLiteral("Info zur Lektion"));

  form.buttonColumn = MakePanel(window, QRect(390, 4, 95, 164));
  form.Button1 =
      MakeClickOnlyButton(form.buttonColumn, QStringLiteral("Optionen"), QRect(6, 6, 83, 28));
  form.Button8 =
      MakeClickOnlyButton(form.buttonColumn, QStringLiteral("Lektion"), QRect(6, 40, 83, 28));
  form.Button6 =
      MakeClickOnlyButton(form.buttonColumn, QStringLiteral("Ende"), QRect(6, 126, 83, 30));
  SetBold(form.Button6);
  InstallControlTabRing(window);
}

QString ShowInBox(QPlainTextEdit* box, const QLabel* column, const QString& text) {
  QString name = column->text();
  if (name.endsWith(QLatin1Char(':'))) name.chop(1);
  // Set only when it changes: every change is reported to the screen reader.
  if (!name.isEmpty() && name != box->accessibleName()) box->setAccessibleName(name);
  if (box->toPlainText() == text) return {};
  box->setPlainText(text);
  if (text.trimmed().isEmpty()) return {};
  return box->accessibleName() + QStringLiteral(": ") + text;
}

}  // namespace merkhaus
