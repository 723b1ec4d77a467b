// Test helper launched by the program under test: leaves "<its own name>.ran" beside itself, holding the
// command line and the working folder it was started with, then ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t self[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
  wchar_t folder[MAX_PATH * 4] = {};
  GetCurrentDirectoryW(static_cast<DWORD>(std::size(folder)), folder);
  const std::wstring report = std::wstring(GetCommandLineW()) + L"\r\n" + folder + L"\r\n";
  const std::wstring marker = std::wstring(self) + L".ran";
  // Written under another name and renamed: a test that sees the marker may read it whole at once.
  const std::wstring partial = marker + L".part";
  HANDLE file =
      CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, report.data(), static_cast<DWORD>(report.size() * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);
  return MoveFileExW(partial.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
