// TRingAccessible: the ring window's IAccessible. Every call comes on the window's thread (in this process,
// or from another one through the apartment's message loop).
#include "GDIButtons/RingAccessible.h"

#include <cmath>
#include <string>
#include <utility>

#include "GDIButtons/DragGDIButton.h"
#include "GDIButtons/RingAccessibleLogic.h"
#include "framework/DebugTrace.h"

namespace {

HRESULT PutText(const std::wstring& text, BSTR* out) {
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

bool IsSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

}  // namespace

TRingAccessible::TRingAccessible(TDragGDIButton& button) : button_(&button) {}

void TRingAccessible::Disconnect() {
  if (!button_) return;
  button_ = nullptr;
  CoDisconnectObject(static_cast<IAccessible*>(this), 0);  // other processes' proxies answer disconnected
}

template <class Answer>
HRESULT TRingAccessible::Connected(Answer&& answer) noexcept {
  if (!button_ || !button_->HandleAllocated()) return RPC_E_DISCONNECTED;
  try {
    return answer(*button_);
  } catch (...) {
    TraceCaughtException(L"TRingAccessible");
    return E_UNEXPECTED;
  }
}

template <class Answer>
HRESULT TRingAccessible::ForSelf(const VARIANT& child, Answer&& answer) noexcept {
  if (!IsSelf(child)) return E_INVALIDARG;
  return Connected(std::forward<Answer>(answer));
}

HRESULT TRingAccessible::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG TRingAccessible::AddRef() {
  return ++refs_;
}

ULONG TRingAccessible::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT TRingAccessible::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT TRingAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT TRingAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}
HRESULT TRingAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

HRESULT TRingAccessible::get_accParent(IDispatch** parent) {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  return Connected([&](TDragGDIButton& button) {
    // The window's own object, which the system makes for every window.
    return AccessibleObjectFromWindow(button.Handle(), static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
  });
}

HRESULT TRingAccessible::get_accChildCount(long* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return Connected([](TDragGDIButton&) { return S_OK; });
}

HRESULT TRingAccessible::get_accChild(VARIANT, IDispatch** dispatch) {
  if (!dispatch) return E_POINTER;
  *dispatch = nullptr;
  return Connected([](TDragGDIButton&) { return E_INVALIDARG; });
}

HRESULT TRingAccessible::get_accName(VARIANT child, BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  return ForSelf(child, [&](TDragGDIButton& button) {
    const wchar_t* shown = button.FileInfo.szDisplayName;
    return PutText(vantel::AccessibleName(std::wstring(shown, wcsnlen(shown, MAX_PATH))), name);
  });
}

HRESULT TRingAccessible::get_accValue(VARIANT child, BSTR* value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return ForSelf(child, [](TDragGDIButton&) { return DISP_E_MEMBERNOTFOUND; });
}

HRESULT TRingAccessible::get_accDescription(VARIANT child, BSTR* description) {
  if (!description) return E_POINTER;
  *description = nullptr;
  return ForSelf(child, [&](TDragGDIButton& button) {
    return button.FileName().empty() ? S_FALSE : PutText(button.FileName(), description);
  });
}

HRESULT TRingAccessible::get_accRole(VARIANT child, VARIANT* role) {
  if (!role) return E_POINTER;
  VariantInit(role);
  return ForSelf(child, [&](TDragGDIButton&) {
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_PUSHBUTTON;
    return S_OK;
  });
}

HRESULT TRingAccessible::get_accState(VARIANT child, VARIANT* state) {
  if (!state) return E_POINTER;
  VariantInit(state);
  return ForSelf(child, [&](TDragGDIButton& button) {
    state->vt = VT_I4;
    state->lVal = static_cast<long>(vantel::AccessibleState(IsWindowVisible(button.Handle()) != FALSE,
                                                            button.HasFocus(), button.PointerHovers()));
    return S_OK;
  });
}

HRESULT TRingAccessible::get_accHelp(VARIANT child, BSTR* help) {
  if (!help) return E_POINTER;
  *help = nullptr;
  return ForSelf(child, [](TDragGDIButton&) { return S_FALSE; });
}

HRESULT TRingAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
  if (file) *file = nullptr;
  if (topic) *topic = 0;
  return ForSelf(child, [](TDragGDIButton&) { return DISP_E_MEMBERNOTFOUND; });
}

HRESULT TRingAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  if (!shortcut) return E_POINTER;
  *shortcut = nullptr;
  return ForSelf(child, [](TDragGDIButton&) { return S_FALSE; });
}

HRESULT TRingAccessible::get_accFocus(VARIANT* child) {
  if (!child) return E_POINTER;
  VariantInit(child);
  return Connected([&](TDragGDIButton& button) {
    // The focus is the window's keyboard focus, as the system's own objects have it.
    if (!button.HasFocus()) return S_FALSE;
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
    return S_OK;
  });
}

HRESULT TRingAccessible::get_accSelection(VARIANT* children) {
  if (!children) return E_POINTER;
  VariantInit(children);
  return Connected([](TDragGDIButton&) { return S_FALSE; });
}

HRESULT TRingAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
  if (!action) return E_POINTER;
  *action = nullptr;
  return ForSelf(child, [&](TDragGDIButton& button) {
    if (button.FileName().empty()) return S_FALSE;
    return PutText(button.Expands() ? vantel::kExpandAction : vantel::kOpenAction, action);
  });
}

HRESULT TRingAccessible::accSelect(long, VARIANT child) {
  return ForSelf(child, [](TDragGDIButton&) { return DISP_E_MEMBERNOTFOUND; });
}

HRESULT TRingAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
  if (!left || !top || !width || !height) return E_POINTER;
  *left = *top = *width = *height = 0;
  return ForSelf(child, [&](TDragGDIButton& button) {
    const TPieRect* pie = button.PieRect();
    if (!pie) return S_FALSE;
    const vantel::RectF box = vantel::SliceBox(button.ButtonKind(), pie->Values());
    // The pie is in the button's pixels, which start at its place on the screen.
    *left = button.Left() + std::lround(box.X);
    *top = button.Top() + std::lround(box.Y);
    *width = std::lround(box.X + box.Width) - std::lround(box.X);
    *height = std::lround(box.Y + box.Height) - std::lround(box.Y);
    return S_OK;
  });
}

HRESULT TRingAccessible::accNavigate(long, VARIANT, VARIANT* end) {
  if (!end) return E_POINTER;
  VariantInit(end);
  return Connected([](TDragGDIButton&) { return DISP_E_MEMBERNOTFOUND; });
}

HRESULT TRingAccessible::accHitTest(long x, long y, VARIANT* child) {
  if (!child) return E_POINTER;
  VariantInit(child);
  return Connected([&](TDragGDIButton& button) {
    // The window takes the pointer only on its slice (its region), as the hit-test here does.
    if (!button.PointerOnShape(POINT{x, y})) return S_FALSE;
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
    return S_OK;
  });
}

HRESULT TRingAccessible::accDoDefaultAction(VARIANT child) {
  return ForSelf(child, [](TDragGDIButton& button) {
    if (button.FileName().empty()) return DISP_E_MEMBERNOTFOUND;
    // Opened from the window's own loop: the caller (a screen reader) does not wait for the shell or for
    // an error box.
    return PostMessageW(button.Handle(), kOpenMessage, 0, 0) ? S_OK : HRESULT_FROM_WIN32(GetLastError());
  });
}

HRESULT TRingAccessible::put_accName(VARIANT, BSTR) {
  return DISP_E_MEMBERNOTFOUND;
}
HRESULT TRingAccessible::put_accValue(VARIANT, BSTR) {
  return DISP_E_MEMBERNOTFOUND;
}
