// TFolderRings: opening a folder's ring from a worker's listing, closing rings, the keys between them.
#include "GDIButtons/FolderRings.h"

#include <objbase.h>

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
  job_ = std::move(job);
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
  if (listing.Error != ERROR_SUCCESS || listing.Slots.empty()) {
    auto* centre = dynamic_cast<TDragGDIButton*>(base_.CentreButton());
    std::wstring text = L"无法打开文件夹“" + listing.Folder + L"”";
    if (const std::wstring reason = SystemMessage(listing.Error); !reason.empty()) text += L"：" + reason;
    if (centre) centre->Tell(text + L"。");
    return;
  }
  CloseFrom(job->Depth, TKeysAfter::Leave);
  TCustomGDIButton* baseCentre = base_.CentreButton();
  const TButtonColors colors{baseCentre ? baseCentre->DefaultColor : 0,
                             baseCentre ? baseCentre->HotColor : 0};
  rings_.push_back(std::make_unique<TFolderRing>(base_.Owner(), colors, *this, job->Depth));
  TFolderRing& ring = *rings_.back();
  if (!job->FromKeys) ring.NoteOpeningClick(job->At, job->ClickTime);
  ring.Build(listing, job->At);
  ring.FocusRing();
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
    closed_.push_back(std::move(ring));
  }
  PostMessageW(window_->Handle(), kDestroyMessage, 0, 0);
}

void TFolderRings::Launched() {
  CloseAll();
  if (const std::function<void()> launched = base_.OnLaunched) launched();
}

void TFolderRings::DestroyClosed() {
  closed_.clear();
}
