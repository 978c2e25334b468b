// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A random source that answers from a script: each draw takes the next scripted value. A draw
// beyond the script or out of its range fails the test and throws, so a loop that keeps drawing
// cannot hang the test.

#include <gtest/gtest.h>

#include <deque>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "platform/random.h"

namespace mhtest {

class ScriptedRandom : public merkhaus::Random {
 public:
  ScriptedRandom() = default;
  ScriptedRandom(std::initializer_list<int> values) : script_(values) {}
  ~ScriptedRandom() override {
    EXPECT_TRUE(script_.empty()) << script_.size() << " scripted draws were never taken";
  }

  // Appends values to the script.
  ScriptedRandom& then(std::initializer_list<int> values) {
    script_.insert(script_.end(), values);
    return *this;
  }

  void reseed() override { ++reseeds; }
  int draw(int n) override {
    ranges.push_back(n);
    if (script_.empty()) {
      ADD_FAILURE() << "unscripted draw from 0.." << n - 1;
      throw std::logic_error("unscripted draw");
    }
    const int v = script_.front();
    script_.pop_front();
    if (v < 0 || v >= n) {
      ADD_FAILURE() << "scripted draw " << v << " is outside 0.." << n - 1;
      throw std::logic_error("scripted draw out of range");
    }
    return v;
  }

  bool done() const { return script_.empty(); }

  int reseeds = 0;          // how often the clock seed was asked for
  std::vector<int> ranges;  // the n of every draw, in order

 private:
  std::deque<int> script_;
};

}  // namespace mhtest
