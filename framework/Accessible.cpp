// TControlAccessible: the system's IAccessible for a control, answering name, value, role and default
// action from the control's TAccessibleInfo.
#include "framework/Accessible.h"

#include <oleacc.h>

#include <memory>
#include <utility>

#include "framework/Handles.h"

namespace {

bool IsSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT ToBstr(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

// A text the program gives, or the system's when the program has none for it.
template <class System>
HRESULT TextOr(const VARIANT& child, const std::function<std::wstring()>& text, BSTR* out, System system) {
  if (!IsSelf(child) || !text) return system();
  try {
    return ToBstr(text(), out);
  } catch (...) {
    return E_FAIL;  // nothing thrown crosses COM
  }
}

class TControlAccessible final : public IAccessible, public IOleWindow {
 public:
  TControlAccessible(ComPtr<IAccessible> system, std::weak_ptr<const TAccessibleInfo> info, HWND window)
      : system_(std::move(system)), info_(std::move(info)), window_(window) {}
  ~TControlAccessible() = default;  // through Release only
  TControlAccessible(const TControlAccessible&) = delete;
  TControlAccessible& operator=(const TControlAccessible&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
        IsEqualIID(iid, __uuidof(IAccessible))) {
      *out = static_cast<IAccessible*>(this);
    } else if (IsEqualIID(iid, __uuidof(IOleWindow))) {
      *out = static_cast<IOleWindow*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) std::unique_ptr<TControlAccessible> last(this);
    return static_cast<ULONG>(left);
  }

  // IDispatch: the accessibility type library's description, invoked on this object so that a client
  // calling through IDispatch gets the same answers.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return system_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return system_->GetTypeInfo(index, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override {
    return system_->GetIDsOfNames(iid, names, count, lcid, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override {
    ComPtr<ITypeInfo> type;
    if (FAILED(system_->GetTypeInfo(0, lcid, type.Put())) || !type) {
      return system_->Invoke(id, iid, lcid, flags, params, result, exception, argError);
    }
    return DispInvoke(static_cast<IAccessible*>(this), type.Get(), id, flags, params, result, exception,
                      argError);
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return system_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    return system_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return system_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    const auto info = info_.lock();
    return TextOr(child, info ? info->Name : nullptr, name,
                  [&] { return system_->get_accName(child, name); });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    const auto info = info_.lock();
    return TextOr(child, info ? info->Value : nullptr, value,
                  [&] { return system_->get_accValue(child, value); });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return system_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    const auto info = info_.lock();
    if (!info || !IsSelf(child) || info->Role == 0) return system_->get_accRole(child, role);
    if (!role) return E_POINTER;
    role->vt = VT_I4;
    role->lVal = info->Role;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return system_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return system_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return system_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return system_->get_accKeyboardShortcut(child, keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return system_->get_accFocus(focus); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return system_->get_accSelection(selection);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    const auto info = info_.lock();
    if (info && IsSelf(child) && !info->DefaultAction.empty()) return ToBstr(info->DefaultAction, action);
    return system_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return system_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    return system_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return system_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    return system_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    const auto info = info_.lock();
    if (!info || !IsSelf(child) || !info->DoDefaultAction) return system_->accDoDefaultAction(child);
    try {
      info->DoDefaultAction();
      return S_OK;
    } catch (...) {
      return E_FAIL;
    }
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return system_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return system_->put_accValue(child, value);
  }

  // IOleWindow: WindowFromAccessibleObject asks it.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 private:
  LONG refs_ = 1;
  ComPtr<IAccessible> system_;
  std::weak_ptr<const TAccessibleInfo> info_;  // the control's, while it lives
  HWND window_;
};

}  // namespace

void SetAccessibleInfo(TWinControl& control, TAccessibleInfo info) {
  auto shared = std::make_shared<const TAccessibleInfo>(std::move(info));
  control.HookWndProc([&control, shared](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_GETOBJECT || static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return false;
    HWND window = control.Handle();
    ComPtr<IAccessible> system;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(system.Put()))) ||
        !system) {
      return false;
    }
    ComPtr<TControlAccessible> object;
    try {
      object = ComPtr<TControlAccessible>::Attach(
          std::make_unique<TControlAccessible>(system, shared, window).release());  // the first reference
    } catch (const std::bad_alloc&) {
      return false;
    }
    const LRESULT answer =
        LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object.Get()));
    if (answer < 0) return false;  // the system's object, then
    result = answer;
    return true;
  });
}

void NotifyAccessibleValueChange(TWinControl& control) {
  if (control.HandleAllocated()) {
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, control.Handle(), OBJID_CLIENT, CHILDID_SELF);
  }
}
