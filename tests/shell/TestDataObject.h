// An in-process IDataObject for the drop-target tests: one format, answers that can be made to fail.
#pragma once

#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/Win32.h"

// Lives on the test's stack; the reference count is only watched (the target must give back what it took).
class TestDataObject final : public IDataObject {
 public:
  // A CF_HDROP list (wide DROPFILES).
  static HGLOBAL DropFiles(const std::vector<std::wstring>& files) {
    size_t chars = 1;
    for (const auto& f : files) chars += f.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* p = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(header) + sizeof(DROPFILES));
    for (const auto& f : files) {
      std::memcpy(p, f.c_str(), (f.size() + 1) * sizeof(wchar_t));
      p += f.size() + 1;
    }
    GlobalUnlock(block);
    return block;
  }
  static HGLOBAL Text(const std::wstring& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    return block;
  }

  TestDataObject(CLIPFORMAT format, HGLOBAL data) : format_(format), data_(data) {}
  TestDataObject(const TestDataObject&) = delete;
  TestDataObject& operator=(const TestDataObject&) = delete;
  ~TestDataObject() { GlobalFree(data_); }

  HRESULT queryAnswer = S_OK;  // what QueryGetData says for the offered format
  HRESULT getAnswer = S_OK;    // what GetData says for it
  int getDataCalls = 0;
  LONG References() const { return refs_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
      *out = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }

  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
    if (f->cfFormat != format_ || f->dwAspect != DVASPECT_CONTENT || f->lindex != -1 ||
        !(f->tymed & TYMED_HGLOBAL))
      return DV_E_FORMATETC;
    return queryAnswer;
  }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* medium) override {
    ++getDataCalls;
    if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
    if (FAILED(getAnswer)) return getAnswer;
    const SIZE_T size = GlobalSize(data_);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(copy), GlobalLock(data_), size);
    GlobalUnlock(data_);
    GlobalUnlock(copy);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  LONG refs_ = 1;
  CLIPFORMAT format_;
  HGLOBAL data_;
};
