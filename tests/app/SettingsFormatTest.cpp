// The settings file's text and the ring's kept and summoned places.
#include "app/SettingsFormat.h"

#include <gtest/gtest.h>

using namespace vantel;

namespace {

const MonitorInfo kPrimary{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96, true};
const MonitorInfo kLeft{{-1280, 0, 0, 1024}, {-1280, 0, 0, 984}, 120, false};

TEST(SettingsFormat, WrittenSettingsReadBackAndHandEditsAreRead) {
  Settings settings;
  settings.SummonKey = Hotkey{kModControl | kModShift, 0x70};
  settings.Place = KeptPlace{{-1280, 0, 0, 1024}, false, 2500, 10000};
  settings.OtherLines = {"Later=kept"};
  const std::string text = WriteSettings(settings);
  EXPECT_EQ(text,
            "\xEF\xBB\xBF[Vantel]\r\nHotkey=Ctrl+Shift+F1\r\nRingMonitor=-1280,0,0,1024\r\nRingCentre=2500,"
            "10000\r\n"
            "Later=kept\r\n");
  EXPECT_EQ(ParseSettings(text), settings);
  EXPECT_EQ(ParseSettings(""), Settings{});  // an empty file: defaults
  const std::optional<Settings> edited = ParseSettings("; mine\n hotkey = alt+win+0xBA \n");
  ASSERT_TRUE(edited);
  EXPECT_EQ(edited->SummonKey, (Hotkey{kModAlt | kModWin, 0xBA}));
  EXPECT_EQ(HotkeyText(edited->SummonKey), "Alt+Win+0xBA");
  EXPECT_EQ(ParseHotkey("None"), Hotkey{});
}

TEST(SettingsFormat, NonsenseIsNotReadAsSettings) {
  for (const char* text :
       {"\x89PNG\r\n\x1a\n", "Hotkey=Ctrl+Banana", "Hotkey=Ctrl+", "Hotkey=Hyper+A",
        // A key no Ctrl, Alt or Win holds would be a hotkey taken from every program.
        "Hotkey=0xAD", "Hotkey=Shift+F5", "RingCentre=5000,5000",
        "RingMonitor=0,0,1920,1080\nRingCentre=5000,12000", "RingMonitor=0,0,0,0\nRingCentre=1,1",
        "RingMonitor=0,0,1920\nRingCentre=1,1", "RingMonitor=0,0,1920,1080,primary\nRingCentre=1,1,1"}) {
    EXPECT_FALSE(ParseSettings(text)) << text;
  }
}

TEST(SettingsFormat, RingComesBackToItsPlaceWhole) {
  struct Case {
    const char* what;
    MonitorList now;
    ScreenPoint keptMiddle;  // on the monitors {kLeft, kPrimary}
    int side;
    std::optional<ScreenPoint> origin;
  };
  const MonitorInfo primary4k{{0, 0, 3840, 2160}, {0, 0, 3840, 2080}, 192, true};
  const MonitorInfo movedLeft{{-1920, 0, 0, 1080}, {-1920, 0, 0, 1080}, 96, false};
  const Case cases[] = {
      {"same monitors", {kLeft, kPrimary}, {-640, 492}, 180, ScreenPoint{-730, 402}},
      {"in a corner: moved in", {kLeft, kPrimary}, {1910, 1030}, 180, ScreenPoint{1740, 860}},
      {"primary at another resolution", {primary4k}, {960, 520}, 360, ScreenPoint{1740, 860}},
      {"left monitor gone", {kPrimary}, {-640, 492}, 180, std::nullopt},
      {"left monitor at another place", {kPrimary, movedLeft}, {-640, 492}, 180, std::nullopt},
  };
  for (const Case& c : cases) {
    const KeptPlace kept = KeepPlace({kLeft, kPrimary}, c.keptMiddle);
    EXPECT_EQ(KeptOrigin(c.now, kept, c.side), c.origin) << c.what;
  }
  EXPECT_EQ(SummonOrigin({kLeft, kPrimary}, {500, 300}, 180), (ScreenPoint{410, 210}));
  EXPECT_EQ(SummonOrigin({kLeft, kPrimary}, {-1270, 1020}, 180), (ScreenPoint{-1280, 804}));  // corner
}

}  // namespace
