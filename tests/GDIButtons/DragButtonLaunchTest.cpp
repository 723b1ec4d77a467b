// Double-clicking a drop-and-launch button opens its file through the shell as the desktop would: a shortcut
// as itself, another file in its own folder; a failure is shown once, with the system's reason.
#include <gtest/gtest.h>

// clang-format off
#include "framework/Win32.h"
#include <objbase.h>
#include <shlobj.h>
// clang-format on

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "framework/Handles.h"
#include "framework/ProcessPaths.h"
#include "framework/SystemMessage.h"
#include "shell/LaunchLogic.h"
#include "shell/ShellLaunch.h"
#include "tests/GDIButtons/DragButtonTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using dragtest::TRecordingDragButton;

// Our marker program (built with the end-to-end tests): leaves "<its own path>.ran" beside itself.
fs::path MarkerProgram() {
  return fs::path(ModuleFolder()).parent_path() / L"e2e" / L"e2e_marker.exe";
}

// ShellExecuteEx as a default Windows has it: long paths off (no file of MAX_PATH characters or more, no
// working directory that does not fit, no \\?\ form) and no 8.3 names on the volume, so a short form
// names nothing. A name is looked for in lpDirectory. It opens nothing: it records what it was handed.
struct DefaultWindowsShell {
  std::wstring file, folder;
  BOOL operator()(SHELLEXECUTEINFOW* info) {
    file = info->lpFile ? info->lpFile : L"";
    folder = info->lpDirectory ? info->lpDirectory : L"";
    const std::wstring full = fs::path(file).is_absolute() ? file : (fs::path(folder) / file).wstring();
    SetLastError(ERROR_SUCCESS);
    if (file.size() >= MAX_PATH || folder.size() >= MAX_PATH - 1 || file.starts_with(L"\\\\?\\"))
      SetLastError(ERROR_FILENAME_EXCED_RANGE);
    else if (file.find(L'~') != std::wstring::npos ||
             GetFileAttributesW((L"\\\\?\\" + full).c_str()) == INVALID_FILE_ATTRIBUTES)
      SetLastError(ERROR_FILE_NOT_FOUND);
    return GetLastError() == ERROR_SUCCESS;
  }
};

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
  // What the marker wrote: its command line, then the folder it was started in.
  std::wstring Report() const {
    std::ifstream in(fs::path(marker_), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
  }
  static std::wstring FolderLine(const fs::path& folder) { return L"\r\n" + folder.wstring() + L"\r\n"; }

  fs::path program_;
  std::wstring marker_;
  std::unique_ptr<TRecordingDragButton> button_;
};

TEST_F(DragButtonLaunchTest, DoubleClickRunsTheProgramInItsOwnFolder) {
  button_->SetFileName(program_.wstring());
  DoubleClick();
  ASSERT_TRUE(MarkerAppears());
  EXPECT_NE(Report().find(FolderLine(program_.parent_path())), std::wstring::npos) << Report();
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

// The shell opens the shortcut itself: its arguments and its start-in folder reach the program.
TEST_F(DragButtonLaunchTest, DoubleClickOnAShortcutRunsItWithItsArgumentsInItsStartInFolder) {
  const fs::path startIn = folder_.File(L"start here");
  fs::create_directory(startIn);
  const fs::path link = folder_.File(L"to the program.lnk");
  dragtest::SaveLink(program_, link, L"--from-link \"two words\"", startIn);
  button_->SetFileName(link.wstring());
  DoubleClick();
  ASSERT_TRUE(MarkerAppears()) << testing::PrintToString(testsupport::RecordedExceptions());
  EXPECT_NE(Report().find(L"--from-link \"two words\""), std::wstring::npos) << Report();
  EXPECT_NE(Report().find(FolderLine(startIn)), std::wstring::npos) << Report();
}

// A path of MAX_PATH or more whose folder fits: the shell gets the name within the folder. (Wine starts no
// program at such a path by any means; the shell it has here shows the message.)
TEST_F(DragButtonLaunchTest, AProgramAtALongPathOpensAsItsNameInItsFolderWithoutLongPathsOrShortNames) {
  fs::path folder = program_.parent_path();
  while (folder.wstring().size() < 240)
    folder /= std::wstring(std::min<size_t>(100, 250 - folder.wstring().size() - 1), L'd');
  fs::create_directories(folder);
  const std::wstring name = L"viewer" + std::wstring(60, L'v') + L".exe";
  const fs::path program = folder / name;
  ASSERT_GE(program.wstring().size(), 300u);
  fs::copy_file(program_, program);
  auto shell = std::make_shared<DefaultWindowsShell>();
  button_->ShellExecute = [shell](SHELLEXECUTEINFOW* info) { return (*shell)(info); };
  button_->SetFileName(program.wstring());
  DoubleClick();
  EXPECT_EQ(shell->file, name);
  EXPECT_EQ(shell->folder, folder.wstring());
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(DragButtonLaunchTest, AFailedLaunchShowsOneMessageWithTheSystemsReason) {
  const std::wstring tooLong =
      L"C:\\" + std::wstring(200, L'f') + L"\\" + std::wstring(100, L'g') + L"\\a.exe";
  const std::wstring notFound =
      LaunchFailedMessage(program_.wstring(), ERROR_FILE_NOT_FOUND, SystemMessage(ERROR_FILE_NOT_FOUND));
  const struct {
    std::wstring path;
    DWORD error;        // what the injected ShellExecuteEx fails with
    std::wstring verb;  // empty: a double-click; "runas": the menu's "run as administrator"
    std::wstring shown;
  } cases[] = {
      {program_.wstring(), ERROR_FILE_NOT_FOUND, L"", notFound},
      {program_.wstring(), ERROR_CANCELLED, L"", L""},  // the user said no to the elevation prompt
      {tooLong, ERROR_SUCCESS, L"", PathTooLongMessage(tooLong)},
      {program_.wstring(), ERROR_FILE_NOT_FOUND, L"runas", notFound},
      {program_.wstring(), ERROR_CANCELLED, L"runas", L""},
  };
  for (const auto& c : cases) {
    int calls = 0;
    SHELLEXECUTEINFOW seen{};
    std::wstring verb;  // the call's strings live as long as the call
    button_->ShellExecute = [&](SHELLEXECUTEINFOW* info) {
      ++calls, seen = *info, verb = info->lpVerb ? info->lpVerb : L"";
      SetLastError(c.error);
      return FALSE;
    };
    testsupport::ClearExceptions();
    button_->SetFileName(c.path);
    if (c.verb.empty()) {
      DoubleClick();
    } else {
      button_->Open(c.verb);
    }
    EXPECT_EQ(calls, c.error == ERROR_SUCCESS ? 0 : 1) << c.error;
    EXPECT_TRUE(!calls || (seen.fMask & SEE_MASK_FLAG_NO_UI)) << "the shell shows no box of its own";
    EXPECT_EQ(verb, calls ? c.verb : L"");
    // The program opens on the ring's monitor.
    EXPECT_TRUE(!calls || ((seen.fMask & SEE_MASK_HMONITOR) &&
                           seen.hMonitor == MonitorFromWindow(button_->Handle(), MONITOR_DEFAULTTONEAREST)));
    EXPECT_EQ(testsupport::RecordedExceptions(),
              c.shown.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{c.shown})
        << c.error;
  }
  EXPECT_NE(SystemMessage(ERROR_FILE_NOT_FOUND), L"");
  testsupport::ClearExceptions();
}

// "Open the file's location": the shell's own call selects the item; where the shell has none (Wine),
// Explorer's command line does.
TEST_F(DragButtonLaunchTest, TheFilesLocationOpensWithTheFileSelectedByTheShellOrByExplorer) {
  int executed = 0;
  std::wstring file, parameters;
  const auto recording = [&](SHELLEXECUTEINFOW* info) {
    ++executed, file = info->lpFile, parameters = info->lpParameters ? info->lpParameters : L"";
    return TRUE;
  };
  const std::wstring path = program_.wstring();
  for (const HRESULT shell : {S_OK, E_NOTIMPL}) {
    std::wstring selected;
    executed = 0;
    EXPECT_EQ(OpenContainingFolder(
                  nullptr, path,
                  [&](const std::wstring& item) {
                    selected = item;
                    return shell;
                  },
                  recording),
              L"");
    EXPECT_EQ(selected, path);
    EXPECT_EQ(executed, shell == S_OK ? 0 : 1);
  }
  EXPECT_EQ(file, L"explorer.exe");
  EXPECT_EQ(parameters, L"/select,\"" + path + L"\"");
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
