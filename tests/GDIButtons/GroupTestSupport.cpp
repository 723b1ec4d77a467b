// Helpers of the button group tests.
#include "tests/GDIButtons/GroupTestSupport.h"

#include "framework/Application.h"
#include "framework/Screen.h"
#include "xml/ConfigFormat.h"

namespace grouptest {

std::vector<ButtonEvent>& ButtonEvents() {
  static std::vector<ButtonEvent> events;
  return events;
}

std::vector<const TCustomGDIButton*> EventsOf(ButtonEvent::Kind kind) {
  std::vector<const TCustomGDIButton*> buttons;
  for (const ButtonEvent& event : ButtonEvents())
    if (event.kind == kind) buttons.push_back(event.button);
  return buttons;
}

TLoggingButton::TLoggingButton(TComponent* owner, const TButtonColors& colors, TButtonStart start)
    : TTestButton(owner, colors, start) {
  ButtonEvents().push_back({ButtonEvent::Created, this});
}

TLoggingButton::~TLoggingButton() {
  ButtonEvents().push_back({ButtonEvent::Destroyed, this});
}

void TLoggingButton::RedrawButton() {
  ButtonEvents().push_back({ButtonEvent::Redrawn, this});
  TTestButton::RedrawButton();
}

void GroupTestBase::SetUp() {
  WindowTestBase::SetUp();
  ButtonEvents().clear();
  Application->SetMainForm(form_.get());
  config_ =
      folder_.Write(L"SystemConfig.xml",
                    buttontest::ConfigWithRootAttributes(
                        " DefaultColor=\"" + std::to_string(static_cast<std::int32_t>(kNormalColour)) +
                        "\" HotColor=\"" + std::to_string(static_cast<std::int32_t>(kHoverColour)) + "\""));
}

void GroupTestBase::TearDown() {
  Application->SetMainForm(nullptr);
  WindowTestBase::TearDown();
}

std::unique_ptr<TGDICustomButtonGroup> GroupTestBase::MakeGroup(bool withHint) {
  return std::make_unique<TGDICustomButtonGroup>(
      form_.get(), GDIButtonClass<TLoggingButton>(), config_,
      withHint ? HintWindowClass<TLoggingButton>() : THintWindowClass());
}

std::unique_ptr<TGDICustomButtonGroup> GroupTestBase::MakeRing(int segments, int side, bool withHint) {
  auto group = MakeGroup(withHint);
  group->SetHeight(side);
  group->SetWidth(side);
  for (int i = 0; i < segments; ++i) group->Items().AddItem();
  return group;
}

int DesktopWidth() {
  return GetSystemMetrics(SM_CXVIRTUALSCREEN);
}
int DesktopHeight() {
  return GetSystemMetrics(SM_CYVIRTUALSCREEN);
}

RECT WindowRect(const TCustomGDIButton& button) {
  RECT r{};
  GetWindowRect(const_cast<TCustomGDIButton&>(button).Handle(), &r);
  const RECT box = button.WindowBox();
  if (box.left == 0 && box.top == 0 && box.right == button.Width() && box.bottom == button.Height()) return r;
  // The window is as large as its box: anything else would not line up with the slice.
  EXPECT_EQ(r.right - r.left, box.right - box.left);
  EXPECT_EQ(r.bottom - r.top, box.bottom - box.top);
  const LONG left = r.left - box.left, top = r.top - box.top;
  return RECT{left, top, left + button.Width(), top + button.Height()};
}

std::vector<TCustomGDIButton*> SegmentButtons(const TGDICustomButtonGroup& group) {
  std::vector<TCustomGDIButton*> buttons;
  for (int i = 0; i < group.Items().Count(); ++i) buttons.push_back(group.Items().Items(i)->Button());
  return buttons;
}

void ExpectEvenRing(const TGDICustomButtonGroup& group, int side) {
  const TGDIButtonGroupItems& items = group.Items();
  const int n = items.Count();
  ASSERT_EQ(items.RectCount(), n);
  EXPECT_EQ(group.Width(), side);
  EXPECT_EQ(group.Height(), side);
  const RECT centre = WindowRect(*group.CentreButton());
  for (int i = 0; i < n; ++i) {
    SCOPED_TRACE(testing::Message() << "segment " << i << " of " << n);
    TCustomGDIButton* button = items.Items(i)->Button();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->PieRect(), items.Rect(i));
    EXPECT_EQ(items.Rect(i)->Values(), vantel::SegmentRect(i, n, side, side));
    EXPECT_EQ(button->Width(), side);
    EXPECT_EQ(button->Height(), side);
    const RECT r = WindowRect(*button);
    EXPECT_EQ(r.left, centre.left);
    EXPECT_EQ(r.top, centre.top);
    EXPECT_EQ(r.right - r.left, side);
    EXPECT_EQ(r.bottom - r.top, side);
    EXPECT_EQ(button->ButtonKind(), ConfigFormat::KindSegment);
    EXPECT_EQ(button->GroupItems(), &items);
  }
}

vantel::WindowOrigin CentredOrigin(int side) {
  return vantel::RingOrigin(CurrentMonitors(), nullptr, side, side);
}

void ExpectCentreAt(const TGDICustomButtonGroup& group, int left, int top, int side) {
  const RECT r = WindowRect(*group.CentreButton());
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right - r.left, side);
  EXPECT_EQ(r.bottom - r.top, side);
}

int AlphaAt(const TCustomGDIButton& button, double radius, double degrees) {
  const TPushedImage& image = LastPushedImage(button);
  return buttontest::Split(
             buttontest::PolarPixel(image, button.Width() / 2.0, button.Height() / 2.0, radius, degrees))
      .a;
}

}  // namespace grouptest
