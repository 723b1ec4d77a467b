// Effect choice, dropped-path text and tip rules of the shell layer (no window system).
#include <gtest/gtest.h>

#include "shell/DropEffectLogic.h"
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

const EffectCase kEffectCases[] = {
    {"plain drag of files shows move", true, kLeftButton, kAll, {true, kMove}},
    {"ctrl asks for copy", true, kControlKey, kAll, {true, kCopy}},
    {"shift asks for move", true, kShiftKey, kAll, {true, kMove}},
    {"ctrl and shift ask for link", true, kControlKey | kShiftKey | kLeftButton, kAll, {true, kLink}},
    {"no wish: copy when move is not allowed", true, 0, kCopy | kLink, {true, kCopy}},
    {"no wish: link when only link is allowed", true, 0, kLink, {true, kLink}},
    {"no wish: nothing allowed is no drop", true, 0, kNone, {false, kNone}},
    {"no wish: scroll alone is no drop", true, 0, 0x80000000u, {false, kNone}},
    {"ctrl when the source forbids copy is no drop", true, kControlKey, kMove | kLink, {false, kNone}},
    {"shift when the source forbids move is no drop", true, kShiftKey, kCopy, {false, kNone}},
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

TEST(TrayTip, HintCutAt127CharactersAndEmptyWhenNotShown) {
  const std::wstring longHint(300, L'h');
  EXPECT_EQ(TrayTipText(true, longHint), std::wstring(127, L'h'));
  EXPECT_EQ(TrayTipText(true, std::wstring(127, L'x')).size(), 127u);
  EXPECT_EQ(TrayTipText(true, L"Vantel"), L"Vantel");
  EXPECT_EQ(TrayTipText(false, L"Vantel"), L"");
  EXPECT_EQ(TrayTipText(true, L""), L"");
}

}  // namespace
