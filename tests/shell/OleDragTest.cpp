// A real OLE drag from another process (our drag_source.exe) onto a window registered by TTextTarget.
#include <gtest/gtest.h>

#include <memory>

#include "framework/Controls.h"
#include "shell/TextTarget.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

// drag_source.exe exits with the drop effect, or 100 when the drag was cancelled.
constexpr long kCancelled = 100;

std::wstring Quote(const std::wstring& s) {
  return L"\"" + s + L"\"";
}

class OleDragTest : public testing::Test {
 protected:
  void SetUp() override {
    acceptor_ = std::make_unique<TCustomControl>(&form_);
    // Away from the desktop's centre and corner, where other programs' windows tend to be.
    const int left = GetSystemMetrics(SM_CXSCREEN) - 320;
    acceptor_->SetBounds(left, 120, 200, 150);
    SetWindowPos(acceptor_->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    target_ = std::make_unique<TTextTarget>(acceptor_.get());
    target_->SetAcceptorControl(acceptor_.get());
    target_->SetAcceptTextFormats({TDropTextFormat::dtfFiles});
    ASSERT_TRUE(target_->Registered());
    target_->OnDragEnter = [this](TObject*, TDropEffect e, int x, int y) { Log(L"enter", e, x, y); };
    target_->OnDragOver = [this](TObject*, TDropEffect e, int x, int y) { Log(L"over", e, x, y); };
    target_->OnDragLeave = [this](TObject*) { events_.push_back({L"leave", TDropEffect::deNone, 0, 0}); };
    target_->OnDrop = [this](TObject*, TWinControl*, const std::wstring&, int x, int y) {
      Log(L"drop", TDropEffect::deNone, x, y);
    };
    PumpPending();
  }

  struct Event {
    std::wstring name;
    TDropEffect effect;
    int x, y;
  };
  void Log(const wchar_t* name, TDropEffect e, int x, int y) { events_.push_back({name, e, x, y}); }

  // Runs the helper: it drags `files` (or text), puts the cursor on the target's centre and drops.
  long Drag(const std::wstring& options, const std::vector<std::wstring>& files) {
    RECT r;
    GetWindowRect(acceptor_->Handle(), &r);
    centre_ = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    std::wstring command = Quote((ProgramFolder() / L"drag_source.exe").wstring());
    command += L" --at " + std::to_wstring(centre_.x) + L" " + std::to_wstring(centre_.y) + L" " + options;
    for (const auto& f : files) command += L" " + Quote(f);
    events_.clear();
    return RunPumping(command);
  }

  POINT CentreInClient() const {
    POINT p = centre_;
    ScreenToClient(acceptor_->Handle(), &p);
    return p;
  }

  TComponent form_{nullptr};
  std::unique_ptr<TCustomControl> acceptor_;
  std::unique_ptr<TTextTarget> target_;
  std::vector<Event> events_;
  POINT centre_{};
  testsupport::ScratchFolder folder_;
};

TEST_F(OleDragTest, ThreeFilesDroppedFromAnotherProcessArriveInShellOrder) {
  const std::wstring longName = std::wstring(140, L'n') + L"\\" + std::wstring(140, L'm') + L".txt";
  const std::vector<std::wstring> files = {(folder_.Path() / L"first file.txt").wstring(),
                                           (folder_.Path() / L"\u7b2c\u4e8c.lnk").wstring(),
                                           (folder_.Path() / longName).wstring()};
  ASSERT_GT(files[2].size(), 300u);

  EXPECT_EQ(Drag(L"", files), static_cast<long>(DROPEFFECT_LINK));

  ASSERT_GE(events_.size(), 2u);
  const POINT client = CentreInClient();
  EXPECT_EQ(events_.front().name, L"enter");
  EXPECT_EQ(events_.front().effect, TDropEffect::deLink) << "a plain drag that allows everything links";
  EXPECT_EQ(events_.back().name, L"drop");
  EXPECT_EQ(events_.back().x, client.x);
  EXPECT_EQ(events_.back().y, client.y);
  for (size_t i = 1; i + 1 < events_.size(); ++i) {
    EXPECT_EQ(events_[i].name, L"over") << i;
    EXPECT_EQ(events_[i].effect, TDropEffect::deLink) << i;
  }
  EXPECT_EQ(target_->DroppedLines(), files);
  EXPECT_EQ(target_->DroppedText(), files[0] + L"\r\n" + files[1] + L"\r\n" + files[2]);
}

TEST_F(OleDragTest, HeldKeysChooseTheEffectTheSourceSees) {
  const struct {
    const wchar_t* options;
    long effect;  // what DoDragDrop reported back to the source
  } cases[] = {
      {L"--keys none", DROPEFFECT_LINK},
      {L"--keys ctrl", DROPEFFECT_COPY},
      {L"--keys shift", DROPEFFECT_LINK},
      {L"--keys ctrlshift", DROPEFFECT_LINK},
      {L"--keys none --allow copy,move", DROPEFFECT_COPY},
      {L"--keys shift --allow copy,move", DROPEFFECT_COPY},
  };
  for (const auto& c : cases) {
    const std::wstring file = (folder_.Path() / (std::wstring(L"k") + std::to_wstring(c.effect))).wstring();
    EXPECT_EQ(Drag(c.options, {file}), c.effect) << c.options;
    EXPECT_EQ(target_->DroppedText(), file) << c.options;
  }
}

// A source that allows only a move is never told its file was moved: it would delete it.
TEST_F(OleDragTest, AWishTheSourceDoesNotAllowOrAMoveOnlySourceIsNoDrop) {
  const std::wstring before = (folder_.Path() / L"before.txt").wstring();
  ASSERT_EQ(Drag(L"", {before}), static_cast<long>(DROPEFFECT_LINK));

  for (const wchar_t* options :
       {L"--keys ctrl --allow move,link", L"--allow move", L"--keys shift --allow move"}) {
    const long result = Drag(options, {(folder_.Path() / L"after.txt").wstring()});
    EXPECT_TRUE(result == DROPEFFECT_NONE || result == kCancelled) << result;
    ASSERT_FALSE(events_.empty());
    EXPECT_EQ(events_.front().name, L"enter");
    EXPECT_EQ(events_.front().effect, TDropEffect::deNone);
    for (const Event& e : events_) EXPECT_NE(e.name, L"drop");
    EXPECT_EQ(target_->DroppedText(), before);
  }
}

TEST_F(OleDragTest, TextWithoutFilesCannotBeDroppedAndKeepsThePreviousDrop) {
  const std::wstring before = (folder_.Path() / L"kept.txt").wstring();
  ASSERT_EQ(Drag(L"", {before}), static_cast<long>(DROPEFFECT_LINK));

  const long result = Drag(L"--text", {});
  EXPECT_TRUE(result == DROPEFFECT_NONE || result == kCancelled) << result;
  ASSERT_FALSE(events_.empty());
  EXPECT_EQ(events_.front().name, L"enter") << "enter fires even for data that cannot be dropped";
  EXPECT_EQ(events_.front().effect, TDropEffect::deNone);
  for (const Event& e : events_) {
    EXPECT_NE(e.name, L"drop");
    EXPECT_EQ(e.effect, TDropEffect::deNone);
  }
  EXPECT_EQ(target_->DroppedText(), before);
}

}  // namespace
