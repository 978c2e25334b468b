// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace merkhaus {

// The one way a session shows its view while an action is still running: before a message box
// comes up, so that the learner sees what the box is about, and while a long search reads the
// DataFile. The session's window implements it by copying the view into its controls; tests and
// the command-line tool use NoRedraw.
class Redraw {
 public:
  virtual ~Redraw() = default;
  virtual void redraw() = 0;
};

class NoRedraw : public Redraw {
 public:
  void redraw() override {}
};

// A window that does not need to be shown mid-action.
inline Redraw& Unseen() {
  static NoRedraw none;
  return none;
}

}  // namespace merkhaus
