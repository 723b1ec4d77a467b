// The button group under Wine with real windows: construction, sizing, adding, deleting, moving, showing
// and destruction of the ring (its growth: GroupGrowthTest.cpp).
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

#include "GDIButtons/RingLayout.h"
#include "tests/GDIButtons/GroupTestSupport.h"
#include "tests/support/TestSupport.h"
#include "xml/ConfigFormat.h"

namespace {

using namespace grouptest;

// Items class that counts its refreshes, to see that the group builds the class it is given.
class TCountingItems : public TGDIButtonGroupItems {
 public:
  using TGDIButtonGroupItems::TGDIButtonGroupItems;
  int refreshes = 0;
  void Refresh() override {
    ++refreshes;
    TGDIButtonGroupItems::Refresh();
  }
};

TEST_F(GroupTest, ConstructionBuildsCollectionCentreAndHintInOrderAndSizesNothing) {
  std::vector<std::string> order;
  const TGDIButtonClass buttons = GDIButtonClass<TLoggingButton>();
  const THintWindowClass hints = HintWindowClass<TLoggingButton>();
  const TGDIButtonGroupItemsClass items = ButtonGroupItemsClass<TCountingItems>();
  auto group = std::make_unique<TGDICustomButtonGroup>(
      form_.get(),
      [&](TComponent* owner, const std::wstring& file, const TButtonInputs& inputs) {
        order.push_back("button");
        return buttons(owner, file, inputs);
      },
      config_,
      [&](TComponent* owner) {
        order.push_back("hint");
        return hints(owner);
      },
      [&](TGDICustomButtonGroup& g, TCollectionItemFactory itemClass) {
        order.push_back("items");
        return items(g, std::move(itemClass));
      });
  EXPECT_EQ(order, (std::vector<std::string>{"items", "button", "hint"}));

  EXPECT_EQ(group->Owner(), form_.get());
  EXPECT_EQ(group->Width(), 0);
  EXPECT_EQ(group->Height(), 0);
  EXPECT_FALSE(group->GrowFlag());
  ASSERT_NE(dynamic_cast<TCountingItems*>(&group->Items()), nullptr);
  EXPECT_EQ(group->Items().Count(), 0);
  EXPECT_EQ(group->Items().RectCount(), 0);
  EXPECT_EQ(group->Items().GetOwner(), group.get());

  // The centre is built from the group's configuration file with the group's owner, and not laid out yet.
  TCustomGDIButton* centre = group->CentreButton();
  ASSERT_NE(centre, nullptr);
  EXPECT_EQ(centre->Owner(), form_.get());
  EXPECT_EQ(centre->DefaultColor, grouptest::kNormalColour);
  EXPECT_EQ(centre->HotColor, grouptest::kHoverColour);
  EXPECT_EQ(centre->GroupItems(), nullptr);
  EXPECT_EQ(centre->ButtonKind(), ConfigFormat::KindSegment);

  // The hint window covers the virtual desktop and knows the ring.
  TCustomGDIButton* hint = group->HintWindow();
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->Owner(), form_.get());
  const RECT r = WindowRect(*hint);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, DesktopWidth());
  EXPECT_EQ(r.bottom, DesktopHeight());
  EXPECT_EQ(hint->ButtonKind(), ConfigFormat::KindSegment);
  EXPECT_EQ(hint->GroupItems(), &group->Items());
  EXPECT_EQ(hint->Parent(), form_.get());
}

TEST_F(GroupTest, DefaultItemsClassIsTheSegmentCollection) {
  auto group = MakeGroup();
  EXPECT_EQ(typeid(group->Items()), typeid(TGDIButtonGroupItems));
  EXPECT_EQ(&group->Items().Group(), group.get());
}

TEST_F(GroupTest, SizingPlacesTheCentreDiscInTheMiddleOfTheDesktop) {
  struct Case {
    int height, width;
  };
  const Case cases[] = {{180, 180}, {220, 220}, {180, 260}, {DesktopHeight() + 1, DesktopWidth() + 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    auto group = MakeGroup();
    TCustomGDIButton* centre = group->CentreButton();
    // Start-up's order: height first, while the width is still 0 (an empty window: nothing to paint).
    group->SetHeight(c.height);
    ButtonEvents().clear();
    group->SetWidth(c.width);
    EXPECT_EQ(EventsOf(ButtonEvent::Redrawn), std::vector<const TCustomGDIButton*>{centre});

    const vantel::PieRectValues expected = vantel::LayoutCenterRect(c.width, c.height);
    EXPECT_EQ(group->CentreRect().Values(), expected);
    EXPECT_EQ(group->CentreX(), expected.X);
    EXPECT_EQ(group->CentreY(), expected.Y);
    EXPECT_EQ(group->CentreWidth(), expected.Width);
    EXPECT_EQ(group->CentreHeight(), expected.Height);
    EXPECT_EQ(centre->PieRect(), &group->CentreRect());
    EXPECT_EQ(centre->ButtonKind(), ConfigFormat::KindCentre);
    EXPECT_EQ(centre->GroupItems(), &group->Items());
    EXPECT_EQ(centre->Parent(), form_.get());

    const vantel::WindowOrigin origin =
        vantel::CenterWindowOrigin(DesktopWidth(), DesktopHeight(), c.width, c.height);
    const RECT r = WindowRect(*centre);
    EXPECT_EQ(r.left, origin.Left);
    EXPECT_EQ(r.top, origin.Top);
    EXPECT_EQ(r.right - r.left, c.width);
    EXPECT_EQ(r.bottom - r.top, c.height);
  }
}

TEST_F(GroupTest, CentreDiscIsDrawnInTheMiddleWithAGapToTheRing) {
  auto group = MakeRing(4);
  const TCustomGDIButton& centre = *group->CentreButton();
  ASSERT_EQ(centre.Width(), 180);
  // Disc of radius 36 around (90, 90); the ring starts at radius 40.
  for (int degrees = 0; degrees < 360; degrees += 45) {
    SCOPED_TRACE(degrees);
    EXPECT_EQ(AlphaAt(centre, 0, degrees), 210);
    EXPECT_EQ(AlphaAt(centre, 33, degrees), 210);
    EXPECT_EQ(AlphaAt(centre, 39, degrees), 0);
    EXPECT_EQ(AlphaAt(centre, 60, degrees), 0);
  }
}

TEST_F(GroupTest, SetWidthAloneLeavesTheSegmentsAtTheirOldSize) {
  auto group = MakeRing(4);
  group->SetWidth(200);
  for (TCustomGDIButton* button : SegmentButtons(*group)) {
    EXPECT_EQ(button->Width(), 180);
    EXPECT_EQ(button->PieRect()->Width, 160.0f);
  }
  // The next structural change brings them to the new size.
  group->Items().AddItem();
  for (TCustomGDIButton* button : SegmentButtons(*group)) {
    EXPECT_EQ(button->Width(), 200);
    EXPECT_EQ(button->Height(), 180);
    EXPECT_EQ(button->PieRect()->Width, 180.0f);
    EXPECT_EQ(button->PieRect()->Height, 160.0f);
  }
}

TEST_F(GroupTest, AddingSpreadsTheRingEvenlyAndRepaintsLastToFirst) {
  auto group = MakeRing(0);
  for (int n = 1; n <= 6; ++n) {
    SCOPED_TRACE(testing::Message() << n << " segments");
    ButtonEvents().clear();
    TGDIButtonGroupItem* added = group->Items().AddItem();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added, group->Items().Items(n - 1));
    EXPECT_FALSE(group->Items().Adding());
    EXPECT_FALSE(group->Items().Refreshing());
    ExpectEvenRing(*group, 180);

    // The new button: from the group's file, owned by the group's owner, under the main window.
    TCustomGDIButton* button = added->Button();
    EXPECT_EQ(button->Owner(), form_.get());
    EXPECT_EQ(button->Parent(), form_.get());
    EXPECT_EQ(button->DefaultColor, grouptest::kNormalColour);
    EXPECT_EQ(button->HotColor, grouptest::kHoverColour);

    // Created, then the centre repainted, then every segment from the last to the first.
    std::vector<const TCustomGDIButton*> expected{group->CentreButton()};
    const std::vector<TCustomGDIButton*> segments = SegmentButtons(*group);
    expected.insert(expected.end(), segments.rbegin(), segments.rend());
    EXPECT_EQ(EventsOf(ButtonEvent::Created), std::vector<const TCustomGDIButton*>{button});
    EXPECT_EQ(EventsOf(ButtonEvent::Redrawn), expected);
  }
}

class GroupSliceTest : public grouptest::GroupTestBase, public testing::WithParamInterface<int> {};

TEST_P(GroupSliceTest, EverySegmentPaintsItsOwnSlice) {
  const int n = GetParam();
  auto group = MakeRing(n);
  const double share = 360.0 / n;
  const std::vector<TCustomGDIButton*> segments = SegmentButtons(*group);
  for (int i = 0; i < n; ++i) {
    SCOPED_TRACE(i);
    const TCustomGDIButton& button = *segments[static_cast<size_t>(i)];
    ASSERT_EQ(button.Width(), 180);
    const double middle = share * i + share / 2;
    EXPECT_EQ(AlphaAt(button, 60, middle), 210);
    EXPECT_EQ(AlphaAt(button, 45, share * i + 5), 210);
    EXPECT_EQ(AlphaAt(button, 60, share * i + 1), 0);        // the gap before it
    EXPECT_EQ(AlphaAt(button, 60, share * (i + 1) - 1), 0);  // the gap after it
    EXPECT_EQ(AlphaAt(button, 30, middle), 0);               // the hole
    if (n > 1) {
      EXPECT_EQ(AlphaAt(button, 60, middle + share), 0);  // the next segment's slice
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Counts, GroupSliceTest, testing::Values(1, 2, 4, 5));

TEST_F(GroupTest, NewSegmentsArePlacedWhereTheCentreIsNow) {
  auto group = MakeRing(2);
  TCustomGDIButton* centre = group->CentreButton();
  // Moving the centre window takes the segments along.
  centre->SetBounds(100, 120, 180, 180);
  for (TCustomGDIButton* button : SegmentButtons(*group)) {
    EXPECT_EQ(WindowRect(*button).left, 100);
    EXPECT_EQ(WindowRect(*button).top, 120);
  }
  TCustomGDIButton* added = group->Items().AddItem()->Button();
  EXPECT_EQ(WindowRect(*added).left, 100);
  EXPECT_EQ(WindowRect(*added).top, 120);
  ExpectEvenRing(*group, 180);
  ExpectCentreAt(*group, 100, 120, 180);
}

TEST_F(GroupTest, DeletingReSpreadsTheRingAndKeepsTheRectanglesParallel) {
  struct Step {
    int deleteAt;                // -1: add one segment instead
    std::vector<int> remaining;  // original numbers of the segments left, in index order; new ones are 100+
  };
  const Step steps[] = {
      {2, {0, 1, 3, 4}},  // from the middle
      {0, {1, 3, 4}},     // the first
      {2, {1, 3}},        // the last
      {1, {1}},           //
      {0, {}},            // down to zero
      {-1, {100}},        // and back
      {-1, {100, 101}},
  };
  auto group = MakeRing(5);
  // Buttons are told apart by name: a freed button's address may well come back for a new one.
  for (int i = 0; i < 5; ++i) group->Items().Items(i)->Button()->SetName(std::to_wstring(i));
  int added = 0;
  auto number = [](TCustomGDIButton* button) { return std::stoi(button->Name()); };
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::Message() << "step deleting " << step.deleteAt);
    ButtonEvents().clear();
    HWND gone = nullptr;
    if (step.deleteAt >= 0) {
      TCustomGDIButton* doomed = group->Items().Items(step.deleteAt)->Button();
      gone = doomed->Handle();
      group->Items().Delete(step.deleteAt);
      EXPECT_EQ(EventsOf(ButtonEvent::Destroyed), std::vector<const TCustomGDIButton*>{doomed});
      EXPECT_FALSE(IsWindow(gone));
    } else {
      group->Items().AddItem()->Button()->SetName(std::to_wstring(100 + added++));
    }
    std::vector<int> numbers;
    for (TCustomGDIButton* button : SegmentButtons(*group)) numbers.push_back(number(button));
    EXPECT_EQ(numbers, step.remaining);
    ExpectEvenRing(*group, 180);
    // The survivors are repainted with their new share, the last first; none when nothing is left.
    if (step.deleteAt >= 0) {
      std::vector<const TCustomGDIButton*> expected;
      if (group->Items().Count() > 0) expected.push_back(group->CentreButton());
      const std::vector<TCustomGDIButton*> segments = SegmentButtons(*group);
      expected.insert(expected.end(), segments.rbegin(), segments.rend());
      EXPECT_EQ(EventsOf(ButtonEvent::Redrawn), expected);
    }
  }
  // Indexes outside the collection delete nothing.
  group->Items().Delete(2);
  group->Items().Delete(-1);
  EXPECT_EQ(group->Items().Count(), 2);
  ExpectEvenRing(*group, 180);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(GroupTest, MovingASegmentGivesItTheShareOfItsNewPlace) {
  auto group = MakeRing(4);
  const std::vector<TCustomGDIButton*> before = SegmentButtons(*group);
  std::vector<TPieRect*> rects;
  for (int i = 0; i < 4; ++i) rects.push_back(group->Items().Rect(i));

  group->Items().Items(0)->SetIndex(2);
  const std::vector<TCustomGDIButton*> after = SegmentButtons(*group);
  EXPECT_EQ(after, (std::vector<TCustomGDIButton*>{before[1], before[2], before[0], before[3]}));
  // The rectangles stay where they are and are handed out by position.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(group->Items().Rect(i), rects[static_cast<size_t>(i)]);
  ExpectEvenRing(*group, 180);
  EXPECT_EQ(before[0]->PieRect()->StartAngle, 183.0f);
  EXPECT_EQ(AlphaAt(*before[0], 60, 225), 210);
}

TEST_F(GroupTest, ShowAllShowsAndRepaintsEveryButtonCentreFirst) {
  auto group = MakeRing(4);
  group->CentreButton()->Hide();
  for (TCustomGDIButton* button : SegmentButtons(*group)) button->Hide();
  group->HintWindow()->Hide();
  ButtonEvents().clear();
  group->ShowAll();
  std::vector<const TCustomGDIButton*> expected{group->CentreButton()};
  for (TCustomGDIButton* button : SegmentButtons(*group)) expected.push_back(button);
  EXPECT_EQ(EventsOf(ButtonEvent::Redrawn), expected);
  for (const TCustomGDIButton* button : expected) {
    EXPECT_TRUE(IsWindowVisible(const_cast<TCustomGDIButton*>(button)->Handle()));
    EXPECT_FALSE(buttontest::AllTransparent(LastPushedImage(*button)));
  }
  EXPECT_FALSE(IsWindowVisible(group->HintWindow()->Handle()));  // the hint is not the ring's
}

TEST_F(GroupTest, DestroyingTheGroupDestroysCentreThenHintThenTheSegments) {
  auto group = MakeRing(3);
  group->ShowAll();
  const TCustomGDIButton* centre = group->CentreButton();
  const TCustomGDIButton* hint = group->HintWindow();
  std::vector<HWND> windows{group->CentreButton()->Handle(), group->HintWindow()->Handle()};
  std::set<const TCustomGDIButton*> segments;
  for (TCustomGDIButton* button : SegmentButtons(*group)) {
    segments.insert(button);
    windows.push_back(button->Handle());
  }
  ButtonEvents().clear();
  group.reset();
  const std::vector<const TCustomGDIButton*> destroyed = EventsOf(ButtonEvent::Destroyed);
  ASSERT_EQ(destroyed.size(), 5u);
  EXPECT_EQ(destroyed[0], centre);
  EXPECT_EQ(destroyed[1], hint);
  EXPECT_EQ(std::set<const TCustomGDIButton*>(destroyed.begin() + 2, destroyed.end()), segments);
  for (HWND window : windows) EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(GroupTest, RunsWithoutAHintWindow) {
  auto group = MakeRing(3, 180, /*withHint=*/false);
  EXPECT_EQ(group->HintWindow(), nullptr);
  group->ShowAll();
  group->CentreButton()->SetBounds(50, 50, 180, 180);
  group->SetGrowFlag(true);
  group->Items().Delete(1);
  ExpectEvenRing(*group, 220);
  group.reset();
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(GroupTest, ItemBuildsItsButtonWhileAddingAndRefreshingAreSet) {
  TGDICustomButtonGroup* self = nullptr;
  std::vector<std::pair<bool, bool>> flags;  // (adding, refreshing) at each segment button's creation
  const TGDIButtonClass buttons = GDIButtonClass<TLoggingButton>();
  auto group = std::make_unique<TGDICustomButtonGroup>(
      form_.get(),
      [&](TComponent* owner, const std::wstring& file, const TButtonInputs& inputs) {
        if (self) flags.emplace_back(self->Items().Adding(), self->Items().Refreshing());
        return buttons(owner, file, inputs);
      },
      config_);
  self = group.get();
  group->SetHeight(180);
  group->SetWidth(180);
  group->Items().AddItem();
  group->Items().AddItem();
  EXPECT_EQ(flags, (std::vector<std::pair<bool, bool>>{{true, true}, {true, true}}));
  EXPECT_FALSE(group->Items().Adding());
  EXPECT_FALSE(group->Items().Refreshing());
}

TEST_F(GroupTest, AFailedButtonLeavesTheRingAsItWas) {
  bool fail = false;
  const TGDIButtonClass buttons = GDIButtonClass<TLoggingButton>();
  auto group = std::make_unique<TGDICustomButtonGroup>(
      form_.get(),
      [&](TComponent* owner, const std::wstring& file,
          const TButtonInputs& inputs) -> std::unique_ptr<TCustomGDIButton> {
        if (fail) throw std::runtime_error("configuration unreadable");
        return buttons(owner, file, inputs);
      },
      config_);
  group->SetHeight(180);
  group->SetWidth(180);
  group->Items().AddItem();
  group->Items().AddItem();
  fail = true;
  EXPECT_THROW(group->Items().AddItem(), std::runtime_error);
  EXPECT_EQ(group->Items().Count(), 2);
  EXPECT_FALSE(group->Items().Adding());
  EXPECT_FALSE(group->Items().Refreshing());
  ExpectEvenRing(*group, 180);
  fail = false;
  group->Items().AddItem();
  ExpectEvenRing(*group, 180);
  EXPECT_EQ(group->Items().Count(), 3);
}

TEST_F(GroupTest, ItemDisplayNameIsItsButtonsName) {
  auto group = MakeRing(1);
  TGDIButtonGroupItem* item = group->Items().Items(0);
  EXPECT_EQ(item->GetDisplayName(), L"");
  item->Button()->SetName(L"Segment1");
  EXPECT_EQ(item->GetDisplayName(), L"Segment1");
}

TEST(GDICollection, AddItemInsistsOnCollectionItemsOfItsOwnKind) {
  TGDICollection good(CollectionItemClass<TGDICollectionItem>());
  TGDICollectionItem* item = good.AddItem();
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(good.Items(0), item);

  TGDICollection bad(CollectionItemClass<TCollectionItem>());
  EXPECT_THROW(bad.AddItem(), std::runtime_error);
}

}  // namespace
