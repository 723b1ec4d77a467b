// Effect choice, dropped-path text, launch planning and tip rules of the shell layer (no window system).
#include <gtest/gtest.h>

#include "shell/DropEffectLogic.h"
#include "shell/LaunchLogic.h"
#include "shell/TrayTip.h"

namespace {

using namespace drop_bits;

struct EffectCase {
  const char* name;
  bool acceptable;
  std::uint32_t keys;
  std::uint32_t allowed;
  TEffectChoice expected;
};

constexpr std::uint32_t kAll = kCopy | kMove | kLink;
constexpr std::uint32_t kLeftButton = 0x1;  // MK_LBUTTON rides along in every real key state

// Never move: a source told "moved" deletes its original, and the ring keeps only the path.
const EffectCase kEffectCases[] = {
    {"plain drag of files links", true, kLeftButton, kAll, {true, kLink}},
    {"ctrl asks for copy", true, kControlKey, kAll, {true, kCopy}},
    {"shift is no wish: link", true, kShiftKey | kLeftButton, kAll, {true, kLink}},
    {"ctrl and shift ask for link", true, kControlKey | kShiftKey | kLeftButton, kAll, {true, kLink}},
    {"no wish: copy when link is not allowed", true, 0, kCopy | kMove, {true, kCopy}},
    {"shift: copy when link is not allowed", true, kShiftKey, kCopy | kMove, {true, kCopy}},
    {"no wish: link when only link is allowed", true, 0, kLink, {true, kLink}},
    {"no wish: move alone is no drop", true, kLeftButton, kMove, {false, kNone}},
    {"shift: move alone is no drop", true, kShiftKey, kMove, {false, kNone}},
    {"no wish: nothing allowed is no drop", true, 0, kNone, {false, kNone}},
    {"no wish: scroll alone is no drop", true, 0, 0x80000000u, {false, kNone}},
    {"ctrl when the source forbids copy is no drop", true, kControlKey, kMove | kLink, {false, kNone}},
    {"ctrl shift when the source forbids link is no drop",
     true,
     kControlKey | kShiftKey,
     kCopy | kMove,
     {false, kNone}},
    {"data without an accepted format is no drop", false, 0, kAll, {false, kNone}},
    {"keys do not rescue unacceptable data", false, kControlKey, kAll, {false, kNone}},
};

TEST(DropEffectChoice, FollowsKeysAndAllowedEffects) {
  for (const EffectCase& c : kEffectCases) {
    EXPECT_EQ(ChooseDropEffect(c.acceptable, c.keys, c.allowed), c.expected) << c.name;
  }
}

TEST(DropEffectChoice, EffectsMapToTheOleBits) {
  const struct {
    TDropEffect effect;
    std::uint32_t bits;
  } cases[] = {
      {TDropEffect::deNone, 0}, {TDropEffect::deCopy, 1}, {TDropEffect::deMove, 2}, {TDropEffect::deLink, 4}};
  for (const auto& c : cases) {
    EXPECT_EQ(DropEffectToBits(c.effect), c.bits);
    EXPECT_EQ(DropEffectFromBits(c.bits), c.effect);
  }
}

TEST(DropTextFormats, SetBitsFollowTheOrdinals) {
  EXPECT_EQ(TDropTextFormats{TDropTextFormat::dtfText}.Bits(), 8);
  EXPECT_EQ(TDropTextFormats{TDropTextFormat::dtfFiles}.Bits(), 16);
  const TDropTextFormats files{TDropTextFormat::dtfFiles};
  EXPECT_TRUE(files.Contains(TDropTextFormat::dtfFiles));
  EXPECT_FALSE(files.Contains(TDropTextFormat::dtfText));
  EXPECT_EQ(TDropTextFormats{}.Bits(), 0);
}

TEST(DroppedPaths, JoinedWithCrLfBetweenAndSplitBackInOrder) {
  const std::vector<std::wstring> paths = {L"C:\\a.txt", L"D:\\dir with space\\b.lnk",
                                           L"\\\\server\\share\\c"};
  const std::wstring text = JoinDroppedPaths(paths);
  EXPECT_EQ(text, L"C:\\a.txt\r\nD:\\dir with space\\b.lnk\r\n\\\\server\\share\\c");
  EXPECT_EQ(SplitDroppedLines(text), paths);
}

TEST(DroppedPaths, LineSplittingTable) {
  const struct {
    std::wstring_view text;
    std::vector<std::wstring> lines;
  } cases[] = {
      {L"", {}},
      {L"one", {L"one"}},
      {L"one\r\n", {L"one"}},
      {L"a\nb\rc\r\nd", {L"a", L"b", L"c", L"d"}},
      {L"a\r\n\r\nb", {L"a", L"", L"b"}},
      {L"\u6587\u4ef6.txt\r\nx", {L"\u6587\u4ef6.txt", L"x"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitDroppedLines(c.text), c.lines) << testing::PrintToString(std::wstring(c.text));
  }
}

// Default Windows: no long paths (the shell refuses MAX_PATH characters or more, and the \\?\ form), and
// no 8.3 names to fall back on. A long path goes as its name within its folder.
TEST(LaunchPlan, FileAndFolderTheShellTakes) {
  const std::wstring folder258 = L"C:\\" + std::wstring(127, L'f') + L"\\" + std::wstring(127, L'f');
  const std::wstring folder259 = folder258 + L"g";
  const std::wstring leaf = std::wstring(60, L'v') + L".exe";
  const struct {
    std::wstring path;
    TLaunchPlan plan;
  } cases[] = {
      {L"C:\\Apps\\viewer.exe", {false, L"C:\\Apps\\viewer.exe", L"C:\\Apps"}},
      {L"C:\\Links\\editor.lnk", {false, L"C:\\Links\\editor.lnk", L"C:\\Links"}},
      {L"C:\\viewer.exe", {false, L"C:\\viewer.exe", L"C:\\"}},
      {L"\\\\server\\share\\tool.exe", {false, L"\\\\server\\share\\tool.exe", L"\\\\server\\share"}},
      {L"viewer.exe", {false, L"viewer.exe", L""}},
      {L"\\\\?\\C:\\x\\y.exe", {false, L"C:\\x\\y.exe", L"C:\\x"}},
      {L"\\\\?\\UNC\\srv\\sh\\y.exe", {false, L"\\\\srv\\sh\\y.exe", L"\\\\srv\\sh"}},
      {L"C:\\" + std::wstring(255, L'a'), {false, L"C:\\" + std::wstring(255, L'a'), L"C:\\"}},
      {folder258 + L"\\" + leaf, {false, leaf, folder258}},
      {folder259 + L"\\" + leaf, {true, folder259 + L"\\" + leaf, L""}},
  };
  for (const auto& c : cases) EXPECT_EQ(PlanLaunch(c.path), c.plan) << testing::PrintToString(c.path);
}

TEST(LaunchPlan, MessagesNameThePathAndTheSystemsReason) {
  EXPECT_EQ(LaunchFailedMessage(L"C:\\a.exe", 2, L"系统找不到指定的文件"),
            L"无法打开“C:\\a.exe”：系统找不到指定的文件。");
  EXPECT_EQ(LaunchFailedMessage(L"C:\\a.exe", 1234, L""), L"无法打开“C:\\a.exe”：错误代码 1234。");
  EXPECT_NE(PathTooLongMessage(L"C:\\long").find(L"“C:\\long”"), std::wstring::npos);
}

TEST(TrayTip, HintCutAt127CharactersAndEmptyWhenNotShown) {
  const std::wstring longHint(300, L'h');
  EXPECT_EQ(TrayTipText(true, longHint), std::wstring(127, L'h'));
  EXPECT_EQ(TrayTipText(true, std::wstring(127, L'x')).size(), 127u);
  EXPECT_EQ(TrayTipText(true, L"Vantel"), L"Vantel");
  EXPECT_EQ(TrayTipText(false, L"Vantel"), L"");
  EXPECT_EQ(TrayTipText(true, L""), L"");
}

}  // namespace
