// Shared pieces of the drop-and-launch button tests.
#include "tests/GDIButtons/DragButtonTestSupport.h"

#include <cmath>
#include <filesystem>

#include <objbase.h>
#include <shlobj.h>

#include "GDIButtons/GDIButtonClass.h"
#include "framework/Handles.h"
#include "tests/shell/TestDataObject.h"
#include "tests/support/TestSupport.h"

namespace dragtest {

void SaveLink(const std::filesystem::path& target, const std::filesystem::path& where,
              const wchar_t* arguments, const std::filesystem::path& startIn) {
  ComPtr<IShellLinkW> link;
  ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                             reinterpret_cast<void**>(link.Put())),
            S_OK);
  ASSERT_EQ(link->SetPath(target.c_str()), S_OK);
  ASSERT_EQ(link->SetArguments(arguments), S_OK);
  if (!startIn.empty()) {
    ASSERT_EQ(link->SetWorkingDirectory(startIn.c_str()), S_OK);
  }
  ComPtr<IPersistFile> file;
  ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())), S_OK);
  ASSERT_EQ(file->Save(where.c_str(), TRUE), S_OK);
}

Recorder& Recorded() {
  static Recorder recorder;
  return recorder;
}

Ring::Ring(TComponent* owner, const buttontest::ScratchFolder& folder, int segments, bool withHint) {
  const std::wstring config = folder.Write(
      L"colours.xml", buttontest::ConfigWithRootAttributes(R"( DefaultColor="-16744320" HotColor="-32768")"));
  group_ =
      std::make_unique<TGDICustomButtonGroup>(owner, GDIButtonClass<TRecordingDragButton>(), config,
                                              withHint ? HintWindowClass<TTestHint>() : THintWindowClass{});
  group_->SetHeight(180);
  group_->SetWidth(180);
  for (int i = 0; i < segments; ++i) group_->Items().AddItem();
  group_->ShowAll();
}

Ring::~Ring() = default;

void Ring::MoveTo(int left, int top) {
  TCustomGDIButton* centre = group_->CentreButton();
  centre->SetBounds(left, top, centre->Width(), centre->Height());
  testsupport::PumpUntil([&] {
    for (int i = 0; i < Count(); ++i) {
      RECT r{};
      GetWindowRect(Segment(i).Handle(), &r);
      const POINT place = Segment(i).WindowPlace(left, top);
      if (r.left != place.x || r.top != place.y) return false;
    }
    return true;
  });
  testsupport::PumpFor(100);
}

TRecordingDragButton& Ring::Segment(int i) const {
  auto* button = dynamic_cast<TRecordingDragButton*>(group_->Items().Items(i)->Button());
  if (!button) throw std::logic_error("segment without a recording button");
  return *button;
}

TRecordingDragButton& Ring::Centre() const {
  auto* button = dynamic_cast<TRecordingDragButton*>(group_->CentreButton());
  if (!button) throw std::logic_error("centre without a recording button");
  return *button;
}

POINT SlicePoint(const TCustomGDIButton& b) {
  const TPieRect& r = *b.PieRect();
  const double mid = (r.StartAngle + r.SweepAngle / 2.0) * 3.14159265358979323846 / 180.0;
  const double cx = b.Left() + r.X + r.Width / 2.0, cy = b.Top() + r.Y + r.Height / 2.0;
  const double radius = r.Height * 3.0 / 8.0;
  return POINT{static_cast<LONG>(std::lround(cx + radius * std::cos(mid))),
               static_cast<LONG>(std::lround(cy + radius * std::sin(mid)))};
}

UsedSegmentDrag::UsedSegmentDrag(TComponent* owner, const buttontest::ScratchFolder& folder,
                                 const std::wstring& held, const std::wstring& dragged)
    : ring(owner, folder, 4),
      used(ring.Segment(0)),
      data(CF_HDROP, TestDataObject::DropFiles({dragged})),
      target(used.DropTarget().DropTarget()),
      point{used.Left() + 130, used.Top() + 130} {
  used.SetFileName(held);
}

HRESULT DropFiles(TDragGDIButton& button, const std::vector<std::wstring>& files) {
  TestDataObject data(CF_HDROP, TestDataObject::DropFiles(files));
  IDropTarget* target = button.DropTarget().DropTarget();
  const POINT centre = testsupport::WindowCentre(button.Handle());
  const POINTL point{centre.x, centre.y};
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  if (FAILED(target->DragEnter(&data, MK_LBUTTON, point, &effect))) return E_FAIL;
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  return target->Drop(&data, MK_LBUTTON, point, &effect);
}

void DragButtonTestBase::SetUp() {
  buttontest::WindowTestBase::SetUp();
  Recorded() = Recorder{};
}

void DragButtonTestBase::TearDown() {
  Recorded() = Recorder{};
  buttontest::WindowTestBase::TearDown();
}

std::wstring DragButtonTestBase::File(const std::wstring& name) {
  const std::wstring path = folder_.File(name);
  if (!std::filesystem::exists(path)) folder_.Write(name, "some text\r\n");
  return path;
}

}  // namespace dragtest
