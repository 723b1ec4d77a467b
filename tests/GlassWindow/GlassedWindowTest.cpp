// TGlassedWindow under Wine: which windows SetGlass changes, and the alpha it gives them.
#include "GlassWindow/GlassedWindow.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "framework/Handles.h"
#include "framework/ProcessPaths.h"
#include "tests/support/TestSupport.h"

namespace {

// FindWindowW searches every process, and the test programs run side by side: each process
// names its probe class after itself so that a neighbour's probe is never the one found.
const wchar_t* ProbeClass() {
  static const std::wstring name = L"VantelGlassProbe" + std::to_wstring(GetCurrentProcessId());
  return name.c_str();
}
constexpr DWORD kProbeExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

ATOM ProbeClassAtom() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = ProbeClass();
    return RegisterClassExW(&wc);
  }();
  return atom;
}

UniqueWindow MakeProbe(const wchar_t* name = L"probe") {
  ProbeClassAtom();
  return UniqueWindow(CreateWindowExW(kProbeExStyle, ProbeClass(), name, WS_POPUP, 10, 10, 50, 50, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
}

DWORD ExStyle(HWND window) {
  return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
}

// The layered alpha of a window, or nothing when it is not layered with an alpha.
std::optional<int> LayeredAlpha(HWND window) {
  if (!(ExStyle(window) & WS_EX_LAYERED)) return std::nullopt;
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
    return std::nullopt;
  return alpha;
}

class GlassedWindowTest : public testing::Test {
 protected:
  void SetUp() override { testsupport::ClearExceptions(); }
  void TearDown() override { EXPECT_TRUE(testsupport::RecordedExceptions().empty()); }
};

TEST_F(GlassedWindowTest, AcceptedPercentagesSetTheirAlphaAndKeepTheOtherStyles) {
  const std::pair<std::string_view, int> cases[] = {
      {"65", 166}, {"0", 255}, {"100", 255}, {"1", 3}, {"50", 128}, {"99", 253}, {"09", 23},
  };
  for (const auto& [percent, alpha] : cases) {
    SCOPED_TRACE(std::string(percent));
    UniqueWindow probe = MakeProbe();
    ASSERT_TRUE(probe);
    TGlassedWindow::SetGlass(percent, ProbeClass(), nullptr);
    EXPECT_EQ(LayeredAlpha(probe.get()), alpha);
    EXPECT_EQ(ExStyle(probe.get()) & kProbeExStyle, kProbeExStyle);
  }
}

TEST_F(GlassedWindowTest, RejectedPercentagesChangeNothing) {
  for (std::string_view percent : {"101", "065", "1000", "", "6a", "-5", "1 "}) {
    SCOPED_TRACE(std::string(percent));
    UniqueWindow probe = MakeProbe();
    ASSERT_TRUE(probe);
    const DWORD before = ExStyle(probe.get());
    TGlassedWindow::SetGlass(percent, ProbeClass(), nullptr);
    EXPECT_EQ(ExStyle(probe.get()), before);
    EXPECT_EQ(LayeredAlpha(probe.get()), std::nullopt);
  }
}

TEST_F(GlassedWindowTest, ClassAtomAndWindowNameSelectTheWindow) {
  UniqueWindow first = MakeProbe(L"first");
  UniqueWindow second = MakeProbe(L"second");
  TGlassedWindow::SetGlass("50", MAKEINTATOM(ProbeClassAtom()), L"second");
  EXPECT_EQ(LayeredAlpha(second.get()), 128);
  EXPECT_EQ(LayeredAlpha(first.get()), std::nullopt);
  // No window of that class and name: nothing happens.
  TGlassedWindow::SetGlass("50", ProbeClass(), L"third");
  TGlassedWindow::SetGlass("50", L"VantelNoSuchClass", nullptr);
  EXPECT_EQ(LayeredAlpha(first.get()), std::nullopt);
}

TEST_F(GlassedWindowTest, WindowOfAnotherThreadIsNeverTouched) {
  HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  UniqueFile createdHolder(created), doneHolder(done);
  HWND other = nullptr;
  std::thread thread([&] {
    UniqueWindow window = MakeProbe(L"other thread");
    other = window.get();
    SetEvent(created);
    // Answers messages (style changes send some) until the test is done with it.
    while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
  });
  ASSERT_EQ(WaitForSingleObject(created, 10000), WAIT_OBJECT_0);
  ASSERT_TRUE(other);
  const DWORD before = ExStyle(other);
  TGlassedWindow::SetGlass("65", ProbeClass(), L"other thread");
  EXPECT_EQ(ExStyle(other), before);
  EXPECT_EQ(LayeredAlpha(other), std::nullopt);
  SetEvent(done);
  thread.join();
}

TEST_F(GlassedWindowTest, WindowOfAnotherProcessIsNeverTouched) {
  const std::wstring helper = ModuleFolder() + L"\\ForeignWindow.exe";
  constexpr wchar_t kForeignClass[] = L"VantelGlassForeign";
  std::wstring commandLine = L"\"" + helper + L"\" " + kForeignClass;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(helper.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &info))
      << "cannot start " << std::string(helper.begin(), helper.end());
  UniqueFile process(info.hProcess), thread(info.hThread);
  HWND foreign = nullptr;
  ASSERT_TRUE(testsupport::PumpUntil(
      [&] { return (foreign = FindWindowW(kForeignClass, nullptr)) != nullptr; }, 20000));
  DWORD owner = 0;
  GetWindowThreadProcessId(foreign, &owner);
  ASSERT_NE(owner, GetCurrentProcessId());

  const DWORD before = ExStyle(foreign);
  for (std::string_view percent : {"65", "0", "100", "1"}) {
    TGlassedWindow::SetGlass(percent, kForeignClass, nullptr);
    EXPECT_EQ(ExStyle(foreign), before) << percent;
    EXPECT_EQ(LayeredAlpha(foreign), std::nullopt) << percent;
  }
  PostMessageW(foreign, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
}

}  // namespace
