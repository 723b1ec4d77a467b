// TRingAccessible: what a screen reader sees of one ring window (the centre or a segment): a push button
// named by its file, described by its path, opened by its default action.
#pragma once

// clang-format off
#include "framework/Win32.h"
#include <oleacc.h>
// clang-format on

#include <atomic>

class TDragGDIButton;

class TRingAccessible final : public IAccessible {
 public:
  // The posted message that opens the button's file (accDoDefaultAction must not wait for the shell).
  static constexpr UINT kOpenMessage = WM_APP + 0x3B1;

  // Answers for `button` (non-owning) until Disconnect.
  explicit TRingAccessible(TDragGDIButton& button);
  TRingAccessible(const TRingAccessible&) = delete;
  TRingAccessible& operator=(const TRingAccessible&) = delete;

  // The window goes: every later call answers RPC_E_DISCONNECTED, and other processes' proxies are cut.
  void Disconnect();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch: no type information; clients call IAccessible's methods.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override;
  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

 private:
  ~TRingAccessible() = default;
  // Runs `answer` for the object itself: RPC_E_DISCONNECTED once the window went, E_INVALIDARG for a child
  // (it has none), E_UNEXPECTED for what it threw (nothing goes through the COM frame).
  template <class Answer>
  HRESULT ForSelf(const VARIANT& child, Answer&& answer) noexcept;
  template <class Answer>
  HRESULT Connected(Answer&& answer) noexcept;

  std::atomic<ULONG> refs_{1};  // a proxy of another apartment may release on its own thread
  TDragGDIButton* button_;      // null once disconnected
};
