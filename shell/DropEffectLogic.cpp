// Effect choice and dropped-path text of the drop target.
#include "shell/DropEffectLogic.h"

TEffectChoice ChooseDropEffect(bool acceptable, std::uint32_t keyState, std::uint32_t allowedEffects) {
  using namespace drop_bits;
  if (!acceptable) return {};
  const bool ctrl = (keyState & kControlKey) != 0;
  const bool shift = (keyState & kShiftKey) != 0;
  // Shift asks for a move, which the ring never does, so Shift alone counts as no keys at all.
  const std::uint32_t wish = ctrl ? (shift ? kLink : kCopy) : kNone;
  if (wish != kNone) {
    if (allowedEffects & wish) return {true, wish};
    return {};
  }
  for (std::uint32_t candidate : {kLink, kCopy}) {
    if (allowedEffects & candidate) return {true, candidate};
  }
  return {};
}

TDropEffect DropEffectFromBits(std::uint32_t effect) {
  using namespace drop_bits;
  if (effect & kMove) return TDropEffect::deMove;
  if (effect & kCopy) return TDropEffect::deCopy;
  if (effect & kLink) return TDropEffect::deLink;
  return TDropEffect::deNone;
}

std::uint32_t DropEffectToBits(TDropEffect effect) {
  switch (effect) {
    case TDropEffect::deCopy:
      return drop_bits::kCopy;
    case TDropEffect::deMove:
      return drop_bits::kMove;
    case TDropEffect::deLink:
      return drop_bits::kLink;
    case TDropEffect::deNone:
    case TDropEffect::deScroll:
      break;
  }
  return drop_bits::kNone;
}

std::wstring JoinDroppedPaths(const std::vector<std::wstring>& paths) {
  std::wstring text;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (i > 0) text += L"\r\n";
    text += paths[i];
  }
  return text;
}

std::vector<std::wstring> SplitDroppedLines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == L'\r' && start < text.size() && text[start] == L'\n') ++start;
  }
  return lines;
}
