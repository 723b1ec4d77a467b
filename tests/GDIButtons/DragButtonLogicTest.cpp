// Tests of the drop-and-launch button's pure rules: drop mode, the steps of a drop, the icon size per DPI,
// the keys that drive the ring.
#include "GDIButtons/DragButtonLogic.h"
#include "GDIButtons/RingAccessibleLogic.h"
#include "GDIButtons/RingKeyLogic.h"
#include "xml/ConfigFormat.h"

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

TEST(DragButtonLogic, KeysMoveTheSelectionRoundTheRingAndActOnIt) {
  constexpr RingKeyCommand kSelect = RingKeyCommand::Select, kNone = RingKeyCommand::None;
  const struct {
    const char* what;
    unsigned key;
    bool shift;
    int selected, count;
    RingKeyAction expected;
  } cases[] = {
      {"right: the next", kKeyRight, false, 1, 5, {kSelect, 2}},
      {"down: the next", kKeyDown, false, 1, 5, {kSelect, 2}},
      {"tab: the next", kKeyTab, false, 1, 5, {kSelect, 2}},
      {"right from the last wraps", kKeyRight, false, 4, 5, {kSelect, 0}},
      {"right from none: the first", kKeyRight, false, -1, 5, {kSelect, 0}},
      {"right from a deleted one: the first", kKeyRight, false, 7, 5, {kSelect, 0}},
      {"left: the previous", kKeyLeft, false, 3, 5, {kSelect, 2}},
      {"up: the previous", kKeyUp, false, 3, 5, {kSelect, 2}},
      {"shift+tab: the previous", kKeyTab, true, 3, 5, {kSelect, 2}},
      {"left from the first wraps", kKeyLeft, false, 0, 5, {kSelect, 4}},
      {"left from none: the last", kKeyLeft, false, -1, 5, {kSelect, 4}},
      {"home", kKeyHome, false, 3, 5, {kSelect, 0}},
      {"end", kKeyEnd, false, 1, 5, {kSelect, 4}},
      {"digit 1", kKey1, false, 3, 5, {kSelect, 0}},
      {"digit 5 of five", kKey1 + 4, false, -1, 5, {kSelect, 4}},
      {"digit 6 of five: ignored", kKey1 + 5, false, 2, 5, {}},
      {"digit 9 of twelve", kKey9, false, 0, 12, {kSelect, 8}},
      {"keypad 3", kKeyNumpad1 + 2, false, 0, 5, {kSelect, 2}},
      {"digit 0: not a segment", 0x30, false, 2, 5, {}},
      {"one segment: right stays", kKeyRight, false, 0, 1, {kSelect, 0}},
      {"empty ring: nothing", kKeyRight, false, -1, 0, {}},
      {"enter launches the selected one", kKeyReturn, false, 2, 5, {RingKeyCommand::Launch, 2}},
      {"enter without a selection", kKeyReturn, false, -1, 5, {}},
      {"shift+f10: its menu", kKeyF10, true, 2, 5, {RingKeyCommand::Menu, 2}},
      {"f10 alone: not ours", kKeyF10, false, 2, 5, {}},
      {"menu key", kKeyApps, false, 0, 5, {RingKeyCommand::Menu, 0}},
      {"menu key without a selection", kKeyApps, false, -1, 5, {}},
      {"esc dismisses", kKeyEscape, false, 2, 5, {RingKeyCommand::Dismiss, -1}},
      {"esc on an empty ring too", kKeyEscape, false, -1, 0, {RingKeyCommand::Dismiss, -1}},
      {"space opens the selected one's folder", kKeySpace, false, 3, 5, {RingKeyCommand::Expand, 3}},
      {"space without a selection", kKeySpace, false, -1, 5, {}},
      {"backspace goes back", kKeyBack, false, 2, 5, {RingKeyCommand::Back, -1}},
      {"a letter: nothing", 'A', false, 2, 5, {kNone, -1}},
  };
  for (const auto& c : cases) {
    const RingKeyAction got = RingKeyActionFor(c.key, c.shift, c.selected, c.count);
    EXPECT_EQ(got, c.expected) << c.what << ": got " << static_cast<int>(got.Command) << " " << got.Index;
  }
}

// A letter selects by the shown name's initial, a Chinese name's by its pinyin.
TEST(DragButtonLogic, ALetterSelectsTheNextNameItStartsClockwiseAndCycles) {
  const struct {
    const wchar_t* name;
    char initial;
  } names[] = {{L"notepad", 'N'},
               {L"\u8bb0\u4e8b\u672c", 'J'} /* 记事本 */,
               {L"Word", 'W'},
               {L"\u5fae\u4fe1", 'W'} /* 微信 */,
               {L"", 0},
               {L"\u963f\u91cc", 'A'} /* 阿里: the first of level one */,
               {L"\u5ea7", 'Z'} /* 座: its last */,
               {L"7-Zip", 0},
               {L"\u00e9t\u00e9", 0},
               {L"\u4e3f", 0} /* 丿: level two, radical order */};
  std::vector<char> initials;
  for (const auto& n : names) {
    EXPECT_EQ(NameInitial(n.name), n.initial) << static_cast<int>(n.initial);
    initials.push_back(NameInitial(n.name));
  }
  const struct {
    const char* what;
    int selected;
    char letter;
    int expected;
  } cases[] = {
      {"from none: the first with it", -1, 'W', 2},
      {"again: the next one clockwise", 2, 'W', 3},
      {"and round again", 3, 'W', 2},
      {"a Chinese name by its pinyin", 0, 'J', 1},
      {"the only one, selected: stays", 1, 'J', 1},
      {"wrapping past the last", 8, 'N', 0},
      {"no name starts with it", 0, 'Q', -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NextWithInitial(initials, c.selected, c.letter), c.expected) << c.what;
  }
}

TEST(DragButtonLogic, AKeyboardMenuOpensOnTheSliceHalfwayAcrossItsBand) {
  // A quarter from 0 to 90 degrees (clockwise on screen: right to bottom) of a 200-pixel pie at (10, 20).
  const PointF p = SliceMenuPoint({0.0f, 90.0f, 10.0f, 20.0f, 200.0f, 200.0f});
  EXPECT_NEAR(p.X, 110.0f + 75.0f * 0.70710678f, 0.01f);
  EXPECT_NEAR(p.Y, 120.0f + 75.0f * 0.70710678f, 0.01f);
}

// A screen reader's box round a slice: the band's corners and the rim where it crosses an axis, also across
// 0.
TEST(DragButtonLogic, AnAccessibleSlicesBoxHoldsItsBandAndItsRim) {
  struct Case {
    std::uint8_t kind;
    float start, sweep;
    RectF box;
  };
  const float s = 70.7107f;  // 100 * cos 45
  const Case cases[] = {
      {ConfigFormat::KindSegment, 0, 90, {110, 120, 100, 100}},
      {ConfigFormat::KindSegment, 45, 90, {110 - s, 120 + s / 2, 2 * s, 100 - s / 2}},
      {ConfigFormat::KindSegment, 315, 90, {110 + s / 2, 120 - s, 100 - s / 2, 2 * s}},
      {ConfigFormat::KindSegment, 0, 360, {10, 20, 200, 200}},
      {ConfigFormat::KindCentre, 0, 90, {10, 20, 200, 200}},
  };
  for (const Case& c : cases) {
    const RectF box = SliceBox(c.kind, {c.start, c.sweep, 10.0f, 20.0f, 200.0f, 200.0f});
    EXPECT_NEAR(box.X, c.box.X, 0.01) << c.start;
    EXPECT_NEAR(box.Y, c.box.Y, 0.01) << c.start;
    EXPECT_NEAR(box.Width, c.box.Width, 0.01) << c.start;
    EXPECT_NEAR(box.Height, c.box.Height, 0.01) << c.start;
  }
}

}  // namespace
}  // namespace vantel
