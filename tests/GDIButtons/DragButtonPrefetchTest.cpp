// The shell's answers looked up ahead for a ring being loaded: the same answers, each taken once, and
// taken by the buttons that fill in the meantime.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "GDIButtons/ShellIcon.h"
#include "GDIButtons/ShellInfoPrefetch.h"
#include "tests/GDIButtons/DragButtonTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr UINT kFlags = TDragGDIButton::kFileInfoFlags;

// Answers in time however busy the machine, unless a test says otherwise.
const TShellInfoPrefetch::TWaits kPatient{std::chrono::seconds(30), std::chrono::seconds(120)};

class DragButtonPrefetchTest : public dragtest::DragButtonTestBase {
 protected:
  static SHFILEINFOW Direct(const std::wstring& path) {
    SHFILEINFOW info{};
    SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), kFlags);
    return info;
  }
  static void ExpectSameAnswer(const SHFILEINFOW& ahead, const SHFILEINFOW& direct) {
    EXPECT_EQ(ahead.hIcon != nullptr, direct.hIcon != nullptr);
    EXPECT_EQ(ahead.iIcon, direct.iIcon);
    EXPECT_EQ(ahead.dwAttributes, direct.dwAttributes);
    EXPECT_EQ(std::wstring(ahead.szDisplayName), std::wstring(direct.szDisplayName));
    EXPECT_EQ(std::wstring(ahead.szTypeName), std::wstring(direct.szTypeName));
  }
  static void Release(SHFILEINFOW& info) {
    if (info.hIcon) DestroyIcon(info.hIcon);
    info.hIcon = nullptr;
  }
};

TEST_F(DragButtonPrefetchTest, AnswersAsTheShellDoesOncePerEntryAndOnlyForItsPathsAndFlags) {
  const std::wstring notepad = L"C:\\windows\\notepad.exe";
  const std::wstring text = File(L"file.txt");
  const std::wstring missing = folder_.File(L"not here.txt");
  TShellInfoPrefetch prefetch({notepad, L"", text, notepad, missing}, kFlags, {}, kPatient);

  EXPECT_FALSE(prefetch.Take(notepad, kFlags | SHGFI_SMALLICON).Info) << "other flags, another answer";
  EXPECT_FALSE(prefetch.Take(File(L"other.txt"), kFlags).Info) << "not looked up";
  EXPECT_FALSE(prefetch.Take(L"", kFlags).Info);

  std::vector<SHFILEINFOW> taken;
  for (const std::wstring& path : {text, notepad, notepad, missing}) {
    SCOPED_TRACE(std::string(path.begin(), path.end()));
    std::optional<SHFILEINFOW> ahead = prefetch.Take(path, kFlags).Info;
    ASSERT_TRUE(ahead);
    SHFILEINFOW direct = Direct(path);
    ExpectSameAnswer(*ahead, direct);
    Release(direct);
    taken.push_back(*ahead);
  }
  EXPECT_NE(taken[0].hIcon, nullptr);
  EXPECT_NE(taken[1].hIcon, nullptr);
  EXPECT_NE(taken[1].hIcon, taken[2].hIcon) << "each entry's icon is its own, for its own button";
  EXPECT_EQ(taken[3].hIcon, nullptr) << "the shell knows no missing file";
  EXPECT_FALSE(prefetch.Take(notepad, kFlags).Info) << "both entries were taken";
  for (SHFILEINFOW& info : taken) Release(info);
}

TEST_F(DragButtonPrefetchTest, AButtonHandedThePrefetchTakesItsAnswer) {
  const std::wstring text = File(L"file.txt");
  dragtest::Recorded().iconSize = 48;  // the buttons' size is the prefetch's: the one they take
  TShellInfoPrefetch prefetch({text}, kFlags, {}, kPatient, 48);
  dragtest::TRecordingDragButton button(form_.get());
  button.SetFileName(text, &prefetch);
  ASSERT_NE(button.FileInfo.hIcon, nullptr);
  EXPECT_EQ(IconSize(button.FileInfo.hIcon), 48) << "the worker drew it at the size asked";
  EXPECT_EQ(std::wstring(button.FileInfo.szDisplayName), L"file.txt");
  EXPECT_FALSE(prefetch.Take(text, kFlags, 48).Info) << "the button took the answer";
}

TEST_F(DragButtonPrefetchTest, AnswersNobodyTookGoWithThePrefetch) {
  // Many entries, none taken: the worker is stopped part way or has finished; either way the prefetch
  // ends without waiting for the rest and frees what it holds.
  std::vector<std::wstring> paths(200, L"C:\\windows\\notepad.exe");
  { TShellInfoPrefetch prefetch(paths, kFlags, {}, kPatient); }
  TShellInfoPrefetch prefetch(paths, kFlags, {}, kPatient);
  std::optional<SHFILEINFOW> first = prefetch.Take(paths.front(), kFlags).Info;
  ASSERT_TRUE(first);
  DestroyIcon(first->hIcon);
}

TEST_F(DragButtonPrefetchTest, ALookupThatNeverReturnsHoldsUpNeitherTheCallerNorTheOtherFiles) {
  // An offline share that never answers, a slow file answered when the test says, and a plain one.
  static HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);  // never set: left to the process's end
  HANDLE slowDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const std::wstring stuck = L"\\\\offline\\share\\tool.exe", slow = L"C:\\slow.exe",
                     text = File(L"file.txt");
  TShellLookup lookup = [slowDone, stuck, slow](const std::wstring& path, UINT flags, int) {
    if (path == stuck) WaitForSingleObject(never, INFINITE);
    if (path == slow) WaitForSingleObject(slowDone, INFINITE);
    SHFILEINFOW info{};
    SHGetFileInfoW(path == slow ? L"C:\\windows\\notepad.exe" : path.c_str(), 0, &info, sizeof(info), flags);
    return info;
  };
  {
    auto prefetch = std::make_unique<TShellInfoPrefetch>(
        std::vector<std::wstring>{stuck, text, slow}, kFlags, lookup,
        TShellInfoPrefetch::TWaits{std::chrono::milliseconds(20), std::chrono::milliseconds(200)});
    // Every caller hears at once, within the waits: the late answers are claimed.
    TShellInfoPrefetch::TTaken forStuck = prefetch->Take(stuck, kFlags);
    EXPECT_FALSE(forStuck.Info);
    ASSERT_TRUE(forStuck.Late);
    TShellInfoPrefetch::TTaken forText = prefetch->Take(text, kFlags);
    TShellInfoPrefetch::TTaken forSlow = prefetch->Take(slow, kFlags);
    ASSERT_TRUE(forSlow.Late);
    // The plain file's answer comes from another worker, though the first is stuck.
    if (!forText.Info) {
      ASSERT_TRUE(forText.Late);
      EXPECT_TRUE(
          testsupport::PumpUntil([&] { return (forText.Info = forText.Late->TakeIfReady()).has_value(); }));
    }
    ASSERT_TRUE(forText.Info);
    EXPECT_NE(forText.Info->hIcon, nullptr);
    DestroyIcon(forText.Info->hIcon);
    // The slow answer reaches its claim when it comes, after the prefetch is gone.
    EXPECT_FALSE(forSlow.Late->TakeIfReady());
    std::unique_ptr<TLateShellInfo> late = std::move(forSlow.Late);
    prefetch.reset();  // does not wait for the stuck lookup
    SetEvent(slowDone);
    std::optional<SHFILEINFOW> info;
    EXPECT_TRUE(testsupport::PumpUntil([&] { return (info = late->TakeIfReady()).has_value(); }));
    ASSERT_TRUE(info);
    EXPECT_NE(info->hIcon, nullptr);
    DestroyIcon(info->hIcon);
    EXPECT_FALSE(forStuck.Late->TakeIfReady());
  }
  CloseHandle(slowDone);  // the slow lookup returned: nobody waits on it any more
  // The process ends with the stuck worker still in its lookup: the test's process must exit cleanly.
}

TEST_F(DragButtonPrefetchTest, APathPastMaxPathGetsItsLeafNameAndAnIconAsAWindowsWithoutLongPathsAllows) {
  // As a default Windows: the shell and the short-name call take no path of MAX_PATH or more and no
  // \\?\ form; the file's attributes come only through \\?\ paths. Each row says what the volume and the
  // icon reader do.
  const std::wstring folder =
      L"C:\\" + std::wstring(120, L'a') + L"\\" + std::wstring(120, L'b') + L"\\d03" + std::wstring(40, L'x');
  const std::wstring path = folder + L"\\viewer.exe",
                     shortPath = L"C:\\AAAAAA~1\\BBBBBB~1\\D03XXX~1\\viewer.exe";
  ASSERT_GE(path.size(), static_cast<std::size_t>(MAX_PATH));
  enum class Short { None, SameLongPath, Kept };
  enum Icon { NoIcon, ShellsIcon, OwnIcon, TypeIcon };
  const struct {
    const char* what;
    Short shortForm;
    const wchar_t* shellName;  // what the shell answers for the short form; nullptr: it fails
    bool there, ownIconShort, ownIconExtended;
    const wchar_t* name;
    Icon icon;
  } rows[] = {
      {"8.3 names, the shell names the file", Short::Kept, L"viewer.exe", true, true, true, L"viewer.exe",
       ShellsIcon},
      {"8.3 names, the shell names a cut form", Short::Kept, L"d03xxxxxxxxx", true, true, true, L"viewer.exe",
       OwnIcon},
      {"8.3 names the shell refuses", Short::Kept, nullptr, true, true, false, L"viewer.exe", OwnIcon},
      {"no 8.3 names, icon read through \\\\?\\", Short::None, nullptr, true, false, true, L"viewer.exe",
       OwnIcon},
      {"no 8.3 names: the long path back", Short::SameLongPath, nullptr, true, false, false, L"viewer.exe",
       TypeIcon},
      {"not there", Short::None, nullptr, false, false, false, L"", NoIcon},
  };
  auto isExtended = [](const wchar_t* p) { return wcsncmp(p, L"\\\\?\\", 4) == 0; };
  auto newIcon = [] { return CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)); };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    HICON given[4] = {};
    TShellCalls calls;
    calls.FileInfo = [&](const wchar_t* p, DWORD, SHFILEINFOW* info, UINT flags) -> DWORD_PTR {
      if (wcslen(p) >= MAX_PATH || isExtended(p)) return 0;
      const wchar_t* name = (flags & SHGFI_USEFILEATTRIBUTES) ? p : p == shortPath ? row.shellName : nullptr;
      if (!name) return 0;
      wcscpy(info->szDisplayName, name);
      info->hIcon = given[(flags & SHGFI_USEFILEATTRIBUTES) ? TypeIcon : ShellsIcon] = newIcon();
      return 1;
    };
    calls.ShortPathName = [&](const wchar_t* p, wchar_t* out, DWORD length) -> DWORD {
      const std::wstring answer = row.shortForm == Short::None   ? L""
                                  : row.shortForm == Short::Kept ? shortPath
                                                                 : p;
      if (answer.empty()) return 0;
      if (length <= answer.size()) return static_cast<DWORD>(answer.size() + 1);
      wcscpy(out, answer.c_str());
      return static_cast<DWORD>(answer.size());
    };
    calls.FileAttributes = [&](const wchar_t* p) -> DWORD {
      return row.there && isExtended(p) ? FILE_ATTRIBUTE_NORMAL : INVALID_FILE_ATTRIBUTES;
    };
    calls.OwnIcon = [&](const wchar_t* p) -> HICON {
      const bool reads = isExtended(p) ? row.ownIconExtended : p == shortPath && row.ownIconShort;
      return reads ? (given[OwnIcon] = newIcon()) : nullptr;
    };
    SHFILEINFOW info = ShellFileInfo(path, kFlags, calls);
    EXPECT_EQ(std::wstring(info.szDisplayName), row.name);
    EXPECT_EQ(info.hIcon, given[row.icon]);
    if (info.hIcon) DestroyIcon(info.hIcon);
  }
}

}  // namespace
