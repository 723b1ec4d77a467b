// TTextTarget and its IDropTarget, called in-process the way OLE calls them: events, effects, registration.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "framework/Controls.h"
#include "shell/TextTarget.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/shell/TestDataObject.h"

namespace {

constexpr DWORD kAllEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

std::wstring Describe(TDropEffect effect) {
  switch (effect) {
    case TDropEffect::deNone:
      return L"none";
    case TDropEffect::deCopy:
      return L"copy";
    case TDropEffect::deMove:
      return L"move";
    case TDropEffect::deLink:
      return L"link";
    case TDropEffect::deScroll:
      return L"scroll";
  }
  return L"?";
}

class TextTargetTest : public testing::Test {
 protected:
  void SetUp() override {
    acceptor_ = std::make_unique<TCustomControl>(&form_);
    acceptor_->SetVisible(false);  // OLE is called directly here; an unmapped window also goes away at once
    acceptor_->SetBounds(300, 200, 120, 90);
    target_ = std::make_unique<TTextTarget>(acceptor_.get());  // owned by its control, as a button's is
    target_->SetAcceptorControl(acceptor_.get());
    target_->SetAcceptTextFormats({TDropTextFormat::dtfFiles});
    target_->OnDragEnter = [this](TObject* sender, TDropEffect e, int x, int y) {
      Record(sender, L"enter " + Describe(e) + L" " + Point(x, y));
    };
    target_->OnDragOver = [this](TObject* sender, TDropEffect e, int x, int y) {
      Record(sender, L"over " + Describe(e) + L" " + Point(x, y));
    };
    target_->OnDragLeave = [this](TObject* sender) { Record(sender, L"leave"); };
    target_->OnDrop = [this](TObject* sender, TWinControl* acceptor, const std::wstring& text, int x, int y) {
      EXPECT_EQ(acceptor, acceptor_.get());
      EXPECT_EQ(text, target_->DroppedText());
      Record(sender, L"drop " + Point(x, y));
      dropTexts_.push_back(text);
    };
  }

  void Record(TObject* sender, std::wstring entry) {
    EXPECT_EQ(sender, target_.get());
    log_.push_back(std::move(entry));
  }
  static std::wstring Point(int x, int y) { return std::to_wstring(x) + L"," + std::to_wstring(y); }

  // A screen point `dx`, `dy` pixels into the acceptor's client area.
  POINTL ScreenPoint(int dx, int dy) {
    POINT p{dx, dy};
    ClientToScreen(acceptor_->Handle(), &p);
    return {p.x, p.y};
  }

  IDropTarget* Ole() { return target_->DropTarget(); }

  // One complete drag of `data` with `keys`; returns the Drop answer and stores the effects written.
  HRESULT DragAndDrop(TestDataObject& data, DWORD keys, DWORD allowed, DWORD& enterEffect,
                      DWORD& dropEffect) {
    enterEffect = allowed;
    EXPECT_EQ(Ole()->DragEnter(&data, keys, ScreenPoint(5, 6), &enterEffect), S_OK);
    dropEffect = allowed;
    return Ole()->Drop(&data, keys, ScreenPoint(5, 6), &dropEffect);
  }

  TComponent form_{nullptr};
  std::unique_ptr<TCustomControl> acceptor_;
  std::unique_ptr<TTextTarget> target_;
  std::vector<std::wstring> log_;
  std::vector<std::wstring> dropTexts_;
};

TEST_F(TextTargetTest, DropOfThreeFilesFiresEventsInOrderWithClientCoordinates) {
  const std::vector<std::wstring> files = {L"C:\\one.txt", L"C:\\dir\\two.lnk",
                                           L"D:\\\u6587\u4ef6\\three.exe"};
  TestDataObject data(CF_HDROP, TestDataObject::DropFiles(files));

  DWORD effect = kAllEffects;
  ASSERT_EQ(Ole()->DragEnter(&data, MK_LBUTTON, ScreenPoint(10, 20), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
  effect = kAllEffects;
  ASSERT_EQ(Ole()->DragOver(MK_LBUTTON, ScreenPoint(11, 21), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
  effect = kAllEffects;
  ASSERT_EQ(Ole()->Drop(&data, 0, ScreenPoint(12, 22), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));

  EXPECT_EQ(log_, (std::vector<std::wstring>{L"enter link 10,20", L"over link 11,21", L"drop 12,22"}));
  EXPECT_EQ(target_->DroppedText(), L"C:\\one.txt\r\nC:\\dir\\two.lnk\r\nD:\\\u6587\u4ef6\\three.exe");
  EXPECT_EQ(target_->DroppedLines(), files);
  EXPECT_EQ(target_->DroppedLines().size(), 3u) << "every call refills, never appends";
  EXPECT_EQ(data.References(), 1) << "the data object is given back after the drop";
}

TEST_F(TextTargetTest, EffectFollowsKeysAndWhatTheSourceAllows) {
  const struct {
    const wchar_t* name;
    DWORD keys;
    DWORD allowed;
    DWORD effect;  // written at enter and at the drop
    bool dropped;
  } cases[] = {
      {L"neither key", MK_LBUTTON, kAllEffects, DROPEFFECT_LINK, true},
      {L"ctrl", MK_LBUTTON | MK_CONTROL, kAllEffects, DROPEFFECT_COPY, true},
      {L"shift", MK_LBUTTON | MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY, true},
      {L"only move allowed", MK_LBUTTON, DROPEFFECT_MOVE, DROPEFFECT_NONE, false},
      {L"ctrl, copy forbidden", MK_LBUTTON | MK_CONTROL, DROPEFFECT_MOVE, DROPEFFECT_NONE, false},
      {L"nothing allowed", MK_LBUTTON, DROPEFFECT_NONE, DROPEFFECT_NONE, false},
  };
  for (const auto& c : cases) {
    TestDataObject data(CF_HDROP, TestDataObject::DropFiles({L"C:\\file.txt"}));
    dropTexts_.clear();
    DWORD enter = 0, drop = 0;
    const HRESULT result = DragAndDrop(data, c.keys, c.allowed, enter, drop);
    EXPECT_EQ(enter, c.effect) << c.name;
    EXPECT_EQ(drop, c.effect) << c.name;
    EXPECT_EQ(SUCCEEDED(result), c.dropped) << c.name;
    EXPECT_EQ(dropTexts_.size(), c.dropped ? 1u : 0u) << c.name;
    EXPECT_EQ(data.References(), 1) << c.name;
  }
}

TEST_F(TextTargetTest, TextWithoutFileListCannotBeDroppedAndKeepsThePreviousDrop) {
  TestDataObject files(CF_HDROP, TestDataObject::DropFiles({L"C:\\kept.txt"}));
  DWORD enter = 0, drop = 0;
  ASSERT_EQ(DragAndDrop(files, MK_LBUTTON, kAllEffects, enter, drop), S_OK);
  log_.clear();

  TestDataObject text(CF_UNICODETEXT, TestDataObject::Text(L"some words from an editor"));
  const HRESULT result = DragAndDrop(text, MK_LBUTTON, kAllEffects, enter, drop);
  EXPECT_EQ(enter, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(drop, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_TRUE(FAILED(result));
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"enter none 5,6"}))
      << "enter fires even when nothing can be dropped";
  EXPECT_EQ(text.getDataCalls, 0);
  EXPECT_EQ(target_->DroppedText(), L"C:\\kept.txt");
  EXPECT_EQ(text.References(), 1);
}

TEST_F(TextTargetTest, OnlyAnExactYesFromQueryGetDataMakesTheDataAcceptable) {
  TestDataObject data(CF_HDROP, TestDataObject::DropFiles({L"C:\\x"}));
  data.queryAnswer = S_FALSE;
  DWORD enter = 0, drop = 0;
  EXPECT_TRUE(FAILED(DragAndDrop(data, MK_LBUTTON, kAllEffects, enter, drop)));
  EXPECT_EQ(enter, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_TRUE(dropTexts_.empty());
}

TEST_F(TextTargetTest, FailedGetDataReportsTheFailureAndKeepsThePreviousDrop) {
  TestDataObject first(CF_HDROP, TestDataObject::DropFiles({L"C:\\first.txt"}));
  DWORD enter = 0, drop = 0;
  ASSERT_EQ(DragAndDrop(first, MK_LBUTTON, kAllEffects, enter, drop), S_OK);

  TestDataObject broken(CF_HDROP, TestDataObject::DropFiles({L"C:\\second.txt"}));
  broken.getAnswer = STG_E_MEDIUMFULL;
  EXPECT_EQ(DragAndDrop(broken, MK_LBUTTON, kAllEffects, enter, drop), STG_E_MEDIUMFULL);
  EXPECT_EQ(enter, static_cast<DWORD>(DROPEFFECT_LINK));
  EXPECT_EQ(drop, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(target_->DroppedText(), L"C:\\first.txt");
  EXPECT_EQ(dropTexts_.size(), 1u) << "OnDrop is not fired for the failed drop";
  EXPECT_EQ(broken.References(), 1);
}

TEST_F(TextTargetTest, LongPathsArriveWhole) {
  const std::wstring longPath = L"C:\\" + std::wstring(150, L'a') + L"\\" + std::wstring(200, L'b') + L".txt";
  ASSERT_GT(longPath.size(), 300u);
  TestDataObject data(CF_HDROP, TestDataObject::DropFiles({L"C:\\short.txt", longPath}));
  DWORD enter = 0, drop = 0;
  ASSERT_EQ(DragAndDrop(data, MK_LBUTTON, kAllEffects, enter, drop), S_OK);
  EXPECT_EQ(target_->DroppedLines(), (std::vector<std::wstring>{L"C:\\short.txt", longPath}));
}

TEST_F(TextTargetTest, DragLeaveFiresAndGivesTheDataBack) {
  TestDataObject data(CF_HDROP, TestDataObject::DropFiles({L"C:\\x"}));
  DWORD effect = kAllEffects;
  ASSERT_EQ(Ole()->DragEnter(&data, MK_LBUTTON, ScreenPoint(1, 1), &effect), S_OK);
  EXPECT_GT(data.References(), 1) << "held for the whole drag";
  ASSERT_EQ(Ole()->DragLeave(), S_OK);
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"enter link 1,1", L"leave"}));
  EXPECT_EQ(data.References(), 1);
  EXPECT_EQ(target_->DroppedText(), L"");
}

TEST_F(TextTargetTest, ChangingTheAcceptedFormatsDuringADragDecidesAgain) {
  target_->SetAcceptTextFormats({TDropTextFormat::dtfText});  // the component's default: no files
  TestDataObject data(CF_HDROP, TestDataObject::DropFiles({L"C:\\x"}));
  DWORD effect = kAllEffects;
  ASSERT_EQ(Ole()->DragEnter(&data, 0, ScreenPoint(1, 1), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  target_->SetAcceptTextFormats({TDropTextFormat::dtfFiles});
  effect = kAllEffects;
  ASSERT_EQ(Ole()->DragOver(0, ScreenPoint(1, 1), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
  Ole()->DragLeave();
}

TEST_F(TextTargetTest, DefaultFormatsAreTextOnly) {
  TTextTarget fresh(&form_);
  EXPECT_EQ(fresh.AcceptTextFormats(), (TDropTextFormats{TDropTextFormat::dtfText}));
  EXPECT_EQ(fresh.AcceptorControl(), nullptr);
  EXPECT_FALSE(fresh.Registered());
}

TEST_F(TextTargetTest, HandlerErrorsGoToTheApplicationNotToOle) {
  target_->OnDrop = [](TObject*, TWinControl*, const std::wstring&, int, int) {
    throw std::runtime_error("drop handler failed");
  };
  TestDataObject data(CF_HDROP, TestDataObject::DropFiles({L"C:\\x"}));
  DWORD enter = 0, drop = 0;
  EXPECT_EQ(DragAndDrop(data, 0, kAllEffects, enter, drop), S_OK);
  EXPECT_EQ(RecordedErrors().size(), 1u) << "shown once by the application";
  EXPECT_EQ(target_->DroppedText(), L"C:\\x");
  EXPECT_EQ(data.References(), 1);
}

// ---- registration with OLE and the window-procedure hook ----

class TargetRegistrationTest : public testing::Test {
 protected:
  void SetUp() override {
    control_ = std::make_unique<TCustomControl>(&form_);
    control_->SetVisible(false);
    control_->SetBounds(10, 10, 50, 50);
    window_ = control_->Handle();
    originalProc_ = GetWindowLongPtrW(window_, GWLP_WNDPROC);
  }

  TComponent form_{nullptr};
  std::unique_ptr<TCustomControl> control_;
  HWND window_ = nullptr;
  LONG_PTR originalProc_ = 0;
};

TEST_F(TargetRegistrationTest, SettingTheSameControlTwiceRegistersOnce) {
  TTextTarget target(&form_);
  target.SetAcceptorControl(control_.get());
  EXPECT_TRUE(target.Registered());
  const LONG_PTR hooked = GetWindowLongPtrW(window_, GWLP_WNDPROC);
  EXPECT_NE(hooked, originalProc_);
  target.SetAcceptorControl(control_.get());
  EXPECT_TRUE(target.Registered());
  EXPECT_EQ(GetWindowLongPtrW(window_, GWLP_WNDPROC), hooked) << "hooked once";
  SendMessageW(window_, WM_NULL, 0, 0);  // the chain still ends in the framework's procedure

  target.SetAcceptorControl(nullptr);
  EXPECT_FALSE(target.Registered());
  EXPECT_EQ(GetWindowLongPtrW(window_, GWLP_WNDPROC), originalProc_);
  EXPECT_EQ(RevokeDragDrop(window_), DRAGDROP_E_NOTREGISTERED) << "revoked when the acceptor was cleared";
}

TEST_F(TargetRegistrationTest, AControlAcceptsForOnlyOneTargetOfTheSameOwner) {
  TTextTarget first(&form_);
  TTextTarget second(&form_);
  first.SetAcceptorControl(control_.get());
  second.SetAcceptorControl(control_.get());
  EXPECT_EQ(first.AcceptorControl(), control_.get());
  EXPECT_EQ(second.AcceptorControl(), nullptr);
  EXPECT_FALSE(second.Registered());
  EXPECT_TRUE(first.Registered());
}

TEST_F(TargetRegistrationTest, MovingToAnotherControlRevokesTheFirst) {
  TCustomControl other(&form_);
  other.SetVisible(false);
  other.SetBounds(100, 10, 50, 50);
  TTextTarget target(&form_);
  target.SetAcceptorControl(control_.get());
  target.SetAcceptorControl(&other);
  EXPECT_TRUE(target.Registered());
  EXPECT_EQ(GetWindowLongPtrW(window_, GWLP_WNDPROC), originalProc_);
  EXPECT_EQ(RevokeDragDrop(window_), DRAGDROP_E_NOTREGISTERED);
  target.SetAcceptorControl(nullptr);
  EXPECT_EQ(RevokeDragDrop(other.Handle()), DRAGDROP_E_NOTREGISTERED);
}

TEST_F(TargetRegistrationTest, DestroyingTheComponentRevokesAndRestoresTheProcedure) {
  auto target = std::make_unique<TTextTarget>(control_.get());
  target->SetAcceptorControl(control_.get());
  ASSERT_TRUE(target->Registered());
  target.reset();
  EXPECT_EQ(GetWindowLongPtrW(window_, GWLP_WNDPROC), originalProc_);
  EXPECT_EQ(RevokeDragDrop(window_), DRAGDROP_E_NOTREGISTERED);
}

TEST_F(TargetRegistrationTest, DestroyingTheWindowRevokes) {
  TTextTarget target(&form_);
  target.SetAcceptorControl(control_.get());
  ASSERT_TRUE(target.Registered());
  control_->DestroyHandle();
  EXPECT_FALSE(target.Registered());
  EXPECT_EQ(target.AcceptorControl(), control_.get()) << "the control itself is still there";
}

TEST_F(TargetRegistrationTest, DestroyingTheAcceptorFirstClearsIt) {
  TTextTarget target(&form_);
  target.SetAcceptorControl(control_.get());
  control_.reset();
  EXPECT_EQ(target.AcceptorControl(), nullptr);
  EXPECT_FALSE(target.Registered());
}

}  // namespace
