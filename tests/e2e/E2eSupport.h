// Whole-program test helpers: the real Vantel.exe in a fresh folder, its windows found from outside, real
// pointer input through the X server (xdotool), keys through SendInput, screenshots of the display.
#pragma once

#include "framework/Win32.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace e2e {

// Programs under test and our helpers, as Windows paths.
std::filesystem::path VantelProgram();
std::filesystem::path DragSourceProgram();
std::filesystem::path MarkerProgram();

// The Unix path of a Windows path (for the X tools).
std::string UnixPath(const std::filesystem::path& path);

// Waits, checking `done` every `pollMs`, until it answers true or `limitMs` has passed (a guard
// against a hang, never a measurement); returns done().
bool WaitFor(const std::function<bool()>& done, unsigned limitMs = 10000, unsigned pollMs = 50);

// Runs a program (a Unix one by its absolute path works too) and waits for its end; returns its
// exit code, or -1 when it did not start or did not end within `limitMs` (then it is ended).
long Run(const std::wstring& commandLine, unsigned limitMs = 20000);

// Runs a Unix command line through /bin/sh (no double quotes in it) and waits for its end; returns
// its exit code: 124 when the command itself did not end within `limitMs` (it is then ended), -1 when the
// shell did not run.
long RunUnix(const std::wstring& command, unsigned limitMs = 20000);

std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

// A fresh working folder per test, <current folder>\work\<suite>.<test>; emptied when it is made,
// removed at the end when the test passed, kept for a look when it failed.
class WorkFolder {
 public:
  WorkFolder();
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::wstring& name) const { return path_ / name; }
  std::filesystem::path Config() const { return path_ / L"SystemConfig.xml"; }

 private:
  std::filesystem::path path_;
};

// A top-level window of another process as the window system reports it.
struct WindowInfo {
  HWND handle = nullptr;
  std::wstring className;
  std::wstring text;
  RECT rect{};
  LONG_PTR exStyle = 0;
  bool visible = false;
  int Width() const { return rect.right - rect.left; }
  int Height() const { return rect.bottom - rect.top; }
  POINT Centre() const { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }
};

std::vector<WindowInfo> TopLevelWindows(DWORD processId);
// The square of the ring among these windows (each ring window covers only its own slice or disc).
RECT RingSquare(const std::vector<WindowInfo>& windows);
// The DPI the program under test runs at (96 unless a test starts it at another): the ring's square is
// worked out from the disc's window with the disc's scaled margins.
void SetRingDpi(int dpi);
std::vector<WindowInfo> ChildWindows(HWND parent);
WindowInfo Describe(HWND window);

// The program under test, started in a folder; ended (if still running) when this goes.
class VantelProcess {
 public:
  explicit VantelProcess(const std::filesystem::path& folder);
  ~VantelProcess();
  VantelProcess(const VantelProcess&) = delete;
  VantelProcess& operator=(const VantelProcess&) = delete;

  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_; }
  bool Running() const;
  bool WaitForExit(unsigned limitMs);
  void Kill();

  std::vector<WindowInfo> Windows() const { return TopLevelWindows(id_); }
  // A visible message box (a dialog of the system's dialog class), or null.
  HWND MessageBoxWindow() const;
  // The text of a message box: its longest static text.
  static std::wstring MessageBoxText(HWND box);
  // The ring: visible layered square windows (the hint window, sized to its text, left out).
  std::vector<WindowInfo> RingWindows() const;
  // The main (settings) window.
  HWND MainWindow() const;
  // A visible popup menu of the program, or null.
  HWND PopupMenuWindow() const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// Real pointer input, through the X server as a user's hand would make it. Points are screen points; the X
// server counts from the virtual screen's top-left corner, which is left of or above (0, 0) when a monitor
// lies left of or above the primary one.
namespace pointer {
POINT OnDisplay(int x, int y);  // the X server's point for a screen point
void MoveTo(int x, int y);
void Click(int x, int y, int button = 1);
void DoubleClick(int x, int y);
// Press at `from`, move in steps to `to`, release.
void Drag(POINT from, POINT to, int steps = 8);
}  // namespace pointer

// Hardware input through the window system's queue (SendInput): keys, and mouse buttons held
// without a position of their own (the window system's button state).
namespace keyboard {
void Press(WORD vk);  // down and up
// A key with modifiers held (e.g. Alt+F4, Ctrl+Alt+Space). SendInput's keys are the ones a keyboard
// sends on Windows, hotkeys among them. Keys through X are not used: with no window manager, X hands
// them to the Wine window under the pointer, and there Wine dropped a hotkey pressed soon after the
// program started.
void Chord(std::initializer_list<WORD> modifiers, WORD vk);
void Type(const std::wstring& digits);  // digits and letters
}  // namespace keyboard
void HoldMouseButton(bool right, bool down);

// Answers every message box the program shows until none has come for `quietMs` (and `until`, when
// given, holds): clicks its OK button with the pointer. Returns the texts in order.
std::vector<std::wstring> AnswerMessageBoxes(const VantelProcess& program, unsigned quietMs,
                                             const std::function<bool()>& until = {},
                                             unsigned limitMs = 60000);

// A picture of the whole display.
class Screenshot {
 public:
  // Takes it with ImageMagick's import; also keeps a PNG copy at `keepAs` when it is not empty.
  static Screenshot Take(const std::filesystem::path& keepAs = {});
  int Width() const { return width_; }
  int Height() const { return height_; }
  struct Rgb {
    int r = 0, g = 0, b = 0;
  };
  Rgb At(int x, int y) const;  // a screen point (see pointer::OnDisplay)
  // How many pixels in the rectangle satisfy `test`.
  int Count(const RECT& area, const std::function<bool(Rgb)>& test) const;
  bool Valid() const { return width_ > 0; }

 private:
  int width_ = 0, height_ = 0;
  int originX_ = 0, originY_ = 0;  // the screen point of the image's top-left pixel
  std::vector<std::uint8_t> rgb_;
};

// The layout of a 180-pixel ring whose window is at `ringRect`: a point on segment `index` of
// `count` (at three quarters of the outer radius, on the slice's middle angle), the centre disc.
POINT SegmentPoint(const RECT& ringRect, int index, int count);
POINT AnglePoint(const RECT& ringRect, double degrees, double radiusShare = 0.75);

// Configuration files as the program writes them: CR LF lines, two-space records, attributes in the
// program's order (an empty path left out).
struct Record {
  int kind = 0;  // 0 ring segment, 1 centre
  std::string path;
  std::string guid;
};
std::string ConfigBytes(long long hotColor, long long defaultColor, const std::vector<Record>& records);
// A fixed GUID in registry form, different for every n.
std::string TestGuid(int n);
// A Windows path as the configuration stores it (the tests use ASCII paths only).
std::string ConfigPath(const std::filesystem::path& path);
// The file without its line `index` (0 = the declaration).
std::string WithoutLine(const std::string& bytes, int index);

// The notification area's icon windows (the system tray's), left to right.
std::vector<HWND> TrayIconWindows();

}  // namespace e2e
