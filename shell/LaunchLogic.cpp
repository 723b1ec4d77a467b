// Launch planning: which file and folder the shell is handed, and the messages of a failed launch.
#include "shell/LaunchLogic.h"

namespace {

constexpr std::size_t kMaxPath = 260;

// The path without a \\?\ (or \\?\UNC\) prefix: the shell takes neither.
std::wstring Plain(std::wstring_view path) {
  constexpr std::wstring_view kUnc = L"\\\\?\\UNC\\", kLocal = L"\\\\?\\";
  if (path.starts_with(kUnc)) return L"\\\\" + std::wstring(path.substr(kUnc.size()));
  if (path.starts_with(kLocal)) return std::wstring(path.substr(kLocal.size()));
  return std::wstring(path);
}

}  // namespace

TLaunchPlan PlanLaunch(std::wstring_view path) {
  const std::wstring plain = Plain(path);
  const std::size_t slash = plain.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {false, plain, {}};
  // A drive's root keeps its backslash ("C:\"); any other folder is named without one.
  std::wstring folder = plain.substr(0, slash);
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
  if (plain.size() < kMaxPath) return {false, plain, folder};
  if (folder.size() + 2 > kMaxPath) return {true, plain, {}};
  return {false, plain.substr(slash + 1), folder};
}

std::wstring LaunchFailedMessage(std::wstring_view path, std::uint32_t code, std::wstring_view reason) {
  std::wstring text = L"无法打开“" + std::wstring(path) + L"”：";
  text += reason.empty() ? L"错误代码 " + std::to_wstring(code) : std::wstring(reason);
  return text + L"。";
}

std::wstring PathTooLongMessage(std::wstring_view path) {
  return L"路径太长，Windows 无法打开“" + std::wstring(path) +
         L"”。请把它移到路径较短的文件夹里再放到圆环上。";
}

bool Elevatable(std::wstring_view path) {
  const std::size_t dot = path.find_last_of(L".\\/");
  if (dot == std::wstring_view::npos || path[dot] != L'.') return false;
  std::wstring extension(path.substr(dot + 1));
  for (wchar_t& c : extension) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return extension == L"exe" || extension == L"lnk" || extension == L"bat" || extension == L"cmd" ||
         extension == L"msc";
}
