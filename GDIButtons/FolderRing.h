// TFolderRing: a folder's own ring, opened from a folder segment; TFolderEntryButton, each of its windows.
#pragma once

#include <string>
#include <vector>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/DragGDIButton.h"
#include "GDIButtons/FolderListing.h"

class TFolderRings;

// One window of a folder ring: the centre (the folder itself) or an entry. It takes no drops and has no
// menu entry to delete it; a More or Empty slot shows its caption and opens the folder in Explorer.
class TFolderEntryButton : public TDragGDIButton {
 public:
  explicit TFolderEntryButton(TComponent* owner, const TButtonColors& colors = {},
                              TButtonStart start = TButtonStart::Shown);

  // Holds `path`, its name and icon from the shell (through `answers`); with a caption, the caption is
  // its name and it never opens a ring of its own.
  void SetEntry(const std::wstring& path, const std::wstring& caption, TShellInfoPrefetch* answers);
  // The centre is the folder itself: it opens in Explorer, never as a ring again.
  bool OpensAsFolder() const override;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  bool captioned_ = false;
};

class TFolderRing : public TGDICustomButtonGroup {
 public:
  // A ring `depth` deep in `rings`, its windows in these colours; nothing shows before Build.
  TFolderRing(TComponent* owner, const TButtonColors& colors, TFolderRings& rings, int depth);
  ~TFolderRing() override;

  // Shows the listing's slots round its folder at the DPI of the monitor holding `at`, the ring's middle at
  // `at`, moved in just enough to lie whole in that monitor's work area, above every other window. The
  // names and icons come from the shell's workers, as a ring's load takes them.
  void Build(const TFolderListing& listing, POINT at);
  const std::wstring& Folder() const { return folder_; }
  const std::vector<vantel::FolderSlot>& Slots() const { return slots_; }

  // A closed ring is kept hidden with its pictures, and shows again for the same item (the folder segment's
  // file) at the same depth, in the same colours, on a monitor of the same DPI: moved to stand at `at`,
  // without a window made or a picture drawn anew.
  void SetItem(const std::wstring& item) { item_ = item; }
  const std::wstring& Item() const { return item_; }
  bool ShowsAgain(const std::wstring& item, int depth, const TButtonColors& colors, POINT at) const;
  void ShowAgain(POINT at);

  // The click that opened the ring: a press on the ring within the double-click time and distance of it is
  // that double-click's second click.
  void NoteOpeningClick(POINT at, DWORD time) {
    openedAt_ = at;
    openedTime_ = time;
    opened_ = true;
  }
  bool SecondClick(POINT at, DWORD time) const;
  // Opens the folder in Explorer and closes every folder ring (a double-click on the folder).
  void OpenFolder();

  // Whether `window` is one of the ring's windows.
  bool OwnsWindow(HWND window) const;
  // Hides every window of the ring at once, a hovered segment back in its own colour.
  void HideWindows();
  TFolderRings& Rings() const { return rings_; }

 private:
  TFolderRings& rings_;
  TButtonColors colors_;
  std::wstring item_;
  std::wstring folder_;
  std::vector<vantel::FolderSlot> slots_;
  POINT openedAt_{};
  DWORD openedTime_ = 0;
  bool opened_ = false;
};
