// Tests of the ring layout numbers: centre disc, centre window origin, segment angles and growth.
#include "GDIButtons/RingLayout.h"
#include "GDIButtons/FolderRingLogic.h"

#include <gtest/gtest.h>

#include <climits>
#include <cwctype>
#include <string>
#include <optional>
#include <vector>

namespace vantel {
namespace {

TEST(RingLayout, CenterRectIsTheHoleLessFourPixels) {
  struct Case {
    int width;
    int height;
    PieRectValues rect;
  };
  const Case cases[] = {
      {180, 180, {0, 360, 54, 54, 72, 72}},
      {180 + kRingGrowth, 180 + kRingGrowth, {0, 360, 64, 64, 92, 92}},  // after one growth
      {181, 183, {0, 360, 54.25f, 54.75f, 72.5f, 73.5f}},                // true division, not integer
      {180, 260, {0, 360, 54, 74, 72, 112}},                             // axes independent
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LayoutCenterRect(c.width, c.height), c.rect) << c.width << "x" << c.height;
  }
}

TEST(RingLayout, CenterWindowOriginHalvesTowardZero) {
  struct Case {
    int desktopWidth;
    int desktopHeight;
    int width;
    int height;
    WindowOrigin origin;
  };
  const Case cases[] = {
      {1025, 768, 180, 180, {422, 294}},
      {1920, 1080, 220, 220, {850, 430}},
      {179, 181, 180, 180, {0, 0}},     // one pixel wider than the desktop: 0, not -1
      {100, 97, 180, 180, {-40, -41}},  // -83 halves to -41, not -42
      {INT_MAX, INT_MIN, INT_MIN, INT_MAX, {INT_MAX, -INT_MAX}},  // no overflow before halving
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CenterWindowOrigin(c.desktopWidth, c.desktopHeight, c.width, c.height), c.origin)
        << c.desktopWidth << "x" << c.desktopHeight << " group " << c.width << "x" << c.height;
  }
}

TEST(RingLayout, SegmentAnglesLeaveSixDegreeGaps) {
  struct Case {
    int count;
    std::vector<float> starts;
    float sweep;
  };
  const Case cases[] = {
      {1, {3}, 354},
      {2, {3, 183}, 174},
      {4, {3, 93, 183, 273}, 84},
      {5, {3, 75, 147, 219, 291}, 66},
      {6, {3, 63, 123, 183, 243, 303}, 54},
  };
  for (const Case& c : cases) {
    const std::vector<PieRectValues> rects = LayoutSegments(c.count, 180, 180);
    ASSERT_EQ(rects.size(), c.starts.size());
    for (std::size_t i = 0; i < rects.size(); ++i) {
      EXPECT_EQ(rects[i].StartAngle, c.starts[i]) << c.count << " segments, #" << i;
      EXPECT_EQ(rects[i].SweepAngle, c.sweep) << c.count << " segments, #" << i;
    }
  }
}

TEST(RingLayout, SegmentsSpreadEvenlyOverTheWholeCircle) {
  // For counts whose step is not exact in float the shares still tile the circle to within rounding.
  for (int count = 1; count <= 40; ++count) {
    const std::vector<PieRectValues> rects = LayoutSegments(count, 180, 180);
    ASSERT_EQ(rects.size(), static_cast<std::size_t>(count));
    const float step = SegmentStep(count);
    EXPECT_NEAR(step * static_cast<float>(count), 360.0f, 1e-3f) << count;
    for (int i = 0; i < count; ++i) {
      const PieRectValues& r = rects[static_cast<std::size_t>(i)];
      EXPECT_NEAR(r.StartAngle, 360.0 * i / count + 3.0, 1e-3) << count << " segments, #" << i;
      EXPECT_EQ(r.SweepAngle, rects.front().SweepAngle) << count << " segments, #" << i;
    }
    EXPECT_NEAR(rects.back().StartAngle + rects.back().SweepAngle + 3.0f, 360.0f, 1e-3f) << count;
  }
}

TEST(RingLayout, SegmentRectFollowsTheGroupSize) {
  const std::pair<int, float> cases[] = {{180, 160}, {180 + kRingGrowth, 200}, {180 + 2 * kRingGrowth, 240}};
  for (const auto& [size, inner] : cases) {
    for (const PieRectValues& r : LayoutSegments(3, size, size)) {
      EXPECT_EQ(r.X, 10.0f);
      EXPECT_EQ(r.Y, 10.0f);
      EXPECT_EQ(r.Width, inner) << size;
      EXPECT_EQ(r.Height, inner) << size;
    }
  }
}

// At 144 and 192 dpi a ring 1.5 and 2 times the size is laid out as the 96-dpi one, scaled: margins and
// the centre's gap are scaled with it.
TEST(RingLayout, ScaledRingIsTheBaseRingScaled) {
  const PieRectValues centre96 = LayoutCenterRect(180, 180), segment96 = SegmentRect(1, 4, 180, 180);
  for (const int dpi : {144, 192}) {
    const int side = ScaleForDpi(180, dpi);
    const float k = static_cast<float>(dpi) / 96.0f;
    const PieRectValues centre = LayoutCenterRect(side, side, dpi),
                        segment = SegmentRect(1, 4, side, side, dpi);
    EXPECT_FLOAT_EQ(centre.X, centre96.X * k) << dpi;
    EXPECT_FLOAT_EQ(centre.Width, centre96.Width * k) << dpi;
    EXPECT_FLOAT_EQ(segment.X, segment96.X * k) << dpi;
    EXPECT_FLOAT_EQ(segment.Height, segment96.Height * k) << dpi;
    EXPECT_FLOAT_EQ(segment.StartAngle, segment96.StartAngle) << dpi;
  }
  EXPECT_EQ(ScaleForDpi(40, 120), 50);  // 125 %
  EXPECT_EQ(ScaleForDpi(13, 144), 20);  // 19.5 rounds up, as MulDiv
}

// Monitor layouts as the system reports them, in its order: the primary one need not come first, and the
// others may lie left of or above it, at other DPIs.
const MonitorInfo kPrimary{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96, true};
const MonitorInfo kLeft{{-1280, 0, 0, 1024}, {-1280, 0, 0, 984}, 120, false};
const MonitorInfo kAbove{{0, -1440, 2560, 0}, {0, -1440, 2560, 0}, 144, false};

TEST(RingLayout, RingStartsOnThePrimaryWorkAreaAndKeepsItsMiddleOnItsMonitor) {
  struct Case {
    const char* what;
    MonitorList monitors;
    std::optional<ScreenPoint> middle;  // none: the ring has no place yet
    int side;
    WindowOrigin origin;
    int limit;  // at the middle, or at the origin's middle for a first place
  };
  const Case cases[] = {
      {"one monitor, taskbar below", {kPrimary}, {}, 180, {870, 430}, 1080},
      {"primary listed second", {kLeft, kPrimary}, {}, 180, {870, 430}, 1080},
      {"on the monitor at the left", {kLeft, kPrimary}, ScreenPoint{-640, 500}, 220, {-750, 390}, 1024},
      {"on the monitor above", {kPrimary, kAbove}, ScreenPoint{1280, -700}, 260, {1150, -830}, 1440},
      {"off every monitor: the nearest", {kLeft, kPrimary}, ScreenPoint{-2000, 500}, 180, {-1280, 410}, 1024},
      {"larger than the work area", {kLeft, kPrimary}, ScreenPoint{-5, 5}, 1101, {-1101, -58}, 1024},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RingOrigin(c.monitors, c.middle ? &*c.middle : nullptr, c.side, c.side), c.origin) << c.what;
    const ScreenPoint middle =
        c.middle.value_or(ScreenPoint{c.origin.Left + c.side / 2, c.origin.Top + c.side / 2});
    EXPECT_EQ(RingSideLimit(c.monitors, middle), c.limit) << c.what;
  }
  EXPECT_EQ(VirtualScreen({kLeft, kPrimary, kAbove}), (ScreenRect{-1280, -1440, 2560, 1080}));
}

TEST(RingLayout, KeepInMovesABoxTheLeastIntoAnArea) {
  const ScreenRect area = kLeft.WorkArea;
  EXPECT_EQ(KeepIn(area, {-700, 300}, 180, 180), (ScreenPoint{-700, 300}));  // inside already
  EXPECT_EQ(KeepIn(area, {-1400, -50}, 180, 180), (ScreenPoint{-1280, 0}));
  EXPECT_EQ(KeepIn(area, {-100, 900}, 180, 180), (ScreenPoint{-180, 804}));
  EXPECT_EQ(KeepIn(area, {0, 0}, 1101, 1101), (ScreenPoint{-1101, -58}));  // taller than the area: centred
}

// A folder's ring: what it shows of the folder, in Explorer's order, and where it stands.
TEST(RingLayout, AFoldersRingShowsItsEntriesFoldersFirstInExplorersOrderUpToTheLimit) {
  // Explorer's order in short: a run of digits by its number, letters without case.
  const TNameOrder logical = [](const std::wstring& a, const std::wstring& b) {
    auto key = [](const std::wstring& s) {
      std::wstring k;
      for (std::size_t i = 0; i < s.size();) {
        if (!std::iswdigit(s[i])) {
          k += static_cast<wchar_t>(std::towlower(s[i++]));
          continue;
        }
        std::wstring digits;
        while (i < s.size() && std::iswdigit(s[i])) digits += s[i++];
        k += std::wstring(8 - std::min<std::size_t>(8, digits.size()), L'0') + digits;
      }
      return k;
    };
    return key(a).compare(key(b));
  };
  auto many = [](int count) {
    std::vector<FolderEntry> entries;
    for (int i = count; i > 0; --i) entries.push_back({L"f" + std::to_wstring(i) + L".txt"});
    return entries;
  };
  auto names = [](const std::vector<FolderSlot>& slots) {
    std::wstring all;
    for (const FolderSlot& slot : slots) all += slot.Name + L"|";
    return all;
  };
  const struct {
    const char* what;
    std::vector<FolderEntry> entries;
    std::wstring shown;
  } cases[] = {
      {"folders first, each in Explorer's order, hidden and system ones left out",
       {{L"b.txt"},
        {L"Zeta", true},
        {L"10.txt"},
        {L"desktop.ini", false, true},
        {L"2.txt"},
        {L"alpha", true},
        {L"$Recycle", true, true}},
       L"alpha|Zeta|2.txt|10.txt|b.txt|"},
      {"an empty folder", {}, L"（空文件夹）|"},
      {"nothing shown", {{L"thumbs.db", false, true}}, L"（空文件夹）|"},
  };
  for (const auto& c : cases) EXPECT_EQ(names(PlanFolderRing(c.entries, logical)), c.shown) << c.what;
  EXPECT_EQ(PlanFolderRing(many(24), logical).size(), 24u) << "exactly the limit: all";
  for (const int count : {25, 10000}) {
    const std::vector<FolderSlot> slots = PlanFolderRing(many(count), logical);
    ASSERT_EQ(slots.size(), 24u) << count;
    EXPECT_EQ(slots[0].Name, L"f1.txt") << count;
    EXPECT_EQ(slots[22].Name, L"f23.txt") << count;
    EXPECT_EQ(slots[23], (FolderSlot{FolderSlotKind::More, L"更多…", false})) << count;
  }

  const struct {
    const char* what;
    ScreenPoint at;
    int side;
    ScreenPoint origin;
  } places[] = {
      {"room all round: centred", {960, 500}, 180, {870, 410}},
      {"by the taskbar: moved up", {1900, 1030}, 220, {1700, 1040 - 220}},
      {"on the monitor at the left, at its edge", {-1275, 20}, 180, {-1280, 0}},
      {"off every monitor: onto the nearest", {-3000, 500}, 180, {-1280, 410}},
  };
  for (const auto& p : places) {
    EXPECT_EQ(FolderRingOrigin({kLeft, kPrimary}, p.at, p.side), p.origin) << p.what;
  }
}

TEST(RingLayout, NoSegmentsWithoutItems) {
  EXPECT_TRUE(LayoutSegments(0, 180, 180).empty());
  EXPECT_TRUE(LayoutSegments(-2, 180, 180).empty());
  EXPECT_EQ(SegmentStep(0), 0.0f);
}

}  // namespace
}  // namespace vantel
