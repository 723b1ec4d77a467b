// TWinXmlFileSystem: the XML document's file system over Win32 file calls.
#include "framework/WinFileSystem.h"

#include <algorithm>
#include <climits>

#include "framework/Handles.h"
#include "framework/SystemMessage.h"
#include "framework/text/TextCodec.h"
#include "xml/XmlError.h"

namespace {

// The system's text for an error code, or its number when the system has none.
std::wstring SystemErrorText(DWORD code) {
  std::wstring text = SystemMessage(code);
  if (text.empty()) text = L"System error " + std::to_wstring(code);
  return text;
}

bool IsSharingProblem(DWORD code) {
  return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
}

// A rename fails with "access denied" both over a file another program has open and over one we may not
// replace. Only the first is worth waiting for; this tells it apart by trying to open the file alone.
bool IsHeldOpen(const std::wstring& name) {
  UniqueFile probe(
      CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (Valid(probe)) return false;
  const DWORD code = GetLastError();
  probe.release();  // INVALID_HANDLE_VALUE: nothing to close
  return IsSharingProblem(code);
}

bool IsReadOnly(const std::wstring& name) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

[[noreturn]] void RaiseCannotCreate(const std::wstring& name, DWORD code) {
  XmlErrors::Raise(XmlErrors::CannotCreateFile(WideToGb18030(name), WideToGb18030(SystemErrorText(code))));
}

// The old file is gone and the new bytes are only in the temporary file: the user must know where, and that
// it must not be deleted. code is ERROR_SUCCESS where a later save is refused for it.
[[noreturn]] void RaiseOnlyCopyKept(const std::wstring& name, const std::wstring& temporary, DWORD code) {
  const std::wstring full = FullPathName(name);
  const std::wstring leaf = full.substr(full.find_last_of(L"\\/") + 1);
  constexpr wchar_t halfway[] = L"原来的文件已被Windows移走，新文件却没能改名到它的位置";
  std::wstring text = code != ERROR_SUCCESS
                          ? L"无法保存“" + full + L"”：" + halfway + L"（" + SystemErrorText(code) + L"）。"
                          : L"这次的更改没有保存：上次保存“" + full + L"”时，" + halfway + L"。";
  text += L"\n全部内容都在“" + FullPathName(temporary) + L"”中，请不要删除它。请退出Vantel，把它改名为“" +
          leaf + L"”，然后重新启动Vantel。";
  XmlErrors::Raise(WideToGb18030(text));
}

bool RenameReplacing(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace

std::wstring FullPathName(const std::wstring& name) {
  const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (size == 0) return name;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return name;
  full.resize(length);
  return full;
}

bool TWinXmlFileSystem::FileExists(const std::wstring& name) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD TWinXmlFileSystem::Retrying(int attempts, unsigned delayMs, const std::function<bool()>& attempt,
                                  const std::function<bool(DWORD)>& passes) {
  for (int i = 0;; ++i) {
    if (attempt()) return ERROR_SUCCESS;
    const DWORD code = GetLastError();
    if (!passes(code) || i + 1 >= attempts) return code == ERROR_SUCCESS ? DWORD{ERROR_GEN_FAILURE} : code;
    if (OnRetry) {
      OnRetry(i + 1);
    } else {
      Sleep(delayMs);
    }
  }
}

TXmlReadResult TWinXmlFileSystem::ReadFile(const std::wstring& name, std::size_t maxBytes,
                                           std::string& bytes) {
  // A sync or backup tool holds the file a moment without sharing it: waited out, as a save is.
  UniqueFile file;
  const DWORD code = Retrying(
      ReadRetryAttempts, ReadRetryDelayMs,
      [&] {
        file.reset(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        return Valid(file);
      },
      IsSharingProblem);
  if (code != ERROR_SUCCESS) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? TXmlReadResult::Missing
                                                                        : TXmlReadResult::CannotOpen;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return TXmlReadResult::CannotOpen;
  if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) return TXmlReadResult::TooLarge;
  std::string data(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < data.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
    DWORD read = 0;
    if (!::ReadFile(file.get(), data.data() + done, chunk, &read, nullptr)) return TXmlReadResult::CannotOpen;
    if (read == 0) break;  // shrank while we read: keep what is there
    done += read;
  }
  data.resize(done);
  bytes = std::move(data);
  return TXmlReadResult::Ok;
}

bool TWinXmlFileSystem::Move(const std::wstring& from, const std::wstring& to) {
  return MoveReplacing ? MoveReplacing(from, to) : RenameReplacing(from, to);
}

bool TWinXmlFileSystem::Replace(const std::wstring& name, const std::wstring& temporary,
                                bool& stoppedHalfway) {
  const DWORD before = GetFileAttributesW(name.c_str());
  // ReplaceFileW keeps what the user set on the file: its attributes (hidden), permissions and identity.
  if (before != INVALID_FILE_ATTRIBUTES) {
    // Open the file first the way ReplaceFileW does, so that a file held without delete sharing is waited
    // for before ReplaceFileW runs: Wine's ReplaceFileW leaves a temporary file of its own behind on one.
    UniqueFile probe(CreateFileW(name.c_str(), GENERIC_READ | DELETE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    bool replaced = Valid(probe);
    probe.reset();
    if (replaced) {
      replaced = ReplaceExisting
                     ? ReplaceExisting(name, temporary)
                     : ReplaceFileW(name.c_str(), temporary.c_str(), nullptr,
                                    REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                                    nullptr) != FALSE;
    }
    if (replaced) {
      // REPLACEFILE_WRITE_THROUGH is not supported: the file is flushed again under its name.
      UniqueFile done(CreateFileW(name.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (Valid(done)) FlushFileBuffers(done.get());
    } else {
      const DWORD code = GetLastError();
      // Held by another program (the caller tries again) or not ours to write: a rename must not force it.
      if (IsSharingProblem(code) || code == ERROR_ACCESS_DENIED) {
        SetLastError(code);
        return false;
      }
      // Any other failure (the file went meanwhile, the file system has no ReplaceFileW, or the replace
      // stopped halfway with the file gone and the temporary still there) falls back to a plain rename.
      // Where the old file is gone its name may stay delete-pending a moment (an indexer or antivirus holds
      // it with delete sharing), which refuses the rename with access denied: worth a few tries.
      stoppedHalfway = GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES;
      DWORD moved = ERROR_SUCCESS;
      if (stoppedHalfway) {
        moved = Retrying(
            RescueAttempts, RescueDelayMs, [&] { return Move(temporary, name); },
            [](DWORD failure) { return IsSharingProblem(failure) || failure == ERROR_ACCESS_DENIED; });
      } else if (!Move(temporary, name)) {
        moved = GetLastError();
      }
      if (moved != ERROR_SUCCESS) {
        SetLastError(moved);
        return false;
      }
      stoppedHalfway = false;
    }
    // Wine's ReplaceFileW and any rename drop the file's attributes, which Windows' ReplaceFileW keeps:
    // put them back, so that a hidden file stays hidden.
    constexpr DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD after = GetFileAttributesW(name.c_str());
    if (after != INVALID_FILE_ATTRIBUTES && (after & kept) != (before & kept)) {
      SetFileAttributesW(name.c_str(), (after & ~kept) | (before & kept));
    }
    return true;
  }
  // No file yet.
  return Move(temporary, name);
}

void TWinXmlFileSystem::WriteFileAtomic(const std::wstring& name, std::string_view bytes) {
  const std::wstring temporary = name + L".tmp";
  // A read-only file is the user's word: never replaced (some systems would let the rename do it).
  if (IsReadOnly(name)) RaiseCannotCreate(name, ERROR_ACCESS_DENIED);
  // A save that stopped halfway left the only copy in the temporary file: nothing writes over it until the
  // file is back in its place.
  if (stranded_.contains(name)) {
    if (!FileExists(name) && FileExists(temporary)) RaiseOnlyCopyKept(name, temporary, ERROR_SUCCESS);
    stranded_.erase(name);
  }

  UniqueFile file;
  DWORD code = Retrying(
      RetryAttempts, RetryDelayMs,
      [&] {
        file.reset(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        return Valid(file);
      },
      IsSharingProblem);
  if (code != ERROR_SUCCESS) RaiseCannotCreate(name, code);

  std::size_t done = 0;
  while (code == ERROR_SUCCESS && done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      code = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
    }
    done += written;
  }
  if (code == ERROR_SUCCESS && !FlushFileBuffers(file.get())) code = GetLastError();
  file.reset();  // closed before the replace
  // A sharing problem is waited out briefly; anything else (access denied: a read-only file or folder)
  // fails at once, as waiting would not change it.
  bool stoppedHalfway = false;
  if (code == ERROR_SUCCESS) {
    code = Retrying(
        RetryAttempts, RetryDelayMs, [&] { return Replace(name, temporary, stoppedHalfway); },
        [&](DWORD failure) {
          return !stoppedHalfway &&
                 (IsSharingProblem(failure) || (failure == ERROR_ACCESS_DENIED && IsHeldOpen(name)));
        });
  }
  if (code != ERROR_SUCCESS) {
    // The temporary file is deleted only where the file still holds its old bytes.
    if (stoppedHalfway && FileExists(temporary)) {
      stranded_.insert(name);
      RaiseOnlyCopyKept(name, temporary, code);
    }
    DeleteFileW(temporary.c_str());
    RaiseCannotCreate(name, code);
  }
}
