// Pure rules of a folder's own ring.
#include "GDIButtons/FolderRingLogic.h"

#include <algorithm>
#include <cmath>
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

std::array<PointF, 3> FolderMark(const PieRectValues& pie) noexcept {
  constexpr double kPi = 3.14159265358979323846;
  const double angle = (pie.StartAngle + pie.SweepAngle / 2.0) * kPi / 180.0;
  const double cx = pie.X + pie.Width / 2.0, cy = pie.Y + pie.Height / 2.0;
  const double radius = std::min(pie.Width, pie.Height) / 2.0;
  // Tip and base along the middle angle; the base's half-width across it.
  const double tip = radius * 0.95, base = radius * 0.87, half = radius * 0.05;
  const double ux = std::cos(angle), uy = std::sin(angle);
  auto at = [&](double along, double across) {
    return PointF{static_cast<float>(cx + ux * along - uy * across),
                  static_cast<float>(cy + uy * along + ux * across)};
  };
  return {at(tip, 0.0), at(base, half), at(base, -half)};
}

}  // namespace vantel
