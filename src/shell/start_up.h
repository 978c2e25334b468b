#pragma once

#include <QApplication>
#include <memory>

#include "shell/app_context.h"  // the window classes, declared with Forms

namespace merkhaus {

// The application object. An input or output error that a DataFile routine meets after opening
// a file ends the learner's current action with an error box, here, instead of ending the
// program.
class MerkhausApplication : public QApplication {
 public:
  MerkhausApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
  void setContext(AppContext* ctx) { ctx_ = ctx; }

 private:
  AppContext* ctx_ = nullptr;
};

// Loads the German Qt translations, so that the standard dialogs speak German.
void InstallGermanTranslations(QApplication& app);

// Every window of the program, created once in a fixed order and kept until the end.
class Windows {
 public:
  explicit Windows(AppContext& ctx);
  ~Windows();
  TForm1& main() { return *Form1_; }

 private:
  AppContext& ctx_;
  std::unique_ptr<TForm1> Form1_;
  std::unique_ptr<TOKBottomDlg> OKBottomDlg_;
  std::unique_ptr<TForm4> Form4_;
  std::unique_ptr<TForm6> Form6_;
  std::unique_ptr<Tstudy> study_;
  std::unique_ptr<TVocDataModule> VocDataModule_;
  std::unique_ptr<TOKBottomDlg1> OKBottomDlg1_;
  std::unique_ptr<THeaderInfoDlg> HeaderInfoDlg_;
  std::unique_ptr<TOptionsDLG> OptionsDLG_;
  std::unique_ptr<TQuickEdit> QuickEdit_;
  std::unique_ptr<TAboutBox> AboutBox_;
};

// Handles a DataFile named on the command line: checks it and acts on `openreact`.
void HandleCommandLine(AppContext& ctx);

}  // namespace merkhaus
