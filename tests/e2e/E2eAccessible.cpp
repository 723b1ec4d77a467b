// What a screen reader in the test's process reads of the program's accessible objects.
#include "tests/e2e/E2eAccessible.h"

#include "framework/Handles.h"

namespace e2e {

Seen Read(IAccessible& object) {
  Seen seen;
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    BSTR value = nullptr;
    std::wstring result;
    if (SUCCEEDED((object.*get)(self, &value)) && value) result.assign(value, SysStringLen(value));
    SysFreeString(value);
    return result;
  };
  seen.name = text(&IAccessible::get_accName);
  seen.description = text(&IAccessible::get_accDescription);
  seen.action = text(&IAccessible::get_accDefaultAction);
  VARIANT v{};
  if (SUCCEEDED(object.get_accRole(self, &v)) && v.vt == VT_I4) seen.role = v.lVal;
  VariantClear(&v);
  if (SUCCEEDED(object.get_accState(self, &v)) && v.vt == VT_I4) seen.state = v.lVal;
  VariantClear(&v);
  long x = 0, y = 0, w = 0, h = 0;
  if (SUCCEEDED(object.accLocation(&x, &y, &w, &h, self))) seen.box = {x, y, x + w, y + h};
  return seen;
}

Seen ReadWindow(HWND window) {
  ComPtr<IAccessible> object;
  if (AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                 reinterpret_cast<void**>(object.Put())) != S_OK ||
      !object)
    return {};
  return Read(*object.Get());
}

}  // namespace e2e
