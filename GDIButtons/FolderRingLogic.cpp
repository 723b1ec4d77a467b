// Pure rules of a folder's own ring.
#include "GDIButtons/FolderRingLogic.h"

#include <algorithm>
#include <cstddef>

namespace vantel {

std::vector<FolderSlot> PlanFolderRing(std::vector<FolderEntry> entries, const TNameOrder& order) {
  std::erase_if(entries, [](const FolderEntry& entry) { return entry.Hidden; });
  if (entries.empty()) return {{FolderSlotKind::Empty, kEmptyFolderCaption, false}};
  const bool more = entries.size() > static_cast<std::size_t>(kFolderRingLimit);
  const std::size_t shown = more ? kFolderRingLimit - 1 : entries.size();
  auto before = [&](const FolderEntry& a, const FolderEntry& b) {
    if (a.Folder != b.Folder) return a.Folder;
    return order(a.Name, b.Name) < 0;
  };
  std::partial_sort(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(shown), entries.end(),
                    before);
  std::vector<FolderSlot> slots;
  slots.reserve(shown + (more ? 1 : 0));
  for (std::size_t i = 0; i < shown; ++i) {
    slots.push_back({FolderSlotKind::Entry, entries[i].Name, entries[i].Folder});
  }
  if (more) slots.push_back({FolderSlotKind::More, kMoreEntriesCaption, false});
  return slots;
}

ScreenPoint FolderRingOrigin(const MonitorList& monitors, ScreenPoint at, int side) noexcept {
  const ScreenPoint origin{at.X - side / 2, at.Y - side / 2};
  const int index = MonitorAt(monitors, at);
  if (index < 0) return origin;
  return KeepIn(monitors[static_cast<std::size_t>(index)].WorkArea, origin, side, side);
}

}  // namespace vantel
