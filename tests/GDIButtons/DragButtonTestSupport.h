// Shared pieces of the drop-and-launch button tests: a recording button class, a test hint window, a ring.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/DragGDIButton.h"
#include "tests/GDIButtons/ButtonTestSupport.h"
#include "tests/shell/TestDataObject.h"

namespace dragtest {

class TRecordingDragButton;

// One call of SaveToConfig: which button, and the file it held then.
struct StoreCall {
  const TRecordingDragButton* button;
  std::wstring fileName;
};

// What every recording button sees and records, shared by the buttons the ring creates itself.
struct Recorder {
  bool realMouseButtons = false;  // true: GetAsyncKeyState decides, as in the program
  bool leftHeld = false;
  bool rightHeld = false;
  int iconSize = 0;  // 0: the size the monitor's DPI asks for
  // The foreground thread as another program's drag leaves it: its capture (none: the system's answer).
  HWND foreignCapture = nullptr;
  int foregroundQueries = 0;
  std::vector<StoreCall> stores;
};
Recorder& Recorded();

// The drop-and-launch button with the storing hooks recorded instead of writing a file.
class TRecordingDragButton : public TDragGDIButton {
 public:
  explicit TRecordingDragButton(TComponent* owner, const TButtonColors& colors = {},
                                TButtonStart start = TButtonStart::Shown)
      : TDragGDIButton(owner, colors, start, RecordedPushes()) {}

  int deleteEntries = 0;
  std::wstring xmlFileName;

  void SaveToConfig() override { Recorded().stores.push_back({this, FileName()}); }
  void AddDeleteMenuItem() override { ++deleteEntries; }
  std::wstring XmlFileName() const override { return xmlFileName; }
  void SetXmlFileName(const std::wstring& name) override { xmlFileName = name; }

  int StoreCount() const {
    int n = 0;
    for (const StoreCall& s : Recorded().stores) n += s.button == this;
    return n;
  }

  using TDragGDIButton::DropTargetDragEnter;
  using TDragGDIButton::UpdateIconPosition;

 protected:
  bool MouseButtonHeld(int virtualKey) const override {
    const Recorder& r = Recorded();
    if (r.realMouseButtons) return TDragGDIButton::MouseButtonHeld(virtualKey);
    return virtualKey == VK_LBUTTON ? r.leftHeld : virtualKey == VK_RBUTTON ? r.rightHeld : false;
  }
  int ShellIconSize() override {
    return Recorded().iconSize > 0 ? Recorded().iconSize : TDragGDIButton::ShellIconSize();
  }
  bool ForegroundThreadInfo(GUITHREADINFO& info) const override {
    ++Recorded().foregroundQueries;
    if (!Recorded().foreignCapture) return TDragGDIButton::ForegroundThreadInfo(info);
    info.hwndCapture = Recorded().foreignCapture;
    info.flags = GUI_INMOVESIZE;
    return true;
  }
};

// A hint window stand-in: keeps the text it was given and counts its repaints. Like a hint should, it
// never takes the pointer (an empty window region, and WS_EX_TRANSPARENT), or, covering the desktop, it
// would take every move where the system hit-tests layered windows by their rectangle (Wine).
class TTestHint : public TCustomGDIButton {
 public:
  explicit TTestHint(TComponent* owner) : TCustomGDIButton(owner, {}, TButtonStart::Shown, RecordedPushes()) {
    PassThePointerOn();
  }
  int repaints = 0;
  void Repaint() override {
    ++repaints;
    TCustomGDIButton::Repaint();
  }
  void UpdateLayered() override {
    TCustomGDIButton::UpdateLayered();
    PassThePointerOn();
  }
  void PassThePointerOn() {
    SetWindowLongPtrW(Handle(), GWL_EXSTYLE, GetWindowLongPtrW(Handle(), GWL_EXSTYLE) | WS_EX_TRANSPARENT);
    if (!shaped_) shaped_ = SetWindowRgn(Handle(), CreateRectRgn(0, 0, 0, 0), FALSE) != 0;
  }

 private:
  bool shaped_ = false;
};

// A point in the middle of a segment's slice (on its middle angle, 3/8 of the height out), on the screen.
POINT SlicePoint(const TCustomGDIButton& button);

// A 180 x 180 ring of recording buttons with `segments` segments, its colours from a configuration file.
class Ring {
 public:
  Ring(TComponent* owner, const buttontest::ScratchFolder& folder, int segments, bool withHint = true);
  ~Ring();
  Ring(const Ring&) = delete;
  Ring& operator=(const Ring&) = delete;

  TGDICustomButtonGroup& Group() { return *group_; }
  int Count() const { return group_->Items().Count(); }
  TRecordingDragButton& Segment(int i) const;
  TRecordingDragButton& Centre() const;
  TTestHint* Hint() const { return dynamic_cast<TTestHint*>(group_->HintWindow()); }
  // Moves the ring (its centre; the segments follow) and waits until every segment is there.
  void MoveTo(int left, int top);

 private:
  std::unique_ptr<TGDICustomButtonGroup> group_;
};

// A four-segment ring whose segment 0 holds `held`, and what a drag of `dragged` over that segment brings
// its drop target: the data and a point on the slice.
struct UsedSegmentDrag {
  UsedSegmentDrag(TComponent* owner, const buttontest::ScratchFolder& folder, const std::wstring& held,
                  const std::wstring& dragged);
  Ring ring;
  TRecordingDragButton& used;
  TestDataObject data;
  IDropTarget* target;
  POINTL point;
};

// Saves a shortcut to `target` at `where`, with arguments and a start-in folder.
void SaveLink(const std::filesystem::path& target, const std::filesystem::path& where,
              const wchar_t* arguments = L"", const std::filesystem::path& startIn = {});

// Drops `files` on the button through its registered drop target, as OLE does: drag enter, then drop.
// Returns what Drop answered.
HRESULT DropFiles(TDragGDIButton& button, const std::vector<std::wstring>& files);

// Base of the window tests: images kept, a fresh recorder, a scratch folder with a few files.
class DragButtonTestBase : public buttontest::WindowTestBase {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A file of the scratch folder (created, with some text, on first use).
  std::wstring File(const std::wstring& name);

  buttontest::ScratchFolder folder_;
};

}  // namespace dragtest
