// TTextDropTarget: the IDropTarget COM object behind a TTextTarget.
#pragma once

#include <ole2.h>

#include <memory>
#include <string>

#include "framework/Handles.h"
#include "framework/Win32.h"

class TTextTarget;

// Reference counted: the component holds one reference from its creation, OLE holds one while the
// window is registered. Every entry point keeps exceptions inside and hands them to the application.
class TTextDropTarget final : public IDropTarget {
  struct Key {};  // only Create makes one

 public:
  static ComPtr<TTextDropTarget> Create(TTextTarget& owner);
  TTextDropTarget(Key, TTextTarget& owner);
  TTextDropTarget(const TTextDropTarget&) = delete;
  TTextDropTarget& operator=(const TTextDropTarget&) = delete;

  // The component is going away: later OLE calls answer without touching it.
  void Detach();
  // The accepted formats changed: decide again whether the drag in progress can be dropped.
  void RecheckFormat();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

  bool Acceptable() const { return acceptable_; }
  DWORD CurrentEffect() const { return currentEffect_; }

 private:
  friend struct std::default_delete<TTextDropTarget>;
  ~TTextDropTarget() = default;

  bool ChooseEffect(DWORD keyState);  // sets currentEffect_
  bool FormatAvailable(IDataObject* data) const;
  POINT ToClient(POINTL point) const;
  template <class Fire>
  void FireSafely(Fire&& fire);

  LONG refs_ = 0;
  TTextTarget* owner_;        // non-owning; null once detached
  ComPtr<IDataObject> data_;  // the drag in progress, from DragEnter until DragLeave or Drop
  bool acceptable_ = false;
  DWORD allowedEffects_ = DROPEFFECT_NONE;
  DWORD currentEffect_ = DROPEFFECT_NONE;
  std::wstring dropText_;  // handed to OnDrop by the last drop
};
