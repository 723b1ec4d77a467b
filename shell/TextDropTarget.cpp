// TTextDropTarget: format check, effect choice and reading the dropped file list.
#include "shell/TextDropTarget.h"

#include <shellapi.h>

#include <utility>
#include <vector>

#include "framework/Application.h"
#include "framework/Controls.h"
#include "framework/DebugTrace.h"
#include "shell/DropEffectLogic.h"
#include "shell/TextTarget.h"

namespace {

FORMATETC FilesFormat() {
  return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// Each path at its full length through the wide API (a fixed MAX_PATH buffer would cut long paths).
std::vector<std::wstring> ReadFileList(HDROP drop) {
  std::vector<std::wstring> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  paths.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length, L'\0');
    const UINT copied = length ? DragQueryFileW(drop, i, path.data(), length + 1) : 0;
    path.resize(copied);
    paths.push_back(std::move(path));
  }
  return paths;
}

// Releases a storage medium that GetData filled.
struct MediumScope {
  STGMEDIUM medium{};
  MediumScope() = default;
  MediumScope(const MediumScope&) = delete;
  MediumScope& operator=(const MediumScope&) = delete;
  ~MediumScope() { ReleaseStgMedium(&medium); }
};

}  // namespace

ComPtr<TTextDropTarget> TTextDropTarget::Create(TTextTarget& owner) {
  auto object = std::make_unique<TTextDropTarget>(Key{}, owner);
  return ComPtr<TTextDropTarget>(object.release());  // the ComPtr takes the first reference
}

TTextDropTarget::TTextDropTarget(Key, TTextTarget& owner) : owner_(&owner) {}

void TTextDropTarget::Detach() {
  owner_ = nullptr;
  data_.Reset();
  acceptable_ = false;
}

HRESULT STDMETHODCALLTYPE TTextDropTarget::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TTextDropTarget::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG STDMETHODCALLTYPE TTextDropTarget::Release() {
  const LONG left = InterlockedDecrement(&refs_);
  if (left == 0) std::unique_ptr<TTextDropTarget> last(this);
  return static_cast<ULONG>(left);
}

bool TTextDropTarget::FormatAvailable(IDataObject* data) const {
  if (!data || !owner_) return false;
  // Only the file list is understood; the other text formats are never offered to the program.
  if (!owner_->AcceptTextFormats().Contains(TDropTextFormat::dtfFiles)) return false;
  FORMATETC format = FilesFormat();
  return data->QueryGetData(&format) == S_OK;  // S_FALSE and the like do not count
}

void TTextDropTarget::RecheckFormat() {
  if (data_) acceptable_ = FormatAvailable(data_.Get());
}

bool TTextDropTarget::ChooseEffect(DWORD keyState) {
  const TEffectChoice choice = ChooseDropEffect(acceptable_, keyState, allowedEffects_);
  currentEffect_ = choice.Effect;
  return choice.Success;
}

POINT TTextDropTarget::ToClient(POINTL point) const {
  POINT p{point.x, point.y};
  if (owner_ && owner_->handle_) ScreenToClient(owner_->handle_, &p);
  return p;
}

// Handlers run inside an OLE call: what they throw is shown by the application, never passed to OLE.
template <class Fire>
void TTextDropTarget::FireSafely(Fire&& fire) {
  try {
    fire();
  } catch (...) {
    HandleCurrentException(owner_);
  }
}

HRESULT STDMETHODCALLTYPE TTextDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                                     DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  const ComPtr<TTextDropTarget> keepAlive(this);  // a handler may free the component
  data_ = ComPtr<IDataObject>(data);
  acceptable_ = FormatAvailable(data);
  allowedEffects_ = *effect;
  if (owner_) owner_->dragKeyState_ = keyState;
  ChooseEffect(keyState);
  *effect = currentEffect_;
  if (owner_ && owner_->OnDragEnter) {
    const POINT p = ToClient(point);
    const TDropEffect chosen = DropEffectFromBits(currentEffect_);
    FireSafely([&] { owner_->OnDragEnter(owner_, chosen, p.x, p.y); });
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TTextDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  const ComPtr<TTextDropTarget> keepAlive(this);
  if (owner_) owner_->dragKeyState_ = keyState;
  ChooseEffect(keyState);
  *effect = currentEffect_;
  if (owner_ && owner_->OnDragOver) {
    const POINT p = ToClient(point);
    const TDropEffect chosen = DropEffectFromBits(currentEffect_);
    FireSafely([&] { owner_->OnDragOver(owner_, chosen, p.x, p.y); });
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TTextDropTarget::DragLeave() {
  const ComPtr<TTextDropTarget> keepAlive(this);
  acceptable_ = false;
  if (owner_ && owner_->OnDragLeave) FireSafely([&] { owner_->OnDragLeave(owner_); });
  data_.Reset();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TTextDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point,
                                                DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  const ComPtr<TTextDropTarget> keepAlive(this);
  dropText_.clear();
  if (owner_) owner_->dragKeyState_ = keyState;
  const bool chosen = ChooseEffect(keyState);
  if (!chosen || !owner_ || !data) {
    *effect = DROPEFFECT_NONE;
    data_.Reset();
    acceptable_ = false;
    return E_FAIL;
  }
  *effect = currentEffect_;

  HRESULT result = S_OK;
  try {
    FORMATETC format = FilesFormat();
    MediumScope medium;
    result = data->GetData(&format, &medium.medium);
    if (SUCCEEDED(result) && (medium.medium.tymed != TYMED_HGLOBAL || !medium.medium.hGlobal)) {
      result = DV_E_TYMED;  // a source that answers with other storage than it was asked for
    }
    if (SUCCEEDED(result)) {
      owner_->droppedText_ = JoinDroppedPaths(ReadFileList(static_cast<HDROP>(medium.medium.hGlobal)));
      dropText_ = owner_->droppedText_;
    }
  } catch (const std::bad_alloc&) {
    result = E_OUTOFMEMORY;
  } catch (...) {
    TraceCaughtException(L"TTextDropTarget::Drop");
    result = E_UNEXPECTED;  // nothing is thrown back into OLE
  }
  if (FAILED(result)) {
    *effect = DROPEFFECT_NONE;
    currentEffect_ = DROPEFFECT_NONE;
    data_.Reset();
    acceptable_ = false;
    return result;
  }

  if (owner_->OnDrop) {
    const POINT p = ToClient(point);
    TTextTarget* target = owner_;
    FireSafely([&] { target->OnDrop(target, target->AcceptorControl(), dropText_, p.x, p.y); });
  }
  data_.Reset();
  acceptable_ = false;
  return S_OK;
}
