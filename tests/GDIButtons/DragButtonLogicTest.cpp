// Tests of the drop-and-launch button's pure rules: drop mode, the steps of a drop, the icon size per DPI.
#include "GDIButtons/DragButtonLogic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantel {
namespace {

using Steps = std::vector<DropStep>;
constexpr DropStepKind kTake = DropStepKind::TakeHere;
constexpr DropStepKind kStore = DropStepKind::StoreHere;
constexpr DropStepKind kAdd = DropStepKind::AddSegment;

TEST(DragButtonLogic, DropModeFromTheButtonsHeldRightWins) {
  EXPECT_EQ(DropModeForButtons(false, false), 7777);
  EXPECT_EQ(DropModeForButtons(true, false), 9999);
  EXPECT_EQ(DropModeForButtons(false, true), 8888);
  EXPECT_EQ(DropModeForButtons(true, true), 8888);
}

TEST(DragButtonLogic, StepsOfEveryKindOfDrop) {
  const std::vector<std::wstring> one = {L"C:\\a.txt"};
  const std::vector<std::wstring> three = {L"C:\\a.txt", L"C:\\b.txt", L"C:\\c.txt"};
  const std::wstring held = L"C:\\held.exe";
  struct Case {
    const char* what;
    int mode;
    std::wstring current;
    std::vector<std::wstring> paths;
    Steps expected;
  };
  const Case cases[] = {
      {"left, one file, empty button", kDropModeLeftButton, L"", one, {{kTake, 0}, {kStore, 0}}},
      {"left, one file, used button", kDropModeLeftButton, held, one, {{kAdd, 0}}},
      {"left, three files, used button: only the first", kDropModeLeftButton, held, three, {{kAdd, 0}}},
      // The first file fills the button, the second becomes a segment; both are stored, the third is ignored.
      {"left, three files, empty button",
       kDropModeLeftButton,
       L"",
       three,
       {{kTake, 0}, {kStore, 0}, {kAdd, 1}}},
      {"right, three files: each replaces the last, one store",
       kDropModeRightButton,
       held,
       three,
       {{kTake, 0}, {kTake, 1}, {kTake, 2}, {kStore, 0}}},
      {"right, one file, empty button", kDropModeRightButton, L"", one, {{kTake, 0}, {kStore, 0}}},
      {"no button held: nothing but the store", kDropModeNoButton, L"", three, {{kStore, 0}}},
      {"before any drag enter", kDropModeNone, held, one, {{kStore, 0}}},
      {"an unknown mode", 1234, L"", one, {{kStore, 0}}},
      {"an empty list still stores", kDropModeLeftButton, held, {}, {{kStore, 0}}},
      // An empty path leaves the button empty, so the next path is taken here too.
      {"left, empty path first",
       kDropModeLeftButton,
       L"",
       {L"", L"C:\\b.txt", L"C:\\c.txt"},
       {{kTake, 0}, {kTake, 1}, {kStore, 0}, {kAdd, 2}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlanDrop(c.mode, c.current, c.paths), c.expected) << c.what;
  }
}

TEST(DragButtonLogic, EveryDropStoresTheButtonsItChangedAndNothingAfterANewSegment) {
  // Whatever the input, a plan ends either with its one new segment or with the dropped-on button's store.
  const std::vector<std::vector<std::wstring>> lists = {{}, {L"a"}, {L"a", L"b"}, {L"a", L"b", L"c", L"d"}};
  for (int mode : {0, 7777, 8888, 9999}) {
    for (const std::wstring& current : {std::wstring(), std::wstring(L"x")}) {
      for (const auto& paths : lists) {
        const Steps steps = PlanDrop(mode, current, paths);
        ASSERT_FALSE(steps.empty());
        int adds = 0, stores = 0;
        for (const DropStep& s : steps) {
          adds += s.Kind == kAdd;
          stores += s.Kind == kStore;
        }
        EXPECT_LE(adds, 1);
        EXPECT_LE(stores, 1);
        if (adds == 0) {
          EXPECT_EQ(steps.back().Kind, kStore) << mode;
        } else {
          EXPECT_EQ(steps.back().Kind, kAdd) << mode;
        }
      }
    }
  }
}

TEST(DragButtonLogic, ShellIconSizeFollowsTheMonitorDpi) {
  const struct {
    int dpi, size;
  } cases[] = {{96, 32}, {120, 40}, {144, 48}, {168, 56}, {192, 64}, {288, 96}, {0, 32}, {-5, 32}, {72, 24}};
  for (const auto& c : cases) EXPECT_EQ(ShellIconSizeForDpi(c.dpi), c.size) << c.dpi;
}

}  // namespace
}  // namespace vantel
