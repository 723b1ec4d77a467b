// Test helper: starts an OLE drag of files (or of plain text) and drops it at a given screen point by itself.
//
// drag_source.exe [--at X Y] [--from X Y] [--keys none|ctrl|shift|ctrlshift] [--button left|right]
//                 [--allow copy,move,link] [--text] [--timeout MS] [file...]
// --button is the logical mouse button the drag holds (left unless told): what the drag reports to the
// target, whichever physical button the user's hand holds (with swapped buttons, the right one for left).
// Prints "result=0x... effect=N" and exits with the drop effect (0..7) after a drop, 100 when the drag was
// cancelled, 101 on any other failure, 102 on bad usage.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Options {
  POINT at{-1, -1};
  POINT from{2, 2};
  DWORD keys = 0;            // MK_CONTROL / MK_SHIFT that the drag should carry
  bool rightButton = false;  // the logical button held: right instead of left
  DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  bool textOnly = false;
  DWORD timeoutMs = 15000;
  std::vector<std::wstring> files;
};

// Frees a global memory block unless ownership was passed on.
struct GlobalBlock {
  HGLOBAL handle = nullptr;
  explicit GlobalBlock(HGLOBAL h) : handle(h) {}
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  ~GlobalBlock() {
    if (handle) GlobalFree(handle);
  }
  HGLOBAL Release() {
    HGLOBAL h = handle;
    handle = nullptr;
    return h;
  }
};

// Builds the DROPFILES block (wide, double-NUL terminated) for the file list.
HGLOBAL MakeDropFiles(const std::vector<std::wstring>& files) {
  size_t chars = 1;
  for (const auto& f : files) chars += f.size() + 1;
  GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t)));
  if (!block.handle) return nullptr;
  auto* df = static_cast<DROPFILES*>(GlobalLock(block.handle));
  df->pFiles = sizeof(DROPFILES);
  df->fWide = TRUE;
  auto* p = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(df) + sizeof(DROPFILES));
  for (const auto& f : files) {
    std::wmemcpy(p, f.c_str(), f.size() + 1);
    p += f.size() + 1;
  }
  *p = L'\0';
  GlobalUnlock(block.handle);
  return block.Release();
}

HGLOBAL MakeText(const std::wstring& text) {
  GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
  if (!block.handle) return nullptr;
  std::wmemcpy(static_cast<wchar_t*>(GlobalLock(block.handle)), text.c_str(), text.size() + 1);
  GlobalUnlock(block.handle);
  return block.Release();
}

HGLOBAL CopyBlock(HGLOBAL source) {
  const SIZE_T size = GlobalSize(source);
  GlobalBlock copy(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!copy.handle) return nullptr;
  std::memcpy(GlobalLock(copy.handle), GlobalLock(source), size);
  GlobalUnlock(source);
  GlobalUnlock(copy.handle);
  return copy.Release();
}

// The objects live on wmain's stack for the whole drag, so the reference count only needs to be kept honest.
class DataObject final : public IDataObject {
 public:
  DataObject(CLIPFORMAT format, HGLOBAL data) : format_(format), data_(data) {}
  DataObject(const DataObject&) = delete;
  DataObject& operator=(const DataObject&) = delete;
  ~DataObject() {
    if (data_) GlobalFree(data_);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
      *out = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&refs_); }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* fmt, STGMEDIUM* medium) override {
    if (!fmt || !medium) return E_INVALIDARG;
    const HRESULT hr = QueryGetData(fmt);
    if (hr != S_OK) return hr;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = CopyBlock(data_);
    medium->pUnkForRelease = nullptr;
    return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* fmt) override {
    if (!fmt) return E_INVALIDARG;
    if (fmt->cfFormat != format_) return DV_E_FORMATETC;
    if (fmt->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (fmt->lindex != -1) return DV_E_LINDEX;
    if (!(fmt->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC fmt{format_, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return SHCreateStdEnumFmtEtc(1, &fmt, out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  LONG refs_ = 1;
  CLIPFORMAT format_;
  HGLOBAL data_;
};

// Drops by itself: the first query puts the cursor over the target, a few queries later (the drag loop has
// seen the new position and the target has answered) it drops. The wanted keys are put into this thread's
// keyboard state, which is where the drag loop reads them from.
class AutoDropSource final : public IDropSource {
 public:
  explicit AutoDropSource(const Options& options) : options_(options), start_(GetTickCount()) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
      *out = static_cast<IDropSource*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&refs_); }

  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
    ApplyKeys();
    if (escape || GetTickCount() - start_ > options_.timeoutMs) return DRAGDROP_S_CANCEL;
    if (options_.at.x < 0) return S_OK;  // manual mode: never drops by itself
    ++queries_;
    if (queries_ == 1) {
      SetCursorPos(options_.at.x, options_.at.y);
      return S_OK;
    }
    POINT p{};
    GetCursorPos(&p);
    if (p.x != options_.at.x || p.y != options_.at.y) {
      SetCursorPos(options_.at.x, options_.at.y);
      queries_ = 1;
      return S_OK;
    }
    return queries_ >= 6 ? DRAGDROP_S_DROP : S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

  void ApplyKeys() const {
    BYTE state[256];
    if (!GetKeyboardState(state)) return;
    state[VK_CONTROL] = (options_.keys & MK_CONTROL) ? 0x80 : 0;
    state[VK_LCONTROL] = state[VK_CONTROL];
    state[VK_SHIFT] = (options_.keys & MK_SHIFT) ? 0x80 : 0;
    state[VK_LSHIFT] = state[VK_SHIFT];
    state[VK_LBUTTON] = options_.rightButton ? 0 : 0x80;
    state[VK_RBUTTON] = options_.rightButton ? 0x80 : 0;
    SetKeyboardState(state);
  }

 private:
  LONG refs_ = 1;
  const Options& options_;
  DWORD start_;
  int queries_ = 0;
};

bool ParseArgs(int argc, wchar_t** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    auto next = [&](long& v) {
      if (i + 1 >= argc) return false;
      v = std::wcstol(argv[++i], nullptr, 10);
      return true;
    };
    if (a == L"--at" || a == L"--from") {
      POINT& p = a == L"--at" ? o.at : o.from;
      if (!next(p.x) || !next(p.y)) return false;
    } else if (a == L"--keys") {
      if (i + 1 >= argc) return false;
      const std::wstring k = argv[++i];
      o.keys = (k.find(L"ctrl") != std::wstring::npos ? MK_CONTROL : 0) |
               (k.find(L"shift") != std::wstring::npos ? MK_SHIFT : 0);
    } else if (a == L"--button") {
      if (i + 1 >= argc) return false;
      const std::wstring b = argv[++i];
      if (b != L"left" && b != L"right") return false;
      o.rightButton = b == L"right";
    } else if (a == L"--allow") {
      if (i + 1 >= argc) return false;
      const std::wstring k = argv[++i];
      o.allowed = (k.find(L"copy") != std::wstring::npos ? DROPEFFECT_COPY : 0) |
                  (k.find(L"move") != std::wstring::npos ? DROPEFFECT_MOVE : 0) |
                  (k.find(L"link") != std::wstring::npos ? DROPEFFECT_LINK : 0);
    } else if (a == L"--text") {
      o.textOnly = true;
    } else if (a == L"--timeout") {
      long v = 0;
      if (!next(v)) return false;
      o.timeoutMs = static_cast<DWORD>(v);
    } else {
      o.files.push_back(a);
    }
  }
  return o.textOnly || !o.files.empty();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseArgs(argc, argv, options)) {
    std::fputs(
        "usage: drag_source [--at X Y] [--from X Y] [--keys K] [--button B] [--allow E] [--text] file...\n",
        stderr);
    return 102;
  }
  if (FAILED(OleInitialize(nullptr))) return 101;
  int code = 101;
  {
    HGLOBAL data = options.textOnly ? MakeText(L"plain text, no files") : MakeDropFiles(options.files);
    DataObject object(options.textOnly ? CLIPFORMAT(CF_UNICODETEXT) : CLIPFORMAT(CF_HDROP), data);
    AutoDropSource source(options);
    SetCursorPos(options.from.x, options.from.y);
    source.ApplyKeys();
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr = DoDragDrop(&object, &source, options.allowed, &effect);
    std::printf("result=0x%08lx effect=%lu\n", static_cast<unsigned long>(hr),
                static_cast<unsigned long>(effect));
    std::fflush(stdout);
    if (hr == DRAGDROP_S_DROP)
      code = static_cast<int>(effect);
    else if (hr == DRAGDROP_S_CANCEL)
      code = 100;
  }
  OleUninitialize();
  return code;
}
