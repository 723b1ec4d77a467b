// Pure rules of a folder's own ring: which of the folder's entries it shows, in which order, and where it
// stands.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "GDIButtons/PieGeometry.h"
#include "framework/MonitorLayout.h"

namespace vantel {

// One entry of a folder as a listing finds it.
struct FolderEntry {
  std::wstring Name;    // the entry's name in the folder
  bool Folder = false;  // a folder (its own ring opens from it)
  bool Hidden = false;  // hidden or system: Explorer does not show it by default
};

enum class FolderSlotKind {
  Entry,  // an entry of the folder
  More,   // the folder holds more than the ring shows: opens the folder in Explorer
  Empty,  // the folder holds nothing shown: opens it in Explorer
};

struct FolderSlot {
  FolderSlotKind Kind = FolderSlotKind::Entry;
  std::wstring Name;  // the entry's name; the caption for More and Empty
  bool Folder = false;
  friend bool operator==(const FolderSlot&, const FolderSlot&) = default;
};

// A folder's ring shows at most this many segments.
inline constexpr int kFolderRingLimit = 24;
inline constexpr const wchar_t* kMoreEntriesCaption = L"更多…";
inline constexpr const wchar_t* kEmptyFolderCaption = L"（空文件夹）";

// How two names compare in Explorer's order (StrCmpLogicalW: "2" before "10"): below, at or above zero.
using TNameOrder = std::function<int(const std::wstring&, const std::wstring&)>;

// The segments of a folder's ring: hidden and system entries left out, folders first, then files, each
// in `order`; when more than kFolderRingLimit remain, the first kFolderRingLimit - 1 and a More slot; none
// left: one Empty slot. Only the shown entries are put in order, so a folder of many thousands costs little
// more than one of a few.
[[nodiscard]] std::vector<FolderSlot> PlanFolderRing(std::vector<FolderEntry> entries,
                                                     const TNameOrder& order);

// The top-left of a folder ring of `side` pixels centred on `at`, moved in just enough to lie whole in the
// work area of the monitor holding that point.
[[nodiscard]] ScreenPoint FolderRingOrigin(const MonitorList& monitors, ScreenPoint at, int side) noexcept;

// The mark a folder segment shows at its rim, so a user sees that it opens: a small triangle pointing
// outward on the slice's middle angle, just inside the rim (the pie's pixels).
[[nodiscard]] std::array<PointF, 3> FolderMark(const PieRectValues& pie) noexcept;

}  // namespace vantel
