// The settings file's text, and the numbers of the ring's kept and summoned places.
#include "app/SettingsFormat.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstddef>
#include <cstdio>

namespace vantel {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kSection = "[Vantel]";

struct NamedKey {
  const char* Name;
  unsigned Key;
};
constexpr NamedKey kNamedKeys[] = {{"Space", 0x20},  {"Enter", 0x0D},  {"Tab", 0x09},
                                   {"Insert", 0x2D}, {"Delete", 0x2E}, {"Home", 0x24},
                                   {"End", 0x23},    {"PageUp", 0x21}, {"PageDown", 0x22}};
struct NamedModifier {
  const char* Name;
  unsigned Bit;
};
constexpr NamedModifier kModifiers[] = {
    {"Ctrl", kModControl}, {"Alt", kModAlt}, {"Shift", kModShift}, {"Win", kModWin}};

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

std::string KeyName(unsigned key) {
  for (const NamedKey& named : kNamedKeys) {
    if (named.Key == key) return named.Name;
  }
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
  if (key >= 0x70 && key <= 0x87) return "F" + std::to_string(key - 0x6F);
  char hex[8] = {};
  std::snprintf(hex, sizeof hex, "0x%02X", key & 0xFFU);
  return hex;
}

template <class Number>
bool ReadNumber(std::string_view text, Number& value, int base = 10) {
  text = Trim(text);
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value, base);
  return error == std::errc() && ptr == end && !text.empty();
}

std::optional<unsigned> ParseKey(std::string_view name) {
  for (const NamedKey& named : kNamedKeys) {
    if (SameText(named.Name, name)) return named.Key;
  }
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    return static_cast<unsigned>(std::toupper(static_cast<unsigned char>(name[0])));
  }
  unsigned number = 0;
  if (name.size() > 1 && (name[0] == 'F' || name[0] == 'f') && ReadNumber(name.substr(1), number) &&
      number >= 1 && number <= 24) {
    return 0x6F + number;
  }
  if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X') &&
      ReadNumber(name.substr(2), number, 16) && number > 0 && number < 0xFF) {
    return number;
  }
  return std::nullopt;
}

// Comma-separated integers, exactly `count` of them.
bool ReadNumbers(std::string_view text, int* values, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t comma = text.find(',');
    if ((comma == std::string_view::npos) != (i + 1 == count)) return false;
    if (!ReadNumber(text.substr(0, comma), values[i])) return false;
    if (comma != std::string_view::npos) text.remove_prefix(comma + 1);
  }
  return true;
}

// Index of the monitor the place was kept on, or -1.
int KeptMonitor(const MonitorList& monitors, const KeptPlace& place) {
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    if (monitors[i].Bounds == place.Monitor) return static_cast<int>(i);
  }
  // Another resolution: the monitor keeps its top-left corner.
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    if (monitors[i].Bounds.Left == place.Monitor.Left && monitors[i].Bounds.Top == place.Monitor.Top) {
      return static_cast<int>(i);
    }
  }
  return place.Primary ? PrimaryMonitor(monitors) : -1;
}

int Share(int offset, int length) {
  if (length <= 0) return kPlaceScale / 2;
  // Rounded both ways: a place kept and read back on the same monitor is the same pixel.
  return static_cast<int>(std::clamp((static_cast<long long>(offset) * kPlaceScale + length / 2) / length,
                                     0LL, static_cast<long long>(kPlaceScale)));
}

}  // namespace

std::string HotkeyText(Hotkey key) {
  if (key.Key == 0) return "None";
  std::string text;
  for (const NamedModifier& modifier : kModifiers) {
    if (key.Modifiers & modifier.Bit) text += std::string(modifier.Name) + "+";
  }
  return text + KeyName(key.Key);
}

std::optional<Hotkey> ParseHotkey(std::string_view text) {
  text = Trim(text);
  if (SameText(text, "None")) return Hotkey{};
  Hotkey key;
  while (true) {
    const std::size_t plus = text.find('+', 1);  // a lone "+" would be a key name, which we do not write
    const std::string_view part = Trim(text.substr(0, plus));
    if (plus == std::string_view::npos) {
      const std::optional<unsigned> code = ParseKey(part);
      if (!code) return std::nullopt;
      key.Key = *code;
      return key;
    }
    const auto* modifier = std::find_if(std::begin(kModifiers), std::end(kModifiers),
                                        [&](const NamedModifier& m) { return SameText(m.Name, part); });
    if (modifier == std::end(kModifiers)) return std::nullopt;
    key.Modifiers |= modifier->Bit;
    text.remove_prefix(plus + 1);
  }
}

std::optional<Settings> ParseSettings(std::string_view bytes) {
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  Settings settings;
  std::optional<ScreenRect> monitor;
  bool primary = false;
  std::optional<std::pair<int, int>> centre;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    const std::string_view raw = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';' || SameText(line, kSection)) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view name = Trim(line.substr(0, equals)), value = Trim(line.substr(equals + 1));
    if (SameText(name, "Hotkey")) {
      const std::optional<Hotkey> key = ParseHotkey(value);
      if (!key || !AllowedHotkey(*key)) return std::nullopt;
      settings.SummonKey = *key;
    } else if (SameText(name, "RingMonitor")) {
      std::string_view numbers = value;
      const std::size_t flag = value.find(",primary");
      primary = flag != std::string_view::npos && flag + 8 == value.size();
      if (primary) numbers = value.substr(0, flag);
      int v[4] = {};
      if (!ReadNumbers(numbers, v, 4) || v[2] <= v[0] || v[3] <= v[1]) return std::nullopt;
      monitor = ScreenRect{v[0], v[1], v[2], v[3]};
    } else if (SameText(name, "RingCentre")) {
      int v[2] = {};
      if (!ReadNumbers(value, v, 2) || v[0] < 0 || v[1] < 0 || v[0] > kPlaceScale || v[1] > kPlaceScale) {
        return std::nullopt;
      }
      centre = {v[0], v[1]};
    } else {
      settings.OtherLines.emplace_back(line);
    }
  }
  if (monitor.has_value() != centre.has_value()) return std::nullopt;  // half a place
  if (monitor) settings.Place = KeptPlace{*monitor, primary, centre->first, centre->second};
  return settings;
}

std::string WriteSettings(const Settings& settings) {
  std::string text(kBom);
  text += std::string(kSection) + "\r\n";
  text += "Hotkey=" + HotkeyText(settings.SummonKey) + "\r\n";
  if (settings.Place) {
    const KeptPlace& p = *settings.Place;
    text += "RingMonitor=" + std::to_string(p.Monitor.Left) + "," + std::to_string(p.Monitor.Top) + "," +
            std::to_string(p.Monitor.Right) + "," + std::to_string(p.Monitor.Bottom) +
            (p.Primary ? ",primary" : "") + "\r\n";
    text += "RingCentre=" + std::to_string(p.X) + "," + std::to_string(p.Y) + "\r\n";
  }
  for (const std::string& line : settings.OtherLines) text += line + "\r\n";
  return text;
}

KeptPlace KeepPlace(const MonitorList& monitors, ScreenPoint middle) {
  const int index = MonitorAt(monitors, middle);
  if (index < 0) return {};
  const MonitorInfo& m = monitors[static_cast<std::size_t>(index)];
  return KeptPlace{m.Bounds, m.Primary, Share(middle.X - m.WorkArea.Left, m.WorkArea.Width()),
                   Share(middle.Y - m.WorkArea.Top, m.WorkArea.Height())};
}

std::optional<ScreenPoint> KeptOrigin(const MonitorList& monitors, const KeptPlace& place, int side) {
  const int index = KeptMonitor(monitors, place);
  if (index < 0) return std::nullopt;
  const ScreenRect& work = monitors[static_cast<std::size_t>(index)].WorkArea;
  const long long x =
      work.Left + (static_cast<long long>(place.X) * work.Width() + kPlaceScale / 2) / kPlaceScale;
  const long long y =
      work.Top + (static_cast<long long>(place.Y) * work.Height() + kPlaceScale / 2) / kPlaceScale;
  return KeepIn(work, ScreenPoint{static_cast<int>(x - side / 2), static_cast<int>(y - side / 2)}, side,
                side);
}

ScreenPoint SummonOrigin(const MonitorList& monitors, ScreenPoint pointer, int side) {
  const int index = MonitorAt(monitors, pointer);
  const ScreenPoint origin{pointer.X - side / 2, pointer.Y - side / 2};
  if (index < 0) return origin;
  return KeepIn(monitors[static_cast<std::size_t>(index)].WorkArea, origin, side, side);
}

}  // namespace vantel
