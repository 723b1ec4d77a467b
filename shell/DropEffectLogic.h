// Drop-target vocabulary and the rules that need no window system: effect choice and the dropped-path text.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

enum class TDropEffect : std::uint8_t { deNone, deCopy, deMove, deLink, deScroll };

enum class TDropTextFormat : std::uint8_t { dtfURL, dtfIEHTML, dtfRichText, dtfText, dtfFiles, dtfCustom };

// Set of TDropTextFormat in one byte, bit n = ordinal n ([dtfText] = 8, [dtfFiles] = 16).
class TDropTextFormats {
 public:
  constexpr TDropTextFormats() = default;
  constexpr TDropTextFormats(std::initializer_list<TDropTextFormat> formats) {
    for (TDropTextFormat f : formats) bits_ = static_cast<std::uint8_t>(bits_ | Bit(f));
  }
  constexpr bool Contains(TDropTextFormat f) const { return (bits_ & Bit(f)) != 0; }
  constexpr std::uint8_t Bits() const { return bits_; }
  constexpr bool operator==(const TDropTextFormats&) const = default;

 private:
  static constexpr std::uint8_t Bit(TDropTextFormat f) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(f));
  }
  std::uint8_t bits_ = 0;
};

// The OLE values (DROPEFFECT_xxx, MK_xxx), spelled out so this header stays free of <windows.h>.
namespace drop_bits {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kCopy = 1;
constexpr std::uint32_t kMove = 2;
constexpr std::uint32_t kLink = 4;
constexpr std::uint32_t kShiftKey = 0x4;
constexpr std::uint32_t kControlKey = 0x8;
}  // namespace drop_bits

struct TEffectChoice {
  bool Success = false;
  std::uint32_t Effect = drop_bits::kNone;  // one DROPEFFECT bit, or none
  constexpr bool operator==(const TEffectChoice&) const = default;
};

// Never move: the source would delete its original (a mail, a folder from the address bar), and the ring
// only keeps a path. Ctrl+Shift asks for a link and Ctrl for a copy; if the source does not allow what was
// asked, nothing is dropped. With no keys, or Shift alone, the effect is a link where the source allows one,
// else a copy. A source that allows only a move gets nothing.
TEffectChoice ChooseDropEffect(bool acceptable, std::uint32_t keyState, std::uint32_t allowedEffects);

TDropEffect DropEffectFromBits(std::uint32_t effect);
std::uint32_t DropEffectToBits(TDropEffect effect);

// Paths of one drop as DroppedText holds them: CR LF between two paths, none after the last.
std::wstring JoinDroppedPaths(const std::vector<std::wstring>& paths);
// One entry per line; CR LF, CR and LF all end a line, and a final line break adds no empty entry.
std::vector<std::wstring> SplitDroppedLines(std::wstring_view text);
