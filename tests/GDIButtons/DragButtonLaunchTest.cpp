// Double-clicking a drop-and-launch button opens its file through the shell, following shortcuts.
#include <gtest/gtest.h>

// clang-format off
#include "framework/Win32.h"
#include <objbase.h>
#include <shlobj.h>
// clang-format on

#include <filesystem>
#include <string>

#include "framework/Handles.h"
#include "shell/ShortcutResolver.h"
#include "tests/GDIButtons/DragButtonTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using dragtest::TRecordingDragButton;

// Our marker program (built with the end-to-end tests): leaves "<its own path>.ran" beside itself.
fs::path MarkerProgram() {
  wchar_t self[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
  return fs::path(self).parent_path().parent_path() / L"e2e" / L"e2e_marker.exe";
}

void SaveLink(const fs::path& target, const fs::path& where) {
  ComPtr<IShellLinkW> link;
  ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                             reinterpret_cast<void**>(link.Put())),
            S_OK);
  ASSERT_EQ(link->SetPath(target.c_str()), S_OK);
  ComPtr<IPersistFile> file;
  ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())), S_OK);
  ASSERT_EQ(file->Save(where.c_str(), TRUE), S_OK);
}

class DragButtonLaunchTest : public dragtest::DragButtonTestBase {
 protected:
  void SetUp() override {
    DragButtonTestBase::SetUp();
    ASSERT_TRUE(fs::exists(MarkerProgram())) << "build e2e_marker first: " << MarkerProgram().string();
    // A copy of its own in the scratch folder, under a name with a space and a Chinese character.
    program_ = fs::path(folder_.File(L"launch me \u6807.exe"));
    fs::copy_file(MarkerProgram(), program_);
    marker_ = program_.wstring() + L".ran";
    button_ = std::make_unique<TRecordingDragButton>(form_.get());
    button_->SetBounds(400, 300, 180, 180);
    button_->Show();
  }
  void TearDown() override {
    button_.reset();
    DragButtonTestBase::TearDown();
  }

  // The messages a double-click brings (the window's class takes double-clicks).
  void DoubleClick() {
    const LPARAM at = MAKELPARAM(130, 130);
    SendMessageW(button_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(button_->Handle(), WM_LBUTTONUP, 0, at);
    SendMessageW(button_->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(button_->Handle(), WM_LBUTTONUP, 0, at);
  }
  bool MarkerAppears() {
    return testsupport::PumpUntil([&] { return fs::exists(marker_); }, 20000);
  }

  fs::path program_;
  std::wstring marker_;
  std::unique_ptr<TRecordingDragButton> button_;
};

TEST_F(DragButtonLaunchTest, DoubleClickRunsTheProgramTheButtonHolds) {
  button_->SetFileName(program_.wstring());
  DoubleClick();
  EXPECT_TRUE(MarkerAppears());
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(DragButtonLaunchTest, DoubleClickOnAShortcutRunsItsTarget) {
  const fs::path link = folder_.File(L"to the program.lnk");
  SaveLink(program_, link);
  EXPECT_EQ(ResolveShortcut(link.wstring()), program_.wstring());
  button_->SetFileName(link.wstring());
  DoubleClick();
  EXPECT_TRUE(MarkerAppears());
}

TEST_F(DragButtonLaunchTest, LaunchIsTheDoubleClickHandlerAndDoesNothingWithoutAFile) {
  ASSERT_TRUE(static_cast<bool>(button_->OnDblClick));
  DoubleClick();
  button_->Launch(button_.get());
  testsupport::PumpFor(1500);
  EXPECT_FALSE(fs::exists(marker_));
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
  // The same button, once it holds the program, runs it through the same handler.
  button_->SetFileName(program_.wstring());
  button_->OnDblClick(button_.get());
  EXPECT_TRUE(MarkerAppears());
}

}  // namespace
