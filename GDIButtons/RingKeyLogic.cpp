// Pure rules of driving the ring from the keyboard.
#include "GDIButtons/RingKeyLogic.h"

#include <cmath>
#include <string>

#include "framework/text/Gb18030.h"

namespace vantel {

namespace {

RingKeyAction Select(int index) {
  return {RingKeyCommand::Select, index};
}

// The selected segment, when there is one, gets the command.
RingKeyAction OnSelected(RingKeyCommand command, int selected, int count) {
  if (selected < 0 || selected >= count) return {};
  return {command, selected};
}

}  // namespace

RingKeyAction RingKeyActionFor(unsigned virtualKey, bool shift, int selected, int count) noexcept {
  if (virtualKey == kKeyEscape) return {RingKeyCommand::Dismiss, -1};
  if (virtualKey == kKeyBack) return {RingKeyCommand::Back, -1};
  if (count <= 0) return {};
  const bool known = selected >= 0 && selected < count;
  const bool forward = virtualKey == kKeyRight || virtualKey == kKeyDown || (virtualKey == kKeyTab && !shift);
  const bool back = virtualKey == kKeyLeft || virtualKey == kKeyUp || (virtualKey == kKeyTab && shift);
  if (forward) return Select(known ? (selected + 1) % count : 0);
  if (back) return Select(known ? (selected + count - 1) % count : count - 1);
  if (virtualKey == kKeyHome) return Select(0);
  if (virtualKey == kKeyEnd) return Select(count - 1);
  int digit = 0;
  if (virtualKey >= kKey1 && virtualKey <= kKey9) digit = static_cast<int>(virtualKey - kKey1) + 1;
  if (virtualKey >= kKeyNumpad1 && virtualKey <= kKeyNumpad9) {
    digit = static_cast<int>(virtualKey - kKeyNumpad1) + 1;
  }
  if (digit > 0) return digit <= count ? Select(digit - 1) : RingKeyAction{};
  if (virtualKey == kKeyReturn) return OnSelected(RingKeyCommand::Launch, selected, count);
  if (virtualKey == kKeySpace) return OnSelected(RingKeyCommand::Expand, selected, count);
  if (virtualKey == kKeyApps || (virtualKey == kKeyF10 && shift)) {
    return OnSelected(RingKeyCommand::Menu, selected, count);
  }
  return {};
}

char NameInitial(std::wstring_view name) {
  if (name.empty()) return 0;
  const wchar_t first = name.front();
  if (first < 0x80) {
    const char c = static_cast<char>(first);
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
    return c >= 'A' && c <= 'Z' ? c : 0;
  }
  const std::string bytes = Gb18030Encode(std::u16string(1, static_cast<char16_t>(first)));
  if (bytes.size() != 2) return 0;
  const unsigned code = (static_cast<unsigned char>(bytes[0]) << 8) | static_cast<unsigned char>(bytes[1]);
  // Where each initial's characters start in GB2312's first level (0xB0A1 to 0xD7F9); no pinyin starts
  // with I, U or V.
  struct Start {
    unsigned code;
    char letter;
  };
  static constexpr Start kStarts[] = {
      {0xB0A1, 'A'}, {0xB0C5, 'B'}, {0xB2C1, 'C'}, {0xB4EE, 'D'}, {0xB6EA, 'E'}, {0xB7A2, 'F'},
      {0xB8C1, 'G'}, {0xB9FE, 'H'}, {0xBBF7, 'J'}, {0xBFA6, 'K'}, {0xC0AC, 'L'}, {0xC2E8, 'M'},
      {0xC4C3, 'N'}, {0xC5B6, 'O'}, {0xC5BE, 'P'}, {0xC6DA, 'Q'}, {0xC8BB, 'R'}, {0xC8F6, 'S'},
      {0xCBFA, 'T'}, {0xCDDA, 'W'}, {0xCEF4, 'X'}, {0xD1B9, 'Y'}, {0xD4D1, 'Z'}};
  constexpr unsigned kLevelOneEnd = 0xD7F9;
  if (code < kStarts[0].code || code > kLevelOneEnd) return 0;
  char letter = 0;
  for (const Start& start : kStarts) {
    if (code >= start.code) letter = start.letter;
  }
  return letter;
}

int NextWithInitial(const std::vector<char>& initials, int selected, char letter) noexcept {
  const int count = static_cast<int>(initials.size());
  if (letter == 0 || count == 0) return -1;
  const int from = selected >= 0 && selected < count ? selected : -1;
  for (int step = 1; step <= count; ++step) {
    const int index = (from + step + count) % count;
    if (initials[static_cast<std::size_t>(index)] == letter) return index;
  }
  return -1;
}

PointF SliceMenuPoint(const PieRectValues& pie) noexcept {
  constexpr double kPi = 3.14159265358979323846;
  const double middle = (pie.StartAngle + pie.SweepAngle / 2.0) * kPi / 180.0;
  // The hole has half the rim's radius: halfway across the band is three quarters of the rim's.
  const double rx = pie.Width * 3.0 / 8.0, ry = pie.Height * 3.0 / 8.0;
  return {static_cast<float>(pie.X + pie.Width / 2.0 + rx * std::cos(middle)),
          static_cast<float>(pie.Y + pie.Height / 2.0 + ry * std::sin(middle))};
}

}  // namespace vantel
