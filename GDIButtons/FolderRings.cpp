// TFolderRings: opening a folder's ring from a worker's listing, closing rings, the keys between them.
#include "GDIButtons/FolderRings.h"

#include <objbase.h>

#include <algorithm>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "GDIButtons/FolderRing.h"
#include "framework/DebugTrace.h"
#include "framework/SystemMessage.h"
#include "shell/HiddenWindow.h"

namespace {
constexpr UINT kListedMessage = WM_APP + 1;   // wParam: the generation the listing was asked in
constexpr UINT kDestroyMessage = WM_APP + 2;  // the closed rings' windows go
}  // namespace

struct TFolderRings::TJob {
  std::wstring Item;
  POINT At{};
  int Depth = 1;
  bool FromKeys = false;
  DWORD ClickTime = 0;
  TFolderRing* Shown = nullptr;  // the kept ring shown at once, until the listing tells whether it stays
  std::mutex Lock;
  bool Done = false;
  TFolderListing Result;
};

TFolderRings::TFolderRings(TGDICustomButtonGroup& base, TFolderLister lister)
    : base_(base), lister_(std::move(lister)) {
  window_ = std::make_unique<THiddenWindow>(
      L"VantelFolderRings", [this](HWND window, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == kListedMessage) {
          Listed(wParam);
          return 0;
        }
        if (msg == kDestroyMessage) {
          DestroyClosed();
          return 0;
        }
        return DefWindowProcW(window, msg, wParam, lParam);
      });
}

TFolderRings::~TFolderRings() {
  job_.reset();
  closed_.clear();
  kept_.clear();
  while (!rings_.empty()) rings_.pop_back();  // the innermost first
  window_.reset();
}

TFolderRing* TFolderRings::Ring(int depth) const {
  return depth >= 1 && depth <= Depth() ? rings_[static_cast<std::size_t>(depth - 1)].get() : nullptr;
}

bool TFolderRings::Owns(HWND window) const {
  if (!window) return false;
  for (const auto& ring : rings_) {
    if (ring->OwnsWindow(window)) return true;
  }
  return false;
}

void TFolderRings::Open(const std::wstring& item, POINT at, int depth, bool fromKeys) {
  CloseFrom(depth, TKeysAfter::Leave);
  auto job = std::make_shared<TJob>();
  job->Item = item;
  job->At = at;
  job->Depth = depth;
  job->FromKeys = fromKeys;
  job->ClickTime = fromKeys ? 0 : static_cast<DWORD>(GetMessageTime());
  const std::uintptr_t generation = ++generation_;
  const HWND window = window_->Handle();
  try {
    std::thread([job, lister = lister_, window, generation] {
      const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
      TFolderListing listing;
      try {
        listing = lister(job->Item);
      } catch (...) {
        listing.Folder = job->Item;
        listing.Error = ERROR_NOT_ENOUGH_MEMORY;
      }
      {
        const std::lock_guard<std::mutex> lock(job->Lock);
        job->Result = std::move(listing);
        job->Done = true;
      }
      // The rings may be gone: the message then finds no window, and the job goes with the last holder.
      PostMessageW(window, kListedMessage, generation, 0);
      if (SUCCEEDED(com)) CoUninitialize();
    }).detach();
  } catch (const std::system_error&) {
    // No thread: the folder is not read on this one, which must never wait for a drive.
    TraceCaughtException(L"TFolderRings::Open");
    return;
  }
  job_ = job;
  if (std::unique_ptr<TFolderRing> kept = TakeKept(item, depth, at)) {
    job->Shown = kept.get();
    if (!fromKeys) kept->NoteOpeningClick(at, job->ClickTime);
    kept->ShowAgain(at);
    rings_.push_back(std::move(kept));
    rings_.back()->FocusRing();
  }
}

void TFolderRings::Listed(WPARAM generation) {
  if (generation != generation_ || !job_) return;  // closed, or another folder asked for since
  const std::shared_ptr<TJob> job = std::move(job_);
  TFolderListing listing;
  {
    const std::lock_guard<std::mutex> lock(job->Lock);
    if (!job->Done) return;
    listing = std::move(job->Result);
  }
  // The kept ring shown at the click, still standing innermost (anything opened or closed since would
  // have dropped this listing).
  TFolderRing* const shown =
      job->Shown && Depth() == job->Depth && Ring(job->Depth) == job->Shown ? job->Shown : nullptr;
  if (listing.Error != ERROR_SUCCESS || listing.Slots.empty()) {
    if (shown) {
      CloseFrom(job->Depth, TKeysAfter::Below);
      const auto kept =
          std::find_if(kept_.begin(), kept_.end(), [shown](const auto& r) { return r.get() == shown; });
      if (kept != kept_.end()) {
        Discard(std::move(*kept));
        kept_.erase(kept);
      }
    }
    auto* centre = dynamic_cast<TDragGDIButton*>(base_.CentreButton());
    std::wstring text = L"无法打开文件夹“" + listing.Folder + L"”";
    if (const std::wstring reason = SystemMessage(listing.Error); !reason.empty()) text += L"：" + reason;
    if (centre) centre->Tell(text + L"。");
    return;
  }
  if (shown && shown->Folder() == listing.Folder && shown->Slots() == listing.Slots) return;  // as it was
  if (!shown) CloseFrom(job->Depth, TKeysAfter::Leave);
  auto ring = std::make_unique<TFolderRing>(base_.Owner(), BaseColors(), *this, job->Depth);
  ring->SetItem(job->Item);
  if (!job->FromKeys) ring->NoteOpeningClick(job->At, job->ClickTime);
  ring->Build(listing, job->At);
  if (!shown) {
    rings_.push_back(std::move(ring));
    rings_.back()->FocusRing();
    return;
  }
  // The folder changed: the new ring takes the keys before the one shown at the click hides.
  std::unique_ptr<TFolderRing> stale = std::exchange(rings_.back(), std::move(ring));
  rings_.back()->FocusRing();
  stale->HideWindows();
  Discard(std::move(stale));
}

TButtonColors TFolderRings::BaseColors() const {
  const TCustomGDIButton* centre = base_.CentreButton();
  return {centre ? centre->DefaultColor : 0, centre ? centre->HotColor : 0};
}

std::unique_ptr<TFolderRing> TFolderRings::TakeKept(const std::wstring& item, int depth, POINT at) {
  const TButtonColors colors = BaseColors();
  for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
    if (!(*it)->ShowsAgain(item, depth, colors, at)) continue;
    std::unique_ptr<TFolderRing> ring = std::move(*it);
    kept_.erase(std::next(it).base());
    return ring;
  }
  return nullptr;
}

void TFolderRings::Keep(std::unique_ptr<TFolderRing> ring) {
  // One kept ring per item and depth: the latest.
  for (auto it = kept_.begin(); it != kept_.end();) {
    if ((*it)->Item() == ring->Item() && (*it)->FolderDepth() == ring->FolderDepth()) {
      Discard(std::move(*it));
      it = kept_.erase(it);
    } else {
      ++it;
    }
  }
  kept_.push_back(std::move(ring));
  while (kept_.size() > kKeptRings) {
    Discard(std::move(kept_.front()));
    kept_.erase(kept_.begin());
  }
}

void TFolderRings::Discard(std::unique_ptr<TFolderRing> ring) {
  closed_.push_back(std::move(ring));
  PostMessageW(window_->Handle(), kDestroyMessage, 0, 0);
}

void TFolderRings::CloseFrom(int depth, TKeysAfter keys) {
  job_.reset();
  ++generation_;
  if (depth < 1) depth = 1;
  if (depth > Depth()) return;
  // Out of the standing rings first: what the moves of the focus below make the system tell the closing
  // windows finds them closed already.
  const HWND foreground = GetForegroundWindow();
  const bool heldForeground = Owns(foreground);
  std::vector<std::unique_ptr<TFolderRing>> closing;
  while (Depth() >= depth) {
    closing.push_back(std::move(rings_.back()));
    rings_.pop_back();
  }
  if (heldForeground && keys != TKeysAfter::Leave) {
    // The keys go below before the windows that had them hide: a hidden active window would hand the
    // activation to whatever window the system picks, another program's too.
    if (keys == TKeysAfter::Below && Depth() > 0) {
      rings_.back()->FocusRing();
    } else if (keys == TKeysAfter::Below) {
      base_.FocusRing();
    } else if (TCustomGDIButton* centre = base_.CentreButton(); centre && centre->HandleAllocated()) {
      SetForegroundWindow(centre->Handle());
    }
  }
  for (auto& ring : closing) {
    ring->HideWindows();
    Keep(std::move(ring));
  }
}

void TFolderRings::Launched() {
  CloseAll();
  if (const std::function<void()> launched = base_.OnLaunched) launched();
}

void TFolderRings::DestroyClosed() {
  closed_.clear();
}
