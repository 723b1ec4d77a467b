// The installer as a user meets it, silent (/S) in a Wine prefix of its own: install, start from the Start
// menu's shortcut and from the program folder, drop a file, install again over the running program beside
// a portable copy, uninstall.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <optional>

#include "tests/e2e/E2eSupport.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantel";

fs::path FromUnix(const char* unixPath) {
  std::wstring path = L"Z:";
  for (const char* p = unixPath; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
  return path;
}

fs::path KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  fs::path result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result;
}

bool SamePath(const fs::path& a, const fs::path& b) {
  return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

struct Shortcut {
  fs::path target, folder;
};

std::optional<Shortcut> ReadShortcut(const fs::path& link) {
  IShellLinkW* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&shellLink))))
    return std::nullopt;
  std::optional<Shortcut> result;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shellLink->QueryInterface(IID_PPV_ARGS(&file)))) {
    wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
        SUCCEEDED(shellLink->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
        SUCCEEDED(shellLink->GetWorkingDirectory(folder, MAX_PATH)))
      result = Shortcut{target, folder};
    file->Release();
  }
  shellLink->Release();
  return result;
}

std::optional<std::wstring> UninstallText(const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD size = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(value);
}

bool ProcessRuns(const wchar_t* exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
    found = _wcsicmp(entry.szExeFile, exeName) == 0;
  CloseHandle(snapshot);
  return found;
}

bool RunsElevated() {
  HANDLE token = nullptr;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const bool elevated = OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                        GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
                        elevation.TokenIsElevated;
  if (token) CloseHandle(token);
  return elevated;
}

bool UninstallKeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// The installed program (or the installer), started as its shortcut starts it; ended when this goes.
class InstalledProgram {
 public:
  explicit InstalledProgram(const Shortcut& shortcut) {
    std::wstring command = L"\"" + shortcut.target.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, shortcut.folder.c_str(),
                        &startup, &info)) {
      ADD_FAILURE() << "could not start " << shortcut.target.string() << ": error " << GetLastError();
      return;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
  }
  ~InstalledProgram() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 10000);
    CloseHandle(process_);
  }
  InstalledProgram(const InstalledProgram&) = delete;
  InstalledProgram& operator=(const InstalledProgram&) = delete;

  DWORD Id() const { return id_; }
  bool Ended(unsigned limitMs) const {
    return process_ && WaitForSingleObject(process_, limitMs) == WAIT_OBJECT_0;
  }
  // The ring's windows: visible layered squares of the ring's size.
  std::vector<WindowInfo> Ring() const {
    std::vector<WindowInfo> ring;
    for (const WindowInfo& w : TopLevelWindows(id_))
      if (w.visible && (w.exStyle & WS_EX_LAYERED) && w.Width() < GetSystemMetrics(SM_CXVIRTUALSCREEN)) {
        // A ring window is shaped to its slice or disc (the hint is hidden while the pointer is parked).
        HRGN shape = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetWindowRgn(w.handle, shape);
        DeleteObject(shape);
        if (kind != ERROR && kind != NULLREGION) ring.push_back(w);
      }
    return ring;
  }

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

class InstallTest : public testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // The pointer rests in a corner, away from where the ring will be (the display starts it in the middle).
    SetCursorPos(park_.x, park_.y);
    WaitFor([&] {
      POINT at{};
      return GetCursorPos(&at) && at.x == park_.x && at.y == park_.y;
    });
    // Every run starts as a first installation, also in a prefix kept from an earlier run.
    std::error_code ignored;
    fs::remove_all(programDir_, ignored);
    fs::remove_all(workDir_, ignored);
    fs::remove(startMenuLink_, ignored);
    fs::remove(startupLink_, ignored);
    RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
  }
  void TearDown() override { CoUninitialize(); }

  long RunSetup() { return e2e::Run(L"\"" + FromUnix(VANTEL_SETUP).wstring() + L"\" /S", 120000); }

  const POINT park_{GetSystemMetrics(SM_CXVIRTUALSCREEN) - 30, GetSystemMetrics(SM_CYVIRTUALSCREEN) - 30};
  const fs::path programDir_ = KnownFolder(FOLDERID_LocalAppData) / L"Programs" / L"Vantel";
  const fs::path program_ = programDir_ / L"Vantel.exe";
  const fs::path workDir_ = KnownFolder(FOLDERID_RoamingAppData) / L"Vantel";
  const fs::path config_ = workDir_ / L"SystemConfig.xml";
  const fs::path startMenuLink_ = KnownFolder(FOLDERID_Programs) / L"Vantel.lnk";
  const fs::path startupLink_ = KnownFolder(FOLDERID_Startup) / L"Vantel.lnk";
};

TEST_F(InstallTest, InstallsRunsKeepsTheButtonsThroughAnUpgradeAndUninstallsWithoutThem) {
  ASSERT_TRUE(fs::exists(FromUnix(VANTEL_SETUP))) << VANTEL_SETUP << " is missing: run scripts/package first";
  ASSERT_EQ(RunSetup(), 0);

  EXPECT_TRUE(fs::exists(program_));
  EXPECT_TRUE(fs::exists(programDir_ / L"Vantel.installed")) << "tells the program it is installed";
  std::optional<Shortcut> startMenu;
  for (const fs::path& link : {startMenuLink_, startupLink_}) {
    const std::optional<Shortcut> shortcut = ReadShortcut(link);
    ASSERT_TRUE(shortcut) << link.string();
    EXPECT_TRUE(SamePath(shortcut->target, program_)) << link.string() << " -> " << shortcut->target.string();
    EXPECT_TRUE(SamePath(shortcut->folder, workDir_)) << link.string() << " in " << shortcut->folder.string();
    if (!startMenu) startMenu = shortcut;
  }
  EXPECT_EQ(UninstallText(L"DisplayName"), L"Vantel");
  EXPECT_EQ(UninstallText(L"DisplayVersion"), L"" VANTEL_VERSION);
  EXPECT_TRUE(UninstallText(L"Publisher"));
  EXPECT_TRUE(SamePath(UninstallText(L"DisplayIcon").value_or(L""), program_.wstring() + L",0"));
  DWORD size = 0, sizeBytes = sizeof(size);
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, L"EstimatedSize", RRF_RT_REG_DWORD, nullptr, &size,
                         &sizeBytes),
            ERROR_SUCCESS);
  EXPECT_GT(size, 100u) << "kilobytes";
  const std::wstring uninstall = UninstallText(L"UninstallString").value_or(L"");
  ASSERT_TRUE(SamePath(uninstall, L"\"" + (programDir_ / L"uninstall.exe").wstring() + L"\"")) << uninstall;

  // The program from the Start menu's shortcut: its ring, and a drop stored in the working folder.
  std::string stored;
  {
    InstalledProgram vantel(*startMenu);
    std::vector<WindowInfo> ring;
    ASSERT_TRUE(WaitFor([&] { return (ring = vantel.Ring()).size() == 5; }, 30000))
        << "centre and four segments; saw " << ring.size() << " ring windows";
    const fs::path dropped = fs::current_path() / L"Dropped.txt";
    WriteBytes(dropped, "dropped\r\n");
    const POINT target = SegmentPoint(RingSquare(ring), 0, 4);
    HoldMouseButton(false, true);
    const long dragged =
        e2e::Run(L"\"" + DragSourceProgram().wstring() + L"\" --at " + std::to_wstring(target.x) + L" " +
                 std::to_wstring(target.y) + L" --from " + std::to_wstring(park_.x) + L" " +
                 std::to_wstring(park_.y) + L" \"" + dropped.wstring() + L"\"");
    HoldMouseButton(false, false);
    EXPECT_LT(dragged, 100) << "the drag source ends with the drop's effect, not cancelled (100) or failed";
    const std::string path = "ButtonFilePath=\"" + ConfigPath(dropped) + "\"";
    EXPECT_TRUE(WaitFor([&] { return ReadBytes(config_).find(path) != std::string::npos; }))
        << "stored:\n"
        << ReadBytes(config_);
    stored = ReadBytes(config_);

    // Started from its program folder, the installed copy works in the same folder: it hands over and ends.
    InstalledProgram fromProgramFolder(Shortcut{program_, programDir_});
    EXPECT_TRUE(fromProgramFolder.Ended(30000)) << "one Vantel for the installed copy, however it is started";

    // A portable copy runs too, and the user has turned start-with-Windows off.
    WorkFolder portableDir;
    WriteBytes(portableDir.Config(), ConfigBytes(-65536, -16744193, {}));
    VantelProcess portable(portableDir.Path());
    ASSERT_TRUE(WaitFor([&] { return portable.RingWindows().size() == 5; }, 30000));
    fs::remove(startupLink_);

    // Installing again over the running program closes it, and it alone, and keeps the buttons.
    EXPECT_EQ(RunSetup(), 0);
    EXPECT_TRUE(vantel.Ended(10000)) << "the installer closes the running program";
    EXPECT_TRUE(portable.Running()) << "a portable copy is not the installer's to close";
  }
  EXPECT_FALSE(fs::exists(startupLink_)) << "an upgrade keeps start-with-Windows off";
  EXPECT_TRUE(fs::exists(program_));
  EXPECT_EQ(ReadBytes(config_), stored);

  // The uninstaller runs from a copy of itself and returns at once: wait for its work.
  EXPECT_EQ(e2e::Run(uninstall + L" /S", 60000), 0);
  EXPECT_TRUE(WaitFor(
      [&] {
        return !fs::exists(program_) && !fs::exists(startMenuLink_) && !fs::exists(startupLink_) &&
               !UninstallKeyExists();
      },
      60000))
      << "program " << fs::exists(program_) << ", shortcuts " << fs::exists(startMenuLink_)
      << fs::exists(startupLink_) << ", uninstall entry " << UninstallKeyExists();
  EXPECT_FALSE(fs::exists(programDir_));
  EXPECT_EQ(ReadBytes(config_), stored) << "the user's buttons stay";
}

// Wine runs every program elevated, as "以管理员身份运行" does on Windows: the installer, clicked through to
// its last page, offers no start, says why, and starts nothing when it ends.
TEST_F(InstallTest, AnElevatedInstallerDoesNotStartVantelAndSaysSoOnItsLastPage) {
  if (!RunsElevated()) GTEST_SKIP() << "the installer runs elevated only where this test does";
  const InstalledProgram setup(Shortcut{FromUnix(VANTEL_SETUP), fs::current_path()});  // ended if it hangs
  const auto child = [&](const std::wstring& textPart) -> std::optional<WindowInfo> {
    for (const WindowInfo& top : TopLevelWindows(setup.Id()))
      for (const WindowInfo& w : ChildWindows(top.handle))
        if (w.text.find(textPart) != std::wstring::npos) return w;
    return std::nullopt;
  };
  // Next on the four pages before the files' (welcome, licence, components, folder; the inner dialog is made
  // anew for each); the files' page goes on to the last by itself, where nothing is clicked until it is read.
  HWND page = nullptr;
  int clicked = 0;
  const bool finished = WaitFor(
      [&] {
        if (child(L"不会启动 Vantel")) return true;
        for (const WindowInfo& top : TopLevelWindows(setup.Id())) {
          HWND next = GetDlgItem(top.handle, IDOK),
               inner = FindWindowExW(top.handle, nullptr, L"#32770", nullptr);
          if (clicked == 4 || !top.visible || !inner || inner == page || !next || !IsWindowEnabled(next))
            continue;
          page = inner;
          ++clicked;
          PostMessageW(top.handle, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(next));
        }
        return false;
      },
      120000, 200);
  std::wstring shown;  // what the installer shows, for a failure's message
  for (const WindowInfo& top : TopLevelWindows(setup.Id()))
    for (const WindowInfo& w : ChildWindows(top.handle))
      if (w.visible && !w.text.empty()) shown += L" | " + w.text;
  ASSERT_TRUE(finished) << "the last page does not say why it starts nothing; it shows"
                        << reinterpret_cast<const char*>(fs::path(shown).u8string().c_str());
  EXPECT_FALSE(GetWindowLongW(child(L"现在启动 Vantel")->handle, GWL_STYLE) & WS_VISIBLE)
      << "no start offered";
  for (const WindowInfo& top : TopLevelWindows(setup.Id()))
    if (HWND finish = GetDlgItem(top.handle, IDOK))
      PostMessageW(top.handle, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(finish));
  EXPECT_TRUE(setup.Ended(30000));
  EXPECT_TRUE(fs::exists(program_));
  EXPECT_FALSE(ProcessRuns(L"Vantel.exe")) << "the installer started Vantel";
}

}  // namespace
}  // namespace e2e
