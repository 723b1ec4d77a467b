// How the shell is asked to open a button's file, and what the user is told when it cannot be.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What ShellExecuteEx is handed for a path: the file, and its own folder as the working directory.
// A shortcut is opened as itself, so the shell applies its arguments, start-in folder and elevation.
struct TLaunchPlan {
  bool TooLong = false;    // Windows cannot open it: its folder alone does not fit MAX_PATH
  std::wstring File;       // lpFile: the whole path, or the file's name within Directory
  std::wstring Directory;  // lpDirectory: the folder that holds it; empty for a bare name
  bool operator==(const TLaunchPlan&) const = default;
};

// Without long-path support the shell takes no path of MAX_PATH (260) characters or more, nor one in
// the \\?\ form, and a volume may keep no 8.3 names. A path that fits is handed over whole; a longer one as
// its name within its folder, which must fit as a working directory (MAX_PATH - 2 characters, room for the
// backslash the system appends). A \\?\ prefix is taken off.
TLaunchPlan PlanLaunch(std::wstring_view path);

// Whether "run as administrator" makes sense for the file: a program, a shortcut or a script (.exe, .lnk,
// .bat, .cmd, .msc, in any case).
bool Elevatable(std::wstring_view path);

// The messages, in Chinese. `reason` is the system's text for `code` (may be empty).
std::wstring LaunchFailedMessage(std::wstring_view path, std::uint32_t code, std::wstring_view reason);
std::wstring PathTooLongMessage(std::wstring_view path);
