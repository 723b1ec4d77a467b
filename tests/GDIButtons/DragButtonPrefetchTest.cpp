// The shell's answers looked up ahead for a ring being loaded: the same answers, each taken once, and
// taken by the buttons that fill in the meantime.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GDIButtons/ShellInfoPrefetch.h"
#include "tests/GDIButtons/DragButtonTestSupport.h"

namespace {

constexpr UINT kFlags = TDragGDIButton::kFileInfoFlags;

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
  TShellInfoPrefetch prefetch({notepad, L"", text, notepad, missing}, kFlags);

  EXPECT_FALSE(prefetch.Take(notepad, kFlags | SHGFI_SMALLICON)) << "other flags, another answer";
  EXPECT_FALSE(prefetch.Take(File(L"other.txt"), kFlags)) << "not looked up";
  EXPECT_FALSE(prefetch.Take(L"", kFlags));

  std::vector<SHFILEINFOW> taken;
  for (const std::wstring& path : {text, notepad, notepad, missing}) {
    SCOPED_TRACE(std::string(path.begin(), path.end()));
    std::optional<SHFILEINFOW> ahead = prefetch.Take(path, kFlags);
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
  EXPECT_FALSE(prefetch.Take(notepad, kFlags)) << "both entries were taken";
  for (SHFILEINFOW& info : taken) Release(info);
}

TEST_F(DragButtonPrefetchTest, ButtonsFilledInTheScopeTakeTheAnswersAndTheScopesNest) {
  const std::wstring text = File(L"file.txt");
  TShellInfoPrefetch outer({text}, kFlags);
  {
    TShellInfoPrefetch::TScope outerScope(outer);
    {
      TShellInfoPrefetch inner({}, kFlags);  // nothing to look up
      TShellInfoPrefetch::TScope innerScope(inner);
      EXPECT_FALSE(TShellInfoPrefetch::TakeCurrent(text, kFlags));
    }
    dragtest::TRecordingDragButton button(form_.get());
    button.SetFileName(text);
    ASSERT_NE(button.FileInfo.hIcon, nullptr);
    EXPECT_EQ(std::wstring(button.FileInfo.szDisplayName), L"file.txt");
    EXPECT_FALSE(outer.Take(text, kFlags)) << "the button took the answer";
  }
  EXPECT_FALSE(TShellInfoPrefetch::TakeCurrent(text, kFlags)) << "no prefetch outside the scopes";
}

TEST_F(DragButtonPrefetchTest, AnswersNobodyTookGoWithThePrefetch) {
  // Many entries, none taken: the worker is stopped part way or has finished; either way the prefetch
  // ends without waiting for the rest and frees what it holds.
  std::vector<std::wstring> paths(200, L"C:\\windows\\notepad.exe");
  { TShellInfoPrefetch prefetch(paths, kFlags); }
  TShellInfoPrefetch prefetch(paths, kFlags);
  std::optional<SHFILEINFOW> first = prefetch.Take(paths.front(), kFlags);
  ASSERT_TRUE(first);
  DestroyIcon(first->hIcon);
}

}  // namespace
