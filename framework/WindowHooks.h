// TWindowHooks: handlers that see a window's messages before its own procedure does.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "framework/Win32.h"

// A hook returns true to consume the message, with the message's result in its last argument.
using TWindowHook = std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)>;

class TWindowHooks {
 public:
  // Adds a hook after the others; the number is for Remove.
  int Add(TWindowHook hook) {
    const int id = nextId_++;
    hooks_.push_back({id, std::move(hook)});
    return id;
  }
  void Remove(int id) {
    std::erase_if(hooks_, [id](const Entry& entry) { return entry.id == id; });
  }
  void Clear() { hooks_.clear(); }

  // Offers the message to each hook in turn; true when one consumed it. A hook may add or remove hooks,
  // itself among them, while it runs: the round goes on over the hooks there were when it began.
  bool Run(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) const {
    if (hooks_.empty()) return false;
    const std::vector<Entry> hooks = hooks_;
    for (const Entry& entry : hooks) {
      LRESULT answer = 0;
      if (entry.hook && entry.hook(msg, wParam, lParam, answer)) {
        result = answer;
        return true;
      }
    }
    return false;
  }

 private:
  struct Entry {
    int id;
    TWindowHook hook;
  };
  std::vector<Entry> hooks_;
  int nextId_ = 1;
};
