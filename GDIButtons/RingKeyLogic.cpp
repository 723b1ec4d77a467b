// Pure rules of driving the ring from the keyboard.
#include "GDIButtons/RingKeyLogic.h"

#include <cmath>

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
  if (virtualKey == kKeyApps || (virtualKey == kKeyF10 && shift)) {
    return OnSelected(RingKeyCommand::Menu, selected, count);
  }
  return {};
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
