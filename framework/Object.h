// Root classes of the component framework: TObject, TPersistent and the plain notify event.
#pragma once

#include <functional>

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

class TPersistent : public TObject {
 public:
  // The object that owns this one in the persistence sense (a collection's owner, for instance).
  virtual TPersistent* GetOwner() { return nullptr; }
};

// Event senders are passed as TObject*; the handler decides what it needs to know.
using TNotifyEvent = std::function<void(TObject* sender)>;
