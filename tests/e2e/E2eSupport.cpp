// Whole-program test helpers: the programs' paths, processes and files, work folders, the program under test,
// configuration files.
#include "tests/e2e/E2eSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace e2e {

namespace {

// Build paths come in as Unix paths; Wine shows the Unix root as drive Z:.
std::filesystem::path FromUnix(const char* unixPath) {
  std::wstring path = L"Z:";
  for (const char* p = unixPath; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
  return std::filesystem::path(path);
}

std::wstring Quote(const std::filesystem::path& p) {
  return L"\"" + p.wstring() + L"\"";
}

}  // namespace

std::filesystem::path VantelProgram() {
  return FromUnix(VANTEL_E2E_PROGRAM);
}
std::filesystem::path DragSourceProgram() {
  return FromUnix(VANTEL_E2E_DRAG_SOURCE);
}
std::filesystem::path MarkerProgram() {
  return FromUnix(VANTEL_E2E_MARKER);
}

std::string UnixPath(const std::filesystem::path& path) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  static const auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix) {
    if (char* unix = toUnix(path.wstring().c_str())) {
      std::string result = unix;
      HeapFree(GetProcessHeap(), 0, unix);
      return result;
    }
  }
  std::string result;
  const std::wstring w = path.wstring();
  for (size_t i = w.rfind(L"Z:", 0) == 0 ? 2 : 0; i < w.size(); ++i)
    result += w[i] == L'\\' ? '/' : static_cast<char>(w[i]);
  return result;
}

bool WaitFor(const std::function<bool()>& done, unsigned limitMs, unsigned pollMs) {
  const ULONGLONG end = GetTickCount64() + limitMs;
  while (!done()) {
    if (GetTickCount64() >= end) return done();
    Sleep(pollMs);
  }
  return true;
}

long Run(const std::wstring& commandLine, unsigned limitMs) {
  std::wstring command = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return -1;
  CloseHandle(info.hThread);
  long result = -1;
  if (WaitForSingleObject(info.hProcess, limitMs) == WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    result = static_cast<long>(code);
  } else {
    TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, 5000);
  }
  CloseHandle(info.hProcess);
  return result;
}

long RunUnix(const std::wstring& command, unsigned limitMs) {
  // Wine starts a Unix program without a process handle to wait on: the shell leaves its exit code
  // in a file instead.
  static int counter = 0;
  const std::filesystem::path done =
      std::filesystem::current_path() / L"work" /
      (L"unix-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) + L".done");
  std::filesystem::create_directories(done.parent_path());
  std::error_code ignored;
  std::filesystem::remove(done, ignored);
  const std::string doneUnix = UnixPath(done);
  // The command's own limit comes first, so a hung command reports 124 (timeout's code) rather than -1: -1
  // then means the shell never ran.
  const std::wstring limited =
      L"timeout -k 1 " + std::to_wstring(limitMs > 3000 ? limitMs / 1000 - 2 : 1) + L" " + command;
  const std::wstring line = L"/bin/sh -c \"" + limited + L"; echo $? > '" +
                            std::wstring(doneUnix.begin(), doneUnix.end()) + L".part' && mv '" +
                            std::wstring(doneUnix.begin(), doneUnix.end()) + L".part' '" +
                            std::wstring(doneUnix.begin(), doneUnix.end()) + L"'\"";
  std::wstring mutableLine = line;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info))
    return -1;
  if (info.hThread) CloseHandle(info.hThread);
  if (info.hProcess) CloseHandle(info.hProcess);
  if (!WaitFor([&] { return std::filesystem::exists(done); }, limitMs, 10)) return -1;
  const long code = std::atol(ReadBytes(done).c_str());
  std::filesystem::remove(done, ignored);
  return code;
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// ---- work folders

WorkFolder::WorkFolder() {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "outside-a-test";
  std::replace(name.begin(), name.end(), '/', '_');
  path_ = std::filesystem::current_path() / L"work" / std::filesystem::path(name);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
  std::filesystem::create_directories(path_);
}

WorkFolder::~WorkFolder() {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  if (test && test->result()->Failed()) {
    std::printf("[ work folder kept: %s ]\n", UnixPath(path_).c_str());
    return;
  }
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

// ---- the program

VantelProcess::VantelProcess(const std::filesystem::path& folder) {
  std::wstring command = Quote(VantelProgram());
  // Whatever the program prints stays out of the test log.
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
  PROCESS_INFORMATION info{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      folder.wstring().c_str(), &startup, &info);
  const DWORD error = GetLastError();
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (!started) {
    ADD_FAILURE() << "could not start " << VantelProgram().string() << ": error " << error;
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
}

VantelProcess::~VantelProcess() {
  Kill();
  if (process_) CloseHandle(process_);
}

bool VantelProcess::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool VantelProcess::WaitForExit(unsigned limitMs) {
  return process_ && WaitForSingleObject(process_, limitMs) == WAIT_OBJECT_0;
}

void VantelProcess::Kill() {
  if (!Running()) return;
  TerminateProcess(process_, 99);
  WaitForSingleObject(process_, 10000);
}

// ---- configuration files

std::string ConfigBytes(long long hotColor, long long defaultColor, const std::vector<Record>& records) {
  std::string bytes = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<Settings HotColor=\"" +
                      std::to_string(hotColor) + "\" DefaultColor=\"" + std::to_string(defaultColor) + "\">";
  if (records.empty()) return bytes + "</Settings>\r\n";
  bytes += "\r\n";
  for (const Record& r : records) {
    bytes += "  <ButtonInfo ButonType=\"" + std::to_string(r.kind) + "\"";
    if (!r.path.empty()) bytes += " ButtonFilePath=\"" + r.path + "\"";
    if (!r.guid.empty()) bytes += " ButtonGuid=\"" + r.guid + "\"";
    bytes += "/>\r\n";
  }
  return bytes + "</Settings>\r\n";
}

std::string TestGuid(int n) {
  char text[64];
  std::snprintf(text, sizeof(text), "{0A1B2C3D-0000-4000-8000-%012X}", n);
  return text;
}

std::string ConfigPath(const std::filesystem::path& path) {
  std::string result;
  for (wchar_t c : path.wstring()) {
    EXPECT_LT(c, 0x80) << "the tests keep to ASCII paths";
    result += static_cast<char>(c);
  }
  return result;
}

std::string WithoutLine(const std::string& bytes, int index) {
  size_t start = 0;
  for (int i = 0; i < index && start != std::string::npos; ++i) {
    start = bytes.find("\r\n", start);
    if (start != std::string::npos) start += 2;
  }
  if (start == std::string::npos) return bytes;
  const size_t end = bytes.find("\r\n", start);
  return end == std::string::npos ? bytes.substr(0, start) : bytes.substr(0, start) + bytes.substr(end + 2);
}

}  // namespace e2e
