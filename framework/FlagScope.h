// TFlagScope: a bool that is true for exactly as long as a scope runs.
#pragma once

// Sets the flag for the scope and clears it again, also when an exception leaves the scope.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};
