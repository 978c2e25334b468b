// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "config/options.h"
#include "flows/lesson_context.h"
#include "flows/speaker.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace merkhaus {

// The options page "Sprache": "Fremdwort automatisch vorlesen", the engine, the rate, and the
// voice of each foreign language, with "Probe" to hear it. Like every page it edits the live
// options at once; the options dialog keeps or takes back the change. What the system offers
// is asked when the page is shown, not when it is made, so that start-up never waits for it.
class TSpeechPage : public QWidget {
  Q_OBJECT
 public:
  TSpeechPage(Options& options, Speaker& speaker, const LessonContext& lesson, QWidget* parent);

  QCheckBox* autoSpeak;
  QLabel* reasonLabel;  // why there is no speech, and what to install
  QLabel* Label1;
  QComboBox* engineBox;
  QLabel* Label2;
  QSpinBox* rateBox;
  QLabel* Label3;
  QComboBox* languageBox;  // the item data: the language's key
  QLabel* Label4;
  QComboBox* voiceBox;  // the item data: the voice's name, empty for the language's first
  QPushButton* ProbeBtn;

  // The options into the controls (when the dialog opens, and after "Abbrechen").
  void ShowOptions();

  void engineBoxChange();
  void languageBoxChange();
  void voiceBoxChange();
  void ProbeBtnClick();

 private:
  void fillLanguages();
  void fillVoices();

  Options& options_;
  Speaker& speaker_;
  const LessonContext& lesson_;
};

}  // namespace merkhaus
