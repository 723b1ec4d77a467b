// TFlagScope: a bool that is true for exactly as long as a scope runs.
#pragma once

#include <utility>

// Sets the flag for the scope and gives it back the value it had, also when an exception leaves the scope:
// a nested scope does not clear what an outer one set.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag), previous_(std::exchange(flag, true)) {}
  ~TFlagScope() { flag_ = previous_; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
  bool previous_;
};
