// TFolderRings: the folder rings opened from one ring, the innermost last, and the workers that read their
// folders. Nothing of it is stored: the folder on the disk is the ring.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "GDIButtons/CustomGDIButton.h"
#include "GDIButtons/FolderListing.h"
#include "framework/Win32.h"

class TFolderRing;
class TGDICustomButtonGroup;
class THiddenWindow;

class TFolderRings {
 public:
  // The rings opened from `base` (a ring of its own): with its owner, in its colours.
  explicit TFolderRings(TGDICustomButtonGroup& base, TFolderLister lister = ListFolder);
  // Destroys every ring now; a listing still under way is dropped when it comes.
  ~TFolderRings();
  TFolderRings(const TFolderRings&) = delete;
  TFolderRings& operator=(const TFolderRings&) = delete;

  // Reads `item` (a folder, or a shortcut to one) on a worker, then shows its ring `depth` deep (1: just
  // above the base ring), its middle at `at`, in place of the rings that stood that deep or deeper. A folder
  // that cannot be read gives one message naming it and the system's reason, and no ring. With `fromKeys`
  // the ring takes the keys from its first segment; otherwise the press being handled is the opening click.
  // A ring this item had before, kept since it closed, shows at once and stays when the listing finds the
  // folder as it was; otherwise a ring built from the listing takes its place.
  void Open(const std::wstring& item, POINT at, int depth, bool fromKeys);
  // Where the keys go when the rings that had them close: to the ring below, to the base ring (a launch,
  // the hotkey), or nowhere: another window is taking the activation.
  enum class TKeysAfter { Below, Base, Leave };
  // Closes the rings `depth` deep and deeper and drops a listing under way. The windows hide at once; the
  // last few rings are kept hidden to show again, the others are destroyed from the message loop: this may
  // run in a handler of one of them.
  void CloseFrom(int depth, TKeysAfter keys);
  void CloseAll(TKeysAfter keys = TKeysAfter::Base) { CloseFrom(1, keys); }
  // A file was opened from a folder ring: every one closes, and the base ring hears it as its own launch.
  void Launched();

  int Depth() const { return static_cast<int>(rings_.size()); }
  TFolderRing* Ring(int depth) const;  // 1 to Depth(); nullptr otherwise
  bool Owns(HWND window) const;        // a window of a standing ring
  bool Listing() const { return job_ != nullptr; }
  TGDICustomButtonGroup& Base() const { return base_; }

  struct TJob;  // a listing a worker makes (FolderRings.cpp)

  // How many closed rings are kept: a path four deep, or a few folders opened in turn.
  static constexpr std::size_t kKeptRings = 4;

 private:
  void Listed(WPARAM generation);
  TButtonColors BaseColors() const;
  std::unique_ptr<TFolderRing> TakeKept(const std::wstring& item, int depth, POINT at);
  void Keep(std::unique_ptr<TFolderRing> ring);
  void Discard(std::unique_ptr<TFolderRing> ring);  // hidden now, destroyed from the message loop
  void DestroyClosed();

  TGDICustomButtonGroup& base_;
  TFolderLister lister_;
  std::unique_ptr<THiddenWindow> window_;  // hears the workers and the deferred destruction
  std::vector<std::unique_ptr<TFolderRing>> rings_;
  std::vector<std::unique_ptr<TFolderRing>> kept_;    // hidden, to show again; the latest last
  std::vector<std::unique_ptr<TFolderRing>> closed_;  // hidden, destroyed from the message loop
  std::shared_ptr<TJob> job_;                         // the listing under way
  std::uintptr_t generation_ = 0;                     // of the latest Open or close
};
