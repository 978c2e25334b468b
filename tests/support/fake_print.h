// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The print dialog answered from a script: each showing takes the next answer. A confirmed
// dialog yields a printer that keeps the documents it is given, or one that fails with a
// message; a showing without a scripted answer fails the test and cancels.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/print.h"

namespace mhtest {

class ScriptedPrintDialog : public merkhaus::PrintDialog {
 public:
  ~ScriptedPrintDialog() override {
    for (std::size_t i = 0; i < answers_.size(); ++i)
      ADD_FAILURE() << "print dialog never shown";
  }

  // The learner confirms; the printer keeps what it prints in `printed`.
  ScriptedPrintDialog& answerPrint() {
    answers_.push_back(Answer{true, std::nullopt});
    return *this;
  }
  // The learner confirms, and the printer refuses with `error`.
  ScriptedPrintDialog& answerFailing(std::string error) {
    answers_.push_back(Answer{true, std::move(error)});
    return *this;
  }
  ScriptedPrintDialog& answerCancel() {
    answers_.push_back(Answer{false, std::nullopt});
    return *this;
  }
  // The learner prints into the PDF file `path`.
  ScriptedPrintDialog& answerPdf(std::string path) {
    answers_.push_back(Answer{true, std::nullopt, std::move(path)});
    return *this;
  }

  std::unique_ptr<merkhaus::PrintTarget> choosePrinter(const std::string& proposedPdf) override {
    proposedPdfs.push_back(proposedPdf);
    if (onShow) onShow();
    if (answers_.empty()) {
      ADD_FAILURE() << "unexpected print dialog";
      return nullptr;
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    if (!answer.confirm) return nullptr;
    return std::make_unique<Target>(*this, answer.error, answer.pdf);
  }

  bool done() const { return answers_.empty(); }

  std::function<void()> onShow;  // runs whenever the dialog is shown

  std::vector<std::string> proposedPdfs;         // the PDF file offered at each showing
  std::vector<merkhaus::PrintDocument> printed;  // every document a printer was given

 private:
  struct Answer {
    bool confirm;
    std::optional<std::string> error;
    std::string pdf = {};
  };

  class Target : public merkhaus::PrintTarget {
   public:
    Target(ScriptedPrintDialog& dialog, std::optional<std::string> error, std::string pdf)
        : dialog_(dialog), error_(std::move(error)), pdf_(std::move(pdf)) {}
    std::string pdfPath() const override { return pdf_; }
    bool print(const merkhaus::PrintDocument& document, std::string& error) override {
      if (error_) {
        error = *error_;
        return false;
      }
      dialog_.printed.push_back(document);
      return true;
    }

   private:
    ScriptedPrintDialog& dialog_;
    std::optional<std::string> error_;
    std::string pdf_;
  };

  std::deque<Answer> answers_;
};

}  // namespace mhtest
